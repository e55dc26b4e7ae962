// Handle-relative work beneath a chosen folder: ntdll's NtCreateFile with a root directory in its
// object attributes, looked up at run time, and renames and deletes by handle.
#include "platform/win32/beneath_win32.h"

#include <winternl.h>

#include <cstring>

#include "platform/win32/win32_file.h"

namespace {

typedef NTSTATUS(NTAPI* NtCreateFileFn)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK,
                                        PLARGE_INTEGER, ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
typedef NTSTATUS(NTAPI* NtSetInformationFileFn)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);
typedef ULONG(NTAPI* RtlNtStatusToDosErrorFn)(NTSTATUS);

template <class Fn>
Fn Lookup(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name))) : nullptr;
}

struct Ntdll {
    HMODULE module = ::GetModuleHandleW(L"ntdll.dll");
    NtCreateFileFn create = Lookup<NtCreateFileFn>(module, "NtCreateFile");
    NtSetInformationFileFn setInformation = Lookup<NtSetInformationFileFn>(module, "NtSetInformationFile");
    RtlNtStatusToDosErrorFn toDosError = Lookup<RtlNtStatusToDosErrorFn>(module, "RtlNtStatusToDosError");
};

const Ntdll& Nt() {
    static const Ntdll nt;
    return nt;
}

const NTSTATUS kNotImplemented = static_cast<NTSTATUS>(0xC0000002);
const NTSTATUS kNoSuchFile = static_cast<NTSTATUS>(0xC000000F);  // Wine: a link that leads nowhere
const NTSTATUS kNameNotFound = static_cast<NTSTATUS>(0xC0000034);
const NTSTATUS kNameCollision = static_cast<NTSTATUS>(0xC0000035);
const NTSTATUS kPathNotFound = static_cast<NTSTATUS>(0xC000003A);
const NTSTATUS kNotADirectory = static_cast<NTSTATUS>(0xC0000103);
const NTSTATUS kNameInvalid = static_cast<NTSTATUS>(0xC0000033);

const ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
const ACCESS_MASK kFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;

// Same layout as the system's FILE_RENAME_INFORMATION, which not every header set spells alike.
struct RenameInformation {
    BOOLEAN ReplaceIfExists;
    HANDLE RootDirectory;
    ULONG FileNameLength;
    WCHAR FileName[1];
};

// Sets the thread's last error from status; true on success.
bool Ok(NTSTATUS status) {
    if (status >= 0) return true;
    ::SetLastError(Nt().toDosError ? Nt().toDosError(status) : ERROR_GEN_FAILURE);
    return false;
}

// Opens or creates name inside folder; a link there is opened as itself where the system can.
NTSTATUS OpenIn(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG disposition,
                ULONG options, HANDLE& out, ULONG_PTR* result = nullptr) {
    out = nullptr;
    if (!Nt().create) return kNotImplemented;
    if (name.empty() || name.size() > 255) return kNameInvalid;
    UNICODE_STRING text;
    text.Buffer = const_cast<PWSTR>(name.c_str());
    text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK io{};
    NTSTATUS status = Nt().create(&out, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, share,
                                  disposition, options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT,
                                  nullptr, 0);
    if (status < 0) out = nullptr;
    if (result) *result = io.Information;
    return status;
}

// Missing, Other (a file or link on the way) or Unreachable, for a failed open; last error set.
ItemKind Classify(NTSTATUS status) {
    Ok(status);
    if (status == kNameNotFound || status == kPathNotFound) return ItemKind::Missing;
    if (status == kNotADirectory || status == kNoSuchFile) {
        ::SetLastError(ERROR_CANT_ACCESS_FILE);
        return ItemKind::Other;
    }
    return ItemKind::Unreachable;
}

// Some network file systems cannot normalise a name; the name as opened serves there.
std::wstring FinalPath(HANDLE h, DWORD flags = FILE_NAME_NORMALIZED) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetFinalPathNameByHandleW(h, &path[0], static_cast<DWORD>(path.size()), flags | VOLUME_NAME_DOS);
        if (n == 0) return flags == FILE_NAME_NORMALIZED ? FinalPath(h, FILE_NAME_OPENED) : std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(n + 1);
    }
}

bool SameText(const wchar_t* a, size_t an, const wchar_t* b, size_t bn) {
    return ::CompareStringOrdinal(a, static_cast<int>(an), b, static_cast<int>(bn), TRUE) == CSTR_EQUAL;
}

// True when item is the entry name of folder itself. Windows opens a link as itself when asked
// (and marks it), Wine follows it: there only the handle's own path tells where it led.
bool IsEntryOf(HANDLE folder, HANDLE item, const std::wstring& name) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(item, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    std::wstring parent = FinalPath(folder), self = FinalPath(item);
    // Where the paths cannot be had, the system's own answer above stands (Wine always gives them).
    if (parent.empty() || self.empty()) return true;
    if (parent.back() != L'\\') parent += L'\\';
    return self.size() == parent.size() + name.size() && SameText(self.c_str(), parent.size(), parent.c_str(), parent.size()) &&
           SameText(self.c_str() + parent.size(), name.size(), name.c_str(), name.size());
}

