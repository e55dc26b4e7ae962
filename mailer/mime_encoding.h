// MIME encodings of the message (RFC 2045, 2047, 2231): every line the message carries stays
// 7-bit and within 78 characters, whatever the user typed or the segment is called.
#pragma once

#include <string>

namespace mime {

bool IsAscii(const std::string& text);
// The MIME name of a Windows ANSI code page ("windows-1252", "shift_jis", "utf-8").
std::string CharsetForCodePage(int codePage);
// Quoted-printable text with CR LF line ends (CR, LF and CR LF in text all end a line);
// soft breaks keep each line within 76 characters.
std::string QuotedPrintable(const std::string& text);
// A whole header, "name: value" and its CR LF, folded; a value that is not plain ASCII, or
// has a word too long to fold, becomes RFC 2047 encoded words in charset.
std::string Header(const std::string& name, const std::string& value, const std::string& charset);
// The parameters naming an attachment: "name" for older readers, and "filename" on the
// Content-Disposition, RFC 2231-encoded (in continuations) when the name is not plain ASCII.
std::string AttachmentHeaders(const std::string& fileName, const std::string& charset);
// A boundary that cannot occur in a quoted-printable or base64 part: "=_" is never produced by
// either encoding. The rest makes it differ from message to message.
std::string NewBoundary();

}  // namespace mime
