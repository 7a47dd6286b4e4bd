// Clean-up at exit: which lines of VEQCLEAN.BAT are scheduled, and how, on
// the Windows 95 road (WININIT.INI [Rename]) and the NT road (delayed delete).
#include <gtest/gtest.h>

#include "files/cleanup.h"
#include "shell/platform.h"
#include "shell/text.h"
#include "tests/native/doubles/files_doubles.h"
#include "tests/native/doubles/shell_doubles.h"
#include "tests/native/files_testkit.h"
#include "tests/support/logcheck.h"

namespace {

struct cleanup : ::testing::Test {
    kit::scratch s;
    kit::logged_context log{s};
    std::string wininit;
    std::string t;  // the list's directory as the list names it
    void SetUp() override
    {
        s.mkdir("WINDOWS");
        s.mkdir("TEMP");
        doubles::windowsdir = s / "WINDOWS";
        doubles::winversion = 1;
        doubles::deletedatrestart.clear();
        wininit = s / "WINDOWS/WININIT.INI";
        UL_copytext(log.ctx->moduledir, (s / "TEMP").c_str());  // without its backslash
        log.ctx->tempcopy = 1;
        t = s / "TEMP";
        t += "\\";
    }
    void list(const std::string& text) { kit::write_text(s / "TEMP/VEQCLEAN.BAT", text); }
    std::string wininit_text() const { return testfiles::read(wininit); }
};

// Every file its own NUL= line: the restart of the Windows 95 family deletes
// only those, and would move a file listed under NUL1 to a file named NUL1.
TEST_F(cleanup, DelLinesAreScheduledAndEchoOffIsSkipped)
{
    list("@ECHO OFF\r\nDEL " + t + "SETUP.EXE\r\nDEL " + t + "VEQINS.DLL\r\n\r\nNOBLANK\r\n");
    EXPECT_EQ(INS_cleanupatexit(log.ctx), ST_OK);
    // OFF names no file of the list's directory.
    EXPECT_EQ(wininit_text(), "[Rename]\r\nNUL=" + t + "SETUP.EXE\r\nNUL=" + t + "VEQINS.DLL\r\n");
    EXPECT_TRUE(logcheck::contains(log.log(), "INS_DelActiveFile=" + t.substr(0, 20)));
    EXPECT_TRUE(logcheck::contains(log.log(), "Keyname=NUL\r\nvalue=" + t + "VEQINS.DLL\r\n"));
    const std::string all = log.log();
    std::size_t keys = 0;
    for (std::size_t at = all.find("Keyname="); at != std::string::npos; at = all.find("Keyname=", at + 1)) ++keys;
    EXPECT_EQ(keys, 2u) << "one key traced per file";
}

TEST_F(cleanup, BlanksInsideThePathStayPartOfIt)
{
    list("DEL " + t + "MY SETUP.EXE");
    EXPECT_EQ(INS_cleanupatexit(log.ctx), ST_OK);
    EXPECT_EQ(wininit_text(), "[Rename]\r\nNUL=" + t + "MY SETUP.EXE\r\n");
}

// After NUL and NUL1 the file is not written under NUL2 (which would move it
// to a file of that name) but as one more NUL= line after the others.
TEST_F(cleanup, LinesThereBeforeStayAndTheFileFollowsThemAsANulLine)
{
    const std::string before = "[Rename]\r\nNUL=C:\\OLD1.TMP\r\nNUL1=C:\\OLD2.TMP\r\nC:\\NEW.DLL=C:\\NEW.TMP\r\n";
    kit::write_text(wininit, before + "[Other]\r\nX=1\r\n");
    list("DEL " + t + "SETUP.EXE\r\n");
    EXPECT_EQ(INS_cleanupatexit(log.ctx), ST_OK);
    EXPECT_EQ(wininit_text(), before + "NUL=" + t + "SETUP.EXE\r\n[Other]\r\nX=1\r\n");
    EXPECT_FALSE(log.logged("Keyname=NUL2"));
    EXPECT_FALSE(kit::exists(s / "WINDOWS/WININIT.NEW")) << "the new text is put in place";
    EXPECT_FALSE(kit::exists(s / "WINDOWS/WININIT.OLD")) << "and the old one removed";
}

TEST_F(cleanup, WindowsNtSchedulesThroughTheSystemAndLeavesWininitAlone)
{
    doubles::winversion = 2;
    list("DEL " + t + "SETUP.EXE\r\nDEL " + t + "VEQINS.DLL\r\n");
    EXPECT_EQ(INS_cleanupatexit(log.ctx), ST_OK);
    EXPECT_EQ(doubles::deletedatrestart, (std::vector<std::string>{t + "SETUP.EXE", t + "VEQINS.DLL"}));
    EXPECT_FALSE(kit::exists(wininit));
}

TEST_F(cleanup, NothingWithoutATemporaryCopyOrWithNoclean)
{
    list("DEL " + t + "SETUP.EXE\r\n");
    log.ctx->tempcopy = 0;
    EXPECT_EQ(INS_cleanupatexit(log.ctx), ST_OK);
    EXPECT_FALSE(logcheck::contains(log.log(), "INS_DelActiveFile"));
    log.ctx->tempcopy = 1;
    log.ctx->INS_noclean = 1;
    EXPECT_EQ(INS_cleanupatexit(log.ctx), ST_OK);
    EXPECT_FALSE(kit::exists(wininit));
}

TEST_F(cleanup, NoListIsNoError)
{
    EXPECT_EQ(INS_cleanupatexit(log.ctx), ST_OK);
    EXPECT_EQ(INS_DoCleanUp(log.ctx, (s / "TEMP/NONE.BAT").c_str()), ST_OK);
    EXPECT_FALSE(kit::exists(wininit));
}

TEST_F(cleanup, LongLineUsesItsFirst255Characters)
{
    doubles::winversion = 2;
    std::string path = t + std::string(300 - t.size(), 'P');
    list("DEL " + path + "\r\n");
    EXPECT_EQ(INS_cleanupatexit(log.ctx), ST_OK);
    ASSERT_EQ(doubles::deletedatrestart.size(), 1u);
    EXPECT_EQ(doubles::deletedatrestart[0], path.substr(0, 255 - 4));
}

TEST_F(cleanup, PageBreakEndsTheList)
{
    doubles::winversion = 2;
    list("DEL " + t + "A.TMP\r\n\fDEL " + t + "B.TMP\r\n");
    EXPECT_EQ(INS_cleanupatexit(log.ctx), ST_OK);
    EXPECT_EQ(doubles::deletedatrestart, (std::vector<std::string>{t + "A.TMP"}));
}

TEST_F(cleanup, MissingWindowsDirectoryStopsTheCleanUpWith920)
{
    doubles::winversion = 2;
    list("DEL " + t + "A.TMP\r\n");
    doubles::windowsdir = "";
    EXPECT_EQ(INS_cleanupatexit(log.ctx), 920);
    EXPECT_TRUE(log.logged("err=920"));
    EXPECT_TRUE(log.logged("Error in INS_DelActiveFile = 920"));
    EXPECT_TRUE(log.logged("Error in INS_DoCleanUp = 920"));
    EXPECT_TRUE(doubles::deletedatrestart.empty());
}

TEST_F(cleanup, OnlyFilesOfTheListsOwnDirectoryAreScheduled)
{
    doubles::winversion = 2;
    log.ctx->debuglevel = 2;
    std::string upper = t;
    for (char& c : upper) c = char(toupper(static_cast<unsigned char>(c)));
    const std::string refused[] = {
        "C:\\WINDOWS\\SYSTEM\\USER.EXE",   // another place
        "\\AUTOEXEC.BAT",                   // the root
        t + "..\\WINDOWS\\WIN.INI",         // out by ".."
        t + "SUB\\FILE.DAT",                // a sub-directory may be a link elsewhere
        t + "..",
        t + ". .",                          // Windows drops the trailing dot and blank
        t,
        t + "C:FILE",
        t + "*.*",
        t.substr(0, t.size() - 1) + "2\\SETUP.EXE",  // a sibling whose name starts alike
        "SETUP.EXE",                        // relative: to wherever the current directory is
    };
    std::string text;
    for (const std::string& line : refused) text += "DEL " + line + "\r\n";
    text += "DEL " + upper + "SETUP.EXE\r\n";  // letters compare without case
    list(text);
    EXPECT_EQ(INS_cleanupatexit(log.ctx), ST_OK);
    EXPECT_EQ(doubles::deletedatrestart, (std::vector<std::string>{upper + "SETUP.EXE"}));
    EXPECT_TRUE(log.logged("clean-up skipped: C:\\WINDOWS\\SYSTEM\\USER.EXE"));
    EXPECT_TRUE(log.logged("clean-up skipped: SETUP.EXE"));
}

}  // namespace
