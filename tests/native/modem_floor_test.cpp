// The waiting that an identification prescribes, measured on the virtual
// clock: every pause, poll and time-out the tree runs and every delay of the
// simulated modem, and nothing else. It must at least hold the pacing of every
// command that went out (40 ms before it, 2 ms after each byte and its CR).
// With MODEM_FLOOR_OUT set, each profile's time is appended to that file as
// "profile vendor milliseconds"; scripts/bench-modem.sh compares it with the
// wall time under Wine.
#include <regex>

#include "modem/modem.h"
#include "tests/native/modem_identifyfixture.h"

class Floor : public IdentifyingTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(Floor, HoldsThePacingOfEveryCommandSent)
{
    attach(GetParam());
    std::uint32_t t0 = doubles::clock_ms;
    ASSERT_EQ(INS_detectmodem(ctx), ST_OK) << logtext();
    std::uint32_t floor = doubles::clock_ms - t0;

    std::uint32_t pacing = 0;
    for (const std::string& command : commands()) pacing += 40 + 2 * std::uint32_t(command.size() + 1);
    ASSERT_FALSE(commands().empty());
    EXPECT_GE(floor, pacing);
    // Within a command line every byte left 2 ms after the one before it
    // (the control bytes of a cancel go out in one write).
    const auto& written = doubles::serialwritten;
    for (std::size_t i = 1; i < written.size(); ++i) {
        if (written[i - 1].second == '\r' || written[i - 1].second < 0x20 || written[i].second < 0x20) continue;
        EXPECT_EQ(written[i].first - written[i - 1].first, 2u) << "byte " << i;
    }

    if (const char* out = std::getenv("MODEM_FLOOR_OUT")) {
        std::ofstream(out, std::ios::app) << GetParam() << ' ' << ctx->INS_vendor << ' ' << floor << '\n';
    }
}

INSTANTIATE_TEST_SUITE_P(MediaModems, Floor, ::testing::ValuesIn(vendor_profiles()), profile_test_name);
