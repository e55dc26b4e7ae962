// Single-byte code page tables: built in for Windows-1252, from iconv for any other.
#include "platform/posix/code_page.h"

#include <iconv.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace code_page {
namespace {

struct Table {
    std::string name = "CP1252";
    char32_t toUnicode[256];
    std::unordered_map<char32_t, unsigned char> fromUnicode;

    void Index() {
        fromUnicode.clear();
        for (int b = 255; b >= 0; --b) fromUnicode[toUnicode[b]] = static_cast<unsigned char>(b);
    }
};

// 0x80-0x9F of Windows-1252; the rest is Latin-1. 0 marks the five undefined bytes.
const char16_t k1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::mutex g_mutex;

Table& Current1252() {
    static Table table = [] {
        Table t;
        for (int b = 0; b < 256; ++b) t.toUnicode[b] = static_cast<char32_t>(b);
        for (int i = 0; i < 32; ++i)
            if (k1252High[i]) t.toUnicode[0x80 + i] = k1252High[i];
        t.Index();
        return t;
    }();
    return table;
}

Table& Active() { return Current1252(); }

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 character at s[i]; false (and one byte consumed) when it is malformed.
bool NextUtf8(const std::string& s, size_t& i, char32_t& c) {
    unsigned char b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80) {
        c = b;
        return true;
    }
    int extra = b >= 0xF0 && b < 0xF5 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : -1;
    if (b >= 0xF5 || extra < 0) return false;
    c = b & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return false;
        c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    // Overlong forms and surrogates spell nothing a Windows name can hold.
    if ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    return true;
}

std::string Canonical(const std::string& name) {
    std::string digits;
    for (char ch : name)
        if (std::isdigit(static_cast<unsigned char>(ch))) digits += ch;
    return digits.empty() ? std::string() : "CP" + digits;
}

}  // namespace

bool Select(const std::string& name) {
    std::string cp = Canonical(name);
    if (cp.empty()) return false;
    Table t;
    t.name = cp;
    iconv_t cd = iconv_open("UTF-32LE", cp.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        unsigned char outBytes[16] = {};
        char* inp = &in;
        char* outp = reinterpret_cast<char*>(outBytes);
        size_t inLeft = 1, outLeft = sizeof outBytes;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
        size_t produced = sizeof outBytes - outLeft;
        if (rc == static_cast<size_t>(-1) && errno == EINVAL) {  // a lead byte: multi-byte code page
            iconv_close(cd);
            return false;
        }
        t.toUnicode[b] = rc == static_cast<size_t>(-1) || produced != 4
                             ? static_cast<char32_t>(b)
                             : static_cast<char32_t>(outBytes[0] | outBytes[1] << 8 | outBytes[2] << 16 | outBytes[3] << 24);
    }
    iconv_close(cd);
    t.Index();
    std::lock_guard<std::mutex> lock(g_mutex);
    Active() = t;
    return true;
}

std::string Current() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return Active().name;
}

std::string ToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    bool ascii = true;
    for (char ch : bytes)
        if (static_cast<unsigned char>(ch) >= 0x80) ascii = false;
    if (ascii) return bytes;
    std::lock_guard<std::mutex> lock(g_mutex);
    const Table& t = Active();
    for (char ch : bytes) AppendUtf8(out, t.toUnicode[static_cast<unsigned char>(ch)]);
    return out;
}

bool FromUtf8(const std::string& utf8, std::string& out) {
    out.clear();
    bool ascii = true;
    for (char ch : utf8)
        if (static_cast<unsigned char>(ch) >= 0x80) ascii = false;
    if (ascii) {
        out = utf8;
        return true;
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    const Table& t = Active();
    bool exact = true;
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        if (!NextUtf8(utf8, i, c)) {
            out += '?';
            exact = false;
            continue;
        }
        auto it = t.fromUnicode.find(c);
        if (it == t.fromUnicode.end()) {
            out += '?';
            exact = false;
        } else {
            out += static_cast<char>(it->second);
        }
    }
    return exact;
}

}  // namespace code_page
