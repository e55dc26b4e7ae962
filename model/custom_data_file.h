// CCustomDataFile: the preset file "custom.dat". Three lines a record (name, location, size as
// "%d"), one record per preset in list order, no header, CR LF line ends.
//
// Where it lives: beside the program, where a standard user often may not write. A per-user
// copy (in the user's settings folder) is read first when it exists, and written instead when
// the program's folder refuses, so that changes survive a restart.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "model/preset_list.h"

class CCustomDataFile {
public:
    static constexpr const char kFileName[] = "custom.dat";
    // Lines are read as into a 500-byte buffer: at most 499 characters are kept.
    static constexpr size_t kMaxLine = 499;
    static constexpr const char kWriteProblem[] = "Problems writing custom data!";

    // Both folders end with a backslash; userFolder may be empty (no per-user copy).
    CCustomDataFile(IFileSystem& fs, std::string exeFolder, std::string userFolder);

    // Appends the file's records to list: the per-user copy if there is one, else the
    // program's. workDirectory, when not empty, replaces the first record's location. False
    // (list unchanged) when no file can be read.
    bool Load(CPresetList& list, const std::string& workDirectory);
    // Replaces the file with the whole list; false when no place would take it.
    bool Save(const CPresetList& list);

    std::string ExePath() const { return exeFolder_ + kFileName; }
    std::string UserPath() const { return userFolder_.empty() ? std::string() : userFolder_ + kFileName; }

    // The format alone. A record cut short by the end of the file is dropped.
    static void Parse(const std::string& text, const std::string& workDirectory, CPresetList& list);
    static std::string Format(const CPresetList& list);

private:
    bool Read(const std::string& path, std::string& text);
    bool Write(const std::string& path, const std::string& text);

    IFileSystem& fs_;
    std::string exeFolder_;
    std::string userFolder_;
};
