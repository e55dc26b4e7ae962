// The set's folder as a reader should see it after a repair that could not write there: the
// rebuilt segments, kept in another folder, stand in for their damaged or missing namesakes.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"

class CRepairedFileSystem : public IFileSystem {
public:
    // folder and rebuiltFolder end with a backslash; names are the rebuilt files' names.
    CRepairedFileSystem(IFileSystem& inner, const std::string& folder, const std::string& rebuiltFolder,
                        const std::vector<std::string>& names)
        : inner_(inner), folder_(folder), rebuilt_(rebuiltFolder), names_(names) {}

    bool GetStatus(const std::string& p, FileStatus& s) override { return inner_.GetStatus(Map(p), s); }
    bool GetAttributes(const std::string& p, uint32_t& a) override { return inner_.GetAttributes(Map(p), a); }
    bool ListFolder(const std::string& pattern, const std::function<bool(const DirEntry&)>& visit) override {
        return inner_.ListFolder(pattern, visit);
    }
    bool ListFolderNames(const std::string& pattern, const std::function<bool(const DirEntry&)>& visit) override {
        return inner_.ListFolderNames(pattern, visit);
    }
    bool Exists(const std::string& p) override { return inner_.Exists(Map(p)); }
    bool RemoveFile(const std::string& p) override { return inner_.RemoveFile(p); }
    bool MakeFolder(const std::string& p) override { return inner_.MakeFolder(p); }
    DriveType DriveTypeOf(const std::string& root) override { return inner_.DriveTypeOf(root); }
    bool GetFreeBytes(const std::string& root, uint64_t& bytes) override { return inner_.GetFreeBytes(root, bytes); }
    std::unique_ptr<IFile> Open(const std::string& path, OpenMode mode, Share share) override {
        return inner_.Open(mode == OpenMode::Read ? Map(path) : path, mode, share);
    }
    std::string LastErrorText() override { return inner_.LastErrorText(); }
    ItemKind ProbeBeneath(const std::string& r, const std::string& p) override { return inner_.ProbeBeneath(r, p); }
    bool MakeFolderBeneath(const std::string& r, const std::string& p) override {
        return inner_.MakeFolderBeneath(r, p);
    }
    std::unique_ptr<IFile> CreateFileBeneath(const std::string& r, const std::string& p) override {
        return inner_.CreateFileBeneath(r, p);
    }

    // The path a read of path goes to.
    std::string Map(const std::string& path) const;

private:
    IFileSystem& inner_;
    std::string folder_, rebuilt_;
    std::vector<std::string> names_;
};
