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
    if (!file_) return false;
    uint8_t buffer[kBytesPerLine];
    int64_t n = file_->Read(buffer, sizeof buffer);
    if (n <= 0) {
        if (n < 0) cause_ = kHardIO;
        Close();
        return false;
    }
    line = Encode(buffer, static_cast<size_t>(n));
    line += "\r\n";
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
    return out;
}
