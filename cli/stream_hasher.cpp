// SHA-256 of a stream on a second thread.
#include "cli/stream_hasher.h"

#include <cstring>

CStreamHasher::CStreamHasher() {
    filling_.reserve(kBlockSize);
    try {
        worker_ = std::thread(&CStreamHasher::Work, this);
    } catch (...) {
        // No second thread: Queue hashes each block itself.
    }
}

CStreamHasher::~CStreamHasher() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void CStreamHasher::WaitIdle(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [this] { return queued_.empty() && !busy_; });
}

void CStreamHasher::Begin() {
    std::unique_lock<std::mutex> lock(mutex_);
    WaitIdle(lock);
    sha_.Reset();
    filling_.clear();
}

void CStreamHasher::Add(const void* data, size_t count) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    while (count > 0) {
        size_t take = kBlockSize - filling_.size();
        if (take > count) take = count;
        filling_.insert(filling_.end(), p, p + take);
        p += take;
        count -= take;
        if (filling_.size() == kBlockSize) Queue();
    }
}

void CStreamHasher::Queue() {
    if (filling_.empty()) return;
    if (!worker_.joinable()) {
        sha_.Update(filling_.data(), filling_.size());
        filling_.clear();
        return;
    }
    Block next;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        // Bounded: with every block made and none spare, wait for the worker to give one back.
        changed_.wait(lock, [this] { return !spare_.empty() || blocks_ < kDepth; });
        queued_.push_back(std::move(filling_));
        if (!spare_.empty()) {
            next = std::move(spare_.back());
            spare_.pop_back();
        } else {
            ++blocks_;
        }
    }
    changed_.notify_all();
    next.clear();
    next.reserve(kBlockSize);
    filling_ = std::move(next);
}

std::string CStreamHasher::Finish() {
    Queue();
    std::unique_lock<std::mutex> lock(mutex_);
    WaitIdle(lock);
    std::string hex = sha_.HexDigest();
    sha_.Reset();
    return hex;
}

void CStreamHasher::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || !queued_.empty(); });
        if (queued_.empty()) return;  // stopping with nothing left
        Block block = std::move(queued_.front());
        queued_.pop_front();
        busy_ = true;
        lock.unlock();
        // Blocks go in queue order and only this thread touches sha_ while busy or queued.
        sha_.Update(block.data(), block.size());
        lock.lock();
        busy_ = false;
        block.clear();
        spare_.push_back(std::move(block));
        changed_.notify_all();
    }
}
