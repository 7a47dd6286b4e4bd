// The conversion driver: the road per vendor code, the passes over the prompt
// directory, one prompt into a voice file, the external converter and the
// start of external programs.
#include <unistd.h>

#include <climits>
#include <cmath>

#include "tests/native/voice_testkit.h"
#include "voice/adpcm.h"
#include "voice/compressor.h"
#include "voice/convertscript.h"
#include "voice/sbcoder.h"
#include "voice/wavefile.h"

namespace {

using namespace voicetest;

std::vector<std::int16_t> tone(int n, int period = 40)
{
    std::vector<std::int16_t> s;
    for (int i = 0; i < n; ++i) s.push_back(std::int16_t(9000 * std::sin(i * 2 * 3.14159265 / period)));
    return s;
}

// The bytes the in-process coder makes of these samples in blocks of
// blocklength bytes (the last block padded with zero samples).
bytes coded(std::vector<std::int16_t> s, int coding, std::size_t blocklength, std::int16_t flag = 0, bool invert = false)
{
    std::size_t half = blocklength / 2;
    if (s.size() % half) s.resize(s.size() + half - s.size() % half, 0);
    sb_coder c;
    sb_start(&c, coding, flag, invert);
    bytes in = pcm16(s), out;
    for (std::size_t at = 0; at < in.size(); at += blocklength) {
        std::uint8_t o[2048];
        std::uint16_t n = 0;
        sb_compress(&c, in.data() + at, std::uint16_t(blocklength), o, &n);
        out.insert(out.end(), o, o + n);
    }
    return out;
}

typedef VoiceTest RoadTable;

TEST_F(RoadTable, EachVendorCodeTakesItsRoad)
{
    struct row {
        std::int16_t vendor, att8000;
        voice_road road;
        const char* tag;
        std::int16_t coding;
        std::int32_t rate;
        std::int16_t bits;
        bool rockwell;
    };
    const row rows[] = {
        {0, 0, ROAD_VOICEFILE, "ROCK ", 4, 0, 0, true},   {3, 0, ROAD_VOICEFILE, "ROCK ", 4, 0, 0, true},
        {5, 0, ROAD_VOICEFILE, "ROCK ", 4, 0, 0, true},   {8, 0, ROAD_VOICEFILE, "ROCK ", 4, 0, 0, true},
        {9, 0, ROAD_VOICEFILE, "ROCK ", 4, 0, 0, true},   {18, 0, ROAD_VOICEFILE, "ROCK ", 4, 0, 0, true},
        {6, 0, ROAD_VOICEFILE, "ROCK ", 4, 0, 0, false},  {7, 0, ROAD_VOICEFILE, "ROCK ", 4, 0, 0, false},
        {60, 0, ROAD_VOICEFILE, "ROCK ", 4, 0, 0, false}, {61, 0, ROAD_VOICEFILE, "ROCK ", 4, 0, 0, false},
        {31, 0, ROAD_VOICEFILE, "ROCK ", 2, 0, 0, false}, {11, 0, ROAD_VOICEFILE, "CIRRU", 8, 0, 0, false},
        {12, 0, ROAD_VOICEFILE, "CIRRU", 4, 0, 0, false}, {21, 0, ROAD_VOICEFILE, "SIERR", 8, 0, 0, false},
        {22, 0, ROAD_VOICEFILE, "SIERR", 8, 0, 0, false}, {41, 0, ROAD_VOICEFILE, "AT&T ", 8, 0, 0, false},
        {41, 1, ROAD_RESAMPLE, nullptr, 0, 8000, 8, false}, {13, 0, ROAD_RESAMPLE, nullptr, 0, 8000, 8, false},
        {62, 0, ROAD_RESAMPLE, nullptr, 0, 8000, 8, false}, {63, 0, ROAD_RESAMPLE, nullptr, 0, 8000, 8, false},
        {65, 0, ROAD_RESAMPLE, nullptr, 0, 8000, 8, false}, {69, 0, ROAD_RESAMPLE, nullptr, 0, 8000, 8, false},
        {59, 0, ROAD_RESAMPLE, nullptr, 0, 7200, 8, false}, {51, 0, ROAD_VOICEFILE, "ZyXEL", 4, 0, 0, false},
        {52, 0, ROAD_VOICEFILE, "ZyXEL", 4, 0, 0, false}, {14, 0, ROAD_NONE, nullptr, 0, 0, 0, false},
        {64, 0, ROAD_NONE, nullptr, 0, 0, 0, false},      {1, 0, ROAD_RESAMPLE, nullptr, 0, 8000, 16, false},
        {4, 0, ROAD_RESAMPLE, nullptr, 0, 8000, 16, false}, {70, 1, ROAD_RESAMPLE, nullptr, 0, 8000, 16, false},
        {98, 0, ROAD_RESAMPLE, nullptr, 0, 8000, 16, false}, {-1, 0, ROAD_RESAMPLE, nullptr, 0, 8000, 16, false},
    };
    for (const row& r : rows) {
        ctx->INS_vendor = r.vendor;
        ctx->INS_iniuse8000waveatt = r.att8000;
        const vendor_road* found = LV_findroad(ctx);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->road, r.road) << "vendor " << r.vendor;
        if (r.road == ROAD_VOICEFILE) {
            EXPECT_STREQ(found->tag, r.tag) << "vendor " << r.vendor;
            EXPECT_EQ(found->coding, r.coding) << "vendor " << r.vendor;
            EXPECT_EQ(found->rockwell, r.rockwell) << "vendor " << r.vendor;
        }
        if (r.road == ROAD_RESAMPLE) {
            EXPECT_EQ(found->rate, r.rate) << "vendor " << r.vendor;
            EXPECT_EQ(found->bits, r.bits) << "vendor " << r.vendor;
        }
    }
}

