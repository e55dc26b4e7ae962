// Win32 settings stores: the private profile API and the current user's registry key.
#include <windows.h>

#include "platform/fallback_settings.h"
#include "platform/settings.h"

namespace {

class ProfileFile : public ISettings {
public:
    explicit ProfileFile(std::string path) : path_(std::move(path)) {}
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& fallback) override {
        char buffer[1024];
        GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                 sizeof buffer, path_.c_str());
        return buffer;
    }
    int GetInt(const std::string& section, const std::string& key, int fallback) override {
        return static_cast<int>(
            GetPrivateProfileIntA(section.c_str(), key.c_str(), fallback, path_.c_str()));
    }
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) != 0;
    }
    bool WriteInt(const std::string& section, const std::string& key, int value) override {
        return WriteString(section, key, std::to_string(value));
    }

private:
    std::string path_;
};

class RegistryProfile : public ISettings {
public:
    explicit RegistryProfile(std::string root) : root_(std::move(root)) {}
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& fallback) override {
        char buffer[1024];
        DWORD size = sizeof buffer, type = 0;
        if (RegGetValueA(HKEY_CURRENT_USER, (root_ + section).c_str(), key.c_str(), RRF_RT_REG_SZ,
                         &type, buffer, &size) != ERROR_SUCCESS)
            return fallback;
        return buffer;
    }
    int GetInt(const std::string& section, const std::string& key, int fallback) override {
        DWORD value = 0, size = sizeof value;
        if (RegGetValueA(HKEY_CURRENT_USER, (root_ + section).c_str(), key.c_str(), RRF_RT_REG_DWORD,
                         nullptr, &value, &size) != ERROR_SUCCESS)
            return fallback;
        return static_cast<int>(value);
    }
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override {
        HKEY k;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, (root_ + section).c_str(), 0, nullptr, 0, KEY_WRITE,
                            nullptr, &k, nullptr) != ERROR_SUCCESS)
            return false;
        LONG rc = RegSetValueExA(k, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
        RegCloseKey(k);
        return rc == ERROR_SUCCESS;
    }
    bool WriteInt(const std::string& section, const std::string& key, int value) override {
        HKEY k;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, (root_ + section).c_str(), 0, nullptr, 0, KEY_WRITE,
                            nullptr, &k, nullptr) != ERROR_SUCCESS)
            return false;
        DWORD v = static_cast<DWORD>(value);
        LONG rc = RegSetValueExA(k, key.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
        RegCloseKey(k);
        return rc == ERROR_SUCCESS;
    }

private:
    std::string root_;
};

}  // namespace

std::unique_ptr<ISettings> OpenProfileFile(const std::string& path) {
    return std::make_unique<ProfileFile>(path);
}

std::unique_ptr<ISettings> OpenAppProfile(const std::string& company, const std::string& application) {
    return std::make_unique<RegistryProfile>("Software\\" + company + "\\" + application + "\\");
}

// The shared file by its bare name lives in the Windows folder (the profile API's rule); the
// per-user copy in %APPDATA%\Zembra\, whose folder is made at the first write there.
std::unique_ptr<ISettings> OpenSharedProfile(const std::string& fileName) {
    char appData[MAX_PATH] = {0};
    DWORD n = GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
    std::unique_ptr<ISettings> copy;
    std::string folder;
    if (n > 0 && n < sizeof appData) {
        folder = std::string(appData) + "\\Zembra";
        copy = OpenProfileFile(folder + "\\" + fileName);
    }
    auto prepare = [folder]() {
        return !folder.empty() &&
               (CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    };
    return std::make_unique<CFallbackSettings>(OpenProfileFile(fileName), std::move(copy), prepare);
}
