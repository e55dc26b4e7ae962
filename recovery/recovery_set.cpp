// Reading a recovery set: packets are found by their magic, kept only when their MD5 holds,
// and the set is built only from fields that agree with each other.
#include "recovery/recovery_set.h"

#include <cstring>
#include <set>

#include "platform/text_case.h"

using namespace par2;

namespace {

const size_t kMaxSets = 16;                         // distinct set ids looked at per load
const size_t kMaxKeptBytes = size_t(64) << 20;      // small packets held per set

std::string Key(const uint8_t* id) { return std::string(reinterpret_cast<const char*>(id), 16); }

// Position of the next magic at or after from, or length when there is none.
uint64_t NextMagic(IFile& file, uint64_t from, uint64_t length) {
    std::vector<uint8_t> buf(1 << 16);
    while (from + 8 <= length) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(buf.size(), length - from));
        if (!file.Seek(from) || file.Read(buf.data(), want) != static_cast<int64_t>(want)) return length;
        for (size_t i = 0; i + 8 <= want; ++i)
            if (buf[i] == 'P' && std::memcmp(buf.data() + i, kMagic, 8) == 0) return from + i;
        if (want < 8) return length;
        from += want - 7;
    }
    return length;
}

// A name a set may give its files: one plain component, nothing that climbs or names a device.
bool PlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.size() > 255) return false;
    for (unsigned char c : name)
        if (c < 0x20 || std::strchr("\\/:*?\"<>|", c)) return false;
    return true;
}

}  // namespace

std::vector<std::string> CRecoverySet::FindVolumes(IFileSystem& fs, const std::string& folder,
                                                   const std::string& base) {
    std::vector<std::string> found;
    std::string index = UpperCase(base + ".par2"), vol = UpperCase(base + ".vol");
    fs.ListFolder(folder + "*.*", [&](const DirEntry& e) {
        std::string up = UpperCase(e.name);
        bool volume = up.size() > vol.size() + 5 && up.compare(0, vol.size(), vol) == 0 &&
                      up.compare(up.size() - 5, 5, ".PAR2") == 0;
        if (e.exact && !(e.attributes & (kAttrFolder | kAttrDevice | kAttrReparsePoint)) && (up == index || volume))
            found.push_back(folder + e.name);
        return true;
    });
    return found;
}

void CRecoverySet::ReadVolume(IFileSystem& fs, size_t index) {
    auto file = fs.Open(volumes_[index], OpenMode::Read, Share::DenyWrite);
    if (!file) return;
    const uint64_t length = file->Length();
    // Bytes we may hash: a file of false starts must not cost quadratic time.
    uint64_t budget = length * 4 + (1 << 20);
    std::vector<uint8_t> buf(1 << 16);
    uint64_t pos = 0;
    while (pos + kHeaderSize <= length) {
        uint8_t h[kHeaderSize];
        if (!file->Seek(pos) || file->Read(h, kHeaderSize) != static_cast<int64_t>(kHeaderSize)) return;
        uint64_t size = GetU64(h + 8);
        PacketType type = TypeOf(h + 48);
        bool slice = type == PacketType::RecoverySlice;
        bool shape = std::memcmp(h, kMagic, 8) == 0 && size >= kHeaderSize && size % 4 == 0 && size <= length - pos &&
                     (slice ? size >= kSliceHeaderSize + 4 && size - kSliceHeaderSize <= kMaxSliceSize
                            : size <= kMaxSmallPacket);
        if (shape && size - 32 <= budget) {
            budget -= size - 32;
            CMd5 md5;
            md5.Update(h + 32, 32);
            std::vector<uint8_t> body(static_cast<size_t>(slice ? 4 : size - kHeaderSize));
            bool read = body.empty() || file->Read(body.data(), body.size()) == static_cast<int64_t>(body.size());
            md5.Update(body.data(), body.size());
            for (uint64_t left = slice ? size - kSliceHeaderSize : 0; read && left > 0;) {
                size_t n = static_cast<size_t>(std::min<uint64_t>(left, buf.size()));
                read = file->Read(buf.data(), n) == static_cast<int64_t>(n);
                md5.Update(buf.data(), n);
                left -= n;
            }
            if (!read) return;
            Md5Digest got = md5.Final();
            if (std::memcmp(got.bytes, h + 16, 16) == 0) {
                Keep(index, h, body, pos + kSliceHeaderSize, size - kSliceHeaderSize);
                pos += size;
                continue;
            }
        }
        pos = NextMagic(*file, pos + 1, length);
    }
}

