// The serial port's statuses and the AT engine: pacing, time-outs on the
// virtual clock, answers split over reads, echo, silence and the port probes.
#include <cstring>

#include "modem/atcommand.h"
#include "modem/modem.h"
#include "tests/native/modem_fixture.h"

using AtCommand = ModemTest;

TEST_F(AtCommand, ClosedPortRefusesEverythingButClose)
{
    char byte = 'A';
    EXPECT_EQ(CM_flush(ctx), ST_PORT_CLOSED);
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED);
    EXPECT_EQ(CM_write(ctx, &byte, 1), ST_PORT_CLOSED);
    EXPECT_EQ(CM_clearerror(ctx), ST_PORT_CLOSED);
    EXPECT_EQ(CM_closecomm(ctx), ST_OK);
    EXPECT_EQ(CM_sendexpect(ctx, "AT", 2), ST_PORT_CLOSED) << "the flush's status travels up unchanged";
    EXPECT_TRUE(doubles::serialwritten.empty());
}

TEST_F(AtCommand, OpeningNamesTheDeviceAndASecondOpenIsANoOp)
{
    ASSERT_EQ(CM_opencomm(ctx, 3), ST_OK);
    EXPECT_EQ(CM_opencomm(ctx, 5), ST_OK);
    EXPECT_EQ(doubles::serialopened, std::vector<std::string>{"COM3"});
    EXPECT_TRUE(logged("portname=COM3"));
    // Another context opens a port of its own, with its own buffer.
    setup_context* other = nullptr;
    ASSERT_EQ(INS_createcontext(&other), ST_OK);
    EXPECT_EQ(CM_opencomm(other, 5), ST_OK);
    EXPECT_EQ(doubles::serialopened, (std::vector<std::string>{"COM3", "COM5"}));
    ASSERT_NE(other->CM_buffer, nullptr);
    EXPECT_NE(other->CM_buffer, ctx->CM_buffer);
    EXPECT_EQ(CM_closecomm(ctx), ST_OK);
    EXPECT_EQ(doubles::serialdtrdrops, 1) << "closing drops DTR so that the modem hangs up";
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED);
    EXPECT_EQ(CM_read(other), ST_OK) << "the other context's port stays open";
    EXPECT_EQ(CM_closecomm(other), ST_OK);
    INS_destroycontext(other);
}

TEST_F(AtCommand, MissingPortAndRefusedSettingsLeaveThePortClosed)
{
    doubles::serialports = {1};
    EXPECT_EQ(CM_opencomm(ctx, 4), ST_NOT_AVAILABLE);
    EXPECT_TRUE(logged("opencomm err=2"));
    EXPECT_EQ(CM_flush(ctx), ST_PORT_CLOSED);

    doubles::serialsettingsfail = 1;
    EXPECT_EQ(CM_opencomm(ctx, 1), ST_PORT_SETTINGS);
    EXPECT_TRUE(logged("cant getcommstate"));
    doubles::serialsettingsfail = 2;
    EXPECT_EQ(CM_opencomm(ctx, 1), ST_PORT_SETTINGS);
    EXPECT_TRUE(logged("cant setcommstate"));
    EXPECT_EQ(CM_flush(ctx), ST_PORT_CLOSED);
    EXPECT_EQ(ctx->CM_buffer, nullptr) << "nor a buffer that the engine would search";

    doubles::serialsettingsfail = 0;
    EXPECT_EQ(CM_opencomm(ctx, 1), ST_OK) << "a failed open must not leave the port marked open";
}

