// Any bytes as a headed ADPCM prompt (".VOX"): the conversion to the modem's
// companded voice file either replaces the prompt with the new header and two
// companded bytes per ADPCM byte, or leaves the prompt exactly as it was; no
// temporary file is left behind either way, and a stop request is honoured.
#include <cstdint>
#include <cstring>
#include <vector>

#include "shell/context.h"
#include "shell/text.h"
#include "tests/fuzz/fuzzkit.h"
#include "tests/native/doubles/shell_doubles.h"
#include "voice/adpcm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte picks the vendor (the AT&T polarity or not) and whether the
    // user stops the conversion; the rest is the prompt file.
    if (size < 1) return 0;
    const bool att = data[0] & 1;
    const int stopat = (data[0] >> 1) & 7;  // 0: never
    data += 1;
    size -= 1;

    const std::string& dir = fuzzkit::scratch();
    static const bool made = [&] { return mkdir((dir + "SCRIPT1").c_str(), 0755) == 0; }();
    (void)made;
    const std::string prompt = dir + "SCRIPT1/P.VOX";
    const std::string temp = dir + "SCRIPT1/x";
    if (!fuzzkit::write_file(prompt, data, size)) return 0;

    setup_context ctx{};
    UL_copytext(ctx.pathname, dir.c_str());
    ctx.INS_vendor = att ? 41 : 21;
    doubles::checkabort_calls = 0;
    doubles::stop_at_call = stopat;
    status_t st = LV_convertvoxfile(&ctx, prompt.c_str());
    doubles::stop_at_call = 0;

    std::vector<std::uint8_t> after;
    fuzzkit::require(fuzzkit::read_file(prompt, &after), "the prompt still exists");
    fuzzkit::require(!fuzzkit::exists(temp), "no temporary file is left");
    if (st != ST_OK) {
        fuzzkit::require(st == ST_READ_SHORT || st == ST_CANCELLED, "a refusal is a short header or a stop");
        fuzzkit::require(st != ST_READ_SHORT || size < VOICEHEADERSIZE, "only a short header is refused");
        fuzzkit::require(after == std::vector<std::uint8_t>(data, data + size), "a refused prompt is unchanged");
        return 0;
    }
    fuzzkit::require(size >= VOICEHEADERSIZE, "a prompt without its header is never converted");
    fuzzkit::require(after.size() == VOICEHEADERSIZE + 2 * (size - VOICEHEADERSIZE),
                     "two companded samples for every ADPCM byte");
    std::uint8_t header[VOICEHEADERSIZE];
    LV_makeheader(header, att ? "AT&T " : "SIERR", 8);
    fuzzkit::require(std::memcmp(after.data(), header, VOICEHEADERSIZE) == 0, "the header is the modem's");
    fuzzkit::require(ctx.INS_currentfilesize == std::int32_t(3 * (size - VOICEHEADERSIZE)),
                     "progress counts what was read and written");
    return 0;
}
