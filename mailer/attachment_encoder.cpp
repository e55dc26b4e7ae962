// Base64 lines of an attachment.
#include "mailer/attachment_encoder.h"

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

bool CAttachmentEncoder::Open(const std::string& path) {
    Close();
    path_ = path;
    cause_ = kNone;
    file_ = fs_.Open(path, OpenMode::Read, Share::DenyWrite);
    if (file_) return true;
    uint32_t attributes = 0;
    cause_ = fs_.GetAttributes(path, attributes) ? kAccessDenied : kFileNotFound;
    return false;
}

bool CAttachmentEncoder::NextLine(std::string& line) {
    line.clear();
    return NextLines(line, 1);
}

bool CAttachmentEncoder::NextLines(std::string& out, size_t lines) {
    if (!file_ || lines == 0) return false;
    block_.resize(lines * kBytesPerLine);
    // Filled whole unless the file ends: a short read in the middle would cut a line short.
    size_t got = 0;
    while (got < block_.size()) {
        int64_t n = file_->Read(block_.data() + got, block_.size() - got);
        if (n < 0) {
            cause_ = kHardIO;
            Close();
            return false;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    if (got == 0) {
        Close();
        return false;
    }
    out.reserve(out.size() + (got + kBytesPerLine - 1) / kBytesPerLine * 62);
    for (size_t at = 0; at < got; at += kBytesPerLine) {
        EncodeTo(block_.data() + at, got - at < kBytesPerLine ? got - at : kBytesPerLine, out);
        out += "\r\n";
    }
    return true;
}

void CAttachmentEncoder::Close() {
    if (file_) file_->Close();
    file_.reset();
}

bool CAttachmentEncoder::FileSize(uint64_t& size) const {
    FileStatus status;
    if (!fs_.GetStatus(path_, status)) return false;
    size = status.size;
    return true;
}

std::string CAttachmentEncoder::Encode(const uint8_t* bytes, size_t count) {
    std::string out;
    out.reserve((count + 2) / 3 * 4);
    EncodeTo(bytes, count, out);
    return out;
}

void CAttachmentEncoder::EncodeTo(const uint8_t* bytes, size_t count, std::string& out) {
    size_t i = 0;
    for (; i + 3 <= count; i += 3) {
        uint32_t v = (uint32_t(bytes[i]) << 16) | (uint32_t(bytes[i + 1]) << 8) | bytes[i + 2];
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    if (count - i == 1) {
        uint32_t v = uint32_t(bytes[i]) << 16;
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += "==";
    } else if (count - i == 2) {
        uint32_t v = (uint32_t(bytes[i]) << 16) | (uint32_t(bytes[i + 1]) << 8);
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += '=';
    }
}
