// Every dialog template of zembra, remblo and korvo, made for real: each label and button must
// show its whole text in its dialog font, and each control must lie inside its dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace {

std::string BesideThisTest(const char* name) {
    char path[MAX_PATH] = {0};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

BOOL CALLBACK CollectDialog(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<WORD>*>(ids)->push_back(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

INT_PTR CALLBACK Inert(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// The template with WS_VISIBLE cleared, so nothing shows while it is measured.
std::vector<char> HiddenTemplate(HMODULE module, WORD id) {
    HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL data = res ? ::LoadResource(module, res) : nullptr;
    if (!data) return {};
    const char* bytes = static_cast<const char*>(::LockResource(data));
    std::vector<char> copy(bytes, bytes + ::SizeofResource(module, res));
    bool extended = copy.size() > 12 && *reinterpret_cast<WORD*>(&copy[2]) == 0xFFFF;
    *reinterpret_cast<DWORD*>(&copy[extended ? 12 : 0]) &= ~WS_VISIBLE;
    return copy;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {0};
    ::GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// What the control's text needs beside the text itself: button frames, check boxes.
int ButtonMargin(LONG style) {
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
    case BS_3STATE: case BS_AUTO3STATE:
        return ::GetSystemMetrics(SM_CXMENUCHECK) + 4;
    case BS_GROUPBOX:
        return 10;
    default:
        return 2 * ::GetSystemMetrics(SM_CXEDGE) + 2;
    }
}

// "" when the control shows its text whole, else what is wrong.
std::string TextFault(HWND control) {
    char text[1024] = {0};
    ::GetWindowTextA(control, text, sizeof text);
    if (!text[0]) return "";
    LONG style = ::GetWindowLongA(control, GWL_STYLE);
    std::string cls = ClassOf(control);
    bool isStatic = _stricmp(cls.c_str(), "Static") == 0, isButton = _stricmp(cls.c_str(), "Button") == 0;
    if (!isStatic && !isButton) return "";
    LONG type = style & SS_TYPEMASK;
    if (isStatic && type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP &&
        type != SS_SIMPLE)
        return "";  // icons, frames, pictures
    if (isStatic && (style & SS_ELLIPSISMASK)) return "";  // shortened on purpose
    RECT client;
    ::GetClientRect(control, &client);
    HDC dc = ::GetDC(control);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)));
    UINT format = DT_CALCRECT | ((isStatic && (style & SS_NOPREFIX)) ? DT_NOPREFIX : 0);
    bool wraps = isStatic && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE;
    RECT need{0, 0, wraps ? client.right : 0, 0};
    ::DrawTextA(dc, text, -1, &need, format | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    int width = need.right + (isButton ? ButtonMargin(style) : 0);
    if (width <= client.right && need.bottom <= client.bottom) return "";
    return "'" + std::string(text) + "' needs " + std::to_string(width) + "x" + std::to_string(need.bottom) +
           " pixels, has " + std::to_string(client.right) + "x" + std::to_string(client.bottom);
}

class DialogLayout : public ::testing::TestWithParam<const char*> {};

TEST_P(DialogLayout, EveryTextFitsAndEveryControlLiesInsideItsDialog) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    std::string path = BesideThisTest(GetParam());
    HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << path;
    std::vector<WORD> ids;
    ::EnumResourceNamesA(module, MAKEINTRESOURCEA(5), CollectDialog, reinterpret_cast<LONG_PTR>(&ids));
    EXPECT_FALSE(ids.empty());
    // Child templates (the main form) need a parent; it stays hidden.
    HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1000, 800, nullptr, nullptr, nullptr, nullptr);
    for (WORD id : ids) {
        std::vector<char> tmpl = HiddenTemplate(module, id);
        HWND dialog = ::CreateDialogIndirectParamA(module, reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()), parent,
                                                   Inert, 0);
        ASSERT_NE(dialog, nullptr) << GetParam() << " dialog " << id;
        RECT area;
        ::GetClientRect(dialog, &area);
        for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            if (!(::GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE)) continue;  // placeholders
            int control = ::GetDlgCtrlID(c);
            RECT r;
            ::GetWindowRect(c, &r);
            ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= area.right && r.bottom <= area.bottom)
                << GetParam() << " dialog " << id << ", control " << control << " at " << r.left << "," << r.top << "-"
                << r.right << "," << r.bottom << " lies outside the dialog, " << area.right << "x" << area.bottom;
            EXPECT_EQ(TextFault(c), "") << GetParam() << " dialog " << id << ", control " << control;
        }
        ::DestroyWindow(dialog);
    }
    ::DestroyWindow(parent);
    ::FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(Programs, DialogLayout, ::testing::Values("zembra.exe", "remblo.exe", "korvo.exe"));

}  // namespace
