#include <gtest/gtest.h>

#include <fstream>

#include "install/unattended.h"
#include "modem/vendors.h"
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
    EXPECT_EQ(ctx->install->unattendedstatus, 2315);
    INS_errorbox(ctx, 2254);
    EXPECT_EQ(ctx->install->unattendedstatus, 2315) << "the first reason is kept";
    EXPECT_EQ(INS_unattendedoutcome(ctx, ST_CANCELLED), 2315) << "the cancel it caused becomes the reason";
    EXPECT_EQ(INS_unattendedoutcome(ctx, ST_OK), 2315);
    EXPECT_EQ(INS_unattendedoutcome(ctx, 2231), 2231) << "a later real failure keeps its own status";
}

TEST_F(Unattended, InteractiveErrorBoxIsShown)
{
    INS_errorbox(ctx, 2315);
    EXPECT_EQ(doubles::boxes.size(), 1u);
    EXPECT_EQ(ctx->install->unattendedstatus, 0);
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
    EXPECT_EQ(ctx->install->unattendedstatus, 0);
    answers("[992]\nButton=111\n");
    ASSERT_TRUE(INS_answerquestion(ctx, 494, &yes));
    EXPECT_EQ(yes, 0) << "a missing answer is No";
    EXPECT_EQ(ctx->install->unattendedstatus, ST_BAD_REQUEST) << "and ends the run";
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

TEST_F(Unattended, DestinationOptionAnswersTheDestinationInEveryShowing)
{
    answers("[992]\n102=C:\\FROMFILE\nButton=111\n[992.2]\n102=C:\\SECOND\nButton=111\n[997]\n102=Ann\n");
    UL_copytext(ctx->destinationarg, "C:\\Fax Files\\");
    char out[TEXTSIZE];
    ASSERT_TRUE(INS_answertextin(ctx, "992", "102", out, sizeof out));
    EXPECT_STREQ(out, "C:\\Fax Files\\") << "/DIR= takes the place of the file's destination";
    ASSERT_TRUE(INS_answertextin(ctx, "992.2", "102", out, sizeof out));
    EXPECT_STREQ(out, "C:\\Fax Files\\") << "and of a later showing's";
    ASSERT_TRUE(INS_answertextin(ctx, "992", "Button", out, sizeof out));
    EXPECT_STREQ(out, "111") << "the button still comes from the file";
    ASSERT_TRUE(INS_answertext(ctx, 997, "102", out, sizeof out));
    EXPECT_STREQ(out, "Ann") << "the same control number of another dialog is not the destination";
    ctx->destinationarg[0] = '\0';
    ASSERT_TRUE(INS_answertextin(ctx, "992", "102", out, sizeof out));
    EXPECT_STREQ(out, "C:\\FROMFILE");
}

TEST_F(Unattended, SilentOnlyWithAnswers)
{
    ctx->silent = SILENT_NOTHING;
    EXPECT_EQ(INS_silentmode(ctx), unsigned(SILENT_NONE)) << "an interactive run is never silent";
    answers("[992]\nButton=111\n");
    EXPECT_EQ(INS_silentmode(ctx), unsigned(SILENT_NOTHING));
    ctx->silent = SILENT_PROGRESS;
    EXPECT_EQ(INS_silentmode(ctx), unsigned(SILENT_PROGRESS));
}

class ResultFile : public Unattended {
protected:
    std::string read_result()
    {
        std::ifstream in(dir("/result.ini"));
        std::string all, line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            all += line + "\n";
        }
        return all;
    }
    void SetUp() override
    {
        Unattended::SetUp();
        UL_copytext(ctx->resultfile, dir("/result.ini").c_str());
        UL_copytext(ctx->producttitle, "ZeltaVoice");
        UL_copytext(ctx->pathname, "C:\\Fax Files\\");
        UL_copytext(ctx->logname, "C:\\Logs\\S.DEB");
        ctx->INS_vendor = VENDOR_MODEMBLASTER;
        ctx->comport = 2;
    }
};

TEST_F(ResultFile, SuccessCarriesTheClosingTextAndTheRunsFacts)
{
    write("/result.ini", "[Earlier]\nStatus=2111\n");
    INS_noteresult(ctx, ST_OK, "The installation is complete.");
    INS_writeresult(ctx, ST_OK);
    EXPECT_EQ(read_result(), "[Result]\nStatus=0\nText=The installation is complete.\nProduct=ZeltaVoice\n"
                             "Destination=C:\\Fax Files\\\nVendor=8\nPort=COM2\nLog=\n")
        << "one section, whatever the file held before; no log made, so it is nowhere";
}

TEST_F(ResultFile, FailureCarriesTheNoticeTextOrElseTheStatusText)
{
    doubles::strings[905] = "A file to be installed is missing from the installation disk:";
    doubles::strings[13000] = "The installation was cancelled.";
    // The notice cuts its line at 78 characters; the result keeps the whole file name.
    std::string name = "D:\\SETUP\\COUNTRY\\" + std::string(40, 'N') + ".GER";
    INS_recorderror(ctx, 905, name.c_str());
    char full[256];
    INS_resultstatustext(ctx, 905, full, sizeof full);
    INS_noteresult(ctx, 905, full);
    INS_recorderror(ctx, 2231, "a later detail");
    INS_writeresult(ctx, 905);
    EXPECT_NE(read_result().find("Status=905\nText=A file to be installed is missing from the installation disk: " +
                                 name + "\n"),
              std::string::npos)
        << read_result();

    // A cancel shows no notice: the text is the status's own, not the last one noted.
    INS_writeresult(ctx, ST_CANCELLED);
    EXPECT_NE(read_result().find("Status=13000\nText=The installation was cancelled.\n"), std::string::npos)
        << read_result();
}

TEST_F(ResultFile, NothingWithoutTheOption)
{
    ctx->resultfile[0] = '\0';
    INS_writeresult(ctx, ST_OK);
    EXPECT_FALSE(exists("/result.ini"));
}
