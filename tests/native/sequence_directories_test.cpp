#include <gtest/gtest.h>

#include <unistd.h>

#include <vector>

#include "install/dialogs.h"
#include "files/copyplan.h"
#include "files/expand.h"
#include "files/fileutil.h"
#include "install/install.h"
#include "install/journal.h"
#include "install/record.h"
#include "tests/native/doubles/hostpath.h"
#include "tests/native/sequence_fixture.h"
#include "tests/native/support/testfiles.h"

namespace {
std::vector<std::string> names(std::int16_t product)
{
    std::vector<std::string> out;
    for (const char* const* n = INS_directorylist(product); *n; ++n) out.push_back(*n);
    return out;
}
}  // namespace

TEST(DirectoryList, FaxProductsGetTheShortTree)
{
    std::vector<std::string> expected = {"TEMP",    "RECEIVE",       "SEND",          "PROGRAM",    "DATA",
                                         "SCRIPT1", "MBOX000", "MBOX000\\DSEND", "MBOX000\\DRECV", "MBOX000\\FOD"};
    EXPECT_EQ(names(0), expected);
    EXPECT_EQ(names(1), expected);
}

TEST(DirectoryList, OtherProductsGetSdkAndNineScriptDirectories)
{
    std::vector<std::string> got = names(2);
    ASSERT_EQ(got.size(), 19u);
    EXPECT_EQ(got[5], "SDK");
    EXPECT_EQ(got[6], "SCRIPT1");
    EXPECT_EQ(got[14], "SCRIPT9");
    EXPECT_EQ(got[18], "MBOX000\\FOD");
    EXPECT_EQ(names(6), got);
}

class Directories : public SequenceTest {
protected:
    std::uint16_t result = 99;
};

TEST_F(Directories, CreateDirReportsCreatedExistingEmptyAndFailed)
{
    INS_createdir(ctx, dir("/new\\  ").c_str(), &result);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(isdir("/new")) << "trailing blanks and backslashes removed";
    INS_createdir(ctx, dir("/new").c_str(), &result);
    EXPECT_EQ(result, 0) << "an existing directory is fine";
    INS_createdir(ctx, "   ", &result);
    EXPECT_EQ(result, 1);
    INS_createdir(ctx, dir("/missing/child").c_str(), &result);
    EXPECT_EQ(result, 2) << "intermediate directories are not made";
    std::string toolong(100, 'x');
    INS_createdir(ctx, toolong.c_str(), &result);
    EXPECT_EQ(result, 2) << "a path longer than 79 characters is never made";
}

TEST_F(Directories, MakedirsBuildsTheWholeTreeOfTheProduct)
{
    UL_copytext(ctx->pathname, dir("/dest/").c_str());
    mkdir(dir("/dest").c_str(), 0755);
    ctx->INS_whichprogram = 0;
    ASSERT_EQ(INS_makedirs(ctx), ST_OK);
    EXPECT_TRUE(isdir("/dest/MBOX000/FOD"));
    EXPECT_TRUE(isdir("/dest/SCRIPT1"));
    EXPECT_FALSE(isdir("/dest/SDK"));
}

TEST_F(Directories, MakedirsFailsWith2231WhenASubdirectoryCannotBeMade)
{
    UL_copytext(ctx->pathname, dir("/dest/").c_str());
    mkdir(dir("/dest").c_str(), 0755);
    write("/dest/SEND", "a file in the way");
    ctx->INS_whichprogram = 3;
    EXPECT_EQ(INS_makedirs(ctx), 2231);
    EXPECT_TRUE(isdir("/dest/RECEIVE")) << "made before the failure, left in place";
    EXPECT_FALSE(isdir("/dest/PROGRAM")) << "nothing after it";
}