// Opens the folder name inside parent; nullptr with kind set when it is missing, not a real
// folder there (a link, a file), or cannot be reached.
HANDLE OpenFolderIn(HANDLE parent, const std::wstring& name, ItemKind& kind) {
    HANDLE h = nullptr;
    NTSTATUS status = OpenIn(parent, name, kFolderAccess, kShareAll, FILE_OPEN, FILE_DIRECTORY_FILE, h);
    if (status < 0) {
        kind = Classify(status);
        return nullptr;
    }
    if (!IsEntryOf(parent, h, name)) {
        ::CloseHandle(h);
        ::SetLastError(ERROR_CANT_ACCESS_FILE);
        kind = ItemKind::Other;
        return nullptr;
    }
    return h;
}

// True when the folder behind h has been deleted since it was opened.
bool Gone(HANDLE h) {
    FILE_STANDARD_INFO info;
    if (!::GetFileInformationByHandleEx(h, FileStandardInfo, &info, sizeof info)) return true;
    return info.DeletePending || info.NumberOfLinks == 0;
}

bool SplitRelative(const std::string& relative, std::vector<std::wstring>& names) {
    size_t start = 0;
    for (;;) {
        size_t sep = relative.find('\\', start);
        std::string name = relative.substr(start, sep == std::string::npos ? std::string::npos : sep - start);
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) return false;
        names.push_back(Wide(name));
        if (sep == std::string::npos) return true;
        start = sep + 1;
    }
}

// A file written under a name of its own beside the one it is meant for; closed whole it is
// renamed over that name (replacing a file there, never writing into it), dropped it is deleted.
// Both go through the handles, so neither can be sent elsewhere by a link.
class Win32Replacement : public Win32File {
public:
    Win32Replacement(HANDLE file, HANDLE folder, std::wstring name)
        : Win32File(file), folder_(folder), name_(std::move(name)) {}
    ~Win32Replacement() override {
        if (!done_) Drop();
        ::CloseHandle(folder_);
    }
    bool Close() override {
        if (done_) return true;
        done_ = true;
        std::vector<char> buffer(sizeof(RenameInformation) + name_.size() * sizeof(wchar_t));
        auto* info = reinterpret_cast<RenameInformation*>(buffer.data());
        info->ReplaceIfExists = TRUE;
        info->RootDirectory = folder_;
        info->FileNameLength = static_cast<ULONG>(name_.size() * sizeof(wchar_t));
        std::memcpy(info->FileName, name_.data(), info->FileNameLength);
        IO_STATUS_BLOCK io{};
        NTSTATUS status = Nt().setInformation
                              ? Nt().setInformation(handle_, &io, info, static_cast<ULONG>(buffer.size()),
                                                    FileRenameInformation)
                              : kNotImplemented;
        if (!Ok(status)) {
            DWORD error = ::GetLastError();
            Drop();
            ::SetLastError(error);
            return false;
        }
        return Win32File::Close();
    }

private:
    void Drop() {
        FILE_DISPOSITION_INFO remove{};
        remove.DeleteFile = TRUE;
        IO_STATUS_BLOCK io{};
        if (Nt().setInformation) Nt().setInformation(handle_, &io, &remove, sizeof remove, FileDispositionInformation);
        Win32File::Close();
    }

    HANDLE folder_;
    std::wstring name_;
    bool done_ = false;
};

ItemKind ProbeIn(HANDLE folder, const std::wstring& name) {
    HANDLE h = nullptr;
    NTSTATUS status = OpenIn(folder, name, FILE_READ_ATTRIBUTES, kShareAll, FILE_OPEN, 0, h);
    if (status < 0) return Classify(status);
    BY_HANDLE_FILE_INFORMATION info;
    bool known = ::GetFileInformationByHandle(h, &info) != 0;
    DWORD type = ::GetFileType(h);
    DWORD error = ::GetLastError();
    ::CloseHandle(h);
    if (!known) {
        ::SetLastError(error);
        return ItemKind::Unreachable;
    }
    if ((info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) || type != FILE_TYPE_DISK) {
        ::SetLastError(ERROR_CANT_ACCESS_FILE);
        return ItemKind::Other;
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? ItemKind::Folder : ItemKind::File;
}

bool MakeFolderIn(HANDLE folder, const std::wstring& name) {
    HANDLE h = nullptr;
    ULONG_PTR result = 0;
    NTSTATUS status = OpenIn(folder, name, kFolderAccess, kShareAll, FILE_OPEN_IF, FILE_DIRECTORY_FILE, h, &result);
    if (status < 0) {
        Classify(status);
        return false;
    }
    // One that was there already must be a real folder of this one, not where a link leads.
    bool ok = result == FILE_CREATED || IsEntryOf(folder, h, name);
    ::CloseHandle(h);
    if (!ok) ::SetLastError(ERROR_CANT_ACCESS_FILE);
    return ok;
}

std::unique_ptr<IFile> CreateIn(HANDLE folder, const std::wstring& name) {
    static LONG counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned n = static_cast<unsigned>(::InterlockedIncrement(&counter)) * 2654435761u ^
                     ::GetCurrentProcessId() ^ static_cast<unsigned>(::GetTickCount());
        // Written by hand: swprintf would carry the C library's whole formatter into remblo.
        wchar_t temporary[] = L"~zembra-00000000.part";
        for (int d = 0; d < 8; ++d) temporary[8 + d] = L"0123456789abcdef"[(n >> (28 - 4 * d)) & 15];
        HANDLE h = nullptr;
        NTSTATUS status = OpenIn(folder, temporary, GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                 FILE_CREATE, FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY, h);
        if (status == kNameCollision) continue;
        if (!Ok(status)) return nullptr;
        HANDLE kept = nullptr;
        if (!::DuplicateHandle(::GetCurrentProcess(), folder, ::GetCurrentProcess(), &kept, 0, FALSE,
                               DUPLICATE_SAME_ACCESS)) {
            DWORD error = ::GetLastError();
            Win32Replacement(h, nullptr, name);  // deletes what it made
            ::SetLastError(error);
            return nullptr;
        }
        return std::make_unique<Win32Replacement>(h, kept, name);
    }
    ::SetLastError(ERROR_FILE_EXISTS);
    return nullptr;
}

}  // namespace

