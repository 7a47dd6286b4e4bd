// The modem profile format and the engine that plays it (shared by modemsim
// and the scripted port of the native tests).
#include <gtest/gtest.h>

#include <sstream>

#include "tools/modemsim/modemprofile.h"

namespace {

bool parse(const std::string& text, modemsim::profile& p, std::string& error)
{
    std::istringstream in(text);
    return modemsim::parse_profile(in, p, error);
}

modemsim::engine play(const std::string& text)
{
    modemsim::profile p;
    std::string error;
    std::istringstream in(text);
    EXPECT_TRUE(modemsim::parse_profile(in, p, error)) << error;
    return modemsim::engine(p);
}

}  // namespace

TEST(ModemProfile, BadLinesAreRejectedWithTheirLineNumber)
{
    modemsim::profile p;
    std::string error;
    EXPECT_FALSE(parse("echo = maybe\n", p, error));
    EXPECT_EQ(error, "line 1: bad value for ECHO");
    EXPECT_FALSE(parse("# c\n[AT]\ndelay = -3\n", p, error));
    EXPECT_EQ(error, "line 3: bad value for DELAY");
    EXPECT_FALSE(parse("[AT\n", p, error));
    EXPECT_FALSE(parse("[AT]\nanswer = \\x4\n", p, error)) << "a cut hex escape";
    EXPECT_FALSE(parse("[AT]\nstream = FE\n", p, error)) << "a stream needs a count";
    EXPECT_FALSE(parse("[AT]\nwhatever = 1\n", p, error));
    EXPECT_FALSE(parse("just text\n", p, error));
    EXPECT_TRUE(parse("", p, error)) << "an empty profile is a modem with defaults";
}

TEST(ModemProfile, AnswersAreFramedAndRawTextIsSentAsItStands)
{
    modemsim::engine m = play("echo = off\ndelay = 10\n[ATX]\nanswer = one\nraw = \\x10\\x03\nfinal = VCON\n");
    m.receive("atx\r", 100);  // commands are matched without regard to case
    EXPECT_EQ(m.take_due(109), "");
    EXPECT_EQ(m.take_due(110), std::string("\r\none\r\n\x10\x03\r\nVCON\r\n"));
    EXPECT_EQ(m.commands, std::vector<std::string>{"atx"});
}

TEST(ModemProfile, IgnoredReceiptsGetNoEchoAndUnknownCommandsTheDefaultResult)
{
    modemsim::engine m = play("echo = on\ndelay = 0\nunknown = none\n[AT]\nignore = 2\n");
    m.receive("AT\rAT\r", 0);
    EXPECT_EQ(m.take_due(1000), "");
    m.receive("AT\r", 0);
    EXPECT_EQ(m.take_due(1000), "AT\r\r\nOK\r\n");
    m.receive("ATZ\r", 0);
    EXPECT_EQ(m.take_due(1000), "ATZ\r") << "echo only: unknown = none";
}

TEST(ModemProfile, SplitAnswersFallDueOnePieceAtATime)
{
    modemsim::engine m = play("echo = off\ndelay = 5\n[AT]\nsplit = 2\ngap = 10\n");
    m.receive("AT\r", 0);
    EXPECT_EQ(m.take_due(5), "\r\n");
    EXPECT_EQ(m.take_due(14), "");
    EXPECT_EQ(m.take_due(15), "OK");
    EXPECT_EQ(m.take_due(25), "\r\n");
}

TEST(ModemProfile, CancelEndsVoiceDataOnlyWhenTheProfileSaysSo)
{
    const std::string base = "echo = off\ndelay = 0\n[AT#VRX]\nfinal = CONNECT\nstream = FE 1000\nstreamend = none\n";
    modemsim::engine ends = play(base + "oncancel = dle-etx\n");
    ends.receive("AT#VRX\r", 0);
    std::string first = ends.take_due(20);
    EXPECT_EQ(first.rfind("\r\nCONNECT\r\n\xfe\xfe", 0), 0u);
    ends.receive(std::string("\x00\x10\x18", 3), 20);
    EXPECT_EQ(ends.cancels, 1);
    EXPECT_EQ(ends.take_due(100000), std::string("\x10\x03"));
    EXPECT_FALSE(ends.streaming());
    ends.receive("AT#VRX\r", 100000);
    EXPECT_EQ(ends.take_due(200000).size(), 1011u);
    EXPECT_FALSE(ends.streaming()) << "the blocks the cancel dropped are not waited for";

    modemsim::engine goes_on = play(base + "oncancel = ignore\n");
    goes_on.receive("AT#VRX\r", 0);
    goes_on.take_due(20);
    goes_on.receive(std::string("\x00\x10\x18", 3), 20);
    EXPECT_EQ(goes_on.cancels, 1);
    std::string rest = goes_on.take_due(100000);
    EXPECT_GT(rest.size(), 800u);
    EXPECT_EQ(rest.find('\x10'), std::string::npos) << "no DLE ETX: streamend = none";
}

TEST(ModemProfile, VoiceDataEndsWhenItsLastBlockIsTakenAndCommandsCountAgain)
{
    // Four blocks of 32 bytes, 8 ms apart, after the CONNECT; a split answer keeps other output pending beside them.
    modemsim::engine m = play("echo = off\ndelay = 0\n[AT#VRX]\nfinal = CONNECT\nsplit = 1\ngap = 1\n"
                              "stream = FE 100\nstreamend = none\n[AT]\n");
    m.receive("AT#VRX\r", 0);
    EXPECT_TRUE(m.streaming());
    m.take_due(30);
    EXPECT_TRUE(m.streaming()) << "one block is still to come";
    m.receive("AT\r", 30);
    EXPECT_EQ(m.take_due(40).size(), 4u) << "the last block; AT is not a command during voice data";
    EXPECT_FALSE(m.streaming());
    m.receive("AT\r", 40);
    EXPECT_EQ(m.take_due(1000), "\r\nOK\r\n");

    // A hang-up in the middle of the voice data forgets it: the next stream ends by itself again.
    m.receive("AT#VRX\r", 1000);
    m.hangup();
    EXPECT_FALSE(m.streaming());
    m.receive("AT#VRX\r", 2000);
    EXPECT_EQ(m.take_due(3000).size(), 111u);
    EXPECT_FALSE(m.streaming());
    m.receive("AT\r", 3000);
    EXPECT_EQ(m.take_due(4000), "\r\nOK\r\n");
}

TEST(ModemProfile, HangupDropsPendingAnswersAndAHalfCommand)
{
    modemsim::engine m = play("echo = off\ndelay = 50\n[AT]\n");
    m.receive("AT\rAT", 0);
    m.hangup();
    EXPECT_EQ(m.take_due(1000), "");
    m.receive("\r", 1000);
    EXPECT_EQ(m.take_due(2000), "") << "the half command before the hang-up is forgotten";
}
