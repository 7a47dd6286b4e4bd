// The copy plan, directory expansion, the free-space rule and FILESIZE.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "files/copyplan.h"
#include "files/diskspace.h"
#include "files/expand.h"
#include "files/szdd.h"
#include "modem/vendors.h"
#include "shell/text.h"
#include "tests/native/doubles/files_doubles.h"
#include "tests/native/doubles/shell_doubles.h"
#include "tests/native/files_testkit.h"

namespace {

// The source directories that a run visited, in order, from "expand dir=" lines.
std::vector<std::string> visited(const std::string& log, const std::string& sourcedir)
{
    std::vector<std::string> dirs;
    std::istringstream in(log);
    const std::string label = "expand dir=" + sourcedir;
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, label.size(), label) != 0) continue;
        std::string rest = line.substr(label.size());
        dirs.push_back(rest.substr(0, rest.find("\\*.*")));
    }
    return dirs;
}

struct plan : ::testing::Test {
    kit::scratch s;
    kit::logged_context log{s};
    std::string src;
    std::string dst;
    void SetUp() override
    {
        doubles::stop_at_call = 0;
        doubles::checkabort_calls = 0;
        doubles::boxes.clear();
        s.mkdir("CD");
        s.mkdir("CD/SRC");
        s.mkdir("DEST");
        for (const char* d : {"PROGRAM", "DATA", "SDK", "SCRIPT1", "SCRIPT2", "MBOX000", "MBOX000/FOD"})
            s.mkdir(std::string("DEST/") + d);
        src = s / "CD/SRC/";
        dst = s / "DEST/";
        UL_copytext(log.ctx->sourcedir, src.c_str());
        UL_copytext(log.ctx->pathname, dst.c_str());
        log.ctx->INS_whichprogram = 2;  // the product with SDK and SCRIPT2, as made above
    }
    void put(const std::string& relative, const std::string& text) { kit::write_text(s / ("CD/" + relative), text); }
    std::vector<std::string> order() { return visited(log.log(), src); }
};

TEST_F(plan, CdromWithVendor51CopiesTheListsInOrder)
{
    log.ctx->INS_cdrom = 1;
    log.ctx->INS_vendor = VENDOR_ZYXEL;
    for (const char* d : {"32PG", "SRC/SCRIPT2", "SRC/FOD", "SRC/ZYXSC2"}) s.mkdir(std::string("CD/") + d);
    put("32PG/VOICE.EXE", "program");
    put("SRC/SCRIPT2/GREET.SCR", "script two");
    put("SRC/FOD/DOC1.FOD", "fax on demand");
    put("SRC/ZYXSC2/ZYX.SCR", "zyxel");
    EXPECT_EQ(INS_expandall(log.ctx), ST_OK);
    EXPECT_EQ(order(), (std::vector<std::string>{"..\\32PG", "..\\32DATA", "..\\SDK", "PROGRAM", "DATA", "SCRIPT1",
                                                  "SCRIPT2", "FOD", "ZYXPG", "ZYXDAT", "ZYXSC1", "ZYXSC2"}));
    EXPECT_TRUE(kit::exists(dst + "PROGRAM/VOICE.EXE"));
    EXPECT_TRUE(kit::exists(dst + "SCRIPT1/GREET.SCR")) << "SCRIPT2 of the medium goes into SCRIPT1";
    EXPECT_TRUE(kit::exists(dst + "MBOX000/FOD/DOC1.FOD"));
    EXPECT_TRUE(kit::exists(dst + "SCRIPT2/ZYX.SCR"));
    EXPECT_TRUE(log.logged("copying INS_vendor=51"));
    EXPECT_TRUE(log.logged("Before INS_expanddirectory"));
    EXPECT_TRUE(log.logged("dir empty/missing: " + src + "..\\32DATA\\"));
    EXPECT_EQ(log.ctx->INS_currentfilesize, 7 + 10 + 13 + 5);
}

TEST_F(plan, UnknownVendorFromDiskettesCopiesOnlyAttScriptsAfterTheFixedList)
{
    log.ctx->INS_vendor = 2;
    EXPECT_EQ(INS_expandall(log.ctx), ST_OK);
    EXPECT_EQ(order(), (std::vector<std::string>{"PROGRAM", "DATA", "SCRIPT1", "SCRIPT2", "FOD", "ATTSC1"}));
}

