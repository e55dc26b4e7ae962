// Checksums made on a second thread: the stream hasher against the FIPS 180-4 examples on both
// code paths, its bounded queue, and the digests a split makes as it writes against the files
// it wrote; and the rejoin's hashing ahead of the reader.
#include <cstdio>
#include <cstring>
#include <map>

#include "cli/segment_hash_ahead.h"
#include "cli/segment_hasher.h"
#include "checksum/set_checksums.h"
#include "checksum/sha256.h"
#include "cli/stream_hasher.h"
#include "unit/engine_fixture.h"

namespace {

const std::string kOut = "D:\\out\\";

TEST(StreamHasher, FipsExamplesInPiecesOfEverySize) {
    struct Case {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        // Nearly eight blocks of the queue: the caller must wait for the worker to free one.
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(8000000, 'a'), nullptr},
    };
    // Streams queued one after another without waiting, so the workers hash several at once;
    // each stream starts afresh after the last ended.
    CStreamHasher hasher;
    for (bool accelerated : {true, false}) {
        SCOPED_TRACE(CSha256::SetAccelerated(accelerated) ? "accelerated" : "portable");
        std::map<std::string, std::string> wanted;
        for (const Case& c : cases) {
            std::string expected = c.digest ? c.digest : "";
            if (expected.empty()) {
                CSha256 one;
                one.Update(c.message.data(), c.message.size());
                expected = one.HexDigest();
            }
            // Whole, in 1 MiB pieces that fill blocks exactly, and in odd pieces across them.
            for (size_t piece : {c.message.size() + 1, CStreamHasher::kBlockSize, size_t(65537), size_t(7)}) {
                if (piece == 7 && c.message.size() > 100000) continue;
                for (size_t at = 0; at < c.message.size(); at += piece)
                    hasher.Add(c.message.data() + at, std::min(piece, c.message.size() - at));
                std::string name = std::to_string(accelerated) + " " + std::to_string(c.message.size()) + " in " + std::to_string(piece);
                hasher.End(name);
                wanted[name] = expected;
            }
        }
        // The last one alone, as a caller that wants one digest asks for it.
        hasher.Add("abc", 3);
        EXPECT_EQ(hasher.Finish(), cases[1].digest);
        for (const auto& [name, digest] : hasher.Digests()) {
            if (name.rfind(std::to_string(accelerated), 0) == 0) {
                EXPECT_EQ(digest, wanted[name]) << name;
            }
        }
        EXPECT_EQ(hasher.Digests().size(), wanted.size() * (accelerated ? 1 : 2));
    }
    CSha256::SetAccelerated(true);
}

class SplitHashing : public EngineTest {};

// Every segment closed with its flag as first written has its digest at once, equal to the
// file's; the last one (flag 1) is left to be read, and the checksum file lists all alike.
TEST_F(SplitHashing, DigestsOfTheRunMatchTheWrittenSegments) {
    MkDir("D:\\src");
    Put("D:\\src\\big", Bytes(700000));
    Put("D:\\src\\small", Bytes(1000, 'k'));
    MkDir(kOut);
    for (uint64_t size : {uint64_t(250000), uint64_t(10000000)}) {
        SCOPED_TRACE(size);
        auto e = Engine();
        CSegmentHasher hasher;
        e->SetSegmentSink(&hasher);
        e->AddItem("D:\\src\\big");
        e->AddItem("D:\\src\\small");
        if (size > 250000) prompts_.Then(PromptAnswer::Yes);  // the second run overwrites the first
        ASSERT_TRUE(e->Split(kOut, "B", size)) << (prompts_.shown.empty() ? "" : prompts_.Texts().back());
        int count = e->SegmentCount();
        EXPECT_EQ(count, size == 250000 ? 3 : 1);
        ASSERT_EQ(hasher.Digests().size(), size_t(count - 1));
        for (int n = 1; n <= count; ++n) {
            std::string path = kOut + CSplitEngine::SegmentName("B", n), onDisk;
            ASSERT_TRUE(CSetChecksums::HashFile(SystemFileSystem(), path, onDisk));
            auto it = hasher.Digests().find(path);
            if (n < count) {
                ASSERT_NE(it, hasher.Digests().end()) << n;
                EXPECT_EQ(it->second, onDisk) << n;
            } else {
                EXPECT_EQ(it, hasher.Digests().end());
            }
        }
        std::string error;
        ASSERT_TRUE(CSetChecksums::Write(SystemFileSystem(), kOut, "B", count, error, &hasher.Digests())) << error;
        CSetChecksums written;
        ASSERT_TRUE(written.Read(SystemFileSystem(), kOut + "B.sha256"));
        for (int n = 1; n <= count; ++n) {
            std::string name = CSplitEngine::SegmentName("B", n), onDisk;
            CSetChecksums::HashFile(SystemFileSystem(), kOut + name, onDisk);
            EXPECT_EQ(written.Expected(name), onDisk) << n;
        }
    }
}

