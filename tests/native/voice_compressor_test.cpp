// The compressor binding: extension and parameter tables, staging and
// loading of the library, the entry points, and the removal afterwards.
#include "tests/native/voice_testkit.h"
#include "voice/compressor.h"
#include "voice/sbcoder.h"

namespace {

using namespace voicetest;

struct ext_row {
    std::int16_t vendor;
    const char* data;
    const char* prog;
};

// The whole table, and codes outside it.
const ext_row ext_rows[] = {
    {0, "ROC", "ROC"},  {3, "PB", "ROC"},   {4, "ZM", "ROC"},   {5, "ACF", "ACF"},  {6, "UMC", "UMC"},
    {7, "PCT", "PCT"},  {8, "MB", "ROC"},   {9, "HAY", "ROC"},  {11, "CIR", "CIR"}, {12, "CUX", "CIR"},
    {13, "C01", "C01"}, {18, "MBP", "ROC"}, {21, "SIE", "SIE"}, {22, "SI4", "SIE"}, {31, "USR", "USR"},
    {41, "ATT", "ATT"}, {51, "ZYX", "ZYX"}, {52, "Z28", "ZYX"}, {59, "M01", "PCT"}, {60, "MOT", "PCT"},
    {61, "HCF", "PCT"}, {62, "ESS", "PCT"}, {64, "ESS", "PCT"}, {63, "A02", "PCT"}, {65, "R01", "PCT"},
    {69, "A01", "PCT"}, {98, "FAX", "FAX"}, {1, "PCT", "PCT"},  {14, "PCT", "PCT"}, {70, "PCT", "PCT"},
    {-3, "PCT", "PCT"},
};

typedef VoiceTest VendorExtensions;

TEST_F(VendorExtensions, EveryRowOfTheTable)
{
    for (const ext_row& r : ext_rows) {
        ctx->INS_vendor = r.vendor;
        char data[4] = "zz", prog[4] = "zz";
        EXPECT_EQ(INS_getvendorext(ctx, data, prog), ST_OK);
        EXPECT_STREQ(data, r.data) << "vendor " << r.vendor;
        EXPECT_STREQ(prog, r.prog) << "vendor " << r.vendor;
    }
}

TEST_F(VendorExtensions, AtiMatchDigitSelectsTheTwoLetterForm)
{
    struct row {
        std::int16_t vendor;
        const char* two;
        const char* three;
    };
    const row rows[] = {{5, "AC", "ACF"}, {13, "C0", "C01"}, {31, "US", "USR"}, {41, "AT", "ATT"}, {98, "FA", "FAX"}};
    for (const row& r : rows) {
        for (std::int16_t ati : {0, 3, 4, 5, 6, 8}) {
            ctx->INS_vendor = r.vendor;
            ctx->atimatchcode = ati;
            char data[4], prog[4];
            INS_getvendorext(ctx, data, prog);
            bool digit = ati == 3 || ati == 4 || ati == 6 || ati == 8;
            EXPECT_EQ(std::string(data), digit ? std::string(r.two) + char('0' + ati) : std::string(r.three))
                << "vendor " << r.vendor << " ati " << ati;
            EXPECT_STREQ(prog, r.three) << "the program-set extension never changes";
        }
    }
    ctx->INS_vendor = 0;
    ctx->atimatchcode = 3;
    char data[4], prog[4];
    INS_getvendorext(ctx, data, prog);
    EXPECT_STREQ(data, "ROC") << "rows without a two-letter form ignore the digit";
}

TEST_F(VendorExtensions, VendorIniTagReplacesOnlyTheDataSetExtension)
{
    ctx->INS_vendor = 21;
    char data[4], prog[4];
    UL_copytext(ctx->INS_vendorini, "XYZW");
    INS_getvendorext(ctx, data, prog);
    EXPECT_STREQ(data, "XYZ");
    EXPECT_STREQ(prog, "SIE");
    UL_copytext(ctx->INS_vendorini, "0AB");
    INS_getvendorext(ctx, data, prog);
    EXPECT_STREQ(data, "SIE") << "a tag beginning with 0 counts as none";
}

TEST_F(VendorExtensions, ParametersPerVendor)
{
    struct row {
        std::int16_t vendor;
        std::int32_t rate;
        std::int16_t block, flag;
    };
    const row rows[] = {{3, 7200, 48, 0},   {5, 7200, 48, 0},    {6, 7200, 48, 0},    {8, 7200, 48, 0},
                        {9, 7200, 48, 0},   {18, 7200, 48, 0},   {7, 8000, 48, 0},    {60, 8000, 48, 1},
                        {11, 4800, 2048, 0}, {51, 9600, 2040, 0}, {52, 9600, 2040, 0}, {0, 8000, 2048, 0},
                        {12, 8000, 2048, 0}, {21, 8000, 2048, 0}, {41, 8000, 2048, 0}, {61, 8000, 2048, 0},
                        {99, 8000, 2048, 0}};
    for (const row& r : rows) {
        ctx->INS_vendor = r.vendor;
        compressor_params p = LV_compressorparams(ctx);
        EXPECT_EQ(p.rate, r.rate) << r.vendor;
        EXPECT_EQ(p.blocklength, r.block) << r.vendor;
        EXPECT_EQ(p.startflag, r.flag) << r.vendor;
    }
    ctx->INS_vendor = 31;
    for (std::int16_t usr : {0, 1}) {
        ctx->usrversion = usr;
        compressor_params p = LV_compressorparams(ctx);
        EXPECT_EQ(p.rate, 8000);
        EXPECT_EQ(p.blocklength, 320);
        EXPECT_EQ(p.startflag, usr);
    }
}

// A source medium with the chip-family files, and the target directories.
class Staging : public VoiceTest {
protected:
    std::string src, win, prog, data;

