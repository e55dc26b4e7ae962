// File and folder services the core needs, in Windows path terms (drive letters, backslashes).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Attribute bits as the file system reports them (the Windows values on every backend).
enum : uint32_t {
    kAttrReadOnly = 0x01,
    kAttrHidden = 0x02,
    kAttrSystem = 0x04,
    kAttrFolder = 0x10,
    kAttrArchive = 0x20,
    kAttrDevice = 0x40,         // neither a regular file nor a folder: a pipe, socket or device
    kAttrNormal = 0x80,
    kAttrReparsePoint = 0x400,  // a symbolic link or other reparse point
};

enum class DriveType { Unknown, NoRootDir, Removable, Fixed, Remote, CdRom, RamDisk };

// Status of the directory entry a path names. Fails for a drive root or a path with a
// trailing separator, as a directory-entry lookup does on Windows.
struct FileStatus {
    uint64_t size = 0;
    uint32_t attributes = 0;
};

struct DirEntry {
    std::string name;
    uint64_t size = 0;
    uint32_t attributes = 0;
    // False when the name has no exact spelling in the set's code page; name then holds '?'
    // for what cannot be spelt, and the entry cannot be opened by it.
    bool exact = true;
};

// What stands at a path inside a folder, found without following any link on the way.
enum class ItemKind {
    Missing,      // nothing there (a folder on the way may be missing too)
    File,         // a regular file
    Folder,       // a real folder
    Other,        // a link, reparse point, device, or a file where a folder should be
    Unreachable,  // could not be looked at (no access, path too long)
};

enum class OpenMode {
    Read,          // existing file, read only
    CreateWrite,   // create or truncate, write only
    ReadWrite,     // existing file, read and write
};

// Sharing that others are allowed while the file is open.
enum class Share { DenyNone, DenyWrite, DenyAll };

class IFile {
public:
    virtual ~IFile() = default;
    // Returns bytes read, fewer than count only at the end of the file; 0 there; -1 on error.
    virtual int64_t Read(void* buffer, size_t count) = 0;
    // Returns true when every byte was written.
    virtual bool Write(const void* buffer, size_t count) = 0;
    virtual bool Seek(uint64_t offset) = 0;
    virtual bool SeekToEnd() = 0;
    virtual bool Flush() = 0;
    // Closes the handle; returns false when the close reported an error (data not written).
    virtual bool Close() = 0;
    virtual uint64_t Length() = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    virtual bool GetStatus(const std::string& path, FileStatus& status) = 0;
    // Attributes of any path, a drive root included; false when it does not exist.
    virtual bool GetAttributes(const std::string& path, uint32_t& attributes) = 0;
    // Calls visit for each entry matching a "folder\*.*" pattern, in the order the file
    // system returns them ("." and ".." included where the platform reports them). The visit
    // returns false to stop. Returns false when the folder cannot be listed.
    virtual bool ListFolder(const std::string& pattern,
                            const std::function<bool(const DirEntry&)>& visit) = 0;
    // As ListFolder, for callers that need only each entry's name and kind: size is 0, and of
    // the attributes only folder, link, device and hidden are sure. Cheaper where the system
    // gives the kind with the name.
    virtual bool ListFolderNames(const std::string& pattern, const std::function<bool(const DirEntry&)>& visit) {
        return ListFolder(pattern, visit);
    }
    virtual bool Exists(const std::string& path) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    virtual bool MakeFolder(const std::string& path) = 0;
    virtual DriveType DriveTypeOf(const std::string& root) = 0;
    // Free bytes of the volume holding root; false when the query fails.
    virtual bool GetFreeBytes(const std::string& root, uint64_t& bytes) = 0;
    // nullptr on failure; LastErrorText() then describes why.
    virtual std::unique_ptr<IFile> Open(const std::string& path, OpenMode mode, Share share) = 0;
    // The system's description of the last failed call on this thread.
    virtual std::string LastErrorText() = 0;

    // Work inside a folder the user chose (root, ending with a backslash; it may itself be
    // reached through a link) on relative paths of plain names joined by backslashes. No
    // link or reparse point is followed below root: one in the way makes the call fail.
    virtual ItemKind ProbeBeneath(const std::string& root, const std::string& relative) = 0;
    // Makes the folder (its parent must exist); true also when a real folder is there already.
    virtual bool MakeFolderBeneath(const std::string& root, const std::string& relative) = 0;
    // A file to be written under relative, others may read but not write. Its bytes go to a new
    // file in the same folder, which takes the name only when closed whole: an existing file is
    // replaced by name, never written into (a hard link's other names keep their data), and a
    // file dropped without Close, or whose Close fails, is removed and leaves the name as it
    // was. Fails when something other than a file stands at the name.
    virtual std::unique_ptr<IFile> CreateFileBeneath(const std::string& root, const std::string& relative) = 0;
};

// Longest full path the platform creates files and folders at, in bytes.
size_t PathLimit();

// The process's file system: Win32 on Windows, the drive-letter mapping on POSIX.
IFileSystem& SystemFileSystem();
