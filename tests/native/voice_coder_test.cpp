// The sample coders: IMA ADPCM decoding and coding against an independent
// implementation, the compander's table, 16-to-8-bit conversion, and the
// compressor library's coder.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "tests/native/voice_testkit.h"
#include "tests/native/voice_vectorkit.h"
#include "voice/adpcm.h"
#include "voice/sbcoder.h"
#include "voice/voicecoder.h"

namespace {
#include "tests/native/voice_reference_vectors.inc"

using voicetest::VoiceTest;

std::vector<std::int16_t> decode(setup_context* ctx, const std::vector<std::uint8_t>& codes)
{
    std::vector<std::int16_t> out(codes.size() * 2 + 1, 0x5555);
    std::int32_t produced = -1;
    LV_adpcminit(ctx);
    EXPECT_EQ(LV_adpcmdecode(ctx, codes.data(), std::int16_t(codes.size()), out.data(), &produced), ST_OK);
    EXPECT_EQ(produced, std::int32_t(4 * codes.size()));
    EXPECT_EQ(out.back(), 0x5555) << "decoder wrote past two samples per byte";
    out.pop_back();
    return out;
}

std::uint8_t compand(setup_context* ctx, std::int16_t x)
{
    std::uint8_t code = 0xAA;
    std::int16_t produced = 0;
    LV_compand8(ctx, &x, 2, &code, &produced);
    EXPECT_EQ(produced, 1);
    return code;
}

typedef VoiceTest AdpcmDecoder;

TEST_F(AdpcmDecoder, WorkedExamplesGiveTheListedSamples)
{
    EXPECT_EQ(decode(ctx, {0x77, 0x77, 0x77}), (std::vector<std::int16_t>{11, 41, 104, 240, 533, 1164}));
    EXPECT_EQ(decode(ctx, {0x7F, 0x7F, 0x7F}), (std::vector<std::int16_t>{11, -19, 44, -92, 201, -430}));
    EXPECT_EQ(decode(ctx, {0x00, 0x00, 0x00, 0x00}), (std::vector<std::int16_t>(8, 0)));
    // 0x08: a negated zero difference, the index stays at its floor.
    EXPECT_EQ(decode(ctx, {0x08}), (std::vector<std::int16_t>{0, 0}));
    EXPECT_EQ(LV_adpcmsample(ctx, 7), 11) << "after 0x08 the step must still be 7";

    // Each context decodes with a decoder of its own.
    setup_context* other = nullptr;
    ASSERT_EQ(INS_createcontext(&other), ST_OK);
    EXPECT_EQ(LV_adpcmsample(other, 7), 11) << "a context never reset decodes as a reset one";
    EXPECT_EQ(decode(other, {0x7F}), (std::vector<std::int16_t>{11, -19}));
    INS_destroycontext(other);
    EXPECT_EQ(LV_adpcmsample(ctx, 7), 41) << "the other context's decoding moved this one's state";
}

TEST_F(AdpcmDecoder, ZeroBytesDecodeNothing)
{
    std::int16_t out[2] = {9, 9};
    std::int32_t produced = -1;
    LV_adpcminit(ctx);
    EXPECT_EQ(LV_adpcmdecode(ctx, nullptr, 0, out, &produced), ST_OK);
    EXPECT_EQ(produced, 0);
    EXPECT_EQ(out[0], 9);
}

TEST_F(AdpcmDecoder, InitStartsEveryFileFromTheSameState)
{
    decode(ctx, {0x77, 0x77, 0x77, 0x77});
    EXPECT_EQ(decode(ctx, {0x77}), (std::vector<std::int16_t>{11, 41}));
}

TEST_F(AdpcmDecoder, AgreesWithTheIndependentImplementationOnRandomCodes)
{
    std::vector<std::uint8_t> codes(ref_codes, ref_codes + sizeof ref_codes);
    std::vector<std::int16_t> got = decode(ctx, codes);
    ASSERT_EQ(got.size(), sizeof ref_decoded / sizeof ref_decoded[0]);
    for (std::size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], ref_decoded[i]) << "sample " << i;
}

