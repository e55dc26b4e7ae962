// Recovery volumes: field arithmetic on both region paths, round trips through damage, the
// volume size bound, and volumes that are damaged or made to mislead.
#include <gtest/gtest.h>

#include <random>

#include "fakes/scripted_prompts.h"
#include "fakes/test_files.h"
#include "recovery/crc32.h"
#include "recovery/galois16.h"
#include "recovery/md5.h"
#include "recovery/recovery_creator.h"
#include "recovery/recovery_repair.h"
#include "recovery/set_recovery.h"

namespace {

std::string Hex(const Md5Digest& d) {
    std::string s;
    for (uint8_t b : d.bytes) s += "0123456789abcdef"[b >> 4], s += "0123456789abcdef"[b & 15];
    return s;
}

TEST(RecoveryArithmetic, HashesAndFieldAgreeWithKnownValues) {
    EXPECT_EQ(Hex(CMd5::Of("abc", 3)), "900150983cd24fb0d6963f7d28e17f72");
    std::string million(1000000, 'a');
    EXPECT_EQ(Hex(CMd5::Of(million.data(), million.size())), "7707d6ae4e027c70eea2a935c2296f21");
    EXPECT_EQ(Crc32Update(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32Update(Crc32Update(0, "1234", 4), "56789", 5), 0xCBF43926u);
    // x^16 = x^12 + x^3 + x + 1 under the generator 0x1100B.
    EXPECT_EQ(gf16::Multiply(0x8000, 2), 0x100B);
    EXPECT_EQ(gf16::InputConstant(0), 2);
    EXPECT_EQ(gf16::InputConstant(1), 4);
    EXPECT_EQ(gf16::InputConstant(2), 16);  // 2^3 is skipped: 3 divides 65535
    for (uint32_t a : {1u, 2u, 0x1234u, 0xFFFFu})
        EXPECT_EQ(gf16::Multiply(static_cast<uint16_t>(a), gf16::Divide(1, static_cast<uint16_t>(a))), 1);
}

// The vector path must give the table path's bytes for every length and alignment.
TEST(RecoveryArithmetic, VectorAndTablePathsAgree) {
    std::mt19937 rng(7);
    std::vector<uint8_t> src(4099), a(4099), b(4099);
    for (auto& x : src) x = static_cast<uint8_t>(rng());
    for (size_t bytes : {2u, 62u, 64u, 130u, 1000u, 4096u})
        for (size_t offset : {0u, 1u, 3u})
            for (uint16_t factor : {uint16_t(1), uint16_t(2), uint16_t(0x8001), uint16_t(0xFFFF)}) {
                for (size_t i = 0; i < a.size(); ++i) a[i] = b[i] = static_cast<uint8_t>(i * 7);
                gf16::SetAccelerated(false);
                gf16::MultiplyAdd(a.data() + offset, src.data() + offset, factor, bytes);
                gf16::SetAccelerated(true);
                gf16::MultiplyAdd(b.data() + offset, src.data() + offset, factor, bytes);
                ASSERT_EQ(a, b) << bytes << " bytes at " << offset << " by " << factor;
            }
}

class RecoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = MakeScratchFolder("zbrec");
        posix_drives::Reset();
        posix_drives::Map('S', root_, DriveType::Fixed);
    }
    void TearDown() override {
        posix_drives::Reset();
        std::system(("rm -rf " + root_).c_str());
    }
    // Segments of a set: the last one shorter, one of a size not a multiple of four.
    void MakeFiles(size_t count, size_t size) {
        names_.clear();
        originals_.clear();
        for (size_t i = 0; i < count; ++i) {
            names_.push_back("SET_" + std::to_string(i + 1) + (i ? ".SEG" : ".EXE"));
            originals_.push_back(PatternBytes(i + 1 == count ? size / 3 + 1 : size, static_cast<int>(i)));
            ASSERT_TRUE(WriteWholeFile(Host(names_[i]), originals_[i]));
        }
    }
    std::string Host(const std::string& name) const { return root_ + "/" + name; }
    bool Create(uint32_t k, uint64_t limit, size_t budget = size_t(256) << 20) {
        CRecoveryCreator creator(SystemFileSystem());
        std::string error;
        bool ok = creator.Create("S:\\", "SET", names_, k, limit, error, budget);
        EXPECT_TRUE(ok) << error;
        written_ = creator.Written();
        return ok;
    }
    // Loads, checks and repairs in place; returns the repair's success.
    bool Repair(std::string& error, size_t budget = size_t(64) << 20) {
        CRecoverySet set;
        if (!set.Load(SystemFileSystem(), CRecoverySet::FindVolumes(SystemFileSystem(), "S:\\", "SET"), names_, error))
            return false;
        CRecoveryRepair repair(SystemFileSystem(), set, "S:\\");
        std::vector<std::string> rebuilt;
        return repair.Check(error) && repair.Repair("S:\\", rebuilt, error, budget);
    }
    void ExpectOriginals() {
        for (size_t i = 0; i < names_.size(); ++i) EXPECT_EQ(ReadWholeFile(Host(names_[i])), originals_[i]) << names_[i];
    }

