// Checking and rebuilding: slices are read in bounded pieces, the missing ones rebuilt a range
// at a time (all of them together per range), and each rebuilt file checked whole before it
// takes its name.
#include "recovery/recovery_repair.h"

#include <algorithm>
#include <memory>

#include "recovery/crc32.h"
#include "recovery/galois16.h"
#include "recovery/md5.h"
#include "recovery/recovery_matrix.h"

using namespace par2;

namespace {

const char kPartial[] = ".zembra-repair";
const size_t kPiece = size_t(1) << 20;

// Reads count bytes at offset into buf, as far as the file has them (limit: bytes that belong
// to it); the rest is zeros. False on a read error (buf is zeros from there).
bool ReadPadded(IFile* file, uint64_t offset, uint64_t limit, uint8_t* buf, size_t count) {
    size_t have = offset < limit ? static_cast<size_t>(std::min<uint64_t>(count, limit - offset)) : 0;
    bool ok = true;
    if (have > 0) {
        int64_t got = file && file->Seek(offset) ? file->Read(buf, have) : -1;
        if (got < 0) got = 0, ok = false;
        have = static_cast<size_t>(got);
    }
    std::fill(buf + have, buf + count, 0);
    return ok;
}

}  // namespace

bool CRecoveryRepair::CheckFile(size_t index, std::string& error) {
    const FileEntry& f = set_.Files()[index];
    RecoveryFileState& state = states_[index];
    good_[index].assign(f.slices.size(), false);
    const uint64_t S = set_.SliceSize();
    auto file = fs_.Open(folder_ + f.name, OpenMode::Read, Share::DenyWrite);
    if (!file) {
        if (progress_.Advance(f.slices.size() * S)) return true;
        error = "cancelled";
        return false;
    }
    state.present = true;
    const uint64_t actual = file->Length();
    std::vector<uint8_t> buf(static_cast<size_t>(std::min<uint64_t>(S, kPiece)));
    CMd5 whole;
    bool readable = true;
    for (size_t s = 0; s < f.slices.size(); ++s) {
        CMd5 md5;
        uint32_t crc = 0;
        bool sliceRead = true;
        for (uint64_t at = s * S, end = at + S; at < end;) {
            size_t n = static_cast<size_t>(std::min<uint64_t>(buf.size(), end - at));
            sliceRead &= ReadPadded(file.get(), at, actual, buf.data(), n);
            md5.Update(buf.data(), n);
            crc = Crc32Update(crc, buf.data(), n);
            if (at < f.length) whole.Update(buf.data(), static_cast<size_t>(std::min<uint64_t>(n, f.length - at)));
            at += n;
            if (!progress_.Advance(n)) {
                error = "cancelled";
                return false;
            }
        }
        readable &= sliceRead;
        good_[index][s] = sliceRead && md5.Final() == f.slices[s].md5 && crc == f.slices[s].crc;
    }
    bool allGood = std::find(good_[index].begin(), good_[index].end(), false) == good_[index].end();
    bool md5Holds = whole.Final() == f.md5;
    state.whole = readable && allGood && actual == f.length && md5Holds;
    // Every slice passing yet the whole failing means nothing here can be trusted.
    if (allGood && actual >= f.length && !md5Holds) good_[index].assign(f.slices.size(), false);
    return true;
}

bool CRecoveryRepair::Check(std::string& error) {
    const auto& files = set_.Files();
    states_.assign(files.size(), RecoveryFileState());
    good_.assign(files.size(), {});
    missing_.clear();
    uint64_t work = 0;
    for (const FileEntry& f : files) work += f.slices.size() * set_.SliceSize();
    progress_.Begin("Checking the set against its recovery volumes", work);
    for (size_t i = 0; i < files.size(); ++i) {
        if (!CheckFile(i, error)) return false;
        for (size_t s = 0; s < good_[i].size(); ++s)
            if (!good_[i][s]) {
                missing_.push_back(set_.FirstSlice(i) + static_cast<uint32_t>(s));
                ++states_[i].badSlices;
            }
    }
    progress_.End();
    return true;
}

bool CRecoveryRepair::Whole() const {
    for (const RecoveryFileState& s : states_)
        if (!s.whole) return false;
    return true;
}

