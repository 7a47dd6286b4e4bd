// The uninstaller fills its texts from a library on the user's disk: whatever
// that text holds, the result is bounded and no "%" but "%s" and "%%" acts.
#include <gtest/gtest.h>

#include <string>

// The uninstaller is a Windows program; its text filling is plain C++.
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

}  // namespace