TEST_F(Directories, MakepathOnDriveStyleTextMakesParentAndChild)
{
    // A relative drive-style text: "X:" is the host's relative directory X:.
    std::string cwd = root + "/cwd";
    mkdir(cwd.c_str(), 0755);
    ASSERT_EQ(chdir(cwd.c_str()), 0);
    mkdir("X:", 0755);
    INS_makepath(ctx, "X:\\NEW\\SUB\\", &result);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(isdir("/cwd/X:/NEW/SUB"));
    INS_makepath(ctx, "X:\\A\\B\\C", &result);
    EXPECT_EQ(result, 2) << "three new levels cannot be made";
    EXPECT_TRUE(isdir("/cwd/X:/A")) << "the first level is made before the failure";
    INS_makepath(ctx, "X:\\", &result);
    EXPECT_EQ(result, 0) << "a drive root needs nothing";
    INS_makepath(ctx, "  ", &result);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(chdir("/"), 0);
}

TEST_F(Directories, DeletedirRemovesOnlyAnEmptyDirectory)
{
    mkdir(dir("/empty").c_str(), 0755);
    mkdir(dir("/full").c_str(), 0755);
    write("/full/keep.txt", "x");
    INS_deletedir(ctx, dir("/empty\\").c_str(), &result);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(exists("/empty"));
    INS_deletedir(ctx, dir("/full").c_str(), &result);
    EXPECT_TRUE(exists("/full/keep.txt"));
    INS_deletedir(ctx, "", &result);
    EXPECT_EQ(result, 1);
}

TEST_F(Directories, CountryFileIsCopiedOnlyWhenTheCountryHasOne)
{
    mkdir(dir("/src/COUNTRY").c_str(), 0755);
    mkdir(dir("/data").c_str(), 0755);
    UL_copytext(ctx->datadir, dir("/data/").c_str());
    write("/src/COUNTRY/COUNTRY.GER", "[COUNTRY]\nCODE=49\n");
    UL_copytext(ctx->countryext, "FRA");
    EXPECT_EQ(INS_copycountry(ctx), ST_OK);
    EXPECT_FALSE(exists("/data/COUNTRY.INI"));
    ctx->countryext[0] = '\0';
    EXPECT_EQ(INS_copycountry(ctx), ST_OK) << "no country chosen";
    EXPECT_FALSE(exists("/data/COUNTRY.INI"));
    UL_copytext(ctx->countryext, "GER");
    EXPECT_EQ(INS_copycountry(ctx), ST_OK);
    EXPECT_TRUE(exists("/data/COUNTRY.INI"));
}

TEST_F(Directories, FaxProductInstallsFaxFaxAsFaxIni)
{
    mkdir(dir("/win").c_str(), 0755);
    UL_copytext(ctx->windowsdir, dir("/win/").c_str());
    write("/src/FAX.FAX", "[FAX]\nPRODUCT=fax only edition\n");
    write("/src/FAX.INI", "[FAX]\nPRODUCT=voice edition here\n");
    ctx->INS_whichprogram = 0;
    ASSERT_EQ(INS_copyfaxini(ctx), ST_OK);
    EXPECT_NE(testfiles::read(dir("/win/FAX.INI")).find("fax only"), std::string::npos);
    ctx->INS_whichprogram = 2;
    ASSERT_EQ(INS_copyfaxini(ctx), ST_OK);
    EXPECT_NE(testfiles::read(dir("/win/FAX.INI")).find("voice edition"), std::string::npos);
}

TEST_F(Directories, MissingFaxTemplateFailsTheStep)
{
    mkdir(dir("/win").c_str(), 0755);
    UL_copytext(ctx->windowsdir, dir("/win/").c_str());
    ctx->INS_whichprogram = 2;
    EXPECT_NE(INS_copyfaxini(ctx), ST_OK);
}

// The installation record over a destination "<root>/dest\\": the double reads
// backslashes as slashes, so the installer's own path texts work unchanged.
class Record : public SequenceTest {
protected:
    void SetUp() override
    {
        SequenceTest::SetUp();
        mkdir(dir("/dest").c_str(), 0755);
        UL_copytext(ctx->pathname, dir("/dest\\").c_str());
        UL_copytext(ctx->datadir, dir("/dest\\DATA\\").c_str());
        UL_copytext(ctx->windowsdir, dir("/dest\\WINDOWS\\").c_str());
        ctx->INS_whichprogram = 0;
    }
    void TearDown() override
    {
        INS_recordend(ctx);
        SequenceTest::TearDown();
    }
    void create(const char* rel)
    {
        ul_file f = 0;
        ASSERT_EQ(UL_createfile(ctx, (std::string(ctx->pathname) + rel).c_str(), UL_EXCLUSIVE, &f), ST_OK) << rel;
        UL_closefile(ctx, f);
    }
    std::string record() const { return testfiles::read(dir("/dest/DATA/UNINSTAL.LST")); }
    static std::string lines(std::initializer_list<const char*> entries)
    {
        std::string out;
        for (const char* e : entries) out += std::string(e) + "\r\n";
        return out;
    }
};

