#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "files/fileutil.h"
#include "files/plainname.h"

namespace {

std::string trimmed(const char* s)
{
    char out[TEXTSIZE] = "untouched";
    EXPECT_EQ(UL_trim(out, s), ST_OK);
    return out;
}

TEST(Paths, TrimRemovesBlanksButNotTabs)
{
    EXPECT_EQ(trimmed("  C:\\FAX  "), "C:\\FAX");
    EXPECT_EQ(trimmed("\tC:\\FAX\t"), "\tC:\\FAX\t");
    EXPECT_EQ(trimmed("    "), "");
}

TEST(Paths, TrimRefusesMoreThan79CharactersAndLeavesTheDestination)
{
    std::string s(80, 'x');
    char out[TEXTSIZE] = "untouched";
    EXPECT_EQ(UL_trim(out, s.c_str()), ST_GENERAL);
    EXPECT_STREQ(out, "untouched");
    EXPECT_EQ(UL_trim(out, std::string(79, 'y').c_str()), ST_OK);
}

TEST(Paths, TrimWorksInPlace)
{
    char text[TEXTSIZE] = "  A B  ";
    UL_trim(text, text);
    EXPECT_STREQ(text, "A B");
}

TEST(Paths, AddSlashAppendsOneBackslashOnlyWhenMissing)
{
    char a[TEXTSIZE] = "C:\\FAX";
    UL_addslash(a);
    EXPECT_STREQ(a, "C:\\FAX\\");
    UL_addslash(a);
    EXPECT_STREQ(a, "C:\\FAX\\");
    char b[TEXTSIZE] = " C:\\FAX ";
    UL_addslash(b);
    EXPECT_STREQ(b, "C:\\FAX\\");
    char c[TEXTSIZE] = "";
    UL_addslash(c);
    EXPECT_STREQ(c, "\\");
}

TEST(Paths, AddSlashOnAFullBufferStaysWithinIt)
{
    char text[TEXTSIZE];
    std::memset(text, 'x', TEXTSIZE - 1);
    text[TEXTSIZE - 1] = '\0';
    UL_addslash(text);
    EXPECT_EQ(std::strlen(text), size_t(TEXTSIZE - 1));
    EXPECT_EQ(text[TEXTSIZE - 2], '\\');
}

TEST(Paths, StripSlashRemovesEveryTrailingBlankAndBackslash)
{
    char a[TEXTSIZE] = "C:\\FAX\\ \\";
    UL_stripslash(a);
    EXPECT_STREQ(a, "C:\\FAX");
    char b[TEXTSIZE] = "\\\\";
    UL_stripslash(b);
    EXPECT_STREQ(b, "");
}

TEST(Paths, MakePathJoinsAndCutsAt79)
{
    char out[TEXTSIZE];
    UL_makepath(out, "C:\\FAX\\", "FAX.LST");
    EXPECT_STREQ(out, "C:\\FAX\\FAX.LST");
    UL_makepath(out, std::string(70, 'd').c_str(), "0123456789AB");
    EXPECT_EQ(std::strlen(out), 79u);
}

TEST(PlainName, OnlyANameInsideTheDirectoryPasses)
{
    for (const char* ok : {"A.TXT", "LONGNAME.SCR", "con1", "COM0", "COM10", "LPT", "CONFIG.SYS", "AUXI.TXT",
                           "NULL", "ZeltaVoice Pro", "&Open", ".X", "X."})
        EXPECT_TRUE(UL_isplainname(ok)) << ok;
    for (const char* bad : {"", ".", "..", "...", " . ", "..\\X.TXT", "A\\B", "A/B", "C:X", "C:", "X..TXT", "A*",
                            "A?B", "\"Q\"", "A<B", "A>B", "A|B", "TAB\tX", "\x01"})
        EXPECT_FALSE(UL_isplainname(bad)) << bad;
}

TEST(PlainName, DeviceNamesAreRefusedInAnyCaseWithOrWithoutExtension)
{
    for (const char* device : {"CON", "con", "AUX.TXT", "Prn.x", "NUL", "nul.", "NUL .TXT", "COM1", "com9.dat",
                               "LPT1", "lpt9", "CONIN$", "conout$.x", "CLOCK$"})
        EXPECT_FALSE(UL_isplainname(device)) << device;
}

TEST(CommandLine, TheProgramIsQuotedAndTheArgumentsFollowAfterOneBlank)
{
    char line[64];
    EXPECT_TRUE(UL_commandline(line, sizeof line, "C:\\My Fax\\PROGRAM\\VEQADDPR.EXE", "/p2"));
    EXPECT_STREQ(line, "\"C:\\My Fax\\PROGRAM\\VEQADDPR.EXE\" /p2");
    EXPECT_TRUE(UL_commandline(line, sizeof line, "C:\\My Fax\\X.EXE", nullptr));
    EXPECT_STREQ(line, "\"C:\\My Fax\\X.EXE\"");
    EXPECT_TRUE(UL_commandline(line, sizeof line, "C:\\X.EXE", ""));
    EXPECT_STREQ(line, "\"C:\\X.EXE\"");
}

TEST(CommandLine, ALineThatDoesNotFitIsEmptyNeverCut)
{
    char line[16];
    EXPECT_TRUE(UL_commandline(line, sizeof line, "C:\\MY.EXE", "/ab"));  // 15 characters
    EXPECT_STREQ(line, "\"C:\\MY.EXE\" /ab");
    EXPECT_FALSE(UL_commandline(line, sizeof line, "C:\\MY.EXE", "/abc"));
    EXPECT_STREQ(line, "");
    EXPECT_FALSE(UL_commandline(line, sizeof line, "C:\\My Fax\\PROGRAM", nullptr));
    EXPECT_STREQ(line, "");

    char document[12] = "x ";
    EXPECT_FALSE(UL_appendquoted(document, sizeof document, "C:\\A B.TXT"));
    EXPECT_STREQ(document, "x ") << "unchanged when the quoted path does not fit";
    EXPECT_TRUE(UL_appendquoted(document, sizeof document, "C:\\A B"));
    EXPECT_STREQ(document, "x \"C:\\A B\"");
}

}  // namespace
