#include <gtest/gtest.h>

#include "shell/mainscreen.h"

namespace {

std::int32_t total(const std::vector<gradient_band>& bands)
{
    std::int32_t sum = 0;
    for (const auto& b : bands) sum += b.height;
    return sum;
}

TEST(Gradient, At480RowsEveryBandIsTwoRowsAndTheBottomIsReachedAtIntensity16)
{
    auto bands = INS_gradientbands(480);
    ASSERT_EQ(bands.size(), 240u);
    for (const auto& b : bands) EXPECT_EQ(b.height, 2);
    EXPECT_EQ(bands.front().blue, 255);
    EXPECT_EQ(bands.back().blue, 16);
    EXPECT_EQ(total(bands), 480);
}

TEST(Gradient, At600RowsBandsAlternateBetweenTwoAndThreeRows)
{
    auto bands = INS_gradientbands(600);
    EXPECT_EQ(bands[0].height, 2);
    EXPECT_EQ(bands[1].height, 3);
    EXPECT_EQ(bands[2].height, 2);
    EXPECT_EQ(bands[3].height, 3);
    EXPECT_GE(total(bands), 600);
}

TEST(Gradient, At768And1024RowsThereAre256EqualBandsEndingBlack)
{
    for (int h : {768, 1024}) {
        auto bands = INS_gradientbands(h);
        ASSERT_EQ(bands.size(), 256u) << h;
        EXPECT_EQ(bands[0].height, h / 256);
        EXPECT_EQ(bands.back().blue, 0);
        EXPECT_EQ(bands.back().top + bands.back().height, h);
    }
}

TEST(Gradient, IntensityStaysAtZeroOnceReached)
{
    auto bands = INS_gradientbands(1200);  // 4 rows a band: 300 bands, the last 44 black
    ASSERT_EQ(bands.size(), 300u);
    EXPECT_EQ(bands[255].blue, 0);
    EXPECT_EQ(bands[299].blue, 0);
}

TEST(MainScreenSizes, FollowTheScreenWidth)
{
    EXPECT_EQ(INS_mainscreensizes(640).titleheight, 30);
    EXPECT_EQ(INS_mainscreensizes(640).titleshadow, 3);
    EXPECT_EQ(INS_mainscreensizes(800).noticetop, 50);
    EXPECT_EQ(INS_mainscreensizes(1024).titleheight, 48);
    EXPECT_EQ(INS_mainscreensizes(1024).titleshadow, 5);
    EXPECT_EQ(INS_mainscreensizes(1600).noticeshadow, 3);
}

}  // namespace
