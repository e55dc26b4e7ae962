// Mails a set with korvo as a user would, for the benchmark table: points the mail settings at
// a server, starts korvo on the set, fills the subject, presses Send and answers the message
// boxes until the last. Exit 0 when korvo said it mailed the set; the last line printed is the
// time from Send to that message.
// Usage: korvo_send_driver KORVO SERVER SEGMENT_PREFIX COUNT
#include <windows.h>

#include <cstdio>
#include <string>

#include "gui/driver/gui_driver.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: korvo_send_driver KORVO SERVER SEGMENT_PREFIX COUNT\n");
        return 2;
    }
    WritePrivateProfileStringA("EMailSetup", "IEMailSMTP", argv[2], "ReZove.ini");
    WritePrivateProfileStringA("EMailSetup", "IEMailAddress", "me@example.com", "ReZove.ini");
    WritePrivateProfileStringA("EMailSetup", "IEMailToAddress", "you@example.com", "ReZove.ini");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "ReZove.ini");  // written before korvo reads it

    gui::Program korvo;
    if (!korvo.Start("\"" + std::string(argv[1]) + "\" &Segmented " + argv[3] + " " + argv[4])) {
        std::fprintf(stderr, "cannot start %s\n", argv[1]);
        return 1;
    }
    HWND dialog = gui::FindTop("#32770", "Zembra", gui::kTimeoutMs, korvo.Pid());
    if (!dialog || !gui::FindChild(dialog, 1003, 2000) || !gui::SetText(dialog, 1003, "Segments") ||
        !gui::Click(dialog, IDOK)) {
        std::fprintf(stderr, "no mail dialog to send from\n");
        korvo.Terminate();
        return 1;
    }
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceCounter(&start);
    std::string last;
    for (;;) {
        std::string text = gui::AnswerNextMessageBox(IDOK, korvo.Pid(), 600000);
        if (text.empty()) break;
        last = text;
        if (text.rfind("Rovudede", 0) == 0) break;
    }
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);
    korvo.WaitExit();
    // The mailing alone, from the click on Send to the last message: what Wine's start-up of
    // the two programs does not explain.
    std::printf("%s\nmailed in %.3f s\n", last.c_str(), double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    return last == "Rovudede EMailed!" ? 0 : 1;
}