class HashAhead : public EngineTest {};

// The worker hands over the segments after the current one in order, each the very file it
// hashed even when the name is replaced meanwhile, and stops at the first without a line.
TEST_F(HashAhead, HandsOverTheHashedFilesInOrderAndStopsWhereTheLinesEnd) {
    MkDir("D:\\set");
    std::string sums;
    for (int n = 1; n <= 4; ++n) {
        std::string name = CSplitEngine::SegmentName("S", n), bytes = Bytes(n == 2 ? 3000000 : 1000 * n, char('a' + n));
        Put("D:\\set\\" + name, bytes);
        CSha256 sha;
        sha.Update(bytes.data(), bytes.size());
        if (n != 3) sums += sha.HexDigest() + "  " + name + "\n";
    }
    Put("D:\\set\\S.sha256", sums);
    CSetChecksums lines;
    ASSERT_TRUE(lines.Read(SystemFileSystem(), "D:\\set\\S.sha256"));
    auto path = [](int n) { return "D:\\set\\" + CSplitEngine::SegmentName("S", n); };

    CSegmentHashAhead ahead(SystemFileSystem(), lines);
    ahead.StartAfter(path(1));
    CSegmentHashAhead::Hashed two;
    ASSERT_TRUE(ahead.Take(path(2), two));
    EXPECT_EQ(two.hex, lines.Expected("S_2.SEG"));
    // Another file under the name now: what is read is still what was hashed.
    Put("D:\\set\\other", Bytes(10, 'z'));
    ASSERT_EQ(std::rename(Host("D:\\set\\other").c_str(), Host(path(2)).c_str()), 0);
    std::string head(5, '\0');
    ASSERT_EQ(two.file->Read(&head[0], 5), 5);
    EXPECT_EQ(head, Bytes(3000000, 'c').substr(0, 5));

    CSegmentHashAhead::Hashed other;
    EXPECT_FALSE(ahead.Take(path(3), other));  // no line: the reader opens it itself
    ahead.StartAfter(path(3));
    ASSERT_TRUE(ahead.Take(path(4), other));
    EXPECT_EQ(other.hex, lines.Expected("S_4.SEG"));
    ahead.StartAfter(path(1));
    EXPECT_FALSE(ahead.Take(path(4), other));  // the reader went another way than the worker
}

// Both threads hash (the reader takes on a later segment while its own is still being hashed):
// whoever hashed it, each segment comes with its own digest and file, in order, and a segment
// that cannot be read is left to the reader without holding up the ones before it.
TEST_F(HashAhead, EverySegmentComesWithItsOwnDigestWhicheverThreadHashedIt) {
    MkDir("D:\\set");
    const int kSegments = 12;
    std::string sums;
    for (int n = 1; n <= kSegments; ++n) {
        std::string name = CSplitEngine::SegmentName("S", n), bytes = Bytes(n % 3 == 0 ? 2000000 : 700 * n, char('a' + n));
        Put("D:\\set\\" + name, bytes);
        CSha256 sha;
        sha.Update(bytes.data(), bytes.size());
        sums += sha.HexDigest() + "  " + name + "\n";
    }
    Put("D:\\set\\S.sha256", sums);
    CSetChecksums lines;
    ASSERT_TRUE(lines.Read(SystemFileSystem(), "D:\\set\\S.sha256"));
    auto path = [](int n) { return "D:\\set\\" + CSplitEngine::SegmentName("S", n); };
    ASSERT_EQ(std::remove(Host(path(9)).c_str()), 0);

    for (int round = 0; round < 20; ++round) {
        CSegmentHashAhead ahead(SystemFileSystem(), lines);
        ahead.StartAfter(path(1));
        for (int n = 2; n <= 8; ++n) {
            CSegmentHashAhead::Hashed got;
            ASSERT_TRUE(ahead.Take(path(n), got)) << n;
            std::string name = CSplitEngine::SegmentName("S", n);
            EXPECT_EQ(got.path, path(n));
            EXPECT_EQ(got.hex, lines.Expected(name)) << n;
            char first = 0;
            ASSERT_EQ(got.file->Read(&first, 1), 1);
            EXPECT_EQ(first, char('a' + n)) << n;
        }
        CSegmentHashAhead::Hashed missing;
        EXPECT_FALSE(ahead.Take(path(9), missing));
    }
}

}  // namespace
