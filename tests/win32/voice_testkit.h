// Helpers of the voice tests under Wine: the staged companions of this
// build, a scratch tree on drive C:, and a context without a log file.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "install/install.h"
#include "install/state.h"
#include "shell/context.h"
#include "shell/text.h"
#include "tests/win32/support/winpaths.h"

namespace voicewin {

// build\win32\stage\ beside build\win32\tests\<test>.exe.
inline std::string stage_dir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string p(path);
    p = p.substr(0, p.find_last_of('\\'));  // ...\tests
    p = p.substr(0, p.find_last_of('\\'));  // ...\win32
    return p + "\\stage\\";
}

inline std::vector<std::uint8_t> readfile(const std::string& name)
{
    std::string all = winpaths::read(name);
    return std::vector<std::uint8_t>(all.begin(), all.end());
}

inline void writefile(const std::string& name, const std::vector<std::uint8_t>& b)
{
    std::FILE* f = std::fopen(name.c_str(), "wb");
    ASSERT_NE(f, nullptr) << name;
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
}

inline bool exists(const std::string& name) { return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline void put16(std::vector<std::uint8_t>& b, std::uint16_t v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
inline void put32(std::vector<std::uint8_t>& b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}

// A mono 16-bit PCM WAV file of the samples.
inline std::vector<std::uint8_t> wave16(std::uint32_t rate, const std::vector<std::int16_t>& s)
{
    std::vector<std::uint8_t> b = {'R', 'I', 'F', 'F'};
    put32(b, std::uint32_t(36 + 2 * s.size()));
    for (char c : std::string("WAVEfmt ")) b.push_back(std::uint8_t(c));
    put32(b, 16);
    put16(b, 1);
    put16(b, 1);
    put32(b, rate);
    put32(b, rate * 2);
    put16(b, 2);
    put16(b, 16);
    for (char c : std::string("data")) b.push_back(std::uint8_t(c));
    put32(b, std::uint32_t(2 * s.size()));
    for (std::int16_t x : s) put16(b, std::uint16_t(x));
    return b;
}

using winpaths::remove_tree;

class VoiceWinTest : public ::testing::Test {
protected:
    setup_context* ctx = nullptr;
    std::string root;  // C:\voicetest<n>\ (ends with a backslash)

    void SetUp() override
    {
        root = "C:\\voicetest" + std::to_string(GetCurrentProcessId()) + "\\";
        remove_tree(root);
        ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr)) << root;
        ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
        INS_attachdriver(ctx);  // as start-up does
    }
    void TearDown() override
    {
        INS_destroycontext(ctx);
        remove_tree(root);
    }
    void mkdir(const std::string& sub) { ASSERT_TRUE(CreateDirectoryA((root + sub).c_str(), nullptr)) << sub; }
};

}  // namespace voicewin
