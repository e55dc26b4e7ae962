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
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    std::string upper;
    for (char c : base) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const char* const kPlain[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kPlain)
        if (upper == device) return true;
    if (upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0)) {
        unsigned char digit = static_cast<unsigned char>(upper[3]);
        // 1-9, and the superscript digits that Windows also treats as device numbers.
        if ((digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3)
            return true;
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
