// Entry-name checks: a set may come from anyone, so a name must never leave its folder.
#include "rejoiner/entry_name.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

bool IsReservedDevice(const std::string& name) {
    // Windows maps these to devices whatever follows the first dot, and ignores spaces
    // before that dot ("CON .txt").
    size_t end = std::min(name.find('.'), name.size());
    while (end > 0 && name[end - 1] == ' ') --end;
    if (end != 3 && end != 4 && end != 6 && end != 7) return false;  // the lengths of device names
    // Compared in place, without copies: this runs for every name a split or rejoin meets.
    auto begins = [&](const char* device, size_t n) {
        for (size_t i = 0; i < n; ++i)
            if (std::toupper(static_cast<unsigned char>(name[i])) != device[i]) return false;
        return true;
    };
    static const char* const kPlain[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kPlain)
        if (std::strlen(device) == end && begins(device, end)) return true;
    if (end == 4 && (begins("COM", 3) || begins("LPT", 3))) {
        unsigned char digit = static_cast<unsigned char>(name[3]);
        // 1-9, and the superscript digits that Windows also treats as device numbers.
        if ((digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3) return true;
    }
    return false;
}

}  // namespace

bool IsSafeEntryName(const std::string& name) {
    if (name.empty() || name.size() > kMaxEntryName) return false;
    for (char ch : name) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20) return false;
        switch (c) {
            case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|': return false;
            default: break;
        }
    }
    if (name.back() == '.' || name.back() == ' ') return false;  // also "." and ".."
    return !IsReservedDevice(name);
}

std::string PrintableEntryName(const std::string& name) {
    const size_t kShown = 80;
    if (name.empty()) return "(no name)";  // only a damaged set has one: say so, not ""
    std::string out;
    for (size_t i = 0; i < name.size() && i < kShown; ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        out += c < 0x20 ? '?' : name[i];
    }
    if (name.size() > kShown) out += "...";
    return out;
}
