// The built compressor libraries loaded by their staged names and driven
// through their real entry points; staging, loading and removal by the installer.
#include <cmath>

#include "tests/win32/voice_testkit.h"
#include "voice/compressor.h"
#include "voice/sbcoder.h"

namespace {

using namespace voicewin;

std::vector<std::int16_t> tone(int n)
{
    std::vector<std::int16_t> s;
    for (int i = 0; i < n; ++i) s.push_back(std::int16_t(9000 * std::sin(i * 2 * 3.14159265 * 440 / 8000)));
    return s;
}

std::vector<std::uint8_t> reference(const std::vector<std::int16_t>& s, int coding, int flag, bool invert,
                                    sb_family family = sb_family::ima)
{
    sb_coder c;
    sb_start(&c, coding, std::int16_t(flag), invert, family);
    std::uint8_t out[2048];
    std::uint16_t n = 0;
    sb_compress(&c, reinterpret_cast<const std::uint8_t*>(s.data()), std::uint16_t(2 * s.size()), out, &n);
    return std::vector<std::uint8_t>(out, out + n);
}

TEST(CompressorLibrary, StagedLibrariesCodeWhatTheirFamilyPlays)
{
    struct row {
        const char* ext;
        sb_family family;
        std::vector<int> codings;
        int refused;
    };
    const row rows[] = {
        {"ROC", sb_family::rockwell, {2, 3, 4}, 8}, {"ACF", sb_family::rockwell, {2, 3, 4}, 8},
        {"PCT", sb_family::rockwell, {2, 3, 4}, 8}, {"SIE", sb_family::ima, {2, 4, 8}, 3},
        {"ATT", sb_family::ima, {2, 4, 8}, 3},      {"CIR", sb_family::ima, {2, 4, 8}, 3},
        {"ZYX", sb_family::zyxel, {2, 3, 4}, 8},    {"UMC", sb_family::g721, {4}, 2},
        {"USR", sb_family::gsm, {2, 4}, 3},
    };
    for (const row& r : rows) {
        std::string path = stage_dir() + "PROGCHIP\\VEQSB95." + r.ext;
        HMODULE lib = LoadLibraryA(path.c_str());
        ASSERT_NE(lib, nullptr) << path << " error " << GetLastError();
        auto start = reinterpret_cast<sb_initcompress_fn>(reinterpret_cast<void*>(GetProcAddress(lib, "SB_initcompress")));
        auto compress = reinterpret_cast<sb_compress_fn>(reinterpret_cast<void*>(GetProcAddress(lib, "SB_compress")));
        ASSERT_NE(start, nullptr) << "SB_initcompress not exported undecorated by " << path;
        ASSERT_NE(compress, nullptr);
        std::vector<std::int16_t> s = tone(2048);
        const bool invert = std::string(r.ext) == "ATT";
        for (int coding : r.codings) {
            ASSERT_EQ(start(nullptr, coding, 0), 0) << r.ext << " coding " << coding;
            // Two blocks: the state runs on from the first to the second.
            std::vector<std::uint8_t> got;
            for (int half = 0; half < 2; ++half) {
                std::uint8_t out[2048];
                std::uint16_t n = 0;
                ASSERT_EQ(compress(nullptr, s.data() + 1024 * half, 2048, out, &n), 0);
                got.insert(got.end(), out, out + n);
            }
            std::vector<std::uint8_t> first = reference(std::vector<std::int16_t>(s.begin(), s.begin() + 1024), coding, 0,
                                                        invert, r.family);
            EXPECT_EQ(std::vector<std::uint8_t>(got.begin(), got.begin() + first.size()), first)
                << r.ext << " coding " << coding;
            EXPECT_EQ(got.size(), 2 * first.size()) << r.ext << " coding " << coding;
        }
        EXPECT_EQ(start(nullptr, r.refused, 0), SB_BADREQUEST) << r.ext << ": coding " << r.refused << " is refused";
        FreeLibrary(lib);
    }
}

// The US Robotics library as the installer drives it: 320-byte blocks, one
// frame each, framed by the start flag (the firmware flag usrversion).
TEST(CompressorLibrary, UsrLibraryCodesOneModemFramePerBlock)
{
    std::string path = stage_dir() + "PROGCHIP\\VEQSB95.USR";
    HMODULE lib = LoadLibraryA(path.c_str());
    ASSERT_NE(lib, nullptr) << path;
    auto start = reinterpret_cast<sb_initcompress_fn>(reinterpret_cast<void*>(GetProcAddress(lib, "SB_initcompress")));
    auto compress = reinterpret_cast<sb_compress_fn>(reinterpret_cast<void*>(GetProcAddress(lib, "SB_compress")));
    ASSERT_NE(start, nullptr);
    ASSERT_NE(compress, nullptr);
    std::vector<std::int16_t> s = tone(160), quiet(160, 0);
    std::uint8_t out[2048];
    std::uint16_t n = 0;
    ASSERT_EQ(start(nullptr, 2, 0), 0);
    ASSERT_EQ(compress(nullptr, s.data(), 320, out, &n), 0);
    ASSERT_EQ(n, 38) << "start flag 0: the modem's 38-byte frames";
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 2), (std::vector<std::uint8_t>{0xFE, 0xFE}));
    EXPECT_EQ(out[2] >> 4, 0) << "signature nibble 0";
    EXPECT_EQ(std::vector<std::uint8_t>(out + 35, out + 38), (std::vector<std::uint8_t>{0x00, 0xA5, 0xA5}));
    ASSERT_EQ(compress(nullptr, quiet.data(), 320, out, &n), 0);
    ASSERT_EQ(n, 38);
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 2), (std::vector<std::uint8_t>{0xB6, 0xB6})) << "a silent block";
    ASSERT_EQ(start(nullptr, 2, 1), 0);
    ASSERT_EQ(compress(nullptr, s.data(), 320, out, &n), 0);
    EXPECT_EQ(n, 33) << "start flag 1: bare frames";
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + n), reference(s, 2, 1, false, sb_family::gsm));
    FreeLibrary(lib);
}

