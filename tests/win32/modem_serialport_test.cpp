// The serial port over the Windows communications API, against modemsim on a
// pseudo-terminal mapped as a COM port (tests/e2e/modem_serialport_e2e.sh sets
// that up and names the ports in the environment; without it only the
// closed-port statuses are checked).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "modem/atcommand.h"
#include "modem/identify.h"
#include "modem/modem.h"
#include "modem/serialport.h"
#include "modem/vendors.h"
#include "shell/context.h"
#include "tests/support/logcheck.h"
#include "tests/win32/support/winpaths.h"

namespace {

int envport(const char* name)
{
    const char* v = std::getenv(name);
    return v ? std::atoi(v) : 0;
}

std::string envtext(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

// Waits up to two seconds for modemsim to log a line.
::testing::AssertionResult simlogged(const std::string& logpath, const std::string& line)
{
    for (int i = 0; i < 40; ++i) {
        if (winpaths::read(logpath).find(line) != std::string::npos) break;
        Sleep(50);
    }
    return logcheck::contains(winpaths::read(logpath), line);
}

class SerialPort : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
        INS_context = ctx;
        port = envport("MODEM_TEST_PORT");
    }
    void TearDown() override
    {
        CM_closecomm(ctx);
        INS_context = nullptr;
        INS_destroycontext(ctx);
    }
    setup_context* ctx = nullptr;
    int port = 0;
};

}  // namespace

// The port tests need a modem; modem_serialport_e2e.sh provides one.
#define NEED_PORT() \
    if (!port) GTEST_SKIP() << "MODEM_TEST_PORT not set: run through tests/e2e/modem_serialport_e2e.sh"

TEST_F(SerialPort, ClosedPortRefusesEverythingButClose)
{
    char byte = 'A';
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED);
    EXPECT_EQ(CM_write(ctx, &byte, 1), ST_PORT_CLOSED);
    EXPECT_EQ(CM_flush(ctx), ST_PORT_CLOSED);
    EXPECT_EQ(CM_clearerror(ctx), ST_PORT_CLOSED);
    EXPECT_EQ(CM_closecomm(ctx), ST_OK);
}

TEST_F(SerialPort, ModemAnswersAtWithItsEcho)
{
    NEED_PORT();
    ASSERT_EQ(CM_opencomm(ctx, std::int16_t(port)), ST_OK);
    EXPECT_EQ(CM_opencomm(ctx, std::int16_t(port)), ST_OK) << "a second open of an open port does nothing";
    ASSERT_EQ(CM_sendexpect(ctx, "AT", 2), ST_OK);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(ctx->CM_buffer), std::size_t(ctx->CM_where)), "AT\r\r\nOK\r\n");
    std::uint16_t ok = 9;
    EXPECT_EQ(CM_sendcheck(ctx, "AT+NOSUCH", &ok), ST_OK);
    EXPECT_EQ(ok, 0) << "ERROR is told from OK";
}

TEST_F(SerialPort, ReadsReturnAtOnceWhenNothingIsWaiting)
{
    NEED_PORT();
    ASSERT_EQ(CM_opencomm(ctx, std::int16_t(port)), ST_OK);
    ASSERT_EQ(CM_flush(ctx), ST_OK);
    DWORD t0 = GetTickCount();
    for (int i = 0; i < 20; ++i) ASSERT_EQ(CM_read(ctx), ST_OK);
    EXPECT_LT(GetTickCount() - t0, 500u) << "reads must not wait for data";
    EXPECT_EQ(ctx->CM_where, 0);
}

TEST_F(SerialPort, LineSettingsReachTheModemAndClosingHangsUp)
{
    NEED_PORT();
    std::string log = envtext("MODEM_TEST_LOG");
    if (log.empty()) GTEST_SKIP() << "MODEM_TEST_LOG not set";
    ASSERT_EQ(CM_opencomm(ctx, std::int16_t(port)), ST_OK);
    ASSERT_EQ(CM_sendexpect(ctx, "ATI3", 2), ST_OK);
    EXPECT_TRUE(simlogged(log, "# line 19200 8N1\n"));
    CM_closecomm(ctx);
    EXPECT_TRUE(simlogged(log, "ATI3\n# close\n"));
}

TEST_F(SerialPort, VoiceModemIsIdentifiedWithItsFirmware)
{
    NEED_PORT();
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + "mdmw32\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::ofstream(dir + "INSTALL.INI") << "[GENERAL]\r\nVENDOR=0\r\n";
    std::snprintf(ctx->moduledir, sizeof ctx->moduledir, "%s", dir.c_str());
    ctx->comport = std::int16_t(port);
    ctx->INS_whichprogram = 2;
    ASSERT_EQ(INS_detectmodem(ctx), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_USROBOTICS) << "the profile on this port is vendor31-usr.modem";
    EXPECT_EQ(ctx->INS_modem, 3);
    EXPECT_EQ(ctx->usrversion, 0) << "0xFE samples follow CONNECT after the cancel";
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED);
    DeleteFileA((dir + "INSTALL.INI").c_str());
    RemoveDirectoryA(dir.c_str());
}

TEST_F(SerialPort, ProbesTellAnswerSilenceAndMissingPorts)
{
    int sleepy = envport("MODEM_TEST_SLEEPYPORT");
    int absent = envport("MODEM_TEST_ABSENTPORT");
    if (!sleepy || !absent) GTEST_SKIP() << "MODEM_TEST_SLEEPYPORT and MODEM_TEST_ABSENTPORT not set";
    std::uint16_t flag = 9;
    EXPECT_EQ(checkatcommand(std::int16_t(sleepy), &flag), ST_OK);
    EXPECT_EQ(flag, 0) << "the third AT was answered";
    EXPECT_EQ(CM_probeport(std::int16_t(sleepy), &flag), ST_OK);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(CM_probeport(std::int16_t(absent), &flag), ST_OK);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(CM_opencomm(ctx, std::int16_t(absent)), ST_NOT_AVAILABLE);
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED) << "a failed open leaves no port open";
}

TEST_F(SerialPort, AnswersArrivingInPiecesAreGatheredAcrossReads)
{
    int split = envport("MODEM_TEST_SPLITPORT");
    if (!split) GTEST_SKIP() << "MODEM_TEST_SPLITPORT not set";
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + "mdmw32s\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::ofstream(dir + "INSTALL.INI") << "[GENERAL]\r\nVENDOR=0\r\n";
    std::snprintf(ctx->moduledir, sizeof ctx->moduledir, "%s", dir.c_str());
    ctx->comport = std::int16_t(split);
    ctx->INS_whichprogram = 2;
    ASSERT_EQ(INS_detectmodem(ctx), ST_OK);
    EXPECT_EQ(ctx->INS_vendor, VENDOR_LUCENT) << "the profile on this port is vendor63-lucent.modem, which answers 3 bytes at a time";
    DeleteFileA((dir + "INSTALL.INI").c_str());
    RemoveDirectoryA(dir.c_str());
}

TEST_F(SerialPort, PortWithoutADeviceBehindItFailsOnItsLineSettings)
{
    int broken = envport("MODEM_TEST_BROKENPORT");
    if (!broken) GTEST_SKIP() << "MODEM_TEST_BROKENPORT not set";
    EXPECT_EQ(CM_opencomm(ctx, std::int16_t(broken)), ST_PORT_SETTINGS);
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED) << "the port is closed again";
    std::uint16_t noanswer = 9;
    EXPECT_EQ(checkatcommand(std::int16_t(broken), &noanswer), ST_PORT_SETTINGS);
    EXPECT_EQ(noanswer, 0);
}
