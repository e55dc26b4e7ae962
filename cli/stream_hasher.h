// CStreamHasher: the SHA-256 of a byte stream, computed on a second thread while the caller
// goes on with its copy. The caller's bytes are copied into a few large blocks that wait in a
// bounded queue; the caller waits only when every block is queued, so memory stays at
// depth x block size however large the stream.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cli/sha256.h"

class CStreamHasher {
public:
    static constexpr size_t kBlockSize = 1 << 20;
    static constexpr size_t kDepth = 4;

    CStreamHasher();
    ~CStreamHasher();
    CStreamHasher(const CStreamHasher&) = delete;
    CStreamHasher& operator=(const CStreamHasher&) = delete;

    // Starts a new stream; what was added since the last Finish is dropped.
    void Begin();
    void Add(const void* data, size_t count);
    // Waits for the queue to drain; the digest of the stream as 64 lower-case hex digits.
    std::string Finish();

private:
    using Block = std::vector<uint8_t>;
    void Queue();  // hands the block being filled to the worker
    void Work();
    void WaitIdle(std::unique_lock<std::mutex>& lock);

    CSha256 sha_;  // the worker's while it runs, the caller's when the queue is empty
    Block filling_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Block> queued_;  // full blocks waiting for the worker
    std::vector<Block> spare_;  // hashed blocks kept for reuse
    size_t blocks_ = 0;         // blocks made so far (at most kDepth + 1)
    bool busy_ = false;         // the worker is hashing a block outside the lock
    bool stop_ = false;
    std::thread worker_;        // none where no thread could be started: hashed in place then
};