TEST(AdpcmLimits, PredictorAndIndexStayInRangeWhateverTheCodes)
{
    vc::adpcm_state s;
    vc::adpcm_reset(&s);
    std::mt19937 rng(7);
    bool hit_top = false, hit_bottom = false, index_top = false;
    for (int i = 0; i < 200000; ++i) {
        // Long runs of one large code push against the limits.
        unsigned code = (i / 500) % 3 == 0 ? 7u : (i / 500) % 3 == 1 ? 15u : unsigned(rng() & 15);
        std::int16_t x = vc::adpcm_decode4(&s, code);
        ASSERT_GE(s.index, 0);
        ASSERT_LE(s.index, 88);
        ASSERT_EQ(s.step, vc::step_table[s.index]);
        ASSERT_EQ(x, s.predictor);
        hit_top |= x == 32767;
        hit_bottom |= x == -32768;
        index_top |= s.index == 88;
    }
    EXPECT_TRUE(hit_top && hit_bottom && index_top) << "the runs did not reach the limits";
    EXPECT_EQ(vc::step_table[0], 7);
    EXPECT_EQ(vc::step_table[88], 32767);
}

TEST(AdpcmEncoder, AgreesWithTheIndependentImplementation)
{
    vc::adpcm_state s;
    vc::adpcm_reset(&s);
    const std::size_t n = sizeof ref_pcm / sizeof ref_pcm[0];
    ASSERT_EQ(sizeof ref_encoded, n / 2);
    for (std::size_t i = 0; i < n; i += 2) {
        unsigned hi = vc::adpcm_encode4(&s, ref_pcm[i]);
        unsigned lo = vc::adpcm_encode4(&s, ref_pcm[i + 1]);
        ASSERT_EQ((hi << 4) | lo, ref_encoded[i / 2]) << "byte " << i / 2;
    }
}

TEST(AdpcmEncoder, TwoBitCodingFollowsASlowSignal)
{
    vc::adpcm_state enc, dec;
    vc::adpcm_reset(&enc);
    vc::adpcm_reset(&dec);
    double error = 0, energy = 0;
    for (int i = 0; i < 4000; ++i) {
        std::int16_t x = std::int16_t(8000 * std::sin(i * 2 * 3.14159265 * 300 / 8000));
        std::int16_t y = vc::adpcm_decode2(&dec, vc::adpcm_encode2(&enc, x));
        ASSERT_EQ(y, enc.predictor) << "encoder and decoder drifted apart at " << i;
        if (i > 200) {
            error += double(x - y) * (x - y);
            energy += double(x) * x;
        }
    }
    EXPECT_LT(error, energy / 4) << "2-bit coding does not follow a 300 Hz tone";
}

typedef VoiceTest Compander;

TEST_F(Compander, ListedExamples)
{
    ctx->INS_vendor = 0;
    EXPECT_EQ(compand(ctx, 0), 0x00);
    EXPECT_EQ(compand(ctx, 40), 0x04);
    EXPECT_EQ(compand(ctx, -40), 0x84);
    EXPECT_EQ(compand(ctx, 64), 0x0F);
    EXPECT_EQ(compand(ctx, 100), 0x19);
    EXPECT_EQ(compand(ctx, 5000), 0x73);
    EXPECT_EQ(compand(ctx, 20000), 0x7F);
    EXPECT_EQ(compand(ctx, -20000), 0xFF);
    EXPECT_EQ(compand(ctx, -32768), 0xFF);
    ctx->INS_vendor = 41;
    EXPECT_EQ(compand(ctx, 0), 0x7F);
    EXPECT_EQ(compand(ctx, 20000), 0x00);
    EXPECT_EQ(compand(ctx, -32768), 0x80);
}

