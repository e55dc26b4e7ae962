// Where the rejoiner program image at the head of every first segment comes from.
#pragma once

#include <cstdint>
#include <vector>

class IRejoinerImage {
public:
    virtual ~IRejoinerImage() = default;
    // Fills bytes with the whole image; false when it is not available.
    virtual bool Load(std::vector<uint8_t>& bytes) = 0;
};

// The running program's resource "RAW_BINARY" 131 (Windows builds embed the rejoiner there).
class ResourceRejoinerImage : public IRejoinerImage {
public:
    bool Load(std::vector<uint8_t>& bytes) override;
};

// Bytes handed in by the owner: the host build, tests, and programs that embed it otherwise.
class BytesRejoinerImage : public IRejoinerImage {
public:
    BytesRejoinerImage() = default;
    explicit BytesRejoinerImage(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)), present_(true) {}
    void Set(std::vector<uint8_t> bytes) {
        bytes_ = std::move(bytes);
        present_ = true;
    }
    bool Load(std::vector<uint8_t>& bytes) override {
        if (!present_) return false;
        bytes = bytes_;
        return true;
    }

private:
    std::vector<uint8_t> bytes_;
    bool present_ = false;
};
