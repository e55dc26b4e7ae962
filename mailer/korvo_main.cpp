// korvo: mails the segments of a split set, one message per segment (start-up and modes).
#include <windows.h>

#include "engine/rejoiner_image.h"
#include "mailer/mail_dialog.h"
#include "mailer/mail_messages.h"
#include "mailer/mail_set_builder.h"
#include "mailer/mail_settings.h"
#include "mailer/mail_work_folder.h"
#include "mailer/mailer_command_line.h"
#include "platform/fallback_settings.h"
#include "platform/process.h"
#include "platform/socket.h"
#include "winui/app.h"
#include "winui/message_box_prompts.h"

namespace {

struct Probe {
    UINT message;
    bool found;
};

BOOL CALLBACK AskWindow(HWND hwnd, LPARAM lp) {
    Probe* probe = reinterpret_cast<Probe*>(lp);
    DWORD_PTR answer = 0;
    // A hung window must not hang the start: each window gets a bounded wait.
    if (::SendMessageTimeoutA(hwnd, probe->message, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 2000,
                              &answer) &&
        answer != 0) {
        probe->found = true;
        return FALSE;
    }
    return TRUE;
}

bool AnotherMailerRuns() {
    Probe probe{CMailDialog::InstanceMessage(), false};
    ::EnumWindows(AskWindow, reinterpret_cast<LPARAM>(&probe));
    return probe.found;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    winui::App::SetInstance(instance);
    winui::App::SetCaption("Zembra");
    winui::App::InitCommonControls();
    winui::MessageBoxPrompts prompts;

    if (AnotherMailerRuns()) {
        prompts.Message(mail_messages::kAlreadyRunning);
        return 0;
    }
    if (!SocketStartup()) {
        prompts.Message(mail_messages::kSocketsFailed);
        return 0;
    }
    std::unique_ptr<ISettings> store = OpenMailSettings();
    CMailSettings settings(*store);
    settings.Load();

    CMailerCommandLine line;
    line.Parse(CMailerCommandLine::AfterProgramName(::GetCommandLineA()));
    std::string prefix;
    int count = 0;
    // Declared before the dialog: the set it holds goes when the run ends, however it ends.
    CMailWorkFolder work;
    switch (line.mode) {
    case CMailerCommandLine::Mode::Empty:
        prompts.Message(mail_messages::kNoFiles);
        return 0;
    case CMailerCommandLine::Mode::PathTooLong:
        prompts.Message(mail_messages::kPathTooLong + line.tooLongPath);
        return 0;
    case CMailerCommandLine::Mode::Segmented:
        prefix = line.prefix;
        count = line.count;
        break;
    case CMailerCommandLine::Mode::FileList: {
        if (!work.Create()) {
            prompts.Message(mail_messages::kNoWorkFolder);
            return 0;
        }
        ResourceRejoinerImage image;
        CMailSetBuilder builder(SystemFileSystem(), prompts, image);
        count = builder.Build(line.files, work.Path(), settings.SegmentBytes(), prefix);
        if (count == 0) return 0;  // the engine has said why
        break;
    }
    }

    CMailDialog dialog(settings, prompts);
    dialog.segmentPrefix = prefix;
    dialog.segmentCount = count;
    dialog.server = settings.server;
    dialog.toAddress = settings.toAddress;
    dialog.fromAddress = settings.fromAddress;
    dialog.DoModal();
    return 0;
}
