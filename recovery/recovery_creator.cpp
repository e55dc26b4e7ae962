// Making recovery slices: one read of the files when the slices fit the memory budget (more
// passes over ranges of each slice when not), every recovery slice accumulated per input slice.
#include "recovery/recovery_creator.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "recovery/crc32.h"
#include "recovery/galois16.h"
#include "recovery/md5.h"
#include "recovery/par2_packets.h"
#include "recovery/recovery_matrix.h"

using namespace par2;

namespace {

const size_t kPiece = size_t(1) << 20;
const char kClient[] = "Zembra";

uint64_t Align4(uint64_t v) { return (v + 3) / 4 * 4; }

uint64_t ChecksumBytes(const std::vector<uint64_t>& lengths, const std::vector<std::string>& names, uint64_t slice) {
    uint64_t bytes = kHeaderSize + 12 + 16 * lengths.size();
    for (size_t i = 0; i < lengths.size(); ++i)
        bytes += kHeaderSize + 56 + Align4(names[i].size()) + kHeaderSize + 16 + 20 * ((lengths[i] + slice - 1) / slice);
    return bytes;
}

// The fewest bytes the index volume of `segments` segments named BASE_<n>.<ext> can take: each
// segment described in two slices (the last perhaps in one), main and creator packets besides.
uint64_t IndexBytesAtLeast(uint64_t segments, size_t baseLength) {
    uint64_t bytes = kHeaderSize + 12 + kHeaderSize + Align4(sizeof kClient - 1), low = 1;
    for (size_t digits = 1; low <= segments; ++digits, low *= 10) {
        uint64_t count = std::min(segments, low * 10 - 1) - low + 1;
        bytes += count * (16 + kHeaderSize + 56 + Align4(baseLength + 1 + digits + 4) + kHeaderSize + 16 + 2 * 20);
    }
    return segments ? bytes - 20 : bytes;
}

bool WriteAt(IFile& file, uint64_t offset, const void* data, size_t count) {
    return file.Seek(offset) && file.Write(data, count);
}

}  // namespace

std::string CRecoveryCreator::VolumeName(const std::string& base, uint32_t first, uint32_t count, uint32_t total) {
    int width = 2;
    for (uint32_t t = total; t >= 100; t /= 10) ++width;
    char text[64];
    std::snprintf(text, sizeof text, ".vol%0*u+%0*u.par2", width, first, width, count);
    return base + text;
}

bool CRecoveryCreator::IndexFits(uint64_t setBytes, uint64_t segmentSize, size_t baseLength, uint64_t& smallest) {
    auto fits = [&](uint64_t size) {
        return size > 0 && IndexBytesAtLeast((setBytes + size - 1) / size, baseLength) <= size;
    };
    smallest = 0;
    if (setBytes == 0 || segmentSize == 0 || fits(segmentSize)) return true;
    // Larger segments make fewer of them and a smaller index: the least size that fits.
    uint64_t lo = segmentSize, hi = std::max<uint64_t>(setBytes, segmentSize);
    if (!fits(hi)) return false;
    while (hi - lo > 1) {
        uint64_t mid = lo + (hi - lo) / 2;
        (fits(mid) ? hi : lo) = mid;
    }
    smallest = hi;
    return false;
}

bool CRecoveryCreator::Plan(const std::vector<uint64_t>& lengths, const std::vector<std::string>& names,
                            uint32_t rebuild, uint64_t volumeLimit, RecoveryPlan& plan, std::string& error) {
    uint64_t largest = lengths.empty() ? 0 : *std::max_element(lengths.begin(), lengths.end());
    if (largest == 0 || rebuild == 0) {
        error = "there is nothing to protect";
        return false;
    }
    rebuild = std::min<uint32_t>(rebuild, static_cast<uint32_t>(lengths.size()));
    const uint64_t creator = kHeaderSize + Align4(sizeof kClient - 1);
    // Fewest slices per file first: the work of making recovery grows with their number.
    for (uint64_t perFile = 2; perFile <= 64; ++perFile) {
        uint64_t slice = std::max<uint64_t>(4, Align4((largest + perFile - 1) / perFile));
        if (slice > kMaxSliceSize) continue;
        uint64_t inputs = 0, most = 0;
        for (uint64_t l : lengths) {
            inputs += (l + slice - 1) / slice;
            most = std::max(most, (l + slice - 1) / slice);
        }
        if (inputs > kMaxInputSlices) break;  // more slices per file only makes more
        uint64_t recovery = most * rebuild;
        if (recovery >= 65535) break;
        uint64_t packet = kSliceHeaderSize + slice, sums = ChecksumBytes(lengths, names, slice);
        // The index holds every file's checksums; more slices only make it larger. It travels
        // as the segments do, so it may be no larger than they are.
        if (sums + creator > volumeLimit) {
            uint64_t total = 0, smallest = 0;
            for (uint64_t l : lengths) total += l;
            size_t base = names.empty() ? 0 : names[0].substr(0, names[0].rfind('_')).size();
            IndexFits(total, volumeLimit, base, smallest);
            error = "the index volume of " + std::to_string(lengths.size()) + " segments would take " +
                    std::to_string(sums + creator) + " bytes, more than a segment (" + std::to_string(volumeLimit) +
                    " bytes), and no volume may be larger than a segment";
            if (smallest) error += ": segments of at least " + std::to_string(smallest) + " bytes would do";
            return false;
        }
        uint64_t with = volumeLimit > sums + creator ? (volumeLimit - sums - creator) / packet : 0;
        uint64_t without = volumeLimit > creator ? (volumeLimit - creator) / packet : 0;
        if (with == 0 && without == 0) continue;
        plan.sliceSize = slice;
        plan.recoverySlices = static_cast<uint32_t>(recovery);
        plan.checksumsInVolumes = with > 0;
        plan.perVolume = static_cast<uint32_t>(std::min<uint64_t>(with > 0 ? with : without, recovery));
        return true;
    }
    error = "recovery volumes cannot be made for this set: too many segments, or segments too small";
    return false;
}