typedef VoiceTest ScaleSample;

std::vector<std::int16_t> kept_positions(setup_context* ctx, std::int32_t ratio, int inputs)
{
    ctx->LV_scaleratio = ratio;
    LV_scalereset(ctx);
    std::vector<std::int16_t> block(4096);
    std::int16_t waiting = 0;
    for (int i = 0; i < inputs; ++i) {
        while (LV_scalesample(ctx, block.data(), &waiting, std::int16_t(i)) != 0) {
        }
    }
    return std::vector<std::int16_t>(block.begin(), block.begin() + waiting);
}

TEST_F(ScaleSample, KeptInputsAtTheModemRates)
{
    typedef std::vector<std::int16_t> v;
    EXPECT_EQ(kept_positions(ctx, 11025 * 100 / 8000, 16), (v{0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 15}));
    EXPECT_EQ(kept_positions(ctx, 11025 * 100 / 7200, 11), (v{0, 1, 3, 4, 6, 7, 9, 10}));
    EXPECT_EQ(kept_positions(ctx, 11025 * 100 / 9600, 10), (v{0, 1, 2, 3, 4, 5, 6, 7, 9}));
    EXPECT_EQ(kept_positions(ctx, 11025 * 100 / 4800, 17), (v{0, 2, 4, 6, 9, 11, 13, 16}));
    EXPECT_EQ(kept_positions(ctx, 100, 5), (v{0, 1, 2, 3, 4}));
}

TEST_F(ScaleSample, SlowerPromptsRepeatSamplesInsteadOfKeepingOnlyTheFirst)
{
    typedef std::vector<std::int16_t> v;
    EXPECT_EQ(kept_positions(ctx, 50, 4), (v{0, 0, 1, 1, 2, 2, 3, 3}));
    std::vector<std::int16_t> k = kept_positions(ctx, 8000 * 100 / 9600, 600);
    EXPECT_NEAR(double(k.size()), 600 * 100.0 / 83, 2.0);
}

// A prompt directory under the destination, a loaded in-process compressor.
class Driver : public VoiceTest {
protected:
    std::string prompts;

    void SetUp() override
    {
        VoiceTest::SetUp();
        UL_copytext(ctx->pathname, dir.c_str());
        prompts = dir + "SCRIPT1/";
        ASSERT_EQ(mkdir(prompts.c_str(), 0755), 0);
        ctx->INS_whichprogram = 1;
    }

