// The start-up's decisions: the log's place, the first destination, the set.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/startup.h"
#include "shell/text.h"
#include "tests/native/files_testkit.h"

namespace {

class Startup : public ::testing::Test {
protected:
    kit::scratch s;
    setup_context* ctx = nullptr;
    void SetUp() override
    {
        ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
        // The installer's form: a directory ends with a backslash.
        const std::string dir = s.dir().substr(0, s.dir().size() - 1) + "\\";
        UL_copytext(ctx->windowsdir, dir.c_str());
        UL_copytext(ctx->sourcedir, dir.c_str());
        UL_copytext(ctx->programname, "SETUP");
    }
    void TearDown() override
    {
        UL_closefile(ctx, ctx->logfile);
        INS_destroycontext(ctx);
    }
};

TEST_F(Startup, LogGoesToTheWindowsDirectoryUnlessLogNamesAFile)
{
    ASSERT_EQ(INS_createlog(ctx), ST_OK);
    EXPECT_EQ(std::string(ctx->logname), std::string(ctx->windowsdir) + "SETUP.deb");
    EXPECT_TRUE(kit::exists(s / "SETUP.deb"));
    UL_closefile(ctx, ctx->logfile);
    ctx->logfile = 0;

    const std::string named = s / "no folder/setup.deb";
    UL_copytext(ctx->logname, named.c_str());
    EXPECT_EQ(INS_createlog(ctx), ST_CREATE_FAILED);
    EXPECT_EQ(std::string(ctx->lasterrortext), named);
}

TEST_F(Startup, DestinationIsTheDirOptionOrTheProductDirectoryOnTheWindowsDrive)
{
    UL_copytext(ctx->windowsdir, "D:\\WIN95\\");
    UL_copytext(ctx->productdir, "ZELTAVOX");
    INS_setdefaultdestination(ctx);
    EXPECT_STREQ(ctx->pathname, "D:\\ZELTAVOX\\");
    UL_copytext(ctx->destinationarg, "E:\\Zelta Voice");
    INS_setdefaultdestination(ctx);
    EXPECT_STREQ(ctx->pathname, "E:\\Zelta Voice") << "checked later by the destination dialog, as typed";
}

TEST_F(Startup, MediumWithoutFaxLstIsNoSet)
{
    EXPECT_EQ(INS_checkfilelist(ctx), ST_NO_FILE_LIST);
    kit::write_text(s / "FAX.LST", "x");
    EXPECT_EQ(INS_checkfilelist(ctx), ST_OK);
}

}  // namespace

namespace {

TEST_F(Startup, ModuleDirectoryIsTheProgramsOwnAndNeedsADriveLetter)
{
    ctx->sourcedir[0] = '\0';
    ASSERT_EQ(INS_takemodulepath(ctx, "C:\\ZELTA SET\\SETUP.EXE"), ST_OK);
    EXPECT_STREQ(ctx->moduledir, "C:\\ZELTA SET\\");
    EXPECT_STREQ(ctx->sourcedir, "C:\\ZELTA SET\\") << "no -S: the medium is where the program is";

    UL_copytext(ctx->sourcedir, "D:\\OTHER\\");
    ASSERT_EQ(INS_takemodulepath(ctx, "A:\\SETUP.EXE"), ST_OK);
    EXPECT_STREQ(ctx->moduledir, "A:\\");
    EXPECT_STREQ(ctx->sourcedir, "D:\\OTHER\\") << "a source directory named by -S stays";

    for (const char* nodrive : {"\\\\SERVER\\SET\\SETUP.EXE", "SETUP.EXE", ""}) {
        EXPECT_EQ(INS_takemodulepath(ctx, nodrive), ST_NO_DRIVE_LETTER) << nodrive;
        EXPECT_STREQ(ctx->moduledir, "A:\\") << nodrive;
    }
}

TEST_F(Startup, SystemDirectoriesAreTrimmedAndEndWithOneBackslash)
{
    char field[TEXTSIZE];
    INS_takesystemdir(field, " C:\\WINDOWS ");
    EXPECT_STREQ(field, "C:\\WINDOWS\\");
    INS_takesystemdir(field, "C:\\WINDOWS\\SYSTEM\\");
    EXPECT_STREQ(field, "C:\\WINDOWS\\SYSTEM\\");

    const std::string deep = "C:\\" + std::string(120, 'W');
    INS_takesystemdir(field, deep.c_str());
    EXPECT_LE(std::strlen(field), std::size_t(TEXTSIZE - 1));
    EXPECT_EQ(std::string(field).substr(0, 20), deep.substr(0, 20));
    EXPECT_EQ(field[std::strlen(field) - 1], '\\');
}

}  // namespace
