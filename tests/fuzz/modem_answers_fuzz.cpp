// Any answers a modem may give, fed through the identification by the
// scripted port: the search must agree with a plain search, and every run
// must end with a known vendor code, the port closed and the answer block freed.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "modem/atcommand.h"
#include "modem/identify.h"
#include "modem/modem.h"
#include "modem/serialport.h"
#include "tests/fuzz/fuzzkit.h"
#include "tests/native/doubles/modem_doubles.h"
#include "tests/native/doubles/shell_doubles.h"

namespace {

// The commands whose answers the input supplies, one segment each (segments end at 0xFF).
const char* const commands[] = {"AT+FCLASS=8", "AT+FCLASS=0", "AT#CLS=8", "AT#CLS=0", "AT+GMI?",  "AT#MFR?",
                                "AT+GMR?",     "ATI3",        "ATI4",     "ATI7",     "AT+VSM=?", "AT#VSR=?",
                                "AT#VBS=8",    "ATI2",        "ATI",      "AT#VLS=6", "AT#VLS=0", "AT#VCL=1",
                                "AT#VCID=1",   "AT#VS1",      "AT#VLS=1", "AT#VRX"};

const std::set<int> known = {0, 3, 5, 6, 7, 8, 9, 11, 12, 13, 18, 21, 22, 31, 41, 51, 52, 59, 60, 61, 63, 64, 65, 98};

void check_find(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return;
    std::size_t plen = data[0] % 8 + 1;
    if (size < 1 + plen) return;
    std::string pattern(reinterpret_cast<const char*>(data + 1), plen);
    if (pattern.find('\0') != std::string::npos) pattern.resize(pattern.find('\0'));
    if (pattern.empty()) return;
    const std::uint8_t* buffer = data + 1 + plen;
    std::size_t count = size - 1 - plen;
    if (count > 4096) count = 4096;
    std::int16_t at = -2;
    CM_find(nullptr, buffer, pattern.c_str(), std::int16_t(count), &at);
    std::string hay(reinterpret_cast<const char*>(buffer), count);
    std::size_t expected = hay.find(pattern);
    if (expected == std::string::npos ? at != -1 : at != std::int16_t(expected)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    check_find(data, size);

    static std::string dir = [] {
        fuzzkit::write_file(fuzzkit::scratch() + "INSTALL.INI", "[GENERAL]\nVENDOR=0\n");
        return fuzzkit::scratch();
    }();

    modemsim::profile profile;
    profile.echo = size > 0 && (data[0] & 1);
    profile.unknown = "ERROR";
    profile.delay = 1;
    std::size_t at = 1;
    for (const char* command : commands) {
        if (at >= size) break;
        modemsim::command_rule rule;
        rule.command = command;
        std::uint8_t kind = data[at++];
        rule.hasfinal = true;
        // Silence costs seconds of virtual time; keep it rare.
        rule.final = (kind % 16) == 0 ? "" : (kind & 1) ? "ERROR" : (kind & 2) ? "CONNECT" : "OK";
        if (kind & 0x20) rule.split = 1;
        std::string answer;
        while (at < size && data[at] != 0xFF && answer.size() < 600) answer += char(data[at++]);
        if (at < size && data[at] == 0xFF) ++at;
        rule.answers.push_back({answer, (kind & 4) != 0});
        if (std::string(command) == "AT#VRX" && (kind & 8)) {
            rule.stream = true;
            rule.streambyte = kind;
            rule.streamcount = kind;
            rule.streamend = (kind & 0x40) != 0;
        }
        profile.rules.push_back(rule);
    }

    doubles::serialreset();
    doubles::serialattach(1, profile);
    doubles::serialidlestep = 1000;
    setup_context ctx{};
    std::snprintf(ctx.moduledir, sizeof ctx.moduledir, "%s", dir.c_str());
    ctx.comport = 1;
    ctx.INS_modem = 7;
    ctx.usrversion = 1;
    ctx.INS_whichprogram = 2;
    status_t st = INS_detectmodem(&ctx);
    if (ctx.atiblock || ctx.atiblockhandle) __builtin_trap();
    if (CM_read(&ctx) != ST_PORT_CLOSED) __builtin_trap();
    if (st == ST_OK && !known.count(ctx.INS_vendor)) __builtin_trap();
    if (st != ST_OK && st != ST_NO_OK) __builtin_trap();
    if (ctx.usrversion != 0 && ctx.usrversion != 1) __builtin_trap();
    return 0;
}
