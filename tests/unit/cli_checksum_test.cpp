// zembra-cli's SHA-256 against the FIPS 180-4 examples, fed whole and in odd pieces, and the
// progress line held to the terminal's width.
#include <gtest/gtest.h>

#include "checksum/sha256.h"
#include "cli/terminal_progress.h"

namespace {

TEST(CliSha256, FipsExamples) {
    struct Case {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    // The processor's SHA instructions where it has them, and the portable code.
    for (bool accelerated : {true, false})
    for (const Case& c : cases) {
        SCOPED_TRACE(CSha256::SetAccelerated(accelerated) ? "accelerated" : "portable");
        CSha256 whole;
        whole.Update(c.message.data(), c.message.size());
        EXPECT_EQ(whole.HexDigest(), c.digest) << c.message.size();
        // Pieces that straddle the 64-byte blocks and the 56-byte padding edge.
        CSha256 pieces;
        size_t at = 0, piece = 1;
        while (at < c.message.size()) {
            size_t n = std::min(piece, c.message.size() - at);
            pieces.Update(c.message.data() + at, n);
            at += n;
            piece = piece * 3 % 67 + 1;
        }
        EXPECT_EQ(pieces.HexDigest(), c.digest) << c.message.size();
    }
    CSha256::SetAccelerated(true);
}

TEST(CliProgress, LineFitsTheTerminal) {
    TerminalProgress::Status s;
    s.percent = 42;
    s.done = 123456789;
    s.total = 293456789;
    s.seconds = 10;
    s.segment = "backup_12.SEG";
    s.file = "/home/user/a rather long folder name/with more inside/and the file name.bin";
    for (int width : {20, 40, 60, 80, 200}) {
        std::string line = TerminalProgress::FormatLine(s, width);
        EXPECT_LE(line.size(), static_cast<size_t>(width - 1)) << width;
        EXPECT_EQ(line.rfind("42% 123 MB/293 MB", 0), 0u) << line;
    }
    std::string wide = TerminalProgress::FormatLine(s, 200);
    EXPECT_NE(wide.find("12.3 MB/s 0:14 left  backup_12.SEG  /home/user/"), std::string::npos) << wide;
    // Cut from the front: the file's name stays in view.
    std::string narrow = TerminalProgress::FormatLine(s, 80);
    EXPECT_NE(narrow.find("...") , std::string::npos) << narrow;
    EXPECT_EQ(narrow.substr(narrow.size() - 17), "the file name.bin");
    EXPECT_EQ(TerminalProgress::HumanBytes(999), "999 B");
    EXPECT_EQ(TerminalProgress::HumanBytes(1500000), "1.5 MB");
}

}  // namespace
