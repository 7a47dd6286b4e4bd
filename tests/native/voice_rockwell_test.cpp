// The Rockwell ADPCM coder against pvftools' encoder and decoder (vectors made
// by tests/native/voice_vectors/make-rockwell.sh), the search ahead, the block
// lengths of the installer and the in-band silence word.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/native/voice_vectorkit.h"
#include "voice/rockwell.h"

namespace {

using namespace vectorkit;

samples input() { return sample_file("rockwell_input.raw"); }

// Codes x in blocks of `block` samples (the installer's blocks) and finishes the stream.
bytes encode(const samples& x, int bits, vc::search_shape shape, std::size_t block)
{
    vc::rockwell_coder c;
    vc::rockwell_start(&c, bits, shape);
    bytes out(x.size() + 16);
    std::size_t n = 0;
    for (std::size_t at = 0; at < x.size(); at += block) {
        const std::size_t len = std::min(block, x.size() - at);
        n += vc::rockwell_encode(&c, x.data() + at, len, out.data() + n);
    }
    n += vc::rockwell_finish(&c, out.data() + n);
    out.resize(n);
    return out;
}

samples decode(const bytes& stream, int bits, std::size_t piece = 1 << 20)
{
    vc::rockwell_decoder d;
    vc::rockwell_decoder_start(&d, bits);
    samples y(stream.size() * 8 / bits + 8 + 32768);  // room for a silence
    std::size_t n = 0;
    for (std::size_t at = 0; at < stream.size(); at += piece)
        n += vc::rockwell_decode(&d, stream.data() + at, std::min(piece, stream.size() - at), y.data() + n, y.size() - n);
    n += vc::rockwell_decode_finish(&d, y.data() + n, y.size() - n);
    y.resize(n);
    return y;
}

std::size_t first_difference(const bytes& a, const bytes& b)
{
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return i;
}

class RockwellVectors : public ::testing::TestWithParam<int> {};

TEST_P(RockwellVectors, ThresholdEncoderIsTheReferenceEncoderByteForByte)
{
    const int bits = GetParam();
    const samples x = input();
    ASSERT_EQ(x.size(), 2400u) << "vectors missing: run tests/native/voice_vectors/make-rockwell.sh";
    const bytes rmd = vector_file("rockwell_" + std::to_string(bits) + ".rmd");
    ASSERT_GT(rmd.size(), RMD_HEADER);
    const bytes expected = rmd_codes(rmd);
    // In one piece, in the installer's blocks, and in odd pieces that leave bytes half full.
    for (std::size_t block : {std::size_t(2400), std::size_t(24), std::size_t(1024), std::size_t(7)}) {
        const bytes ours = encode(x, bits, vc::ROCKWELL_THRESHOLDS, block);
        EXPECT_EQ(ours.size(), expected.size()) << bits << " bits, blocks of " << block;
        EXPECT_EQ(first_difference(ours, expected), expected.size())
            << bits << " bits, blocks of " << block << ": first differing byte";
    }
}

TEST_P(RockwellVectors, DecoderReproducesTheReferenceDecoding)
{
    const int bits = GetParam();
    const bytes rmd = vector_file("rockwell_" + std::to_string(bits) + ".rmd");
    const samples expected = sample_file("rockwell_" + std::to_string(bits) + ".dec");
    ASSERT_FALSE(expected.empty());
    for (std::size_t piece : {std::size_t(1) << 20, std::size_t(3)}) {
        const samples ours = decode(rmd_codes(rmd), bits, piece);
        ASSERT_EQ(ours.size(), expected.size()) << bits << " bits, pieces of " << piece;
        std::size_t i = 0;
        while (i < ours.size() && ours[i] == expected[i]) ++i;
        EXPECT_EQ(i, ours.size()) << bits << " bits: sample " << i << " decodes differently";
    }
}

TEST_P(RockwellVectors, SearchDecodesAtLeastAsWellAsTheReference)
{
    const int bits = GetParam();
    const samples x = input();
    const double reference = snr(x, sample_file("rockwell_" + std::to_string(bits) + ".dec"));
    const double ours = snr(x, decode(encode(x, bits, vc::ROCKWELL_SEARCH, 24), bits));
    EXPECT_GE(ours, reference) << bits << " bits: search " << ours << " dB, reference " << reference << " dB";
    const double greedy_by_error = snr(x, decode(encode(x, bits, vc::search_shape{1, 1}, 24), bits));
    EXPECT_GE(ours, greedy_by_error) << bits << " bits: looking ahead must not lose to choosing sample by sample";
}

TEST_P(RockwellVectors, BlocksOf48And2048BytesDecodeAlike)
{
    const int bits = GetParam();
    const samples x = input();
    const bytes small = encode(x, bits, vc::ROCKWELL_SEARCH, 24), large = encode(x, bits, vc::ROCKWELL_SEARCH, 1024);
    EXPECT_EQ(small.size(), large.size());
    const double a = snr(x, decode(small, bits)), b = snr(x, decode(large, bits));
    EXPECT_NEAR(a, b, 0.1) << bits << " bits: blocks of 24 samples " << a << " dB, of 1024 " << b << " dB";
}

INSTANTIATE_TEST_SUITE_P(Widths, RockwellVectors, ::testing::Values(2, 3, 4));

// Inputs that lead the threshold encoder to the codes wanted, one after the other.
samples steer(int bits, const std::vector<unsigned>& wanted)
{
    vc::rockwell_state s;
    vc::rockwell_reset(&s);
    samples x;
    for (unsigned code : wanted) {
        // The code grows with the input: the smallest input that reaches it.
        std::int32_t lo = -32768, hi = 32767;
        while (lo < hi) {
            const std::int32_t mid = lo + (hi - lo) / 2;
            if (vc::rockwell_threshold_code(&s, bits, std::int16_t(mid)) >= code)
                hi = mid;
            else
                lo = mid + 1;
        }
        EXPECT_EQ(vc::rockwell_threshold_code(&s, bits, std::int16_t(lo)), code) << "no input gives code " << code;
        x.push_back(std::int16_t(lo));
        vc::rockwell_decode_step(&s, bits, code);
        s.x = std::int16_t(lo);
    }
    return x;
}

// The codes of the silence word, in stream order (the last one's bits beyond the word 0).
std::vector<unsigned> silence_codes(int bits)
{
    const unsigned word = vc::rockwell_silence_word(bits);
    std::vector<unsigned> codes;
    for (int at = 0; at < 16; at += bits) codes.push_back((word >> at) & ((1u << bits) - 1));
    return codes;
}

TEST(RockwellSilenceWord, NeverCompleted)
{
    for (int bits : {2, 3, 4}) {
        const std::vector<unsigned> wanted = silence_codes(bits);
        const samples x = steer(bits, wanted);
        const unsigned word = vc::rockwell_silence_word(bits);
        for (vc::search_shape shape : {vc::ROCKWELL_THRESHOLDS, vc::ROCKWELL_SEARCH}) {
            const bytes out = encode(x, bits, shape, x.size());
            ASSERT_GE(out.size(), 2u);
            EXPECT_NE(unsigned(out[0] | (out[1] << 8)), word) << bits << " bits, depth " << shape.depth;
        }
        // Only the code that completes the word changes: the codes before it stay the classic ones.
        const bytes out = encode(x, bits, vc::ROCKWELL_THRESHOLDS, x.size());
        const unsigned before = unsigned(wanted.size() - 1) * unsigned(bits);
        const unsigned mask = (1u << before) - 1;
        EXPECT_EQ(unsigned(out[0] | (out[1] << 8)) & mask, word & mask) << bits << " bits";
        // And one sample less, which does not complete the word, is coded as the classic encoder does.
        const samples shorter(x.begin(), x.end() - 1);
        vc::rockwell_coder c;
        vc::rockwell_start(&c, bits, vc::ROCKWELL_THRESHOLDS);
        std::uint8_t b[8] = {};
        std::size_t n = vc::rockwell_encode(&c, shorter.data(), shorter.size(), b);
        n += vc::rockwell_finish(&c, b + n);
        EXPECT_EQ(unsigned(b[0] | (b[1] << 8)) & mask, word & mask) << bits << " bits";
    }
}

TEST(RockwellSilenceWord, DecoderTakesItAsSilenceAndRestarts)
{
    const samples x = input();
    const bytes stream = encode(samples(x.begin(), x.begin() + 40), 4, vc::ROCKWELL_THRESHOLDS, 40);
    ASSERT_EQ(stream.size(), 20u);
    bytes withsilence(stream.begin(), stream.begin() + 10);
    for (std::uint8_t b : {0x1C, 0xC1, 12, 0}) withsilence.push_back(b);  // silence word, 12: six samples
    withsilence.insert(withsilence.end(), stream.begin(), stream.begin() + 10);
    const samples y = decode(withsilence, 4), plain = decode(stream, 4);
    ASSERT_EQ(y.size(), 20u + 6u + 20u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(y[i], plain[i]) << i;
    for (int i = 20; i < 26; ++i) EXPECT_EQ(y[i], 0) << i;
}

// Our stream as pvftools decodes it, in an RMD file of a Rockwell modem.
void rmdtopvf(const bytes& stream, int bits, samples* decoded)
{
    vectorkit::rmdtopvf(rmd_file("Rockwell", bits, 7200, stream), decoded);
}

std::size_t first_difference(const samples& a, const samples& b)
{
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return i;
}

// Our streams in RMD files, decoded by pvftools itself: the search's choice
// of codes, and a silence word in the middle.
TEST(RockwellRoundTrip, RmdtopvfDecodesOurStreamsAsWeDo)
{
    if (!have_pvftools()) GTEST_SKIP() << "pvftools (mgetty-pvftools) not installed";
    const samples x = input();
    const bytes stream = encode(x, 4, vc::ROCKWELL_SEARCH, 24);
    samples theirs, theirs2;
    ASSERT_NO_FATAL_FAILURE(rmdtopvf(stream, 4, &theirs));
    const samples ours = decode(stream, 4);
    EXPECT_EQ(theirs.size(), ours.size());
    EXPECT_EQ(first_difference(ours, theirs), ours.size()) << "first sample that differs";
    EXPECT_GT(snr(x, theirs), snr(x, sample_file("rockwell_4.dec")));

    bytes withsilence(stream.begin(), stream.begin() + 300);
    for (std::uint8_t b : {0x1C, 0xC1, 40, 0}) withsilence.push_back(b);
    withsilence.insert(withsilence.end(), stream.begin() + 300, stream.end());
    const samples ours2 = decode(withsilence, 4);
    ASSERT_NO_FATAL_FAILURE(rmdtopvf(withsilence, 4, &theirs2));
    EXPECT_EQ(theirs2.size(), ours2.size());
    EXPECT_EQ(first_difference(ours2, theirs2), ours2.size()) << "after a silence word: first sample that differs";
}

}  // namespace