    void bind_library()
    {
        std::int32_t error = 0;
        writefile(dir + "LIB.DLL", {'x'});
        ctx->sblibrary = LV_sysload((dir + "LIB.DLL").c_str(), &error);
        ctx->sbvendorindex = -1;
        ctx->sbstartentry = LV_sysentry(ctx->sblibrary, "SB_initcompress");
        ctx->sbcompressentry = LV_sysentry(ctx->sblibrary, "SB_compress");
    }

    void header(const char* tag, std::uint8_t coding)
    {
        LV_makeheader(ctx->voiceheader, tag, coding);
    }
};

TEST_F(Driver, ThreeThousandSamplesMakeTwoBlocksAndAPaddedThird)
{
    ctx->INS_vendor = 21;  // 8000 Hz, blocks of 2048 bytes
    bind_library();
    header("SIERR", 0);
    std::vector<std::int16_t> s = tone(3000);
    writefile(prompts + "A.WAV", wave(1, 8000, 16, pcm16(s)));
    ASSERT_EQ(LV_wavetomodem(ctx, (prompts + "A.WAV").c_str(), (prompts + "A.VOX").c_str(), 8), ST_OK) << log();
    bytes f = readfile(prompts + "A.VOX");
    const std::uint8_t expected[16] = {'S', 'I', 'E', 'R', 'R', 2, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0};
    ASSERT_GE(f.size(), 16u);
    EXPECT_EQ(bytes(f.begin(), f.begin() + 16), bytes(expected, expected + 16));
    EXPECT_EQ(bytes(f.begin() + 16, f.end()), coded(s, 8, 2048));
    EXPECT_EQ(f.size(), 16u + 3 * 1024);
    EXPECT_TRUE(logged("left=144\r\n")) << log();
    EXPECT_TRUE(logged("bytesneeded=2048\r\n"));
    EXPECT_TRUE(logged("LV_scaleratio=100\r\n"));
    EXPECT_TRUE(logged("wave to modem filesize =6000\r\n"));
    EXPECT_EQ(ctx->INS_currentfilesize, 3 * 2048);
}

TEST_F(Driver, A11025HzPromptIsThinnedToTheModemRate)
{
    ctx->INS_vendor = 3;  // 7200 Hz, blocks of 48 bytes
    bind_library();
    header("ROCK ", 0);
    std::vector<std::int16_t> s = tone(2205, 25);
    writefile(prompts + "B.WAV", wave(1, 11025, 16, pcm16(s)));
    ASSERT_EQ(LV_wavetomodem(ctx, (prompts + "B.WAV").c_str(), (prompts + "B.VOX").c_str(), 4), ST_OK) << log();
    std::vector<std::int16_t> kept;
    for (std::size_t j = 0;; ++j) {
        std::size_t i = j * 153 / 100;
        if (i >= s.size()) break;
        kept.push_back(s[i]);
    }
    bytes f = readfile(prompts + "B.VOX");
    EXPECT_EQ(f[10], 4);
    EXPECT_EQ(bytes(f.begin() + 16, f.end()), coded(kept, 4, 48));
    EXPECT_TRUE(logged("LV_scaleratio=153\r\n")) << log();
}