TEST_F(Compander, EverySegmentBoundary)
{
    struct row {
        std::int32_t m;
        std::uint8_t code;
    };
    const row rows[] = {
        {31, 0x00},   {32, 0x00},   {33, 0x00},   {34, 0x01},   {63, 0x0F},   {64, 0x0F},   {67, 0x0F},
        {68, 0x11},   {127, 0x1F},  {128, 0x20},  {255, 0x2F},  {256, 0x30},  {511, 0x3F},  {512, 0x40},
        {1023, 0x4F}, {1024, 0x50}, {2047, 0x5F}, {2048, 0x60}, {4095, 0x6F}, {4096, 0x70}, {8191, 0x7F},
        {8192, 0x7F}, {32767, 0x7F},
    };
    ctx->INS_vendor = 0;
    for (const row& r : rows) {
        EXPECT_EQ(compand(ctx, std::int16_t(r.m)), r.code) << "magnitude " << r.m;
        // Only the positive 0x10 is folded onto 0x0F; its negative twin 0x90 stays.
        std::uint8_t negative = r.m < 32 ? 0x80 : (r.m >= 64 && r.m <= 67) ? 0x90 : r.code | 0x80;
        EXPECT_EQ(compand(ctx, std::int16_t(-r.m)), negative) << "magnitude -" << r.m;
    }
}

TEST_F(Compander, NeverProduces0x10ExceptInvertedForVendor41)
{
    ctx->INS_vendor = 0;
    for (std::int32_t x = -32768; x <= 32767; ++x) ASSERT_NE(compand(ctx, std::int16_t(x)), 0x10) << x;
    for (std::int32_t m = 62; m <= 67; ++m) EXPECT_EQ(compand(ctx, std::int16_t(m)), 0x0F) << m;
    ctx->INS_vendor = 41;
    for (std::int32_t m = 62; m <= 67; ++m) EXPECT_EQ(compand(ctx, std::int16_t(m)), 0x70) << m;
    EXPECT_EQ(compand(ctx, 68), 0x11 ^ 0x7F);
}

TEST_F(Compander, BufferFormCodesHalfTheByteCount)
{
    ctx->INS_vendor = 0;
    const std::int16_t in[3] = {40, -40, 5000};
    std::uint8_t out[3] = {0xAA, 0xAA, 0xAA};
    std::int16_t produced = 0;
    EXPECT_EQ(LV_compand8(ctx, in, 5, out, &produced), ST_OK);
    EXPECT_EQ(produced, 2);
    EXPECT_EQ(out[0], 0x04);
    EXPECT_EQ(out[1], 0x84);
    EXPECT_EQ(out[2], 0xAA);
}

TEST(Expander, EveryCodeExpandsIntoItsOwnInterval)
{
    for (int invert = 0; invert < 2; ++invert) {
        for (int c = 0; c < 256; ++c) {
            std::uint8_t code = std::uint8_t(c);
            std::uint8_t plain = invert ? std::uint8_t(code ^ 0x7F) : code;
            if ((plain & 0x7F) == 0x10) continue;  // never produced
            std::int16_t x = vc::expand8(code, invert != 0);
            if ((plain & 0x7F) == 0) {
                EXPECT_EQ(x, 0);
                continue;
            }
            EXPECT_EQ(vc::compand8(x, invert != 0), code) << "code " << c << " invert " << invert;
        }
    }
}

typedef VoiceTest Pcm16to8;

TEST_F(Pcm16to8, ExtremesAndTheMiddle)
{
    const std::int16_t in[] = {32767, -32767, -32768, 0, -1, 1, 256, 257, -256};
    std::uint8_t out[9] = {};
    EXPECT_EQ(UL_pcm16to8(ctx, in, sizeof in, out), ST_OK);
    EXPECT_EQ(out[0], 255);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[3], 127);
    EXPECT_EQ(out[4], 127);
    EXPECT_EQ(out[5], 128);
    EXPECT_EQ(out[6], 128);
    EXPECT_EQ(out[7], 129);
    EXPECT_EQ(out[8], 126);
}

std::vector<std::uint8_t> samples_bytes(const std::vector<std::int16_t>& s) { return voicetest::pcm16(s); }