TEST_F(AtCommand, ReadsStopAtAFullBufferUntilTheNextFlush)
{
    EXPECT_EQ(CM_readsize(5000, 4000), 96u);
    EXPECT_EQ(CM_readsize(10, 0), 10u);
    EXPECT_EQ(CM_readsize(7000, 0), 4096u);

    ASSERT_EQ(CM_opencomm(ctx, 1), ST_OK);
    ASSERT_EQ(CM_flush(ctx), ST_OK);
    EXPECT_EQ(CM_read(ctx), ST_OK);
    EXPECT_EQ(ctx->CM_where, 0) << "nothing waiting, nothing added";
    doubles::serialqueue.assign(4000, 'a');
    CM_read(ctx);
    ASSERT_EQ(ctx->CM_where, 4000);
    doubles::serialqueue.assign(5000, 'b');
    CM_read(ctx);
    EXPECT_EQ(ctx->CM_where, 4096);
    EXPECT_EQ(ctx->CM_buffer[4095], 'b');
    EXPECT_EQ(doubles::serialqueue.size(), 5000u - 96u) << "the rest stays queued in the driver";
    CM_read(ctx);
    EXPECT_EQ(ctx->CM_where, 4096);
    CM_flush(ctx);
    EXPECT_EQ(ctx->CM_where, 0);
    EXPECT_EQ(ctx->CM_buffer[0], 0);
    EXPECT_EQ(ctx->CM_buffer[4095], 0);
}

TEST_F(AtCommand, CommandsArePacedFortyMillisecondsThenTwoPerByte)
{
    ASSERT_EQ(CM_opencomm(ctx, 1), ST_OK);
    std::uint32_t t0 = doubles::clock_ms;
    ASSERT_EQ(CM_send(ctx, "ATI3"), ST_OK);
    ASSERT_EQ(doubles::serialwritten.size(), 5u);
    const char expected[] = "ATI3\r";
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(doubles::serialwritten[i].first, t0 + 40 + 2 * i) << "byte " << i;
        EXPECT_EQ(doubles::serialwritten[i].second, static_cast<unsigned char>(expected[i])) << "byte " << i;
    }
    EXPECT_EQ(doubles::clock_ms, t0 + 40 + 2 * 5);
}

TEST_F(AtCommand, LongCommandsFillTheSendBufferAndNoMore)
{
    ASSERT_EQ(CM_opencomm(ctx, 1), ST_OK);
    std::string command78 = "AT" + std::string(76, 'Z');
    CM_send(ctx, command78.c_str());
    ASSERT_EQ(doubles::serialwritten.size(), 79u);
    EXPECT_EQ(doubles::serialwritten.back().second, '\r');

    doubles::serialwritten.clear();
    std::string command90 = "AT" + std::string(88, 'Y');
    CM_send(ctx, command90.c_str());
    ASSERT_EQ(doubles::serialwritten.size(), 79u) << "cut to 78 characters and the CR";
    EXPECT_EQ(doubles::serialwritten.back().second, '\r');
}

TEST_F(AtCommand, FindLooksAtExactlyTheCountedBytes)
{
    const unsigned char buffer[] = {'x', '\0', 'O', 'K', '\r', '\n', 'Z'};
    std::int16_t at = 0;
    CM_find(ctx, buffer, "OK\r\n", 6, &at);
    EXPECT_EQ(at, 2) << "a NUL byte before the answer does not end the search";
    CM_find(ctx, buffer, "OK\r\n", 5, &at);
    EXPECT_EQ(at, -1) << "the last byte lies outside the count";
    CM_find(ctx, buffer, "OK\r\n\r\n", 4, &at);
    EXPECT_EQ(at, -1) << "count smaller than the pattern";
    CM_find(ctx, buffer, "ok", 7, &at);
    EXPECT_EQ(at, -1) << "comparison is case-sensitive";
    CM_find(ctx, buffer, "Z", 7, &at);
    EXPECT_EQ(at, 6) << "a match at the very end is found";
}

TEST_F(AtCommand, WaitReadsOnceEvenWithoutTimeAndTimesOutOnTheClock)
{
    ASSERT_EQ(CM_opencomm(ctx, 1), ST_OK);
    CM_flush(ctx);
    std::uint16_t found = 9;
    EXPECT_EQ(CM_waitfor(ctx, "OK\r\n", 0, &found), ST_OK);
    EXPECT_EQ(found, 0);
    EXPECT_GE(doubles::serialreads, 1);

    std::uint32_t t0 = doubles::clock_ms;
    EXPECT_EQ(CM_waitfor(ctx, "OK\r\n", 2, &found), ST_OK);
    EXPECT_EQ(found, 0);
    EXPECT_GT(doubles::clock_ms - t0, 2000u);
    EXPECT_LE(doubles::clock_ms - t0, 2002u);

    t0 = doubles::clock_ms;
    std::int16_t index = 5;
    const cm_answer table[] = {"OK\r\n", "ERROR\r\n"};
    EXPECT_EQ(CM_waitforany(ctx, table, 2, 3, &index), ST_OK);
    EXPECT_EQ(index, -1);
    EXPECT_GT(doubles::clock_ms - t0, 3000u);
    EXPECT_LE(doubles::clock_ms - t0, 3002u);
}