TEST_F(Driver, PromptsTheCompressorCannotTakeLeaveOnlyTheHeader)
{
    ctx->INS_vendor = 21;
    bind_library();
    header("SIERR", 8);
    struct bad {
        const char* name;
        bytes file;
        status_t st;
    };
    const bad cases[] = {
        {"EIGHT", wave(1, 8000, 8, bytes(100, 128)), LV_ERR_FORMAT},
        {"STEREO", riff({chunk("fmt ", fmt(1, 2, 8000, 16)), chunk("data", bytes(100, 0))}), LV_ERR_FORMAT},
        {"ADPCM", wave(0x11, 8000, 16, bytes(100, 0)), LV_ERR_FORMAT},
        {"NOTWAV", bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}, LV_ERR_TYPE},
        {"SHORT", bytes{'R', 'I', 'F'}, LV_ERR_CHUNK},
        {"NOFMT", riff({chunk("data", bytes(10, 0))}), LV_ERR_FMT},
        {"SMALLFMT", riff({chunk("fmt ", bytes(12, 0)), chunk("data", bytes(10, 0))}), LV_ERR_FMTSIZE},
        {"NODATA", riff({chunk("fmt ", fmt(1, 1, 8000, 16))}), ST_WAVE_BAD_FORMAT},
        {"ZERORATE", wave(1, 0, 16, bytes(100, 0)), LV_ERR_FORMAT},
    };
    for (const bad& c : cases) {
        std::string wav = prompts + c.name + ".WAV", vox = prompts + c.name + ".VOX";
        writefile(wav, c.file);
        EXPECT_EQ(LV_wavetomodem(ctx, wav.c_str(), vox.c_str(), 8), c.st) << c.name;
        EXPECT_EQ(readfile(vox).size(), 16u) << c.name;
    }
    // Data that end before the data chunk says.
    bytes cut = wave(1, 8000, 16, bytes(100, 0));
    cut.resize(cut.size() - 30);
    writefile(prompts + "CUT.WAV", cut);
    EXPECT_EQ(LV_wavetomodem(ctx, (prompts + "CUT.WAV").c_str(), (prompts + "CUT.VOX").c_str(), 8),
              ST_WAVE_BAD_FORMAT);
    EXPECT_EQ(LV_wavetomodem(ctx, (prompts + "NONE.WAV").c_str(), (prompts + "NONE.VOX").c_str(), 8), LV_ERR_OPEN);
    EXPECT_TRUE(logged("wavefile=" + prompts + "NONE.WAV")) << log();
}

TEST_F(Driver, VoiceFileRoadMakesAVoxBesideEveryPromptButTheRingAndPhoneTones)
{
    ctx->INS_vendor = 41;
    bind_library();
    for (const char* n : {"HELLO.WAV", "BYE.WAV", "RINGING.WAV", "PHONE.WAV"})
        writefile(prompts + n, wave(1, 8000, 16, pcm16(tone(500))));
    writefile(prompts + "MONO8.WAV", wave(1, 8000, 8, bytes(500, 128)));
    ASSERT_EQ(INS_convertscript(ctx), ST_OK) << log();
    for (const char* n : {"HELLO", "BYE"}) {
        bytes f = readfile(prompts + n + ".VOX");
        ASSERT_EQ(f.size(), 16u + 1024) << n;
        EXPECT_EQ(std::string(f.begin(), f.begin() + 5), "AT&T ");
        EXPECT_EQ(f[10], 8);
        EXPECT_TRUE(exists(prompts + n + ".WAV")) << "the WAV prompt stays beside its voice file";
    }
    EXPECT_FALSE(exists(prompts + "RINGING.VOX"));
    EXPECT_FALSE(exists(prompts + "PHONE.VOX"));
    EXPECT_EQ(readfile(prompts + "MONO8.VOX").size(), 16u);
    EXPECT_TRUE(logged("cannot convert\r\n"));
    EXPECT_TRUE(logged("numfiles=2\r\n")) << log();
    EXPECT_TRUE(logged("INS_convertscript vendor=41\r\n"));
    EXPECT_TRUE(logged("INS_convertscript done\r\n"));
    EXPECT_EQ(ctx->sblibrary, nullptr) << "the library is released at the end";
    EXPECT_EQ(doubles::libraries_open, 0);
}

TEST_F(Driver, Vendor41With8000WaveAttResamplesInstead)
{
    ctx->INS_vendor = 41;
    ctx->INS_iniuse8000waveatt = 1;
    bytes tonewav = wave(1, 11025, 16, pcm16(tone(2000)));
    writefile(prompts + "HELLO.WAV", tonewav);
    writefile(prompts + "RINGING.WAV", tonewav);
    ASSERT_EQ(INS_convertscript(ctx), ST_OK) << log();
    bytes f = readfile(prompts + "HELLO.WAV");
    EXPECT_EQ(get32(f, 24), 8000u);
    EXPECT_EQ(get16(f, 34), 8);
    EXPECT_EQ(f.size(), 46u + 1276);
    EXPECT_EQ(readfile(prompts + "RINGING.WAV"), tonewav);
    EXPECT_FALSE(exists(prompts + "HELLO.VOX"));
}

