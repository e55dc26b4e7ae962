// The segments after the current one, hashed ahead of the reader.
#include "cli/segment_hash_ahead.h"

#include "checksum/segment_check.h"
#include "rejoiner/segment_name.h"

namespace {

// The segment after path, when the checksums list it; "" otherwise.
std::string ListedAfter(const std::string& path, const CSetChecksums& sums) {
    std::string name;
    if (!NextSegmentName(path, name) || sums.Expected(name).empty()) return std::string();
    return FolderPart(path) + name;
}

}  // namespace

void CSegmentHashAhead::StartAfter(const std::string& path) {
    Stop();
    stop_ = false;
    next_ = ListedAfter(path, sums_);
    try {
        worker_ = std::thread(&CSegmentHashAhead::Run, this);
    } catch (...) {
        // No second thread: the reader hashes each segment itself as it asks for it.
    }
}

void CSegmentHashAhead::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
    slots_.clear();
    next_.clear();
}

std::shared_ptr<CSegmentHashAhead::Slot> CSegmentHashAhead::ClaimLocked() {
    if (stop_ || next_.empty() || slots_.size() >= kAhead) return nullptr;
    auto slot = std::make_shared<Slot>();
    slot->hashed.path = next_;
    slots_.push_back(slot);
    next_ = ListedAfter(next_, sums_);
    return slot;
}

void CSegmentHashAhead::Hash(Slot& slot) {
    // Only this thread touches the slot's contents until its state says it is done.
    Hashed& hashed = slot.hashed;
    hashed.file = fs_.Open(hashed.path, OpenMode::Read, Share::DenyWrite);
    bool ok = hashed.file && HashOpenFile(*hashed.file, hashed.hex, &stop_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        slot.state = ok ? Slot::State::Ready : Slot::State::Failed;
        // A segment that cannot be opened or read here is the reader's to open and report;
        // nothing after it is hashed ahead.
        if (!ok) next_.clear();
    }
    changed_.notify_all();
}

bool CSegmentHashAhead::Take(const std::string& path, Hashed& out) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (!slots_.empty()) {
            std::shared_ptr<Slot> front = slots_.front();
            if (front->hashed.path != path) return false;  // the reader went another way
            if (front->state != Slot::State::Hashing) {
                slots_.pop_front();
                changed_.notify_all();
                if (front->state == Slot::State::Failed) return false;
                out = std::move(front->hashed);
                return true;
            }
        } else if (next_ != path) {
            return false;  // not listed, after a failure, or another way
        }
        if (std::shared_ptr<Slot> slot = ClaimLocked()) {
            lock.unlock();
            Hash(*slot);
            lock.lock();
            continue;
        }
        changed_.wait(lock);
    }
}

void CSegmentHashAhead::Run() {
    for (;;) {
        std::shared_ptr<Slot> slot;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return stop_ || next_.empty() || slots_.size() < kAhead; });
            slot = ClaimLocked();
            if (!slot) return;  // stopped, or nothing more to hash
        }
        Hash(*slot);
    }
}
