#include <gtest/gtest.h>

#include <cstring>
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

TEST(CommandLine, OverlongLineAndOverlongSourceAreRefusedNotCut)
{
    std::string line = "-SC:\\" + std::string(200, 'X');
    parsed p;
    EXPECT_EQ(INS_parsecommandline(&p.ctx, line.c_str(), &p.level), ST_BAD_REQUEST);
    EXPECT_STREQ(p.ctx.sourcedir, "") << "a cut source names another directory";
    EXPECT_EQ(p.ctx.lasterror, ST_BAD_REQUEST);
    EXPECT_STREQ(p.ctx.lasterrortext, "-S is longer than 78 characters");

    // The longest that fits: 78 characters and the backslash added, or 79 ending in one.
    std::string dir78 = "C:\\" + std::string(75, 'A');
    EXPECT_EQ(parse("-S" + dir78).ctx.sourcedir, dir78 + "\\");
    EXPECT_EQ(parse("-S" + dir78 + "\\").ctx.sourcedir, dir78 + "\\");
    EXPECT_EQ(parse("-S" + dir78 + "B").ctx.lasterror, ST_BAD_REQUEST);

    std::string whole(CMDLINE_MAX, 'x');
    EXPECT_EQ(parse(whole).ctx.lasterror, 0) << "a line of 259 characters is taken";
    parsed q;
    EXPECT_EQ(INS_parsecommandline(&q.ctx, ("/ANSWERS=C:\\A.INI " + whole).c_str(), &q.level), ST_BAD_REQUEST);
    EXPECT_STREQ(q.ctx.lasterrortext, "The command line is longer than 259 characters");
    EXPECT_STREQ(q.ctx.answerfile, "") << "nothing of a refused line is used";
}

// Each path option, plain and quoted with blanks and commas, and the longest value it takes.
struct path_case {
    const char* option;
    char (setup_context::*field)[TEXTSIZE];
    bool directory;
};

const path_case PATH_CASES[] = {
    {"/ANSWERS=", &setup_context::answerfile, false},
    {"/RECORD=", &setup_context::recordfile, false},
    {"/LOG=", &setup_context::logname, false},
    {"/RESULT=", &setup_context::resultfile, false},
    {"/DIR=", &setup_context::destinationarg, true},
};

TEST(CommandLine, PathOptionsTakePlainAndQuotedValues)
{
    for (const path_case& c : PATH_CASES) {
        SCOPED_TRACE(c.option);
        std::string slash = c.directory ? "\\" : "";
        parsed plain = parse(std::string("D ") + c.option + "C:\\DEPLOY\\Z.INI D2");
        EXPECT_EQ(plain.ctx.*c.field, "C:\\DEPLOY\\Z.INI" + slash);
        EXPECT_EQ(plain.level, 2);

        parsed quoted = parse(std::string(c.option) + "\"C:\\Deploy Files\\a,b.ini\",D3");
        EXPECT_EQ(quoted.ctx.*c.field, "C:\\Deploy Files\\a,b.ini" + slash) << "the quotes hold blanks and commas";
        EXPECT_EQ(quoted.level, 3) << "the comma after the closing quote still separates";

        parsed whole = parse(std::string("\"") + c.option + "C:\\Deploy Files\\z.ini\"");
        EXPECT_EQ(whole.ctx.*c.field, "C:\\Deploy Files\\z.ini" + slash) << "a token quoted as a whole";

        EXPECT_EQ(parse(std::string(c.option) + "\"  C:\\X  \"").ctx.*c.field, "C:\\X" + slash)
            << "blanks inside the quotes around the path are trimmed";
        EXPECT_EQ(parse(std::string(c.option) + "C:\\A-SB:\\").ctx.sourcedir, std::string())
            << "a value is no source option";

        std::size_t longest = c.directory ? 78 : 79;
        std::string fits = "C:\\" + std::string(longest - 3, 'F');
        EXPECT_EQ(parse(c.option + fits).ctx.*c.field, fits + slash);
        parsed cut;
        std::string toolong = std::string(c.option) + "\"C:\\" + std::string(longest - 3, ' ') + "X\"";
        EXPECT_EQ(INS_parsecommandline(&cut.ctx, toolong.c_str(), &cut.level), ST_BAD_REQUEST);
        EXPECT_EQ(cut.ctx.*c.field, std::string()) << "refused, never cut";
        std::string name(c.option, std::strlen(c.option));
        EXPECT_EQ(std::string(cut.ctx.lasterrortext), name + " is longer than " + std::to_string(longest) + " characters");
    }
}