TEST_F(Driver, OtherCodesResampleTo16BitAndLeaveOtherRatesAlone)
{
    ctx->INS_vendor = 77;
    bytes at22 = wave(1, 22050, 16, pcm16(tone(4000)));
    writefile(prompts + "A.WAV", wave(1, 11025, 16, pcm16(tone(1760))));
    writefile(prompts + "B.WAV", at22);
    ASSERT_EQ(INS_convertscript(ctx), ST_OK);
    bytes a = readfile(prompts + "A.WAV");
    EXPECT_EQ(get16(a, 34), 16);
    EXPECT_EQ(get32(a, 42), 2u * 1276);
    EXPECT_EQ(readfile(prompts + "B.WAV"), at22);
    EXPECT_TRUE(logged("numfiles=2\r\n"));

    // There a prompt that cannot be replaced simply stays as it was.
    bytes at11 = wave(1, 11025, 16, pcm16(tone(1760)));
    writefile(prompts + "A.WAV", at11);
    doubles::file_in_use = prompts + "A.WAV";
    ASSERT_EQ(INS_convertscript(ctx), ST_OK);
    EXPECT_EQ(readfile(prompts + "A.WAV"), at11);
    EXPECT_FALSE(exists(prompts + "A.XXX"));
}

TEST_F(Driver, Vendor14LeavesThePromptsUntouched)
{
    ctx->INS_vendor = 14;
    bytes w = wave(1, 11025, 16, pcm16(tone(2000)));
    writefile(prompts + "A.WAV", w);
    ASSERT_EQ(INS_convertscript(ctx), ST_OK);
    EXPECT_EQ(readfile(prompts + "A.WAV"), w);
    EXPECT_TRUE(logged("INS_convertscript done\r\n"));
}

TEST_F(Driver, FaxProductConvertsNothing)
{
    ctx->INS_whichprogram = 0;
    ctx->INS_vendor = 21;
    bytes w = wave(1, 11025, 16, pcm16(tone(2000)));
    writefile(prompts + "A.WAV", w);
    ASSERT_EQ(INS_convertscript(ctx), ST_OK);
    EXPECT_EQ(readfile(prompts + "A.WAV"), w);
    EXPECT_FALSE(logged("INS_convertscript vendor="));
}

TEST_F(Driver, UseVoxRockDeletesTheRockwellPrompts)
{
    ctx->INS_vendor = 8;
    ctx->INS_iniusevoxrock = 1;
    bind_library();
    for (const char* n : {"A.WAV", "RINGING.WAV", "PHONE.WAV"}) writefile(prompts + n, wave(1, 8000, 16, pcm16(tone(50))));
    ASSERT_EQ(INS_convertscript(ctx), ST_OK);
    EXPECT_FALSE(exists(prompts + "A.WAV"));
    EXPECT_FALSE(exists(prompts + "A.VOX"));
    EXPECT_TRUE(exists(prompts + "RINGING.WAV"));
    EXPECT_TRUE(exists(prompts + "PHONE.WAV"));
    EXPECT_TRUE(logged("numfiles=0\r\n"));

    // A prompt folder planted as a link: the prompts where it points stay.
    const std::string elsewhere = dir + "ELSEWHERE/";
    ASSERT_EQ(rename(prompts.c_str(), elsewhere.c_str()), 0);
    ASSERT_EQ(symlink(elsewhere.c_str(), (dir + "SCRIPT1").c_str()), 0);
    writefile(elsewhere + "B.WAV", wave(1, 8000, 16, pcm16(tone(50))));
    ASSERT_EQ(INS_convertscript(ctx), ST_OK);
    EXPECT_TRUE(exists(elsewhere + "B.WAV"));
}

TEST_F(Driver, EmptyPromptDirectoryCountsNoFiles)
{
    ctx->INS_vendor = 21;
    bind_library();
    ASSERT_EQ(INS_convertscript(ctx), ST_OK);
    EXPECT_TRUE(logged("numfiles=0\r\n")) << log();
}

