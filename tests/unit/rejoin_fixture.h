// Shared ground for the rejoiner's native tests: temporary drives, a writer of hand-made sets
// (for damaged and hostile ones), recorders for the overwrite question and a tree snapshot.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "fakes/crafted_set.h"
#include "fakes/scripted_prompts.h"
#include "fakes/test_files.h"
#include "platform/posix/drive_map.h"
#include "rejoiner/segment_reader.h"

// Answers the overwrite question from a script (then with a fallback) and records the texts.
class ScriptedOverwrite : public IOverwriteQuestion {
public:
    int Ask(const std::string& text) override {
        asked.push_back(text);
        if (next < answers.size()) return answers[next++];
        return fallback;
    }
    std::vector<int> answers;
    size_t next = 0;
    int fallback = kOverwriteNo;
    std::vector<std::string> asked;
};

class CountingSteps : public IRejoinProgress {
public:
    void Step() override { ++steps; }
    long steps = 0;
};

// Every file and folder under a host folder: relative path -> contents ("<dir>" for folders).
inline std::map<std::string, std::string> Snapshot(const std::string& hostFolder) {
    return ListTree(SystemFileSystem(), posix_drives::ToWindows(hostFolder), '/');
}

// S: holds sets (fixed), T: is where they are rejoined (fixed), A: is a removable diskette.
// Everything lives under one temporary root, so a test can prove nothing landed outside T:\out.
class RejoinTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = MakeScratchFolder("zbrej");
        for (const char* sub : {"/s", "/t", "/t/out", "/a", "/away"}) mkdir((root_ + sub).c_str(), 0777);
        posix_drives::Reset();
        posix_drives::Map('S', root_ + "/s", DriveType::Fixed);
        posix_drives::Map('T', root_ + "/t", DriveType::Fixed);
        posix_drives::Map('A', root_ + "/a", DriveType::Removable);
    }
    void TearDown() override {
        posix_drives::Reset();
        std::system(("rm -rf " + root_).c_str());
    }

    std::string Host(const std::string& windowsPath) { return posix_drives::ToHost(windowsPath); }

    // Writes the segments as <folder><base>_1.EXE, <base>_2.SEG, ...; returns the first's path.
    std::string WriteSet(const std::vector<std::string>& segments, const std::string& folder = "S:\\",
                         const std::string& base = "set") {
        for (size_t i = 0; i < segments.size(); ++i) {
            std::string name = base + "_" + std::to_string(i + 1) + (i == 0 ? ".EXE" : ".SEG");
            WriteWholeFile(Host(folder + name), segments[i]);
        }
        return folder + base + "_1.EXE";
    }

    // Rejoins the set whose first segment is at first into dest; returns Rejoin's result.
    int Rejoin(const std::string& first, const std::string& dest = "T:\\out\\") {
        return Rejoin(SystemFileSystem(), first, dest);
    }
    int Rejoin(IFileSystem& fs, const std::string& first, const std::string& dest = "T:\\out\\") {
        CSegmentReader reader(first, fs, prompts_, overwrite_, steps_);
        int result = reader.Rejoin(dest);
        stopped_ = reader.Stopped();
        segmentsRead_ = reader.SegmentCount();
        missing_ = reader.MissingSegment();
        incomplete_ = reader.IncompleteFile();
        return result;
    }

    std::map<std::string, std::string> Out() { return Snapshot(root_ + "/t/out"); }
    // Everything outside the destination folder: must not change while rejoining.
    std::map<std::string, std::string> Outside() {
        auto all = Snapshot(root_);
        for (auto it = all.begin(); it != all.end();)
            it = it->first.compare(0, 6, "t/out/") == 0 ? all.erase(it) : std::next(it);
        return all;
    }

    std::string root_;
    ScriptedPrompts prompts_;
    ScriptedOverwrite overwrite_;
    CountingSteps steps_;
    bool stopped_ = false;
    int segmentsRead_ = 0;
    std::string missing_, incomplete_;
};
