// A byte sink that hands each block to a second thread, which writes it on to the real
// sink while the program prepares the next block. A terminal takes bytes slowly, and the
// device's time then overlaps with the colouring of the following lines instead of adding
// to it. Blocks reach the real sink whole and in order, one at a time; nothing is held back:
// a block is being written from the moment write() returns.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

#include "io/byte_stream.h"

namespace platform {

class write_behind_sink final : public io::byte_sink {
public:
    explicit write_behind_sink(io::byte_sink& target);
    write_behind_sink(const write_behind_sink&) = delete;
    write_behind_sink& operator=(const write_behind_sink&) = delete;
    // Finishes, so that every block has reached the real sink.
    ~write_behind_sink() override;

    // Waits only while the previous block is still being written. Reports a failure of an
    // earlier block (the block given now is then dropped), otherwise ok. A block too large
    // to be worth a copy is written by the caller's thread, in turn after the others.
    io::transfer_status write(const char* data, std::size_t size) override;
    std::string error_text() const override;

    // Waits until every block handed in has been written; what the writing came to.
    io::transfer_status finish();

private:
    void run();
    // With `lock` held: waits until no block is in flight.
    void wait_idle(std::unique_lock<std::mutex>& lock);

    static constexpr std::size_t copy_limit = 1 << 20;

    io::byte_sink& target_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::string block_;       // the block in flight, owned by the writer while busy_
    bool busy_ = false;
    bool stopping_ = false;
    io::transfer_status status_ = io::transfer_status::ok;
    std::thread writer_;      // started with the first block
};

}  // namespace platform
