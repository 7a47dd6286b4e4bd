#include <filesystem>

#include "integration/printer.h"
#include "tests/native/integration_fixture.h"
#include "tests/support/logcheck.h"

namespace {

namespace d = integration_doubles;

class Printer : public IntegrationTest {
protected:
    void SetUp() override
    {
        IntegrationTest::SetUp();
        write(root + "/windows/VEQINS.DLL", "resource library");
        write(root + "/src/VEQ95.DRV", "driver for 95");
        write(root + "/src/VEQNT.DLL", "driver for NT");
        write(root + "/src/VEQ.DRV", "win.ini driver");
        write(root + "/windows/write.exe", "write");
        write(root + "/windows/rundll32.exe", "rundll32 of 95");
        ctx->copiedaddprinter = 1;  // as when the copy plan brought it
    }
    status_t copyfiles()
    {
        return INS_CopyAddPrinterFiles(ctx, 1, ctx->sourcedir, ctx->programdir, ctx->windowsdir);
    }
    bool exists(const std::string& sub) const { return std::filesystem::exists(root + sub); }
};

TEST_F(Printer, InstallPrinterValuesChooseTheirStep)
{
    EXPECT_EQ(INS_printerstep(0, 1), PRINTER_PROGRAM);
    EXPECT_EQ(INS_printerstep(0, 2), PRINTER_PROGRAM);
    EXPECT_EQ(INS_printerstep(1, 1), PRINTER_WININI);
    EXPECT_EQ(INS_printerstep(1, 2), PRINTER_PROGRAM);
    EXPECT_EQ(INS_printerstep(2, 1), PRINTER_WIZARD);
    EXPECT_EQ(INS_printerstep(2, 2), PRINTER_WIZARD);
    EXPECT_EQ(INS_printerstep(3, 1), PRINTER_NONE);
    EXPECT_EQ(INS_printerstep(-1, 2), PRINTER_NONE);
}

TEST_F(Printer, Windows95GetsTheResourceLibraryAndThe95Driver)
{
    ctx->winversion = 1;
    ASSERT_EQ(copyfiles(), ST_OK);
    EXPECT_EQ(read(root + "/dest/PROGRAM/VEQINS32.DLL"), "resource library");
    EXPECT_EQ(read(root + "/dest/PROGRAM/VEQ95.DRV"), "driver for 95");
    EXPECT_FALSE(exists("/dest/PROGRAM/VEQNT.DLL"));
}

TEST_F(Printer, WindowsNtGetsTheNtDriver)
{
    ctx->winversion = 2;
    ASSERT_EQ(copyfiles(), ST_OK);
    EXPECT_EQ(read(root + "/dest/PROGRAM/VEQNT.DLL"), "driver for NT");
    EXPECT_FALSE(exists("/dest/PROGRAM/VEQ95.DRV"));
}

TEST_F(Printer, MissingResourceLibraryCopyOrOldWindowsFailsWith13002)
{
    ctx->winversion = 0;
    EXPECT_EQ(copyfiles(), ST_GENERAL);
    EXPECT_TRUE(logcheck::contains(log(), "Unsupported version"));

    ctx->winversion = 1;
    std::filesystem::remove(root + "/windows/VEQINS.DLL");
    EXPECT_EQ(copyfiles(), ST_GENERAL);
    EXPECT_TRUE(logcheck::contains(log(), "Cannot find "));
    EXPECT_TRUE(logcheck::contains(log(), "Error in INS_CopyAddPrinterFiles = 13002"));
}

TEST_F(Printer, MissingDriverReturnsTheCopyStatus)
{
    ctx->winversion = 2;
    std::filesystem::remove(root + "/src/VEQNT.DLL");
    EXPECT_EQ(copyfiles(), ST_SOURCE_MISSING);
}

TEST_F(Printer, SourceFlagZeroTakesTheLibraryFromTheSource)
{
    ctx->winversion = 1;
    write(root + "/src/VEQINS32.DLL", "from the medium");
    ASSERT_EQ(INS_CopyAddPrinterFiles(ctx, 0, (root + "/src").c_str(), ctx->programdir, ctx->windowsdir),
              ST_SOURCE_MISSING);  // the driver path joins the source as given, without a separator
    EXPECT_EQ(read(root + "/dest/PROGRAM/VEQINS32.DLL"), "from the medium");
}

TEST_F(Printer, VoiceProductWithTraceDisplayRunsTheInstallerWithBothOptions)
{
    ctx->debuglevel = 2;
    ASSERT_EQ(INS_StartAddPrinter(ctx, 1, "C:\\My Fax\\PROGRAM\\"), ST_OK);
    ASSERT_EQ(d::started.size(), 1u);
    // Quoted: unquoted, a program C:\My.exe would be started instead.
    EXPECT_EQ(d::started[0], "\"C:\\My Fax\\PROGRAM\\VEQADDPR.EXE\" /p1 /d");
    EXPECT_TRUE(logcheck::contains(log(), "cmdline=\"C:\\My Fax\\PROGRAM\\VEQADDPR.EXE\" /p1 /d"));

    ctx->debuglevel = 0;
    ASSERT_EQ(INS_StartAddPrinter(ctx, 0, "C:\\FAX\\PROGRAM\\"), ST_OK);
    EXPECT_EQ(d::started[1], "\"C:\\FAX\\PROGRAM\\VEQADDPR.EXE\" /p0");

    // A program directory of 79 characters: the program's path is not cut.
    std::string longdir = "C:\\" + std::string(67, 'D') + "\\PROGRAM\\";
    ASSERT_EQ(INS_StartAddPrinter(ctx, 2, longdir.c_str()), ST_OK);
    EXPECT_EQ(d::started[2], "\"" + longdir + "VEQADDPR.EXE\" /p2");
}

TEST_F(Printer, InstallerNotCopiedInThisRunIsNotStarted)
{
    ctx->copiedaddprinter = 0;
    ctx->debuglevel = 2;
    write(root + "/dest/PROGRAM/VEQADDPR.EXE", "planted");
    ASSERT_EQ(INS_StartAddPrinter(ctx, 0, ctx->programdir), ST_OK);
    EXPECT_TRUE(d::started.empty());
    EXPECT_TRUE(logcheck::contains(log(), "VEQADDPR.EXE not copied from the set, not started"));
    ctx->winversion = 2;
    ASSERT_EQ(INS_installprinter(ctx), ST_OK);
    EXPECT_TRUE(d::started.empty());
}

TEST_F(Printer, InstallerIsWaitedForInStepsOf100ms)
{
    d::waitsteps = 37;
    ASSERT_EQ(INS_StartAddPrinter(ctx, 0, "C:\\P\\"), ST_OK);
    EXPECT_EQ(d::waits, 38);
    EXPECT_EQ(doubles::clock_ms, 3700u);
}

TEST_F(Printer, InstallerThatCannotStartFailsWith13002AndTracesTheError)
{
    d::startfailure = 2;
    EXPECT_EQ(INS_StartAddPrinter(ctx, 0, "C:\\P\\"), ST_GENERAL);
    EXPECT_TRUE(logcheck::contains(log(), "Cannot start VEQADDPR rc=%d2"));
}

TEST_F(Printer, WinIniSetupWritesThreeEntriesBroadcastsAndCopiesTheDriver)
{
    ASSERT_EQ(INS_installprinterdrv(ctx), ST_OK);
    EXPECT_EQ(d::winini, (std::vector<std::string>{"ports|FAX:|", "PrinterPorts|VEQ-Printer|VEQ,FAX:,15,45",
                                                   "devices|VEQ-printer|VEQ,FAX:"}));
    EXPECT_EQ(d::broadcasts, (std::vector<std::string>{"ports", "PrinterPorts", "devices"}));
    EXPECT_EQ(read(root + "/windows/system/VEQ.DRV"), "win.ini driver");
}

TEST_F(Printer, RefusedWinIniFailsWith2214WithoutBroadcastOrDriver)
{
    d::wininirefuses = true;
    EXPECT_EQ(INS_installprinterdrv(ctx), 2214);
    EXPECT_TRUE(d::broadcasts.empty());
    EXPECT_FALSE(exists("/windows/system/VEQ.DRV"));
}

TEST_F(Printer, NtWithInstallPrinter1RunsTheInstallerAndLeavesWinIni)
{
    ctx->winversion = 2;
    ctx->INS_installprinter = 1;
    ASSERT_EQ(INS_installprinter(ctx), ST_OK);
    EXPECT_EQ(d::started.size(), 1u);
    EXPECT_TRUE(d::winini.empty());
    EXPECT_FALSE(exists("/windows/system/VEQ.DRV"));
}

TEST_F(Printer, WizardModeOpensTheInstructionsEvenWhenMissingThenTheWizard)
{
    ctx->INS_installprinter = 2;
    ASSERT_EQ(INS_installprinter(ctx), ST_OK);
    ASSERT_EQ(d::started.size(), 2u);
    EXPECT_EQ(d::started[0], "\"" + root + "/windows/write.exe\" \"" + root + "/src/ADDPRINT.WRI\"");
    EXPECT_EQ(d::started[1], "\"" + root + "/windows/rundll32.exe\" Shell32,SHHelpShortcuts_RunDLL AddPrinter");
}

TEST_F(Printer, SystemProgramsComeFromTheSystemDirectoryFirstAndNeverByBareName)
{
    // Windows NT keeps RunDLL32 in the system directory.
    write(root + "/windows/system/rundll32.exe", "rundll32 of NT");
    ASSERT_EQ(INS_showaddprinter(ctx), ST_OK);
    ASSERT_EQ(d::started.size(), 2u);
    EXPECT_EQ(d::started[1].rfind("\"" + root + "/windows/system/rundll32.exe\" ", 0), 0u) << d::started[1];

    // Without the wizard's program nothing is started after Write; without
    // Write nothing at all.
    d::started.clear();
    std::filesystem::remove(root + "/windows/system/rundll32.exe");
    std::filesystem::remove(root + "/windows/rundll32.exe");
    ctx->debuglevel = 2;
    ASSERT_EQ(INS_showaddprinter(ctx), ST_OK);
    EXPECT_EQ(d::started.size(), 1u);
    EXPECT_TRUE(logcheck::contains(log(), "no system program: rundll32.exe"));
    d::started.clear();
    std::filesystem::remove(root + "/windows/write.exe");
    ASSERT_EQ(INS_showaddprinter(ctx), ST_OK);
    EXPECT_TRUE(d::started.empty());
}

TEST_F(Printer, WizardIsSkippedWhenWriteCannotStart)
{
    d::startfailure = 2;
    EXPECT_EQ(INS_showaddprinter(ctx), ST_OK);
    EXPECT_EQ(d::started.size(), 1u);
}

}  // namespace