TEST_F(plan, VendorRowsUseTheNamesOfTheMedium)
{
    log.ctx->INS_vendor = VENDOR_MODEMBLASTER;
    EXPECT_EQ(INS_expandall(log.ctx), ST_OK);
    std::vector<std::string> v8 = order();
    EXPECT_EQ(std::vector<std::string>(v8.begin() + 5, v8.end()),
              (std::vector<std::string>{"ROCKPG", "MBPG", "MBDAT", "ROCKSC1", "RCKSC2"}));

    kit::logged_context second{s};
    UL_copytext(second.ctx->sourcedir, src.c_str());
    UL_copytext(second.ctx->pathname, dst.c_str());
    second.ctx->INS_whichprogram = 2;
    second.ctx->INS_vendor = VENDOR_LUCENT;
    std::string before = second.log();
    EXPECT_EQ(INS_expandall(second.ctx), ST_OK);
    std::vector<std::string> v63 = visited(second.log().substr(before.size()), src);
    EXPECT_EQ(std::vector<std::string>(v63.begin() + 5, v63.end()),
              (std::vector<std::string>{"ROCKPG", "ROCKDAT", "ROCKSC1", "ROCKSC2"}));
}

TEST_F(plan, FaxProductFromAProCdromLeavesOutTheRowsIntoDirectoriesItDoesNotMake)
{
    // A Pro CD-ROM with a modem that cannot handle voice: the installation became
    // the fax product, whose tree has neither SDK nor SCRIPT2.
    (void)std::system(("rm -rf '" + dst + "SDK' '" + dst + "SCRIPT2'").c_str());
    log.ctx->INS_whichprogram = 0;
    log.ctx->INS_cdrom = 1;
    log.ctx->INS_vendor = VENDOR_FAXONLY;
    log.ctx->debuglevel = 2;  // the rows left out are detail lines
    for (const char* d : {"SDK", "SRC/FAXPG"}) s.mkdir(std::string("CD/") + d);
    put("SDK/SDK.H", "header");
    put("SRC/FAXPG/FAX.EXE", "fax");
    EXPECT_EQ(INS_expandall(log.ctx), ST_OK) << log.log();
    EXPECT_EQ(order(), (std::vector<std::string>{"..\\32PG", "..\\32DATA", "PROGRAM", "DATA", "SCRIPT1", "SCRIPT2",
                                                  "FOD", "FAXPG", "FAXDAT"}));
    EXPECT_TRUE(log.logged("not for product: SDK"));
    EXPECT_FALSE(kit::exists(dst + "SDK"));
    EXPECT_TRUE(kit::exists(dst + "PROGRAM/FAX.EXE"));
    EXPECT_TRUE(doubles::boxes.empty()) << "no Cannot create box";
}

TEST_F(plan, FaxProductWithNothingBesideTheSourceWalksTheSdkRowAsEver)
{
    log.ctx->INS_whichprogram = 0;
    log.ctx->INS_cdrom = 1;
    log.ctx->INS_vendor = VENDOR_FAXONLY;
    log.ctx->debuglevel = 2;
    EXPECT_EQ(INS_expandall(log.ctx), ST_OK);
    EXPECT_EQ(order(), (std::vector<std::string>{"..\\32PG", "..\\32DATA", "..\\SDK", "PROGRAM", "DATA", "SCRIPT1",
                                                  "SCRIPT2", "FOD", "FAXPG", "FAXDAT"}));
    EXPECT_FALSE(log.logged("not for product: "));
}

TEST_F(plan, VoiceProductLeavesOutScript2RowsButProProductCopiesThem)
{
    s.mkdir("CD/SRC/ZYXSC2");
    put("SRC/ZYXSC2/ZYX.SCR", "zyxel");
    log.ctx->INS_vendor = VENDOR_ZYXEL;
    log.ctx->INS_whichprogram = 1;
    log.ctx->debuglevel = 2;
    (void)std::system(("rm -rf '" + dst + "SCRIPT2'").c_str());
    EXPECT_EQ(INS_expandall(log.ctx), ST_OK);
    EXPECT_TRUE(log.logged("not for product: SCRIPT2"));
    EXPECT_FALSE(kit::exists(dst + "SCRIPT2"));

    // Every other value selects the nineteen directories, SCRIPT2 among them.
    s.mkdir("DEST/SCRIPT2");
    log.ctx->INS_whichprogram = 6;
    EXPECT_EQ(INS_expandall(log.ctx), ST_OK);
    EXPECT_TRUE(kit::exists(dst + "SCRIPT2/ZYX.SCR"));
}

TEST_F(plan, FirstFailureEndsThePlan)
{
    s.mkdir("CD/SRC/DATA");
    put("SRC/DATA/A.DAT", "a");
    (void)std::system(("rm -rf '" + dst + "DATA'").c_str());
    EXPECT_EQ(INS_expandall(log.ctx), ST_TARGET_NOT_CREATED);
    EXPECT_EQ(order(), (std::vector<std::string>{"PROGRAM", "DATA"}));
    EXPECT_TRUE(log.logged("Error in INS_expanddirectory = 906"));
    EXPECT_TRUE(log.logged("expand from dir " + src + "DATA\\"));
    ASSERT_EQ(doubles::boxes.size(), 1u);
    EXPECT_EQ(doubles::boxes[0].first, "Cannot create");
}

