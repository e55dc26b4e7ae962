// One SMTP message per client.
#include "mailer/smtp_client.h"

#include <climits>
#include <cstdio>

#include "mailer/attachment_encoder.h"
#include "mailer/mail_messages.h"
#include "mailer/mail_text.h"
#include "mailer/mime_encoding.h"
#include "mailer/smtp_reply_reader.h"
#include "platform/text_trim.h"

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// A reply as a message box shows it: lines split by LF, no line end at the end.
std::string ReplyText(const std::string& reply) {
    std::string text;
    for (char c : reply)
        if (c != '\r') text += c;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

std::string Format(const char* format, int a, int b = 0) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

// Lines of an attachment made and sent at a time: some 16 KB, which a slow line still takes
// in a fraction of a second, so the window and Cancel are never kept waiting long.
constexpr size_t kLinesPerChunk = 256;

}  // namespace

CSmtpClient::CSmtpClient(IPrompts& prompts, IProgress* progress, IFileSystem& fs)
    : prompts_(prompts), progress_(progress), fs_(fs) {}

bool CSmtpClient::Connect(const MailJob& job) {
    job_ = job;
    std::string host;
    uint16_t port = 25;
    int error = 0;
    if (mail_text::ParseServer(job.server, host, port))
        socket_ = ConnectTcp(host, port, timeoutMs_, error);
    if (!socket_) {
        lastError_ = error;
        failed_ = true;
        if (progress_) progress_->Hide();
        prompts_.Message(mail_messages::kCannotConnect);
        return false;
    }
    reader_ = std::make_unique<CSmtpReplyReader>(*socket_, timeoutMs_);
    return true;
}

std::string CSmtpClient::MessageHead(const MailJob& job, const std::string& boundary) {
    std::string head;
    head += "MIME-Version: 1.0\r\n";
    head += "from: " + job.fromAddress + "\r\n";
    head += "to: " + job.toAddress + "\r\n";
    head += mime::Header("subject", job.subject, job.charset);
    head += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n";
    head += "\r\n";
    head += "--" + boundary + "\r\n";
    head += "Content-Type: text/plain; charset=\"" +
            (mime::IsAscii(job.body) ? std::string("us-ascii") : job.charset) + "\"\r\n";
    // Quoted-printable keeps every line within the limits and 8-bit text intact.
    head += "Content-Transfer-Encoding: quoted-printable\r\n";
    head += "\r\n";
    head += mail_text::DotStuff(mime::QuotedPrintable(job.body)) + "\r\n";
    head += "\r\n";
    return head;
}

std::string CSmtpClient::AttachmentHead(const std::string& path, const std::string& boundary,
                                        const std::string& charset) {
    return "--" + boundary + "\r\n" +
           mime::AttachmentHeaders(mail_text::OneLine(mail_text::FileNameOf(path)), charset) + "\r\n";
}

bool CSmtpClient::SendText(const std::string& text) {
    if (socketFailed_ || !socket_) return false;
    socket_->SetTimeout(timeoutMs_);  // the reader shortens it to what is left of a reply
    if (!socket_->Send(text.data(), text.size())) {
        lastError_ = socket_->LastError();
        FailOnSocket();
        return false;
    }
    return true;
}

std::string CSmtpClient::ReceiveReply() {
    std::string reply;
    if (socketFailed_ || !reader_) return reply;
    if (!reader_->Read(reply)) {
        lastError_ = socket_->LastError();
        FailOnSocket();
        reply.clear();
    }
    return reply;
}

void CSmtpClient::Fail(const std::string& text) {
    failed_ = true;
    if (reported_) return;
    reported_ = true;
    if (progress_) progress_->Hide();
    prompts_.Message(text);
}

void CSmtpClient::FailOnSocket() {
    socketFailed_ = true;
    bool late = (socket_ && socket_->TimedOut()) || (reader_ && reader_->TimedOut());
    Fail(late ? mail_messages::kServerSilent : mail_messages::kConnectionLost);
}

void CSmtpClient::QuitQuietly() {
    if (SendText("QUIT\r\n")) ReceiveReply();
}

