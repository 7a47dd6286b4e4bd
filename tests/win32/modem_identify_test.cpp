// The identification through the Windows communications API against modemsim
// on pseudo-terminals mapped as COM ports. tests/e2e/modem_identify_e2e.sh
// starts the modems and names them in the environment:
//   MODEM_IDENTIFY       "port=profile;port=profile;..." (vendorNN-*.modem or bad-*.modem)
//   MODEM_PROFILE_DIR    media/modems as a Windows path (install-match.ini, # expect: lines)
//   MODEM_TIMING_OUT     optional: each identification's wall time is appended there
//   MODEM_SILENTPORT, MODEM_ABSENTPORT, MODEM_DYINGPORT   optional single cases
// Without them every case skips.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "modem/atcommand.h"
#include "modem/modem.h"
#include "modem/serialport.h"
#include "modem/vendors.h"
#include "shell/context.h"
#include "tests/win32/support/winpaths.h"

namespace {

std::string envtext(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

int envport(const char* name) { return std::atoi(envtext(name).c_str()); }

struct assignment {
    int port = 0;
    std::string profile;
};

std::vector<assignment> assignments()
{
    std::vector<assignment> list;
    std::stringstream in(envtext("MODEM_IDENTIFY"));
    std::string item;
    while (std::getline(in, item, ';')) {
        std::size_t eq = item.find('=');
        if (eq == std::string::npos) continue;
        list.push_back({std::atoi(item.substr(0, eq).c_str()), item.substr(eq + 1)});
    }
    if (list.empty()) list.push_back({});  // one case that skips
    return list;
}

// What a profile must give: the code in a vendorNN- name, or a bad- profile's "# expect:" line.
struct expectation {
    int status = -1;
    int vendor = -1;
    int program = 2;  // the product after the identification
};

expectation expected(const std::string& profile, const std::string& text)
{
    expectation e;
    std::smatch m;
    if (std::regex_search(profile, m, std::regex("^vendor([0-9]+)-"))) {
        e.status = ST_OK;
        e.vendor = std::stoi(m[1]);
        // Only a modem without voice switches the product to the fax program.
        if (profile.find("faxonly") != std::string::npos) e.program = 0;
    } else if (std::regex_search(text, m,
                                 std::regex("# expect: status ([0-9]+)(?: vendor ([0-9]+))?(?: program ([0-9]+))?"))) {
        e.status = std::stoi(m[1]);
        if (m[2].matched) e.vendor = std::stoi(m[2]);
        if (m[3].matched) e.program = std::stoi(m[3]);
    }
    return e;
}

class ModemOnPort : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
        INS_context = ctx;
        profiles = envtext("MODEM_PROFILE_DIR");
        if (!profiles.empty() && profiles.back() != '\\') profiles += '\\';
    }
    void TearDown() override
    {
        CM_closecomm(ctx);
        INS_context = nullptr;
        INS_destroycontext(ctx);
        if (!dir.empty()) {
            DeleteFileA((dir + "INSTALL.INI").c_str());
            RemoveDirectoryA(dir.c_str());
        }
    }
    // INSTALL.INI with the match sections, beside the program and as the source.
    void prepare(int port)
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        dir = std::string(temp) + "mdmid" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(dir.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA((profiles + "install-match.ini").c_str(), (dir + "INSTALL.INI").c_str(), FALSE))
            << "cannot copy install-match.ini from " << profiles;
        ASSERT_LT(dir.size(), sizeof ctx->moduledir);
        std::snprintf(ctx->moduledir, sizeof ctx->moduledir, "%s", dir.c_str());
        std::snprintf(ctx->sourcedir, sizeof ctx->sourcedir, "%s", dir.c_str());
        ctx->comport = std::int16_t(port);
        ctx->INS_whichprogram = 2;
    }
    setup_context* ctx = nullptr;
    std::string profiles;
    std::string dir;
};

class EveryProfile : public ModemOnPort, public ::testing::WithParamInterface<assignment> {};

}  // namespace

