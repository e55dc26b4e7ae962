// CProgressPanel through real windows under Wine, plus the demo program driven from outside.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/progress_panel.h"
#include "gui/driver/gui_driver.h"
#include "platform/process.h"
#include "platform/settings.h"
#include "winui/app.h"

namespace {

constexpr char kTestCompany[] = "ZembraTests";

// Test values live under their own key, removed before and after each test.
struct PanelTest : ::testing::Test {
    void SetUp() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\ZembraTests");
        settings = OpenAppProfile(kTestCompany, "ProgressPanel");
    }
    void TearDown() override {
        winui::App::SetMainWindow(nullptr);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\ZembraTests");
    }
    static int Dots(HWND hwnd) {
        std::string title = gui::Text(hwnd);
        size_t n = title.size() - title.find_last_not_of('.') - 1;
        return static_cast<int>(n);
    }
    static std::string CaptionWithoutDots(HWND hwnd) {
        std::string title = gui::Text(hwnd);
        return title.substr(0, title.find_last_not_of('.') + 1);
    }
    static RECT ChildRect(HWND panel, int id) {
        RECT r;
        ::GetWindowRect(::GetDlgItem(panel, id), &r);
        ::MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static bool Centred(HWND hwnd) {
        RECT r, area;
        ::GetWindowRect(hwnd, &r);
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        int ax = (area.left + area.right) / 2, ay = (area.top + area.bottom) / 2;
        return std::abs(cx - ax) <= 1 && std::abs(cy - ay) <= 1;
    }
    std::unique_ptr<ISettings> settings;
};

TEST_F(PanelTest, CreationShowsTheEnginesCaptionAndTheDefaults) {
    CProgressPanel panel(nullptr, "Building", false, settings.get());
    ASSERT_TRUE(panel.Exists());
    HWND h = panel.Handle();
    EXPECT_TRUE(::IsWindowVisible(h));
    EXPECT_EQ(gui::Text(h), "Building");
    EXPECT_EQ(gui::ClassName(h), CProgressPanel::kClassName);
    EXPECT_EQ(gui::Text(::GetDlgItem(h, CProgressPanel::kCancelId)), " Cancel ");
    EXPECT_EQ(gui::Text(::GetDlgItem(h, CProgressPanel::kTextId)), "");
    EXPECT_NE(::GetDlgItem(h, CProgressPanel::kBarId), nullptr);
    EXPECT_EQ(panel.Step(), 1);
    EXPECT_EQ(panel.Lower(), 0);
    EXPECT_EQ(panel.Upper(), 100);
    LONG_PTR ex = ::GetWindowLongPtrA(h, GWL_EXSTYLE), style = ::GetWindowLongPtrA(h, GWL_STYLE);
    EXPECT_TRUE(ex & WS_EX_DLGMODALFRAME);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_EQ(style & WS_SYSMENU, 0) << "no close box: Cancel is the only way out";
}

TEST_F(PanelTest, LayoutLeavesTenPixelMarginsAroundTextButtonAndBar) {
    CProgressPanel panel(nullptr, "Building", false, settings.get());
    HWND h = panel.Handle();
    RECT client, text = ChildRect(h, CProgressPanel::kTextId), button = ChildRect(h, CProgressPanel::kCancelId),
                 bar = ChildRect(h, CProgressPanel::kBarId);
    ::GetClientRect(h, &client);
    EXPECT_EQ(client.right, 390);
    EXPECT_EQ(text.left, 10);
    EXPECT_EQ(text.top, 10);
    EXPECT_EQ(text.right, 380);
    EXPECT_EQ(button.right, text.right);
    EXPECT_EQ(button.top, text.bottom + 10);
    EXPECT_EQ(client.bottom, button.bottom + 10);
    EXPECT_EQ(bar.left, 10);
    EXPECT_EQ(bar.right, button.left - 10);
    EXPECT_EQ(bar.top, button.top + ::GetSystemMetrics(SM_CYEDGE));
    EXPECT_EQ(bar.bottom, button.bottom - ::GetSystemMetrics(SM_CYEDGE));
    // Four lines of the text font fit the text area; a fifth would not.
    HWND t = ::GetDlgItem(h, CProgressPanel::kTextId);
    HDC dc = ::GetDC(t);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(t, WM_GETFONT, 0, 0)));
    TEXTMETRICA tm;
    ::GetTextMetricsA(dc, &tm);
    ::SelectObject(dc, old);
    ::ReleaseDC(t, dc);
    EXPECT_GE(text.bottom - text.top, 4 * tm.tmHeight);
    EXPECT_LT(text.bottom - text.top, 5 * tm.tmHeight);
}