TEST(CompressorCoder, FourBitBlocksPackTwoCodesPerByteAndRunOnAcrossBlocks)
{
    std::vector<std::int16_t> signal;
    for (int i = 0; i < 96; ++i) signal.push_back(std::int16_t(6000 * std::sin(i * 0.3)));
    // One call for everything, and the same signal in blocks of 48 bytes.
    sb_coder whole, blocks;
    ASSERT_EQ(sb_start(&whole, 4, 0, false), 0);
    ASSERT_EQ(sb_start(&blocks, 4, 0, false), 0);
    std::vector<std::uint8_t> in = samples_bytes(signal), a(2048), b;
    std::uint16_t n = 0;
    ASSERT_EQ(sb_compress(&whole, in.data(), std::uint16_t(in.size()), a.data(), &n), 0);
    ASSERT_EQ(n, 48);
    a.resize(n);
    for (std::size_t at = 0; at < in.size(); at += 48) {
        std::uint8_t out[2048];
        ASSERT_EQ(sb_compress(&blocks, in.data() + at, 48, out, &n), 0);
        ASSERT_EQ(n, 12);
        b.insert(b.end(), out, out + n);
    }
    EXPECT_EQ(a, b) << "the coder state must carry from block to block";
    // High nibble first, and the same codes as the plain IMA coder.
    vc::adpcm_state s;
    vc::adpcm_reset(&s);
    unsigned hi = vc::adpcm_encode4(&s, signal[0]), lo = vc::adpcm_encode4(&s, signal[1]);
    EXPECT_EQ(a[0], (hi << 4) | lo);
}

TEST(CompressorCoder, EachCodingDecodesBackCloseToTheInput)
{
    std::vector<std::int16_t> signal;
    for (int i = 0; i < 1024; ++i) signal.push_back(std::int16_t(7000 * std::sin(i * 2 * 3.14159265 * 440 / 8000)));
    std::vector<std::uint8_t> in = samples_bytes(signal);
    for (int coding : {2, 4, 8}) {
        for (int flag : {0, 1}) {
            for (bool invert : {false, true}) {
                sb_coder enc, dec;
                ASSERT_EQ(sb_start(&enc, coding, std::int16_t(flag), invert), 0);
                ASSERT_EQ(sb_start(&dec, coding, std::int16_t(flag), invert), 0);
                std::uint8_t out[2048];
                std::uint16_t n = 0;
                ASSERT_EQ(sb_compress(&enc, in.data(), 2048, out, &n), 0);
                EXPECT_EQ(n, 1024u * unsigned(coding) / 8u) << "coding " << coding;
                std::vector<std::int16_t> back(1024);
                ASSERT_EQ(sb_expand(&dec, out, n, back.data(), 1024), 1024u);
                double error = 0, energy = 0;
                for (int i = 64; i < 1024; ++i) {
                    error += double(signal[i] - back[i]) * (signal[i] - back[i]);
                    energy += double(signal[i]) * signal[i];
                }
                EXPECT_LT(error, energy / (coding == 2 ? 4 : 50))
                    << "coding " << coding << " flag " << flag << " invert " << invert;
            }
        }
    }
}

TEST(CompressorCoder, RefusesUnknownCodingsAndOversizedBlocks)
{
    sb_coder c;
    EXPECT_EQ(sb_start(&c, 3, 0, false), SB_BADREQUEST) << "3 bits only in the Rockwell family";
    EXPECT_EQ(sb_start(&c, 4, 2, false), SB_BADREQUEST);
    std::vector<std::uint8_t> in(2 * 4097, 0);
    std::uint8_t out[2048];
    std::uint16_t n = 7;
    EXPECT_EQ(sb_compress(&c, in.data(), 64, out, &n), SB_BADREQUEST) << "a coder that was not started";
    ASSERT_EQ(sb_start(&c, 8, 0, false), 0);
    EXPECT_EQ(sb_compress(&c, in.data(), 2 * 2049, out, &n), SB_BADREQUEST) << "2049 codes do not fit 2048 bytes";
    EXPECT_EQ(sb_compress(&c, in.data(), 2 * 2048, out, &n), 0);
    EXPECT_EQ(n, 2048);
}

