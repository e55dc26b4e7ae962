// What the wizard pages compute without a window.
#include "view/model/wizard_rules.h"

#include <memory>

#include "platform/file_system.h"
#include "platform/path_text.h"
#include "platform/text_format.h"

namespace wizard_rules {

std::string TotalText(uint64_t totalBytes) {
    if (totalBytes > 1000000) return FormatText("%.3f MB ", static_cast<double>(totalBytes) / 1000000.0);
    return FormatText("%.3f KB ", static_cast<double>(totalBytes) / 1000.0);
}

std::string ProjectPath(bool removable, const std::string& exeDirectory, const std::string& saveLocation,
                        const std::string& setName) {
    return WithBackslash(removable ? exeDirectory : saveLocation) + setName + ".spj";
}

std::string MailerCommandLine(const std::string& programPath, const std::string& saveLocation,
                              const std::string& setName, int lastSegment) {
    size_t cut = programPath.find_last_of('\\');
    std::string folder = cut == std::string::npos ? std::string() : programPath.substr(0, cut);
    // The program is quoted: a folder with spaces must not make the system start another file.
    return FormatText("\"%s\\korvo.exe\" &Segmented %s%s %d", folder.c_str(), WithBackslash(saveLocation).c_str(),
                      setName.c_str(), lastSegment);
}

bool ReadResultsText(IFileSystem& fs, const std::string& projectPath, std::string& text) {
    text.clear();
    std::unique_ptr<IFile> file = fs.Open(projectPath, OpenMode::Read, Share::DenyWrite);
    if (!file) return false;
    std::string bytes;
    char buffer[4096];
    for (int64_t n; (n = file->Read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<size_t>(n));
    file->Close();
    // Whole lines, whatever their length, so a long path is never cut in two.
    size_t from = 0;
    while (from < bytes.size()) {
        size_t end = bytes.find('\n', from);
        size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos) end = bytes.size();
        size_t stop = end > from && bytes[end - 1] == '\r' ? end - 1 : end;
        text += bytes.substr(from, stop - from) + "\r\n";
        from = next;
    }
    return true;
}

}  // namespace wizard_rules
