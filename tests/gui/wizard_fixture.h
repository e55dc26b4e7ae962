// The wizard's end-to-end tests' shared ground: a real tree on the desktop (the top level of the
// pages' folder tree), the running zembra.exe, its pages found by the controls only they have,
// and the sets it builds rejoined by the reader.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "engine/split_engine.h"
#include "engine/split_messages.h"
#include "fakes/scripted_prompts.h"
#include "fakes/test_files.h"
#include "gui/driver/gui_driver.h"
#include "gui/remote_controls.h"
#include "platform/process.h"
#include "rejoiner/segment_reader.h"
#include "model/wizard_rules.h"


constexpr int kWizardCommand = 32781;
constexpr int kBuildTimeoutMs = 60000;
// Page buttons, by the page they lead to, and each page's own controls.
constexpr int kToSize = 1053, kToFiles = 1052, kToName = 1054, kToResults = 1055;
constexpr int kPreset = 1044, kSize = 1047;                                     // page 1
constexpr int kTree = 1056, kFileList = 1004, kAdd = 1006, kRemove = 1007, kSources = 1008, kTotal = 1058;
constexpr int kLocation = 1044, kSetName = 1047, kBrowse = 1051;                // page 3
constexpr int kResults = 1047, kEmail = 1060;                                   // page 4

struct Page {
    int number;
    int ownControl;          // a control only this page has ...
    const char* className;   // ... of this class, when the id alone is not enough
};
constexpr Page kPage1{1, kPreset, "ComboBox"}, kPage2{2, kTree, ""}, kPage3{3, kBrowse, ""}, kPage4{4, kEmail, ""};

class NoSteps : public IRejoinProgress {
public:
    void Step() override {}
};
class OverwriteYes : public IOverwriteQuestion {
public:
    int Ask(const std::string&) override { return kOverwriteYes; }
};

class WizardGui : public ::testing::Test {
protected:
    void SetUp() override {
        // The program runs from a folder of its own, beside the custom.dat it ships with; a
        // per-user copy of the presets would be read first, so none is left.
        app_ = MakeScratchFolder("zbwiz_app") + "\\";
        ASSERT_TRUE(CopyFileA((ModuleFolder() + "zembra.exe").c_str(), (app_ + "zembra.exe").c_str(), FALSE));
        const char* source = std::getenv("ZEMBRA_SOURCE_DIR");
        ASSERT_TRUE(source);
        WriteWholeFile(app_ + "custom.dat", ReadWholeFile("Z:" + std::string(source) + "/resources/custom.dat"));
        char appData[MAX_PATH] = "";
        GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
        DeleteFileA((std::string(appData) + "\\Zembra\\custom.dat").c_str());
        zembra_ = "\"" + app_ + "zembra.exe\"";
        // On the desktop, so the pages' folder tree shows it at its top level.
        treeName_ = "zbwiz" + std::to_string(GetCurrentProcessId());
        tree_ = remote::DesktopFolder() + "\\" + treeName_;
        RemoveTree(SystemFileSystem(), tree_);
        for (const std::string& d : {tree_, tree_ + "\\sub", tree_ + "\\sub\\deep"}) CreateDirectoryA(d.c_str(), nullptr);
        WriteWholeFile(tree_ + "\\data.bin", PatternBytes(900000, 1));
        WriteWholeFile(tree_ + "\\notes.txt", PatternBytes(5000, 2));
        WriteWholeFile(tree_ + "\\sub\\inner.bin", PatternBytes(700000, 3));
        WriteWholeFile(tree_ + "\\sub\\empty.txt", "");
        WriteWholeFile(tree_ + "\\sub\\deep\\x.txt", "deep");
        out_ = MakeScratchFolder("zbwiz_out") + "\\";
    }
    void TearDown() override {
        program_.Terminate();
        RemoveTree(SystemFileSystem(), tree_);
        RemoveTree(SystemFileSystem(), out_.substr(0, out_.size() - 1));
        RemoveTree(SystemFileSystem(), app_.substr(0, app_.size() - 1));
    }

    bool Start(const std::string& arguments = std::string()) {
        if (!program_.Start(zembra_ + (arguments.empty() ? "" : " " + arguments))) return false;
        pid_ = program_.Pid();
        return true;
    }
    HWND Frame(bool visibleOnly = true) {
        gui::WindowQuery q;
        q.className = "ZembraMainFrame";
        q.pid = pid_;
        q.visibleOnly = visibleOnly;
        return gui::FindTop(q, visibleOnly ? gui::kTimeoutMs : 0);
    }