TEST_F(AtCommand, TableOrderDecidesWhenSeveralAnswersArrived)
{
    ASSERT_EQ(CM_opencomm(ctx, 1), ST_OK);
    CM_flush(ctx);
    doubles::serialqueue = "\r\nERROR\r\n\r\nOK\r\n";
    const cm_answer table[] = {"OK\r\n", "ERROR\r\n"};
    std::int16_t index = -1;
    ASSERT_EQ(CM_waitforany(ctx, table, 2, 1, &index), ST_OK);
    EXPECT_EQ(index, 0) << "OK wins although ERROR came first";
}

TEST_F(AtCommand, AnAnswerSplitOverManyReadsIsFoundWhenItsLastByteArrives)
{
    attach_text("echo = off\ndelay = 30\nsplit = 1\ngap = 7\n[AT]\n", 1);
    ASSERT_EQ(CM_opencomm(ctx, 1), ST_OK);
    ASSERT_EQ(CM_send(ctx, "AT"), ST_OK);
    std::uint32_t cr = doubles::serialwritten.back().first;
    std::uint16_t found = 0;
    ASSERT_EQ(CM_waitfor(ctx, "OK\r\n", 5, &found), ST_OK);
    EXPECT_EQ(found, 1);
    // "\r\nOK\r\n": six writes 7 ms apart, the first 30 ms after the CR.
    EXPECT_EQ(doubles::clock_ms, cr + 30 + 5 * 7);
}

TEST_F(AtCommand, AnswersStraddlingReadsOfEverySizeAreFoundOnTheirLastByte)
{
    ASSERT_EQ(CM_opencomm(ctx, 1), ST_OK);
    const cm_answer table[] = {"OK\r\n", "ERROR\r\n"};
    for (std::uint32_t piece = 1; piece <= 7; ++piece) {
        SCOPED_TRACE("reads of " + std::to_string(piece));
        doubles::serialreadlimit = piece;
        CM_flush(ctx);
        doubles::serialqueue = "OOOK\r\nrest";
        std::uint16_t found = 0;
        ASSERT_EQ(CM_waitfor(ctx, "OK\r\n", 1, &found), ST_OK);
        EXPECT_EQ(found, 1);
        EXPECT_EQ(ctx->CM_where, std::int16_t((6 + piece - 1) / piece * piece)) << "no read after the one completing it";

        // ERROR completes first although an OK without its line end came before it.
        CM_flush(ctx);
        doubles::serialqueue = "xOKERROR\r\nOK\r\n";
        std::int16_t index = -1;
        ASSERT_EQ(CM_waitforany(ctx, table, 2, 1, &index), ST_OK);
        const std::int16_t complete = std::int16_t((10 + piece - 1) / piece * piece);
        EXPECT_EQ(index, complete >= 14 ? 0 : 1);
    }
}

TEST_F(AtCommand, EchoedCommandsAreAnsweredAndAnEchoAloneIsNot)
{
    attach("echo-ok.modem", 1);
    attach("loopback.modem", 2);
    ASSERT_EQ(CM_opencomm(ctx, 1), ST_OK);
    EXPECT_EQ(CM_sendexpect(ctx, "AT", 2), ST_OK);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(ctx->CM_buffer), std::size_t(ctx->CM_where)), "AT\r\r\nOK\r\n");
    CM_closecomm(ctx);

    ASSERT_EQ(CM_opencomm(ctx, 2), ST_OK);
    EXPECT_EQ(CM_sendexpect(ctx, "AT", 2), ST_NO_OK);
    EXPECT_TRUE(logged("Invalid command = AT"));
    EXPECT_TRUE(logged("CM_where = 3"));
    EXPECT_TRUE(logged("CM_buffer = AT\r"));
}

