// Hand-made split sets for the rejoin tests (natively and under Wine): damaged and hostile
// entry streams the engine would never write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An entry stream built record by record, then cut into segments where a test says.
class CraftedSet {
public:
    CraftedSet& File(const std::string& name, const std::string& data, uint32_t parent = 0) {
        Record(static_cast<uint32_t>(data.size()), 0x20, parent, name);
        stream_ += data;
        return *this;
    }
    CraftedSet& Folder(const std::string& name, uint32_t parent = 0) {
        Record(0, 0x10, parent, name);
        return *this;
    }
    // A header that claims size bytes of content, none of which follow.
    CraftedSet& Header(uint32_t size, uint8_t attributes, uint32_t parent, const std::string& name) {
        Record(size, attributes, parent, name);
        return *this;
    }
    CraftedSet& Raw(const std::string& bytes) {
        stream_ += bytes;
        return *this;
    }
    const std::string& Stream() const { return stream_; }

    // Segment texts: the first with an image of imageLength bytes and the trailer; cuts are
    // offsets into the stream where a new segment begins.
    std::vector<std::string> Segments(std::vector<size_t> cuts = {}, size_t imageLength = 64) const {
        std::vector<std::string> out;
        cuts.push_back(stream_.size());
        size_t at = 0;
        for (size_t i = 0; i < cuts.size(); ++i) {
            std::string flag(1, i + 1 == cuts.size() ? '\1' : '\0');
            std::string data = flag + stream_.substr(at, cuts[i] - at);
            at = cuts[i];
            if (i == 0) {
                std::string image(imageLength, 'M');
                data = image + data + Le32(static_cast<uint32_t>(imageLength));
            }
            out.push_back(data);
        }
        return out;
    }

    static std::string Le32(uint32_t v) {
        std::string s(4, '\0');
        for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
        return s;
    }

private:
    void Record(uint32_t size, uint8_t attributes, uint32_t parent, const std::string& name) {
        stream_ += Le32(size);
        stream_ += static_cast<char>(attributes);
        stream_ += Le32(parent);
        stream_ += name;
        stream_ += '\0';
    }
    std::string stream_;
};
