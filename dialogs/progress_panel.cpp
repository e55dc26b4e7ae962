// CProgressPanel: creation, layout, the dot caption, the pump and the stored position.
#include "dialogs/progress_panel.h"

#include <commctrl.h>

#include <cstdarg>

#include "platform/text_format.h"
#include "winui/app.h"
#include "winui/message_loop.h"

const char* const CProgressPanel::kClassName = "ZembraProgressPanel";
const char* const CProgressPanel::kCompany = "Local AppWizard-Generated Applications";
const char* const CProgressPanel::kApplication = "Zembra";

namespace {
// Shared by every panel of the process, so the dots run on from one build to the next.
int g_dotCounter = 0;
constexpr int kMargin = 10;
constexpr int kWidth = 390;
constexpr int kHeight = 130;
constexpr char kSection[] = "Settings";

HFONT MakeStatusFont() {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) {
        // Systems before Vista know the structure without its last member.
        ncm.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
        if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) return nullptr;
    }
    return ::CreateFontIndirectA(&ncm.lfStatusFont);
}
}  // namespace

CProgressPanel::CProgressPanel() = default;

CProgressPanel::CProgressPanel(HWND parent, const std::string& caption, bool smooth,
                               ISettings* settings) {
    Create(parent, caption, smooth, settings);
}

CProgressPanel::~CProgressPanel() { DestroyPanel(); }

void CProgressPanel::ResetFields() {
    cancelled_ = false;
    position_ = 0;
    step_ = 1;
    lower_ = 0;
    upper_ = 100;
    lines_ = 4;
    caption_ = "Progress";
    cancelLabel_ = " Cancel ";
}

ISettings& CProgressPanel::Settings() {
    if (settings_) return *settings_;
    if (!ownSettings_) ownSettings_ = OpenAppProfile(kCompany, kApplication);
    return *ownSettings_;
}

