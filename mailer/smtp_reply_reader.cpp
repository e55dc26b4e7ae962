// Reads whole SMTP replies.
#include "mailer/smtp_reply_reader.h"

#include <cctype>
#include <chrono>

bool CSmtpReplyReader::IsLastLine(const std::string& line) {
    // "250 text" or a bare "250"; "250-text" continues. A line that is not a reply line at all
    // also ends the reply, so a peer that is no SMTP server cannot keep us reading.
    if (line.size() < 3 || !std::isdigit(static_cast<unsigned char>(line[0])) ||
        !std::isdigit(static_cast<unsigned char>(line[1])) ||
        !std::isdigit(static_cast<unsigned char>(line[2])))
        return true;
    return line.size() == 3 || line[3] != '-';
}

bool CSmtpReplyReader::Read(std::string& reply) {
    using Clock = std::chrono::steady_clock;
    reply.clear();
    timedOut_ = false;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs_);
    size_t scanned = 0;
    for (;;) {
        size_t eol;
        while ((eol = pending_.find('\n', scanned)) != std::string::npos) {
            size_t start = scanned;
            scanned = eol + 1;
            std::string line = pending_.substr(start, eol - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (IsLastLine(line)) {
                reply = pending_.substr(0, scanned);
                pending_.erase(0, scanned);
                return true;
            }
        }
        if (pending_.size() > kMaxReply) break;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            timedOut_ = true;
            break;
        }
        socket_.SetTimeout(static_cast<int>(left));
        char buffer[1024];
        int n = socket_.Receive(buffer, sizeof buffer);
        if (n <= 0) {
            timedOut_ = socket_.TimedOut();
            break;
        }
        pending_.append(buffer, static_cast<size_t>(n));
    }
    reply.swap(pending_);
    pending_.clear();
    return false;
}
