// What the destination and user dialogs decide, apart from their windows.
#include <gtest/gtest.h>

#include <unistd.h>

#include "install/dialogs.h"
#include "modem/vendors.h"
#include "tests/native/doubles/files_doubles.h"
#include "tests/native/doubles/sequence_doubles.h"
#include "tests/native/sequence_fixture.h"

namespace {

namespace d = sequencedoubles;

// Destinations are drive-style texts ("X:\...") that the host reads as
// directories below a scratch working directory.
class Destination : public SequenceTest {
protected:
    void SetUp() override
    {
        SequenceTest::SetUp();
        d::reset();
        doubles::diskfree_ok = true;
        doubles::diskfree = {64, 512, 2000, 65000};
        mkdir((root + "/cwd").c_str(), 0755);
        ASSERT_EQ(chdir((root + "/cwd").c_str()), 0);
        mkdir("X:", 0755);
    }
    void TearDown() override
    {
        ASSERT_EQ(chdir("/"), 0);
        SequenceTest::TearDown();
    }
    status_t check(const char* path, bool* accepted)
    {
        UL_copytext(ctx->pathname, path);
        return INS_checkdestination(ctx, nullptr, accepted);
    }
};

TEST_F(Destination, NewDirectoryIsMadeAndAnExistingOneOnlyWhenTheUserSaysYes)
{
    bool accepted = false;
    ASSERT_EQ(check("X:\\ZELTA", &accepted), ST_OK);
    EXPECT_TRUE(accepted);
    EXPECT_STREQ(ctx->pathname, "X:\\ZELTA\\");
    EXPECT_TRUE(isdir("/cwd/X:/ZELTA"));
    EXPECT_TRUE(d::calls.empty()) << "nothing asked for a new directory";

    ASSERT_EQ(check("X:\\ZELTA", &accepted), ST_OK);
    EXPECT_FALSE(accepted) << "No keeps the dialog open";
    EXPECT_EQ(d::calls, (std::vector<std::string>{"question 494"}));
    d::question_yes = true;
    ASSERT_EQ(check("X:\\ZELTA", &accepted), ST_OK);
    EXPECT_TRUE(accepted);
}

TEST_F(Destination, RefusedDestinationsAreRecordedAndNothingIsMade)
{
    const std::string toolong = "X:\\" + std::string(60, 'L');
    for (const std::string& path : {toolong, std::string("X:\\A]B"), std::string("X:\\A\"B")}) {
        bool accepted = true;
        EXPECT_EQ(check(path.c_str(), &accepted), ST_DEST_NOT_CREATED) << path;
        EXPECT_FALSE(accepted);
        EXPECT_EQ(ctx->lasterror, ST_DEST_NOT_CREATED);
        EXPECT_EQ(std::string(ctx->lasterrortext), path);
    }
    EXPECT_FALSE(isdir("/cwd/X:/A]B"));
    bool accepted = true;
    EXPECT_EQ(check("ZELTA", &accepted), ST_DEST_NO_DRIVE) << "the room is checked before anything is made";
    EXPECT_FALSE(isdir("/cwd/ZELTA"));
    doubles::diskfree = {7, 512, 10, 9999};
    EXPECT_EQ(check("X:\\SMALL", &accepted), ST_DEST_NO_ROOM);
    EXPECT_FALSE(isdir("/cwd/X:/SMALL"));
}

TEST_F(Destination, UserDialogEndsDecideBetweenBackCancelAndTheIdentification)
{
    EXPECT_EQ(INS_checkmodemchoice(ctx, -1), ST_NO_MODEM_CHOSEN);
    // The second entry: no port is probed, and the fallback vendor is taken.
    ctx->detectmodem = 1;
    EXPECT_EQ(INS_checkmodemchoice(ctx, 1), ST_OK);
    EXPECT_EQ(ctx->detectmodem, 0);
    ASSERT_EQ(INS_userdialogdone(ctx, USER_DIALOG_OK), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_MODEMBLASTER);
    EXPECT_TRUE(d::calls.empty()) << "no identification window";

    ctx->INS_back = BACK_NONE;
    EXPECT_EQ(INS_userdialogdone(ctx, USER_DIALOG_BACK), ST_OK);
    EXPECT_EQ(ctx->INS_back, BACK_TO_DESTINATION);
    EXPECT_EQ(INS_userdialogdone(ctx, USER_DIALOG_CANCELLED), ST_CANCELLED);
    EXPECT_EQ(INS_userdialogdone(ctx, USER_DIALOG_NOT_SHOWN), ST_GENERAL);
}

}  // namespace