TEST_F(AtCommand, SendCheckTellsOkFromErrorAndSilence)
{
    attach_text("echo = on\nunknown = ERROR\n[ATZ]\n[AT#SILENT]\nfinal = none\n", 1);
    ASSERT_EQ(CM_opencomm(ctx, 1), ST_OK);
    std::uint16_t ok = 9;
    EXPECT_EQ(CM_sendcheck(ctx, "ATZ", &ok), ST_OK);
    EXPECT_EQ(ok, 1);
    EXPECT_TRUE(logged("ATZ =1"));

    std::uint32_t t0 = doubles::clock_ms;
    EXPECT_EQ(CM_sendcheck(ctx, "AT#BAD", &ok), ST_OK);
    EXPECT_EQ(ok, 0);
    EXPECT_LT(doubles::clock_ms - t0, 1000u);
    EXPECT_TRUE(logged("AT#BAD =0"));

    t0 = doubles::clock_ms;
    EXPECT_EQ(CM_sendcheck(ctx, "AT#SILENT", &ok), ST_OK);
    EXPECT_EQ(ok, 0);
    EXPECT_GT(doubles::clock_ms - t0, 20000u) << "silence is waited out for 20 s";
    EXPECT_LT(doubles::clock_ms - t0, 20100u);
}

TEST_F(AtCommand, TheFiveSecondExpectTracesTheAcceptedCommand)
{
    attach("echo-ok.modem", 1);
    ASSERT_EQ(CM_opencomm(ctx, 1), ST_OK);
    EXPECT_EQ(CM_sendexpect(ctx, "AT"), ST_OK);
    EXPECT_TRUE(logged("xafter=AT"));
    std::uint32_t t0 = doubles::clock_ms;
    EXPECT_EQ(CM_sendexpect(ctx, "AT+FOO"), ST_NO_OK);
    EXPECT_GT(doubles::clock_ms - t0, 5000u);
    EXPECT_FALSE(logged("xafter=AT+FOO"));
}

TEST_F(AtCommand, TheBufferTraceShowsTheRestFromOffsetFifty)
{
    ASSERT_EQ(CM_opencomm(ctx, 1), ST_OK);
    CM_flush(ctx);
    std::string text = std::string(50, 'a') + "TAIL";
    doubles::serialqueue = text;
    CM_read(ctx);
    CM_tracebuffer(ctx);
    EXPECT_TRUE(logged("CM_where = 54"));
    EXPECT_TRUE(logged("CM_buffer = TAIL"));

    CM_flush(ctx);
    doubles::serialqueue.assign(4096, 'q');
    CM_read(ctx);
    ASSERT_EQ(ctx->CM_where, 4096);
    doubles::painted.clear();
    CM_tracebuffer(ctx);  // a full buffer holds no NUL: the trace must stay inside it
    EXPECT_TRUE(logged("CM_where = 4096"));
}

TEST_F(AtCommand, ProbeAnswersOnlyTheThirdAtIsStillAnAnswer)
{
    attach("third-at.modem", 3);
    std::uint16_t noanswer = 9;
    EXPECT_EQ(checkatcommand(3, &noanswer), ST_OK);
    EXPECT_EQ(noanswer, 0);
    EXPECT_EQ(commands(3), (std::vector<std::string>{"AT", "AT", "AT"}));
    EXPECT_TRUE(logged("begin checkatcommand"));
    EXPECT_TRUE(logged("before closecomm"));
    EXPECT_EQ(doubles::serialdtrdrops, 1);
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED) << "the probe closes its port";
}

