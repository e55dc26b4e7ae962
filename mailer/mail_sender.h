// Mails a split set: one message, one connection, per segment, and the outcome message.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "mailer/mail_settings.h"
#include "platform/file_system.h"
#include "platform/progress.h"
#include "platform/prompts.h"

// What the user typed into the mail dialog.
struct MailForm {
    std::string server, fromAddress, toAddress, subject, text;
};

class CMailSender {
public:
    enum class Outcome { Sent, ConnectFailed, SendFailed, SegmentMissing };

    // progress may be null; settings (may be null) gets "IEMailSMTP" again after a full run.
    CMailSender(IPrompts& prompts, IFileSystem& fs, IProgress* progress, CMailSettings* settings)
        : prompts_(prompts), fs_(fs), progress_(progress), settings_(settings) {}

    void SetTimeout(int milliseconds) { timeoutMs_ = milliseconds; }
    // The MIME name of the code page the form and the file names are in.
    void SetCharset(const std::string& charset) { charset_ = charset; }
    void OnDialogueEnd(std::function<void()> action) { onEnd_ = std::move(action); }

    // Trims server and addresses; shows why and returns false when the form cannot be sent.
    static bool CheckForm(MailForm& form, IPrompts& prompts);
    // The text part of segment n: its line, the explanation in the first only, the user's text.
    // recoveryNote: the recovery volume instructions, told in the first only.
    static std::string SegmentBody(int n, int count, const std::string& text, const std::string& recoveryNote = "");
    // The recovery volumes beside the segments (at paths), the set's index first, with the
    // number of segments they rebuild; none when they are not this set's.
    std::vector<std::string> FindRecoveryVolumes(const std::vector<std::string>& segments, int& rebuild);

    // Sends segments 1..count of the set at prefix, then its recovery volumes when it has
    // them, and shows the outcome. Every segment is looked for first: with one missing (or a
    // set that goes on past count) nothing is sent.
    Outcome MailSet(const std::string& prefix, int count, const MailForm& form);

    int MessagesSent() const { return sent_; }

private:
    // True when the segment exists; path then holds its name as the folder spells it.
    bool FindSegment(std::string& path);
    // Paths of segments 1..count; none, with the message naming the segment, when one is
    // missing or unreadable.
    std::vector<std::string> FindAllSegments(const std::string& prefix, int count, std::string& problem);
    // The flag byte of segment n (bit 0: the last of its set); -1 when it cannot be read.
    int SegmentFlag(const std::string& path, int n);

    IPrompts& prompts_;
    IFileSystem& fs_;
    IProgress* progress_;
    CMailSettings* settings_;
    std::function<void()> onEnd_;
    int timeoutMs_ = 60000;
    std::string charset_ = "windows-1252";
    int sent_ = 0;
};