TEST(CompressorLibrary, VendorLibraryAnswersOnlyVendorIndex1)
{
    std::string path = stage_dir() + "PROGRAM\\VEQSBV.DLL";
    HMODULE lib = LoadLibraryA(path.c_str());
    ASSERT_NE(lib, nullptr) << path;
    auto start = reinterpret_cast<sb_initcompressvendor_fn>(
        reinterpret_cast<void*>(GetProcAddress(lib, "SB_initcompressvendor")));
    auto compress =
        reinterpret_cast<sb_compressvendor_fn>(reinterpret_cast<void*>(GetProcAddress(lib, "SB_compressvendor")));
    ASSERT_NE(start, nullptr);
    ASSERT_NE(compress, nullptr);
    EXPECT_EQ(start(nullptr, 2, 4, 1), SB_BADREQUEST);
    ASSERT_EQ(start(nullptr, 1, 4, 1), 0);
    std::vector<std::int16_t> s = tone(24);
    std::uint8_t out[2048];
    std::uint16_t n = 0;
    ASSERT_EQ(compress(nullptr, 1, s.data(), 48, out, &n), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + n), reference(s, 4, 1, false, sb_family::rockwell))
        << "VEQSBV.DLL codes Rockwell ADPCM";
    FreeLibrary(lib);
}

TEST(CompressorLibrary, SupportLibrariesLoadAndNameTheirPart)
{
    int part = 1;
    for (const char* name : {"VEQSB16.DLL", "VEQTHK16.DLL", "VEQTHK32.DLL"}) {
        HMODULE lib = LoadLibraryA((stage_dir() + "PROGCHIP\\" + name).c_str());
        ASSERT_NE(lib, nullptr) << name;
        typedef DWORD(WINAPI * version_fn)();
        auto version = reinterpret_cast<version_fn>(reinterpret_cast<void*>(GetProcAddress(lib, "SB_supportversion")));
        ASSERT_NE(version, nullptr) << name;
        EXPECT_EQ(version() & 0xFFFF, DWORD(part++)) << name;
        FreeLibrary(lib);
    }
}

// An installation source with the staged libraries, and the target directories.
class Binding : public VoiceWinTest {
protected:
    std::string src, win, prog, data;

