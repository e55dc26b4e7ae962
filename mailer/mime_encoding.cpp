// MIME encodings of the message.
#include "mailer/mime_encoding.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "mailer/attachment_encoder.h"

namespace mime {

namespace {

const char kHex[] = "0123456789ABCDEF";

bool IsPrintableAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

// Where a piece of text may end: not inside a UTF-8 sequence (single-byte code pages may end
// anywhere).
size_t CharBoundary(const std::string& text, size_t end, bool utf8) {
    if (!utf8) return end;
    size_t e = end;
    while (e > 0 && e < text.size() && (static_cast<unsigned char>(text[e]) & 0xC0) == 0x80) --e;
    return e > 0 ? e : end;
}

bool IsUtf8(const std::string& charset) { return charset == "utf-8" || charset == "UTF-8"; }

// RFC 2047 "B" words, each within 75 characters, one per folded line.
std::string EncodedWords(const std::string& value, const std::string& charset) {
    const size_t kBytesPerWord = 36;  // 48 base64 characters: a word fits a line with its header name
    std::string out;
    size_t i = 0;
    do {
        size_t end = i + kBytesPerWord < value.size() ? CharBoundary(value, i + kBytesPerWord, IsUtf8(charset))
                                                      : value.size();
        if (!out.empty()) out += "\r\n ";
        out += "=?" + charset + "?B?" +
               CAttachmentEncoder::Encode(reinterpret_cast<const uint8_t*>(value.data()) + i, end - i) + "?=";
        i = end;
    } while (i < value.size());
    return out;
}

// The RFC 2231 form of a value: charset''percent-encoded, cut into pieces of about 60
// characters that never split a %XX.
std::vector<std::string> ExtendedPieces(const std::string& value, const std::string& charset) {
    std::vector<std::string> pieces(1, charset + "''");
    for (unsigned char c : value) {
        std::string token;
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            std::string("!#$&+-.^_`|~").find(static_cast<char>(c)) != std::string::npos)
            token = static_cast<char>(c);
        else
            token = std::string("%") + kHex[c >> 4] + kHex[c & 15];
        if (pieces.back().size() + token.size() > 60) pieces.emplace_back();
        pieces.back() += token;
    }
    return pieces;
}

// ";" and a parameter on its own folded line, continued over several when it is long.
std::string Param(const std::string& key, const std::string& value, const std::string& charset) {
    bool plain = IsPrintableAscii(value) && value.find_first_of("\"\\") == std::string::npos;
    if (plain && key.size() + value.size() + 4 <= 76) return ";\r\n " + key + "=\"" + value + "\"";
    std::vector<std::string> pieces;
    if (plain) {
        for (size_t i = 0; i < value.size(); i += 60) pieces.push_back(value.substr(i, 60));
    } else {
        pieces = ExtendedPieces(value, charset);
    }
    std::string out;
    for (size_t i = 0; i < pieces.size(); ++i) {
        std::string name = key + "*";
        if (pieces.size() > 1) name += std::to_string(i) + (plain ? "" : "*");
        out += ";\r\n " + name + "=" + (plain ? "\"" + pieces[i] + "\"" : pieces[i]);
    }
    return out;
}

}  // namespace

bool IsAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

std::string CharsetForCodePage(int codePage) {
    switch (codePage) {
        case 65001: return "utf-8";
        case 932: return "shift_jis";
        case 936: return "gbk";
        case 949: return "ks_c_5601-1987";
        case 950: return "big5";
        case 20127: return "us-ascii";
        case 28591: return "iso-8859-1";
        case 0: return "windows-1252";
        default: return "windows-" + std::to_string(codePage);
    }
}

std::string QuotedPrintable(const std::string& text) {
    std::string out, line;
    auto endLine = [&](bool hard) {
        // Space or tab at the end of a line would be lost in transport: encode it.
        if (hard && !line.empty() && (line.back() == ' ' || line.back() == '\t')) {
            unsigned char c = static_cast<unsigned char>(line.back());
            line.back() = '=';
            line += kHex[c >> 4];
            line += kHex[c & 15];
        }
        out += line;
        out += hard ? "\r\n" : "=\r\n";
        line.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            endLine(true);
            continue;
        }
        std::string token;
        if ((c >= 33 && c <= 126 && c != '=') || c == ' ' || c == '\t')
            token = static_cast<char>(c);
        else
            token = std::string("=") + kHex[c >> 4] + kHex[c & 15];
        // 75 leaves room for the "=" of a soft break, or for a final space written as "=20".
        if (line.size() + token.size() > 73) endLine(false);
        line += token;
    }
    out += line;
    return out;
}

std::string Header(const std::string& name, const std::string& value, const std::string& charset) {
    std::string v = value;
    for (char& c : v)
        if (c == '\r' || c == '\n') c = ' ';
    std::string head = name + ": ";
    // Plain words fold at their spaces; a word that would not fit a line, a control byte, an
    // 8-bit byte or text that looks like an encoded word goes out encoded.
    bool plain = IsPrintableAscii(v) && v.find("=?") == std::string::npos;
    std::vector<std::string> words;
    for (size_t start = 0; plain;) {
        size_t space = v.find(' ', start + 1);  // each word after the first keeps its space
        std::string word = v.substr(start, space == std::string::npos ? std::string::npos : space - start);
        if (word.size() + (words.empty() ? head.size() : 0) > 77) plain = false;
        words.push_back(word);
        if (space == std::string::npos) break;
        start = space;
    }
    if (!plain) return head + EncodedWords(v, charset) + "\r\n";
    std::string out = head;
    size_t lineLength = head.size();
    for (size_t i = 0; i < words.size(); ++i) {
        if (i > 0 && lineLength + words[i].size() > 78) {
            out += "\r\n";
            lineLength = 0;
        }
        out += words[i];
        lineLength += words[i].size();
    }
    return out + "\r\n";
}

std::string AttachmentHeaders(const std::string& fileName, const std::string& charset) {
    return "Content-Type: application/octet-stream" + Param("name", fileName, charset) + "\r\n" +
           "Content-Transfer-Encoding: base64\r\n" +
           "Content-Disposition: attachment" + Param("filename", fileName, charset) + "\r\n";
}

std::string NewBoundary() {
    static std::atomic<uint32_t> counter{0};
    uint64_t seed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    try {
        std::random_device device;
        seed ^= (static_cast<uint64_t>(device()) << 32) | device();
    } catch (...) {
        // No random source: the clock and the counter still tell messages apart.
    }
    std::mt19937_64 mix(seed + counter++);
    char text[48];
    std::snprintf(text, sizeof text, "=_zb%016llx%08x", static_cast<unsigned long long>(mix()),
                  static_cast<unsigned>(mix() & 0xFFFFFFFFu));
    return text;
}

}  // namespace mime
