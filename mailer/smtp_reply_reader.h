// Reads whole SMTP replies (RFC 5321 4.2): continuation lines "250-..." up to the last line
// "250 ...", however the server's packets cut them.
#pragma once

#include <string>

#include "platform/socket.h"

class CSmtpReplyReader {
public:
    // A reply longer than this is not an SMTP reply; reading stops with a failure.
    static constexpr size_t kMaxReply = 64 * 1024;

    // timeoutMs bounds a whole reply, not each packet: a server that drips a byte at a time
    // cannot hold the reader past it.
    explicit CSmtpReplyReader(ISocket& socket, int timeoutMs = 60000)
        : socket_(socket), timeoutMs_(timeoutMs) {}

    // The complete reply, every line with its CR LF; false when the connection failed, closed
    // or timed out before the reply was complete (reply then holds what arrived).
    bool Read(std::string& reply);
    // The last Read failed because its time ran out.
    bool TimedOut() const { return timedOut_; }

    // True when line (without its line end) is the last line of a reply.
    static bool IsLastLine(const std::string& line);

private:
    ISocket& socket_;
    int timeoutMs_;
    bool timedOut_ = false;
    std::string pending_;  // bytes received after the end of the last reply
};
