// ZyXEL ADPCM against pvftools: the greedy encoder's bytes and the decoder's
// samples equal the committed vectors (voice_vectors/make-zyxel.sh), the
// search ahead decodes at least as well in any block size, and a round trip
// goes through rmdtopvf itself where it is installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/native/voice_vectorkit.h"
#include "voice/zyxel.h"

namespace {

using namespace vectorkit;

bytes encode(const samples& x, int bits, vc::search_shape shape, std::size_t block)
{
    vc::zyxel_coder c;
    vc::zyxel_start(&c, bits, shape);
    bytes out(x.size() + 2);
    std::size_t n = 0;
    for (std::size_t i = 0; i < x.size(); i += block) {
        const std::size_t k = std::min(block, x.size() - i);
        const std::size_t got = vc::zyxel_encode(&c, x.data() + i, k, out.data() + n);
        EXPECT_LE(got, ((k + vc::ZYXEL_RUN + vc::SEARCH_MAXDEPTH) * bits + 7) / 8) << "block at " << i;
        n += got;
    }
    n += vc::zyxel_flush(&c, out.data() + n);
    out.resize(n);
    return out;
}

samples decode(const bytes& codes, int bits)
{
    vc::zyxel_decoder d;
    vc::zyxel_decoder_start(&d, bits);
    samples y(codes.size() * 4);
    y.resize(vc::zyxel_decode(&d, codes.data(), codes.size(), y.data(), y.size()));
    return y;
}

TEST(ZyxelCoder, GreedyCodesAndDecodingMatchPvftools)
{
    const samples x = sample_file("zyxel_input.s16");
    ASSERT_GT(x.size(), 2000u);
    for (int bits = 2; bits <= 4; ++bits) {
        SCOPED_TRACE("bits " + std::to_string(bits));
        const bytes ref = rmd_codes(vector_file("zyxel_" + std::to_string(bits) + ".rmd"));
        // pvftormd pads its last byte with codes of its own: compare the whole bytes.
        const std::size_t whole = x.size() * bits / 8;
        ASSERT_GE(ref.size(), whole);
        for (std::size_t block : {x.size(), std::size_t(24), std::size_t(7)}) {
            const bytes ours = encode(x, bits, {1, 1}, block);
            ASSERT_EQ(ours.size(), (x.size() * bits + 7) / 8) << "block " << block;
            for (std::size_t i = 0; i < whole; ++i)
                ASSERT_EQ(ours[i], ref[i]) << "block " << block << ": byte " << i << " of " << whole;
        }
        const samples want = sample_file("zyxel_" + std::to_string(bits) + ".s16");
        EXPECT_EQ(decode(ref, bits), want) << "our decoding of pvftormd's codes differs from rmdtopvf's";

        // One byte at a time, into a buffer one sample short: the same samples, the last dropped.
        vc::zyxel_decoder d;
        vc::zyxel_decoder_start(&d, bits);
        samples bytewise(want.size() - 1);
        std::size_t n = 0;
        for (std::uint8_t b : ref) n += vc::zyxel_decode(&d, &b, 1, bytewise.data() + n, bytewise.size() - n);
        ASSERT_EQ(n, bytewise.size());
        EXPECT_TRUE(std::equal(bytewise.begin(), bytewise.end(), want.begin())) << "byte-wise decoding differs";
    }
    // Codes no encoder sends: the reset code and steps grown past 32 bits.
    EXPECT_EQ(decode(rmd_codes(vector_file("zyxel_reset.rmd")), 4), sample_file("zyxel_reset.s16"))
        << "our decoding of the reset code or of runaway steps differs from rmdtopvf's";
}

TEST(ZyxelCoder, SearchDecodesAtLeastAsWellInAnyBlocks)
{
    // A few seconds: long enough that the SNR of a block size is not the luck of a few decisions.
    const samples x = synthetic_prompt(9600, 3, 28);
    for (int bits = 2; bits <= 4; ++bits) {
        SCOPED_TRACE("bits " + std::to_string(bits));
        const double greedy = snr(x, decode(encode(x, bits, {1, 1}, 1024), bits));
        const bytes small = encode(x, bits, vc::ZYXEL_SEARCH, 24);
        const bytes large = encode(x, bits, vc::ZYXEL_SEARCH, 1024);
        // The codes are decided in runs of their own, whatever the blocks.
        EXPECT_TRUE(small == large) << "blocks of 24 and of 1024 samples code differently";
        const double search = snr(x, decode(large, bits));
        EXPECT_GE(search, greedy + 0.5) << "search " << search << " dB, greedy " << greedy << " dB";
    }
    // At 4 bits code 0 (the modem's reset) is never sent, nor padded with at
    // the end of an odd number of samples.
    const samples odd(x.begin(), x.begin() + 4001);
    for (vc::search_shape shape : {vc::search_shape{1, 1}, vc::ZYXEL_SEARCH}) {
        const bytes codes = encode(odd, 4, shape, 1000);
        ASSERT_EQ(codes.size(), 2001u);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            ASSERT_NE(codes[i] >> 4, 0) << "code 0 at byte " << i << ", search width " << shape.width;
            ASSERT_NE(codes[i] & 15, 0) << "code 0 at byte " << i << ", search width " << shape.width;
        }
    }
    // The vector, with its full-scale square wave: the search keeps the
    // state in range there and still decodes at least as well.
    const samples v = sample_file("zyxel_input.s16");
    for (int bits = 2; bits <= 4; ++bits) {
        const double greedy = snr(v, decode(encode(v, bits, {1, 1}, 320), bits));
        const double search = snr(v, decode(encode(v, bits, vc::ZYXEL_SEARCH, 320), bits));
        EXPECT_GE(search, greedy) << bits << " bits";
    }
}

TEST(ZyxelCoder, BitsOutOfRangeCodeFourBits)
{
    const samples x = sample_file("zyxel_input.s16");
    EXPECT_EQ(encode(x, 9, {1, 1}, 100), encode(x, 4, {1, 1}, 100));
    const bytes b = {0x12, 0x9F, 0x70};
    EXPECT_EQ(decode(b, 0), decode(b, 4));
}

// rmdtopvf is the modem's stand-in: our search output and a stream with the
// reset code and runaway steps decode there as here.
TEST(ZyxelCoder, RoundTripThroughRmdtopvf)
{
    if (!have_pvftools()) GTEST_SKIP() << "pvftools not installed";
    const samples x = sample_file("zyxel_input.s16");
    bytes hostile(40, 0x77);
    hostile[3] = 0x07;
    hostile[20] = 0x0F;
    for (int bits = 2; bits <= 4; ++bits) {
        for (const bytes& codes : {encode(x, bits, vc::ZYXEL_SEARCH, 320), hostile}) {
            samples theirs;
            ASSERT_NO_FATAL_FAILURE(rmdtopvf(rmd_file("ZyXEL 2864", bits, 9600, codes), &theirs));
            EXPECT_EQ(theirs, decode(codes, bits)) << "rmdtopvf decodes " << bits << "-bit codes otherwise";
        }
    }
}

}  // namespace
