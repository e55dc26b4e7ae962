// Decorators for injecting faults: a file system and a file that pass every call on to the real
// ones, so a test's decorator overrides only the calls it disturbs.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"

class ForwardingFile : public IFile {
public:
    explicit ForwardingFile(std::unique_ptr<IFile> real) : real_(std::move(real)) {}
    int64_t Read(void* b, size_t c) override { return real_->Read(b, c); }
    bool Write(const void* b, size_t c) override { return real_->Write(b, c); }
    bool Seek(uint64_t o) override { return real_->Seek(o); }
    bool SeekToEnd() override { return real_->SeekToEnd(); }
    bool Flush() override { return real_->Flush(); }
    bool Close() override { return real_->Close(); }
    uint64_t Length() override { return real_->Length(); }

protected:
    std::unique_ptr<IFile> real_;
};

class ForwardingFileSystem : public IFileSystem {
public:
    explicit ForwardingFileSystem(IFileSystem& real) : real_(real) {}
    bool GetStatus(const std::string& p, FileStatus& s) override { return real_.GetStatus(p, s); }
    bool GetAttributes(const std::string& p, uint32_t& a) override { return real_.GetAttributes(p, a); }
    bool ListFolder(const std::string& p, const std::function<bool(const DirEntry&)>& v) override {
        return real_.ListFolder(p, v);
    }
    bool Exists(const std::string& p) override { return real_.Exists(p); }
    bool RemoveFile(const std::string& p) override { return real_.RemoveFile(p); }
    bool MakeFolder(const std::string& p) override { return real_.MakeFolder(p); }
    DriveType DriveTypeOf(const std::string& r) override { return real_.DriveTypeOf(r); }
    bool GetFreeBytes(const std::string& r, uint64_t& b) override { return real_.GetFreeBytes(r, b); }
    std::unique_ptr<IFile> Open(const std::string& p, OpenMode m, Share s) override { return real_.Open(p, m, s); }
    std::string LastErrorText() override { return real_.LastErrorText(); }
    ItemKind ProbeBeneath(const std::string& r, const std::string& p) override { return real_.ProbeBeneath(r, p); }
    bool MakeFolderBeneath(const std::string& r, const std::string& p) override { return real_.MakeFolderBeneath(r, p); }
    std::unique_ptr<IFile> CreateFileBeneath(const std::string& r, const std::string& p) override {
        return real_.CreateFileBeneath(r, p);
    }

protected:
    IFileSystem& real_;
};