    void SetUp() override
    {
        VoiceTest::SetUp();
        src = dir + "SRC/";
        win = dir + "WIN/";
        prog = dir + "PROG/";
        data = dir + "DATA/";
        for (const std::string& d : {src, src + "DATACHIP", src + "PROGCHIP", src + "PROGRAM", win, prog, data})
            ASSERT_EQ(mkdir(d.c_str(), 0755), 0) << d;
        UL_copytext(ctx->sourcedir, src.c_str());
        UL_copytext(ctx->windowsdir, win.c_str());
        UL_copytext(ctx->programdir, prog.c_str());
        UL_copytext(ctx->datadir, data.c_str());
        UL_copytext(ctx->productname, "VOICE");
        ctx->INS_whichprogram = 1;
        for (const char* ext : {"ROC", "ACF", "UMC", "PCT", "CIR", "C01", "SIE", "USR", "ATT", "ZYX", "FAX"})
            writefile(src + "PROGCHIP/VEQSB95." + ext, bytes{'L', std::uint8_t(ext[0]), std::uint8_t(ext[1])});
        writefile(src + "PROGRAM/VEQSBV.DLL", bytes{'V'});
        for (const char* n : {"VEQSB16.DLL", "VEQTHK16.DLL", "VEQTHK32.DLL"}) writefile(src + "PROGCHIP/" + n, bytes{'T'});
        for (const char* ext : {"ROC", "MB", "MOT", "USR", "SIE", "FAX", "ATT"})
            writefile(src + "DATACHIP/VOICE." + ext, bytes{'I', std::uint8_t(ext[0])});
    }
};

TEST_F(Staging, FaxProductCopiesTheIniButLoadsNoLibrary)
{
    ctx->INS_whichprogram = 0;
    ctx->INS_vendor = 21;
    ASSERT_EQ(INS_loadsbfile(ctx), ST_OK) << log();
    EXPECT_EQ(readfile(data + "VOICE.INI"), (bytes{'I', 'S'}));
    EXPECT_FALSE(exists(win + "VEQSB95.DLL"));
    EXPECT_TRUE(doubles::loaded.empty());
    EXPECT_EQ(INS_removesbfile(ctx), ST_OK);
    EXPECT_FALSE(exists(prog + "VEQSB95.DLL")) << "nothing to move for the fax product";
}

TEST_F(Staging, PlainLibraryForSierraIsStagedLoadedAndCalled)
{
    ctx->INS_vendor = 21;
    ASSERT_EQ(INS_loadsbfile(ctx), ST_OK) << log();
    EXPECT_EQ(readfile(win + "VEQSB95.DLL"), (bytes{'L', 'S', 'I'}));
    ASSERT_EQ(doubles::loaded.size(), 1u);
    EXPECT_EQ(doubles::loaded[0], win + "VEQSB95.DLL");
    EXPECT_FALSE(exists(win + "VEQTHK32.DLL")) << "support libraries only for the Rockwell codes";
    EXPECT_TRUE(logged("rockwell=0\r\n"));
    EXPECT_TRUE(logged("from file=")) << log();

    std::int32_t rate = 0;
    std::int16_t block = 0;
    ASSERT_EQ(LV_initcompress(ctx, 8, &rate, &block), ST_OK);
    EXPECT_EQ(rate, 8000);
    EXPECT_EQ(block, 2048);
    ASSERT_EQ(doubles::sb_calls.size(), 1u);
    EXPECT_EQ(doubles::sb_calls[0].entry, "SB_initcompress");
    EXPECT_EQ(doubles::sb_calls[0].opaque, ctx) << "the installer passes its context";
    EXPECT_EQ(doubles::sb_calls[0].coding, 8);
    EXPECT_EQ(doubles::sb_calls[0].startflag, 0);

    std::vector<std::int16_t> samples(1024);
    for (int i = 0; i < 1024; ++i) samples[i] = std::int16_t(i * 31 - 16000);
    std::uint8_t out[2048];
    std::uint16_t n = 0;
    ASSERT_EQ(LV_compress(ctx, samples.data(), 2048, out, &n), ST_OK);
    ASSERT_EQ(n, 1024);
    sb_coder ref;
    sb_start(&ref, 8, 0, false);
    std::uint8_t expected[2048];
    std::uint16_t m = 0;
    bytes in = pcm16(samples);
    sb_compress(&ref, in.data(), 2048, expected, &m);
    EXPECT_EQ(bytes(out, out + n), bytes(expected, expected + m));

    // The conversion releases the library; the removal moves it to the program directory.
    EXPECT_EQ(INS_removesbfile(ctx), ST_OK);
    EXPECT_EQ(doubles::libraries_open, 0);
    EXPECT_FALSE(exists(win + "VEQSB95.DLL"));
    EXPECT_EQ(readfile(prog + "VEQSB95.DLL"), (bytes{'L', 'S', 'I'}));
}

TEST_F(Staging, Vendor60UsesTheVendorIndexedEntryPoints)
{
    ctx->INS_vendor = 60;
    ASSERT_EQ(INS_loadsbfile(ctx), ST_OK) << log();
    EXPECT_EQ(readfile(win + "VEQSB95.DLL"), (bytes{'V'}));
    EXPECT_EQ(readfile(data + "VOICE.INI"), (bytes{'I', 'M'}));
    std::int32_t rate = 0;
    std::int16_t block = 0;
    ASSERT_EQ(LV_initcompress(ctx, 4, &rate, &block), ST_OK);
    EXPECT_EQ(rate, 8000);
    EXPECT_EQ(block, 48);
    std::int16_t samples[24] = {};
    std::uint8_t out[2048];
    std::uint16_t n = 0;
    ASSERT_EQ(LV_compress(ctx, samples, 48, out, &n), ST_OK);
    EXPECT_EQ(n, 12);
    ASSERT_EQ(doubles::sb_calls.size(), 2u);
    EXPECT_EQ(doubles::sb_calls[0].entry, "SB_initcompressvendor");
    EXPECT_EQ(doubles::sb_calls[0].vendorindex, 1);
    EXPECT_EQ(doubles::sb_calls[0].startflag, 1);
    EXPECT_EQ(doubles::sb_calls[1].entry, "SB_compressvendor");
    EXPECT_EQ(doubles::sb_calls[1].vendorindex, 1);
    EXPECT_EQ(doubles::sb_calls[1].bytecount, 48);
}

TEST_F(Staging, Vendor8OnNtStagesThePctLibraryAndTheSupportLibraries)
{
    ctx->INS_vendor = 8;
    ctx->winversion = 2;
    ASSERT_EQ(INS_loadsbfile(ctx), ST_OK) << log();
    EXPECT_EQ(readfile(win + "VEQSB95.DLL"), (bytes{'L', 'P', 'C'}));
    for (const char* n : {"VEQSB16.DLL", "VEQTHK16.DLL", "VEQTHK32.DLL"}) {
        EXPECT_TRUE(exists(win + n)) << n;
        EXPECT_TRUE(exists(prog + n)) << n;
    }
    EXPECT_TRUE(logged("rockwell=1\r\n"));
    LV_releasecompressor(ctx);
    ASSERT_EQ(INS_removesbfile(ctx), ST_OK);
    for (const char* n : {"VEQSB16.DLL", "VEQTHK16.DLL", "VEQTHK32.DLL", "VEQSB95.DLL"}) {
        EXPECT_FALSE(exists(win + n)) << n;
        EXPECT_TRUE(exists(prog + n)) << n;
    }
}

TEST_F(Staging, Vendor8OnWindows95TakesTheRocLibrary)
{
    ctx->INS_vendor = 8;
    ctx->winversion = 1;
    ASSERT_EQ(INS_loadsbfile(ctx), ST_OK);
    EXPECT_EQ(readfile(win + "VEQSB95.DLL"), (bytes{'L', 'R', 'O'}));
}

TEST_F(Staging, Vendor31PassesUsrversionAsStartFlag)
{
    ctx->INS_vendor = 31;
    ctx->usrversion = 0;
    ASSERT_EQ(INS_loadsbfile(ctx), ST_OK);
    std::int32_t rate = 0;
    std::int16_t block = 0;
    ASSERT_EQ(LV_initcompress(ctx, 2, &rate, &block), ST_OK);
    EXPECT_EQ(block, 320);
    ASSERT_EQ(doubles::sb_calls.size(), 1u);
    EXPECT_EQ(doubles::sb_calls[0].startflag, 0);
    EXPECT_EQ(doubles::sb_calls[0].coding, 2);
}

TEST_F(Staging, MissingFilesAndLoadFailures)
{
    ctx->INS_vendor = 22;  // VOICE.SI4 is not on the medium
    EXPECT_EQ(INS_loadsbfile(ctx), ST_SOURCE_MISSING);
    EXPECT_FALSE(exists(win + "VEQSB95.DLL"));

    ctx->INS_vendor = 21;
    doubles::load_error = 193;
    EXPECT_EQ(INS_loadsbfile(ctx), ST_NOT_AVAILABLE);
    EXPECT_TRUE(logged("cannot load" + win + "VEQSB95.DLL")) << log();
    EXPECT_TRUE(logged("load err=193"));
    EXPECT_EQ(ctx->sblibrary, nullptr);

    doubles::load_error = 0;
    doubles::missing_entries = {"SB_compress"};
    EXPECT_EQ(INS_loadsbfile(ctx), ST_NOT_AVAILABLE);
    EXPECT_EQ(doubles::libraries_open, 0) << "a library without its entry points is unloaded";
    EXPECT_EQ(ctx->sblibrary, nullptr);
    std::int32_t rate = 0;
    std::int16_t block = 0;
    EXPECT_EQ(LV_initcompress(ctx, 8, &rate, &block), ST_NOT_AVAILABLE) << "no library: no call through a null entry";
    std::uint16_t n = 0;
    std::int16_t s[2] = {};
    std::uint8_t out[4];
    EXPECT_EQ(LV_compress(ctx, s, 4, out, &n), ST_NOT_AVAILABLE);
}

TEST_F(Staging, LibraryStatusesPassThrough)
{
    ctx->INS_vendor = 21;
    ASSERT_EQ(INS_loadsbfile(ctx), ST_OK);
    doubles::library_status = 4711;
    std::int32_t rate = 0;
    std::int16_t block = 0;
    EXPECT_EQ(LV_initcompress(ctx, 8, &rate, &block), 4711);
}

TEST_F(Staging, RemovalOnTheFailurePathUnloadsTheLibraryFirst)
{
    ctx->INS_vendor = 0;
    ASSERT_EQ(INS_loadsbfile(ctx), ST_OK);
    EXPECT_EQ(doubles::libraries_open, 1);
    EXPECT_EQ(INS_removesbfile(ctx), ST_OK);
    EXPECT_EQ(doubles::libraries_open, 0);
    EXPECT_FALSE(exists(win + "VEQSB95.DLL"));
    EXPECT_TRUE(exists(prog + "VEQSB95.DLL"));
}

TEST_F(Staging, FailedMoveToTheProgramDirectoryKeepsTheStagedLibrary)
{
    ctx->INS_vendor = 21;
    ASSERT_EQ(INS_loadsbfile(ctx), ST_OK);
    UL_copytext(ctx->programdir, (dir + "MISSING/").c_str());
    EXPECT_EQ(INS_removesbfile(ctx), ST_TARGET_NOT_CREATED);
    EXPECT_TRUE(logged("Error in INS_removesbfile = 906")) << log();
    EXPECT_TRUE(exists(win + "VEQSB95.DLL"));
}

}  // namespace
