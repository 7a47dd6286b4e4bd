#include <gtest/gtest.h>

#include "install/dialoghelpers.h"

namespace {
const std::int32_t SW = 1024, SH = 768;
}

TEST(CenterPosition, DialogSmallerThanParentIsCentredOverIt)
{
    ul_point p = INS_centerposition(true, {100, 100, 500, 400}, 200, 100, SW, SH);
    EXPECT_EQ(p.x, 200);
    EXPECT_EQ(p.y, 200);
}

TEST(CenterPosition, WithoutParentTheScreenIsTheArea)
{
    ul_point p = INS_centerposition(false, {0, 0, 0, 0}, 200, 100, SW, SH);
    EXPECT_EQ(p.x, 412);
    EXPECT_EQ(p.y, 334);
}

TEST(CenterPosition, WiderThanParentFallsBackToScreenOnThatAxisOnly)
{
    ul_point p = INS_centerposition(true, {100, 100, 200, 500}, 300, 100, SW, SH);
    EXPECT_EQ(p.x, (SW - 300) / 2) << "horizontal axis uses the screen";
    EXPECT_EQ(p.y, 100 + (400 - 100) / 2) << "vertical axis keeps the parent";
}

TEST(CenterPosition, ParentStartingOffScreenFallsBackToScreen)
{
    ul_point p = INS_centerposition(true, {-900, 0, 300, 768}, 200, 100, SW, SH);
    EXPECT_EQ(p.x, (SW - 200) / 2);
}

TEST(CenterPosition, PositionReachingBelowScreenIsMovedUpOnly)
{
    // Parent's lower half hangs off the screen; the centred dialog would too.
    ul_point p = INS_centerposition(true, {0, 600, 400, 1000}, 200, 300, SW, SH);
    EXPECT_EQ(p.y, SH - 300) << "bottom edge on the screen's bottom edge";
    EXPECT_EQ(p.x, 100) << "horizontal position untouched";
}

TEST(CenterPosition, NegativePositionBecomesZero)
{
    ul_point p = INS_centerposition(false, {0, 0, 0, 0}, 1200, 900, SW, SH);
    // Larger than the screen: first clamped to 0, then pulled back so the right edge is on screen.
    EXPECT_EQ(p.x, SW - 1200);
    EXPECT_EQ(p.y, SH - 900);
}

TEST(FrameStyle, ThicknessAndSunkenFollowTheStyleBits)
{
    EXPECT_EQ(INS_framethickness(0), 1);
    EXPECT_EQ(INS_framethickness(0x100), 2);
    EXPECT_EQ(INS_framethickness(0x200), 3);
    EXPECT_EQ(INS_framethickness(0x300), 2) << "0x100 is tested first";
    EXPECT_TRUE(INS_framesunken(0x1000));
    EXPECT_FALSE(INS_framesunken(0x0100));
}

TEST(ProgressEdge, FilledPartIsPercentOfInnerWidth)
{
    EXPECT_EQ(INS_progressedge(1, 201, 0), 1);
    EXPECT_EQ(INS_progressedge(1, 201, 50), 101);
    EXPECT_EQ(INS_progressedge(1, 201, 100), 201);
    EXPECT_EQ(INS_progressedge(1, 201, 250), 201) << "never past the control";
}
