#include <gtest/gtest.h>

#include <string>

#include "shell/cmdline.h"

namespace {

struct parsed {
    setup_context ctx{};
    std::int16_t level = 0;
};

parsed parse(const std::string& line)
{
    parsed p;
    INS_parsecommandline(&p.ctx, line.c_str(), &p.level);
    return p;
}

TEST(CommandLine, DebugOptionOfOneOrTwoCharactersSetsTheLevel)
{
    EXPECT_EQ(parse("D").level, 1);
    EXPECT_EQ(parse("d").level, 1);
    EXPECT_EQ(parse("D0").level, 1) << "a zero level still means level 1";
    EXPECT_EQ(parse("D2").level, 2);
    EXPECT_EQ(parse("d3").level, 3);
    EXPECT_EQ(parse("D-").level, 1);
}

TEST(CommandLine, LongerTokensAreNotDebugOptions)
{
    EXPECT_EQ(parse("D12").level, 0);
    EXPECT_EQ(parse("DEBUG").level, 0);
    EXPECT_EQ(parse("XD").level, 0);
}

TEST(CommandLine, SourceOptionAnywhereInATokenSetsSourceAndTempCopy)
{
    parsed p = parse("-SA:\\DISK1");
    EXPECT_STREQ(p.ctx.sourcedir, "A:\\DISK1\\");
    EXPECT_EQ(p.ctx.tempcopy, 1u);

    EXPECT_STREQ(parse("/x-SC:\\TEMP\\").ctx.sourcedir, "C:\\TEMP\\") << "only /ANSWERS= and /RECORD= are our own";
    EXPECT_STREQ(parse("abc-SC:\\TEMP\\").ctx.sourcedir, "C:\\TEMP\\");
    EXPECT_STREQ(parse("-sD:\\SET").ctx.sourcedir, "D:\\SET\\");
}

TEST(CommandLine, UpperCaseSourceOptionIsSearchedFirst)
{
    EXPECT_STREQ(parse("-sX-SY:\\B").ctx.sourcedir, "Y:\\B\\");
}

TEST(CommandLine, ShortSourceTokenIsIgnored)
{
    parsed p = parse("-S");
    EXPECT_STREQ(p.ctx.sourcedir, "");
    EXPECT_EQ(p.ctx.tempcopy, 0u);
}

TEST(CommandLine, TokensAreSplitAtBlanksAndCommas)
{
    parsed p = parse("D2,-SA:\\DISK1  ignored,more");
    EXPECT_EQ(p.level, 2);
    EXPECT_STREQ(p.ctx.sourcedir, "A:\\DISK1\\");
}

TEST(CommandLine, AnswerAndRecordFilesAreTakenFromSlashOptions)
{
    parsed p = parse("/ANSWERS=C:\\A.INI /record=C:\\R.INI D");
    EXPECT_STREQ(p.ctx.answerfile, "C:\\A.INI");
    EXPECT_STREQ(p.ctx.recordfile, "C:\\R.INI");
    EXPECT_EQ(p.level, 1);
    EXPECT_STREQ(parse("/ANSWERS=C:\\X-SY\\A.INI").ctx.sourcedir, "") << "an answer file name is no source option";
}

TEST(CommandLine, OverlongLineAndOverlongSourceAreCutNotOverrun)
{
    std::string line = "-SC:\\" + std::string(400, 'X');
    parsed p = parse(line);
    EXPECT_EQ(std::string(p.ctx.sourcedir).size(), 79u);
    EXPECT_EQ(p.ctx.sourcedir[78], '\\');
}

}  // namespace
