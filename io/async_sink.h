// A byte sink whose bytes go out on a thread of its own once a bulk of them is coming
// (prepare_for_bulk), so that the caller makes the next block while the last one is being
// taken: a terminal that draws slowly then costs only what it takes, not that plus the
// painting. Before that, writes go straight through, and a short run starts no thread; so do
// they where no thread can be had.
// Blocks go out whole, in order, each as one write to the sink behind; at most a few wait,
// and a caller that gets ahead waits for room. The first failure is kept: the writes after it
// and finish() report it, and nothing more goes out. One thread calls it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "io/byte_stream.h"

namespace io {

class async_sink final : public byte_sink {
public:
    // What the writing thread does first and last: the platform's chance to meet signals
    // there (where a write they cut short returns), and to hand them back.
    struct thread_hooks {
        std::function<void()> started;
        std::function<void()> ending;
    };

    explicit async_sink(byte_sink& target, thread_hooks hooks = {}, std::size_t waiting_blocks = 4);
    // Writes out what waits, then ends the thread.
    ~async_sink() override;
    async_sink(const async_sink&) = delete;
    async_sink& operator=(const async_sink&) = delete;

    transfer_status write(const char* data, std::size_t size) override;
    transfer_status write_block(std::string& block) override;
    transfer_status finish() override;
    std::string error_text() const override;
    void prepare_for_bulk() override;

private:
    transfer_status hand_over(std::string& block);
    void run();

    byte_sink& target_;
    thread_hooks hooks_;
    const std::size_t most_waiting_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> waiting_;
    std::vector<std::string> spare_;  // blocks that went out, kept for their capacity
    bool writing_ = false;            // a block is being written now
    bool closing_ = false;
    transfer_status status_ = transfer_status::ok;
    std::thread thread_;
};

}  // namespace io