TEST_P(EveryProfile, IsIdentifiedAsTheCodeItNames)
{
    const assignment& a = GetParam();
    if (!a.port || profiles.empty()) GTEST_SKIP() << "MODEM_IDENTIFY not set: run through tests/e2e/modem_identify_e2e.sh";
    expectation e = expected(a.profile, winpaths::read(profiles + a.profile));
    ASSERT_GE(e.status, 0) << a.profile << " names no outcome";
    prepare(a.port);

    LARGE_INTEGER frequency, t0, t1;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&t0);
    status_t st = INS_detectmodem(ctx);
    QueryPerformanceCounter(&t1);
    double ms = double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(frequency.QuadPart);

    EXPECT_EQ(st, e.status) << a.profile << " on COM" << a.port;
    if (e.vendor >= 0) {
        EXPECT_EQ(ctx->INS_vendor, e.vendor) << a.profile << " on COM" << a.port;
    }
    if (e.vendor == VENDOR_FAXONLY) {
        EXPECT_EQ(ctx->INS_modem, 2) << "a fax modem";
    }
    if (st == ST_OK) {
        EXPECT_EQ(ctx->INS_whichprogram, e.program) << a.profile << ": voice keeps the voice product, fax-only switches";
    }
    EXPECT_EQ(ctx->atiblock, nullptr) << "the answer block is freed";
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED) << "detection closes the port";

    std::string out = envtext("MODEM_TIMING_OUT");
    if (!out.empty() && st == e.status) {
        char line[160];
        std::snprintf(line, sizeof line, "%s %d %.1f\n", a.profile.c_str(), int(ctx->INS_vendor), ms);
        std::ofstream(out, std::ios::app) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(Ports, EveryProfile, ::testing::ValuesIn(assignments()),
                         [](const ::testing::TestParamInfo<assignment>& info) {
                             if (!info.param.port) return std::string("none");
                             std::string n = "COM" + std::to_string(info.param.port) + "_" + info.param.profile;
                             n = n.substr(0, n.size() - 6);
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

TEST_F(ModemOnPort, DetectionOnAMissingPortGives900AndLeavesNothingOpen)
{
    int absent = envport("MODEM_ABSENTPORT");
    if (!absent) GTEST_SKIP() << "MODEM_ABSENTPORT not set";
    ctx->comport = std::int16_t(absent);
    EXPECT_EQ(INS_detectmodem(ctx), ST_NOT_AVAILABLE);
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED);
}

TEST_F(ModemOnPort, SilentModemIsReportedAsNoAnswerAfterThreeTries)
{
    int silent = envport("MODEM_SILENTPORT");
    if (!silent) GTEST_SKIP() << "MODEM_SILENTPORT not set";
    std::uint16_t noanswer = 9;
    DWORD t0 = GetTickCount();
    EXPECT_EQ(checkatcommand(std::int16_t(silent), &noanswer), ST_OK);
    DWORD took = GetTickCount() - t0;
    EXPECT_EQ(noanswer, 1);
    EXPECT_GE(took, 6000u) << "three AT, two seconds each";
    EXPECT_LT(took, 9000u);
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED) << "the probe closes the port";
}

TEST_F(ModemOnPort, ClosedPortOpensAgainAtOnceAndStillAnswers)
{
    int port = assignments().front().port;
    if (!port) GTEST_SKIP() << "MODEM_IDENTIFY not set";
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(CM_opencomm(ctx, std::int16_t(port)), ST_OK) << "round " << round;
        EXPECT_EQ(CM_sendexpect(ctx, "AT", 2), ST_OK) << "round " << round;
        EXPECT_EQ(CM_closecomm(ctx), ST_OK);
        EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED);
    }
}

TEST_F(ModemOnPort, ModemThatVanishesMidwayEndsTheDetectionCleanly)
{
    int dying = envport("MODEM_DYINGPORT");
    if (!dying || profiles.empty()) GTEST_SKIP() << "MODEM_DYINGPORT not set";
    prepare(dying);
    DWORD t0 = GetTickCount();
    status_t st = INS_detectmodem(ctx);
    DWORD took = GetTickCount() - t0;
    std::printf("vanishing modem: status %u, vendor %d, %lu ms\n", unsigned(st), int(ctx->INS_vendor),
                static_cast<unsigned long>(took));
    EXPECT_EQ(st, ST_PORT_CLOSED) << "a modem that is gone is no identification";
    EXPECT_EQ(ctx->atiblock, nullptr);
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED);
    // Before it vanished, two refused queries waited out their 5 s each.
    EXPECT_LT(took, 15000u) << "the loss ends the exchange at once instead of every later time-out";
}
