// The installation record lies where every user may write, and the
// uninstaller deletes what it names: only paths that stay below the
// installation directory may pass.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "files/recordpath.h"

namespace {

TEST(RecordPath, PathsTheInstallationWritesPass)
{
    for (const char* ok : {"PROGRAM", "MBOX000\\DSEND", "PROGRAM\\ZELTA.EXE", "DATA\\FAX.INI", "Fax (new)\\A,B.TXT",
                           "SCRIPT1\\x.y.z", "DATA\\\xe4nderung.txt"})
        EXPECT_TRUE(UL_isrecordpath(ok)) << ok;
    std::string longest(UL_RECORDPATH_MAX, 'A');
    for (std::size_t i = 100; i < longest.size(); i += 100) longest[i] = '\\';
    EXPECT_TRUE(UL_isrecordpath(longest.c_str()));
}

TEST(RecordPath, PathsThatLeaveTheInstallationOrNameADeviceFail)
{
    for (const char* bad : {"", "\\", "\\WINDOWS", "/etc", "C:\\WINDOWS", "C:", "DATA\\..\\..\\WINDOWS", "..", ".",
                            "DATA\\.", "DATA\\..", ".\\DATA", "DATA/FAX.INI", "DATA\\\\FAX.INI", "DATA\\", "\\\\server\\x",
                            "PROGRAM\\NUL", "CON", "DATA\\AUX.TXT", "DATA\\COM1", "DATA\\a*b", "DATA\\a?", "DATA\\\"x\"",
                            "DATA\\a|b", "DATA\\a<b", "DATA\\x\ty", "DATA\\...", "DATA\\ "})
        EXPECT_FALSE(UL_isrecordpath(bad)) << bad;
    EXPECT_FALSE(UL_isrecordpath(nullptr));
    std::string toolong(UL_RECORDPATH_MAX + 1, 'A');
    for (std::size_t i = 100; i < toolong.size(); i += 100) toolong[i] = '\\';
    EXPECT_FALSE(UL_isrecordpath(toolong.c_str()));
}

TEST(RecordPath, LinesGiveTheirKindAndPathOrNothing)
{
    char kind = '?';
    char rel[300];
    ASSERT_TRUE(UL_parserecordline("D,MBOX000\\DSEND", &kind, rel, sizeof rel));
    EXPECT_EQ(kind, 'D');
    EXPECT_STREQ(rel, "MBOX000\\DSEND");
    ASSERT_TRUE(UL_parserecordline("F,PROGRAM\\ZELTA.EXE\r\n", &kind, rel, sizeof rel));
    EXPECT_EQ(kind, 'F');
    EXPECT_STREQ(rel, "PROGRAM\\ZELTA.EXE") << "the line ending is not part of the path";

    for (const char* bad : {"", "D", "D,", "F,", "X,PROGRAM", "d,PROGRAM", "f,DATA\\FAX.INI", "D PROGRAM", "DF,PROGRAM",
                            " D,PROGRAM", "F,C:\\WINDOWS\\WIN.INI", "D,..\\..", "F,DATA\\a\rb", "D,\\", "exe,open"}) {
        kind = '?';
        std::strcpy(rel, "old");
        EXPECT_FALSE(UL_parserecordline(bad, &kind, rel, sizeof rel)) << bad;
        EXPECT_EQ(kind, '?') << bad;
        EXPECT_STREQ(rel, "") << "nothing of a refused line is left for use: " << bad;
    }
    EXPECT_FALSE(UL_parserecordline(nullptr, &kind, rel, sizeof rel));

    // A path that does not fit is refused, never cut into another name.
    char small[8];
    EXPECT_FALSE(UL_parserecordline("F,PROGRAM\\ZELTA.EXE", &kind, small, sizeof small));
    EXPECT_TRUE(UL_parserecordline("F,DATA\\AB", &kind, small, sizeof small));
    EXPECT_STREQ(small, "DATA\\AB");
    EXPECT_FALSE(UL_parserecordline("F,DATA\\ABC", &kind, small, sizeof small));
    EXPECT_FALSE(UL_parserecordline("F,A", &kind, small, 0));
}

}  // namespace
