// Recent-file list: order, deduplication, profile keys and menu texts.
#include "model/recent_file_list.h"

#include "platform/settings.h"
#include "platform/text_case.h"

namespace {
std::string Key(size_t i) { return "File" + std::to_string(i + 1); }

// Keeps the drive (or share) and as many trailing components as fit.
std::string Shorten(const std::string& path, size_t maxChars) {
    if (path.size() <= maxChars) return path;
    size_t head = path.find('\\');
    if (head == std::string::npos) return path.substr(path.size() - maxChars);
    std::string front = path.substr(0, head + 1) + "...";
    size_t cut = path.find('\\', head + 1);
    while (cut != std::string::npos && front.size() + path.size() - cut > maxChars)
        cut = path.find('\\', cut + 1);
    if (cut == std::string::npos) {
        size_t name = path.rfind('\\');
        return front + path.substr(name);  // the file name alone, however long
    }
    return front + path.substr(cut);
}
}  // namespace

void CRecentFileList::Load(ISettings& settings) {
    files_.clear();
    for (size_t i = 0; i < size_; ++i) {
        std::string path = settings.GetString(kSection, Key(i), "");
        if (path.empty()) continue;
        bool seen = false;
        for (const std::string& f : files_) seen = seen || SameTextIgnoringCase(f, path);
        if (!seen) files_.push_back(path);
    }
}

bool CRecentFileList::Save(ISettings& settings) const {
    bool ok = true;
    for (size_t i = 0; i < size_; ++i)
        ok = settings.WriteString(kSection, Key(i), i < files_.size() ? files_[i] : "") && ok;
    return ok;
}

void CRecentFileList::Add(const std::string& path) {
    if (path.empty()) return;
    for (size_t i = 0; i < files_.size(); ++i)
        if (SameTextIgnoringCase(files_[i], path)) {
            files_.erase(files_.begin() + static_cast<long>(i));
            break;
        }
    files_.insert(files_.begin(), path);
    if (files_.size() > size_) files_.resize(size_);
}

void CRecentFileList::Remove(size_t index) {
    if (index < files_.size()) files_.erase(files_.begin() + static_cast<long>(index));
}

std::string CRecentFileList::MenuText(size_t index, size_t maxChars) const {
    if (index >= files_.size()) return std::string();
    std::string text = "&" + std::to_string(index + 1) + " ";
    for (char c : Shorten(files_[index], maxChars)) {
        text += c;
        if (c == '&') text += '&';
    }
    return text;
}
