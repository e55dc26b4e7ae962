// Window layer under Wine: data exchange both ways, refusals, message boxes, modal and modeless
// dialogs, the message pump.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "fakes/scripted_prompts.h"
#include "gui/driver/gui_driver.h"
#include "win/winui_test_ids.h"
#include "winui/app.h"
#include "winui/combo_box.h"
#include "winui/data_exchange.h"
#include "winui/dialog.h"
#include "winui/frame_window.h"
#include "winui/list_box.h"
#include "winui/message_box_prompts.h"
#include "winui/message_loop.h"

namespace {

class ExchangeDialog : public winui::Dialog {
public:
    ExchangeDialog() : Dialog(IDD_EXCHANGE) {}
    std::string name = "hello";
    int count = 42;
    int percent = 50;
    std::string shortText = "abc";
    bool flag = true;
    int radio = 1;
    int listIndex = 2;
    int actions = 0;
    UINT customMessage = ::RegisterWindowMessageA("WINUI_TEST_PING");

protected:
    bool OnInitDialog() override {
        winui::ListBox list;
        list.Attach(Item(IDC_LIST));
        for (const char* s : {"zero", "one", "two", "three"}) list.AddString(s);
        return Dialog::OnInitDialog();
    }
    void Exchange(winui::DataExchange& dx, bool) override {
        dx.Text(IDC_NAME, name);
        dx.Int(IDC_COUNT, count);
        dx.IntRange(IDC_PERCENT, percent, 1, 99);
        dx.Text(IDC_SHORT, shortText, 5);
        dx.Check(IDC_FLAG, flag);
        dx.Radio(IDC_RADIO_A, radio);
        dx.ListIndex(IDC_LIST, listIndex);
    }
    bool OnCommand(int id, int, HWND) override {
        if (id != IDC_ACTION) return false;
        ++actions;
        return true;
    }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) override {
        if (msg != customMessage) return false;
        result = static_cast<LRESULT>(wp) + 1;
        return true;
    }
};