// The Rockwell family's library: codings 2, 3, 4; one continuous stream
// whatever the blocks, bytes carried from one block to the next.
TEST(CompressorCoder, RockwellFamilyIsOneStreamAcrossTheInstallersBlocks)
{
    sb_coder c;
    EXPECT_EQ(sb_start(&c, 8, 0, false, sb_family::rockwell), SB_BADREQUEST) << "no 8-bit Rockwell coding";
    EXPECT_EQ(sb_start(&c, 4, 2, false, sb_family::rockwell), SB_BADREQUEST);
    std::vector<std::int16_t> signal;
    for (int i = 0; i < 4080; ++i)
        signal.push_back(std::int16_t(8000 * std::sin(i * 0.21) * std::sin(i * 0.003) + 1500 * std::sin(i * 1.7)));
    const std::vector<std::uint8_t> in = samples_bytes(signal);
    for (int coding : {2, 3, 4}) {
        // The reference: the coder fed the same pieces directly.
        for (std::uint16_t block : {48, 2040, 2048}) {
            vc::rockwell_coder ref;
            vc::rockwell_start(&ref, coding, vc::ROCKWELL_SEARCH);
            std::vector<std::uint8_t> expected(in.size()), got;
            std::size_t m = 0;
            for (std::int16_t flag : {0, 1}) {
                ASSERT_EQ(sb_start(&c, coding, flag, false, sb_family::rockwell), 0) << "coding " << coding;
                got.clear();
                for (std::size_t at = 0; at + block <= in.size(); at += block) {
                    std::uint8_t out[2048];
                    std::uint16_t n = 0;
                    ASSERT_EQ(sb_compress(&c, in.data() + at, block, out, &n), 0);
                    got.insert(got.end(), out, out + n);
                    if (flag == 0) m += vc::rockwell_encode(&ref, signal.data() + at / 2, block / 2u, expected.data() + m);
                }
                EXPECT_EQ(got.size(), (in.size() / block) * (block / 2u) * unsigned(coding) / 8u)
                    << "coding " << coding << " blocks of " << block << ": only whole bytes, the rest carried";
                EXPECT_EQ(got, std::vector<std::uint8_t>(expected.begin(), expected.begin() + m))
                    << "coding " << coding << " blocks of " << block << " flag " << flag;
            }
            // The library's own decoder turns the stream back into the signal.
            std::vector<std::int16_t> back(signal.size());
            const std::uint32_t k = sb_expand(&c, got.data(), std::uint32_t(got.size()), back.data(),
                                              std::uint32_t(back.size()));
            double error = 0, energy = 0;
            for (std::uint32_t i = 0; i < k; ++i) {
                error += double(signal[i] - back[i]) * (signal[i] - back[i]);
                energy += double(signal[i]) * signal[i];
            }
            EXPECT_GT(k, signal.size() - 2048);
            EXPECT_LT(error, energy / (coding == 2 ? 8 : 30)) << "coding " << coding;
        }
    }
}

}  // namespace

