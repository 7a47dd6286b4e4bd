#include <cstring>

#include "integration/shellentries.h"
#include "install/record.h"
#include "tests/native/integration_fixture.h"

namespace {

namespace d = integration_doubles;

class ShellEntries : public IntegrationTest {
protected:
    void SetUp() override
    {
        IntegrationTest::SetUp();
        UL_copytext(ctx->productname, "DIDOVADA");
        UL_copytext(ctx->programdir, "C:\\FAX\\PROGRAM\\");
        d::sendto = "C:\\WINDOWS\\SendTo";
    }
    std::string value(const std::string& key, const std::string& name = "") { return d::registry[key][name]; }
    std::string record() const { return read(root + "/dest/DATA/UNINSTAL.DAT"); }
};

TEST_F(ShellEntries, WithoutLibraryTextsTheDefaultsNameTypesVerbsAndRecord)
{
    ASSERT_EQ(INS_addshellentries(ctx), ST_OK);
    EXPECT_EQ(record(), "ZeltaFax\r\n001,Open\r\n001,Print\r\n001,Fax\r\nlgo,Open\r\nlgo,Print\r\nlgo,Fax\r\n");
    EXPECT_EQ(value("HKCR\\.001"), "001file");
    EXPECT_EQ(value("HKCR\\001file"), "Fax Image");
    EXPECT_EQ(value("HKCR\\.lgo"), "lgofile");
    EXPECT_EQ(value("HKCR\\lgofile"), "Cover Sheet Logo");
    // Support staff read the missing texts in the order they are loaded.
    std::string l = log();
    std::size_t at = 0;
    for (const char* number : {"func = 801", "func = 701", "func = 702", "func = 703", "func = 802"}) {
        at = l.find(number, at);
        ASSERT_NE(at, std::string::npos) << number << " missing or out of order";
    }
}

TEST_F(ShellEntries, VerbsRunTheViewerAndTheProductProgram)
{
    ASSERT_EQ(INS_addshellentries(ctx), ST_OK);
    for (const char* type : {"001file", "lgofile"}) {
        std::string shell = std::string("HKCR\\") + type + "\\shell\\";
        EXPECT_EQ(value(shell + "Open\\command"), "\"C:\\FAX\\PROGRAM\\DUVOVIR.EXE\" \"%1\"") << type;
        EXPECT_EQ(value(shell + "Print\\command"), "\"C:\\FAX\\PROGRAM\\DUVOVIR.EXE\" \"%1\" /p") << type;
        EXPECT_EQ(value(shell + "Fax\\command"), "\"C:\\FAX\\PROGRAM\\DIDOVADA.EXE\" \"%1\"") << type;
    }
}

TEST_F(ShellEntries, TranslatedTextsBecomeVerbKeysAndRecordLines)
{
    ctx->resourcelib = ctx;  // any handle: the double serves doubles::strings
    doubles::strings = {{701, "Oeffnen"}, {702, "Drucken"}, {703, "Faxen"}, {801, "Faxbild"}, {802, "Logo"}};
    ASSERT_EQ(INS_addshellentries(ctx), ST_OK);
    EXPECT_EQ(value("HKCR\\001file"), "Faxbild");
    EXPECT_EQ(value("HKCR\\lgofile"), "Logo");
    EXPECT_EQ(value("HKCR\\001file\\shell\\Faxen\\command"), "\"C:\\FAX\\PROGRAM\\DIDOVADA.EXE\" \"%1\"");
    EXPECT_EQ(record(), "ZeltaFax\r\n001,Oeffnen\r\n001,Drucken\r\n001,Faxen\r\nlgo,Oeffnen\r\nlgo,Drucken\r\nlgo,Faxen\r\n");
}

TEST_F(ShellEntries, DesktopAndSendToShortcutsPointAtTheProductProgram)
{
    ASSERT_EQ(INS_addshellentries(ctx), ST_OK);
    ASSERT_EQ(d::shortcuts.size(), 2u);
    EXPECT_EQ(d::shortcuts[0].target, "C:\\FAX\\PROGRAM\\DIDOVADA.EXE");
    EXPECT_EQ(d::shortcuts[0].folder, "desktop");
    EXPECT_EQ(d::shortcuts[1].target, "C:\\FAX\\PROGRAM\\DIDOVADA.EXE");
    EXPECT_EQ(d::shortcuts[1].folder, "C:\\WINDOWS\\SendTo");
    EXPECT_EQ(d::shortcuts[1].name, "ZeltaFax");
}

TEST_F(ShellEntries, WithoutSendToFolderOnlyTheDesktopShortcutIsMade)
{
    d::sendto.clear();
    ASSERT_EQ(INS_addshellentries(ctx), ST_OK);
    ASSERT_EQ(d::shortcuts.size(), 1u);
    EXPECT_EQ(d::shortcuts[0].folder, "desktop");
}

TEST_F(ShellEntries, SecondInstallationRewritesTheRecordFromTheStart)
{
    write(root + "/dest/DATA/UNINSTAL.DAT", std::string(500, '#'));
    ASSERT_EQ(INS_addshellentries(ctx), ST_OK);
    EXPECT_EQ(record().substr(0, 10), "ZeltaFax\r\n");
    EXPECT_EQ(record().find('#'), std::string::npos);
}

TEST_F(ShellEntries, RecordThatCannotBeCreatedFailsBeforeAnyRegistration)
{
    dir(ctx->datadir, "/missing/");
    EXPECT_EQ(INS_addshellentries(ctx), ST_CREATE_FAILED);
    EXPECT_TRUE(d::registry.empty());
    EXPECT_TRUE(d::shortcuts.empty());
}

TEST_F(ShellEntries, UninstallerIsCopiedAndRegistered)
{
    write(root + "/src/VEQUNINS.DLL", "library of the uninstaller");
    write(root + "/src/ZVUNINST.EXE", "the uninstaller program");
    UL_copytext(ctx->pathname, "C:\\Fax (new)\\");
    UL_copytext(ctx->INS_version, "4.20");
    ctx->INS_currentfilesize = 2049;  // counts the conversion's steps too: no measure of the installation
    ASSERT_EQ(INS_adduninstall(ctx), ST_OK);
    EXPECT_EQ(read(root + "/windows/VEQUNINS.DLL"), "library of the uninstaller");
    EXPECT_EQ(read(root + "/windows/ZVUNINST.EXE"), "the uninstaller program");
    std::string key = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZeltaFax";
    EXPECT_EQ(value(key, "DisplayName"), "ZeltaFax");
    // The entry names the installation it removes, without the backslash
    // that would escape the closing quote.
    EXPECT_EQ(value(key, "UninstallString"), "\"" + root + "/windows/ZVUNINST.EXE\" /PATH=\"C:\\Fax (new)\"");
    // What inventories read: the quiet command keeps the user's faxes.
    EXPECT_EQ(value(key, "QuietUninstallString"), value(key, "UninstallString") + " /N");
    EXPECT_EQ(value(key, "DisplayVersion"), "4.20");
    EXPECT_EQ(value(key, "InstallLocation"), "C:\\Fax (new)\\");
    EXPECT_EQ(value(key, "DisplayIcon"), std::string(ctx->programdir) + ctx->productname + ".EXE");
    EXPECT_EQ(d::registry[key].count("EstimatedSize"), 0u) << "the size waits for the record";
    EXPECT_EQ(value(key, "NoModify"), "dword:1");
    EXPECT_EQ(value(key, "NoRepair"), "dword:1");
}

TEST_F(ShellEntries, UninstallCommandThatDoesNotFitIsRefusedWhole)
{
    char out[60];
    EXPECT_TRUE(INS_uninstallcommand(out, sizeof out, "C:\\WINDOWS\\ZVUNINST.EXE", "C:\\"));
    EXPECT_STREQ(out, "\"C:\\WINDOWS\\ZVUNINST.EXE\" /PATH=\"C:\"");
    EXPECT_FALSE(INS_uninstallcommand(out, sizeof out, "C:\\WINDOWS\\ZVUNINST.EXE", "C:\\A MUCH LONGER FOLDER NAME\\"));
    EXPECT_STREQ(out, "") << "a cut command could name another folder";
    EXPECT_FALSE(INS_uninstallcommand(out, sizeof out, "C:\\WINDOWS\\ZVUNINST.EXE", "\\"));
    EXPECT_STREQ(out, "") << "no installation to name";

    // The longest destination and Windows directory still fit the entry.
    write(root + "/src/VEQUNINS.DLL", "library");
    write(root + "/src/ZVUNINST.EXE", "program");
    UL_copytext(ctx->pathname, ("C:\\" + std::string(75, 'P') + "\\").c_str());
    ASSERT_EQ(INS_adduninstall(ctx), ST_OK);
    std::string key = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZeltaFax";
    EXPECT_EQ(value(key, "UninstallString").substr(value(key, "UninstallString").size() - 10), "PPPPPPPPP\"");
}

TEST_F(ShellEntries, InstallationRecordIsWrittenBesideUninstalDat)
{
    dir(ctx->pathname, "/dest\\");
    dir(ctx->datadir, "/dest\\DATA\\");
    ASSERT_EQ(INS_recordbegin(ctx), ST_OK);
    INS_recorddir(ctx, (root + "/dest\\PROGRAM").c_str());
    ASSERT_EQ(INS_addshellentries(ctx), ST_OK);
    INS_recordend(ctx);
    EXPECT_EQ(read(root + "/dest/DATA/UNINSTAL.LST"), "D,PROGRAM\r\nF,DATA\\UNINSTAL.DAT\r\n");
}

TEST_F(ShellEntries, MissingUninstallerLeavesTheUninstallKeyUnwritten)
{
    write(root + "/src/VEQUNINS.DLL", "library of the uninstaller");
    EXPECT_EQ(INS_adduninstall(ctx), ST_SOURCE_MISSING);
    EXPECT_TRUE(d::registry.empty());
}

TEST_F(ShellEntries, ShortcutWorkingDirectoryIsTheTargetsFolder)
{
    char out[SHELLPATHSIZE];
    INS_shortcutworkdir(out, "C:\\FAX\\PROGRAM\\DIDOVADA.EXE");
    EXPECT_STREQ(out, "C:\\FAX\\PROGRAM");
    INS_shortcutworkdir(out, "C:\\SETUP.EXE");
    EXPECT_STREQ(out, "C:\\");
    INS_shortcutworkdir(out, "SETUP.EXE");
    EXPECT_STREQ(out, "");
}

TEST_F(ShellEntries, DesktopIsRecognisedInAnyLetterCase)
{
    EXPECT_TRUE(INS_isdesktopfolder("desktop"));
    EXPECT_TRUE(INS_isdesktopfolder("Desktop"));
    EXPECT_TRUE(INS_isdesktopfolder("DESKTOP"));
    EXPECT_FALSE(INS_isdesktopfolder("desktops"));
    EXPECT_FALSE(INS_isdesktopfolder("C:\\desktop"));
    EXPECT_FALSE(INS_isdesktopfolder(""));
}

// A cut path would save the link as another file, without its extension.
TEST_F(ShellEntries, LinkPathLongerThan259CharactersIsRefusedNotCut)
{
    char out[SHELLPATHSIZE];
    EXPECT_TRUE(INS_shortcutlinkpath(out, "C:\\WINDOWS\\Desktop", "ZeltaFax"));
    EXPECT_STREQ(out, "C:\\WINDOWS\\Desktop\\ZeltaFax.LNK");
    const std::string folder(259 - std::strlen("\\ZeltaFax.LNK"), 'f');
    EXPECT_TRUE(INS_shortcutlinkpath(out, folder.c_str(), "ZeltaFax"));
    EXPECT_EQ(std::strlen(out), 259u);
    EXPECT_FALSE(INS_shortcutlinkpath(out, (folder + "f").c_str(), "ZeltaFax")) << "260 characters";
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(INS_linkfilepath(out, (folder + "f").c_str(), "ZeltaFax", ".lnk")) << "a group item alike";
    EXPECT_FALSE(INS_shortcutlinkpath(out, std::string(300, 'f').c_str(), "ZeltaFax"));
}

}  // namespace