TEST(CommandLine, OptionsCombineInAnyOrderAndLaterWins)
{
    parsed p = parse("/RESULT=C:\\R.INI,/DIR=\"C:\\Fax (new)\" -SD:\\SET /VERYSILENT /LOG=C:\\A.DEB "
                     "/answers=C:\\Z.INI d2 /LOG=\"C:\\My Logs\\S.DEB\"");
    EXPECT_EQ(p.ctx.silent, SILENT_NOTHING);
    EXPECT_STREQ(p.ctx.answerfile, "C:\\Z.INI");
    EXPECT_STREQ(p.ctx.resultfile, "C:\\R.INI");
    EXPECT_STREQ(p.ctx.destinationarg, "C:\\Fax (new)\\");
    EXPECT_STREQ(p.ctx.logname, "C:\\My Logs\\S.DEB");
    EXPECT_STREQ(p.ctx.sourcedir, "D:\\SET\\");
    EXPECT_EQ(p.level, 2);
    EXPECT_EQ(p.ctx.lasterror, 0);
    EXPECT_EQ(parse("/ANSWERS=C:\\Z.INI /silent").ctx.silent, SILENT_PROGRESS);
    EXPECT_EQ(parse("/SILENT /ANSWERS=C:\\Z.INI /VERYSILENT").ctx.silent, SILENT_NOTHING);
}

TEST(CommandLine, SilentRunsWithoutAnswersAreRefused)
{
    for (const char* line : {"/SILENT", "/VERYSILENT /LOG=C:\\S.DEB", "/SILENT /ANSWERS=", "/ANSWERS=\"\" /SILENT"}) {
        SCOPED_TRACE(line);
        parsed p;
        EXPECT_EQ(INS_parsecommandline(&p.ctx, line, &p.level), ST_BAD_REQUEST);
        EXPECT_EQ(p.ctx.lasterror, ST_BAD_REQUEST);
    }
    EXPECT_STREQ(parse("/SILENT").ctx.lasterrortext, "/SILENT needs /ANSWERS=");
    EXPECT_STREQ(parse("/VERYSILENT").ctx.lasterrortext, "/VERYSILENT needs /ANSWERS=");
    parsed plain;
    EXPECT_EQ(INS_parsecommandline(&plain.ctx, "/LOG=C:\\S.DEB /RESULT=C:\\R.INI /DIR=C:\\Z", &plain.level), ST_OK)
        << "the other options need no answers";
}

TEST(CommandLine, UnknownSlashOptionsAndStrayQuotesKeepTheClassicRules)
{
    EXPECT_STREQ(parse("/SILENTLY-SA:\\").ctx.sourcedir, "A:\\") << "an unknown / option keeps the -S rule";
    EXPECT_EQ(parse("/SILENTLY").ctx.silent, SILENT_NONE);
    EXPECT_STREQ(parse("/X=\"a b\"-SC:\\T").ctx.sourcedir, "C:\\T\\") << "quoted, it is still one token";
    EXPECT_STREQ(parse("-S\"A:\\X").ctx.sourcedir, "\"A:\\X\\") << "a quote outside a / option is a character";
    parsed open;
    EXPECT_EQ(INS_parsecommandline(&open.ctx, "/ANSWERS=\"C:\\A B\\Z.INI D2", &open.level), ST_BAD_REQUEST);
    EXPECT_STREQ(open.ctx.answerfile, "");
    EXPECT_STREQ(open.ctx.lasterrortext, "a quote is not closed: /ANSWERS=C:\\A B\\Z.INI D2");
}

}  // namespace