TEST_F(PanelTest, EightPositionsCycleTheCaptionThroughOneToSevenDots) {
    CProgressPanel panel(nullptr, "Building", false, settings.get());
    std::vector<int> dots;
    for (int i = 0; i < 8; ++i) {
        panel.SetPos(i * 10);
        dots.push_back(Dots(panel.Handle()));
        EXPECT_EQ(CaptionWithoutDots(panel.Handle()), "Building ");
    }
    // The counter is shared by the process, so the run may start anywhere in the cycle; a
    // fresh process starts at one dot.
    int start = dots[0];
    ASSERT_GE(start, 1);
    ASSERT_LE(start, 7);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(dots[i], (start - 1 + i) % 7 + 1) << "call " << i;
    // A second panel carries on where the first left off.
    CProgressPanel other(nullptr, "Other", false, settings.get());
    other.SetPos(1);
    EXPECT_EQ(Dots(other.Handle()), (start - 1 + 8) % 7 + 1);
}

TEST_F(PanelTest, SetRangeSetsTheBarThenResetsCaptionStepAndPosition) {
    CProgressPanel panel(nullptr, "Building", false, settings.get());
    HWND bar = ::GetDlgItem(panel.Handle(), CProgressPanel::kBarId);
    panel.SetStep(10);
    panel.SetPos(30);
    panel.SetRange(5, 500, 25);
    PBRANGE range{};
    ::SendMessageA(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 5);
    EXPECT_EQ(range.iHigh, 500);
    EXPECT_EQ(panel.Step(), 1) << "the step given with the range does not survive it";
    EXPECT_EQ(panel.Position(), 0);
    EXPECT_EQ(panel.Lower(), 0);
    EXPECT_EQ(panel.Upper(), 100);
    EXPECT_EQ(panel.CaptionText(), "Progress");
    panel.StepIt();
    EXPECT_EQ(panel.Position(), 1);
    EXPECT_EQ(CaptionWithoutDots(panel.Handle()), "Progress ");
    EXPECT_EQ(::SendMessageA(bar, PBM_GETPOS, 0, 0), 5) << "the bar clamps to its range";
    // With the step set after the range, steps advance by it.
    EXPECT_EQ(panel.SetStep(25), 1);
    panel.StepIt();
    EXPECT_EQ(panel.Position(), 26);
    EXPECT_EQ(panel.SetPos(100), 26);  // the bar's previous position
}

TEST_F(PanelTest, SetPosShowsAHiddenPanelAndTextIsShownAsGiven) {
    CProgressPanel panel(nullptr, "Building", false, settings.get());
    panel.Hide();
    EXPECT_FALSE(::IsWindowVisible(panel.Handle()));
    panel.SetPos(3);
    EXPECT_TRUE(::IsWindowVisible(panel.Handle()));
    HWND text = ::GetDlgItem(panel.Handle(), CProgressPanel::kTextId);
    panel.SetText("100% of C:\\a%sb.txt");
    EXPECT_EQ(gui::Text(text), "100% of C:\\a%sb.txt");
    std::string longName(3000, 'x');
    panel.SetTextFormat("Writing %s\nsegment %d", longName.c_str(), 7);
    EXPECT_EQ(gui::Text(text), "Writing " + longName + "\nsegment 7");
}