    std::string root_;
    std::vector<std::string> names_, originals_, written_;
};

struct Damage {
    const char* what;
    std::vector<int> removed, flipped, cut;
    bool repairable;
    size_t createBudget, repairBudget;
};

TEST_F(RecoveryTest, RepairsWhatTheVolumesCoverAndNothingElse) {
    const Damage cases[] = {
        {"one removed, one altered", {2}, {0}, {}, true, 256 << 20, 64 << 20},
        {"cut short and the last removed", {5}, {}, {3}, true, 256 << 20, 64 << 20},
        {"in several passes", {1}, {4}, {}, true, 4000, 3000},
        {"three gone with two covered", {0, 1, 2}, {}, {}, false, 256 << 20, 64 << 20},
    };
    for (const Damage& d : cases) {
        SCOPED_TRACE(d.what);
        MakeFiles(6, 10001);
        ASSERT_TRUE(Create(2, 10001, d.createBudget));
        for (const std::string& w : written_) {
            FileStatus st;
            ASSERT_TRUE(SystemFileSystem().GetStatus(w, st));
            EXPECT_LE(st.size, 10001u) << w << " is larger than a segment";
        }
        for (int i : d.removed) std::remove(Host(names_[i]).c_str());
        for (int i : d.flipped) {
            std::string b = originals_[i];
            b[b.size() / 2] ^= 0x40;
            WriteWholeFile(Host(names_[i]), b);
        }
        for (int i : d.cut) WriteWholeFile(Host(names_[i]), originals_[i].substr(0, 5000));
        std::string error;
        EXPECT_EQ(Repair(error, d.repairBudget), d.repairable) << error;
        if (d.repairable) {
            ExpectOriginals();
        } else {
            EXPECT_NE(error.find("damaged or missing"), std::string::npos) << error;
            for (int i : d.removed) EXPECT_FALSE(SystemFileSystem().Exists("S:\\" + names_[i]));
        }
        // Nothing half-made left behind.
        EXPECT_EQ(std::system(("ls " + root_ + " | grep -q zembra-repair").c_str()) == 0, false);
        std::system(("rm -f " + root_ + "/*").c_str());
    }
}

// Damaged, truncated, duplicated, foreign and forged volumes: never a crash, never a file
// rebuilt wrong. Each case damages every volume the same way, then removes one segment.
TEST_F(RecoveryTest, HostileVolumesNeverGiveWrongBytes) {
    MakeFiles(4, 3000);
    ASSERT_TRUE(Create(1, 3000));
    std::vector<std::string> saved;
    for (const std::string& w : written_) saved.push_back(ReadWholeFile(Host(w.substr(3))));
    std::mt19937 rng(11);
    int repaired = 0;
    for (int round = 0; round < 120; ++round) {
        for (size_t v = 0; v < saved.size(); ++v) {
            std::string b = saved[v];
            switch (round % 6) {
                case 0: b[rng() % b.size()] ^= static_cast<char>(1 + rng() % 255); break;       // MD5 mismatch
                case 1: b.resize(rng() % b.size()); break;                                      // truncated
                case 2: b += b; break;                                                          // duplicated
                case 3: for (int i = 0; i < 8; ++i) b[8 + i] = static_cast<char>(rng()); break;  // wrong length
                case 4: b = saved[v].substr(0, 64) + b; break;                                  // header twice
                case 5: b.insert(rng() % b.size(), std::string(rng() % 9, 'P')); break;         // shifted
            }
            WriteWholeFile(Host(written_[v].substr(3)), b);
        }
        std::remove(Host(names_[round % 4]).c_str());
        std::string error;
        if (Repair(error)) ExpectOriginals(), ++repaired;
        else EXPECT_FALSE(SystemFileSystem().Exists("S:\\" + names_[round % 4])) << error;
        WriteWholeFile(Host(names_[round % 4]), originals_[round % 4]);
    }
    // Damage a packet does not reach (duplicates, shifts, a tail cut off) still repairs.
    EXPECT_GT(repaired, 20);
}

