// One message to send: what the mailer fills for each segment and the SMTP client sends.
#pragma once

#include <string>

struct MailJob {
    std::string server;          // "host" or "host:port" (port 25 when absent)
    std::string heloName;        // the text after "HELO "
    std::string fromAddress;     // bare addresses, without angle brackets
    std::string toAddress;
    std::string subject;         // one line
    std::string body;            // text part, lines separated by CR LF
    std::string attachmentPath;  // empty: no attachment part
    std::string charset = "windows-1252";  // the code page subject, body and names are in
};
