// POSIX settings stores: INI files read and written whole, as the profile API does on Windows.
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/posix/drive_map.h"
#include "platform/fallback_settings.h"
#include "platform/settings.h"
#include "platform/text_case.h"
#include "platform/text_trim.h"

namespace {

class IniFile : public ISettings {
public:
    explicit IniFile(std::string hostPath) : path_(std::move(hostPath)) {}

    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& fallback) override {
        std::vector<std::string> lines = Load();
        bool inSection = false;
        for (const std::string& raw : lines) {
            std::string line = TrimWhiteSpace(raw);
            if (!line.empty() && line[0] == '[') {
                inSection = SameTextIgnoringCase(line.substr(1, line.find(']') - 1), section);
            } else if (inSection) {
                size_t eq = line.find('=');
                if (eq != std::string::npos && SameTextIgnoringCase(TrimWhiteSpace(line.substr(0, eq)), key))
                    return TrimWhiteSpace(line.substr(eq + 1));
            }
        }
        return fallback;
    }

    int GetInt(const std::string& section, const std::string& key, int fallback) override {
        std::string text = GetString(section, key, std::string());
        if (text.empty()) return fallback;
        return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
    }

    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override {
        std::vector<std::string> lines = Load();
        bool inSection = false, sectionSeen = false, written = false;
        size_t sectionEnd = lines.size();
        for (size_t i = 0; i < lines.size() && !written; ++i) {
            std::string line = TrimWhiteSpace(lines[i]);
            if (!line.empty() && line[0] == '[') {
                if (inSection) {
                    sectionEnd = i;
                    break;
                }
                inSection = SameTextIgnoringCase(line.substr(1, line.find(']') - 1), section);
                sectionSeen = sectionSeen || inSection;
            } else if (inSection) {
                size_t eq = line.find('=');
                if (eq != std::string::npos && SameTextIgnoringCase(TrimWhiteSpace(line.substr(0, eq)), key)) {
                    lines[i] = key + "=" + value;
                    written = true;
                }
            }
        }
        if (!written) {
            if (!sectionSeen) {
                lines.push_back("[" + section + "]");
                lines.push_back(key + "=" + value);
            } else {
                lines.insert(lines.begin() + static_cast<long>(sectionEnd), key + "=" + value);
            }
        }
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        for (const std::string& l : lines) out << l << "\r\n";
        return static_cast<bool>(out);
    }

    bool WriteInt(const std::string& section, const std::string& key, int value) override {
        return WriteString(section, key, std::to_string(value));
    }

private:
    std::vector<std::string> Load() {
        std::vector<std::string> lines;
        std::ifstream in(path_, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    std::string path_;
};

}  // namespace

std::unique_ptr<ISettings> OpenProfileFile(const std::string& path) {
    std::string host = posix_drives::ToHost(path);
    return std::make_unique<IniFile>(host.empty() ? path : host);
}

std::unique_ptr<ISettings> OpenAppProfile(const std::string& company, const std::string& application) {
    const char* home = std::getenv("HOME");
    std::string folder = std::string(home ? home : "/tmp") + "/.config";
    ::mkdir(folder.c_str(), 0700);
    folder += "/zembra";
    ::mkdir(folder.c_str(), 0700);
    return std::make_unique<IniFile>(folder + "/" + company + "-" + application + ".ini");
}

// The shared file by its bare name sits in the current folder here (no Windows folder); the
// per-user copy under $HOME/.config/zembra.
std::unique_ptr<ISettings> OpenSharedProfile(const std::string& fileName) {
    const char* home = std::getenv("HOME");
    std::string folder = std::string(home ? home : "/tmp") + "/.config/zembra";
    auto prepare = [folder]() {
        ::mkdir(folder.substr(0, folder.rfind('/')).c_str(), 0700);
        return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
    };
    return std::make_unique<CFallbackSettings>(std::make_unique<IniFile>(fileName),
                                               std::make_unique<IniFile>(folder + "/" + fileName), prepare);
}
