// Any INSTALL.INI (its ATI patterns and its IS101MATCH / VENDORMATCH sections)
// read by the settings reader, then a whole identification against one of the
// demo's modem profiles: the identification ends with a status it may give, a
// vendor code that is known or comes from a match section, a data-set tag cut
// to its limit, the answer block freed and the port closed.
#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "modem/atcommand.h"
#include "modem/identify.h"
#include "modem/modem.h"
#include "modem/serialport.h"
#include "shell/settings.h"
#include "shell/text.h"
#include "tests/fuzz/fuzzkit.h"
#include "tests/native/doubles/modem_doubles.h"
#include "tests/native/doubles/shell_doubles.h"

#ifndef SOURCE_DIR
#error "SOURCE_DIR names the source tree (media/modems holds the profiles)"
#endif

namespace {

const std::set<int> known = {0, 3, 5, 6, 7, 8, 9, 11, 12, 13, 18, 21, 22, 31, 41, 51, 52, 59, 60, 61, 63, 64, 65, 98};

const std::vector<modemsim::profile>& profiles()
{
    static const std::vector<modemsim::profile> all = [] {
        std::vector<std::string> names;
        const std::string dir = std::string(SOURCE_DIR) + "/media/modems/";
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d)) {
                std::string n = e->d_name;
                if (n.size() > 6 && n.compare(n.size() - 6, 6, ".modem") == 0) names.push_back(dir + n);
            }
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        std::vector<modemsim::profile> parsed;
        for (const std::string& n : names) {
            std::ifstream in(n);
            modemsim::profile p;
            std::string error;
            if (modemsim::parse_profile(in, p, error)) parsed.push_back(p);
        }
        if (parsed.empty()) fuzzkit::broken("the demo's modem profiles are found");
        return parsed;
    }();
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Byte 0 picks the modem; the rest is INSTALL.INI.
    if (size < 1) return 0;
    const modemsim::profile& modem = profiles()[data[0] % profiles().size()];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string& dir = fuzzkit::scratch();
    if (!fuzzkit::write_file(dir + "INSTALL.INI", text)) return 0;

    setup_context ctx{};
    UL_copytext(ctx.moduledir, dir.c_str());
    UL_copytext(ctx.sourcedir, dir.c_str());
    fuzzkit::require(INS_readsettings(&ctx) == ST_OK, "INSTALL.INI is read");
    doubles::serialreset();
    doubles::serialattach(1, modem);
    doubles::serialidlestep = 1000;
    ctx.comport = 1;
    ctx.INS_modem = 7;
    ctx.usrversion = 1;
    const status_t st = INS_detectmodem(&ctx);

    fuzzkit::require(st == ST_OK || st == ST_NO_OK, "the identification ends with success or no OK");
    fuzzkit::require(!ctx.atiblock && !ctx.atiblockhandle, "the answer block is freed");
    fuzzkit::require(CM_read(&ctx) == ST_PORT_CLOSED, "the port is closed");
    fuzzkit::require(ctx.usrversion == 0 || ctx.usrversion == 1, "the firmware flag is 0 or 1");
    std::string upper = text;
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    if (st == ST_OK && !known.count(ctx.INS_vendor))
        fuzzkit::require(upper.find("MATCH") != std::string::npos || upper.find("VENDOR") != std::string::npos,
                         "an unknown vendor code comes from INSTALL.INI");
    fuzzkit::require(std::memchr(ctx.INS_vendorini, '\0', sizeof ctx.INS_vendorini) != nullptr,
                     "the data-set tag ends inside its field");
    const std::int16_t m = ctx.atimatchcode;
    fuzzkit::require(m == 0 || m == 3 || m == 4 || m == 5 || m == 6 || m == 8, "the ATI match code is one of its values");
    doubles::serialreset();
    return 0;
}
