// BeneathWin32: work inside a folder the user chose through handles, never through paths from it.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/file_system.h"

// Each folder below the root is opened relative to the handle of the folder above it and
// checked to be that folder's own entry, not where a link there leads; the item is then made
// or looked at relative to the handle of its folder. A folder swapped for a link after it was
// checked therefore cannot redirect anything. The handle of the last folder used is kept, so a
// run of files in one folder walks down to it once.
class BeneathWin32 {
public:
    BeneathWin32() = default;
    ~BeneathWin32();
    BeneathWin32(const BeneathWin32&) = delete;
    BeneathWin32& operator=(const BeneathWin32&) = delete;

    ItemKind Probe(const std::string& root, const std::string& relative);
    bool MakeFolder(const std::string& root, const std::string& relative);
    // A new file beside the name, which takes the name when closed whole (see IFileSystem).
    std::unique_ptr<IFile> Create(const std::string& root, const std::string& relative);

private:
    // The folder holding the last name of relative (kept by this object; do not close), or
    // nullptr with the last error set and kind saying what stopped the walk. reused tells that
    // the kept folder of the call before served.
    HANDLE Parent(const std::string& root, const std::string& relative, std::wstring& last, ItemKind& kind,
                  bool& reused);
    void Forget();
    // How a call in the folder of the last name went: act succeeded, act failed, or the walk
    // there stopped (kind says why; the last error is the walk's).
    enum class Outcome { Done, Failed, Stopped };
    // Runs act(folder, last name), true on success, in the folder holding relative's last name,
    // under the lock.
    template <class Act>
    Outcome InParent(const std::string& root, const std::string& relative, ItemKind& kind, Act act);

    std::mutex lock_;
    std::string keptKey_;
    HANDLE kept_ = nullptr;
};