    // The wizard page now showing, once the one before it has gone; a message box in its place
    // fails the test with its text.
    HWND WaitPage(const Page& page, HWND previous = nullptr, int timeoutMs = gui::kTimeoutMs) {
        if (previous) gui::WaitGone(previous, timeoutMs);
        HWND found = nullptr;
        std::string box;
        gui::WaitUntil([&] {
            gui::WindowQuery q;
            q.className = "#32770";
            q.pid = pid_;
            for (HWND w : gui::TopWindows(q)) {
                if (gui::IsMessageBox(w)) {
                    box = gui::MessageBoxText(w);
                    return true;
                }
                HWND own = ::GetDlgItem(w, page.ownControl);
                if (gui::Text(w) == "Zembra Wizard" && own && (!*page.className || gui::ClassName(own) == page.className))
                    found = w;
            }
            return found != nullptr;
        }, timeoutMs);
        EXPECT_EQ(box, "") << "a message box instead of page " << page.number;
        EXPECT_TRUE(found) << "page " << page.number << " did not show";
        return found;
    }

    // zembra started bare and the wizard opened from its menu: page 1, the main form in frame.
    HWND WizardFromMenu(HWND& frame) {
        frame = Start() ? Frame() : nullptr;
        if (!frame) return nullptr;
        ::PostMessageA(frame, WM_COMMAND, kWizardCommand, 0);
        return WaitPage(kPage1);
    }

    std::string Item(HWND page, int id) { return gui::Text(::GetDlgItem(page, id)); }
    bool Enabled(HWND page, int id) { return ::IsWindowEnabled(::GetDlgItem(page, id)) != FALSE; }

    // Page 1: the typed-size preset (entry 1) with this size, then Next.
    HWND TypedSize(HWND page1, const std::string& size) {
        EXPECT_TRUE(remote::ChooseComboItem(page1, kPreset, 1));
        EXPECT_EQ(::GetWindowLongA(::GetDlgItem(page1, kSize), GWL_STYLE) & ES_READONLY, 0) << "size not writable";
        gui::SetText(page1, kSize, size);
        return page1;
    }

    // Page 2: shows the test tree's folder in the file list and adds the named items.
    void AddFromTree(HWND page2, const std::vector<std::string>& names) {
        HWND tree = ::GetDlgItem(page2, kTree);
        HTREEITEM node = remote::FindTreeChild(tree, TVI_ROOT, treeName_);
        ASSERT_TRUE(node) << "the desktop's " << treeName_ << " is not at the tree's top level";
        remote::SelectTreeItem(tree, node);
        HWND list = ::GetDlgItem(page2, kFileList);
        ASSERT_TRUE(gui::WaitUntil([&] { return remote::ListViewTexts(list).size() == 3; }, 5000))
            << "the file list shows " << remote::ListViewTexts(list).size() << " items";
        ASSERT_TRUE(remote::SelectListViewItems(list, names));
        ASSERT_TRUE(gui::Click(page2, kAdd));
        size_t before = remote::ListBoxTexts(::GetDlgItem(page2, kSources)).size();
        gui::WaitUntil([&] { return remote::ListBoxTexts(::GetDlgItem(page2, kSources)).size() >= before + names.size(); });
    }

    // Page 3: the set named and placed in out_, then built; page 4 once the build is done.
    HWND BuildSet(HWND page3, const std::string& setName) {
        gui::SetText(page3, kSetName, setName);
        gui::SetText(page3, kLocation, out_);
        EXPECT_TRUE(gui::Click(page3, kToResults));
        return WaitPage(kPage4, page3, kBuildTimeoutMs);
    }

    // The set rejoined by the reader, as relative path -> contents.
    std::map<std::string, std::string> Rejoined(const std::string& setName) {
        std::string back = out_ + "back";
        CreateDirectoryA(back.c_str(), nullptr);
        ScriptedPrompts prompts;
        OverwriteYes overwrite;
        NoSteps steps;
        CSegmentReader reader(out_ + setName + "_1.EXE", SystemFileSystem(), prompts, overwrite, steps);
        EXPECT_EQ(reader.Rejoin(back + "\\"), 1);
        EXPECT_TRUE(reader.ReachedLastSegment());
        auto tree = ListTree(SystemFileSystem(), back);
        RemoveTree(SystemFileSystem(), back);
        return tree;
    }

    std::map<std::string, std::string> Source(const std::vector<std::string>& names) {
        std::map<std::string, std::string> all = ListTree(SystemFileSystem(), tree_), picked;
        for (const auto& [path, bytes] : all)
            for (const std::string& name : names)
                if (path == name || path.rfind(name + "\\", 0) == 0) picked[path] = bytes;
        return picked;
    }

    std::string ListingAsShown(const std::string& setName) {
        std::string listing = ReadWholeFile(out_ + setName + ".spj"), shown;
        for (size_t at = 0; at < listing.size();) {
            size_t end = listing.find('\n', at);
            std::string line = listing.substr(at, end == std::string::npos ? std::string::npos : end - at);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            shown += line + "\r\n";
            at = end == std::string::npos ? listing.size() : end + 1;
        }
        return shown;
    }

    uint64_t FileSize(const std::string& path) {
        FileStatus st;
        return SystemFileSystem().GetStatus(path, st) ? st.size : 0;
    }

    gui::Program program_;
    DWORD pid_ = 0;  // the zembra.exe driven, started here or by another program
    std::string app_, zembra_, treeName_, tree_, out_;
};