TEST_F(Record, NamesWhatThisRunMadeAndNothingThatWasThere)
{
    mkdir(dir("/dest/DATA").c_str(), 0755);
    mkdir(dir("/dest/TEMP").c_str(), 0755);
    write("/dest/DATA/KEEP.TXT", "someone else's");
    write("/src/X.EXE", "a program of the set");
    ASSERT_EQ(INS_recordbegin(ctx), ST_OK);
    ASSERT_EQ(INS_makedirs(ctx), ST_OK);
    ASSERT_EQ(INS_expandfile(ctx, (std::string(ctx->pathname) + "PROGRAM\\X.EXE").c_str(), dir("/src/X.EXE").c_str()),
              ST_OK);
    create("DATA\\FAX.INI");
    INS_recordfile(ctx, (std::string(ctx->pathname) + "program\\x.exe").c_str());  // again, other letters: one entry
    create("SCRIPT1\\x");      // a temporary that is gone again at the end
    UL_deletefile((std::string(ctx->pathname) + "SCRIPT1\\x").c_str());
    mkdir(dir("/dest/WINDOWS").c_str(), 0755);
    create("WINDOWS\\FAX.INI");  // an installation around the Windows directory leaves it out
    ul_file f = 0;
    ASSERT_EQ(UL_createfile(ctx, dir("/src/OUTSIDE.TXT").c_str(), UL_EXCLUSIVE, &f), ST_OK);
    UL_closefile(ctx, f);
    ASSERT_EQ(INS_recordwrite(ctx), ST_OK);

    EXPECT_EQ(record(), lines({"D,RECEIVE", "D,SEND", "D,PROGRAM", "D,SCRIPT1", "D,MBOX000", "D,MBOX000\\DSEND",
                               "D,MBOX000\\DRECV", "D,MBOX000\\FOD", "F,PROGRAM\\X.EXE", "F,DATA\\FAX.INI"}));
    INS_recordend(ctx);
    EXPECT_EQ(ctx->filewritten, nullptr);
    create("DATA\\LATE.TXT");
    EXPECT_EQ(INS_recordwrite(ctx), ST_OK) << "no record runs: nothing to write";
    EXPECT_EQ(record().find("LATE"), std::string::npos);
}

TEST_F(Record, ReinstallationKeepsTheEarlierEntriesAndDropsBadLines)
{
    for (const char* d : {"/dest/PROGRAM", "/dest/DATA", "/dest/SCRIPT1"}) mkdir(dir(d).c_str(), 0755);
    write("/dest/PROGRAM/OLD.EXE", "made by the first installation");
    write("/dest/SCRIPT1/HELLO.WAV", "a prompt");
    const std::string cut = "F,PROGRAM\\" + std::string(400, 'A');
    write("/dest/DATA/UNINSTAL.LST", "D,PROGRAM\r\nF,PROGRAM\\OLD.EXE\r\nF,..\\..\\WINDOWS\\WIN.INI\r\n"
                                    "D,C:\\TEMP\r\nX,SCRIPT1\r\n\r\nF,\\AUTOEXEC.BAT\r\nD,SCRIPT1\\\\A\r\n"
                                    "F,PROGRAM\\GONE.EXE\r\nd,RECEIVE\r\nF,DATA\\CON\r\n" +
                                        cut + "\r\nF,SCRIPT1\\HELLO.WAV\nD,SCRIPT1");
    ASSERT_EQ(INS_recordbegin(ctx), ST_OK);
    ASSERT_EQ(INS_makedirs(ctx), ST_OK);
    INS_recordfile(ctx, (std::string(ctx->pathname) + "Program\\Old.exe").c_str());
    create("DATA\\NEW.INI");
    ASSERT_EQ(INS_recordwrite(ctx), ST_OK);
    // The earlier file that is gone (GONE.EXE) needs no removal; what the
    // earlier installation made keeps its entry although it is there now.
    EXPECT_EQ(record(), lines({"D,PROGRAM", "F,PROGRAM\\OLD.EXE", "F,SCRIPT1\\HELLO.WAV", "D,SCRIPT1", "D,TEMP",
                               "D,RECEIVE", "D,SEND", "D,MBOX000", "D,MBOX000\\DSEND", "D,MBOX000\\DRECV",
                               "D,MBOX000\\FOD", "F,DATA\\NEW.INI"}));
}