TEST_F(PanelTest, EscapeCancelsOnlyWhenThePumpIsAskedTo) {
    CProgressPanel panel(nullptr, "Building", false, settings.get());
    gui::PostChar(panel.Handle(), 27);
    panel.PumpMessages(false);
    EXPECT_FALSE(panel.Cancelled());
    EXPECT_TRUE(::IsWindowVisible(panel.Handle()));
    gui::PostChar(panel.Handle(), 'x');
    panel.PumpMessages(true);
    EXPECT_FALSE(panel.Cancelled()) << "only Escape cancels";
    gui::PostChar(panel.Handle(), 27);
    panel.PumpMessages(true);
    EXPECT_TRUE(panel.Cancelled());
    EXPECT_FALSE(::IsWindowVisible(panel.Handle()));
    // The cancel lasts until the next range.
    panel.SetRange(0, 10);
    EXPECT_FALSE(panel.Cancelled());
}

TEST_F(PanelTest, CancelButtonHidesBringsMainWindowForwardAndLaterPumpsReturnAtOnce) {
    HWND main = ::CreateWindowExA(0, "STATIC", "Zembra main", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  50, 50, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(main, nullptr);
    winui::App::SetMainWindow(main);
    {
        CProgressPanel panel(nullptr, "Building", false, settings.get());
        EXPECT_EQ(::GetWindow(panel.Handle(), GW_OWNER), main) << "owned by the main window";
        HWND other = ::CreateWindowExA(0, "STATIC", "Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                       400, 50, 300, 200, nullptr, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(other);
        ASSERT_TRUE(gui::Click(panel.Handle(), CProgressPanel::kCancelId));
        panel.PumpMessages(false);
        EXPECT_TRUE(panel.Cancelled());
        EXPECT_FALSE(::IsWindowVisible(panel.Handle()));
        EXPECT_EQ(::GetForegroundWindow(), main);
        // Once cancelled the pump leaves the queue alone.
        ::PostMessageA(main, WM_USER + 9, 0, 0);
        panel.PumpMessages(true);
        MSG msg;
        EXPECT_TRUE(::PeekMessageA(&msg, main, WM_USER + 9, WM_USER + 9, PM_REMOVE));
        ::DestroyWindow(other);
    }
    ::DestroyWindow(main);
}

TEST_F(PanelTest, PumpLeavesTheQuitMessageForTheProgramsLoop) {
    CProgressPanel panel(nullptr, "Building", false, settings.get());
    ::PostQuitMessage(4);
    panel.PumpMessages(true);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 4u);
}

TEST_F(PanelTest, StoredPositionIsUsedOnlyWhenOnTheScreen) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        int x, y;
        bool centred;
    } cases[] = {
        {-1, -1, true}, {w, 100, true}, {w + 500, 100, true}, {100, h, true}, {100, -5, true},
        {0, 0, false},  {123, 77, false}, {w - 1, h - 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        settings->WriteInt("Settings", "X", c.x);
        settings->WriteInt("Settings", "Y", c.y);
        CProgressPanel stored(nullptr, "Building", false, settings.get());
        RECT r;
        ::GetWindowRect(stored.Handle(), &r);
        if (c.centred) {
            EXPECT_TRUE(Centred(stored.Handle())) << r.left << "," << r.top;
        } else {
            EXPECT_EQ(r.left, c.x);
            EXPECT_EQ(r.top, c.y);
        }
    }
}