namespace {

std::vector<std::int16_t> voiced(std::size_t n)
{
    std::vector<std::int16_t> s;
    std::mt19937 rng(51);
    std::normal_distribution<double> noise(0, 1200);
    for (std::size_t i = 0; i < n; ++i) {
        double v = 9000 * std::sin(i * 0.21) * std::sin(i * 0.003) + 2500 * std::sin(i * 1.3) * (1 + std::sin(i * 0.05));
        if (i % 3000 > 2500) v += noise(rng);  // a fricative now and then
        if (i % 4000 < 300) v = 0;             // and digital silence
        s.push_back(std::int16_t(std::lround(std::clamp(v, -32768.0, 32767.0))));
    }
    return s;
}

using vectorkit::snr;

// Codes the signal in blocks of `block` bytes through the library's entry;
// checks each call's output against the bound and that every sample fed is
// in the stream (only a partial byte may wait). Returns the stream.
std::vector<std::uint8_t> through_library(sb_family family, int coding, int flag, std::uint16_t block,
                                          const std::vector<std::int16_t>& signal)
{
    const std::vector<std::uint8_t> in = samples_bytes(signal);
    sb_coder c;
    EXPECT_EQ(sb_start(&c, coding, std::int16_t(flag), false, family), 0) << "coding " << coding;
    std::vector<std::uint8_t> got;
    std::size_t fed = 0;
    for (std::size_t at = 0; at + block <= in.size(); at += block) {
        std::uint8_t out[SB_OUTPUTSIZE + 64];
        std::fill(out, out + sizeof out, 0xEE);
        std::uint16_t n = 0;
        EXPECT_EQ(sb_compress(&c, in.data() + at, block, out, &n), 0) << "block of " << block;
        EXPECT_LE(n, SB_OUTPUTSIZE);
        EXPECT_EQ(out[n], 0xEE) << "written past the reported count, block of " << block;
        got.insert(got.end(), out, out + n);
        fed += block / 2u;
        const std::size_t expected = family == sb_family::gsm
                                         ? fed / vc::GSM_FRAME_SAMPLES * vc::gsm_usr_frame_bytes(&c.gsm)
                                         : fed * unsigned(coding) / 8;
        if (got.size() != expected) {
            ADD_FAILURE() << "coding " << coding << ", blocks of " << block << ": " << got.size() << " bytes after "
                          << fed << " samples, expected " << expected << " (samples held back)";
            break;
        }
    }
    return got;
}

std::vector<std::int16_t> expand_all(sb_family family, int coding, int flag, const std::vector<std::uint8_t>& codes)
{
    sb_coder d;
    EXPECT_EQ(sb_start(&d, coding, std::int16_t(flag), false, family), 0);
    std::vector<std::int16_t> back(codes.size() * 8 + vc::GSM_FRAME_SAMPLES);
    back.resize(sb_expand(&d, codes.data(), std::uint32_t(codes.size()), back.data(), std::uint32_t(back.size())));
    return back;
}

}  // namespace

// ZyXEL and G.721: the installer never ends a prompt, so each block's codes
// are all there when the call returns; the search ahead only sees the rest of
// its block, and the blocks' lengths barely change the quality (on this
// signal they move it by up to 0.5 dB either way, with no trend).
TEST(CompressorCoder, ZyxelAndG721LibrariesHoldNoSampleBetweenBlocks)
{
    const std::vector<std::int16_t> signal = voiced(8160);
    struct row {
        sb_family family;
        int coding;
    };
    for (const row r : {row{sb_family::zyxel, 2}, row{sb_family::zyxel, 3}, row{sb_family::zyxel, 4},
                        row{sb_family::g721, 4}}) {
        const char* name = r.family == sb_family::zyxel ? "zyxel" : "g721";
        std::vector<double> snrs;
        for (std::uint16_t block : {48, 320, 2040, 2048}) {
            const std::vector<std::uint8_t> got = through_library(r.family, r.coding, 1, block, signal);
            const std::size_t fed = signal.size() / (block / 2u) * (block / 2u);
            const std::vector<std::int16_t> back = expand_all(r.family, r.coding, 0, got);
            EXPECT_EQ(back.size(), fed * unsigned(r.coding) / 8 * 8 / unsigned(r.coding))
                << name << " " << r.coding << ", blocks of " << block << ": samples decoded";
            snrs.push_back(snr(std::vector<std::int16_t>(signal.begin(), signal.begin() + back.size()), back));
        }
        // The quantiser's own codes, for comparison.
        std::vector<std::uint8_t> greedy(signal.size());
        std::size_t m = 0;
        if (r.family == sb_family::zyxel) {
            vc::zyxel_coder z;
            vc::zyxel_start(&z, r.coding, {1, 1});
            m = vc::zyxel_encode(&z, signal.data(), signal.size(), greedy.data());
        } else {
            vc::g721_coder g;
            vc::g721_start(&g, {1, 1});
            m = vc::g721_encode(&g, signal.data(), signal.size(), greedy.data());
        }
        greedy.resize(m);
        const std::vector<std::int16_t> back = expand_all(r.family, r.coding, 0, greedy);
        const double reference = snr(std::vector<std::int16_t>(signal.begin(), signal.begin() + back.size()), back);
        EXPECT_GE(*std::min_element(snrs.begin(), snrs.end()), reference)
            << name << " " << r.coding << ": a block length decodes worse than the plain quantiser";
        // The most cuts (48 bytes) against the fewest: the search loses nothing that matters at a block's end.
        EXPECT_GE(snrs[0], snrs[3] - 0.1) << name << " " << r.coding << ": blocks of 48 bytes " << snrs[0]
                                          << " dB, of 2048 bytes " << snrs[3] << " dB";
    }
    sb_coder c;
    EXPECT_EQ(sb_start(&c, 8, 0, false, sb_family::zyxel), SB_BADREQUEST);
    EXPECT_EQ(sb_start(&c, 2, 0, false, sb_family::g721), SB_BADREQUEST) << "G.721 has 4-bit codes only";
    ASSERT_EQ(sb_start(&c, 2, 0, false, sb_family::zyxel), 0);
    std::vector<std::uint8_t> in(65534, 0);
    std::uint8_t out[SB_OUTPUTSIZE];
    std::uint16_t n = 7;
    EXPECT_EQ(sb_compress(&c, in.data(), 65534, out, &n), SB_BADREQUEST) << "8192 bytes of codes do not fit";
    EXPECT_EQ(n, 0);
}

