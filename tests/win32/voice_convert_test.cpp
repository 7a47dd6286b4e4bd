// Under Windows: WAV files through the real file services, programs started
// and waited for, and prompts converted by the external converter VEQWAVE.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "tests/win32/voice_testkit.h"
#include "install/install.h"
#include "shell/platform.h"
#include "voice/adpcm.h"
#include "voice/compressor.h"
#include "voice/convertscript.h"
#include "voice/rockwell.h"
#include "voice/sbcoder.h"
#include "voice/wavefile.h"

namespace {

using namespace voicewin;

// This test program doubles as the program that INS_StartTask starts:
// "--voice-exit=N" ends at once with exit code N, "--voice-hang" never ends.
struct child_mode {
    child_mode()
    {
        const char* cmd = GetCommandLineA();
        if (const char* p = std::strstr(cmd, "--voice-exit=")) ExitProcess(UINT(std::strtoul(p + 13, nullptr, 10)));
        if (std::strstr(cmd, "--voice-hang")) {
            for (;;) Sleep(1000);
        }
    }
} child;

// This program's path in quotes, as the installer passes every program.
std::string self()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string("\"") + path + "\"";
}

std::vector<std::int16_t> tone(int n)
{
    std::vector<std::int16_t> s;
    for (int i = 0; i < n; ++i) s.push_back(std::int16_t(8000 * std::sin(i * 0.07)));
    return s;
}

typedef VoiceWinTest WaveFilesOnWindows;

TEST_F(WaveFilesOnWindows, WrittenFileHasItsSizesRewrittenAndReadsBack)
{
    std::string name = root + "OUT.WAV";
    wave_file_record w = {};
    w.bitspersample = 8;
    w.formattag = 1;
    w.samplerate = 8000;
    ASSERT_EQ(UL_wfwriteopen(ctx, name.c_str(), &w), ST_OK);
    EXPECT_EQ(readfile(name).size(), 46u) << "the header is on disk from the start";
    std::vector<std::uint8_t> data(9001);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = std::uint8_t(i * 3);
    for (std::size_t at = 0; at < data.size(); at += 1000) {
        std::size_t n = data.size() - at < 1000 ? data.size() - at : 1000;
        ASSERT_EQ(UL_wfwritedata(ctx, &w, data.data() + at, std::int16_t(n)), ST_OK);
    }
    ASSERT_EQ(UL_wfwriteclose(ctx, &w), ST_OK);
    std::vector<std::uint8_t> f = readfile(name);
    ASSERT_EQ(f.size(), 46u + 9001 + 1);
    EXPECT_EQ(f[42] | (f[43] << 8), 9001) << "data size";
    EXPECT_EQ(f[4] | (f[5] << 8), 38 + 9002) << "RIFF size with the pad byte";

    wave_file_record r = {};
    ASSERT_EQ(UL_wfreadopen(ctx, (root + "OUT.VOX").c_str(), &r), ST_OK);
    EXPECT_EQ(r.datasize, 9001u);
    std::vector<std::uint8_t> back(9100);
    std::int16_t n = 0;
    ASSERT_EQ(UL_wfreaddata(ctx, &r, back.data(), 9100, &n), ST_OK);
    EXPECT_EQ(n, 9001);
    back.resize(9001);
    EXPECT_EQ(back, data);
    UL_wfreadclose(ctx, &r);
}

typedef VoiceWinTest StartTaskOnWindows;

TEST_F(StartTaskOnWindows, ExitCodeOfTheProgramIsTheStatus)
{
    EXPECT_EQ(INS_StartTask(ctx, (self() + " --voice-exit=7").c_str(), 30000), 7);
    EXPECT_EQ(INS_StartTask(ctx, (self() + " --voice-exit=0").c_str(), 30000), ST_OK);
    EXPECT_EQ(INS_StartTask(ctx, (self() + " --voice-exit=65536").c_str(), 30000), ST_GENERAL)
        << "an exit code with zero low bits is no success";
}

TEST_F(StartTaskOnWindows, MissingProgramGives13082)
{
    EXPECT_EQ(INS_StartTask(ctx, (root + "NOTHERE.EXE 1 2").c_str(), 30000), ST_TASK_NOT_STARTED);
}

TEST_F(StartTaskOnWindows, HangingProgramIsEndedAfterTheTimeOut)
{
    DWORD start = GetTickCount();
    EXPECT_EQ(INS_StartTask(ctx, (self() + " --voice-hang").c_str(), 2000), ST_TASK_TIMEOUT);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 2000u);
    EXPECT_LT(elapsed, 6000u) << "waits at most the time-out and one step more";
}

// The prompt directory on drive C:, the medium being the stage directory of the build.
class Veqwave : public VoiceWinTest {
protected:
    std::string prompts;
    void SetUp() override
    {
        VoiceWinTest::SetUp();
        mkdir("SCRIPT1");
        prompts = root + "SCRIPT1\\";
        UL_copytext(ctx->pathname, root.c_str());
        UL_copytext(ctx->sourcedir, stage_dir().c_str());
        ctx->INS_whichprogram = 1;
    }
};