void CRecoverySet::Keep(size_t volume, const uint8_t* header, const std::vector<uint8_t>& body, uint64_t dataOffset,
                        uint64_t dataLength) {
    std::string set = Key(header + 32);
    if (!sets_.count(set) && sets_.size() >= kMaxSets) return;
    Packets& p = sets_[set];
    switch (TypeOf(header + 48)) {
        case PacketType::Main: {
            // The set id is the MD5 of the main packet's body: a main packet of another set
            // (or a forged one) cannot pass for this one.
            Md5Digest id = CMd5::Of(body.data(), body.size());
            if (p.main.empty() && body.size() >= 12 && (body.size() - 12) % 16 == 0 &&
                std::memcmp(id.bytes, header + 32, 16) == 0)
                p.main = body;
            return;
        }
        case PacketType::FileDescription:
        case PacketType::SliceChecksums: {
            bool desc = TypeOf(header + 48) == PacketType::FileDescription;
            if (body.size() < (desc ? 56u : 16u) || p.kept + body.size() > kMaxKeptBytes) return;
            if (!desc && (body.size() - 16) % 20 != 0) return;
            if (desc) {
                // Only a description whose id is its own hash: a forged one must not shadow it.
                Md5Digest head, id;
                std::memcpy(id.bytes, body.data(), 16);
                std::memcpy(head.bytes, body.data() + 32, 16);
                const char* name = reinterpret_cast<const char*>(body.data() + 56);
                if (FileId(head, GetU64(body.data() + 48), std::string(name, strnlen(name, body.size() - 56))) != id)
                    return;
            }
            auto& map = desc ? p.descriptions : p.checksums;
            if (map.emplace(Key(body.data()), body).second) p.kept += body.size();
            return;
        }
        case PacketType::RecoverySlice: {
            uint32_t exponent = GetU32(body.data());
            if (exponent >= 65535 || p.recovery.count(exponent)) return;
            RecoverySliceRef ref;
            ref.exponent = exponent;
            ref.volume = volume;
            ref.offset = dataOffset;
            p.recovery[exponent] = ref;
            p.recoveryLength[exponent] = dataLength;
            return;
        }
        default:
            return;
    }
}

bool CRecoverySet::Build(const Packets& p, std::string& error) {
    sliceSize_ = GetU64(p.main.data());
    uint32_t count = GetU32(p.main.data() + 8);
    if (sliceSize_ == 0 || sliceSize_ % 4 != 0 || sliceSize_ > kMaxSliceSize) {
        error = "the recovery volumes give an unusable slice size";
        return false;
    }
    if (count == 0 || count > (p.main.size() - 12) / 16) {
        error = "the recovery volumes give an unusable file count";
        return false;
    }
    files_.clear();
    firstSlice_.clear();
    sliceCount_ = 0;
    std::set<std::string> names;
    for (uint32_t i = 0; i < count; ++i) {
        std::string id = Key(p.main.data() + 12 + 16 * i);
        auto d = p.descriptions.find(id);
        auto c = p.checksums.find(id);
        if (d == p.descriptions.end() || c == p.checksums.end()) {
            error = "the recovery volumes lack the description of a file they protect";
            return false;
        }
        const std::vector<uint8_t>& b = d->second;
        FileEntry f;
        std::memcpy(f.id.bytes, b.data(), 16);
        std::memcpy(f.md5.bytes, b.data() + 16, 16);
        std::memcpy(f.md5Head.bytes, b.data() + 32, 16);
        f.length = GetU64(b.data() + 48);
        const char* name = reinterpret_cast<const char*>(b.data() + 56);
        f.name.assign(name, strnlen(name, b.size() - 56));
        if (FileId(f.md5Head, f.length, f.name) != f.id || !PlainFileName(f.name) ||
            !names.insert(UpperCase(f.name)).second) {
            error = "the recovery volumes describe a file by a name that cannot be used";
            return false;
        }
        uint64_t slices = f.length / sliceSize_ + (f.length % sliceSize_ ? 1 : 0);
        if (slices != (c->second.size() - 16) / 20 || sliceCount_ + slices > kMaxInputSlices) {
            error = "the recovery volumes' slice checksums do not fit the files they describe";
            return false;
        }
        for (uint64_t s = 0; s < slices; ++s) {
            SliceCheck check;
            std::memcpy(check.md5.bytes, c->second.data() + 16 + 20 * s, 16);
            check.crc = GetU32(c->second.data() + 32 + 20 * s);
            f.slices.push_back(check);
        }
        firstSlice_.push_back(sliceCount_);
        sliceCount_ += static_cast<uint32_t>(slices);
        files_.push_back(f);
    }
    recovery_.clear();
    for (const auto& r : p.recovery)
        if (p.recoveryLength.at(r.first) == sliceSize_) recovery_.push_back(r.second);
    return true;
}

bool CRecoverySet::Load(IFileSystem& fs, const std::vector<std::string>& volumes,
                        const std::vector<std::string>& names, std::string& error) {
    volumes_ = volumes;
    sets_.clear();
    for (size_t i = 0; i < volumes_.size(); ++i) ReadVolume(fs, i);
    // The set to use: the one naming most of the expected files, then the one with most slices.
    const Packets* best = nullptr;
    size_t bestNamed = 0;
    for (const auto& s : sets_) {
        const Packets& p = s.second;
        if (p.main.empty()) continue;
        size_t named = 0;
        for (const auto& d : p.descriptions) {
            const char* n = reinterpret_cast<const char*>(d.second.data() + 56);
            std::string name(n, strnlen(n, d.second.size() - 56));
            for (const std::string& want : names) named += SameTextIgnoringCase(want, name);
        }
        if (!names.empty() && named == 0) continue;
        if (!best || named > bestNamed || (named == bestNamed && p.recovery.size() > best->recovery.size())) {
            best = &p;
            bestNamed = named;
        }
    }
    if (!best) {
        error = volumes_.empty() ? "there are no recovery volumes" : "the recovery volumes hold no usable set for these files";
        return false;
    }
    return Build(*best, error);
}

int CRecoverySet::FindFile(const std::string& name) const {
    for (size_t i = 0; i < files_.size(); ++i)
        if (SameTextIgnoringCase(files_[i].name, name)) return static_cast<int>(i);
    return -1;
}
