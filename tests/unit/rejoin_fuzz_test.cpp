// Bounded mutation fuzzing of the rejoin walk (the libFuzzer target does the same unbounded):
// mutated sets never crash, hang or write outside the destination, and a stop always comes
// with its one message.
#include <gtest/gtest.h>

#include <random>

#include "fuzz/rejoin_fuzz_case.h"
#include "rejoin_fixture.h"

namespace {

// A fuzz input: segment count, 16-bit lengths of the first parts, then the parts (each with
// its flag byte first); the case adds the image and trailer to the first.
std::string Encode(const CraftedSet& set, const std::vector<size_t>& cuts) {
    std::string out(1, char(cuts.size()));
    std::string parts;
    size_t from = 0;
    for (size_t i = 0; i <= cuts.size(); ++i) {
        size_t to = i < cuts.size() ? cuts[i] : set.Stream().size();
        std::string part = std::string(1, i == cuts.size() ? '\1' : '\0') + set.Stream().substr(from, to - from);
        if (i < cuts.size()) out += CraftedSet::Le32(uint32_t(part.size())).substr(0, 2);
        parts += part;
        from = to;
    }
    return out + parts;
}

std::vector<std::string> Seeds() {
    CraftedSet tree;
    tree.Folder("a").Folder("b", 1).File("f", std::string(300, 'f'), 2).File("e", "", 1).File("g", "gg");
    CraftedSet orphans;
    orphans.Folder("x", 4).File("y", "yy", 9).Folder("z").File("w", "w", 1);
    CraftedSet hostile;
    hostile.Folder("d").File("..\\up", "up", 1).File("ok", "ok");
    // Against a destination holding links a, b and c (bit 6 of the first byte).
    CraftedSet intoLinks;
    intoLinks.Folder("a").File("x", "x", 1).File("b", "over").File("c", "new").File("ok", "ok");
    std::string linked = Encode(intoLinks, {});
    linked[0] = char(linked[0] | 0x40);
    return {Encode(tree, {}), Encode(tree, {40, 200}), Encode(tree, {33, 34, 300}), Encode(orphans, {22}),
            Encode(hostile, {}), linked};
}

void Mutate(std::string& s, std::mt19937& gen) {
    static const char kInteresting[] = {0, 1, '\x10', '\x7f', '\x80', '\xff', '\\', '/', '.', ':', '_'};
    int ops = 1 + int(gen() % 4);
    for (int i = 0; i < ops; ++i) {
        size_t at = s.empty() ? 0 : gen() % s.size();
        switch (gen() % 6) {
            case 0: if (!s.empty()) s[at] = char(s[at] ^ (1 << (gen() % 8))); break;
            case 1: if (!s.empty()) s[at] = kInteresting[gen() % sizeof kInteresting]; break;
            case 2: s.insert(at, std::string(1 + gen() % 8, char(gen()))); break;
            case 3: s.erase(at, 1 + gen() % 16); break;
            case 4: s.insert(at, s.substr(gen() % (s.size() + 1), 1 + gen() % 32)); break;
            case 5: s.resize(at); break;
        }
    }
}

TEST(RejoinFuzz, MutatedSetsStayInsideTheDestination) {
    rejoin_fuzz::Sandbox sandbox;
    std::mt19937 gen(20261207);
    auto seeds = Seeds();
    int stops = 0, whole = 0;
    for (const std::string& seed : seeds) {
        auto outcome = sandbox.Run(reinterpret_cast<const uint8_t*>(seed.data()), seed.size());
        EXPECT_EQ(outcome.fault, "");
        whole += outcome.result;
    }
    EXPECT_GE(whole, 4);  // the seeds are sound sets
    for (int i = 0; i < 5000; ++i) {
        std::string input = seeds[gen() % seeds.size()];
        Mutate(input, gen);
        auto outcome = sandbox.Run(reinterpret_cast<const uint8_t*>(input.data()), input.size());
        ASSERT_EQ(outcome.fault, "") << "case " << i;
        stops += outcome.result == 0;
    }
    EXPECT_GT(stops, 100);  // the mutations do reach the refusals
}

}  // namespace
