#include <gtest/gtest.h>

#include <fstream>

#include "install/unattended.h"
#include "shell/messages.h"
#include "tests/native/sequence_fixture.h"

class Unattended : public SequenceTest {
protected:
    void answers(const std::string& content)
    {
        write("/answers.ini", content);
        UL_copytext(ctx->answerfile, dir("/answers.ini").c_str());
    }
};

TEST_F(Unattended, AnswersAreReadPerTemplateSectionAndEmptyCountsAsGiven)
{
    answers("[992]\n102=C:\\ZELTA\nButton=111\n[997]\n127=\n");
    char out[TEXTSIZE];
    ASSERT_TRUE(INS_answertext(ctx, 992, "102", out, sizeof out));
    EXPECT_STREQ(out, "C:\\ZELTA");
    ASSERT_TRUE(INS_answertext(ctx, 997, "127", out, sizeof out));
    EXPECT_STREQ(out, "") << "an empty value is an answer";
    EXPECT_FALSE(INS_answertext(ctx, 997, "102", out, sizeof out));
    EXPECT_FALSE(INS_answertext(ctx, 988, "Button", out, sizeof out));
}

TEST_F(Unattended, WithoutAnswerFileNothingIsAnswered)
{
    char out[TEXTSIZE];
    EXPECT_FALSE(INS_isunattended(ctx));
    EXPECT_FALSE(INS_answertext(ctx, 992, "Button", out, sizeof out));
    std::uint16_t yes = 7;
    EXPECT_FALSE(INS_answerquestion(ctx, 494, &yes));
}

TEST_F(Unattended, ErrorBoxIsNotShownAndEndsTheRunWithItsStatus)
{
    answers("[992]\nButton=111\n");
    INS_errorbox(ctx, 2315);
    EXPECT_TRUE(doubles::boxes.empty()) << "an unattended run never waits on a box";
    EXPECT_EQ(ctx->unattendedstatus, 2315);
    INS_errorbox(ctx, 2254);
    EXPECT_EQ(ctx->unattendedstatus, 2315) << "the first reason is kept";
    EXPECT_EQ(INS_unattendedoutcome(ctx, ST_CANCELLED), 2315) << "the cancel it caused becomes the reason";
    EXPECT_EQ(INS_unattendedoutcome(ctx, ST_OK), 2315);
    EXPECT_EQ(INS_unattendedoutcome(ctx, 2231), 2231) << "a later real failure keeps its own status";
}

TEST_F(Unattended, InteractiveErrorBoxIsShown)
{
    INS_errorbox(ctx, 2315);
    EXPECT_EQ(doubles::boxes.size(), 1u);
    EXPECT_EQ(ctx->unattendedstatus, 0);
    EXPECT_EQ(INS_unattendedoutcome(ctx, ST_CANCELLED), ST_CANCELLED);
}

TEST_F(Unattended, QuestionAnsweredYesNoOrMissing)
{
    answers("[494]\nAnswer=yes\n");
    std::uint16_t yes = 0;
    ASSERT_TRUE(INS_answerquestion(ctx, 494, &yes));
    EXPECT_EQ(yes, 1);
    answers("[494]\nAnswer=No\n");
    ASSERT_TRUE(INS_answerquestion(ctx, 494, &yes));
    EXPECT_EQ(yes, 0);
    EXPECT_EQ(ctx->unattendedstatus, 0);
    answers("[992]\nButton=111\n");
    ASSERT_TRUE(INS_answerquestion(ctx, 494, &yes));
    EXPECT_EQ(yes, 0) << "a missing answer is No";
    EXPECT_EQ(ctx->unattendedstatus, ST_NO_ANSWER) << "and ends the run";
}

TEST_F(Unattended, DialogsNeedingADecisionHaveNoDefaultButton)
{
    EXPECT_EQ(INS_defaultbutton(992), 0);
    EXPECT_EQ(INS_defaultbutton(997), 0);
    EXPECT_EQ(INS_defaultbutton(988), 0);
    EXPECT_EQ(INS_defaultbutton(900), 102) << "the diskette dialog presses OK";
    EXPECT_EQ(INS_cancelresult(997), 1);
    EXPECT_EQ(INS_cancelresult(991), 0);
    EXPECT_EQ(INS_cancelresult(123), -1);
}

TEST_F(Unattended, RecordingWritesOneSectionPerTemplate)
{
    UL_copytext(ctx->recordfile, dir("/rec.ini").c_str());
    EXPECT_TRUE(INS_isrecording(ctx));
    INS_recordtext(ctx, 992, "102", "C:\\ZELTA");
    INS_recordtext(ctx, 992, "Button", "111");
    INS_recordtext(ctx, 494, "Answer", "Yes");
    UL_copytext(ctx->answerfile, dir("/answers.ini").c_str());
    // Read back through the answer path: the recording is a valid answer file.
    UL_copytext(ctx->answerfile, dir("/rec.ini").c_str());
    char out[TEXTSIZE];
    ASSERT_TRUE(INS_answertext(ctx, 992, "102", out, sizeof out));
    EXPECT_STREQ(out, "C:\\ZELTA");
    ASSERT_TRUE(INS_answertext(ctx, 494, "Answer", out, sizeof out));
    EXPECT_STREQ(out, "Yes");
}

TEST_F(Unattended, UnattendedRunDoesNotRecord)
{
    answers("[992]\nButton=111\n");
    UL_copytext(ctx->recordfile, dir("/rec.ini").c_str());
    EXPECT_FALSE(INS_isrecording(ctx));
    INS_recordtext(ctx, 992, "Button", "111");
    EXPECT_FALSE(exists("/rec.ini"));
}

TEST_F(Unattended, NumberedSectionAnswersALaterShowingOfTheSameDialog)
{
    answers("[997]\nButton=301\n[992.2]\nButton=112\n[992]\n102=C:\\A\nButton=111\n");
    char section[16];
    INS_answersection(ctx, 992, 1, section);
    EXPECT_STREQ(section, "992");
    INS_answersection(ctx, 992, 2, section);
    EXPECT_STREQ(section, "992.2") << "the second showing, after Back, has its own answers";
    INS_answersection(ctx, 997, 2, section);
    EXPECT_STREQ(section, "997") << "without a numbered section the plain one answers again";
    char out[TEXTSIZE];
    ASSERT_TRUE(INS_answertextin(ctx, "992.2", "Button", out, sizeof out));
    EXPECT_STREQ(out, "112");
}