bool CRecoveryRepair::Assemble(const std::string& outFolder, const std::vector<size_t>& files, std::string& error) {
    const uint64_t S = set_.SliceSize();
    std::vector<uint8_t> buf(static_cast<size_t>(std::min<uint64_t>(S, kPiece)));
    for (size_t i : files) {
        const FileEntry& f = set_.Files()[i];
        auto source = fs_.Open(folder_ + f.name, OpenMode::Read, Share::DenyWrite);
        uint64_t actual = source ? source->Length() : 0;
        auto out = fs_.Open(outFolder + f.name + kPartial, OpenMode::CreateWrite, Share::DenyWrite);
        if (!out) {
            error = "cannot write " + outFolder + f.name + kPartial + ": " + fs_.LastErrorText();
            return false;
        }
        // Good slices as they are; the bad ones zeros, filled in range by range afterwards.
        for (uint64_t at = 0; at < f.length;) {
            size_t n = static_cast<size_t>(std::min<uint64_t>(buf.size(), f.length - at));
            bool good = good_[i][at / S];
            size_t inSlice = static_cast<size_t>(std::min<uint64_t>(n, S - at % S));
            if (good) ReadPadded(source.get(), at, actual, buf.data(), inSlice);
            else std::fill(buf.begin(), buf.begin() + inSlice, 0);
            if (!out->Write(buf.data(), inSlice)) {
                error = "cannot write " + outFolder + f.name + kPartial + ": " + fs_.LastErrorText();
                return false;
            }
            at += inSlice;
        }
        if (!out->Close()) {
            error = "cannot write " + outFolder + f.name + kPartial + ": " + fs_.LastErrorText();
            return false;
        }
    }
    return true;
}

bool CRecoveryRepair::Finish(const std::string& outFolder, size_t index, std::string& error) {
    const FileEntry& f = set_.Files()[index];
    std::string partial = outFolder + f.name + kPartial, final = outFolder + f.name;
    auto in = fs_.Open(partial, OpenMode::Read, Share::DenyWrite);
    auto out = in ? fs_.Open(final, OpenMode::CreateWrite, Share::DenyWrite) : nullptr;
    std::vector<uint8_t> buf(kPiece);
    bool ok = out != nullptr;
    for (int64_t n; ok && (n = in->Read(buf.data(), buf.size())) != 0;)
        ok = n > 0 && out->Write(buf.data(), static_cast<size_t>(n));
    if (out) ok = out->Close() && ok;
    in.reset();
    if (!ok) {
        error = "cannot write " + final + ": " + fs_.LastErrorText() + "; the rebuilt file is kept as " + partial;
        if (out) fs_.RemoveFile(final);
        return false;
    }
    fs_.RemoveFile(partial);
    return true;
}