TEST_F(AtCommand, ProbeOfASilentPortReportsNoAnswerAfterThreeTries)
{
    attach("silent.modem", 2);
    std::uint16_t noanswer = 0;
    std::uint32_t t0 = doubles::clock_ms;
    EXPECT_EQ(checkatcommand(2, &noanswer), ST_OK);
    EXPECT_EQ(noanswer, 1);
    EXPECT_EQ(commands(2).size(), 3u);
    EXPECT_GT(doubles::clock_ms - t0, 6000u);
    EXPECT_LT(doubles::clock_ms - t0, 6500u);
    EXPECT_EQ(logcount("Invalid command = AT"), 3);
}

TEST_F(AtCommand, PortThatTakesNoOutputEndsTheSendAtItsFirstByte)
{
    attach("echo-ok.modem", 2);
    ASSERT_EQ(CM_opencomm(ctx, 2), ST_OK);
    doubles::serialnooutput = true;
    ctx->debuglevel = 2;
    std::uint32_t t0 = doubles::clock_ms;
    EXPECT_EQ(CM_send(ctx, "AT+FCLASS=8"), ST_PORT_CLOSED);
    EXPECT_EQ(doubles::serialwritecalls, 1) << "the other eleven bytes would each wait out the time-out";
    EXPECT_LT(doubles::clock_ms - t0, CM_WRITETIMEOUT + 100u);
    EXPECT_TRUE(logged("write failed = AT+FCLASS=8")) << logtext();
    std::uint16_t ok = 9;
    EXPECT_EQ(CM_sendcheck(ctx, "AT", &ok), ST_PORT_CLOSED) << "not a silent modem's 20 s wait for OK";
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(CM_sendexpect(ctx, "AT", 2), ST_PORT_CLOSED);
    CM_closecomm(ctx);

    // The probe takes such a port for one without an answer, after one try.
    doubles::serialwritecalls = 0;
    ctx->debuglevel = 1;
    doubles::painted.clear();
    std::uint16_t noanswer = 0;
    t0 = doubles::clock_ms;
    EXPECT_EQ(checkatcommand(2, &noanswer), ST_OK);
    EXPECT_EQ(noanswer, 1);
    EXPECT_EQ(doubles::serialwritecalls, 1);
    EXPECT_LT(doubles::clock_ms - t0, 10000u) << "three tries would cost three write time-outs";
    EXPECT_FALSE(logged("write failed = AT")) << "a detail line";
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED) << "the probe closes its port";
}

TEST_F(AtCommand, ProbesOfAMissingPortFailOnlyTheAtCheck)
{
    doubles::serialports = {1, 2};
    std::uint16_t noanswer = 7;
    EXPECT_EQ(checkatcommand(6, &noanswer), ST_NOT_AVAILABLE);
    EXPECT_EQ(noanswer, 0);
    EXPECT_TRUE(logged("Error in checkatcommand = 900"));

    std::uint16_t cannotopen = 0;
    EXPECT_EQ(CM_probeport(6, &cannotopen), ST_OK);
    EXPECT_EQ(cannotopen, 1);
    EXPECT_TRUE(logged("devopen err=900"));
    EXPECT_EQ(CM_probeport(2, &cannotopen), ST_OK);
    EXPECT_EQ(cannotopen, 0);
    EXPECT_TRUE(logged("devopen err=0"));
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED) << "the probe closes what it opened";
    // Without the installer's context the probes run on one of their own.
    INS_context = nullptr;
    cannotopen = 9;
    EXPECT_EQ(CM_probeport(2, &cannotopen), ST_OK);
    EXPECT_EQ(cannotopen, 0);
    EXPECT_EQ(checkatcommand(2, &noanswer), ST_OK);
    EXPECT_EQ(noanswer, 1) << "no modem on the port";
    INS_context = ctx;
}

TEST_F(AtCommand, PollTracesAppearOnlyAboveDebugLevelOne)
{
    attach("echo-ok.modem", 1);
    ASSERT_EQ(CM_opencomm(ctx, 1), ST_OK);
    CM_sendexpect(ctx, "AT", 2);
    EXPECT_FALSE(logged("expect = OK\r\n"));
    ctx->debuglevel = 2;
    CM_sendexpect(ctx, "AT", 2);
    EXPECT_TRUE(logged("expect = OK\r\n"));
    EXPECT_TRUE(logged("buffer = AT\r\r\nOK\r\n"));
}