// GSM: one frame per 160 samples, the framing by the start flag, the coding
// byte aside; blocks that are not whole frames carry the rest.
TEST(CompressorCoder, GsmLibraryCodesOneUsrFramePerInstallerBlock)
{
    const std::vector<std::int16_t> signal = voiced(8160);
    for (int flag : {0, 1}) {
        const std::size_t frame = flag == 0 ? vc::GSM_USR_FRAME_BYTES : vc::GSM_FRAME_BYTES;
        vc::gsm_usr_coder ref;
        vc::gsm_usr_start(&ref, flag);
        std::vector<std::uint8_t> whole(signal.size() / vc::GSM_FRAME_SAMPLES * frame);
        whole.resize(vc::gsm_usr_encode(&ref, signal.data(), signal.size(), whole.data()));
        for (int coding : {2, 4}) {
            for (std::uint16_t block : {320, 48, 2040, 2048}) {
                const std::vector<std::uint8_t> got = through_library(sb_family::gsm, coding, flag, block, signal);
                ASSERT_LE(got.size(), whole.size());
                EXPECT_TRUE(std::equal(got.begin(), got.end(), whole.begin()))
                    << "flag " << flag << " coding " << coding << ", blocks of " << block
                    << ": not the frames of the whole signal";
                if (block == 320) {
                    EXPECT_EQ(got.size(), whole.size()) << "flag " << flag << ": one frame per 320-byte block";
                    const std::vector<std::int16_t> back = expand_all(sb_family::gsm, coding, flag, got);
                    EXPECT_EQ(back.size(), signal.size()) << "flag " << flag << ": samples decoded";
                    EXPECT_GT(snr(signal, back), 8.0) << "flag " << flag;
                }
            }
        }
        for (std::size_t at = 0; at < whole.size() && flag == 0; at += frame) {
            const bool silent = std::all_of(signal.begin() + long(at / frame * 160),
                                            signal.begin() + long(at / frame * 160 + 160), [](int v) { return v == 0; });
            EXPECT_EQ(whole[at], silent ? 0xB6 : 0xFE) << "frame " << at / frame;
        }
    }
    sb_coder c;
    EXPECT_EQ(sb_start(&c, 3, 0, false, sb_family::gsm), SB_BADREQUEST);
    ASSERT_EQ(sb_start(&c, 2, 0, false, sb_family::gsm), 0);
    std::vector<std::uint8_t> in(65534, 0);
    std::uint8_t out[SB_OUTPUTSIZE];
    std::uint16_t n = 7;
    EXPECT_EQ(sb_compress(&c, in.data(), 2 * 2240, out, &n), 0) << "14 frames of 38 bytes fit";
    EXPECT_EQ(n, 14 * vc::GSM_USR_FRAME_BYTES);
    EXPECT_EQ(sb_compress(&c, in.data(), 65534, out, &n), SB_BADREQUEST) << "204 frames do not fit";
}
