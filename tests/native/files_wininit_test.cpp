// The Windows 95 family's list of files to delete at the next start: each
// file a "NUL=" line of [Rename], whatever the file held before, and nothing
// a path can smuggle in as a line of its own.
#include <gtest/gtest.h>

#include <string>

#include "files/wininit.h"
#include "tests/native/doubles/files_doubles.h"
#include "tests/native/files_testkit.h"

namespace {

std::string add(const std::string& before, const char* file, std::size_t size = 4096, bool* ok = nullptr)
{
    std::string out(size + 8, '#');
    bool done = UL_wininitdelete(before.data(), before.size(), file, &out[0], size);
    if (ok) *ok = done;
    EXPECT_EQ(out.substr(size), "########") << "written past the buffer";
    return done ? std::string(out.c_str()) : "<refused:" + std::string(out.c_str()) + ">";
}

TEST(Wininit, EachFileIsANulLineOfRenameWhateverTheFileHeld)
{
    EXPECT_EQ(add("", "C:\\WINDOWS\\ZVUNINST.EXE"), "[Rename]\r\nNUL=C:\\WINDOWS\\ZVUNINST.EXE\r\n");
    EXPECT_EQ(add("[Rename]\r\nNUL=C:\\A.TMP\r\n\r\n[Other]\r\nX=1\r\n", "C:\\B.TMP"),
              "[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n\r\n[Other]\r\nX=1\r\n")
        << "a second NUL= line, not NUL1= (which would move the file), after the lines there before";
    EXPECT_EQ(add("[Rename]\r\nNUL=C:\\A.TMP", "C:\\B.TMP"), "[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n");
    EXPECT_EQ(add("[other]\r\nX=1", "C:\\B.TMP"), "[other]\r\nX=1\r\n[Rename]\r\nNUL=C:\\B.TMP\r\n")
        << "a last line without its line end";
    EXPECT_EQ(add("  [rename] \n", "C:\\B.TMP"), "  [rename] \nNUL=C:\\B.TMP\r\n") << "any case, blanks around";
    EXPECT_EQ(add("[RENAME]", "C:\\B.TMP"), "[RENAME]\r\nNUL=C:\\B.TMP\r\n");
    EXPECT_EQ(add("[Rename]\r\nnul=c:\\b.tmp\r\n", "C:\\B.TMP"), "[Rename]\r\nnul=c:\\b.tmp\r\n")
        << "a file already listed is not listed twice";
    EXPECT_EQ(add("[Rename]\r\n[X]\r\nNUL=C:\\B.TMP\r\n", "C:\\B.TMP"),
              "[Rename]\r\nNUL=C:\\B.TMP\r\n[X]\r\nNUL=C:\\B.TMP\r\n")
        << "the same line in another section does not count";
}

TEST(Wininit, APathThatWouldMakeLinesOrATextThatDoesNotFitIsRefused)
{
    bool ok = true;
    EXPECT_EQ(add("", "C:\\A.TMP\r\nC:\\WINDOWS\\WIN.INI=C:\\EVIL.INI", 4096, &ok), "<refused:>");
    EXPECT_FALSE(ok);
    EXPECT_EQ(add("", "C:\\A.TMP\nX"), "<refused:>");
    EXPECT_EQ(add("", ""), "<refused:>");
    EXPECT_EQ(add(std::string("[Rename]\r\n\0NUL=C:\\X\r\n", 20), "C:\\A.TMP"), "<refused:>")
        << "a NUL inside would end the text early";
    std::string exact = "[Rename]\r\nNUL=C:\\A.TMP\r\n";
    EXPECT_EQ(add("", "C:\\A.TMP", exact.size() + 1), exact) << "just fits";
    EXPECT_EQ(add("", "C:\\A.TMP", exact.size()), "<refused:>") << "one short: refused, never cut";
}

// WININIT.INI holds the pending renames of every program: the new text goes
// into WININIT.NEW, the old file aside, the new one into place; whatever step
// fails, the old text stays and nothing else is left behind.
TEST(Wininit, ARewriteThatFailsAnywhereKeepsTheOldFile)
{
    kit::scratch s;
    const std::string ini = s / "WININIT.INI", fresh = s / "WININIT.NEW", aside = s / "WININIT.OLD";
    const std::string before = "[Rename]\r\nNUL=C:\\OTHER.TMP\r\nC:\\NEW.DLL=C:\\NEW.TMP\r\n";
    char listed[260];
    struct step {
        const char* what;
        long write_budget;
        std::string in_use;
    };
    const step failing[] = {
        {"a write that stops half way", 10, ""},
        {"the old file that cannot be moved aside", -1, ini},
        {"the new file that cannot be moved into place", -1, fresh},
    };
    for (bool nt : {false, true}) {
        for (const step& f : failing) {
            kit::write_text(ini, before);
            doubles::replace_in_one_step = nt;
            doubles::write_budget = f.write_budget;
            doubles::file_in_use = f.in_use;
            EXPECT_FALSE(UL_wininitschedule(ini.c_str(), "C:\\A.TMP", listed, sizeof listed)) << f.what;
            doubles::reset_filesystem();
            EXPECT_EQ(testfiles::read(ini), before) << f.what << (nt ? " (NT)" : "");
            if (f.in_use != fresh) {
                EXPECT_FALSE(kit::exists(fresh)) << f.what;
            }
            EXPECT_FALSE(kit::exists(aside)) << f.what;
        }
    }
    ::unlink(fresh.c_str());
    EXPECT_TRUE(UL_wininitschedule(ini.c_str(), "C:\\A.TMP", listed, sizeof listed));
    EXPECT_STREQ(listed, "C:\\A.TMP") << "no short name on the host: the name as given";
    EXPECT_EQ(testfiles::read(ini), before + "NUL=C:\\A.TMP\r\n");
    EXPECT_FALSE(kit::exists(fresh));
    EXPECT_FALSE(kit::exists(aside));
    s.mkdir("WININIT.INI.D");
    EXPECT_FALSE(UL_wininitschedule((s / "WININIT.INI.D").c_str(), "C:\\A.TMP", listed, sizeof listed))
        << "a directory under the name";
}

}  // namespace