    void SetUp() override
    {
        VoiceWinTest::SetUp();
        for (const char* d : {"SRC", "SRC\\PROGCHIP", "SRC\\PROGRAM", "SRC\\DATACHIP", "WIN", "PROG", "DATA"}) mkdir(d);
        src = root + "SRC\\";
        win = root + "WIN\\";
        prog = root + "PROG\\";
        data = root + "DATA\\";
        WIN32_FIND_DATAA d;
        HANDLE h = FindFirstFileA((stage_dir() + "PROGCHIP\\*").c_str(), &d);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << "the companions are not staged";
        do {
            if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                CopyFileA((stage_dir() + "PROGCHIP\\" + d.cFileName).c_str(), (src + "PROGCHIP\\" + d.cFileName).c_str(), FALSE);
        } while (FindNextFileA(h, &d));
        FindClose(h);
        CopyFileA((stage_dir() + "PROGRAM\\VEQSBV.DLL").c_str(), (src + "PROGRAM\\VEQSBV.DLL").c_str(), FALSE);
        for (const char* ext : {"ROC", "MB", "ATT", "MOT"}) writefile(src + "DATACHIP\\VOICE." + ext, {'[', ']'});
        UL_copytext(ctx->sourcedir, src.c_str());
        UL_copytext(ctx->windowsdir, win.c_str());
        UL_copytext(ctx->programdir, prog.c_str());
        UL_copytext(ctx->datadir, data.c_str());
        UL_copytext(ctx->productname, "VOICE");
        ctx->INS_whichprogram = 1;
    }
};

TEST_F(Binding, AttLibraryIsStagedLoadedAndCodesInvertedBytes)
{
    ctx->INS_vendor = 41;
    ASSERT_EQ(INS_loadsbfile(ctx), ST_OK);
    EXPECT_TRUE(exists(data + "VOICE.INI"));
    std::int32_t rate = 0;
    std::int16_t block = 0;
    ASSERT_EQ(LV_initcompress(ctx, 8, &rate, &block), ST_OK);
    EXPECT_EQ(rate, 8000);
    EXPECT_EQ(block, 2048);
    std::vector<std::int16_t> s = tone(1024);
    std::uint8_t out[2048];
    std::uint16_t n = 0;
    ASSERT_EQ(LV_compress(ctx, s.data(), block, out, &n), ST_OK);
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + n), reference(s, 8, 0, true));
    // Removal while the library is still loaded (the failure path) still moves it.
    EXPECT_EQ(INS_removesbfile(ctx), ST_OK);
    EXPECT_FALSE(exists(win + "VEQSB95.DLL"));
    EXPECT_TRUE(exists(prog + "VEQSB95.DLL"));
}

TEST_F(Binding, Vendor60CallsTheVendorIndexedEntryPoints)
{
    ctx->INS_vendor = 60;
    ASSERT_EQ(INS_loadsbfile(ctx), ST_OK);
    std::int32_t rate = 0;
    std::int16_t block = 0;
    ASSERT_EQ(LV_initcompress(ctx, 4, &rate, &block), ST_OK);
    EXPECT_EQ(block, 48);
    std::vector<std::int16_t> s = tone(24);
    std::uint8_t out[2048];
    std::uint16_t n = 0;
    ASSERT_EQ(LV_compress(ctx, s.data(), block, out, &n), ST_OK);
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + n), reference(s, 4, 1, false, sb_family::rockwell))
        << "vendor 60: Rockwell ADPCM, start flag 1";
    LV_releasecompressor(ctx);
    EXPECT_EQ(INS_removesbfile(ctx), ST_OK);
}

TEST_F(Binding, Vendor8OnNtLeavesOnlyTheProgramDirectoryWithTheLibraries)
{
    ctx->INS_vendor = 8;
    ctx->winversion = 2;
    ASSERT_EQ(INS_loadsbfile(ctx), ST_OK);
    for (const char* n : {"VEQSB16.DLL", "VEQTHK16.DLL", "VEQTHK32.DLL", "VEQSB95.DLL"}) EXPECT_TRUE(exists(win + n)) << n;
    LV_releasecompressor(ctx);
    ASSERT_EQ(INS_removesbfile(ctx), ST_OK);
    for (const char* n : {"VEQSB16.DLL", "VEQTHK16.DLL", "VEQTHK32.DLL", "VEQSB95.DLL"}) {
        EXPECT_FALSE(exists(win + n)) << n;
        EXPECT_TRUE(exists(prog + n)) << n;
    }
}

TEST_F(Binding, ALibraryThatIsNoLibraryGives900)
{
    ctx->INS_vendor = 0;
    writefile(src + "PROGCHIP\\VEQSB95.ROC", {'n', 'o', 't', ' ', 'a', ' ', 'd', 'l', 'l'});
    EXPECT_EQ(INS_loadsbfile(ctx), ST_NOT_AVAILABLE);
    EXPECT_EQ(ctx->sblibrary, nullptr);
}

}  // namespace