TEST_F(Veqwave, ConverterWritesAHeadedRockwellVoiceFile)
{
    std::vector<std::int16_t> s = tone(7200);
    writefile(prompts + "PROMPT.WAV", wave16(7200, s));
    ASSERT_EQ(LVWAVE_wavetomodem(ctx, (prompts + "PROMPT.WAV").c_str(), (prompts + "PROMPT.VOX").c_str(), 4), ST_OK);
    std::vector<std::uint8_t> f = readfile(prompts + "PROMPT.VOX");
    ASSERT_EQ(f.size(), 16u + 3600);
    const std::uint8_t header[16] = {'R', 'O', 'C', 'K', ' ', 2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(f.begin(), f.begin() + 16), std::vector<std::uint8_t>(header, header + 16));
    // Rockwell ADPCM of the whole prompt, one stream, searched as the libraries search.
    vc::rockwell_coder c;
    vc::rockwell_start(&c, 4, vc::ROCKWELL_SEARCH);
    std::vector<std::uint8_t> expected(3601);
    std::size_t n = vc::rockwell_encode(&c, s.data(), s.size(), expected.data());
    n += vc::rockwell_finish(&c, expected.data() + n);
    ASSERT_EQ(n, 3600u);
    expected.resize(n);
    EXPECT_EQ(std::vector<std::uint8_t>(f.begin() + 16, f.end()), expected);
    EXPECT_FALSE(exists("C:\\VEQWAVE.WAV"));
    EXPECT_FALSE(exists("C:\\VEQWAVE.VOX"));
}

TEST_F(Veqwave, ConverterRefusalIsItsExitCode)
{
    writefile(prompts + "BAD.WAV", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '});
    EXPECT_EQ(LVWAVE_wavetomodem(ctx, (prompts + "BAD.WAV").c_str(), (prompts + "BAD.VOX").c_str(), 4), 48522);
    EXPECT_FALSE(exists(prompts + "BAD.VOX"));
    EXPECT_FALSE(exists("C:\\VEQWAVE.WAV"));
}

TEST_F(Veqwave, RockwellPromptsOnNtGoThroughTheConverter)
{
    std::int16_t version = 0;
    INS_getwinversion(ctx, &version);
    if (version != 2) GTEST_SKIP() << "this Wine prefix does not report Windows NT";
    ctx->INS_vendor = 8;
    writefile(prompts + "HELLO.WAV", wave16(11025, tone(11025)));
    writefile(prompts + "RINGING.WAV", wave16(11025, tone(100)));
    ASSERT_EQ(INS_convertscript(ctx), ST_OK);
    std::vector<std::uint8_t> f = readfile(prompts + "HELLO.VOX");
    ASSERT_GT(f.size(), 16u);
    EXPECT_EQ(std::string(f.begin(), f.begin() + 5), "ROCK ");
    EXPECT_EQ((f.size() - 16) % 8, 0u) << "whole 16-bit words of 16 samples";
    EXPECT_EQ(f.size(), 16u + 12 * 300) << "one second at 7200 Hz";
    EXPECT_FALSE(exists(prompts + "RINGING.VOX"));
}

// Prompts deleted for USEVOXROCK: a link among them goes as the link itself;
// what it points at, outside the prompt directory, stays.
TEST_F(Veqwave, UseVoxRockRemovesALinkAsTheLinkItself)
{
    std::int16_t version = 0;
    INS_getwinversion(ctx, &version);
    if (version != 2) GTEST_SKIP() << "this Wine prefix does not report Windows NT";
    using makelink = BOOLEAN(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    auto create = reinterpret_cast<makelink>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
    if (!create) GTEST_SKIP() << "no symbolic links here";
    mkdir("OUTSIDE");
    std::string outside = root + "OUTSIDE\\";
    writefile(outside + "KEEP.WAV", wave16(11025, tone(100)));
    writefile(outside + "INNER.WAV", wave16(11025, tone(100)));
    ASSERT_TRUE(create((prompts + "LINKED.WAV").c_str(), (outside + "KEEP.WAV").c_str(), 0));
    ASSERT_TRUE(create((prompts + "FOLDER.WAV").c_str(), outside.c_str(), 1));
    writefile(prompts + "HELLO.WAV", wave16(11025, tone(100)));
    ctx->INS_vendor = 8;
    ctx->INS_iniusevoxrock = 1;
    ASSERT_EQ(INS_convertscript(ctx), ST_OK);
    EXPECT_FALSE(exists(prompts + "HELLO.WAV"));
    EXPECT_FALSE(exists(prompts + "LINKED.WAV")) << "the link itself goes";
    EXPECT_TRUE(exists(outside + "KEEP.WAV")) << "deleted through a link";
    EXPECT_TRUE(exists(outside + "INNER.WAV")) << "a directory link was entered";
    RemoveDirectoryA((prompts + "FOLDER.WAV").c_str());
}

}  // namespace
