// Helpers of the voice tests: a setup context with its log in a file, a
// scratch directory, and WAV files built byte by byte.
#pragma once
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "files/fileutil.h"
#include "install/install.h"
#include "install/state.h"
#include "shell/context.h"
#include "shell/text.h"
#include "tests/native/doubles/files_doubles.h"
#include "tests/native/doubles/shell_doubles.h"
#include "tests/native/doubles/voice_doubles.h"
#include "tests/native/support/testfiles.h"
#include "tests/support/logcheck.h"

namespace voicetest {

typedef std::vector<std::uint8_t> bytes;

inline void put16(bytes& b, std::uint16_t v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
inline void put32(bytes& b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}
inline void puttext(bytes& b, const char* t) { b.insert(b.end(), t, t + std::strlen(t)); }
inline std::uint32_t get32(const bytes& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
inline std::uint16_t get16(const bytes& b, std::size_t at) { return std::uint16_t(b[at] | (b[at + 1] << 8)); }

// A chunk: id, size, contents and the pad byte when the size is odd.
inline bytes chunk(const char* id, const bytes& contents)
{
    bytes b;
    puttext(b, id);
    put32(b, std::uint32_t(contents.size()));
    b.insert(b.end(), contents.begin(), contents.end());
    if (contents.size() & 1) b.push_back(0);
    return b;
}

inline bytes fmt(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                 std::size_t size = 16)
{
    bytes b;
    put16(b, tag);
    put16(b, channels);
    put32(b, rate);
    put32(b, rate * channels * bits / 8);
    put16(b, std::uint16_t(channels * bits / 8 ? channels * bits / 8 : 1));
    put16(b, bits);
    while (b.size() < size) b.push_back(0);
    return b;
}

inline bytes riff(const std::vector<bytes>& chunks)
{
    bytes inner;
    puttext(inner, "WAVE");
    for (const bytes& c : chunks) inner.insert(inner.end(), c.begin(), c.end());
    bytes b;
    puttext(b, "RIFF");
    put32(b, std::uint32_t(inner.size()));
    b.insert(b.end(), inner.begin(), inner.end());
    return b;
}

inline bytes pcm16(const std::vector<std::int16_t>& samples)
{
    bytes b;
    for (std::int16_t s : samples) put16(b, std::uint16_t(s));
    return b;
}

inline bytes wave(std::uint16_t tag, std::uint32_t rate, std::uint16_t bits, const bytes& data)
{
    return riff({chunk("fmt ", fmt(tag, 1, rate, bits)), chunk("data", data)});
}

inline void writefile(const std::string& path, const bytes& b)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

inline bytes readfile(const std::string& path)
{
    std::string all = testfiles::read(path);
    return bytes(all.begin(), all.end());
}

inline bool exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// A fresh context logging into a file of a fresh scratch directory.
class VoiceTest : public ::testing::Test {
protected:
    setup_context* ctx = nullptr;
    std::string dir;  // ends with '/'

    void SetUp() override
    {
        doubles::reset_voice();
        doubles::clock_ms = 0;
        doubles::checkabort_calls = 0;
        doubles::stop_at_call = 0;
        doubles::reset_filesystem();
        char templ[] = "/tmp/voicetestXXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        dir = std::string(templ) + "/";
        ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
        INS_attachdriver(ctx);  // as start-up does
        ul_file log = 0;
        ASSERT_EQ(UL_createfile(ctx, (dir + "SETUP.deb").c_str(), UL_SHARED, &log), ST_OK);
        ctx->logfile = log;
        ctx->logtofile = 1;
    }

    void TearDown() override
    {
        doubles::reset_filesystem();
        INS_destroycontext(ctx);
        std::string cmd = "rm -rf '" + dir + "'";
        if (std::system(cmd.c_str()) != 0) ADD_FAILURE() << "cannot remove " << dir;
    }

    std::string log() const
    {
        bytes b = readfile(dir + "SETUP.deb");
        return std::string(b.begin(), b.end());
    }

    ::testing::AssertionResult logged(const std::string& line) const { return logcheck::contains(log(), line); }
};

}  // namespace voicetest
