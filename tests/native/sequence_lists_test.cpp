#include <gtest/gtest.h>

#include "install/dialogs.h"
#include "tests/native/sequence_fixture.h"

class ModemList : public SequenceTest {
protected:
    char texts[MODEMLIST_MAX][TEXTSIZE];
    std::int16_t numbers[MODEMLIST_MAX] = {};
    std::int16_t count = -1;

    status_t read(const std::string& content, std::int16_t maximum = MODEMLIST_MAX)
    {
        write("/src/FAX.LST", content);
        return INS_getselection(ctx, maximum, dir("/src/FAX.LST").c_str(), texts, numbers, &count);
    }
};

TEST_F(ModemList, EntriesInFileOrderWithTextFromColumnSeven)
{
    ASSERT_EQ(read("    1 Standard modem\r\n\r\n   12 No modem detection\r\n  300 Other\r\n"), ST_OK);
    ASSERT_EQ(count, 3) << "the empty line is skipped";
    EXPECT_STREQ(texts[0], "Standard modem");
    EXPECT_STREQ(texts[1], "No modem detection");
    EXPECT_EQ(numbers[1], 12);
    EXPECT_EQ(numbers[2], 300);
}

TEST_F(ModemList, LastLineWithoutNewlineCounts)
{
    ASSERT_EQ(read("    1 First\n    2 Last"), ST_OK);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(texts[1], "Last");
}

TEST_F(ModemList, BadNumberColumnMakesTheWholeListUnusable)
{
    EXPECT_EQ(read("    1 Good\n    2 Good too\n   x3 Bad\n    4 After\n"), ST_GENERAL);
    EXPECT_EQ(count, 0) << "no entries, not even the good ones before";
    EXPECT_STREQ(texts[0], "");
}

TEST_F(ModemList, ReadingStopsAtTheMaximumCount)
{
    std::string content;
    for (int i = 0; i < 120; ++i) content += "   10 Modem\n";
    ASSERT_EQ(read(content), ST_OK);
    EXPECT_EQ(count, 100);
    ASSERT_EQ(read("    1 A\n    2 B\n    3 C\n", 2), ST_OK);
    EXPECT_EQ(count, 2);
}

TEST_F(ModemList, ShortAndLongLinesAreCutNotOverrun)
{
    std::string longtext(200, 'M');
    ASSERT_EQ(read("   7\n    8 " + longtext + "\n"), ST_OK);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(texts[0], "") << "a line without text gives an empty entry";
    EXPECT_EQ(std::string(texts[1]).size(), 73u) << "lines are read to 79 characters, text from column 7";
}

TEST_F(ModemList, MissingFileIsAFailureWithAnEmptyList)
{
    EXPECT_NE(INS_getselection(ctx, MODEMLIST_MAX, dir("/src/NONE.LST").c_str(), texts, numbers, &count), ST_OK);
    EXPECT_EQ(count, 0);
}

class CountryList : public SequenceTest {
protected:
    char extensions[COUNTRY_MAX][COUNTRYEXT_SIZE];
    char names[COUNTRY_MAX][TEXTSIZE];
    std::int16_t count = -1;

    status_t read(const std::string& content)
    {
        write("/src/COUNTRY.LST", content);
        return INS_readcountrylist(ctx, dir("/src/COUNTRY.LST").c_str(), extensions, names, &count);
    }
};

TEST_F(CountryList, ExtensionBeforeTheFirstCommaNameAfterIt)
{
    ASSERT_EQ(read("GER,Germany\nUK,United Kingdom, Great Britain\n"), ST_OK);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(extensions[0], "GER");
    EXPECT_STREQ(names[0], "Germany");
    EXPECT_STREQ(names[1], "United Kingdom, Great Britain");
}

TEST_F(CountryList, LongExtensionKeepsItsFirstNineCharacters)
{
    ASSERT_EQ(read("ABCDEFGHIJKL,Twelve\n"), ST_OK);
    EXPECT_STREQ(extensions[0], "ABCDEFGHI");
}

TEST_F(CountryList, LinesWithoutCommaAndEmptyLinesAreSkipped)
{
    ASSERT_EQ(read("header line\n\nFRA,France\n"), ST_OK);
    ASSERT_EQ(count, 1);
    EXPECT_STREQ(extensions[0], "FRA");
}

TEST_F(CountryList, TwentyFiveLinesOfferTheFirstTwenty)
{
    std::string content;
    for (int i = 0; i < 25; ++i) content += "C" + std::to_string(i) + ",Country " + std::to_string(i) + "\n";
    ASSERT_EQ(read(content), ST_OK);
    EXPECT_EQ(count, 20);
    EXPECT_STREQ(extensions[19], "C19");
}

TEST_F(CountryList, PageBreakEndsTheListAfterItsLine)
{
    ASSERT_EQ(read("A,One\nB,Two\fC,Three\n"), ST_OK);
    EXPECT_EQ(count, 2);
}

class UserDetails : public SequenceTest {};

TEST_F(UserDetails, EarlierEntriesAreOfferedAndAbsentKeysEmptyTheirFields)
{
    mkdir(dir("/data").c_str(), 0755);
    UL_copytext(ctx->datadir, dir("/data/").c_str());
    UL_copytext(ctx->productname, "ZELTA");
    UL_copytext(ctx->phonenumber, "stale");
    write("/data/ZELTA.ini", "[GENERAL]\nUSERNAME=Ann Smith\nFAXNUMBER=+44 1\nCOMPANYNAME=Acme\n");
    ASSERT_EQ(INS_readuserini(ctx), ST_OK);
    EXPECT_STREQ(ctx->username, "Ann Smith");
    EXPECT_STREQ(ctx->terminalid, "+44 1") << "FAXNUMBER fills the fax number field";
    EXPECT_STREQ(ctx->companyname, "Acme");
    EXPECT_STREQ(ctx->phonenumber, "") << "an absent key empties its field";
}

TEST_F(UserDetails, MissingFileEmptiesAllSeven)
{
    UL_copytext(ctx->datadir, dir("/nodata/").c_str());
    UL_copytext(ctx->username, "old");
    UL_copytext(ctx->address2, "old");
    ASSERT_EQ(INS_readuserini(ctx), ST_OK);
    EXPECT_STREQ(ctx->username, "");
    EXPECT_STREQ(ctx->address2, "");
}

class DiskPrompt : public SequenceTest {};

TEST_F(DiskPrompt, PromptNamesTheDiskAndTheDrive)
{
    doubles::strings[481] = "Please insert disk ";
    doubles::strings[482] = " into drive ";
    UL_copytext(ctx->sourcedir, "A:\\");
    char prompt[160];
    ASSERT_TRUE(INS_diskprompt(ctx, 3, prompt, sizeof prompt));
    EXPECT_STREQ(prompt, "Please insert disk 3 into drive A");
    char check[TEXTSIZE];
    INS_diskcheckfile(ctx, 3, check);
    EXPECT_STREQ(check, "A:\\3.txt");
}

TEST_F(DiskPrompt, MissingMessageLeavesThePromptUnset)
{
    doubles::strings[481] = "Please insert disk ";
    char prompt[160];
    EXPECT_FALSE(INS_diskprompt(ctx, 2, prompt, sizeof prompt));
}
