#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "files/fileutil.h"

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

}  // namespace
