#include "platform/posix/write_behind_sink.h"

namespace platform {

write_behind_sink::write_behind_sink(io::byte_sink& target) : target_(target) {}

write_behind_sink::~write_behind_sink() {
    finish();
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (writer_.joinable()) writer_.join();
}

void write_behind_sink::wait_idle(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [this] { return !busy_; });
}

io::transfer_status write_behind_sink::write(const char* data, std::size_t size) {
    std::unique_lock<std::mutex> lock(mutex_);
    wait_idle(lock);
    if (status_ != io::transfer_status::ok) return status_;
    if (size == 0) return status_;
    if (size > copy_limit) {
        // The writer is idle and nothing else is queued, so writing here keeps the order.
        lock.unlock();
        const io::transfer_status result = target_.write(data, size);
        lock.lock();
        status_ = result;
        return status_;
    }
    block_.assign(data, size);
    busy_ = true;
    if (!writer_.joinable()) writer_ = std::thread([this] { run(); });
    lock.unlock();
    changed_.notify_all();
    return io::transfer_status::ok;
}

void write_behind_sink::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || stopping_; });
        if (!busy_) return;
        // The block is the writer's alone while busy_: write() waits for !busy_ before
        // touching it.
        lock.unlock();
        const io::transfer_status result = target_.write(block_.data(), block_.size());
        lock.lock();
        status_ = result;
        busy_ = false;
        changed_.notify_all();
    }
}

io::transfer_status write_behind_sink::finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    wait_idle(lock);
    return status_;
}

std::string write_behind_sink::error_text() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return target_.error_text();
}

}  // namespace platform
