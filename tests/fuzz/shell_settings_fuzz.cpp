// Any bytes as INSTALL.INI, read through the profile functions: the settings
// are read, every text setting is cut to its field, an absent key keeps its
// default, and what the rest of the installer derives from the vendor code
// (file extensions, compressor parameters, the voice road) stays within bounds.
// The same bytes as the product INI that comes from the medium: the user's
// details read from it fit their fields.
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

#include "install/dialogs.h"
#include "shell/context.h"
#include "shell/settings.h"
#include "shell/text.h"
#include "tests/fuzz/fuzzkit.h"
#include "voice/compressor.h"
#include "voice/convertscript.h"

namespace {

bool mentions(const std::string& text, const char* key)
{
    std::string upper = text;
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    return upper.find(key) != std::string::npos;
}

// INSTALL.INI's values are read 78 characters at most; the user's details take a whole 79-character text.
template <std::size_t N> void require_text(const char (&field)[N], std::size_t most = 78)
{
    const void* end = std::memchr(field, '\0', N);
    fuzzkit::require(end != nullptr, "a text ends inside its field");
    fuzzkit::require(std::strlen(field) <= most, "a text holds no more than its limit");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& dir = fuzzkit::scratch();
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!fuzzkit::write_file(dir + "INSTALL.INI", text) || !fuzzkit::write_file(dir + "USER.ini", text)) return 0;

    setup_context ctx{};
    UL_copytext(ctx.sourcedir, dir.c_str());
    fuzzkit::require(INS_readsettings(&ctx) == ST_OK, "an existing INSTALL.INI is always read");
    INS_tracesettings(&ctx);
    require_text(ctx.INS_version);
    require_text(ctx.INS_vendorini);
    require_text(ctx.INS_ati3);
    require_text(ctx.INS_ati4);
    require_text(ctx.INS_ati4fax);
    require_text(ctx.INS_ati3a);
    require_text(ctx.INS_ati4a);
    require_text(ctx.INS_ati6);
    if (!mentions(text, "WHICHPROGRAM")) fuzzkit::require(ctx.INS_whichprogram == 2, "the product defaults to 2");
    if (!mentions(text, "VENDOR")) fuzzkit::require(ctx.INS_vendor == 8, "the vendor defaults to 8");
    if (!mentions(text, "DISKSPACE")) fuzzkit::require(ctx.INS_diskspace == 15, "the disk space defaults to 15");
    if (!mentions(text, "GENERAL")) {
        fuzzkit::require(ctx.INS_version[0] == '\0' && ctx.INS_ati3[0] == '\0', "without [GENERAL] no text is set");
        fuzzkit::require(ctx.INS_cdrom == 0 && ctx.INS_convertvox == 0, "without [GENERAL] no number is set");
    }

    // What follows from the vendor code and VENDORINI.
    for (std::int16_t matchcode : {0, 3, 4, 6, 8}) {
        ctx.atimatchcode = matchcode;
        char dataext[4] = {'x', 'x', 'x', 'x'}, progext[4] = {'x', 'x', 'x', 'x'};
        fuzzkit::require(INS_getvendorext(&ctx, dataext, progext) == ST_OK, "the extensions are always found");
        fuzzkit::require(std::memchr(dataext, '\0', 4) && std::memchr(progext, '\0', 4), "extensions fit 3 characters");
    }
    const compressor_params p = LV_compressorparams(&ctx);
    fuzzkit::require(p.rate > 0 && p.blocklength >= 2 && p.blocklength <= 2048, "compressor parameters are usable");
    const vendor_road* road = LV_findroad(&ctx);
    fuzzkit::require(road != nullptr, "every vendor code has a road");
    if (road->road == ROAD_VOICEFILE) fuzzkit::require(road->tag && std::strlen(road->tag) == 5, "a voice file tag");

    setup_context user{};
    UL_copytext(user.datadir, dir.c_str());
    UL_copytext(user.productname, "USER");
    fuzzkit::require(INS_readuserini(&user) == ST_OK, "the user's details are read");
    require_text(user.username, 79);
    require_text(user.companyname, 79);
    require_text(user.address1, 79);
    require_text(user.address2, 79);
    require_text(user.datanumber, 79);
    require_text(user.terminalid, 79);
    require_text(user.phonenumber, 79);
    return 0;
}
