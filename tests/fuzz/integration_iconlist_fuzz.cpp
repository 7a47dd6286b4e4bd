// Any bytes as the medium's ICONS.LST: the group gets at most ten items, and
// every command sent to Program Manager is a bounded, well-formed text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "integration/progman.h"
#include "shell/text.h"
#include "tests/fuzz/fuzzkit.h"
#include "tests/native/doubles/integration_doubles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string dir = fuzzkit::scratch() + "medium";
    static const bool made = std::filesystem::create_directories(dir);
    (void)made;
    if (!fuzzkit::write_file(dir + "/ICONS.LST", data, size)) return 0;

    setup_context ctx{};
    UL_copytext(ctx.sourcedir, (dir + "/").c_str());
    UL_copytext(ctx.pathname, "C:\\A-DESTINATION-DIRECTORY-OF-SOME-LENGTH\\");
    UL_copytext(ctx.producttitle, "ZeltaVoice");
    ctx.INS_whichprogram = 1;
    integration_doubles::reset();
    if (INS_addprogram(&ctx) != ST_OK) __builtin_trap();

    const auto& sent = integration_doubles::ddecommands;
    if (sent.size() < 3 || sent.size() > 3 + DDE_MAXITEMS) __builtin_trap();
    for (std::size_t i = 3; i < sent.size(); ++i) {
        const std::string& c = sent[i];
        if (c.size() > DDE_COMMANDSIZE - 1 || c.rfind("[AddItem(", 0) != 0) __builtin_trap();
        if (c.compare(c.size() - 2, 2, ")]") != 0) __builtin_trap();
        if (c.find('\0') != std::string::npos) __builtin_trap();
    }
    if (integration_doubles::ddeterminated != 1) __builtin_trap();
    return 0;
}
