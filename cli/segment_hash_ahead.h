// CSegmentHashAhead: hashes the segments after the one being restored on a second thread, in
// order and a few ahead, so a checked rejoin waits for little more than the first segment's
// hash. A reader that finds its segment still being hashed hashes a later one itself rather than
// wait: hashing is slower than restoring, and one thread alone would leave the other idle. Each
// hashed segment stays open and is handed over as it is: the file the reader uses is the very
// one whose bytes were hashed, whatever happens to its name meanwhile.
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
    struct Slot {
        enum class State { Hashing, Ready, Failed } state = State::Hashing;
        Hashed hashed;
    };
    void Run();
    // The next segment to hash, taken for the calling thread; nullptr when there is none now.
    std::shared_ptr<Slot> ClaimLocked();
    void Hash(Slot& slot);

    // Segments being hashed or waiting for the reader: enough to keep both threads busy, few
    // enough not to hold many files open.
    static constexpr size_t kAhead = 3;

    IFileSystem& fs_;
    const CSetChecksums& sums_;
    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Slot>> slots_;  // in the order the reader takes them
    std::string next_;  // the segment to claim next; empty when the listed ones end or one failed
    std::atomic<bool> stop_{false};
};
