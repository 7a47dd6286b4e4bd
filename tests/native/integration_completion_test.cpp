#include <algorithm>
#include <filesystem>
#include <sstream>

#include "install/completion.h"
#include "install/record.h"
#include "tests/native/integration_fixture.h"
#include "tests/support/logcheck.h"

namespace {

namespace d = integration_doubles;

class Completion : public IntegrationTest {
protected:
    void SetUp() override
    {
        IntegrationTest::SetUp();
        write(root + "/src/VEQUNINS.DLL", "uninstaller library");
        write(root + "/src/ZVUNINST.EXE", "uninstaller");
        write(root + "/src/ICONS.FAX", "#ZELTAFAX.EXE\r\n\r\nZeltaFax\r\n\r\n");
        write(root + "/windows/VEQINS.DLL", "resource library");
        write(root + "/src/VEQ95.DRV", "driver");
        write(root + "/windows/FAX.ini", "[FAX]\r\n");
        ctx->winversion = 1;
        ctx->INS_installprinter = 3;
        d::sendto = "C:\\SendTo";
    }
    ::testing::AssertionResult logged(const std::string& text) const { return logcheck::contains(log(), text); }
};

TEST_F(Completion, WholeCompletionRunsItsStepsAndClosesTheMainWindow)
{
    ctx->INS_currentfilesize = 123456;
    dir(ctx->pathname, "/dest\\");  // the record takes paths below a directory that ends in a backslash
    ASSERT_EQ(INS_recordbegin(ctx), ST_OK);
    write(root + "/dest/PROGRAM/ZELTAFAX.EXE", std::string(5000, 'x'));
    INS_recordfile(ctx, (std::string(ctx->pathname) + "PROGRAM\\ZELTAFAX.EXE").c_str());
    ASSERT_EQ(INS_alldone(ctx), ST_OK);
    EXPECT_TRUE(std::filesystem::exists(root + "/dest/DATA/ZELTAFAX.ini"));
    EXPECT_NE(read(root + "/windows/FAX.ini").find("PATH="), std::string::npos);
    EXPECT_EQ(d::progressclosed, 1);
    EXPECT_EQ(d::ddecommands.size(), 4u);
    EXPECT_TRUE(std::filesystem::exists(root + "/dest/PROGRAM/VEQINS32.DLL"));
    EXPECT_TRUE(d::started.empty()) << "INSTALLPRINTER=3 installs no printer";
    EXPECT_TRUE(std::filesystem::exists(root + "/dest/DATA/UNINSTAL.DAT"));
    EXPECT_EQ(d::closeposted, 1);
    EXPECT_EQ(ctx->helpcontext, 105);
    EXPECT_TRUE(logged("INS_currentfilesize=1234"));  // grown by the files copied so far
    EXPECT_TRUE(logged("adduninstall=0"));
    // The uninstall entry's size: the files the record names, as they lie on disk, in kilobytes rounded up.
    std::uintmax_t bytes = 0;
    std::istringstream record(read(root + "/dest/DATA/UNINSTAL.LST"));
    for (std::string line; std::getline(record, line);) {
        if (line.rfind("F,", 0) != 0) continue;
        std::string rel = line.substr(2, line.find('\r') - 2);
        std::replace(rel.begin(), rel.end(), '\\', '/');
        bytes += std::filesystem::file_size(root + "/dest/" + rel);
    }
    EXPECT_GE(bytes, 5000u) << read(root + "/dest/DATA/UNINSTAL.LST");
    EXPECT_EQ(d::registry["HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZeltaFax"]["EstimatedSize"],
              "dword:" + std::to_string((bytes + 1023) / 1024));
    INS_recordend(ctx);
}

TEST_F(Completion, MissingUninstallerIsTracedAndTheCompletionGoesOn)
{
    std::filesystem::remove(root + "/src/ZVUNINST.EXE");
    ASSERT_EQ(INS_recordbegin(ctx), ST_OK);
    ASSERT_EQ(INS_alldone(ctx), ST_OK);
    EXPECT_TRUE(logged("adduninstall=905"));
    EXPECT_TRUE(d::registry.find("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZeltaFax") ==
                d::registry.end())
        << "no size without the entry";
    INS_recordend(ctx);
    EXPECT_EQ(d::closeposted, 1);
}

TEST_F(Completion, CancelBeforeTheProgressWindowClosesEndsSilently)
{
    doubles::stop_at_call = 1;
    EXPECT_EQ(INS_alldone(ctx), ST_CANCELLED);
    EXPECT_EQ(d::progressclosed, 0);
    EXPECT_TRUE(d::ddecommands.empty());
    EXPECT_EQ(d::closeposted, 0);
}

TEST_F(Completion, PrinterFailureStopsBeforeTheShellEntries)
{
    ctx->winversion = 1;
    ctx->INS_installprinter = 0;
    ctx->copiedaddprinter = 1;
    d::startfailure = 2;
    EXPECT_EQ(INS_alldone(ctx), ST_GENERAL);
    EXPECT_FALSE(std::filesystem::exists(root + "/dest/DATA/UNINSTAL.DAT"));
    EXPECT_TRUE(logged("Error in INS_alldone = 13002"));
    EXPECT_EQ(d::closeposted, 0);
}

TEST_F(Completion, InstallPrinter1OnNtBehavesLikeInstallPrinter0)
{
    write(root + "/src/VEQNT.DLL", "nt driver");
    ctx->winversion = 2;
    for (std::int16_t mode : {0, 1}) {
        d::reset();
        d::sendto = "C:\\SendTo";
        ctx->INS_installprinter = mode;
        ctx->copiedaddprinter = 1;
        ASSERT_EQ(INS_alldone(ctx), ST_OK);
        ASSERT_EQ(d::started.size(), 1u) << "mode " << mode;
        EXPECT_NE(d::started[0].find("VEQADDPR.EXE\" /p0"), std::string::npos) << d::started[0];
        EXPECT_TRUE(d::winini.empty());
    }
}

TEST_F(Completion, StartButtonRunsTheInstalledProgramAndRemovesTheSetupTool)
{
    write(root + "/dest/PROGRAM/ZARARAV.EXE", "tool");
    INS_notecopied(ctx, (root + "/dest/PROGRAM/zararav.exe").c_str());  // as the copy plan reports it
    INS_notecopied(ctx, (root + "/dest/PROGRAM/ZELTAFAX.EXE").c_str());
    d::doneresult = 112;
    ASSERT_EQ(INS_showdone(ctx), ST_OK);
    EXPECT_EQ(d::run, (std::vector<std::string>{"\"" + root + "/dest/PROGRAM/ZARARAV.EXE\"",
                                                "\"" + root + "/dest/PROGRAM/ZELTAFAX.EXE\""}));
    EXPECT_FALSE(std::filesystem::exists(root + "/dest/PROGRAM/ZARARAV.EXE"));
}

TEST_F(Completion, SetupToolThatThisRunDidNotCopyIsNeitherRunNorRemoved)
{
    write(root + "/dest/PROGRAM/ZARARAV.EXE", "planted");
    INS_notecopied(ctx, (root + "/dest/PROGRAM/ZELTAFAX.EXE").c_str());
    INS_notecopied(ctx, (root + "/dest/DATA/ZARARAV.EXE").c_str());
    EXPECT_EQ(ctx->copiedprogram, 1);
    ctx->debuglevel = 2;
    d::doneresult = 112;
    ASSERT_EQ(INS_showdone(ctx), ST_OK);
    EXPECT_EQ(d::run, (std::vector<std::string>{"\"" + root + "/dest/PROGRAM/ZELTAFAX.EXE\""}));
    EXPECT_EQ(read(root + "/dest/PROGRAM/ZARARAV.EXE"), "planted");
    EXPECT_TRUE(logged("not from the set: " + root.substr(0, 20)));
    EXPECT_EQ(ctx->copiedaddprinter, 0);
    INS_notecopied(ctx, (root + "/dest/PROGRAM/VEQADDPR.EXE").c_str());
    EXPECT_EQ(ctx->copiedaddprinter, 1);
}

TEST_F(Completion, StartButtonRunsNoProgramThatThisRunDidNotCopy)
{
    write(root + "/dest/PROGRAM/ZELTAFAX.EXE", "planted");
    d::doneresult = 112;
    ASSERT_EQ(INS_showdone(ctx), ST_OK);
    EXPECT_TRUE(d::run.empty());
}

TEST_F(Completion, HelpButtonOpensTheProductsHelpFromItsProgramDirectory)
{
    UL_copytext(ctx->helpfile, "A:\\SETUP.HLP");
    write(root + "/windows/winhelp.exe", "help viewer");
    d::doneresult = 122;
    ASSERT_EQ(INS_showdone(ctx), ST_OK);
    EXPECT_EQ(std::string(ctx->helpfile), root + "/dest/PROGRAM/ZELTAFAX.HLP");
    // By its whole path: a WINHELP.EXE in the current directory is not taken.
    EXPECT_EQ(d::run, (std::vector<std::string>{"\"" + root + "/windows/winhelp.exe\" \"" + root +
                                                "/dest/PROGRAM/ZELTAFAX.HLP\""}));
}

TEST_F(Completion, CloseStartsNothingAndAMissingTemplateIs13071)
{
    d::doneresult = 0;
    ASSERT_EQ(INS_showdone(ctx), ST_OK);
    EXPECT_TRUE(d::run.empty());
    d::doneresult = -1;
    EXPECT_EQ(INS_showdone(ctx), ST_NO_TEMPLATE);
}

}  // namespace