bool CRecoveryCreator::Create(const std::string& folder, const std::string& base,
                              const std::vector<std::string>& names, uint32_t rebuild, uint64_t volumeLimit,
                              std::string& error, size_t budget) {
    written_.clear();
    std::vector<FileEntry> files(names.size());
    std::vector<uint64_t> lengths;
    std::vector<uint8_t> buf(kPiece);
    for (size_t i = 0; i < names.size(); ++i) {
        FileEntry& f = files[i];
        f.name = names[i];
        auto in = fs_.Open(folder + f.name, OpenMode::Read, Share::DenyWrite);
        int64_t head = in ? in->Read(buf.data(), 16384) : -1;
        if (head < 0) {
            error = "cannot read " + folder + f.name + ": " + fs_.LastErrorText();
            return false;
        }
        f.length = in->Length();
        f.md5Head = CMd5::Of(buf.data(), static_cast<size_t>(head));
        f.id = FileId(f.md5Head, f.length, f.name);
        lengths.push_back(f.length);
    }
    RecoveryPlan plan;
    if (!Plan(lengths, names, rebuild, volumeLimit, plan, error)) return false;
    std::sort(files.begin(), files.end(), [](const FileEntry& a, const FileEntry& b) { return IdBefore(a.id, b.id); });
    std::vector<Md5Digest> ids;
    for (const FileEntry& f : files) ids.push_back(f.id);
    std::vector<uint8_t> main = MainBody(plan.sliceSize, ids);
    Md5Digest setId = CMd5::Of(main.data(), main.size());

    const uint64_t S = plan.sliceSize, packet = kSliceHeaderSize + S;
    const uint32_t r = plan.recoverySlices;
    auto fail = [&](const std::string& what) {
        error = what;
        for (const std::string& w : written_) fs_.RemoveFile(w);
        written_.clear();
        return false;
    };
    std::vector<std::unique_ptr<IFile>> volumes(plan.Volumes());
    for (uint32_t v = 0; v < volumes.size(); ++v) {
        uint32_t first = v * plan.perVolume, count = std::min(plan.perVolume, r - first);
        std::string path = folder + VolumeName(base, first, count, r);
        volumes[v] = fs_.Open(path, OpenMode::CreateWrite, Share::DenyWrite);
        if (!volumes[v]) return fail("cannot write " + path + ": " + fs_.LastErrorText());
        written_.push_back(path);
    }

    size_t chunk = static_cast<size_t>(std::min<uint64_t>(S, std::max<size_t>(4, budget / r / 4 * 4)));
    std::vector<std::vector<uint8_t>> acc(r, std::vector<uint8_t>(chunk));
    std::vector<CMd5> sliceMd5(r);
    for (uint32_t e = 0; e < r; ++e) {
        std::vector<uint8_t> lead(setId.bytes, setId.bytes + 16);
        lead.insert(lead.end(), TypeBytes(PacketType::RecoverySlice), TypeBytes(PacketType::RecoverySlice) + 16);
        PutU32(lead, e);
        sliceMd5[e].Update(lead.data(), lead.size());
    }
    std::vector<uint8_t*> dst(r);
    std::vector<uint16_t> factors(r);
    uint64_t work = 0;
    for (const FileEntry& f : files) work += (f.length + S - 1) / S * S;
    progress_.Begin("Making recovery volumes", work);
    for (uint64_t c0 = 0; c0 < S; c0 += chunk) {
        const size_t len = static_cast<size_t>(std::min<uint64_t>(chunk, S - c0));
        const bool first = c0 == 0;
        for (auto& a : acc) std::fill(a.begin(), a.begin() + len, 0);
        uint32_t index = 0;
        for (FileEntry& f : files) {
            auto in = fs_.Open(folder + f.name, OpenMode::Read, Share::DenyWrite);
            if (!in) return fail("cannot read " + folder + f.name + ": " + fs_.LastErrorText());
            CMd5 whole;
            for (uint64_t s = 0; s * S < f.length; ++s, ++index) {
                uint16_t c = gf16::InputConstant(index), power = 1;
                for (uint32_t e = 0; e < r; ++e, power = gf16::Multiply(power, c)) factors[e] = power;
                CMd5 md5;
                uint32_t crc = 0;
                // The first pass reads whole slices (their checksums); later ones their range only.
                uint64_t from = first ? 0 : c0, to = first ? S : c0 + len;
                for (uint64_t at = from; at < to;) {
                    size_t n = static_cast<size_t>(std::min<uint64_t>(buf.size(), to - at));
                    uint64_t off = s * S + at;
                    size_t have = off < f.length ? static_cast<size_t>(std::min<uint64_t>(n, f.length - off)) : 0;
                    if (have && (!in->Seek(off) || in->Read(buf.data(), have) != static_cast<int64_t>(have)))
                        return fail("cannot read " + folder + f.name + ": " + fs_.LastErrorText());
                    std::fill(buf.begin() + have, buf.begin() + n, 0);
                    if (first) {
                        md5.Update(buf.data(), n);
                        crc = Crc32Update(crc, buf.data(), n);
                        whole.Update(buf.data(), have);
                    }
                    uint64_t lo = std::max<uint64_t>(at, c0), hi = std::min<uint64_t>(at + n, c0 + len);
                    if (lo < hi) {
                        for (uint32_t e = 0; e < r; ++e) dst[e] = acc[e].data() + (lo - c0);
                        MultiplyAddMany(buf.data() + (lo - at), static_cast<size_t>(hi - lo), dst.data(),
                                        factors.data(), r);
                        if (!progress_.Advance(hi - lo)) return fail("cancelled");
                    }
                    at += n;
                }
                if (first) f.slices.push_back({md5.Final(), crc});
            }
            if (first) f.md5 = whole.Final();
        }
        for (uint32_t e = 0; e < r; ++e) {
            sliceMd5[e].Update(acc[e].data(), len);
            IFile& v = *volumes[e / plan.perVolume];
            if (!WriteAt(v, (e % plan.perVolume) * packet + kSliceHeaderSize + c0, acc[e].data(), len))
                return fail("cannot write " + written_[e / plan.perVolume] + ": " + fs_.LastErrorText());
        }
    }

    progress_.End();
    std::vector<uint8_t> sums = MakePacket(setId, PacketType::Main, main);
    for (const FileEntry& f : files) {
        std::vector<uint8_t> d = MakePacket(setId, PacketType::FileDescription, FileDescriptionBody(f));
        std::vector<uint8_t> c = MakePacket(setId, PacketType::SliceChecksums, SliceChecksumsBody(f));
        sums.insert(sums.end(), d.begin(), d.end());
        sums.insert(sums.end(), c.begin(), c.end());
    }
    std::vector<uint8_t> creator = MakePacket(setId, PacketType::Creator, CreatorBody(kClient));
    for (uint32_t v = 0; v < volumes.size(); ++v) {
        uint32_t firstE = v * plan.perVolume, count = std::min(plan.perVolume, r - firstE);
        for (uint32_t e = firstE; e < firstE + count; ++e) {
            std::vector<uint8_t> h = SliceHeader(S, sliceMd5[e].Final(), setId, e);
            if (!WriteAt(*volumes[v], (e - firstE) * packet, h.data(), h.size()))
                return fail("cannot write " + written_[v] + ": " + fs_.LastErrorText());
        }
        uint64_t end = count * packet;
        bool ok = (!plan.checksumsInVolumes || WriteAt(*volumes[v], end, sums.data(), sums.size())) &&
                  WriteAt(*volumes[v], end + (plan.checksumsInVolumes ? sums.size() : 0), creator.data(),
                          creator.size()) &&
                  volumes[v]->Close();
        if (!ok) return fail("cannot write " + written_[v] + ": " + fs_.LastErrorText());
    }
    std::string index = folder + base + ".par2";
    auto out = fs_.Open(index, OpenMode::CreateWrite, Share::DenyWrite);
    if (!out) return fail("cannot write " + index + ": " + fs_.LastErrorText());
    written_.insert(written_.begin(), index);
    if (!out->Write(sums.data(), sums.size()) || !out->Write(creator.data(), creator.size()) || !out->Close())
        return fail("cannot write " + index + ": " + fs_.LastErrorText());
    return true;
}
