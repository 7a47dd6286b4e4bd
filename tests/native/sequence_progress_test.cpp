#include <gtest/gtest.h>

#include "install/progress.h"
#include "tests/native/sequence_fixture.h"

TEST(Percentage, CountsInWholeKilobytes)
{
    EXPECT_EQ(INS_percentage(0, 6341000), 0);
    EXPECT_EQ(INS_percentage(3170500, 6341000), 49) << "3170 of 6341 kB";
    EXPECT_EQ(INS_percentage(999, 2000), 0) << "less than a kilobyte done counts nothing";
}

TEST(Percentage, TotalBelowOneKilobyteKeepsTheBarAtZero)
{
    EXPECT_EQ(INS_percentage(500, 999), 0);
    EXPECT_EQ(INS_percentage(5000000, 0), 0);
}

TEST(Percentage, MoreThanAnnouncedStaysAtHundred)
{
    EXPECT_EQ(INS_percentage(9000000, 6341000), 100);
    EXPECT_EQ(INS_percentage(2147483647, 1000), 100) << "no overflow near the 32-bit limit";
}

TEST(FormatNumber, OnlyTheFirstDecimalConversionIsFilled)
{
    char out[TEXTSIZE];
    INS_formatnumber(out, "Checking port COM%d", 3);
    EXPECT_STREQ(out, "Checking port COM3");
    INS_formatnumber(out, "%s port %d %d", 7);
    EXPECT_STREQ(out, "%s port 7 %d") << "other conversions stay literal text";
    INS_formatnumber(out, "no number", 7);
    EXPECT_STREQ(out, "no number");
}

class ProgressRefresh : public SequenceTest {
protected:
    progress_state state{};
    bool erase = false;
};

TEST_F(ProgressRefresh, PercentageNoteUsesSuffixMessageAndErasesOnlyOnce)
{
    doubles::strings[433] = " pct";
    ctx->progressnote = 0;
    ctx->INS_currentfilesize = 0;
    ctx->totalfilesize = 10000;
    EXPECT_EQ(INS_progressrefresh(ctx, &state, &erase), unsigned(PROGRESS_REFRESHBAR));
    EXPECT_STREQ(state.percenttext, "0 pct");
    EXPECT_TRUE(erase) << "first 0 % erases the window";
    EXPECT_EQ(INS_progressrefresh(ctx, &state, &erase), unsigned(PROGRESS_REFRESHBAR));
    EXPECT_FALSE(erase) << "never again in the run";
    ctx->INS_currentfilesize = 5000;
    INS_progressrefresh(ctx, &state, &erase);
    EXPECT_EQ(state.percent, 50);
    EXPECT_STREQ(state.percenttext, "50 pct");
}

TEST_F(ProgressRefresh, MissingSuffixMessageFallsBackToBlankPercent)
{
    ctx->progressnote = 0;
    ctx->INS_currentfilesize = 2000;
    ctx->totalfilesize = 4000;
    INS_progressrefresh(ctx, &state, &erase);
    EXPECT_STREQ(state.percenttext, "50 %");
}

TEST_F(ProgressRefresh, PortNotesGoToTheirOwnLines)
{
    doubles::strings[464] = "Checking port COM%d";
    ctx->progressnote = 13;
    EXPECT_EQ(INS_progressrefresh(ctx, &state, &erase), unsigned(PROGRESS_REFRESHALL));
    EXPECT_STREQ(state.notes[2], "Checking port COM3");
    ctx->progressnote = 18;
    INS_progressrefresh(ctx, &state, &erase);
    EXPECT_STREQ(state.notes[7], "Checking port COM8");
    EXPECT_STREQ(state.notes[0], "") << "other lines untouched";
}

TEST_F(ProgressRefresh, PortNoteFallsBackToMessage457WithTheDigit)
{
    doubles::strings[457] = "Checking port COM0";
    ctx->progressnote = 15;
    INS_progressrefresh(ctx, &state, &erase);
    EXPECT_STREQ(state.notes[4], "Checking port COM5");
}

TEST_F(ProgressRefresh, IdentificationNoteIsMessage461OnTheFirstLine)
{
    doubles::strings[461] = "Identifying the modem...";
    ctx->progressnote = 8;
    EXPECT_EQ(INS_progressrefresh(ctx, &state, &erase), unsigned(PROGRESS_REFRESHNOTES));
    EXPECT_STREQ(state.notes[0], "Identifying the modem...");
}

TEST_F(ProgressRefresh, OtherNoteSelectorsPostNothing)
{
    ctx->progressnote = 9;
    EXPECT_EQ(INS_progressrefresh(ctx, &state, &erase), 0u);
    ctx->progressnote = 19;
    EXPECT_EQ(INS_progressrefresh(ctx, &state, &erase), 0u);
}

TEST_F(ProgressRefresh, TitleJoinsProductAndWordWithOneBlank)
{
    char out[TEXTSIZE];
    UL_copytext(ctx->producttitle, "ZeltaFax");
    INS_jointitle(ctx, "Installation", out);
    EXPECT_STREQ(out, "ZeltaFax Installation");
    INS_jointitle(ctx, " Installation", out);
    EXPECT_STREQ(out, "ZeltaFax Installation");
}
