// What the coder tests share: the committed vectors (tests/native/voice_vectors/,
// 16-bit little-endian samples or RMD files), the SNR they are judged by, a
// synthetic voiced prompt, and pvftools' own decoding of an RMD file.
#pragma once
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

namespace vectorkit {

typedef std::vector<std::uint8_t> bytes;
typedef std::vector<std::int16_t> samples;

// The named vector; a missing or empty one fails the test.
inline bytes vector_file(const std::string& name)
{
    const char* dir = std::getenv("TEST_SOURCE_DIR");
    std::ifstream in(std::string(dir ? dir : ".") + "/tests/native/voice_vectors/" + name, std::ios::binary);
    bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(b.empty()) << "missing vector " << name;
    return b;
}

// 16-bit little-endian samples; an odd last byte is dropped.
inline samples as_samples(const bytes& b)
{
    samples s(b.size() / 2);
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = std::int16_t(b[2 * i] | (b[2 * i + 1] << 8));
    return s;
}

inline samples sample_file(const std::string& name) { return as_samples(vector_file(name)); }

// The SNR of y against x in dB, over x's samples: those y lacks count as
// noise. No noise counts as one unit of it (integer samples never err by less).
inline double snr(const samples& x, const samples& y)
{
    double signal = 0, noise = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double d = double(x[i]) - (i < y.size() ? y[i] : 0);
        signal += double(x[i]) * x[i];
        noise += d * d;
    }
    return 10 * std::log10(signal / std::max(noise, 1.0));
}

// A voiced prompt: a pulse train of drifting pitch through two resonators, in
// syllables, peak near -3 dBFS; the seed picks its breath noise.
inline samples synthetic_prompt(double rate, double seconds, unsigned seed)
{
    std::mt19937 noise(seed);
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

// An RMD file: "RMD1", the modem's name in 16 bytes, the compression (for
// these modems the bits per code), the speed, the bits, 7 reserved bytes; then
// the codes.
const std::size_t RMD_HEADER = 32;

inline std::string rmd_file(const std::string& modem, int bits, int speed, const bytes& codes)
{
    std::string rmd = "RMD1" + modem + std::string(16 - modem.size(), '\0');
    rmd += std::string{'\0', char(bits), char(speed >> 8), char(speed & 0xFF), char(bits)} + std::string(7, '\0');
    return rmd + std::string(codes.begin(), codes.end());
}

inline bytes rmd_codes(const bytes& rmd) { return bytes(rmd.begin() + std::min(RMD_HEADER, rmd.size()), rmd.end()); }

inline bool have_pvftools()
{
    return std::system("command -v rmdtopvf >/dev/null 2>&1 && command -v pvftolin >/dev/null 2>&1") == 0;
}

// rmdtopvf | pvftolin of an RMD file; a failure to run is fatal
// (ASSERT_NO_FATAL_FAILURE around the call).
inline void rmdtopvf(const std::string& rmd, samples* decoded)
{
    testfiles::tempdir dir;
    const std::string in = dir.write("in.rmd", rmd), out = dir.file("out.s16");
    const std::string command = "rmdtopvf '" + in + "' 2>/dev/null | pvftolin -W -S -I > '" + out + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string got = testfiles::read(out);
    *decoded = as_samples(bytes(got.begin(), got.end()));
}

}  // namespace vectorkit
