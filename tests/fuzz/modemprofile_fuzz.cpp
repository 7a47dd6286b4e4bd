// Any profile text: parsing must end with a profile or an error naming a line,
// and a parsed profile must answer any bytes without growing without bound.
#include <cstdint>
#include <sstream>
#include <string>

#include "tools/modemsim/modemprofile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t split = text.find('\x01');
    std::string input = split == std::string::npos ? "AT\r" : text.substr(split + 1);
    if (split != std::string::npos) text.resize(split);

    modemsim::profile profile;
    std::string error;
    std::istringstream in(text);
    if (!modemsim::parse_profile(in, profile, error)) {
        if (error.rfind("line ", 0) != 0) __builtin_trap();
        return 0;
    }
    for (modemsim::command_rule& rule : profile.rules) {
        // Keep one run short: a profile may ask for a million bytes of voice data.
        if (rule.streamcount > 4096) rule.streamcount = 4096;
    }
    modemsim::engine modem(profile);
    std::uint64_t now = 0;
    for (char c : input) {
        modem.receive(std::string(1, c), now);
        now += 3;
        modem.take_due(now);
    }
    modem.take_due(UINT64_MAX);
    if (modem.next_due(now)) __builtin_trap();  // everything due was taken
    if (modem.commands.size() > input.size()) __builtin_trap();
    modem.hangup();
    if (!modem.take_due(UINT64_MAX).empty()) __builtin_trap();
    return 0;
}
