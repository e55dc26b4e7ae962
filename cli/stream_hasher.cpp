// SHA-256 of streams on a second thread.
#include "cli/stream_hasher.h"

CStreamHasher::CStreamHasher() {
    filling_.reserve(kBlockSize);
    try {
        worker_ = std::thread(&CStreamHasher::Work, this);
    } catch (...) {
        // No second thread: each item is hashed as it is queued.
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

void CStreamHasher::Add(const void* data, size_t count) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    while (count > 0) {
        size_t take = kBlockSize - filling_.size();
        if (take > count) take = count;
        filling_.insert(filling_.end(), p, p + take);
        p += take;
        count -= take;
        if (filling_.size() == kBlockSize) {
            Item item;
            item.data = std::move(filling_);
            Queue(std::move(item));
        }
    }
}

void CStreamHasher::End(const std::string& name) {
    Item item;
    item.data = std::move(filling_);
    item.end = true;
    item.name = name;
    Queue(std::move(item));
}

void CStreamHasher::Queue(Item item) {
    Block next;
    if (!worker_.joinable()) {
        std::string hex;
        if (Hash(item, hex)) digests_[item.name] = hex;
        next = std::move(item.data);
    } else {
        std::unique_lock<std::mutex> lock(mutex_);
        // Bounded: with every block made and none spare, wait for the worker to give one back.
        changed_.wait(lock, [this] { return !spare_.empty() || blocks_ < kDepth; });
        queued_.push_back(std::move(item));
        if (!spare_.empty()) {
            next = std::move(spare_.back());
            spare_.pop_back();
        } else {
            ++blocks_;
        }
        lock.unlock();
        changed_.notify_all();
    }
    next.clear();
    next.reserve(kBlockSize);
    filling_ = std::move(next);
}

bool CStreamHasher::Hash(Item& item, std::string& hex) {
    if (!item.data.empty()) sha_.Update(item.data.data(), item.data.size());
    if (!item.end) return false;
    hex = sha_.HexDigest();
    sha_.Reset();
    return !item.name.empty();
}

const std::map<std::string, std::string>& CStreamHasher::Digests() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return queued_.empty() && !busy_; });
    return digests_;
}

std::string CStreamHasher::Finish() {
    const std::string kName = "\n";  // no stream of the caller's is named so
    End(kName);
    std::string hex = Digests().at(kName);
    std::lock_guard<std::mutex> lock(mutex_);
    digests_.erase(kName);
    return hex;
}

void CStreamHasher::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || !queued_.empty(); });
        if (queued_.empty()) return;  // stopping with nothing left
        Item item = std::move(queued_.front());
        queued_.pop_front();
        busy_ = true;
        lock.unlock();
        // Items go in queue order, and only this thread touches sha_ while one is queued.
        std::string hex;
        bool named = Hash(item, hex);
        lock.lock();
        if (named) digests_[item.name] = hex;
        busy_ = false;
        item.data.clear();
        spare_.push_back(std::move(item.data));
        changed_.notify_all();
    }
}
