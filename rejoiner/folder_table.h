// CFolderTable: the folders of a set being rejoined, by id, each as its parent's id and its own
// name, so that memory grows with the set and not with the depth of its folders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CFolderTable {
public:
    CFolderTable() { Reset(); }
    // Only the destination itself remains, as id 0 (relative path "").
    void Reset();
    // The next folder record: it takes the next id whatever becomes of it, as the writer numbers
    // every folder record. A folder under a skipped one is skipped too.
    uint32_t Add(uint32_t parent, const std::string& name, bool skipped);
    bool Has(uint32_t id) const { return id < slots_.size(); }
    bool Skipped(uint32_t id) const { return slots_[id].skipped; }
    void MarkSkipped(uint32_t id) { slots_[id].skipped = true; }
    // Length of Path(id), known without building it.
    size_t Length(uint32_t id) const { return slots_[id].length; }
    // Names from the destination down, joined by backslashes; "" for the destination.
    std::string Path(uint32_t id) const;
    // Path of a child named name of folder id.
    std::string ChildPath(uint32_t id, const std::string& name) const;
    size_t ChildLength(uint32_t id, const std::string& name) const {
        return id == 0 ? name.size() : slots_[id].length + 1 + name.size();
    }

private:
    struct Slot {
        uint32_t parent = 0;
        uint32_t length = 0;
        bool skipped = false;
        std::string name;
    };
    std::vector<Slot> slots_;
};