bool CSmtpClient::Command(const std::string& text, const char* expected, const std::string& message,
                          bool showReply) {
    if (!SendText(text)) return false;
    std::string reply = ReceiveReply();
    if (socketFailed_) return false;
    if (StartsWith(reply, expected)) return true;
    QuitQuietly();
    Fail(showReply ? message + ReplyText(reply) : message);
    return false;
}

bool CSmtpClient::End() {
    if (onEnd_) onEnd_();
    return !failed_;
}

bool CSmtpClient::SendMail(int index, int count) {
    if (!socket_) {
        failed_ = true;
        return End();
    }
    ReceiveReply();  // the greeting; a refusing server refuses HELO as well
    if (socketFailed_) return End();

    // An address with a line break or bracket would smuggle commands into the dialogue.
    if (!mail_text::AddressIsSafe(job_.fromAddress) || !mail_text::AddressIsSafe(job_.toAddress)) {
        QuitQuietly();
        Fail(mail_messages::kUnsafeAddress);
        return End();
    }
    if (!Command("HELO " + mail_text::OneLine(job_.heloName) + "\r\n", "2",
                 mail_messages::kGeneralFailure) ||
        !Command("MAIL FROM: <" + job_.fromAddress + ">\r\n", "25", mail_messages::kFromRejected) ||
        !Command("RCPT TO: <" + job_.toAddress + ">\r\n", "25", mail_messages::kToRejected))
        return End();

    if (!Command("DATA  \r\n", "354", mail_messages::kMessageRefused, true)) return End();
    // A cancelled or broken message is left without its final "." so the server drops it.
    if (!SendContent(index, count)) return End();
    if (!Command("--" + boundary_ + "--\r\n\r\n.\r\n", "2", mail_messages::kMessageRefused, true)) return End();
    // The message is accepted at this point; a server that drops the line at QUIT loses nothing.
    socket_->SetTimeout(timeoutMs_);
    if (socket_->Send("QUIT\r\n", 6)) {
        std::string bye;
        reader_->Read(bye);
    }
    return End();
}

bool CSmtpClient::SendContent(int index, int count) {
    boundary_ = mime::NewBoundary();
    if (!SendText(MessageHead(job_, boundary_))) return false;
    if (TrimSpaces(job_.attachmentPath).empty()) return true;
    return SendAttachment(index, count);
}

bool CSmtpClient::SendAttachment(int index, int count) {
    std::string path = TrimSpaces(job_.attachmentPath);
    CAttachmentEncoder encoder(fs_);
    // Checked before anything of the part goes out: an unreadable segment must fail the
    // message, not arrive as an empty attachment.
    if (!encoder.Open(path)) {
        Fail(Format(mail_messages::kAttachmentFailed, encoder.Cause()));
        return false;
    }
    std::string text = Format(mail_messages::kSendingAttachment, index, count);
    uint64_t size = 0;
    if (progress_ && encoder.FileSize(size)) {
        uint64_t upper = size / 10 * 12;
        progress_->SetText(text);
        progress_->SetPos(0);
        progress_->SetRange(0, upper > INT_MAX ? INT_MAX : static_cast<int>(upper));
    }
    // The bar shows the characters sent; it and the message queue are visited once per
    // pacer interval, not per line.
    pacer_.Reset();
    std::string out = AttachmentHead(path, boundary_, job_.charset);
    uint64_t sent = 0, head = out.size();
    while (encoder.NextLines(out, kLinesPerChunk)) {
        if (!SendText(out)) return false;
        sent += out.size();
        out.clear();
        if (progress_ && pacer_.Due()) {
            uint64_t lines = sent - head;
            progress_->SetPos(lines > INT_MAX ? INT_MAX : static_cast<int>(lines));
            progress_->PumpMessages(false);
            if (progress_->Cancelled()) {
                encoder.Close();
                cancelled_ = true;
                failed_ = true;
                return false;
            }
        }
    }
    if (encoder.Cause() != CAttachmentEncoder::kNone) {
        Fail(Format(mail_messages::kAttachmentFailed, encoder.Cause()));
        return false;
    }
    out += "\r\n";
    return SendText(out);
}
