// CSplitEngine: the names check before a run, and the items a run leaves out.
#include <algorithm>
#include <cctype>

#include "engine/split_engine.h"
#include "engine/split_messages.h"
#include "platform/text_format.h"
#include "rejoiner/entry_name.h"

namespace {

const size_t kListedAtMost = 20;  // lines in one message; the rest are counted

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string LastComponent(const std::string& path) {
    size_t sep = path.find_last_of("\\/");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

}  // namespace

std::string CSplitEngine::ListLines(const std::string& heading, const std::vector<std::string>& lines) const {
    std::string text = heading;
    for (size_t i = 0; i < lines.size() && i < kListedAtMost; ++i) text += "\n" + lines[i];
    if (lines.size() > kListedAtMost)
        text += "\n" + FormatText(split_text::kMore, static_cast<int>(lines.size() - kListedAtMost));
    return text;
}

// Every name that would go into the set is looked at first, as the walk will meet it: a set
// whose reader would stop at an entry, or a name that stands for another file, is never begun.
bool CSplitEngine::CheckNames() {
    std::vector<std::string> refused;
    for (const std::string& item : items_) {
        uint32_t attributes = 0;
        if (!fs_.GetAttributes(item, attributes)) continue;  // the walk reports it as left out
        FileStatus status;
        if (fs_.GetStatus(item, status)) {
            std::string name = LastComponent(item);
            if (!name.empty() && !IsSafeEntryName(name)) refused.push_back(item);
            attributes = status.attributes;
        }
        if ((attributes & kAttrFolder) && !(attributes & kAttrDevice)) CollectRefusedNames(item, refused);
    }
    if (refused.empty()) return true;
    HideProgress();
    prompts_.Message(ListLines(split_text::kRefusedNames, refused));
    return false;
}

void CSplitEngine::CollectRefusedNames(const std::string& path, std::vector<std::string>& refused) {
    bool endsWithSeparator = !path.empty() && path.back() == '\\';
    std::string prefix = endsWithSeparator ? path : path + "\\";
    bool isDestination = Upper(prefix) == Upper(destination_);
    fs_.ListFolderNames(prefix + "*.*", [&](const DirEntry& entry) {
        if (((entry.attributes & kAttrHidden) && !includeHidden_) || entry.name == "." || entry.name == "..") return true;
        if (isDestination && IsOwnOutput(entry.name)) return true;
        if (!entry.exact || !IsSafeEntryName(entry.name)) {
            refused.push_back(prefix + entry.name);
            return true;
        }
        // Links to folders are left out by the walk, so what lies behind them is not looked at.
        if ((entry.attributes & kAttrFolder) && !(entry.attributes & (kAttrReparsePoint | kAttrDevice)))
            CollectRefusedNames(prefix + entry.name, refused);
        return true;
    });
}

void CSplitEngine::LeaveOut(const std::string& path, const std::string& why) {
    leftOut_.push_back(path + " (" + why + ")");
}

void CSplitEngine::ReportLeftOut() {
    if (leftOut_.empty()) return;
    prompts_.Message(ListLines(split_text::kLeftOut, leftOut_));
}