TEST_F(plan, CancelDuringADirectoryStopsWith13000)
{
    s.mkdir("CD/SRC/PROGRAM");
    for (const char* n : {"A.EXE", "B.EXE", "C.EXE"}) put(std::string("SRC/PROGRAM/") + n, "x");
    doubles::stop_at_call = 2;
    EXPECT_EQ(INS_expandall(log.ctx), ST_CANCELLED);
    EXPECT_TRUE(log.logged("Error in INS_expanddirectory = 13000"));
    log.ctx->checkabort = nullptr;
    EXPECT_EQ(INS_expandall(log.ctx), ST_OK) << "without a cancel check handed down nothing stops";
}

TEST_F(plan, DirectoryExpansionCopiesPlainAndCompressedFilesButNotSubdirectories)
{
    s.mkdir("CD/SRC/PROGRAM");
    s.mkdir("CD/SRC/PROGRAM/NESTED");
    put("SRC/PROGRAM/NESTED/INNER.TXT", "inner");
    std::vector<std::uint8_t> original = kit::noise(3000, 8), packed;
    szdd_compress(original.data(), original.size(), 'L', &packed);
    kit::write_bytes(src + "PROGRAM/PACKED.DL_", packed);
    put("SRC/PROGRAM/PLAIN.TXT", "plain text");
    static std::vector<std::string> copied;
    copied.clear();
    log.ctx->filecopied = [](setup_context*, const char* target) { copied.push_back(target); };
    EXPECT_EQ(INS_expanddirectory(log.ctx, (dst + "PROGRAM\\").c_str(), (src + "PROGRAM\\").c_str()), ST_OK);
    std::sort(copied.begin(), copied.end());
    EXPECT_EQ(copied, (std::vector<std::string>{dst + "PROGRAM\\PACKED.DL_", dst + "PROGRAM\\PLAIN.TXT"}))
        << "the copy plan tells every file it brought, and only those";
    EXPECT_EQ(kit::read_bytes(dst + "PROGRAM/PACKED.DL_"), original);
    EXPECT_EQ(kit::read_bytes(dst + "PROGRAM/PLAIN.TXT").size(), 10u);
    EXPECT_FALSE(kit::exists(dst + "PROGRAM/NESTED"));
    EXPECT_EQ(log.ctx->INS_currentfilesize, 3010);
}

TEST_F(plan, EmptyAndMissingDirectoriesAreNoError)
{
    s.mkdir("CD/SRC/EMPTY");
    EXPECT_EQ(INS_expanddirectory(log.ctx, dst.c_str(), (src + "EMPTY\\").c_str()), ST_OK);
    EXPECT_TRUE(log.logged("dir empty/missing: " + src + "EMPTY\\"));
    EXPECT_EQ(INS_expanddirectory(log.ctx, dst.c_str(), (src + "NONE\\").c_str()), ST_OK);
    EXPECT_TRUE(log.logged("dir empty/missing: " + src + "NONE\\"));
}

TEST_F(plan, MissingSourceFileIs905WithTheNameRecorded)
{
    EXPECT_EQ(INS_expandfile(log.ctx, (dst + "X").c_str(), (src + "NOFILE.TXT").c_str()), ST_SOURCE_MISSING);
    EXPECT_TRUE(log.logged("missing file" + src + "NOFILE.TXT"));
    EXPECT_EQ(log.ctx->lasterror, ST_SOURCE_MISSING);
}

TEST_F(plan, DamagedCompressedFileIsAnExpansionError)
{
    std::vector<std::uint8_t> original = kit::noise(3000, 8), packed;
    szdd_compress(original.data(), original.size(), 'L', &packed);
    packed.resize(packed.size() / 2);
    kit::write_bytes(src + "BROKEN.DL_", packed);
    EXPECT_EQ(INS_expandfile(log.ctx, (dst + "BROKEN.DLL").c_str(), (src + "BROKEN.DL_").c_str()), ST_GENERAL);
    EXPECT_EQ(log.ctx->INS_currentfilesize, 0);
}

// The free-space rule.
struct space : ::testing::Test {
    kit::scratch s;
    kit::logged_context log{s};
    void SetUp() override
    {
        doubles::diskfree_ok = true;
        doubles::diskfree = {64, 512, 2000, 65000};
    }
};

TEST_F(space, FreeClusterFactorIsOneUpTo1024Clusters)
{
    EXPECT_EQ(UL_freekilobytes({64, 512, 2000, 0}), 32768);
    EXPECT_EQ(UL_freekilobytes({64, 512, 500, 0}), 32768);
    EXPECT_EQ(UL_freekilobytes({64, 512, 1024, 0}), 32768);
    EXPECT_EQ(UL_freekilobytes({64, 512, 2048, 0}), 65536);
    EXPECT_EQ(UL_freekilobytes({64, 4096, 400000, 0}), 262144LL * 390) << "no 32-bit overflow";
}

