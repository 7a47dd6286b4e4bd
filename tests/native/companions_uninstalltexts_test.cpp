// The uninstaller fills its texts from a library on the user's disk: whatever
// that text holds, the result is bounded and no "%" but "%s" and "%%" acts.
#include <gtest/gtest.h>

#include <string>

// The uninstaller is a Windows program; its text filling and its reading of
// command lines are plain C++.
#include "companions/uninstall/command.cpp"
#include "companions/uninstall/textformat.cpp"

namespace {

std::string fill(const char* format, const char* first = "", const char* second = "", std::size_t size = 512)
{
    std::string out(size + 8, '#');
    UT_format(&out[0], size, format, first, second);
    EXPECT_EQ(out.substr(size), "########") << "written past the buffer";
    return out.c_str();
}

TEST(UninstallTexts, ArgumentsGoInOrderWhereverTheTranslationPutsThem)
{
    EXPECT_EQ(fill("Remove %s from %s and all of its components?", "ZeltaVoice", "C:\\ZELTA\\"),
              "Remove ZeltaVoice from C:\\ZELTA\\ and all of its components?");
    EXPECT_EQ(fill("%s und alle zugeh\xf6rigen Komponenten aus %s entfernen?", "ZeltaVoice", "C:\\ZELTA\\"),
              "ZeltaVoice und alle zugeh\xf6rigen Komponenten aus C:\\ZELTA\\ entfernen?");
    EXPECT_EQ(fill("%s wurde entfernt.", "ZeltaVoice"), "ZeltaVoice wurde entfernt.");
}

TEST(UninstallTexts, StraySequencesOfADamagedLibraryDoNothing)
{
    EXPECT_EQ(fill("%s %s %s %s", "a", "b"), "a b  ") << "only two arguments exist";
    EXPECT_EQ(fill("%d%n%x 100%% %", "a"), "%d%n%x 100% %");
    EXPECT_EQ(fill("no arguments", nullptr, nullptr), "no arguments");
    EXPECT_EQ(fill("%s", "a%sb"), "a%sb") << "an argument is not a format";
}

TEST(UninstallTexts, LongTitlesAndDirectoriesAreCutToTheBuffer)
{
    std::string dir(600, 'D');
    EXPECT_EQ(fill("in %s.", dir.c_str(), "", 20), "in " + std::string(16, 'D'));
    EXPECT_EQ(fill("%s", "abc", "", 1), "");
    EXPECT_EQ(fill("100%%", "", "", 4), "100");
}

// The uninstall entry's command names the installation; the entry must reach
// it whatever the directory's name, and never a shortened one.
TEST(UninstallCommand, ThePathIsReadWholeWithItsBlanksAndTheOptionsInAnyOrder)
{
    uninstall_command c;
    ASSERT_TRUE(UC_parsecommand("\"C:\\WINDOWS\\ZVUNINST.EXE\" /PATH=\"C:\\Fax (new)\" /N", &c));
    EXPECT_STREQ(c.program, "C:\\WINDOWS\\ZVUNINST.EXE");
    EXPECT_STREQ(c.path, "C:\\Fax (new)");
    EXPECT_TRUE(c.haspath);
    EXPECT_EQ(c.userdata, 0);
    ASSERT_TRUE(UC_parsecommand("\"C:\\WINDOWS\\ZVUNINST.EXE\" /N /PATH=\"C:\\Fax (new)\\\"", &c));
    EXPECT_STREQ(c.path, "C:\\Fax (new)\\") << "the trailing backslash does not swallow the quote";
    EXPECT_EQ(c.userdata, 0);
    ASSERT_TRUE(UC_parsecommand("C:\\WINDOWS\\ZVUNINST.EXE -y -path=C:\\ZELTAPRO\\", &c));
    EXPECT_STREQ(c.program, "C:\\WINDOWS\\ZVUNINST.EXE");
    EXPECT_STREQ(c.path, "C:\\ZELTAPRO\\");
    EXPECT_EQ(c.userdata, 1);
    // An installation into a drive's root is written "C:" and means the root.
    ASSERT_TRUE(UC_parsecommand("\"C:\\WINDOWS\\ZVUNINST.EXE\" /PATH=\"C:\"", &c));
    EXPECT_STREQ(c.path, "C:\\");
    EXPECT_TRUE(UC_isabsolute(c.path));
    ASSERT_TRUE(UC_parsecommand("\"C:\\WINDOWS\\ZVUNINST.EXE\"", &c)) << "the entry of an older installation";
    EXPECT_FALSE(c.haspath);
    EXPECT_EQ(c.userdata, -1);
    ASSERT_TRUE(UC_parsecommand("\"C:\\WINDOWS\\ZVUNINST.EXE\" /PATH=", &c));
    EXPECT_FALSE(c.haspath) << "an empty path names no installation";
    ASSERT_TRUE(UC_parsecommand("\"C:\\My Windows\\ZVUNINST.EXE\"/Y", &c));
    EXPECT_STREQ(c.program, "C:\\My Windows\\ZVUNINST.EXE");
    EXPECT_EQ(c.userdata, 1);

    std::string longpath = "\"C:\\WINDOWS\\ZVUNINST.EXE\" /PATH=\"C:\\" + std::string(UC_PATHSIZE, 'A') + "\"";
    EXPECT_FALSE(UC_parsecommand(longpath.c_str(), &c)) << "refused, never cut";
    EXPECT_STREQ(c.path, "");
    std::string longprogram = std::string(UC_PATHSIZE, 'P') + " /N";
    EXPECT_FALSE(UC_parsecommand(longprogram.c_str(), &c));
}

TEST(UninstallCommand, AVerbCommandGivesTheProgramItStarts)
{
    char program[UC_PATHSIZE];
    const char* dir = "C:\\Fax (new)\\";
    ASSERT_TRUE(UC_commandprogram("\"C:\\Fax (new)\\PROGRAM\\ZELTA.EXE\" \"%1\"", dir, program, sizeof program));
    EXPECT_STREQ(program, "C:\\Fax (new)\\PROGRAM\\ZELTA.EXE");
    ASSERT_TRUE(UC_commandprogram("c:\\fax (new)\\PROGRAM\\ZELTA.EXE /p %1", dir, program, sizeof program));
    EXPECT_STREQ(program, "c:\\fax (new)\\PROGRAM\\ZELTA.EXE") << "unquoted, in the installation's own folder";
    ASSERT_TRUE(UC_commandprogram("C:\\Fax.exe (new)\\x %1", "C:\\ZELTAPRO\\", program, sizeof program));
    EXPECT_STREQ(program, "C:\\Fax.exe") << "elsewhere, the first blank ends it";
    ASSERT_TRUE(UC_commandprogram("  notepad.exe %1", dir, program, sizeof program));
    EXPECT_STREQ(program, "notepad.exe");
    for (const char* none : {"", "   ", "\"\" %1", "\"C:\\Fax (new)\\PROGRAM\\ZELTA.EXE %1"})
        EXPECT_FALSE(UC_commandprogram(none, dir, program, sizeof program)) << none;
    EXPECT_FALSE(UC_commandprogram("\"C:\\A\\B.EXE\"", dir, program, 8)) << "does not fit";
}

TEST(UninstallCommand, DriveRootsAbsolutePathsAndTheUsersData)
{
    for (const char* root : {"C:\\", "C:", "c:\\\\", "\\", "\\\\server\\share\\", "\\\\server\\share", "\\\\server"})
        EXPECT_TRUE(UC_isdriveroot(root)) << root;
    for (const char* dir : {"C:\\ZELTAPRO\\", "C:\\ZELTAPRO", "\\\\server\\share\\ZELTA", "C:\\A\\B"})
        EXPECT_FALSE(UC_isdriveroot(dir)) << dir;

    for (const char* path : {"C:\\ZELTAPRO", "z:\\", "\\\\server\\share\\x"}) EXPECT_TRUE(UC_isabsolute(path)) << path;
    for (const char* path : {"", "ZELTAPRO", "C:ZELTAPRO", "\\ZELTAPRO", "\\\\", "\\\\\\x", "..\\x"})
        EXPECT_FALSE(UC_isabsolute(path)) << path;

    for (const char* rel : {"RECEIVE", "receive\\2023\\fax.001", "SEND", "MBOX000\\DSEND", "Mbox000"})
        EXPECT_TRUE(UC_isuserdata(rel)) << rel;
    for (const char* rel : {"RECEIVER", "SENDER\\x", "MBOX0001", "DATA\\RECEIVE", "PROGRAM"})
        EXPECT_FALSE(UC_isuserdata(rel)) << rel;
}

}  // namespace
