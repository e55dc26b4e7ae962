// Shared ground for the shell extension's tests: varlo.dll loaded from the build and registered
// as the installer does, a stand-in main program that records its starts, and COM helpers.
#pragma once

// Before <shlobj.h>, whose DriveType function would hide the file system's enum of that name.
#include "fakes/test_files.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "varlo_test_support.h"

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
using Box = MessageBoxWatcher::Box;
using Lines = std::vector<std::string>;

extern const char kInstallKey[];

struct Suite {
    HMODULE module = nullptr;
    GetClassObjectFn getClassObject = nullptr;
    CanUnloadNowFn canUnloadNow = nullptr;
    CLSID clsid = {};
    std::string clsidText;
    std::string bin;         // the build's bin folder (varlo.dll, the stand-in), trailing backslash
    std::string root;        // this run's scratch folder, trailing backslash
    std::string installDir;  // where "Path" points: holds the stand-in as zembra.exe
    std::string filesDir;    // files to select, trailing backslash
    DebugOutputCapture* debug = nullptr;
};
extern Suite s;

// The stand-in's record of its starts, a file to select, and what the library traced.
std::string Launches();
std::string Selected(const std::string& name);
Lines Trace();
// Points the registry's "Path" at the folder the library starts zembra.exe from.
void SetInstallPath(const std::string& folder);
// A string value under HKEY_CLASSES_ROOT, "<missing>" when there is none.
std::string RegText(const std::string& key, const char* value);
// The stand-in's records, once at least `count` are there (or after a generous wait).
Lines WaitForLaunches(size_t count);
// A fresh CShellExt through the exports, asked for IContextMenu.
IContextMenu* NewExt();
// Hands the selection to the object, giving up the caller's reference to it.
HRESULT Initialize(IContextMenu* ext, IDataObject* data);
HRESULT Invoke(IContextMenu* ext, LPCSTR verb);
// Proves nothing was started so far: a known selection is run, and its line must be the only one.
void ExpectNoLaunchSoFar();

template <class T>
T* As(IUnknown* object, REFIID iid) {
    T* out = nullptr;
    object->QueryInterface(iid, reinterpret_cast<void**>(&out));
    return out;
}

class VarloTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override {
        ASSERT_TRUE(s.getClassObject && s.canUnloadNow) << "the library did not load";
        SetInstallPath(s.installDir);
        DeleteFileA(Launches().c_str());
        s.debug->Clear();
    }

    // Every test gives back all it took: nothing of the library may be left alive.
    void TearDown() override { EXPECT_EQ(s.canUnloadNow(), S_OK) << "objects of the library are still alive"; }
};
