// CHelpWindow: a list box of topics and a read-only edit with the chosen one.
#include "dialogs/help_window.h"

#include "platform/file_system.h"
#include "model/listing_reader.h"
#include "winui/app.h"
#include "winui/message_loop.h"

namespace {
constexpr int kTopicsId = 100, kTextId = 101;
constexpr int kWidth = 720, kHeight = 520, kListWidth = 220;

std::unique_ptr<CHelpWindow>& Instance() {
    static std::unique_ptr<CHelpWindow> window;
    return window;
}

HFONT MessageFont() {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) return nullptr;
    return ::CreateFontIndirectA(&ncm.lfMessageFont);
}
}  // namespace

CHelpWindow* CHelpWindow::Current() {
    std::unique_ptr<CHelpWindow>& window = Instance();
    return window && window->Exists() ? window.get() : nullptr;
}

bool CHelpWindow::Open(const std::string& htmlPath, const std::string& anchor, std::string& why) {
    CHelpWindow* open = Current();
    if (!open) {
        IFileSystem& fs = SystemFileSystem();
        std::string html;
        if (!listing_reader::ReadText(fs, htmlPath, html)) {
            why = "The help file " + htmlPath + " could not be read: " + fs.LastErrorText();
            return false;
        }
        CHelpDocument document;
        if (!document.Parse(html)) {
            why = "The help file " + htmlPath + " holds no help topics.";
            return false;
        }
        std::unique_ptr<CHelpWindow>& slot = Instance();
        slot.reset(new CHelpWindow(std::move(document)));
        if (!slot->Make()) {
            slot.reset();
            why = "The help window could not be opened.";
            return false;
        }
        open = slot.get();
    }
    open->ShowTopic(open->document_.IndexOf(anchor));
    if (::IsIconic(open->hwnd_)) ::ShowWindow(open->hwnd_, SW_RESTORE);
    ::ShowWindow(open->hwnd_, SW_SHOW);
    ::SetForegroundWindow(open->hwnd_);
    return true;
}

bool CHelpWindow::Make() {
    HINSTANCE inst = winui::App::Instance();
    RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                        ::GetSysColorBrush(COLOR_BTNFACE), ::LoadIconA(inst, MAKEINTRESOURCEA(128)));
    // Its own top-level window, owned by none: it stays open beside the program, and a modal
    // dialog over the main window does not disable it.
    const std::string& title = document_.Topics().front().title;
    if (!Create(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                kWidth, kHeight, nullptr))
        return false;
    topics_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(kTopicsId), inst, nullptr);
    text_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                  ES_AUTOVSCROLL,
                              0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(kTextId), inst, nullptr);
    if (!topics_ || !text_) return false;
    font_ = MessageFont();
    if (font_) {
        ::SendMessageA(topics_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        ::SendMessageA(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    ::SendMessageA(text_, EM_SETLIMITTEXT, 0, 0);
    for (const HelpTopic& topic : document_.Topics()) {
        std::string entry = std::string(topic.level > 2 ? 4 : 0, ' ') + topic.title;
        ::SendMessageA(topics_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    Layout();
    // Centred on the screen: the main window may be hidden (a wizard started from Explorer).
    Center();
    winui::MessageLoop::AddModeless(hwnd_);  // Tab between the list and the text
    return true;
}

void CHelpWindow::Layout() {
    RECT r = ClientRect();
    int list = kListWidth < r.right / 2 ? kListWidth : r.right / 2;
    ::MoveWindow(topics_, 4, 4, list - 6, r.bottom - 8, TRUE);
    ::MoveWindow(text_, list + 2, 4, r.right - list - 6, r.bottom - 8, TRUE);
}

void CHelpWindow::ShowTopic(size_t index) {
    const std::vector<HelpTopic>& topics = document_.Topics();
    if (index >= topics.size()) return;
    ::SendMessageA(topics_, LB_SETCURSEL, index, 0);
    std::string text = topics[index].title + "\r\n\r\n" + topics[index].text;
    ::SetWindowTextA(text_, text.c_str());
}

LRESULT CHelpWindow::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        Layout();
        return 0;
    case WM_SETFOCUS:
        ::SetFocus(topics_);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == kTopicsId && HIWORD(wp) == LBN_SELCHANGE) {
            LRESULT at = ::SendMessageA(topics_, LB_GETCURSEL, 0, 0);
            if (at >= 0) ShowTopic(static_cast<size_t>(at));
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        // The text is read-only, not disabled: shown on the reading background, not grey.
        if (reinterpret_cast<HWND>(lp) == text_) {
            ::SetBkColor(reinterpret_cast<HDC>(wp), ::GetSysColor(COLOR_WINDOW));
            ::SetTextColor(reinterpret_cast<HDC>(wp), ::GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_DESTROY:
        winui::MessageLoop::RemoveModeless(hwnd_);
        break;
    default:
        break;
    }
    return Window::WindowProc(msg, wp, lp);
}

void CHelpWindow::OnFinalDestroy() {
    if (font_) ::DeleteObject(font_);
    font_ = nullptr;
    topics_ = text_ = nullptr;
}
