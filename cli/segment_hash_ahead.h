// CSegmentHashAhead: hashes the segments after the one being restored on a second thread, in
// order and a few ahead, so a checked rejoin waits for little more than the first segment's
// hash. Each hashed segment stays open and is handed over as it is: the file the reader uses is
// the very one whose bytes were hashed, whatever happens to its name meanwhile.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "checksum/set_checksums.h"
#include "platform/file_system.h"

class CSegmentHashAhead {
public:
    struct Hashed {
        std::string path;
        std::unique_ptr<IFile> file;  // open, at its start
        std::string hex;
    };

    // fs is used from the worker for Open and Read only.
    CSegmentHashAhead(IFileSystem& fs, const CSetChecksums& sums) : fs_(fs), sums_(sums) {}
    ~CSegmentHashAhead() { Stop(); }

    // Starts hashing the segments after path that sums lists, ending any earlier run. Without a
    // second thread nothing is hashed ahead and every Take says so.
    void StartAfter(const std::string& path);
    // The hashed segment at path, waiting for it while the worker is on its way there. False
    // when the worker stopped before it (a segment unlisted, missing or unreadable) or went
    // another way: the caller then opens and hashes it itself.
    bool Take(const std::string& path, Hashed& out);
    void Stop();

private:
    void Run(std::string path);

    // Segments hashed and waiting for the reader: enough to cover one segment's restore, few
    // enough not to hold many files open.
    static constexpr size_t kAhead = 2;

    IFileSystem& fs_;
    const CSetChecksums& sums_;
    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Hashed> ready_;
    bool running_ = false;
    std::atomic<bool> stop_{false};
};
