// Mails a split set, one message per segment.
#include "mailer/mail_sender.h"

#include <algorithm>
#include <cstdio>

#include "mailer/mail_messages.h"
#include "mailer/mail_text.h"
#include "mailer/mailer_command_line.h"
#include "mailer/smtp_client.h"
#include "platform/text_trim.h"
#include "recovery/recovery_set.h"

bool CMailSender::CheckForm(MailForm& form, IPrompts& prompts) {
    form.server = TrimSpaces(form.server);
    form.fromAddress = TrimSpaces(form.fromAddress);
    form.toAddress = TrimSpaces(form.toAddress);
    if (form.server.empty() || form.fromAddress.empty() || form.toAddress.empty()) {
        prompts.Message(mail_messages::kFieldsMissing);
        return false;
    }
    if (!mail_text::AddressIsSafe(form.fromAddress) || !mail_text::AddressIsSafe(form.toAddress)) {
        prompts.Message(mail_messages::kUnsafeAddress);
        return false;
    }
    return true;
}

std::string CMailSender::SegmentBody(int n, int count, const std::string& text, const std::string& recoveryNote) {
    char line[96];
    std::snprintf(line, sizeof line, mail_messages::kSegmentLine, n, count);
    std::string body = std::string(line) + "\r\n";
    if (n == 1) body += std::string(mail_messages::kExplanation) + "\r\n";
    if (n == 1 && !recoveryNote.empty()) body += recoveryNote + "\r\n";
    return body + text;
}

std::vector<std::string> CMailSender::FindRecoveryVolumes(const std::vector<std::string>& segments, int& rebuild) {
    rebuild = 0;
    if (segments.empty()) return {};
    const std::string& first = segments[0];
    std::string folder = first.substr(0, first.rfind('\\') + 1), name = first.substr(folder.size());
    std::string base = name.substr(0, name.rfind('_'));
    std::vector<std::string> volumes = CRecoverySet::FindVolumes(fs_, folder, base), names;
    for (const std::string& s : segments) names.push_back(s.substr(s.rfind('\\') + 1));
    CRecoverySet set;
    std::string error;
    if (volumes.empty() || !set.Load(fs_, volumes, names, error)) return {};
    // Whole segments the slices rebuild: as many as the largest segment's slices go into them.
    size_t most = 1;
    for (const auto& f : set.Files()) most = std::max(most, f.slices.size());
    rebuild = static_cast<int>(std::min(set.Recovery().size() / most, segments.size()));
    if (rebuild == 0) return {};
    // The index (checksums only) first, then the volumes in the order of their slices.
    const size_t indexLength = folder.size() + base.size() + 5;  // FOLDER\BASE.par2
    std::sort(volumes.begin(), volumes.end(), [indexLength](const std::string& a, const std::string& b) {
        bool ia = a.size() == indexLength, ib = b.size() == indexLength;
        return ia != ib ? ia : a < b;
    });
    return volumes;
}

bool CMailSender::FindSegment(std::string& path) {
    if (fs_.Exists(path)) return true;
    // The engine spells the extensions "EXE" and "SEG"; where the file system tells case
    // apart, the folder listing (which matches without regard to case) finds the file.
    size_t cut = path.find_last_of('\\');
    if (cut == std::string::npos) return false;
    std::string found;
    fs_.ListFolder(path, [&](const DirEntry& entry) {
        if (entry.attributes & kAttrFolder) return true;
        found = entry.name;
        return false;
    });
    if (found.empty()) return false;
    path = path.substr(0, cut + 1) + found;
    return true;
}

int CMailSender::SegmentFlag(const std::string& path, int n) {
    auto file = fs_.Open(path, OpenMode::Read, Share::DenyWrite);
    if (!file) return -1;
    // The first segment keeps its flag after the rejoiner image, whose length its last four
    // bytes give; later segments begin with it.
    uint64_t offset = 0;
    if (n == 1) {
        uint64_t length = file->Length();
        uint8_t t[4] = {};
        if (length < 5 || !file->Seek(length - 4) || file->Read(t, 4) != 4) return 0;
        offset = t[0] | t[1] << 8 | t[2] << 16 | static_cast<uint64_t>(t[3]) << 24;
        if (offset + 5 > length) return 0;
    }
    uint8_t flag = 0;
    return file->Seek(offset) && file->Read(&flag, 1) == 1 ? flag : 0;
}

