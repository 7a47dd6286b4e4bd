#include <gtest/gtest.h>

#include <fcntl.h>

#include <string>
#include <vector>

#include "files/fileutil.h"
#include "files/log.h"
#include "tests/native/doubles/shell_doubles.h"
#include "tests/native/support/testfiles.h"

namespace {

class Log : public ::testing::Test {
protected:
    void SetUp() override
    {
        doubles::painted.clear();
        name = dir.file("SETUP.deb");
        ASSERT_EQ(UL_createfile(&ctx, name.c_str(), UL_SHARED, &ctx.logfile), ST_OK);
        ctx.logtofile = 1;
    }
    void TearDown() override { UL_closefile(&ctx, ctx.logfile); }
    std::string written() const { return testfiles::read(name); }

    testfiles::tempdir dir;
    std::string name;
    setup_context ctx{};
};

TEST_F(Log, ErrorLineShowsTheStatusUnsigned)
{
    UL_logerror(&ctx, "UL_createfile", 13103);
    UL_logerror(&ctx, "X", 65535);
    EXPECT_EQ(written(), "Error in UL_createfile = 13103\r\nError in X = 65535\r\n");
}

TEST_F(Log, StringLabelIsCutAt20AndTheStringAt59)
{
    UL_logstring(&ctx, "INS_unpackfile infile= ", "C:\\A\\txt.pck");
    UL_logstring(&ctx, "tmpfile=", std::string(70, 's').c_str());
    EXPECT_EQ(written(), "INS_unpackfile infilC:\\A\\txt.pck\r\ntmpfile=" + std::string(59, 's') + "\r\n");
}

TEST_F(Log, ShortNumbersInDecimalAndSignExtendedHex)
{
    UL_logshort(&ctx, "v=", std::int16_t(0xFFFF));
    UL_logshorthex(&ctx, "h=", std::int16_t(0xFFFF));
    UL_logshorthex(&ctx, "h=", 0x7FFF);
    UL_logshorthex(&ctx, "h=", std::int16_t(0x8000));
    UL_logshort(&ctx, "min=", -32768);
    EXPECT_EQ(written(), "v=-1\r\nh=ffffffff\r\nh=7fff\r\nh=ffff8000\r\nmin=-32768\r\n");
}

TEST_F(Log, LongNumbersSignedAndUnsignedHex)
{
    UL_loglong(&ctx, "l=", -1);
    UL_loglonghex(&ctx, "x=", 0xFFFFFFFFu);
    UL_loglonghex(&ctx, "x=", 0);
    UL_loglong(&ctx, "min=", INT32_MIN);
    EXPECT_EQ(written(), "l=-1\r\nx=ffffffff\r\nx=0\r\nmin=-2147483648\r\n");
}

TEST_F(Log, LabelsOfTheNumberBuildersAreCutAt60)
{
    UL_loglong(&ctx, std::string(70, 'L').c_str(), 7);
    UL_logerror(&ctx, std::string(70, 'N').c_str(), 1);
    EXPECT_EQ(written(), std::string(60, 'L') + "7\r\nError in " + std::string(60, 'N') + " = 1\r\n");
}

TEST_F(Log, LongLineGoesWholeToTheFileAndCutToTheWindow)
{
    ctx.debuglevel = 1;
    ctx.logwindow = &ctx;
    std::string text(120, 'w');
    EXPECT_EQ(UL_logline(&ctx, text.c_str()), ST_OK);
    EXPECT_EQ(written(), text + "\r\n");
    ASSERT_EQ(doubles::painted.size(), 1u);
    EXPECT_EQ(doubles::painted[0].text, std::string(79, 'w'));
}

TEST_F(Log, NothingIsPaintedAtLevelZeroOrWithoutAWindow)
{
    ctx.logwindow = &ctx;
    UL_logline(&ctx, "a");
    ctx.debuglevel = 2;
    ctx.logwindow = nullptr;
    UL_logline(&ctx, "b");
    EXPECT_TRUE(doubles::painted.empty());
    EXPECT_EQ(written(), "a\r\nb\r\n");
}

TEST_F(Log, NoFileWhileLoggingToFileIsOff)
{
    ctx.logtofile = 0;
    UL_logline(&ctx, "a");
    EXPECT_EQ(written(), "");
}

TEST_F(Log, ListenerIsShownEveryWholeLineAlsoWhenNothingIsWritten)
{
    static std::vector<std::string> heard;
    heard.clear();
    ctx.loglistener = [](setup_context*, const char* line) { heard.push_back(line); };
    std::string text(120, 'w');
    UL_logline(&ctx, text.c_str());
    UL_loglong(&ctx, "filesize=", 42);
    ctx.logtofile = 0;
    UL_logline(&ctx, "unwritten");
    EXPECT_EQ(heard, (std::vector<std::string>{text, "filesize=42", "unwritten"}))
        << "got " << heard.size() << " lines";
    EXPECT_EQ(written(), text + "\r\nfilesize=42\r\n");
}

TEST(LogWithoutContext, WriterRefusesAndBuildersStillSucceed)
{
    EXPECT_EQ(UL_logline(nullptr, "x"), ST_GENERAL);
    EXPECT_EQ(UL_loglong(nullptr, "x", 1), ST_OK);
}

TEST(LogWindow, LinesStandTwentyApartThenScrollAboveTheBottomMargin)
{
    doubles::painted.clear();
    doubles::clientheight = 480;
    setup_context ctx{};
    ctx.debuglevel = 1;
    ctx.logwindow = &ctx;
    for (int i = 0; i < 25; ++i) UL_logline(&ctx, "line");
    ASSERT_EQ(doubles::painted.size(), 25u);
    for (int i = 0; i < 22; ++i) {
        EXPECT_EQ(doubles::painted[i].y, 20 * (i + 1)) << "line " << i + 1;
        EXPECT_FALSE(doubles::painted[i].scrolled);
    }
    for (int i = 22; i < 25; ++i) {
        EXPECT_EQ(doubles::painted[i].y, 440) << "line " << i + 1;
        EXPECT_TRUE(doubles::painted[i].scrolled);
    }
}

TEST(LogWindow, PositionBeyondTheBottomRestartsAtTheTop)
{
    log_paint_step step = UL_nextlogline(900, 0, 480);
    EXPECT_EQ(step.y, 20);
    EXPECT_FALSE(step.scroll);
    step = UL_nextlogline(-5, 10, 480);
    EXPECT_EQ(step.y, 30);
}

TEST(LogFailure, AFailingLogWriteIsReportedOnceAndNotWrittenAgain)
{
    doubles::painted.clear();
    setup_context ctx{};
    int fd = open("/dev/full", O_WRONLY);
    ASSERT_GE(fd, 0);
    ctx.logfile = fd + 1;  // the double's handles are descriptors + 1
    ctx.logtofile = 1;
    ctx.debuglevel = 1;
    ctx.logwindow = &ctx;
    EXPECT_EQ(UL_logline(&ctx, "x"), ST_WRITE_SHORT);
    ASSERT_EQ(doubles::painted.size(), 2u) << "the report reaches the window only, the line itself not at all";
    EXPECT_EQ(doubles::painted[0].text, "len=1");
    EXPECT_EQ(doubles::painted[1].text.rfind("write fail rc=", 0), 0u);
    EXPECT_EQ(UL_logline(&ctx, "y"), ST_WRITE_SHORT) << "logging stays on for later lines";
    UL_closefile(&ctx, ctx.logfile);
}

}  // namespace