TEST_F(Driver, CancelEndsTheVoiceFileRoadAndStillReleasesTheLibrary)
{
    ctx->INS_vendor = 21;
    bind_library();
    writefile(prompts + "A.WAV", wave(1, 8000, 16, pcm16(tone(50))));
    doubles::stop_at_call = 1;
    EXPECT_EQ(INS_convertscript(ctx), ST_CANCELLED);
    EXPECT_FALSE(logged("INS_convertscript done"));
    EXPECT_EQ(doubles::libraries_open, 0);
}

TEST_F(Driver, DecodingPassConvertsAdpcmWavePrompts)
{
    ctx->INS_convertvox = 1;
    writefile(prompts + "A.WAV", wave(0x11, 8000, 4, bytes(160, 0x77)));
    bytes ring = wave(0x11, 8000, 4, bytes(160, 0x77));
    writefile(prompts + "RINGING.WAV", ring);
    ASSERT_EQ(INS_convertscript(ctx), ST_OK) << log();
    bytes f = readfile(prompts + "A.WAV");
    EXPECT_EQ(get16(f, 34), 8);
    EXPECT_EQ(get32(f, 42), 320u);
    EXPECT_EQ(readfile(prompts + "RINGING.WAV"), ring);
    EXPECT_TRUE(logged("INS_convertvox2=1\r\n"));
    EXPECT_TRUE(logged("numfile=1\r\n")) << log();
}

TEST_F(Driver, DecodingPassMode3TakesOnlyVoxFiles)
{
    ctx->INS_convertvox = 3;
    ctx->INS_vendor = 21;
    bytes vox(16 + 10, 0x11);
    writefile(prompts + "A.VOX", vox);
    bytes w = wave(0x11, 8000, 4, bytes(160, 0x77));
    writefile(prompts + "B.WAV", w);
    ASSERT_EQ(INS_decodeprompts(ctx), ST_OK) << log();
    bytes f = readfile(prompts + "A.VOX");
    EXPECT_EQ(f.size(), 16u + 20);
    EXPECT_EQ(std::string(f.begin(), f.begin() + 5), "SIERR");
    EXPECT_EQ(readfile(prompts + "B.WAV"), w);
}

TEST_F(Driver, DecodingPassUnknownModeFailsAtTheFirstFile)
{
    ctx->INS_convertvox = 4;
    writefile(prompts + "A.WAV", wave(0x11, 8000, 4, bytes(160, 0x77)));
    EXPECT_EQ(INS_convertscript(ctx), ST_GENERAL);
    EXPECT_TRUE(logged("oem ofr=4\r\n")) << log();
    EXPECT_FALSE(logged("INS_convertscript done"));
}

TEST_F(Driver, DecodingPassWithoutFilesTracesNothingAfterTheSearch)
{
    ctx->INS_convertvox = 2;
    ASSERT_EQ(INS_decodeprompts(ctx), ST_OK);
    std::string l = log();
    EXPECT_EQ(l.substr(l.size() - std::string("findfirst=1\r\n").size()), "findfirst=1\r\n") << l;
}

TEST_F(Driver, DecodingPassFailureEndsTheDriverWithItsStatus)
{
    ctx->INS_convertvox = 1;
    writefile(prompts + "A.WAV", bytes{'n', 'o'});
    EXPECT_EQ(INS_convertscript(ctx), ST_WAVE_BAD_FORMAT);

    // A prompt that cannot be replaced (in use) fails the pass with its name; it stays as it came.
    bytes adpcm = wave(0x11, 8000, 4, bytes(160, 0x77));
    writefile(prompts + "A.WAV", adpcm);
    doubles::file_in_use = prompts + "A.WAV";
    EXPECT_EQ(INS_convertscript(ctx), ST_CREATE_FAILED) << log();
    EXPECT_EQ(readfile(prompts + "A.WAV"), adpcm);
    EXPECT_FALSE(exists(prompts + "A.XXX"));
    EXPECT_NE(std::strstr(ctx->lasterrortext, "A.WAV"), nullptr) << ctx->lasterrortext;
}

