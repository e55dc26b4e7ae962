// Controls of another process, driven through memory allocated in that process.
#include "gui/remote_controls.h"

#include <shlobj.h>

#include <cstring>

#include "gui/driver/gui_driver.h"

namespace remote {
namespace {

// A block of memory in the process that owns a window.
class RemoteBlock {
public:
    RemoteBlock(HWND owner, size_t size) : size_(size) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(owner, &pid);
        process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) at_ = ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (at_) ::VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
        if (process_) ::CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool Ok() const { return at_ != nullptr; }
    char* At(size_t offset = 0) const { return static_cast<char*>(at_) + offset; }
    bool Write(size_t offset, const void* data, size_t size) {
        SIZE_T done = 0;
        return ::WriteProcessMemory(process_, At(offset), data, size, &done) && done == size;
    }
    bool Read(size_t offset, void* data, size_t size) {
        SIZE_T done = 0;
        return ::ReadProcessMemory(process_, At(offset), data, size, &done) && done == size;
    }

private:
    HANDLE process_ = nullptr;
    void* at_ = nullptr;
    size_t size_;
};

constexpr size_t kTextAt = 512;
constexpr size_t kTextSize = 1024;

bool SameText(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

std::string ReadText(RemoteBlock& block) {
    char text[kTextSize] = "";
    block.Read(kTextAt, text, sizeof text - 1);
    text[kTextSize - 1] = '\0';
    return text;
}

// An item text the system carries between processes (list and combo boxes), asked for in wide
// characters: Wine answers a cross-process ANSI request in wide characters too.
std::string MarshalledText(HWND control, UINT lengthMessage, UINT textMessage, int index) {
    LRESULT n = ::SendMessageW(control, lengthMessage, static_cast<WPARAM>(index), 0);
    if (n < 0) return std::string();
    std::vector<wchar_t> wide(static_cast<size_t>(n) + 16, L'\0');
    ::SendMessageW(control, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data()));
    wide.back() = L'\0';
    char text[2048] = "";
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text, sizeof text, nullptr, nullptr);
    return text;
}

}  // namespace

std::string DesktopFolder() {
    char path[MAX_PATH] = "";
    ::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string TreeItemText(HWND tree, HTREEITEM item) {
    RemoteBlock block(tree, kTextAt + kTextSize);
    if (!block.Ok()) return std::string();
    TVITEMA tv{};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = block.At(kTextAt);
    tv.cchTextMax = kTextSize;
    if (!block.Write(0, &tv, sizeof tv)) return std::string();
    if (!::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.At()))) return std::string();
    return ReadText(block);
}

std::vector<HTREEITEM> TreeChildren(HWND tree, HTREEITEM parent) {
    std::vector<HTREEITEM> children;
    WPARAM first = parent == TVI_ROOT ? TVGN_ROOT : TVGN_CHILD;
    auto item = reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_GETNEXTITEM, first, parent == TVI_ROOT ? 0 : reinterpret_cast<LPARAM>(parent)));
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
        children.push_back(item);
    return children;
}

int TreeItemChildCount(HWND tree, HTREEITEM item) {
    RemoteBlock block(tree, sizeof(TVITEMA));
    if (!block.Ok()) return -1;
    TVITEMA tv{};
    tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
    tv.hItem = item;
    if (!block.Write(0, &tv, sizeof tv)) return -1;
    if (!::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.At()))) return -1;
    if (!block.Read(0, &tv, sizeof tv)) return -1;
    return tv.cChildren;
}

HTREEITEM FindTreeChild(HWND tree, HTREEITEM parent, const std::function<bool(const std::string&)>& match) {
    if (parent != TVI_ROOT) ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    HTREEITEM found = nullptr;
    gui::WaitUntil([&] {
        for (HTREEITEM item : TreeChildren(tree, parent)) {
            if (match(TreeItemText(tree, item))) {
                found = item;
                return true;
            }
        }
        return false;
    }, 5000);
    return found;
}

HTREEITEM FindTreeChild(HWND tree, HTREEITEM parent, const std::string& name) {
    return FindTreeChild(tree, parent, [&](const std::string& text) { return SameText(text, name); });
}

bool SelectTreeItem(HWND tree, HTREEITEM item) {
    return ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
}

std::vector<std::string> ListViewTexts(HWND list) {
    std::vector<std::string> texts;
    RemoteBlock block(list, kTextAt + kTextSize);
    if (!block.Ok()) return texts;
    int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMA lv{};
        lv.iSubItem = 0;
        lv.pszText = block.At(kTextAt);
        lv.cchTextMax = kTextSize;
        block.Write(0, &lv, sizeof lv);
        ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(block.At()));
        texts.push_back(ReadText(block));
    }
    return texts;
}

bool SelectListViewItems(HWND list, const std::vector<std::string>& names) {
    std::vector<std::string> texts = ListViewTexts(list);
    RemoteBlock block(list, sizeof(LVITEMA));
    if (!block.Ok()) return false;
    size_t matched = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        bool want = false;
        for (const std::string& name : names) want = want || SameText(texts[i], name);
        matched += want ? 1 : 0;
        LVITEMA lv{};
        lv.stateMask = LVIS_SELECTED;
        lv.state = want ? LVIS_SELECTED : 0;
        block.Write(0, &lv, sizeof lv);
        ::SendMessageA(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(block.At()));
    }
    return matched == names.size();
}

bool TreeItemLabelRect(HWND tree, HTREEITEM item, RECT& rect) {
    RemoteBlock block(tree, sizeof(RECT));
    if (!block.Ok()) return false;
    RECT r{};
    std::memcpy(&r, &item, sizeof item);  // the message's way of naming the item
    if (!block.Write(0, &r, sizeof r)) return false;
    if (!::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(block.At()))) return false;
    return block.Read(0, &rect, sizeof rect);
}

bool ListViewLabelRect(HWND list, int index, RECT& rect) {
    RemoteBlock block(list, sizeof(RECT));
    if (!block.Ok()) return false;
    RECT r{};
    r.left = LVIR_LABEL;
    if (!block.Write(0, &r, sizeof r)) return false;
    if (!::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(block.At())))
        return false;
    return block.Read(0, &rect, sizeof rect);
}

std::vector<std::string> ListBoxTexts(HWND box) {
    std::vector<std::string> texts;
    int count = static_cast<int>(::SendMessageA(box, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        texts.push_back(MarshalledText(box, LB_GETTEXTLEN, LB_GETTEXT, i));
    }
    return texts;
}

bool SelectListBoxItems(HWND box, const std::vector<int>& indexes) {
    ::SendMessageA(box, LB_SETSEL, FALSE, -1);
    for (int i : indexes)
        if (::SendMessageA(box, LB_SETSEL, TRUE, i) == LB_ERR) return false;
    return true;
}

bool ChooseComboItem(HWND dialog, int id, int index) {
    HWND combo = ::GetDlgItem(dialog, id);
    if (!combo || ::SendMessageA(combo, CB_SETCURSEL, index, 0) != index) return false;
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    return true;
}

std::vector<std::string> ComboTexts(HWND combo) {
    std::vector<std::string> texts;
    int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        texts.push_back(MarshalledText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, i));
    }
    return texts;
}

std::string StatusBarText(HWND bar, int pane) {
    RemoteBlock block(bar, kTextAt + kTextSize);
    if (!block.Ok()) return std::string();
    ::SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(block.At(kTextAt)));
    return ReadText(block);
}

}  // namespace remote
