// Settings stores: private profile files ("ReZove.ini") and the program's own registry key.
#pragma once

#include <memory>
#include <string>

class ISettings {
public:
    virtual ~ISettings() = default;
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& fallback) = 0;
    virtual int GetInt(const std::string& section, const std::string& key, int fallback) = 0;
    virtual bool WriteString(const std::string& section, const std::string& key,
                             const std::string& value) = 0;
    virtual bool WriteInt(const std::string& section, const std::string& key, int value) = 0;
};

// A private profile (INI) file at a Windows path.
std::unique_ptr<ISettings> OpenProfileFile(const std::string& path);

// The program's registry profile: Software\<company>\<application>\<section> under the
// current user on Windows; an INI file under $HOME/.config/zembra on POSIX.
std::unique_ptr<ISettings> OpenAppProfile(const std::string& company, const std::string& application);
