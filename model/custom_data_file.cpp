// custom.dat: reading, writing, and the choice between the program's copy and the user's.
#include "model/custom_data_file.h"

#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/text_format.h"

namespace {

// Next line of text from pos, without its line end; false at the end of the text.
bool NextLine(const std::string& text, size_t& pos, std::string& line) {
    if (pos >= text.size()) return false;
    size_t end = text.find('\n', pos);
    size_t next = end == std::string::npos ? text.size() : end + 1;
    if (end == std::string::npos) end = text.size();
    line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A longer line keeps its first 499 characters; the rest must not become the next line,
    // or every record after it would be read out of step.
    if (line.size() > CCustomDataFile::kMaxLine) line.resize(CCustomDataFile::kMaxLine);
    pos = next;
    return true;
}

// Decimal as strtol reads it (leading blanks, sign, digits, anything after ignored), held
// to the 32-bit range.
int32_t ParseSize(const std::string& line) {
    long long v = std::strtoll(line.c_str(), nullptr, 10);
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

}  // namespace

CCustomDataFile::CCustomDataFile(IFileSystem& fs, std::string exeFolder, std::string userFolder)
    : fs_(fs), exeFolder_(std::move(exeFolder)), userFolder_(std::move(userFolder)) {}

void CCustomDataFile::Parse(const std::string& text, const std::string& workDirectory, CPresetList& list) {
    size_t pos = 0;
    bool first = true;
    std::string name, location, size;
    while (NextLine(text, pos, name)) {
        if (!NextLine(text, pos, location) || !NextLine(text, pos, size)) break;
        if (first && !workDirectory.empty()) location = workDirectory;
        first = false;
        list.Append(name, ParseSize(size), location);
    }
}

std::string CCustomDataFile::Format(const CPresetList& list) {
    std::string text;
    for (int i = 0; i < list.Count(); ++i)
        text += list.Name(i) + "\r\n" + list.Location(i) + "\r\n" + FormatText("%d", int(list.Size(i))) + "\r\n";
    return text;
}

bool CCustomDataFile::Read(const std::string& path, std::string& text) {
    std::unique_ptr<IFile> file = fs_.Open(path, OpenMode::Read, Share::DenyWrite);
    if (!file) return false;
    text.clear();
    char buffer[4096];
    for (;;) {
        int64_t got = file->Read(buffer, sizeof buffer);
        if (got < 0) return false;
        if (got == 0) break;
        text.append(buffer, static_cast<size_t>(got));
    }
    return true;
}

bool CCustomDataFile::Write(const std::string& path, const std::string& text) {
    std::unique_ptr<IFile> file = fs_.Open(path, OpenMode::CreateWrite, Share::DenyWrite);
    if (!file) return false;
    bool ok = text.empty() || file->Write(text.data(), text.size());
    return file->Close() && ok;
}

bool CCustomDataFile::Load(CPresetList& list, const std::string& workDirectory) {
    std::string text;
    bool read = (!userFolder_.empty() && fs_.Exists(UserPath()) && Read(UserPath(), text)) || Read(ExePath(), text);
    if (!read) return false;
    Parse(text, workDirectory, list);
    return true;
}

bool CCustomDataFile::Save(const CPresetList& list) {
    std::string text = Format(list);
    // Once a user has a copy of their own it is the one read, so it must take the change; the
    // program's copy is kept current where it can be.
    if (!userFolder_.empty() && fs_.Exists(UserPath())) {
        bool copied = Write(UserPath(), text);
        Write(ExePath(), text);
        return copied;
    }
    if (Write(ExePath(), text)) return true;
    if (userFolder_.empty()) return false;
    std::string folder = userFolder_.substr(0, userFolder_.size() - 1);
    if (!fs_.Exists(folder)) fs_.MakeFolder(folder);
    return Write(UserPath(), text);
}
