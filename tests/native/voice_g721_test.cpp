// G.721 against pvftools and sox: the greedy encoder's bytes equal
// pvftormd's on the committed vectors (voice_vectors/make-g721.sh), the
// decoder reproduces rmdtopvf's and sox's decoding, the search ahead decodes
// better in any block size, and a round trip goes through rmdtopvf itself
// where it is installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/native/support/testfiles.h"
#include "voice/g721.h"

namespace {

typedef std::vector<std::uint8_t> bytes;
typedef std::vector<std::int16_t> samples;

bytes vector_file(const std::string& name)
{
    const char* dir = std::getenv("TEST_SOURCE_DIR");
    std::ifstream in(std::string(dir ? dir : ".") + "/tests/native/voice_vectors/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing vector " << name;
    return bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

samples as_samples(const bytes& b)
{
    samples s(b.size() / 2);
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = std::int16_t(b[2 * i] | (b[2 * i + 1] << 8));
    return s;
}

bytes encode(const samples& x, vc::search_shape shape, std::size_t block)
{
    vc::g721_coder c;
    vc::g721_start(&c, shape);
    bytes out(x.size() / 2 + 64);
    std::size_t n = 0;
    for (std::size_t i = 0; i < x.size(); i += block) {
        const std::size_t k = std::min(block, x.size() - i);
        const std::size_t got = vc::g721_encode(&c, x.data() + i, k, out.data() + n);
        EXPECT_LE(got, (k + vc::G721_RUN + vc::SEARCH_MAXDEPTH) / 2 + 1) << "block at " << i;
        n += got;
    }
    n += vc::g721_flush(&c, out.data() + n);
    EXPECT_EQ(n, (x.size() + 1) / 2) << "bytes for " << x.size() << " samples";
    out.resize(n);
    return out;
}

samples decode(const bytes& codes, bool slowstart = false)
{
    vc::g721_decoder d;
    vc::g721_decoder_start(&d, slowstart);
    samples y(codes.size() * 2);
    y.resize(vc::g721_decode(&d, codes.data(), codes.size(), y.data(), y.size()));
    return y;
}

double snr(const samples& x, const samples& y)
{
    double s = 0, e = 0;
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        s += double(x[i]) * x[i];
        e += (double(x[i]) - y[i]) * (double(x[i]) - y[i]);
    }
    return 10 * std::log10(s / e);
}

// A voiced prompt of a few seconds: a pulse train of drifting pitch through
// two resonators, in syllables, peak near -3 dBFS.
samples synthetic_prompt(double rate, double seconds)
{
    std::mt19937 noise(721);
    std::uniform_real_distribution<double> u(-1, 1);
    const double pi = 3.14159265358979;
    samples x(std::size_t(rate * seconds));
    double y1 = 0, y2 = 0, z1 = 0, z2 = 0, phase = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = i / rate;
        phase += (110 + 30 * std::sin(2 * pi * 0.7 * t)) / rate;
        const double pulse = phase >= 1 ? 1.0 : 0.0;
        if (phase >= 1) phase -= 1;
        const double f1 = 500 + 250 * std::sin(2 * pi * 1.3 * t), f2 = 1500 + 600 * std::sin(2 * pi * 0.9 * t);
        const double r = 0.97;
        const double v = pulse + 0.02 * u(noise) + 2 * r * std::cos(2 * pi * f1 / rate) * y1 - r * r * y2;
        y2 = y1, y1 = v;
        const double w = v + 2 * r * std::cos(2 * pi * f2 / rate) * z1 - r * r * z2;
        z2 = z1, z1 = w;
        const double envelope = std::pow(std::sin(pi * std::fmod(t * 3.1, 1.0)), 2);
        x[i] = std::int16_t(std::clamp(120.0 * envelope * (w + 3 * v), -23000.0, 23000.0));
    }
    return x;
}

TEST(G721Coder, GreedyCodesMatchPvftormd)
{
    const samples x = as_samples(vector_file("g721_input.s16"));
    const bytes rmd = vector_file("g721.rmd");
    ASSERT_GT(x.size(), 2000u);
    ASSERT_GE(rmd.size(), 32 + x.size() / 2);
    for (std::size_t block : {x.size(), std::size_t(24), std::size_t(7)}) {
        const bytes ours = encode(x, {1, 1}, block);
        // pvftormd pads its last byte with a code of its own: compare the whole bytes.
        for (std::size_t i = 0; i < x.size() / 2; ++i)
            ASSERT_EQ(ours[i], rmd[32 + i]) << "block " << block << ": byte " << i << " (samples " << 2 * i << ", "
                                            << 2 * i + 1 << ")";
    }
}

TEST(G721Coder, DecodingMatchesRmdtopvfAndSox)
{
    const bytes rmd = vector_file("g721.rmd");
    const bytes codes(rmd.begin() + 32, rmd.end());
    const samples pvf = as_samples(vector_file("g721.s16")), sox = as_samples(vector_file("g721_sox.s16"));
    EXPECT_EQ(decode(codes, true), pvf) << "started as pvftools' decoder, ours decodes otherwise";

    // sox starts from the standard's reset, as we do. Right after the
    // transition detector resets the predictor (in the square wave) it is
    // off by a step or two of 14 bits where pvftools agrees with us.
    const samples ours = decode(codes);
    ASSERT_EQ(ours.size(), sox.size());
    std::size_t differ = 0;
    for (std::size_t i = 0; i < ours.size(); ++i)
        if (ours[i] != sox[i]) {
            ++differ;
            EXPECT_LE(std::abs(ours[i] - sox[i]), 8) << "sample " << i << ": ours " << ours[i] << ", sox " << sox[i];
            EXPECT_EQ(ours[i], pvf[i]) << "sample " << i << " agrees with neither reference";
        }
    EXPECT_LE(differ, 8u) << "samples decoded unlike sox";

    // One byte at a time into a buffer one sample short: the same, the last dropped.
    vc::g721_decoder d;
    vc::g721_decoder_start(&d);
    samples bytewise(ours.size() - 1);
    std::size_t n = 0;
    for (std::uint8_t b : codes) n += vc::g721_decode(&d, &b, 1, bytewise.data() + n, bytewise.size() - n);
    ASSERT_EQ(n, bytewise.size());
    EXPECT_TRUE(std::equal(bytewise.begin(), bytewise.end(), ours.begin())) << "byte-wise decoding differs";
}

TEST(G721Coder, SearchDecodesBetterInAnyBlocks)
{
    const samples x = synthetic_prompt(7200, 3);
    const double greedy = snr(x, decode(encode(x, {1, 1}, 1024)));
    const bytes small = encode(x, vc::G721_SEARCH, 24);
    const bytes large = encode(x, vc::G721_SEARCH, 1024);
    EXPECT_TRUE(small == large) << "blocks of 24 and of 1024 samples code differently";
    const double search = snr(x, decode(large));
    EXPECT_GE(search, greedy + 0.5) << "search " << search << " dB, greedy " << greedy << " dB";

    const samples v = as_samples(vector_file("g721_input.s16"));
    EXPECT_GE(snr(v, decode(encode(v, vc::G721_SEARCH, 160))), snr(v, decode(encode(v, {1, 1}, 160))))
        << "the search decodes the vector worse than the quantiser's own codes";
}

TEST(G721Coder, RoundTripThroughRmdtopvf)
{
    if (std::system("command -v rmdtopvf >/dev/null 2>&1 && command -v pvftolin >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pvftools not installed";
    const bytes codes = encode(as_samples(vector_file("g721_input.s16")), vc::G721_SEARCH, 320);
    std::string rmd = std::string("RMD1UMC", 7) + std::string(13, '\0');
    rmd += char(0), rmd += char(4), rmd += char(7200 >> 8), rmd += char(7200 & 255), rmd += char(4);
    rmd += std::string(7, '\0');
    rmd += std::string(codes.begin(), codes.end());
    testfiles::tempdir dir;
    const std::string in = dir.write("in.rmd", rmd), out = dir.file("out.s16");
    const std::string command = "rmdtopvf '" + in + "' 2>/dev/null | pvftolin -W -S -I > '" + out + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string got = testfiles::read(out);
    samples theirs = as_samples(bytes(got.begin(), got.end())), ours = decode(codes, true);
    // rmdtopvf's first sample varies from run to run (-40, -48, -56 for the same
    // file: it reads a value it has not set); from the second on it is fixed.
    ASSERT_EQ(theirs.size(), ours.size()) << "rmdtopvf decodes another number of samples";
    ASSERT_FALSE(ours.empty());
    EXPECT_EQ(samples(theirs.begin() + 1, theirs.end()), samples(ours.begin() + 1, ours.end()))
        << "rmdtopvf decodes our codes otherwise";
}

}  // namespace
