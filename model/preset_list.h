// CPresetList: the size presets as three parallel lists (names, sizes, locations), index i
// describing preset i in all three and in the preset box. The lists may be its own or kept
// elsewhere (the main view's fields, which the wizard reads too).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CPresetList {
public:
    // Sizes with a fixed meaning; any value of 0 or more is a size in K (1000 bytes).
    static constexpr int32_t kTypedSize = -1;   // the user types the size
    static constexpr int32_t kNewPreset = -2;   // choosing it defines a new preset
    // Index 0 is the automatic preset; 0 and 1 cannot be edited, 0 to 2 cannot be removed.
    static constexpr int kFirstEditable = 2;
    static constexpr int kFirstRemovable = 3;

    CPresetList() : names_(own_.names), sizes_(own_.sizes), locations_(own_.locations) {}
    // Works on lists that outlive it.
    CPresetList(std::vector<std::string>& names, std::vector<int32_t>& sizes, std::vector<std::string>& locations)
        : names_(names), sizes_(sizes), locations_(locations) {}
    CPresetList(const CPresetList&) = delete;
    CPresetList& operator=(const CPresetList&) = delete;

    int Count() const { return static_cast<int>(names_.size()); }
    bool Valid(int i) const { return i >= 0 && i < Count(); }
    const std::string& Name(int i) const { return names_[i]; }
    int32_t Size(int i) const { return sizes_[i]; }
    const std::string& Location(int i) const { return locations_[i]; }
    const std::vector<std::string>& Names() const { return names_; }

    void Append(const std::string& name, int32_t size, const std::string& location);
    void Replace(int i, const std::string& name, int32_t size, const std::string& location);
    void Remove(int i);
    void SetLocation(int i, const std::string& location) { locations_[i] = location; }
    void Clear();
    // Index of another entry (not except) with exactly this name, case included; -1 if none.
    int FindOther(const std::string& name, int except) const;

private:
    struct Lists {
        std::vector<std::string> names;
        std::vector<int32_t> sizes;
        std::vector<std::string> locations;
    } own_;
    std::vector<std::string>& names_;
    std::vector<int32_t>& sizes_;
    std::vector<std::string>& locations_;
};