TEST_F(PanelTest, DestroyRemembersThePositionUnlessPersistenceIsOff) {
    {
        CProgressPanel panel(nullptr, "Building", false, settings.get());
        ::SetWindowPos(panel.Handle(), nullptr, 211, 97, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    EXPECT_EQ(settings->GetInt("Settings", "X", -1), 211);
    EXPECT_EQ(settings->GetInt("Settings", "Y", -1), 97);
    {
        CProgressPanel panel(nullptr, "Building", false, settings.get());
        RECT r;
        ::GetWindowRect(panel.Handle(), &r);
        EXPECT_EQ(r.left, 211);
        EXPECT_EQ(r.top, 97);
    }
    {
        CProgressPanel panel;
        panel.SetPersistentPosition(false);
        ASSERT_TRUE(panel.Create(nullptr, "Building", false, settings.get()));
        EXPECT_TRUE(Centred(panel.Handle()));
        ::SetWindowPos(panel.Handle(), nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    EXPECT_EQ(settings->GetInt("Settings", "X", -1), 211);
    // An owner destroyed first takes the panel with it; the position is still stored.
    HWND owner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    CProgressPanel owned(owner, "Building", false, settings.get());
    ::SetWindowPos(owned.Handle(), nullptr, 300, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::DestroyWindow(owner);
    EXPECT_FALSE(owned.Exists());
    EXPECT_EQ(settings->GetInt("Settings", "X", -1), 300);
    EXPECT_EQ(settings->GetInt("Settings", "Y", -1), 40);
    owned.SetPos(5);  // does nothing now
}

TEST_F(PanelTest, WithoutAWindowEveryOperationDoesNothing) {
    CProgressPanel panel;
    EXPECT_FALSE(panel.Exists());
    panel.SetRange(0, 10);
    EXPECT_EQ(panel.SetStep(5), 1);
    EXPECT_EQ(panel.Step(), 1);
    EXPECT_EQ(panel.SetPos(7), 0);
    panel.StepIt();
    panel.SetText("x");
    panel.SetTextFormat("%d", 1);
    panel.Show();
    panel.Hide();
    ::PostMessageA(nullptr, WM_USER + 3, 0, 0);
    panel.PumpMessages(true);
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
    EXPECT_FALSE(panel.Cancelled());
    panel.DestroyPanel();
    EXPECT_EQ(settings->GetInt("Settings", "X", -1), -1) << "nothing stored without a window";
}

// The demo program, driven from outside like a user would.
struct DemoTest : PanelTest {
    std::string Command() const {
        return "\"" + ModuleFolder() + "progress-demo.exe\" --delay 20 --company " + kTestCompany;
    }
    // The demo's progress panel once it shows.
    static HWND FindPanel(gui::Program& demo) {
        gui::WindowQuery q;
        q.className = CProgressPanel::kClassName;
        q.pid = demo.Pid();
        return gui::FindTop(q);
    }
};

TEST_F(DemoTest, CancelButtonStopsTheRunWithAMessage) {
    gui::Program demo;
    ASSERT_TRUE(demo.Start(Command()));
    HWND panel = FindPanel(demo);
    ASSERT_NE(panel, nullptr);
    HWND text = gui::FindChild(panel, CProgressPanel::kTextId);
    EXPECT_TRUE(gui::WaitUntil([&] { return gui::Text(text).find("progress window") != std::string::npos; }));
    EXPECT_EQ(gui::Text(panel).rfind("Progress .", 0), 0u) << gui::Text(panel);
    ASSERT_TRUE(gui::Click(panel, CProgressPanel::kCancelId));
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, demo.Pid()), "Progress demo cancelled.");
    DWORD code = 0;
    ASSERT_TRUE(demo.WaitExit(gui::kTimeoutMs, &code));
    EXPECT_EQ(code, 2u);
    // The panel stored where it stood.
    EXPECT_NE(OpenAppProfile(kTestCompany, CProgressPanel::kApplication)->GetInt("Settings", "X", -1), -1);
}

TEST_F(DemoTest, EscapeStopsTheRunAndFinishedPassesEndQuietly) {
    {
        gui::Program demo;
        ASSERT_TRUE(demo.Start(Command()));
        HWND panel = FindPanel(demo);
        ASSERT_NE(panel, nullptr);
        gui::PostChar(panel, 27);
        EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, demo.Pid()), "Progress demo cancelled.");
        DWORD code = 0;
        ASSERT_TRUE(demo.WaitExit(gui::kTimeoutMs, &code));
        EXPECT_EQ(code, 2u);
    }
    gui::Program demo;
    ASSERT_TRUE(demo.Start("\"" + ModuleFolder() + "progress-demo.exe\" --delay 0 --passes 2 --company " +
                           kTestCompany));
    DWORD code = 99;
    ASSERT_TRUE(demo.WaitExit(gui::kTimeoutMs * 2, &code));
    EXPECT_EQ(code, 0u);
}

}  // namespace
