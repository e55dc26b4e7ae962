// Text rules of the SMTP message: what may go into a command or header, and how a body is
// made safe for the DATA phase.
#pragma once

#include <cstdint>
#include <string>

namespace mail_text {

// A bare address may go into "MAIL FROM: <...>" and a header only without CR, LF, '<' or '>'
// (those would end the command or inject another one).
bool AddressIsSafe(const std::string& address);
// A header value on one line: every CR and LF becomes a space.
std::string OneLine(const std::string& text);
// Normalises line ends to CR LF and doubles a leading '.' on every line (RFC 5321 4.5.2), so
// no body line can end the DATA phase.
std::string DotStuff(const std::string& body);
// "host" or "host:port"; false for an empty host or a port outside 1..65535.
bool ParseServer(const std::string& server, std::string& host, uint16_t& port);
// The file name after the last backslash (or slash).
std::string FileNameOf(const std::string& path);

}  // namespace mail_text
