// What the wizard pages compute without a window.
#include "model/wizard_rules.h"

#include <vector>

#include "platform/file_system.h"
#include "platform/path_text.h"
#include "platform/text_format.h"
#include "model/listing_reader.h"
#include "model/recovery_setting.h"

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
    // The set's recovery volumes lie beside its listing, named after it; their lines go after
    // the listing's, in the room the text was given, so the text is never held twice.
    std::string recovery;
    size_t cut = projectPath.rfind('\\') + 1, dot = projectPath.rfind('.');
    if (dot != std::string::npos && dot > cut)
        recovery = recovery_setting::ResultsLines(fs, projectPath.substr(0, cut), projectPath.substr(cut, dot - cut));
    // Read as the project commands read a listing: whole lines whatever their length, so a long
    // path is never cut in two.
    if (!listing_reader::ReadContentsText(fs, projectPath, text, recovery.size())) return false;
    text += recovery;
    return true;
}

}  // namespace wizard_rules
