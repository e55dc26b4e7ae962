// Shared ground for the split engine's native tests: temporary drives, a reader of written
// sets, and a file system decorator that injects faults.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/split_engine.h"
#include "unit/engine_set_reader.h"
#include "fakes/forwarding_file_system.h"
#include "fakes/scripted_prompts.h"
#include "fakes/test_files.h"
#include "platform/posix/drive_map.h"

// Delegates to the real file system; can fail writes after a budget, refuse to open named
// files, and report sizes other than the real ones.
class FaultyFileSystem : public ForwardingFileSystem {
public:
    explicit FaultyFileSystem(IFileSystem& real) : ForwardingFileSystem(real) {}

    int64_t writeBudget = -1;           // bytes that may still be written to segments; -1 = no limit
    std::string refuseOpen;             // path suffix that cannot be opened for reading
    std::string refuseCreate;           // path suffix that cannot be created
    std::string fakeSizeFor;            // path suffix whose status reports fakeSize
    uint64_t fakeSize = 0;

    bool GetStatus(const std::string& p, FileStatus& s) override {
        if (!real_.GetStatus(p, s)) return false;
        if (!fakeSizeFor.empty() && EndsWith(p, fakeSizeFor)) s.size = fakeSize;
        return true;
    }
    std::string LastErrorText() override {
        return refused_ ? "Write protected" : failed_ ? "Disk full" : real_.LastErrorText();
    }
    std::unique_ptr<IFile> Open(const std::string& p, OpenMode m, Share s) override {
        if (m == OpenMode::Read && !refuseOpen.empty() && EndsWith(p, refuseOpen)) return nullptr;
        if (m == OpenMode::CreateWrite && !refuseCreate.empty() && EndsWith(p, refuseCreate)) {
            refused_ = true;
            return nullptr;
        }
        refused_ = false;
        auto f = real_.Open(p, m, s);
        if (!f || m != OpenMode::CreateWrite || EndsWith(p, ".spj")) return f;
        return std::make_unique<BudgetFile>(std::move(f), *this);
    }

private:
    static bool EndsWith(const std::string& s, const std::string& t) {
        return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
    }
    class BudgetFile : public ForwardingFile {
    public:
        BudgetFile(std::unique_ptr<IFile> f, FaultyFileSystem& o) : ForwardingFile(std::move(f)), o_(o) {}
        bool Write(const void* b, size_t c) override {
            if (o_.writeBudget >= 0) {
                if (int64_t(c) > o_.writeBudget) {
                    real_->Write(b, size_t(o_.writeBudget));
                    o_.writeBudget = 0;
                    o_.failed_ = true;
                    return false;
                }
                o_.writeBudget -= int64_t(c);
            }
            return real_->Write(b, c);
        }

    private:
        FaultyFileSystem& o_;
    };
    bool failed_ = false;
    bool refused_ = false;
};

// D: is a fixed drive and A: a removable one, both temporary host folders; X: holds the
// program folder that receives the listing of removable sets.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = MakeScratchFolder("zbeng");
        for (const char* sub : {"/d", "/a", "/x", "/moved"}) mkdir((root_ + sub).c_str(), 0777);
        posix_drives::Reset();
        posix_drives::Map('D', root_ + "/d", DriveType::Fixed);
        posix_drives::Map('A', root_ + "/a", DriveType::Removable);
        posix_drives::Map('X', root_ + "/x", DriveType::Fixed);
        posix_drives::SetFreeBytes('D', 1000000000);
        posix_drives::SetFreeBytes('A', 1000000);
        shared_.Reset();
        image_.Set(Image(kImage));
    }
    void TearDown() override {
        posix_drives::Reset();
        std::system(("rm -rf " + root_).c_str());
    }

    static std::vector<uint8_t> Image(size_t n) {
        std::vector<uint8_t> v(n);
        for (size_t i = 0; i < n; ++i) v[i] = uint8_t('M' + i % 7);
        return v;
    }
    // Host path of a Windows path on D:, A: or X:.
    std::string Host(const std::string& windowsPath) { return posix_drives::ToHost(windowsPath); }
    void Put(const std::string& windowsPath, const std::string& content) {
        std::ofstream(Host(windowsPath), std::ios::binary) << content;
    }
    void MkDir(const std::string& windowsPath) { mkdir(Host(windowsPath).c_str(), 0777); }
    static std::string Bytes(size_t n, char seed = 'a') {
        std::string s(n, ' ');
        for (size_t i = 0; i < n; ++i) s[i] = char(seed + i % 23);
        return s;
    }
    std::unique_ptr<CSplitEngine> Engine(SplitEngineOptions options = SplitEngineOptions()) {
        return Engine(SystemFileSystem(), options);
    }
    std::unique_ptr<CSplitEngine> Engine(IFileSystem& fs, SplitEngineOptions options = SplitEngineOptions()) {
        auto e = std::make_unique<CSplitEngine>(fs, prompts_, progress_, image_, options, shared_);
        e->SetExeFolder("X:\\");
        e->SetProgressInterval(0);  // every block reaches the recording progress
        return e;
    }
    // Contents of the set's segments in order, as long as they exist in folder.
    std::vector<std::string> Segments(const std::string& folder, const std::string& base) {
        std::vector<std::string> out;
        for (int i = 1;; ++i) {
            std::string p = Host(folder + CSplitEngine::SegmentName(base, i));
            if (access(p.c_str(), F_OK) != 0) break;
            out.push_back(ReadWholeFile(p));
        }
        return out;
    }

    static constexpr size_t kImage = 100;
    std::string root_;
    SplitSharedState shared_;
    ScriptedPrompts prompts_;
    RecordingProgress progress_;
    BytesRejoinerImage image_;
};
