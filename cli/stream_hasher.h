// CStreamHasher: SHA-256 digests of a series of byte streams, computed on a second thread while
// the caller goes on with its copy. The caller's bytes are copied into a few large blocks that
// wait in a bounded queue; the caller waits only when every block is queued, so memory stays at
// depth x block size however large the streams. A stream's end is queued like its blocks, so
// nothing waits for a digest until the caller asks for one.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cli/sha256.h"

class CStreamHasher {
public:
    static constexpr size_t kBlockSize = 1 << 20;
    static constexpr size_t kDepth = 8;

    CStreamHasher();
    ~CStreamHasher();
    CStreamHasher(const CStreamHasher&) = delete;
    CStreamHasher& operator=(const CStreamHasher&) = delete;

    // Adds to the stream now open (a new one begins with the first Add after an End).
    void Add(const void* data, size_t count);
    // Ends the stream; its digest will be known under name ("" drops it).
    void End(const std::string& name);
    // Waits for the queue to drain; the digests of the streams ended so far, as 64 lower-case
    // hex digits by name.
    const std::map<std::string, std::string>& Digests();
    // End, then the digest of that stream.
    std::string Finish();

private:
    using Block = std::vector<uint8_t>;
    struct Item {
        Block data;
        bool end = false;
        std::string name;
    };
    void Queue(Item item);
    // Hashes an item (the worker, or the caller when there is no worker); true when it ended a
    // named stream, whose digest is then in hex.
    bool Hash(Item& item, std::string& hex);
    void Work();

    CSha256 sha_;  // the worker's while anything is queued or being hashed
    Block filling_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Item> queued_;
    std::vector<Block> spare_;  // hashed blocks kept for reuse
    size_t blocks_ = 0;         // blocks made so far
    bool busy_ = false;         // the worker is hashing an item outside the lock
    bool stop_ = false;
    std::map<std::string, std::string> digests_;
    std::thread worker_;        // none where no thread could be started: hashed in place then
};