TEST_F(Driver, DecodingPassRefusesNamesItsListCannotHold)
{
    ctx->INS_convertvox = 1;
    writefile(prompts + "AVERYLONGPROMPTNAME.WAV", wave(0x11, 8000, 4, bytes(160, 0x77)));
    ctx->debuglevel = 2;  // the refused name is a detail line
    EXPECT_EQ(INS_decodeprompts(ctx), ST_GENERAL);
    EXPECT_TRUE(logged("name too long=")) << log();
}

TEST_F(Driver, DecodingPassEndsWhenTheListReaches200Names)
{
    ctx->INS_convertvox = 1;
    for (int i = 0; i < 200; ++i) writefile(prompts + "P" + std::to_string(i) + ".WAV", bytes{'x'});
    EXPECT_EQ(INS_decodeprompts(ctx), ST_GENERAL);
    EXPECT_FALSE(logged("numfile="));
}

// The external converter: the prompt directory on drive C: (a directory of
// that name in the scratch directory, the current directory while the test runs).
class External : public Driver {
protected:
    char oldcwd[PATH_MAX] = {};

    void SetUp() override
    {
        Driver::SetUp();
        ASSERT_NE(getcwd(oldcwd, sizeof oldcwd), nullptr);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        ASSERT_EQ(mkdir("C:", 0755), 0);
        ASSERT_EQ(mkdir("C:/INST", 0755), 0);
        ASSERT_EQ(mkdir("C:/INST/SCRIPT1", 0755), 0);
        UL_copytext(ctx->pathname, "C:\\INST\\");
        UL_copytext(ctx->sourcedir, "D:\\");
        ctx->winversion = 2;
        doubles::winversion = 2;  // what the driver's version query reports
    }
    void TearDown() override
    {
        doubles::winversion = 1;
        if (chdir(oldcwd) != 0) ADD_FAILURE() << "cannot return to " << oldcwd;
        Driver::TearDown();
    }
};

TEST_F(External, Vendor8OnNtHandsEachPromptToTheConverter)
{
    ctx->INS_vendor = 8;
    writefile("C:/INST/SCRIPT1/PROMPT.WAV", wave(1, 11025, 16, pcm16(tone(100))));
    bytes converted = {'R', 'O', 'C', 'K', ' ', 2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 9, 9};
    bytes seen_input;
    doubles::task_runtime_ms = 2500;
    doubles::task_action = [&](const std::string&) {
        seen_input = readfile("C:/VEQWAVE.WAV");
        writefile("C:/VEQWAVE.VOX", converted);
    };
    ASSERT_EQ(INS_convertscript(ctx), ST_OK) << log();
    ASSERT_EQ(doubles::task_commands.size(), 1u);
    EXPECT_EQ(doubles::task_commands[0], "\"D:\\VEQWAVE\" 28673 \"C:\\VEQWAVE.WAV\" \"C:\\VEQWAVE.VOX\" 4");
    EXPECT_EQ(seen_input, readfile("C:/INST/SCRIPT1/PROMPT.WAV"));
    EXPECT_EQ(readfile("C:/INST/SCRIPT1/PROMPT.VOX"), converted) << "the converter's file is taken as it is";
    EXPECT_FALSE(exists("C:/VEQWAVE.WAV"));
    EXPECT_FALSE(exists("C:/VEQWAVE.VOX"));
    EXPECT_TRUE(logged("numfiles=1\r\n"));
    EXPECT_TRUE(logged("tempmodemfile=C:\\VEQWAVE.VOX\r\n")) << log();
    EXPECT_EQ(doubles::tasks_open, 0);
}

