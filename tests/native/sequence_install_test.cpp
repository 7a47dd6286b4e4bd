// The installation sequence's dialog loop and failure path, with the dialogs
// and the progress window scripted.
#include <gtest/gtest.h>

#include <algorithm>

#include "install/install.h"
#include "tests/native/doubles/sequence_doubles.h"
#include "tests/native/sequence_fixture.h"

namespace sd = sequencedoubles;

class Install : public SequenceTest {
protected:
    void SetUp() override
    {
        SequenceTest::SetUp();
        sd::reset();
        doubles::strings[430] = "Installation";
        mkdir(dir("/dest").c_str(), 0755);
        sd::destination = dir("/dest/");
    }
    bool called(const std::string& what) const
    {
        return std::find(sd::calls.begin(), sd::calls.end(), what) != sd::calls.end();
    }
};

TEST_F(Install, CancelAtTheDestinationEndsSilently)
{
    sd::proceed_cancels = {true};
    EXPECT_EQ(INS_install(ctx), ST_CANCELLED);
    EXPECT_EQ(sd::calls, std::vector<std::string>({"country", "proceed", "close"}));
    EXPECT_EQ(ctx->helpcontext, 106);
    EXPECT_EQ(ctx->INS_back, 0);
}

TEST_F(Install, CancelledCountryStopsBeforeTheDestination)
{
    sd::country_status = ST_CANCELLED;
    EXPECT_EQ(INS_install(ctx), ST_CANCELLED);
    EXPECT_FALSE(called("proceed"));
    EXPECT_FALSE(called("fail 13000")) << "a cancel is never shown";
}

TEST_F(Install, BackRepeatsTheDestinationThenTheUserDetails)
{
    sd::askpath_back = {1, 0};
    sd::proceed_cancels = {false, false};
    // FILESIZE.txt missing: the sequence stops right after the dialogs with 900.
    EXPECT_EQ(INS_install(ctx), ST_NOT_AVAILABLE);
    std::vector<std::string> expected = {"country", "proceed", "open Installation", "askpath",
                                         "proceed", "open Installation", "askpath", "close", "fail 900"};
    EXPECT_EQ(sd::calls, expected);
    EXPECT_EQ(ctx->modemsearch, 0);
    EXPECT_EQ(ctx->INS_modem, 1) << "set for the pass, the identification was skipped";
}

TEST_F(Install, FailureOfTheUserDetailsIsShownWithItsStatus)
{
    sd::askpath_status = 2313;
    EXPECT_EQ(INS_install(ctx), 2313);
    EXPECT_TRUE(called("fail 2313"));
    EXPECT_EQ(sd::calls.back(), "fail 2313");
}

TEST_F(Install, HelpFileIsTheProgramPathWithHlp)
{
    doubles::modulepath = "C:\\SETUP.DIR\\SETUP.EXE";
    sd::proceed_cancels = {true};
    INS_install(ctx);
    EXPECT_STREQ(ctx->helpfile, "C:\\SETUP.DIR\\SETUP.HLP");
    doubles::modulepath = "C:\\SETUP\\SETUP.EXE";
}

TEST_F(Install, UnattendedRunEndsWithTheReasonInsteadOfTheCancelItCaused)
{
    write("/answers.ini", "[992]\nButton=111\n");
    UL_copytext(ctx->answerfile, dir("/answers.ini").c_str());
    ctx->install->unattendedstatus = 2254;  // an error box in the destination dialog
    sd::proceed_cancels = {true};
    EXPECT_EQ(INS_install(ctx), 2254);
    EXPECT_TRUE(called("fail 2254")) << "the failure notice names the real reason";
}

TEST_F(Install, TreeFailureAfterTheDialogsIsShownAndTheProgressWindowClosed)
{
    // A file where the destination tree must go: 2231 after the copy window opened.
    write("/src/FILESIZE.txt", "1000\r\n");
    write("/dest/TEMP", "in the way");
    UL_copytext(ctx->producttitle, "ZeltaFax");
    EXPECT_EQ(INS_install(ctx), 2231);
    EXPECT_TRUE(called("open ZeltaFax Installation")) << "the copying form, titled with the product";
    auto fail = std::find(sd::calls.begin(), sd::calls.end(), "fail 2231");
    ASSERT_NE(fail, sd::calls.end());
    EXPECT_EQ(*(fail - 1), "close") << "the progress window closes before the notice";
    EXPECT_EQ(ctx->totalfilesize, 1000);
}
