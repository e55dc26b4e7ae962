// ComboBox: drop-down and drop-list combo boxes, owner-drawn ones included.
#pragma once

#include <string>

#include "winui/window.h"

namespace winui {

class ComboBox : public Window {
public:
    using Window::Window;
    int AddString(const std::string& s) { return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()))); }
    int InsertString(int index, const std::string& s) {
        return static_cast<int>(Send(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str())));
    }
    int DeleteString(int index) { return static_cast<int>(Send(CB_DELETESTRING, static_cast<WPARAM>(index))); }
    void ResetContent() { Send(CB_RESETCONTENT); }
    int GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(Send(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    int FindStringExact(const std::string& s, int after = -1) const {
        return static_cast<int>(Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(s.c_str())));
    }
    int SelectString(const std::string& s, int after = -1) {
        return static_cast<int>(Send(CB_SELECTSTRING, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(s.c_str())));
    }
    std::string GetItemText(int index) const {
        LRESULT n = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
        if (n == CB_ERR) return std::string();
        std::string s(static_cast<size_t>(n) + 1, '\0');
        n = Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&s[0]));
        s.resize(n == CB_ERR ? 0 : static_cast<size_t>(n));
        return s;
    }
    LRESULT GetItemData(int index) const { return Send(CB_GETITEMDATA, static_cast<WPARAM>(index)); }
    bool SetItemData(int index, LPARAM data) { return Send(CB_SETITEMDATA, static_cast<WPARAM>(index), data) != CB_ERR; }
    // Widens the drop-down list, never below the box's own width, so that its longest item shows
    // whole: a narrow box on a crowded form would cut "Automatic (fit the free space)".
    void FitDroppedWidth() {
        HDC dc = ::GetDC(hwnd_);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT)));
        int widest = 0;
        for (int i = 0, n = GetCount(); i < n; ++i) {
            std::string text = GetItemText(i);
            SIZE size{};
            if (::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size) && size.cx > widest)
                widest = size.cx;
        }
        ::SelectObject(dc, old);
        ::ReleaseDC(hwnd_, dc);
        RECT box = WindowRect();
        int want = widest + ::GetSystemMetrics(SM_CXVSCROLL) + 4 * ::GetSystemMetrics(SM_CXEDGE);
        Send(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(want > box.right - box.left ? want : box.right - box.left));
    }
};

}  // namespace winui