// The journal on drive C of the host (its reader takes whole drive paths only):
// a stopped run's changes, taken over by the next run into the same place,
// undone by one into another, and handed to the record at the completion.
TEST_F(Record, JournalTakenOverUndoneElsewhereAndHandedToTheRecord)
{
    doubles::drive_root = root;
    for (const char* d : {"/C", "/C/WINDOWS", "/C/WINDOWS/SYSTEM"}) mkdir(dir(d).c_str(), 0755);
    UL_copytext(ctx->windowsdir, "C:\\WINDOWS\\");
    UL_copytext(ctx->systemdir, "C:\\WINDOWS\\SYSTEM\\");
    UL_copytext(ctx->producttitle, "ZeltaVoice");
    auto into = [&](const char* dest) {
        UL_copytext(ctx->pathname, dest);
        UL_makepath(ctx->datadir, dest, "DATA\\");
        std::uint16_t made = 0;
        INS_makepath(ctx, dest, &made);  // the destination dialog
        INS_recordend(ctx);
        ASSERT_EQ(INS_recordbegin(ctx), ST_OK);
        ASSERT_EQ(INS_journalbegin(ctx, dest), ST_OK);
        ASSERT_EQ(INS_makedirs(ctx), ST_OK);
    };
    auto write_at = [&](const char* path) {
        ul_file f = 0;
        ASSERT_EQ(UL_createfile(ctx, path, UL_EXCLUSIVE, &f), ST_OK) << path;
        UL_closefile(ctx, f);
    };
    write("/C/WINDOWS/FAX.INI", "the user's");
    into("C:\\DEST\\");
    write_at("C:\\WINDOWS\\FAX.INI");
    write_at("C:\\WINDOWS\\VEQSB95.DLL");
    write_at("C:\\WINDOWS\\OTHER.DLL");  // no name of the suite's: none of the journal's business
    create("DATA\\ZELTAVOX.INI");
    INS_journalclose(ctx);  // the run stops
    const std::string journal = testfiles::read(dir("/C/WINDOWS/VEQJ7FF4.JNL"));
    for (const char* line : {"T,ZeltaVoice\r\nP,C:\\DEST\\\r\nW,VEQINS.DLL\r\nM\r\n", "\r\nD,MBOX000\\FOD\r\n",
                             "\r\nA,1,W,FAX.INI\r\nW,VEQSB95.DLL\r\nF,DATA\\ZELTAVOX.INI\r\n"})
        EXPECT_NE(journal.find(line), std::string::npos) << line << " in " << journal;
    EXPECT_EQ(journal.find("OTHER"), std::string::npos);
    EXPECT_EQ(testfiles::read(dir("/C/WINDOWS/VEQJ7FF4.OLD/1.OLD")), "the user's");

    into("C:\\DEST\\");  // run again: what the stopped run made is this run's own
    EXPECT_TRUE(INS_recordknows(ctx, "MBOX000\\FOD"));
    EXPECT_TRUE(INS_recordknows(ctx, "DATA\\ZELTAVOX.INI"));
    write_at("C:\\WINDOWS\\FAX.INI");  // set aside once, the user's file
    EXPECT_FALSE(exists("/C/WINDOWS/VEQJ7FF4.OLD/2.OLD"));
    INS_journalclose(ctx);

    into("C:\\OTHER\\");  // elsewhere: the stopped run is undone first
    EXPECT_FALSE(exists("/C/DEST"));
    EXPECT_FALSE(exists("/C/WINDOWS/VEQSB95.DLL"));
    EXPECT_TRUE(exists("/C/WINDOWS/OTHER.DLL"));
    EXPECT_EQ(testfiles::read(dir("/C/WINDOWS/FAX.INI")), "the user's");
    write_at("C:\\WINDOWS\\FAX.INI");
    ASSERT_EQ(INS_recordwrite(ctx), ST_OK);
    ASSERT_EQ(INS_journalcommit(ctx), ST_OK);
    EXPECT_FALSE(exists("/C/WINDOWS/VEQJ7FF4.JNL"));
    EXPECT_NE(testfiles::read(dir("/C/OTHER/DATA/UNINSTAL.LST")).find("\r\nA,1,W,FAX.INI\r\n"), std::string::npos);
    EXPECT_EQ(testfiles::read(dir("/C/WINDOWS/VEQJ7FF4.OLD/1.OLD")), "the user's");

    // Installed again: the FAX.INI that names this destination is the suite's
    // own, replaced for good, and nothing puts it back after a removal.
    write("/C/WINDOWS/FAX.INI", "[FAX]\r\nPATH=C:\\OTHER\r\n");
    into("C:\\OTHER\\");
    write_at("C:\\WINDOWS\\FAX.INI");
    ASSERT_EQ(INS_recordwrite(ctx), ST_OK);
    ASSERT_EQ(INS_journalcommit(ctx), ST_OK);
    EXPECT_EQ(testfiles::read(dir("/C/OTHER/DATA/UNINSTAL.LST")).find(",W,FAX.INI"), std::string::npos);
    EXPECT_FALSE(exists("/C/WINDOWS/VEQJ7FF4.OLD/2.OLD"));
    EXPECT_EQ(testfiles::read(dir("/C/WINDOWS/VEQJ7FF4.OLD/1.OLD")), "the user's") << "the first installation's copy";

    mkdir(dir("/C/WINDOWS/VEQJ7FF4.JNL").c_str(), 0755);  // no journal can be written there
    EXPECT_EQ(INS_journalbegin(ctx, "C:\\OTHER\\"), ST_CREATE_FAILED);
    doubles::drive_root.clear();
}