TEST(DataExchangeParse, AcceptsOnlyWholeIntegers) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"12", true, 12},          {" -5 ", true, -5},       {"+7", true, 7},
        {"0", true, 0},            {"-2147483648", true, INT_MIN}, {"2147483647", true, INT_MAX},
        {"", false, 0},            {"   ", false, 0},       {"abc", false, 0},
        {"12a", false, 0},         {"1 2", false, 0},       {"2147483648", false, 0},
        {"-2147483649", false, 0}, {"1.5", false, 0},       {"0x10", false, 0},
    };
    for (const auto& c : cases) {
        int v = -999;
        EXPECT_EQ(winui::DataExchange::ParseInt(c.text, v), c.ok) << "'" << c.text << "'";
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

// A modeless dialog on this thread: deterministic, no second thread needed.
struct ModelessFixture : ::testing::Test {
    void SetUp() override {
        dlg.SetPrompts(&prompts);
        ASSERT_TRUE(dlg.Create());
        ASSERT_NE(dlg.Handle(), nullptr);
    }
    void TearDown() override {
        if (dlg.Handle()) ::DestroyWindow(dlg.Handle());
    }
    void PressOK() { ::SendMessageA(dlg.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }
    ScriptedPrompts prompts;
    ExchangeDialog dlg;
};

TEST_F(ModelessFixture, InitialisationPushesEveryField) {
    EXPECT_EQ(dlg.ItemText(IDC_NAME), "hello");
    EXPECT_EQ(dlg.ItemText(IDC_COUNT), "42");
    EXPECT_EQ(dlg.ItemText(IDC_PERCENT), "50");
    EXPECT_EQ(::IsDlgButtonChecked(dlg.Handle(), IDC_FLAG), (UINT)BST_CHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(dlg.Handle(), IDC_RADIO_A), (UINT)BST_UNCHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(dlg.Handle(), IDC_RADIO_B), (UINT)BST_CHECKED);
    EXPECT_EQ(::SendDlgItemMessageA(dlg.Handle(), IDC_LIST, LB_GETCURSEL, 0, 0), 2);
    // The length limit reaches the edit itself.
    EXPECT_EQ(::SendDlgItemMessageA(dlg.Handle(), IDC_SHORT, EM_GETLIMITTEXT, 0, 0), 5);
}

TEST_F(ModelessFixture, OkPullsEveryFieldAndEnds) {
    dlg.SetItemText(IDC_NAME, "  spaced name ");
    dlg.SetItemText(IDC_COUNT, "-17");
    dlg.SetItemText(IDC_PERCENT, "99");
    ::CheckDlgButton(dlg.Handle(), IDC_FLAG, BST_UNCHECKED);
    ::CheckRadioButton(dlg.Handle(), IDC_RADIO_A, IDC_RADIO_C, IDC_RADIO_C);
    ::SendDlgItemMessageA(dlg.Handle(), IDC_LIST, LB_SETCURSEL, 0, 0);
    PressOK();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(dlg.name, "  spaced name ");  // text is taken as typed
    EXPECT_EQ(dlg.count, -17);
    EXPECT_EQ(dlg.percent, 99);
    EXPECT_FALSE(dlg.flag);
    EXPECT_EQ(dlg.radio, 2);
    EXPECT_EQ(dlg.listIndex, 0);
    EXPECT_EQ(dlg.Result(), IDOK);
    EXPECT_EQ(dlg.Handle(), nullptr);  // a modeless dialog is destroyed when it ends
}

TEST_F(ModelessFixture, RefusedValueKeepsDialogOpenFocusesControlAndKeepsFields) {
    struct Case {
        int id;
        const char* text;
        const char* message;
    } cases[] = {
        {IDC_COUNT, "abc", "Please enter an integer."},
        {IDC_COUNT, "", "Please enter an integer."},
        {IDC_COUNT, "99999999999", "Please enter an integer."},
        {IDC_PERCENT, "0", "Please enter an integer between 1 and 99."},
        {IDC_PERCENT, "100", "Please enter an integer between 1 and 99."},
        {IDC_PERCENT, "x", "Please enter an integer."},
        {IDC_SHORT, "toolong", "Please enter no more than 5 characters."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        // Restore valid values first, then spoil one field.
        ASSERT_TRUE(dlg.UpdateData(false));
        // EM_LIMITTEXT stops typing, not WM_SETTEXT: a pasted or set text still gets checked.
        dlg.SetItemText(c.id, c.text);
        dlg.SetItemText(IDC_NAME, "changed");
        prompts.shown.clear();
        PressOK();
        ASSERT_NE(dlg.Handle(), nullptr) << "dialog ended on a refused value";
        ASSERT_EQ(prompts.Texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(::GetFocus(), dlg.Item(c.id));
        EXPECT_EQ(dlg.count, 42);
        EXPECT_EQ(dlg.percent, 50);
    }
}

TEST_F(ModelessFixture, CancelEndsWithoutPullingFields) {
    dlg.SetItemText(IDC_COUNT, "not a number");
    dlg.SetItemText(IDC_NAME, "other");
    ::SendMessageA(dlg.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(dlg.name, "hello");
    EXPECT_EQ(dlg.Result(), IDCANCEL);
    EXPECT_EQ(dlg.Handle(), nullptr);
}

TEST_F(ModelessFixture, CommandsAndCustomMessagesReachHandlers) {
    ::SendMessageA(dlg.Handle(), WM_COMMAND, MAKEWPARAM(IDC_ACTION, BN_CLICKED), 0);
    EXPECT_EQ(dlg.actions, 1);
    // A handled message's result reaches the sender (how a running program answers a
    // registered "already running?" message).
    EXPECT_EQ(::SendMessageA(dlg.Handle(), dlg.customMessage, 41, 0), 42);
}

TEST_F(ModelessFixture, FirstDialogTakesAndReleasesTheMainWindowRole) {
    EXPECT_EQ(winui::App::MainWindow(), dlg.Handle());
    ::DestroyWindow(dlg.Handle());
    EXPECT_EQ(winui::App::MainWindow(), nullptr);
}

// Real message boxes answered by the driver from a second thread.
TEST(MessageBoxPrompts, ShowsTextWithCaptionAndMapsTheButtonPressed) {
    struct Case {
        PromptButtons buttons;
        int press;
        PromptAnswer expected;
    } cases[] = {
        {PromptButtons::Ok, IDOK, PromptAnswer::Ok},
        {PromptButtons::OkCancel, IDCANCEL, PromptAnswer::Cancel},
        {PromptButtons::OkCancel, IDOK, PromptAnswer::Ok},
        {PromptButtons::YesNo, IDYES, PromptAnswer::Yes},
        {PromptButtons::YesNo, IDNO, PromptAnswer::No},
    };
    winui::App::SetCaption("Zembra");
    for (const auto& c : cases) {
        std::string seen, caption;
        std::thread driver([&] {
            HWND box = gui::FindMessageBox(::GetCurrentProcessId());
            if (!box) return;
            seen = gui::MessageBoxText(box);
            caption = gui::Text(box);
            gui::Answer(box, c.press);
        });
        winui::MessageBoxPrompts prompts;
        PromptAnswer got = prompts.Show("Overwrite existing Split Set!", c.buttons);
        driver.join();
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(seen, "Overwrite existing Split Set!");
        EXPECT_EQ(caption, "Zembra");
    }
}

// Ends whatever a driver thread left open when it gave up early, so DoModal returns and the
// test fails instead of hanging.
struct CloseOnExit {
    HWND dialog = nullptr;
    ~CloseOnExit() {
        if (!dialog || !::IsWindow(dialog)) return;
        gui::AnswerNextMessageBox(IDOK, ::GetCurrentProcessId(), 0);
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
};

// A modal dialog run the way a program runs it, driven from another thread like a user would.
TEST(ModalDialog, DriverTypesRefusedValueReadsMessageThenFixesIt) {
    ExchangeDialog dlg;
    std::string refusal;
    std::atomic<bool> driverOk{false};
    std::thread driver([&] {
        HWND h = gui::FindTop("#32770", "Exchange Test", gui::kTimeoutMs, ::GetCurrentProcessId());
        CloseOnExit closer{h};
        if (!h) return;
        // Its label has the id 0xFFFF like a message box's text: still not taken for one.
        if (!::GetDlgItem(h, 0xFFFF) || gui::IsMessageBox(h)) return;
        if (gui::Text(gui::FindChild(h, IDC_COUNT)) != "42") return;
        gui::SetText(h, IDC_COUNT, "forty");
        gui::Click(h, IDOK);
        refusal = gui::AnswerNextMessageBox(IDOK, ::GetCurrentProcessId());
        if (!::IsWindow(h)) return;  // must still be open after the refusal
        gui::SetText(h, IDC_COUNT, "40");
        gui::Click(h, IDC_ACTION);
        gui::Click(h, IDOK);
        driverOk = gui::WaitGone(h);
    });
    INT_PTR r = dlg.DoModal();
    driver.join();
    EXPECT_TRUE(driverOk);
    EXPECT_EQ(r, IDOK);
    EXPECT_EQ(refusal, "Please enter an integer.");
    EXPECT_EQ(dlg.count, 40);
    EXPECT_EQ(dlg.actions, 1);
}

TEST(ModalDialog, ClickRefusesHiddenOrDisabledButtons) {
    ExchangeDialog dlg;
    bool clickedDisabled = true, clickedHidden = true;
    std::thread driver([&] {
        HWND h = gui::FindTop("#32770", "Exchange Test", gui::kTimeoutMs, ::GetCurrentProcessId());
        CloseOnExit closer{h};
        if (!h) return;
        HWND action = gui::FindChild(h, IDC_ACTION);
        ::EnableWindow(action, FALSE);
        clickedDisabled = gui::Click(action);
        ::EnableWindow(action, TRUE);
        ::ShowWindow(action, SW_HIDE);
        clickedHidden = gui::Click(action);
        gui::Click(h, IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    driver.join();
    EXPECT_FALSE(clickedDisabled);
    EXPECT_FALSE(clickedHidden);
    EXPECT_EQ(dlg.actions, 0);
}

// The system would put the dialog in the middle of the screen, wherever its owner stands.
TEST(ModalDialog, OpensCentredOverItsOwnerWhereverItStands) {
    HWND owner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 40, 30, 760, 560, nullptr,
                                   nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    RECT o{}, d{};
    std::thread driver([&] {
        HWND h = gui::FindTop("#32770", "Exchange Test", gui::kTimeoutMs, ::GetCurrentProcessId());
        CloseOnExit closer{h};
        if (!h) return;
        ::GetWindowRect(owner, &o);
        ::GetWindowRect(h, &d);
        gui::Click(h, IDCANCEL);
    });
    ExchangeDialog dlg;
    EXPECT_EQ(dlg.DoModal(owner), IDCANCEL);
    driver.join();
    ::DestroyWindow(owner);
    EXPECT_NEAR((d.left + d.right) / 2, (o.left + o.right) / 2, 1);
    EXPECT_NEAR((d.top + d.bottom) / 2, (o.top + o.bottom) / 2, 1);
}

TEST(ComboBox, DroppedListWidensToItsLongestItemButNeverNarrowsBelowTheBox) {
    HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    HWND hwnd = ::CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, 10, 10,
                                  80, 200, parent, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    winui::ComboBox box(hwnd);
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    box.AddString("CD");
    box.FitDroppedWidth();
    EXPECT_EQ(::SendMessageA(hwnd, CB_GETDROPPEDWIDTH, 0, 0), r.right - r.left);

    const char longest[] = "Automatic (fit the free space on the destination)";
    box.AddString(longest);
    box.FitDroppedWidth();
    HDC dc = ::GetDC(hwnd);
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE text{};
    ::GetTextExtentPoint32A(dc, longest, sizeof longest - 1, &text);
    ::SelectObject(dc, old);
    ::ReleaseDC(hwnd, dc);
    ASSERT_GT(text.cx, r.right - r.left);
    EXPECT_GE(::SendMessageA(hwnd, CB_GETDROPPEDWIDTH, 0, 0), text.cx + ::GetSystemMetrics(SM_CXVSCROLL));
    ::DestroyWindow(parent);
}

TEST(MessageLoop, PumpDispatchesUntilQuitAndPendingKeepsTheQuit) {
    // A posted thread message is dispatched nowhere but still counts as pumped.
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_USER + 5, 0, 0);
    EXPECT_TRUE(winui::MessageLoop::PumpMessage());
    ::PostQuitMessage(7);
    EXPECT_FALSE(winui::MessageLoop::PumpPending());
    EXPECT_EQ(winui::MessageLoop::QuitCode(), 7);
    // PumpPending put the quit back so the program's own loop still ends with its code.
    EXPECT_FALSE(winui::MessageLoop::PumpMessage());
    EXPECT_EQ(winui::MessageLoop::QuitCode(), 7);
    ::PostQuitMessage(3);
    EXPECT_EQ(winui::MessageLoop::Run(), 3);
}

class FormView : public winui::Dialog {
public:
    FormView() : Dialog(IDD_FORM) {}
    int commands = 0;

protected:
    bool OnCommand(int id, int, HWND) override {
        if (id != ID_VIEW_COMMAND) return false;
        ++commands;
        return true;
    }
};

class TestFrame : public winui::FrameWindow {
public:
    int commands = 0;
    bool allowClose = false;

protected:
    bool OnCommand(int id, int, HWND) override {
        if (id != ID_FRAME_COMMAND) return false;
        ++commands;
        return true;
    }
    bool OnClose() override { return allowClose; }
};

TEST(FrameWindow, RoutesCommandsFrameThenViewWithAcceleratorsAndEndsTheLoop) {
    TestFrame frame;
    ASSERT_TRUE(frame.CreateFrame("WinuiTestFrame", "Frame Test", IDR_FRAME, WS_OVERLAPPEDWINDOW,
                                  10, 10, 400, 300));
    EXPECT_EQ(winui::App::MainWindow(), frame.Handle());
    EXPECT_NE(::GetMenu(frame.Handle()), nullptr);
    FormView view;
    ASSERT_TRUE(view.Create(frame.Handle()));
    EXPECT_EQ(::GetParent(view.Handle()), frame.Handle());
    frame.SetView(&view);
    ::ShowWindow(frame.Handle(), SW_SHOW);
    RECT client, form;
    ::GetClientRect(frame.Handle(), &client);
    ::GetClientRect(view.Handle(), &form);
    EXPECT_EQ(form.right, client.right);
    EXPECT_EQ(form.bottom, client.bottom);

    // Menu commands: the frame's own, then what it passes to the view.
    ::SendMessageA(frame.Handle(), WM_COMMAND, MAKEWPARAM(ID_FRAME_COMMAND, 0), 0);
    ::SendMessageA(frame.Handle(), WM_COMMAND, MAKEWPARAM(ID_VIEW_COMMAND, 0), 0);
    EXPECT_EQ(frame.commands, 1);
    EXPECT_EQ(view.commands, 1);
    // Keys through the pump become the accelerator table's commands.
    ::PostMessageA(frame.Handle(), WM_KEYDOWN, VK_F5, 0);
    ::PostMessageA(view.Item(IDC_FORM_EDIT), WM_KEYDOWN, VK_F6, 0);
    EXPECT_TRUE(winui::MessageLoop::PumpPending());
    EXPECT_EQ(frame.commands, 2);
    EXPECT_EQ(view.commands, 2);

    // Closing can be refused; once allowed, the program's loop ends.
    ::SendMessageA(frame.Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(frame.Handle()));
    frame.allowClose = true;
    ::SendMessageA(frame.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(frame.Handle(), nullptr);
    EXPECT_EQ(view.Handle(), nullptr) << "the view goes with its frame";
    EXPECT_EQ(winui::App::MainWindow(), nullptr);
    EXPECT_EQ(winui::MessageLoop::Run(), 0);
}

}  // namespace
