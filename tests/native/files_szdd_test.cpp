// Our LZ compressor against the reference expander (msexpand), and files of
// the reference compressor (mscompress) read by our expander.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "files/szdd.h"
#include "tests/native/files_testkit.h"

namespace {

std::vector<std::uint8_t> msexpand(const kit::scratch& s, const std::vector<std::uint8_t>& packed)
{
    kit::write_bytes(s / "in.lz", packed);
    std::string cmd = "msexpand < '" + (s / "in.lz") + "' > '" + (s / "out.bin") + "' 2>/dev/null";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << "msexpand refused our file";
    return kit::read_bytes(s / "out.bin");
}

std::vector<std::uint8_t> text_like(std::size_t n)
{
    static const char* words[] = {"[GENERAL]\r\n", "VENDOR=8", " ", "MODEM", "=", "AT&F", "\r\n", "    ", "VOICE"};
    std::vector<std::uint8_t> v;
    std::uint32_t seed = 7;
    while (v.size() < n) {
        seed = seed * 1103515245u + 12345u;
        const char* w = words[(seed >> 16) % 9];
        for (const char* p = w; *p && v.size() < n; ++p) v.push_back(std::uint8_t(*p));
    }
    return v;
}

struct sample {
    const char* kind;
    std::vector<std::uint8_t> data;
};

std::vector<sample> samples()
{
    std::vector<sample> out;
    for (std::size_t n : {0, 1, 2, 3, 4, 15, 16, 17, 18, 19, 100, 4079, 4080, 4095, 4096, 4097, 8192, 70001}) {
        out.push_back({"random", kit::noise(n, std::uint32_t(n) + 1)});
        out.push_back({"text", text_like(n)});
    }
    for (std::size_t n : {1, 17, 19, 4096, 4097, 9000}) {
        out.push_back({"blanks", std::vector<std::uint8_t>(n, ' ')});
        out.push_back({"zeros", std::vector<std::uint8_t>(n, 0)});
        std::vector<std::uint8_t> period(n);
        for (std::size_t i = 0; i < n; ++i) period[i] = std::uint8_t("abcdefg"[i % 7]);
        out.push_back({"period7", period});
    }
    // The parse's edges: text after a run of blanks at the start; blanks and
    // text that only the ring's initial blanks match (a match reaching into
    // them); runs of exactly the longest match and one more.
    auto text = [](const char* t) { return std::vector<std::uint8_t>(t, t + std::strlen(t)); };
    out.push_back({"blank start", text("          \r\n[GENERAL]\r\nVENDOR=8\r\n       VENDOR=8\r\n")});
    out.push_back({"into the blanks", text("AB\r\nxyz   AB\r\n  xyz  AB  xyz")});
    for (std::size_t run : {18, 19, 36, 37}) {
        std::vector<std::uint8_t> v = kit::noise(20, std::uint32_t(run));
        v.insert(v.end(), run, 'x');
        std::vector<std::uint8_t> tail = kit::noise(30, 77);
        v.insert(v.end(), tail.begin(), tail.end());
        v.insert(v.end(), run, 'x');
        out.push_back({"runs", v});
    }
    // Repeats at the largest distances the ring allows, and just beyond.
    for (std::size_t gap : {4078, 4095, 4096, 4097}) {
        std::vector<std::uint8_t> v = kit::noise(40, 99);
        std::vector<std::uint8_t> filler = kit::noise(gap - 40, 5);
        v.insert(v.end(), filler.begin(), filler.end());
        std::vector<std::uint8_t> head(v.begin(), v.begin() + 40);
        v.insert(v.end(), head.begin(), head.end());
        out.push_back({"far repeat", v});
    }
    return out;
}

TEST(SzddCompress, EveryLengthAndKindRoundTripsThroughTheReferenceExpander)
{
    kit::scratch s;
    for (const sample& x : samples()) {
        std::vector<std::uint8_t> packed;
        szdd_compress(x.data.data(), x.data.size(), 'T', &packed);
        ASSERT_TRUE(szdd_iscompressed(packed.data(), packed.size())) << x.kind << " " << x.data.size();
        EXPECT_EQ(msexpand(s, packed), x.data) << x.kind << " of " << x.data.size() << " bytes";
        std::vector<std::uint8_t> ours;
        EXPECT_TRUE(szdd_expand(packed.data(), packed.size(), &ours)) << x.kind << " " << x.data.size();
        EXPECT_EQ(ours, x.data) << x.kind << " of " << x.data.size() << " bytes, our expander";
    }
}

// A match at the start that reaches back into the ring's initial blanks.
TEST(SzddCompress, MatchesReachIntoTheInitialBlanks)
{
    const char text[] = "AB\r\nxyz   AB\r\n";
    std::vector<std::uint8_t> data(text, text + sizeof text - 1);
    std::vector<szdd_match> m(data.size());
    szdd_find_matches(data.data(), data.size(), 0, data.size(), m.data());
    EXPECT_EQ(m[0].length, 0) << "nothing before AB but blanks";
    // "   AB\r\n" at 7 equals the three blanks before the text and its start.
    EXPECT_EQ(m[7].length, 7);
    EXPECT_EQ(m[7].distance, 10);
}

// The cheapest parse, checked against one computed here the slow way: the
// longest match at every position over every distance, then the cheapest way
// on from each position (9 bits a literal, 17 a match).
TEST(SzddCompress, ParseIsAsCheapAsTheExhaustiveOptimum)
{
    // Noise with copies of its own pieces (3 to 30 bytes, from up to 5000
    // back), so that greedy choices cost: short matches that overlap longer
    // ones.
    std::vector<std::uint8_t> copies = kit::noise(64, 1);
    std::uint32_t seed = 3;
    auto next = [&seed](std::uint32_t n) { return ((seed = seed * 1103515245u + 12345u) >> 8) % n; };
    while (copies.size() < 20000) {
        std::size_t len = 3 + next(28), back = 1 + next(std::uint32_t(std::min<std::size_t>(copies.size(), 5000)));
        for (std::size_t k = 0; k < len; ++k) copies.push_back(copies[copies.size() - back]);
        std::vector<std::uint8_t> gap = kit::noise(next(6), seed);
        copies.insert(copies.end(), gap.begin(), gap.end());
    }
    std::vector<sample> inputs = {{"copies", copies}, {"random", kit::noise(3000, 5)}};
    for (const sample& x : inputs) {
        const std::vector<std::uint8_t>& d = x.data;
        std::vector<std::uint8_t> seen(SZDD_WINDOW, ' ');
        seen.insert(seen.end(), d.begin(), d.end());
        std::vector<std::size_t> cost(d.size() + 1, 0);
        for (std::size_t i = d.size(); i-- > 0;) {
            std::size_t longest = 0, at = i + SZDD_WINDOW;
            for (std::size_t back = 1; back <= SZDD_WINDOW; ++back) {
                std::size_t len = 0;
                while (len < 18 && i + len < d.size() && seen[at - back + len] == seen[at + len]) ++len;
                longest = std::max(longest, len);
            }
            cost[i] = cost[i + 1] + 9;
            for (std::size_t len = 3; len <= longest; ++len) cost[i] = std::min(cost[i], cost[i + len] + 17);
        }
        std::vector<std::uint8_t> packed;
        szdd_compress(d.data(), d.size(), 'T', &packed);
        // Bits of ours, counted from the stream: 9 per literal, 17 per match.
        std::size_t bits = 0, in = SZDD_HEADER, produced = 0;
        while (produced < d.size()) {
            std::uint8_t flags = packed[in++];
            for (int k = 0; k < 8 && produced < d.size(); ++k) {
                if (flags >> k & 1) bits += 9, in += 1, produced += 1;
                else bits += 17, produced += std::size_t(packed[in + 1] % 16 + 3), in += 2;
            }
        }
        // No parse is cheaper than the optimum; ours may lose a little where
        // the chains are cut short, far less than a greedy parse (0.7 % here).
        EXPECT_GE(bits, cost[0]) << x.kind;
        EXPECT_LE(bits, cost[0] + cost[0] * 3 / 1000) << x.kind;
    }
}

// Pieces of a file searched apart (as threads do) find what one search finds.
TEST(SzddCompress, MatchesDoNotDependOnThePieces)
{
    std::vector<std::uint8_t> d = text_like(30000);
    std::vector<std::uint8_t> rnd = kit::noise(5000, 2);
    d.insert(d.begin() + 10000, rnd.begin(), rnd.end());
    std::vector<szdd_match> whole(d.size()), pieces(d.size());
    szdd_find_matches(d.data(), d.size(), 0, d.size(), whole.data());
    for (std::size_t from : {0, 100, 4097, 4200, 12000, 20000})
        szdd_find_matches(d.data(), d.size(), from, d.size(), pieces.data() + from);
    for (std::size_t i = 0; i < d.size(); ++i) {
        ASSERT_EQ(pieces[i].length, whole[i].length) << "at " << i;
        ASSERT_EQ(pieces[i].distance, whole[i].distance) << "at " << i;
    }
}

TEST(SzddCompress, HeaderCarriesTheSizeAndTheMissingCharacter)
{
    std::vector<std::uint8_t> data = text_like(300000);
    std::vector<std::uint8_t> packed;
    szdd_compress(data.data(), data.size(), 'L', &packed);
    EXPECT_EQ(packed[9], 'L');
    EXPECT_EQ(packed[10] | packed[11] << 8 | packed[12] << 16 | packed[13] << 24, 300000);
    EXPECT_LT(packed.size(), data.size() / 2) << "text should compress well";
}

TEST(SzddCompress, EmptyInputIsAHeaderOnly)
{
    std::vector<std::uint8_t> packed;
    szdd_compress(nullptr, 0, 0, &packed);
    EXPECT_EQ(packed.size(), std::size_t(SZDD_HEADER));
}

TEST(SzddExpand, ReadsFilesOfTheReferenceCompressor)
{
    kit::scratch s;
    for (std::size_t n : {16, 17, 100, 4096, 4097, 65536}) {
        for (int kind = 0; kind < 2; ++kind) {
            std::vector<std::uint8_t> data = kind ? kit::noise(n, 3) : text_like(n);
            kit::write_bytes(s / "ref.txt", data);
            std::string cmd = "cd '" + s.dir() + "' && rm -f ref.tx_ ref.txt_ && mscompress ref.txt >/dev/null 2>&1";
            ASSERT_EQ(std::system(cmd.c_str()), 0);
            std::vector<std::uint8_t> packed = kit::read_bytes(s / "ref.txt_");
            ASSERT_TRUE(szdd_iscompressed(packed.data(), packed.size())) << n;
            std::vector<std::uint8_t> out;
            EXPECT_TRUE(szdd_expand(packed.data(), packed.size(), &out)) << n;
            EXPECT_EQ(out, data) << "kind " << kind << ", " << n << " bytes";
        }
    }
}

TEST(SzddExpand, RefusesAFileCutShort)
{
    std::vector<std::uint8_t> data = kit::noise(5000, 11);
    std::vector<std::uint8_t> packed;
    szdd_compress(data.data(), data.size(), 'X', &packed);
    for (std::size_t keep : {std::size_t(0), std::size_t(13), std::size_t(14), packed.size() / 2, packed.size() - 1}) {
        std::vector<std::uint8_t> out;
        EXPECT_FALSE(szdd_expand(packed.data(), keep, &out)) << "kept " << keep << " bytes";
    }
}

}  // namespace