bool CProgressPanel::Create(HWND parent, const std::string& caption, bool smooth,
                            ISettings* settings) {
    if (hwnd_) return false;
    placed_ = false;
    ResetFields();
    caption_ = caption;
    settings_ = settings;
    winui::App::InitCommonControls();
    if (!RegisterWindowClass(kClassName, CS_OWNDC | CS_HREDRAW | CS_VREDRAW,
                             ::LoadCursor(nullptr, IDC_APPSTARTING),
                             reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1))))
        return false;
    if (!font_) font_ = MakeStatusFont();
    HWND owner = parent ? parent : winui::App::MainWindow();
    if (!winui::Window::Create(WS_EX_DLGMODALFRAME, kClassName, caption_.c_str(),
                               WS_POPUP | WS_CAPTION | WS_BORDER, 0, 0, kWidth, kHeight, owner))
        return false;
    HINSTANCE inst = winui::App::Instance();
    text_ = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_LEFTNOWORDWRAP,
                              0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(kTextId), inst, nullptr);
    bar_ = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | (smooth ? PBS_SMOOTH : 0),
                             0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(kBarId), inst, nullptr);
    cancelButton_ = ::CreateWindowExA(0, "BUTTON", cancelLabel_.c_str(),
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                                      hwnd_, reinterpret_cast<HMENU>(kCancelId), inst, nullptr);
    if (!text_ || !bar_ || !cancelButton_) {
        ::DestroyWindow(hwnd_);
        text_ = bar_ = cancelButton_ = nullptr;
        return false;
    }
    if (font_) {
        ::SendMessageA(cancelButton_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        ::SendMessageA(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    Layout(lines_, kWidth);
    RestorePosition();
    placed_ = true;
    Show();
    return true;
}

void CProgressPanel::Layout(int lines, int width) {
    HDC dc = ::GetDC(text_);
    HGDIOBJ old = font_ ? ::SelectObject(dc, font_) : nullptr;
    std::string sample = "M";
    for (int i = 1; i < lines; ++i) sample += "\nM";
    RECT measured{0, 0, 0, 0};
    ::DrawTextA(dc, sample.c_str(), -1, &measured, DT_CALCRECT | DT_NOPREFIX);
    std::string label = cancelLabel_ + "  ";
    SIZE labelSize{0, 0};
    ::GetTextExtentPoint32A(dc, label.c_str(), static_cast<int>(label.size()), &labelSize);
    if (old) ::SelectObject(dc, old);
    ::ReleaseDC(text_, dc);

    const int ex = ::GetSystemMetrics(SM_CXEDGE), ey = ::GetSystemMetrics(SM_CYEDGE);
    RECT text{kMargin, kMargin, width - kMargin, kMargin + (measured.bottom - measured.top)};
    RECT button;
    button.right = text.right;
    button.left = button.right - (labelSize.cx + 4 * ex);
    button.top = text.bottom + kMargin;
    button.bottom = button.top + labelSize.cy + 3 * ey;
    RECT bar{kMargin, button.top + ey, button.left - kMargin, button.bottom - ey};

    RECT outer = WindowRect(), client = ClientRect();
    int clientW = (text.right - text.left) + 2 * kMargin, clientH = button.bottom + kMargin;
    int extraW = (outer.right - outer.left) - client.right;
    int extraH = (outer.bottom - outer.top) - client.bottom;
    ::MoveWindow(hwnd_, outer.left, outer.top, clientW + extraW, clientH + extraH, FALSE);
    ::MoveWindow(bar_, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, FALSE);
    ::MoveWindow(cancelButton_, button.left, button.top, button.right - button.left,
                 button.bottom - button.top, FALSE);
    ::MoveWindow(text_, text.left, text.top, text.right - text.left, text.bottom - text.top, FALSE);
}

void CProgressPanel::RestorePosition() {
    if (!persistent_) {
        Center();
        return;
    }
    int x = Settings().GetInt(kSection, "X", -1);
    int y = Settings().GetInt(kSection, "Y", -1);
    // A position from another screen layout would put the window out of reach.
    if (x >= 0 && x < ::GetSystemMetrics(SM_CXSCREEN) && y >= 0 && y < ::GetSystemMetrics(SM_CYSCREEN))
        ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    else
        Center();
}

void CProgressPanel::DestroyPanel() {
    if (hwnd_) Destroy();  // WM_DESTROY stores the position
    text_ = bar_ = cancelButton_ = nullptr;
    if (font_) {
        ::DeleteObject(font_);
        font_ = nullptr;
    }
}

void CProgressPanel::SetRange(int lower, int upper, int /*step: reset below, set it afterwards*/) {
    if (!hwnd_) return;
    ::SendMessageA(bar_, PBM_SETRANGE32, static_cast<WPARAM>(lower), upper);
    ResetFields();
}

int CProgressPanel::SetStep(int step) {
    if (!hwnd_) return step_;
    int previous = step_;
    step_ = step;
    ::SendMessageA(bar_, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
    return previous;
}

int CProgressPanel::SetPos(int pos) {
    if (!hwnd_) return position_;
    if (!::IsWindowVisible(hwnd_)) Show();
    position_ = pos;
    int dots;
    if (g_dotCounter < 6) {
        dots = g_dotCounter + 1;
        ++g_dotCounter;
    } else {
        dots = 7;
        g_dotCounter = 0;
    }
    ::SetWindowTextA(hwnd_, (caption_ + " " + std::string(static_cast<size_t>(dots), '.')).c_str());
    return static_cast<int>(::SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(pos), 0));
}

void CProgressPanel::StepIt() { SetPos(position_ + step_); }

void CProgressPanel::SetText(const std::string& text) {
    if (hwnd_) ::SetWindowTextA(text_, text.c_str());
}

void CProgressPanel::SetTextFormat(const char* format, ...) {
    if (!hwnd_ || !format) return;
    va_list args;
    va_start(args, format);
    std::string text = FormatTextV(format, args);
    va_end(args);
    SetText(text);
}

void CProgressPanel::Show() {
    if (!hwnd_) return;
    ::ShowWindow(hwnd_, SW_SHOWNA);
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
    ::SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CProgressPanel::Hide() {
    if (hwnd_) ::ShowWindow(hwnd_, SW_HIDE);
}

void CProgressPanel::PumpMessages(bool cancelOnEscape) {
    if (!hwnd_) return;
    for (;;) {
        if (cancelled_) return;
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) return;
        if (cancelOnEscape && msg.message == WM_CHAR && msg.wParam == VK_ESCAPE) Cancel();
        if (!winui::MessageLoop::PumpMessage()) {
            // The program is ending: leave the quit for its own loop.
            ::PostQuitMessage(winui::MessageLoop::QuitCode());
            return;
        }
        // A pumped message may have destroyed the panel (its owner closed).
        if (!hwnd_) return;
    }
}

void CProgressPanel::Cancel() {
    cancelled_ = true;
    Hide();
    HWND main = winui::App::MainWindow();
    if (main) ::SetForegroundWindow(main);
}

LRESULT CProgressPanel::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == kCancelId && HIWORD(wp) == BN_CLICKED) {
            Cancel();
            return 0;
        }
        break;
    case WM_CLOSE:
        // Alt+F4 must not destroy a window the engine still drives: treat it as Cancel.
        Cancel();
        return 0;
    case WM_ERASEBKGND: {
        RECT r = ClientRect();
        ::FillRect(reinterpret_cast<HDC>(wp), &r, ::GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_DESTROY:
        // Here rather than in DestroyPanel: an owner that goes first takes the panel with it.
        // A window that failed half-way was never placed: keep the stored position.
        if (persistent_ && placed_) {
            RECT r = WindowRect();
            Settings().WriteInt(kSection, "X", r.left);
            Settings().WriteInt(kSection, "Y", r.top);
        }
        break;
    case WM_NCDESTROY:
        text_ = bar_ = cancelButton_ = nullptr;
        break;
    default:
        break;
    }
    return winui::Window::WindowProc(msg, wp, lp);
}
