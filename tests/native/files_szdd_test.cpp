// Our LZ compressor against the reference expander (msexpand), and files of
// the reference compressor (mscompress) read by our expander.
#include <gtest/gtest.h>

#include <cstdlib>
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
