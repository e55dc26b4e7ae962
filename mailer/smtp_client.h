// One SMTP message per client: connect, a fixed HELO / MAIL FROM / RCPT TO / DATA / QUIT
// dialogue, and a multipart/mixed message with a text part and one base64 attachment.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "mailer/mail_job.h"
#include "mailer/smtp_reply_reader.h"
#include "platform/file_system.h"
#include "platform/progress.h"
#include "platform/progress_pacer.h"
#include "platform/prompts.h"
#include "platform/socket.h"

class CSmtpClient {
public:
    static constexpr int kDefaultTimeoutMs = 60000;

    // progress may be null; neither it nor prompts is owned.
    CSmtpClient(IPrompts& prompts, IProgress* progress, IFileSystem& fs = SystemFileSystem());

    // Longest wait for the connection and for each send and receive.
    void SetTimeout(int milliseconds) { timeoutMs_ = milliseconds; }
    // How often the attachment loop updates the progress window and looks for Cancel.
    void SetProgressInterval(int milliseconds) { pacer_.SetInterval(milliseconds); }
    // Runs when a dialogue ends, however it ended (the mailer re-enables its dialog there).
    void OnDialogueEnd(std::function<void()> action) { onEnd_ = std::move(action); }

    // Copies the job and connects to its server; on failure shows "Cannot connect to mail
    // server." and returns false.
    bool Connect(const MailJob& job);
    // Runs the dialogue; index and count (1-based) feed the progress text. True only when the
    // server accepted the whole message.
    bool SendMail(int index, int count);

    bool Failed() const { return failed_; }
    bool Cancelled() const { return cancelled_; }
    int LastError() const { return lastError_; }

    // The message up to the attachment part, exactly as it goes after DATA.
    static std::string MessageHead(const MailJob& job, const std::string& boundary);
    // The headers of the attachment part for the file at path.
    static std::string AttachmentHead(const std::string& path, const std::string& boundary,
                                      const std::string& charset);

private:
    bool SendText(const std::string& text);
    std::string ReceiveReply();
    // Sends a command and tests its reply's start; on a refusal quits and shows message.
    // Sends text and expects a reply starting with expected; otherwise quits and fails with
    // message (followed by the server's reply when showReply).
    bool Command(const std::string& text, const char* expected, const std::string& message,
                 bool showReply = false);
    // Sends the message text (headers, body, attachment); false when it did not all go out.
    bool SendContent(int index, int count);
    bool SendAttachment(int index, int count);
    // Marks the client failed and shows text once (later failures stay quiet).
    void Fail(const std::string& text);
    void FailOnSocket();
    void QuitQuietly();
    bool End();

    IPrompts& prompts_;
    IProgress* progress_;
    IFileSystem& fs_;
    MailJob job_;
    std::string boundary_;
    std::unique_ptr<ISocket> socket_;
    std::unique_ptr<CSmtpReplyReader> reader_;
    std::function<void()> onEnd_;
    CProgressPacer pacer_;
    int timeoutMs_ = kDefaultTimeoutMs;
    int lastError_ = 0;
    bool failed_ = false;
    bool socketFailed_ = false;
    bool reported_ = false;
    bool cancelled_ = false;
};