std::vector<std::string> CMailSender::FindAllSegments(const std::string& prefix, int count,
                                                      std::string& problem) {
    std::vector<std::string> paths;
    for (int n = 1; n <= count; ++n) {
        std::string path = CMailerCommandLine::SegmentFileName(prefix, n);
        if (!FindSegment(path)) {
            problem = mail_messages::kSegmentMissing + path;
            return {};
        }
        int flag = SegmentFlag(path, n);
        if (flag < 0) {
            problem = mail_messages::kSegmentUnreadable + path;
            return {};
        }
        // A set that goes on past the last segment asked for would arrive incomplete too.
        if (n == count && !(flag & 1)) {
            problem = mail_messages::kSegmentMissing + CMailerCommandLine::SegmentFileName(prefix, n + 1);
            return {};
        }
        paths.push_back(path);
    }
    return paths;
}

CMailSender::Outcome CMailSender::MailSet(const std::string& prefix, int count, const MailForm& form) {
    sent_ = 0;
    std::string problem;
    std::vector<std::string> segments = FindAllSegments(prefix, count, problem);
    if (segments.empty()) {
        if (progress_) progress_->Hide();
        prompts_.Message(problem.empty() ? std::string(mail_messages::kNoFiles) : problem);
        return Outcome::SegmentMissing;
    }
    int rebuild = 0;
    std::vector<std::string> volumes = FindRecoveryVolumes(segments, rebuild);
    const int total = count + static_cast<int>(volumes.size());
    std::string note;
    if (!volumes.empty()) {
        std::string base = mail_text::FileNameOf(prefix);
        char text[1024];
        std::snprintf(text, sizeof text, mail_messages::kRecoveryNote, count + 1, total, base.c_str(), base.c_str(),
                      rebuild, count);
        note = text;
    }
    if (progress_) {
        progress_->SetRange(0, total);
        progress_->SetText(mail_messages::kEmailingFiles);
        progress_->Hide();
    }
    for (int n = 1; n <= total; ++n) {
        const std::string& path = n <= count ? segments[n - 1] : volumes[n - count - 1];

        MailJob job;
        job.server = job.heloName = form.server;
        // HELO takes a name; a ":port" written after the server is not part of it.
        std::string host;
        uint16_t port = 0;
        if (mail_text::ParseServer(form.server, host, port)) job.heloName = host;
        job.fromAddress = form.fromAddress;
        job.toAddress = form.toAddress;
        job.subject = form.subject;
        if (n <= count) {
            job.body = SegmentBody(n, count, form.text, note);
        } else {
            char line[128];
            std::snprintf(line, sizeof line, mail_messages::kVolumeLine, n - count, total - count, count);
            job.body = std::string(line) + "\r\n" + form.text;
        }
        job.attachmentPath = path;
        job.charset = charset_;

        if (progress_ && n > 1) {
            progress_->SetRange(0, 50);
            progress_->SetStep(10);
            progress_->SetPos(0);
            progress_->StepIt();
            progress_->PumpMessages(false);
        }
        CSmtpClient client(prompts_, progress_, fs_);
        client.SetTimeout(timeoutMs_);
        client.OnDialogueEnd(onEnd_);
        if (!client.Connect(job)) {
            if (progress_) progress_->Hide();
            prompts_.Message(mail_messages::kRunFailed);
            return Outcome::ConnectFailed;
        }
        if (progress_) progress_->Show();
        if (!client.SendMail(n, total)) {
            if (progress_) progress_->Hide();
            prompts_.Message(mail_messages::kRunExited);
            return Outcome::SendFailed;
        }
        ++sent_;
    }
    if (progress_) progress_->Hide();
    if (settings_) settings_->SaveServer();
    prompts_.Message(mail_messages::kRunDone);
    return Outcome::Sent;
}
