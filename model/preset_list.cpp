// Preset list: every change reaches the three lists at the same index.
#include "model/preset_list.h"

void CPresetList::Append(const std::string& name, int32_t size, const std::string& location) {
    names_.push_back(name);
    sizes_.push_back(size);
    locations_.push_back(location);
}

void CPresetList::Replace(int i, const std::string& name, int32_t size, const std::string& location) {
    if (!Valid(i)) return;
    names_[i] = name;
    sizes_[i] = size;
    locations_[i] = location;
}

void CPresetList::Remove(int i) {
    if (!Valid(i)) return;
    names_.erase(names_.begin() + i);
    sizes_.erase(sizes_.begin() + i);
    locations_.erase(locations_.begin() + i);
}

void CPresetList::Clear() {
    names_.clear();
    sizes_.clear();
    locations_.clear();
}

int CPresetList::FindOther(const std::string& name, int except) const {
    for (int j = 0; j < Count(); ++j)
        if (j != except && names_[j] == name) return j;
    return -1;
}
