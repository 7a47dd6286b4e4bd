// The answer file's stop button at a chosen stage: [994] StopAfter= and Count=.
#include <gtest/gtest.h>

#include "files/log.h"
#include "install/unattended.h"
#include "tests/native/sequence_fixture.h"

class StopStage : public SequenceTest {
protected:
    void answers(const std::string& content)
    {
        write("/answers.ini", content);
        UL_copytext(ctx->answerfile, dir("/answers.ini").c_str());
    }
};

TEST_F(StopStage, PressIsDueOnceAfterTheCountthMatchingLineAndOnlyWithTheWindowOpen)
{
    answers("[994]\nStopAfter=expanding:- \nCount=2\n");
    UL_logline(ctx, "expanding:- D:\\PROGRAM\\A.TX_");
    UL_logline(ctx, "  to:- C:\\VOICE\\PROGRAM\\A.TXT");
    EXPECT_FALSE(INS_unattendedstopdue(ctx, true)) << "one of two lines seen";
    UL_logline(ctx, "INS_expandfile from=x");
    UL_logline(ctx, "expanding:- D:\\PROGRAM\\B.TX_");
    EXPECT_FALSE(INS_unattendedstopdue(ctx, false)) << "no window to press it in: it waits";
    EXPECT_TRUE(INS_unattendedstopdue(ctx, true));
    EXPECT_FALSE(INS_unattendedstopdue(ctx, true)) << "the button is pressed once";
    UL_logline(ctx, "expanding:- D:\\PROGRAM\\C.TX_");
    EXPECT_FALSE(INS_unattendedstopdue(ctx, true)) << "later matches press nothing more";
}

TEST_F(StopStage, LineMatchesByItsBeginningOnly)
{
    answers("[994]\nStopAfter=Before INS_addfaxini\n");
    UL_logline(ctx, "x Before INS_addfaxini");
    UL_logline(ctx, "Before INS_addfax");
    EXPECT_FALSE(INS_unattendedstopdue(ctx, true));
    UL_logline(ctx, "Before INS_addfaxini");
    EXPECT_TRUE(INS_unattendedstopdue(ctx, true)) << "Count defaults to 1";
}

TEST_F(StopStage, NothingIsPressedWithoutTheKeyOrOutsideAnUnattendedRun)
{
    UL_logline(ctx, "Enter install");
    EXPECT_FALSE(INS_unattendedstopdue(ctx, true)) << "interactive run";
    answers("[994]\nStopAfter=\n[992]\nButton=111\n");
    UL_logline(ctx, "Enter install");
    UL_logline(ctx, "");
    EXPECT_FALSE(INS_unattendedstopdue(ctx, true)) << "an empty text matches no line";
}

TEST_F(StopStage, CountBelowOneOrAboveRangeStaysUsable)
{
    answers("[994]\nStopAfter=tmpfile=\nCount=-5\n");
    UL_logline(ctx, "tmpfile=A");
    EXPECT_TRUE(INS_unattendedstopdue(ctx, true)) << "a count below 1 counts as 1";

    INS_destroycontext(ctx);
    ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
    INS_attachdriver(ctx);
    answers("[994]\nStopAfter=tmpfile=\nCount=99999999999\n");
    for (int i = 0; i < 100; ++i) UL_logline(ctx, "tmpfile=A");
    EXPECT_FALSE(INS_unattendedstopdue(ctx, true)) << "a huge count is capped, not wrapped to a small one";
}
