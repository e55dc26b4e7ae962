// Text rules of the SMTP message.
#include "mailer/mail_text.h"

#include <cstdlib>

#include "platform/text_trim.h"

namespace mail_text {

bool AddressIsSafe(const std::string& address) {
    return address.find_first_of("\r\n<>") == std::string::npos;
}

std::string OneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

std::string DotStuff(const std::string& body) {
    std::string out;
    out.reserve(body.size() + 16);
    bool lineStart = true;
    for (size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (c == '\r' || c == '\n') {
            // CR LF, a lone CR and a lone LF all end one line.
            if (c == '\r' && i + 1 < body.size() && body[i + 1] == '\n') ++i;
            out += "\r\n";
            lineStart = true;
            continue;
        }
        if (lineStart && c == '.') out += '.';
        out += c;
        lineStart = false;
    }
    return out;
}

bool ParseServer(const std::string& server, std::string& host, uint16_t& port) {
    std::string text = TrimSpaces(server);
    size_t colon = text.rfind(':');
    port = 25;
    // More than one colon is an IPv6 address without a port.
    if (colon != std::string::npos && text.find(':') == colon) {
        std::string digits = text.substr(colon + 1);
        text = text.substr(0, colon);
        if (digits.empty() || digits.size() > 5 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        long value = std::strtol(digits.c_str(), nullptr, 10);
        if (value < 1 || value > 65535) return false;
        port = static_cast<uint16_t>(value);
    }
    host = text;
    return !host.empty();
}

std::string FileNameOf(const std::string& path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace mail_text