TEST_F(Record, NewRecordReplacesAPlantedLinkInsteadOfWritingThroughIt)
{
    mkdir(dir("/dest/DATA").c_str(), 0755);
    write("/victim.txt", "not the installer's");
    ASSERT_EQ(symlink(dir("/victim.txt").c_str(), dir("/dest/DATA/UNINSTAL.LST").c_str()), 0);
    ASSERT_EQ(INS_recordbegin(ctx), ST_OK);
    create("DATA\\FAX.INI");
    ASSERT_EQ(INS_recordwrite(ctx), ST_OK);
    EXPECT_EQ(testfiles::read(dir("/victim.txt")), "not the installer's");
    EXPECT_EQ(record(), lines({"F,DATA\\FAX.INI"}));
}

TEST(RecordRelative, OnlyPathsBelowTheInstallationDirectory)
{
    char rel[260];
    EXPECT_TRUE(INS_recordrelative("C:\\ZELTAPRO\\", "c:\\zeltapro\\PROGRAM\\X.EXE", rel, sizeof rel));
    EXPECT_STREQ(rel, "PROGRAM\\X.EXE");
    EXPECT_TRUE(INS_recordrelative("C:\\ZELTAPRO\\", "C:\\ZELTAPRO\\MBOX000\\FOD\\", rel, sizeof rel));
    EXPECT_STREQ(rel, "MBOX000\\FOD");
    EXPECT_FALSE(INS_recordrelative("C:\\ZELTAPRO\\", "C:\\ZELTAPRO\\", rel, sizeof rel)) << "never itself";
    EXPECT_FALSE(INS_recordrelative("C:\\ZELTAPRO\\", "C:\\ZELTAPRO2\\X", rel, sizeof rel));
    EXPECT_FALSE(INS_recordrelative("C:\\ZELTAPRO\\", "C:\\ZELTA", rel, sizeof rel));
    EXPECT_FALSE(INS_recordrelative("C:\\ZELTAPRO", "C:\\ZELTAPRO\\X", rel, sizeof rel)) << "no directory text";
    EXPECT_FALSE(INS_recordrelative("C:\\", "C:\\ABCDEFGH.TXT", rel, 8)) << "does not fit";
}

