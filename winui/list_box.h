// ListBox: list boxes, owner-drawn ones included (the item data carries what to draw).
#pragma once

#include "winui/window.h"

namespace winui {

class ListBox : public Window {
public:
    using Window::Window;
    int AddString(const std::string& s) { return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()))); }
    int InsertString(int index, const std::string& s) {
        return static_cast<int>(Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str())));
    }
    int DeleteString(int index) { return static_cast<int>(Send(LB_DELETESTRING, static_cast<WPARAM>(index))); }
    void ResetContent() { Send(LB_RESETCONTENT); }
    int GetCount() const { return static_cast<int>(Send(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(Send(LB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(Send(LB_SETCURSEL, static_cast<WPARAM>(index))); }
    int FindStringExact(const std::string& s, int after = -1) const {
        return static_cast<int>(Send(LB_FINDSTRINGEXACT, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(s.c_str())));
    }
    std::string GetItemText(int index) const {
        LRESULT n = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
        if (n == LB_ERR) return std::string();
        std::string s(static_cast<size_t>(n) + 1, '\0');
        n = Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&s[0]));
        s.resize(n == LB_ERR ? 0 : static_cast<size_t>(n));
        return s;
    }
    // Lets the box scroll sideways as far as its widest entry, plus margin pixels.
    void FitHorizontalExtent(int margin) {
        HDC dc = ::GetDC(hwnd_);
        if (!dc) return;
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(Send(WM_GETFONT)));
        int widest = 0;
        for (int i = 0, n = GetCount(); i < n; ++i) {
            std::string text = GetItemText(i);
            SIZE size{};
            if (::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size) && size.cx > widest)
                widest = static_cast<int>(size.cx);
        }
        ::SelectObject(dc, old);
        ::ReleaseDC(hwnd_, dc);
        Send(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + margin));
    }
    // One entry more: the extent grows to take it, without measuring the others again.
    void WidenHorizontalExtent(const std::string& text, int margin) {
        HDC dc = ::GetDC(hwnd_);
        if (!dc) return;
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(Send(WM_GETFONT)));
        SIZE size{};
        BOOL measured = ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        ::SelectObject(dc, old);
        ::ReleaseDC(hwnd_, dc);
        if (measured && size.cx + margin > Send(LB_GETHORIZONTALEXTENT))
            Send(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(size.cx + margin));
    }
    LRESULT GetItemData(int index) const { return Send(LB_GETITEMDATA, static_cast<WPARAM>(index)); }
    bool SetItemData(int index, LPARAM data) { return Send(LB_SETITEMDATA, static_cast<WPARAM>(index), data) != LB_ERR; }
};

}  // namespace winui