TEST_F(space, ExactlyTheRequiredKilobytesPass)
{
    doubles::diskfree = {7, 1024, 1000, 9999};  // 7168 KB counted free
    EXPECT_EQ(UL_checkdiskspace(log.ctx, "  c:\\FAX\\ ", 7340032), ST_OK);
    EXPECT_EQ(doubles::diskfree_root, "C:\\");
    EXPECT_EQ(UL_checkdiskspace(log.ctx, "C:\\FAX\\", 7340032 + 1024), ST_NO_DISK_ROOM);
    EXPECT_TRUE(log.logged("availspace(MB)=7168"));
    EXPECT_TRUE(log.logged("avail3=1000"));
    EXPECT_TRUE(log.logged("Error in UL_checkdiskspace = 13076"));
    EXPECT_TRUE(log.logged("syserr filename=C:\\FAX\\"));
}

TEST_F(space, PathsWithoutDriveOrWithBadDriveOrSilentDrive)
{
    EXPECT_EQ(UL_checkdiskspace(log.ctx, "\\FAX\\", 1 << 30), ST_OK) << "no check possible";
    EXPECT_EQ(UL_checkdiskspace(log.ctx, "1:\\FAX\\", 1), ST_GENERAL);
    EXPECT_EQ(UL_checkdiskspace(log.ctx, "[:\\FAX\\", 1), ST_GENERAL);
    doubles::diskfree_ok = false;
    EXPECT_EQ(UL_checkdiskspace(log.ctx, "D:\\FAX\\", 1), ST_GENERAL);
}

TEST_F(space, DestinationCheckGivesReasonAndStatus)
{
    std::uint16_t reason = 99;
    UL_copytext(log.ctx->pathname, "\\FAX\\");
    EXPECT_EQ(INS_checkdiskspace(log.ctx, &reason), 2251);
    EXPECT_EQ(reason, 1);
    UL_copytext(log.ctx->pathname, "1:\\FAX\\");
    EXPECT_EQ(INS_checkdiskspace(log.ctx, &reason), 2253);
    EXPECT_EQ(reason, 3);
    UL_copytext(log.ctx->pathname, "C:\\FAX\\");
    log.ctx->INS_diskspace = 1;  // the announced figure plays no part
    doubles::diskfree = {1, 512, 14335, 0};  // 512 x 13 = 6656 KB counted
    EXPECT_EQ(INS_checkdiskspace(log.ctx, &reason), 2254);
    EXPECT_EQ(reason, 4);
    doubles::diskfree = {8, 1024, 1000, 0};  // 8192 KB
    EXPECT_EQ(INS_checkdiskspace(log.ctx, &reason), ST_OK);
    EXPECT_EQ(reason, 0);
    EXPECT_TRUE(log.logged("Error in INS_checkdiskspace = 2254"));
}

// FILESIZE.txt.
struct filesize : ::testing::Test {
    kit::scratch s;
    kit::logged_context log{s};
    void SetUp() override { UL_copytext(log.ctx->sourcedir, s.dir().c_str()); }
};

TEST_F(filesize, FirstLineDigitsSetTheTotal)
{
    kit::write_text(s / "FILESIZE.txt", "12345678\r\n999\r\n");
    EXPECT_EQ(INS_getfilesize(log.ctx), ST_OK);
    EXPECT_EQ(log.ctx->totalfilesize, 12345678);
    EXPECT_TRUE(log.logged("total size=12345678"));
}

TEST_F(filesize, EmptyFirstLineKeepsTheDefault)
{
    kit::write_text(s / "FILESIZE.txt", "\r\n555\r\n");
    EXPECT_EQ(INS_getfilesize(log.ctx), ST_OK);
    EXPECT_EQ(log.ctx->totalfilesize, 6341000);
}

TEST_F(filesize, BlanksSignAndTrailingTextAreReadLikeAtoi)
{
    kit::write_text(s / "FILESIZE.txt", "   -42 bytes");
    EXPECT_EQ(INS_getfilesize(log.ctx), ST_OK);
    EXPECT_EQ(log.ctx->totalfilesize, -42);
    kit::write_text(s / "FILESIZE.txt", "about 7");
    EXPECT_EQ(INS_getfilesize(log.ctx), ST_OK);
    EXPECT_EQ(log.ctx->totalfilesize, 0);
}

TEST_F(filesize, MissingFileIs900)
{
    EXPECT_EQ(INS_getfilesize(log.ctx), ST_NOT_AVAILABLE);
    EXPECT_TRUE(log.logged("enter INS_getfilesize"));
}

}  // namespace
