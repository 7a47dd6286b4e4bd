// Answers no sound modem sends (media/modems/bad-*.modem): the identification
// ends with the outcome each profile names on its "# expect:" line, closes the
// port and frees its answer block. The same profiles run under Wine through
// tests/e2e/modem_identify_e2e.sh.
#include <regex>

#include "modem/modem.h"
#include "tests/native/modem_identifyfixture.h"

namespace {

struct expectation {
    int status = -1;
    int vendor = -1;
    int program = 2;
};

expectation expected(const std::string& name)
{
    std::ifstream in(profile_path(name));
    std::string line;
    std::smatch m;
    expectation e;
    while (std::getline(in, line)) {
        if (!std::regex_search(line, m, std::regex("^# expect: status ([0-9]+)(?: vendor ([0-9]+))?(?: program ([0-9]+))?"))) continue;
        e.status = std::stoi(m[1]);
        if (m[2].matched) e.vendor = std::stoi(m[2]);
        if (m[3].matched) e.program = std::stoi(m[3]);
    }
    return e;
}

}  // namespace

class BadAnswers : public IdentifyingTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(BadAnswers, EndWithTheNamedOutcomeAndAClosedPort)
{
    expectation e = expected(GetParam());
    ASSERT_GE(e.status, 0) << GetParam() << " has no # expect: line";
    attach(GetParam());
    std::uint32_t t0 = doubles::clock_ms;
    EXPECT_EQ(INS_detectmodem(ctx), e.status) << logtext();
    if (e.vendor >= 0) {
        EXPECT_EQ(ctx->INS_vendor, e.vendor) << logtext();
        EXPECT_EQ(ctx->INS_whichprogram, e.program) << "voice keeps the voice product, fax-only switches";
    }
    EXPECT_EQ(ctx->atiblock, nullptr);
    EXPECT_EQ(CM_read(ctx), ST_PORT_CLOSED);
    EXPECT_LT(doubles::clock_ms - t0, 120000u) << "no wait beyond the tree's own time-outs";
}

INSTANTIATE_TEST_SUITE_P(MediaModems, BadAnswers, ::testing::ValuesIn(profiles("bad-")),
                         profile_test_name);
