// The segments after the current one, hashed ahead of the reader.
#include "cli/segment_hash_ahead.h"

#include "checksum/segment_check.h"
#include "rejoiner/segment_name.h"

void CSegmentHashAhead::StartAfter(const std::string& path) {
    Stop();
    stop_ = false;
    running_ = true;
    try {
        worker_ = std::thread(&CSegmentHashAhead::Run, this, path);
    } catch (...) {
        running_ = false;  // no second thread: each segment is hashed as it is opened
    }
}

void CSegmentHashAhead::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
    ready_.clear();
    running_ = false;
}

bool CSegmentHashAhead::Take(const std::string& path, Hashed& out) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (!ready_.empty()) {
            if (ready_.front().path != path) return false;
            out = std::move(ready_.front());
            ready_.pop_front();
            changed_.notify_all();
            return true;
        }
        if (!running_) return false;
        changed_.wait(lock);
    }
}

void CSegmentHashAhead::Run(std::string path) {
    for (;;) {
        std::string name;
        if (!NextSegmentName(path, name) || sums_.Expected(name).empty()) break;
        path = FolderPart(path) + name;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return stop_ || ready_.size() < kAhead; });
            if (stop_) break;
        }
        Hashed hashed;
        hashed.path = path;
        hashed.file = fs_.Open(path, OpenMode::Read, Share::DenyWrite);
        // A segment that cannot be opened or read here is the reader's to open and report.
        if (!hashed.file || !HashOpenFile(*hashed.file, hashed.hex, &stop_)) break;
        std::lock_guard<std::mutex> lock(mutex_);
        if (stop_) break;
        ready_.push_back(std::move(hashed));
        changed_.notify_all();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    running_ = false;
    changed_.notify_all();
}
