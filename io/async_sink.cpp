#include "io/async_sink.h"

#include <system_error>

namespace io {

async_sink::async_sink(byte_sink& target, thread_hooks hooks, std::size_t waiting_blocks)
    : target_(target), hooks_(std::move(hooks)), most_waiting_(waiting_blocks) {}

async_sink::~async_sink() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void async_sink::prepare_for_bulk() {
    target_.prepare_for_bulk();
    if (thread_.joinable()) return;
    // The thread never allocates: where it could not keep a block, the caller would be left
    // waiting on a thread that died of the exception.
    spare_.reserve(most_waiting_);
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // No thread to be had (its stack, under a limit on the address space): the bytes go
        // straight through, as they did before the bulk began.
    }
}

transfer_status async_sink::write(const char* data, std::size_t size) {
    if (!thread_.joinable()) {
        if (status_ == transfer_status::ok) status_ = target_.write(data, size);
        return status_;
    }
    std::string block;
    {
        const std::lock_guard lock(mutex_);
        if (!spare_.empty()) {
            block = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    block.assign(data, size);
    return hand_over(block);
}

transfer_status async_sink::write_block(std::string& block) {
    if (!thread_.joinable()) {
        if (status_ == transfer_status::ok) status_ = target_.write(block.data(), block.size());
        block.clear();
        return status_;
    }
    const transfer_status status = hand_over(block);
    block.clear();
    return status;
}

// Queues `block` (taking its bytes) once there is room, and leaves in it a spare block's
// storage, or nothing.
transfer_status async_sink::hand_over(std::string& block) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return waiting_.size() < most_waiting_ || status_ != transfer_status::ok; });
    if (status_ != transfer_status::ok) return status_;
    if (!block.empty()) {
        waiting_.push_back(std::move(block));
        block = std::string();
        if (!spare_.empty()) {
            block = std::move(spare_.back());
            spare_.pop_back();
        }
        changed_.notify_all();
    }
    return transfer_status::ok;
}

transfer_status async_sink::finish() {
    if (!thread_.joinable()) return status_;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return (waiting_.empty() && !writing_) || status_ != transfer_status::ok; });
    return status_;
}

std::string async_sink::error_text() const {
    const std::lock_guard lock(mutex_);
    return status_ == transfer_status::ok ? std::string() : target_.error_text();
}

void async_sink::run() {
    if (hooks_.started) hooks_.started();
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return !waiting_.empty() || closing_; });
        if (waiting_.empty()) break;
        std::string block = std::move(waiting_.front());
        waiting_.pop_front();
        writing_ = true;
        lock.unlock();
        const transfer_status status = target_.write(block.data(), block.size());
        lock.lock();
        writing_ = false;
        block.clear();
        if (spare_.size() < most_waiting_) spare_.push_back(std::move(block));
        if (status != transfer_status::ok && status_ == transfer_status::ok) {
            status_ = status;
            waiting_.clear();
        }
        changed_.notify_all();
    }
    lock.unlock();
    if (hooks_.ending) hooks_.ending();
}

}  // namespace io