// The index volume grows with the segments: past the count whose index fits in one segment,
// nothing is written and the refusal says so; below it, no file is larger than a segment. The
// estimate made before a split never refuses a set the volumes could be made for.
TEST_F(RecoveryTest, IndexVolumeNeverLargerThanASegment) {
    const uint64_t kSegment = 3000;
    bool refusedOnce = false, fittedOnce = false;
    for (size_t count = 6; count <= 14; ++count) {
        SCOPED_TRACE(count);
        std::system(("rm -f " + root_ + "/*").c_str());
        MakeFiles(count, kSegment);
        uint64_t total = 0, smallest = 0;
        for (const std::string& o : originals_) total += o.size();
        bool estimate = CRecoveryCreator::IndexFits(total, kSegment, 3, smallest);
        CRecoveryCreator creator(SystemFileSystem());
        std::string error;
        if (creator.Create("S:\\", "SET", names_, 1, kSegment, error)) {
            fittedOnce = true;
            EXPECT_TRUE(estimate);
            for (const std::string& w : creator.Written()) {
                FileStatus st;
                ASSERT_TRUE(SystemFileSystem().GetStatus(w, st));
                EXPECT_LE(st.size, kSegment) << w;
            }
        } else {
            refusedOnce = true;
            EXPECT_NE(error.find("index volume"), std::string::npos) << error;
            EXPECT_TRUE(CRecoverySet::FindVolumes(SystemFileSystem(), "S:\\", "SET").empty());
            if (!estimate) {
                const uint64_t least = smallest;
                EXPECT_GT(least, kSegment);
                EXPECT_TRUE(CRecoveryCreator::IndexFits(total, least, 3, smallest));
                EXPECT_FALSE(CRecoveryCreator::IndexFits(total, least - 1, 3, smallest));
            }
        }
    }
    EXPECT_TRUE(refusedOnce && fittedOnce);
}

// Cancel, seen at the first report of a stage: making volumes keeps none of them; checking and
// rebuilding leave the set as it was, nothing half made beside it. Run to the end, the bar is full.
TEST_F(RecoveryTest, CancelLeavesNothingHalfMade) {
    MakeFiles(5, 20000);
    RecordingProgress progress;
    CRecoveryCreator creator(SystemFileSystem());
    creator.SetProgress(&progress);
    std::string error;
    progress.cancelAfterPumps = 1;
    EXPECT_FALSE(creator.Create("S:\\", "SET", names_, 2, 20000, error));
    EXPECT_TRUE(creator.Cancelled() && creator.Written().empty()) << error;
    EXPECT_TRUE(CRecoverySet::FindVolumes(SystemFileSystem(), "S:\\", "SET").empty());
    progress = RecordingProgress();
    ASSERT_TRUE(creator.Create("S:\\", "SET", names_, 2, 20000, error)) << error;
    EXPECT_EQ(progress.pos, 1000);

    std::remove(Host(names_[1]).c_str());
    for (bool inCheck : {true, false}) {
        SCOPED_TRACE(inCheck ? "checking" : "rebuilding");
        progress = RecordingProgress();
        progress.cancelAfterPumps = inCheck ? 1 : -1;
        CSetRecovery recovery(SystemFileSystem());
        recovery.SetProgress(&progress);
        bool loaded = recovery.Load("S:\\" + names_[0], error);
        std::vector<std::string> rebuilt;
        std::string where;
        if (inCheck) {
            EXPECT_TRUE(!loaded && recovery.Cancelled());
        } else {
            ASSERT_TRUE(loaded) << error;
            EXPECT_EQ(progress.pos, 1000);
            progress.cancelAfterPumps = progress.pumps + 1;
            EXPECT_FALSE(recovery.Repair(false, rebuilt, where, error));
            EXPECT_TRUE(recovery.Cancelled()) << error;
        }
        EXPECT_FALSE(SystemFileSystem().Exists("S:\\" + names_[1]));
        EXPECT_NE(std::system(("ls -a " + root_ + " | grep -q zembra-repair").c_str()), 0);
    }
}

// A set of other files with the same base name must not be used to "repair" this one.
TEST_F(RecoveryTest, VolumesOfAnotherSetAreNotUsed) {
    MakeFiles(3, 2000);
    ASSERT_TRUE(Create(1, 2000));
    for (auto& n : names_) n = "X" + n;
    std::string error;
    CRecoverySet set;
    EXPECT_FALSE(set.Load(SystemFileSystem(), CRecoverySet::FindVolumes(SystemFileSystem(), "S:\\", "SET"), names_, error));
}

}  // namespace