bool CRecoveryRepair::Repair(const std::string& outFolder, std::vector<std::string>& rebuilt, std::string& error,
                             size_t budget) {
    rebuilt.clear();
    if (Whole()) return true;
    const auto& refs = set_.Recovery();
    if (!Repairable()) {
        error = std::to_string(missing_.size()) + " slice" + (missing_.size() == 1 ? " is" : "s are") +
                " damaged or missing; the recovery volumes hold " + std::to_string(refs.size());
        return false;
    }
    std::vector<uint16_t> constants;
    for (uint32_t g : missing_) constants.push_back(gf16::InputConstant(g));
    std::vector<uint32_t> exponents;
    for (const RecoverySliceRef& r : refs) exponents.push_back(r.exponent);
    std::vector<size_t> chosen;
    std::vector<uint16_t> inverse;
    if (!SolveRecovery(constants, exponents, chosen, inverse)) {
        error = "the recovery slices at hand cannot rebuild the missing ones";
        return false;
    }
    std::vector<size_t> files;
    for (size_t i = 0; i < states_.size(); ++i)
        if (!states_[i].whole) files.push_back(i);
    auto removePartials = [&] {
        for (size_t i : files) fs_.RemoveFile(outFolder + set_.Files()[i].name + kPartial);
    };
    if (!Assemble(outFolder, files, error)) {
        removePartials();
        return false;
    }

    const size_t m = missing_.size();
    const uint64_t S = set_.SliceSize();
    size_t chunk = static_cast<size_t>(std::min<uint64_t>(S, std::max<size_t>(4, budget / (m + 2) / 4 * 4)));
    std::vector<std::vector<uint8_t>> acc(m, std::vector<uint8_t>(chunk));
    std::vector<uint8_t*> accPtr(m);
    for (size_t k = 0; k < m; ++k) accPtr[k] = acc[k].data();
    std::vector<uint8_t> in(chunk), out(chunk);
    std::vector<std::unique_ptr<IFile>> volumes(set_.Volumes().size());
    std::vector<std::unique_ptr<IFile>> sources(set_.Files().size()), partials(set_.Files().size());
    for (size_t i = 0; i < sources.size(); ++i)
        if (states_[i].present) sources[i] = fs_.Open(folder_ + set_.Files()[i].name, OpenMode::Read, Share::DenyWrite);
    for (size_t i : files) {
        partials[i] = fs_.Open(outFolder + set_.Files()[i].name + kPartial, OpenMode::ReadWrite, Share::DenyWrite);
        if (!partials[i]) {
            error = "cannot write " + outFolder + set_.Files()[i].name + kPartial + ": " + fs_.LastErrorText();
            removePartials();
            return false;
        }
    }
    std::vector<uint16_t> factors(m);
    // Each range reads m recovery slices and every good slice; then the rebuilt files are read.
    uint64_t work = m * S;
    for (size_t i = 0; i < set_.Files().size(); ++i) {
        work += static_cast<uint64_t>(std::count(good_[i].begin(), good_[i].end(), true)) * S;
        if (!states_[i].whole) work += set_.Files()[i].length;
    }
    progress_.Begin("Rebuilding from the recovery volumes", work);
    auto cancelled = [&] {
        error = "cancelled";
        removePartials();
        return false;
    };
    for (uint64_t c0 = 0; c0 < S; c0 += chunk) {
        size_t len = static_cast<size_t>(std::min<uint64_t>(chunk, S - c0));
        for (size_t k = 0; k < m; ++k) {
            const RecoverySliceRef& r = refs[chosen[k]];
            auto& v = volumes[r.volume];
            if (!v) v = fs_.Open(set_.Volumes()[r.volume], OpenMode::Read, Share::DenyWrite);
            if (!ReadPadded(v.get(), r.offset + c0, r.offset + S, accPtr[k], len) || !v) {
                error = "cannot read " + set_.Volumes()[r.volume] + ": " + fs_.LastErrorText();
                removePartials();
                return false;
            }
            if (!progress_.Advance(len)) return cancelled();
        }
        // R' = R + sum over the good slices: what is left is the missing slices' share alone.
        for (size_t i = 0; i < set_.Files().size(); ++i) {
            const FileEntry& f = set_.Files()[i];
            for (size_t s = 0; s < f.slices.size(); ++s) {
                if (!good_[i][s]) continue;
                uint16_t c = gf16::InputConstant(set_.FirstSlice(i) + static_cast<uint32_t>(s));
                ReadPadded(sources[i].get(), s * S + c0, std::min<uint64_t>(f.length, s * S + S), in.data(), len);
                for (size_t k = 0; k < m; ++k) factors[k] = gf16::Power(c, refs[chosen[k]].exponent);
                MultiplyAddMany(in.data(), len, accPtr.data(), factors.data(), m);
                if (!progress_.Advance(len)) return cancelled();
            }
        }
        for (size_t j = 0; j < m; ++j) {
            std::fill(out.begin(), out.begin() + len, 0);
            for (size_t k = 0; k < m; ++k) gf16::MultiplyAdd(out.data(), accPtr[k], inverse[j * m + k], len);
            size_t i = 0;
            while (i + 1 < set_.Files().size() && set_.FirstSlice(i + 1) <= missing_[j]) ++i;
            uint64_t at = (missing_[j] - set_.FirstSlice(i)) * S + c0, length = set_.Files()[i].length;
            if (at >= length) continue;
            size_t n = static_cast<size_t>(std::min<uint64_t>(len, length - at));
            if (!partials[i]->Seek(at) || !partials[i]->Write(out.data(), n)) {
                error = "cannot write " + outFolder + set_.Files()[i].name + kPartial + ": " + fs_.LastErrorText();
                removePartials();
                return false;
            }
        }
    }
    bool closed = true;
    for (auto& p : partials)
        if (p) closed = p->Close() && closed;
    partials.clear();
    sources.clear();
    if (!closed) {
        error = "cannot write the rebuilt files in " + outFolder + ": " + fs_.LastErrorText();
        removePartials();
        return false;
    }
    // Each one whole before any takes its name: a wrong rebuild never replaces a file.
    for (size_t i : files) {
        std::string partial = outFolder + set_.Files()[i].name + kPartial;
        auto check = fs_.Open(partial, OpenMode::Read, Share::DenyWrite);
        CMd5 md5;
        std::vector<uint8_t> buf(kPiece);
        uint64_t length = 0;
        for (int64_t n; check && (n = check->Read(buf.data(), buf.size())) > 0;) {
            md5.Update(buf.data(), static_cast<size_t>(n));
            length += static_cast<uint64_t>(n);
            if (!progress_.Advance(static_cast<uint64_t>(n))) {
                check.reset();
                return cancelled();
            }
        }
        if (!check || length != set_.Files()[i].length || md5.Final() != set_.Files()[i].md5) {
            error = "the rebuilt " + set_.Files()[i].name + " does not match the recovery set";
            removePartials();
            return false;
        }
    }
    progress_.End();
    for (size_t i : files) {
        if (!Finish(outFolder, i, error)) return false;
        rebuilt.push_back(set_.Files()[i].name);
    }
    return true;
}