BeneathWin32::~BeneathWin32() { Forget(); }

void BeneathWin32::Forget() {
    if (kept_) ::CloseHandle(kept_);
    kept_ = nullptr;
    keptKey_.clear();
}

HANDLE BeneathWin32::Parent(const std::string& root, const std::string& relative, std::wstring& last, ItemKind& kind,
                            bool& reused) {
    reused = false;
    std::vector<std::wstring> names;
    if (!SplitRelative(relative, names)) {
        ::SetLastError(ERROR_INVALID_NAME);
        kind = ItemKind::Unreachable;
        return nullptr;
    }
    last = names.back();
    size_t sep = relative.rfind('\\');
    std::string key = root + '\n' + (sep == std::string::npos ? std::string() : relative.substr(0, sep));
    if (kept_ && key == keptKey_) {
        reused = true;
        return kept_;
    }
    Forget();
    // The chosen folder itself may be reached through a link; below it nothing is.
    HANDLE folder = ::CreateFileW(Wide(root).c_str(), kFolderAccess | SYNCHRONIZE, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        DWORD error = ::GetLastError();
        kind = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ItemKind::Missing : ItemKind::Unreachable;
        return nullptr;
    }
    for (size_t i = 0; i + 1 < names.size(); ++i) {
        HANDLE next = OpenFolderIn(folder, names[i], kind);
        DWORD error = ::GetLastError();
        ::CloseHandle(folder);
        if (!next) {
            ::SetLastError(error);
            return nullptr;
        }
        folder = next;
    }
    kept_ = folder;
    keptKey_ = key;
    return folder;
}

// When act fails in the folder kept from the call before and that folder has been deleted
// since, the walk runs once more afresh: a folder made again under the same name is used, one
// moved away still is.
template <class Act>
BeneathWin32::Outcome BeneathWin32::InParent(const std::string& root, const std::string& relative, ItemKind& kind,
                                             Act act) {
    std::lock_guard<std::mutex> hold(lock_);
    for (;;) {
        bool reused = false;
        std::wstring last;
        HANDLE folder = Parent(root, relative, last, kind, reused);
        if (!folder) return Outcome::Stopped;
        if (act(folder, last)) return Outcome::Done;
        DWORD error = ::GetLastError();
        bool again = reused && Gone(folder);
        ::SetLastError(error);
        if (!again) return Outcome::Failed;
        Forget();
    }
}

ItemKind BeneathWin32::Probe(const std::string& root, const std::string& relative) {
    // Only a name found missing is worth a fresh walk; the walk's own stop says what it met.
    ItemKind kind = ItemKind::Unreachable;
    InParent(root, relative, kind, [&kind](HANDLE folder, const std::wstring& last) {
        kind = ProbeIn(folder, last);
        return kind != ItemKind::Missing;
    });
    return kind;
}

bool BeneathWin32::MakeFolder(const std::string& root, const std::string& relative) {
    ItemKind kind = ItemKind::Unreachable;
    Outcome outcome = InParent(root, relative, kind, MakeFolderIn);
    if (outcome == Outcome::Stopped && kind == ItemKind::Missing) ::SetLastError(ERROR_PATH_NOT_FOUND);
    return outcome == Outcome::Done;
}

std::unique_ptr<IFile> BeneathWin32::Create(const std::string& root, const std::string& relative) {
    ItemKind kind = ItemKind::Unreachable;
    std::unique_ptr<IFile> file;
    Outcome outcome = InParent(root, relative, kind, [&file](HANDLE folder, const std::wstring& last) {
        file = CreateIn(folder, last);
        return file != nullptr;
    });
    if (outcome == Outcome::Stopped && kind == ItemKind::Missing) ::SetLastError(ERROR_PATH_NOT_FOUND);
    return file;
}
