// CFolderTable: folder ids of a set, and their paths built on demand.
#include "rejoiner/folder_table.h"

void CFolderTable::Reset() {
    slots_.clear();
    slots_.emplace_back();
}

uint32_t CFolderTable::Add(uint32_t parent, const std::string& name, bool skipped) {
    Slot slot;
    slot.parent = parent;
    slot.skipped = skipped || (Has(parent) && slots_[parent].skipped);
    // A skipped folder is never made into a path; its name need not be kept.
    if (!slot.skipped && Has(parent)) {
        slot.name = name;
        slot.length = static_cast<uint32_t>(ChildLength(parent, name));
    }
    slots_.push_back(std::move(slot));
    return static_cast<uint32_t>(slots_.size() - 1);
}

std::string CFolderTable::Path(uint32_t id) const {
    if (id == 0 || !Has(id)) return std::string();
    std::string path(slots_[id].length, '\\');
    size_t end = path.size();
    for (uint32_t at = id; at != 0; at = slots_[at].parent) {
        const std::string& name = slots_[at].name;
        end -= name.size();
        path.replace(end, name.size(), name);
        if (end > 0) --end;  // the backslash before it stays
    }
    return path;
}

std::string CFolderTable::ChildPath(uint32_t id, const std::string& name) const {
    return id == 0 ? name : Path(id) + "\\" + name;
}