TEST_F(External, HangingConverterIsEndedAfterTheTimeOutAndThePromptCountsAsFailed)
{
    ctx->INS_vendor = 8;
    writefile("C:/INST/SCRIPT1/PROMPT.WAV", wave(1, 11025, 16, pcm16(tone(100))));
    doubles::task_runtime_ms = 120000;
    doubles::clock_ms = 5000;
    ASSERT_EQ(INS_convertscript(ctx), ST_OK);
    EXPECT_EQ(doubles::tasks_terminated, 1);
    EXPECT_EQ(doubles::tasks_open, 0);
    EXPECT_EQ(doubles::clock_ms, 5000u + 31000u) << "waits in steps of 1000 ms until 30000 ms have passed";
    EXPECT_TRUE(logged("Error in INS_StartTask = 13083\r\n")) << log();
    EXPECT_TRUE(logged("Error in LVWAVE_wavetomodem = 13083\r\n"));
    EXPECT_TRUE(logged("cannot convert\r\n"));
    EXPECT_TRUE(logged("numfiles=0\r\n"));
    EXPECT_FALSE(exists("C:/VEQWAVE.WAV"));
}

TEST_F(External, ConverterWithoutOutputGives13077)
{
    writefile("C:/INST/SCRIPT1/PROMPT.WAV", wave(1, 11025, 16, pcm16(tone(100))));
    EXPECT_EQ(LVWAVE_wavetomodem(ctx, "C:\\INST\\SCRIPT1\\PROMPT.WAV", "C:\\INST\\SCRIPT1\\PROMPT.VOX", 4),
              ST_NOT_LOADED);
    EXPECT_FALSE(exists("C:/VEQWAVE.WAV"));
}

TEST_F(External, NameWithoutDriveGives2173AndTouchesNoTemporary)
{
    writefile("C:/VEQWAVE.WAV", bytes{'k'});
    EXPECT_EQ(LVWAVE_wavetomodem(ctx, "PROMPT.WAV", "PROMPT.VOX", 4), ST_NO_DRIVE);
    EXPECT_TRUE(exists("C:/VEQWAVE.WAV"));
    EXPECT_TRUE(doubles::task_commands.empty());
    EXPECT_TRUE(logged("Error in LVWAVE_wavetomodem = 2173"));
}

typedef VoiceTest StartTask;

TEST_F(StartTask, ExitCodeIsTheStatus)
{
    doubles::task_exitcode = 48522;
    doubles::task_runtime_ms = 1500;
    EXPECT_EQ(INS_StartTask(ctx, "X 1", 30000), 48522);
    doubles::task_exitcode = 0;
    EXPECT_EQ(INS_StartTask(ctx, "X 2", 30000), ST_OK);
    EXPECT_EQ(doubles::tasks_open, 0);
    // The log keeps 20 characters of a text label.
    EXPECT_TRUE(logged("INS_StartTask cmdlinX 1\r\n")) << log();
}

TEST_F(StartTask, ExitCodesThatWouldReadAsSuccessAreFailures)
{
    doubles::task_exitcode = 0x10000;
    EXPECT_EQ(INS_StartTask(ctx, "X", 30000), ST_GENERAL);
}

TEST_F(StartTask, ProgramThatCannotStartGives13082)
{
    doubles::task_start_error = 2;
    EXPECT_EQ(INS_StartTask(ctx, "NOWHERE", 30000), ST_TASK_NOT_STARTED);
    EXPECT_TRUE(logged("Cannot create process rc=%d2\r\nError in INS_StartTask = 13082\r\n")) << log();
}

TEST_F(StartTask, TimeOutCountsFromTheStart)
{
    doubles::task_runtime_ms = 10000;
    EXPECT_EQ(INS_StartTask(ctx, "X", 3000), ST_TASK_TIMEOUT);
    EXPECT_EQ(doubles::clock_ms, 4000u);
    doubles::clock_ms = 0;
    doubles::task_runtime_ms = 3999;
    EXPECT_EQ(INS_StartTask(ctx, "X", 3000), ST_OK) << "a program that ends in the last step is not ended";

    // A wait that fails returns at once: it ends the wait as the time-out does, without spinning to it.
    doubles::clock_ms = 0;
    doubles::task_wait_fails = true;
    EXPECT_EQ(INS_StartTask(ctx, "X", 30000), ST_TASK_TIMEOUT);
    EXPECT_LT(doubles::clock_ms, 1000u) << "the failed wait was repeated until the time-out";
    EXPECT_EQ(doubles::tasks_terminated, 2);
    EXPECT_EQ(doubles::tasks_open, 0);
}

}  // namespace