// The diskette loop with a copy step and a disk request that the test scripts.
namespace diskloop {
std::vector<std::string> events;
int lastdiskon = 0;       // the disk that carries lastdisk.txt; 0 = none
int refuseat = 0;         // the disk request the user cancels
status_t failcopyon = 0;  // a copy failure on this disk
int disk = 1;
std::string marker;

status_t copy(setup_context*)
{
    events.push_back("copy " + std::to_string(disk));
    if (disk == lastdiskon) std::ofstream(marker) << "last";
    if (failcopyon != 0 && disk == 2) return failcopyon;
    return ST_OK;
}

status_t ask(setup_context*, std::int16_t n, std::uint16_t* cancelled)
{
    events.push_back("ask " + std::to_string(n));
    *cancelled = n == refuseat ? 1 : 0;
    if (!*cancelled) {
        std::remove(marker.c_str());
        disk = n;
    }
    return ST_OK;
}
}  // namespace diskloop

class DiskLoop : public SequenceTest {
protected:
    void SetUp() override
    {
        SequenceTest::SetUp();
        diskloop::events.clear();
        diskloop::lastdiskon = diskloop::refuseat = 0;
        diskloop::failcopyon = 0;
        diskloop::disk = 1;
        diskloop::marker = dir("/src/lastdisk.txt");
    }
};

TEST_F(DiskLoop, LastDiskMarkerOnDiskOneAsksForNothing)
{
    diskloop::lastdiskon = 1;
    EXPECT_EQ(INS_diskloop(ctx, diskloop::copy, diskloop::ask), ST_OK);
    EXPECT_EQ(diskloop::events, std::vector<std::string>({"copy 1"}));
}

TEST_F(DiskLoop, TwoDiskSetAsksForDiskTwoOnly)
{
    diskloop::lastdiskon = 2;
    EXPECT_EQ(INS_diskloop(ctx, diskloop::copy, diskloop::ask), ST_OK);
    EXPECT_EQ(diskloop::events, std::vector<std::string>({"copy 1", "ask 2", "copy 2"}));
}

TEST_F(DiskLoop, WithoutMarkerDisksTwoToNineAreRequestedAndTheNinthEnds)
{
    EXPECT_EQ(INS_diskloop(ctx, diskloop::copy, diskloop::ask), ST_OK);
    ASSERT_EQ(diskloop::events.size(), 17u);
    EXPECT_EQ(diskloop::events[1], "ask 2");
    EXPECT_EQ(diskloop::events.back(), "copy 9");
}

TEST_F(DiskLoop, RefusedDiskRequestIsTheUsersCancel)
{
    diskloop::refuseat = 3;
    EXPECT_EQ(INS_diskloop(ctx, diskloop::copy, diskloop::ask), ST_CANCELLED);
    EXPECT_EQ(diskloop::events.back(), "ask 3");
}

TEST_F(DiskLoop, CopyFailureStopsTheLoopWithItsStatus)
{
    diskloop::failcopyon = 905;
    EXPECT_EQ(INS_diskloop(ctx, diskloop::copy, diskloop::ask), 905);
    EXPECT_EQ(diskloop::events, std::vector<std::string>({"copy 1", "ask 2", "copy 2"}));
}

TEST(DestinationLength, EveryFileOfTheTreeMustFitTheInstallersPaths)
{
    std::string ok = "C:\\" + std::string(49, 'A');  // 52 characters
    EXPECT_TRUE(INS_destinationfits(ok.c_str()));
    EXPECT_TRUE(INS_destinationfits((ok + "\\").c_str())) << "a trailing backslash does not count twice";
    EXPECT_FALSE(INS_destinationfits((ok + "B").c_str())) << "C:\\...\\MBOX000\\DRECV\\12345678.123 would pass 79";
    EXPECT_FALSE(INS_destinationfits(std::string(100, 'x').c_str()));
}
