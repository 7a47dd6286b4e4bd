#include "shell/settings.h"

#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "modem/vendors.h"
#include "shell/platform.h"
#include "shell/text.h"

namespace {

const char ABSENT[] = "ZYZY";

struct setting {
    const char* key;
    std::int16_t setup_context::*number;  // one of number and text is set
    char* (*text)(setup_context*);
    std::size_t textsize;
};

template <std::size_t N> constexpr std::size_t size_of(char (setup_context::*)[N]) { return N; }

#define TEXTFIELD(field) \
    [](setup_context* c) -> char* { return c->field; }, size_of(&setup_context::field)

// In the order in which they are read.
const setting SETTINGS[] = {
    {"WHICHPROGRAM", &setup_context::INS_whichprogram, nullptr, 0},
    {"VERSION", nullptr, TEXTFIELD(INS_version)},
    {"VENDOR", &setup_context::INS_vendor, nullptr, 0},
    {"VENDORVERSION", &setup_context::INS_vendorversion, nullptr, 0},
    {"VENDORINI", nullptr, TEXTFIELD(INS_vendorini)},
    {"CONVERTVOX", &setup_context::INS_convertvox, nullptr, 0},
    {"CDROM", &setup_context::INS_cdrom, nullptr, 0},
    {"ATI3", nullptr, TEXTFIELD(INS_ati3)},
    {"ATI4", nullptr, TEXTFIELD(INS_ati4)},
    {"ATI4FAX", nullptr, TEXTFIELD(INS_ati4fax)},
    {"ATI3A", nullptr, TEXTFIELD(INS_ati3a)},
    {"ATI4A", nullptr, TEXTFIELD(INS_ati4a)},
    {"ATI6", nullptr, TEXTFIELD(INS_ati6)},
    {"DISKSPACE", &setup_context::INS_diskspace, nullptr, 0},
    {"USEVOXROCK", &setup_context::INS_iniusevoxrock, nullptr, 0},
    {"USE8000WAVEATT", &setup_context::INS_iniuse8000waveatt, nullptr, 0},
    {"INSTALLPRINTER", &setup_context::INS_installprinter, nullptr, 0},
    {"NOCLEAN", &setup_context::INS_noclean, nullptr, 0},
};

}  // namespace

status_t INS_readsettings(setup_context* ctx)
{
    char path[TEXTSIZE];
    UL_makepath(path, ctx->sourcedir, "INSTALL.INI");
    std::uint16_t exists = 0;
    UL_fileexists(path, &exists);
    if (!exists) return ST_GENERAL;
    UL_logstring(ctx, "INI path=", path);

    // The defaults that differ from the zero-filled context.
    ctx->INS_vendor = VENDOR_MODEMBLASTER;
    ctx->INS_diskspace = 15;
    for (const setting& s : SETTINGS) {
        char value[TEXTSIZE];
        UL_getprofilestring("GENERAL", s.key, ABSENT, value, 79, path);
        if (std::strcmp(value, ABSENT) == 0) {
            if (s.number == &setup_context::INS_whichprogram) ctx->INS_whichprogram = 2;
            continue;
        }
        if (s.number) ctx->*s.number = std::int16_t(UL_atol(value));
        else UL_copytext(s.text(ctx), s.textsize, value);
    }
    return ST_OK;
}

status_t INS_tracesettings(setup_context* ctx)
{
    UL_logshort(ctx, "whichprogram=", ctx->INS_whichprogram);
    UL_logstring(ctx, "INS_version=", ctx->INS_version);
    UL_logshort(ctx, "INS_vendor=", ctx->INS_vendor);
    UL_logshort(ctx, "INS_vendorversion=", ctx->INS_vendorversion);
    UL_logshort(ctx, "INS_convertvox=", ctx->INS_convertvox);
    UL_logshort(ctx, "INS_cdrom", ctx->INS_cdrom);
    UL_logstring(ctx, "INS_ati3", ctx->INS_ati3);
    UL_logstring(ctx, "INS_ati4", ctx->INS_ati4);
    UL_logstring(ctx, "INS_ati4fax", ctx->INS_ati4fax);
    UL_logstring(ctx, "INS_ati3a", ctx->INS_ati3a);
    UL_logstring(ctx, "INS_ati4a", ctx->INS_ati4a);
    UL_logshort(ctx, "INS_diskspace=", ctx->INS_diskspace);
    UL_logshort(ctx, "INS_iniusevoxrock=", ctx->INS_iniusevoxrock);
    UL_logshort(ctx, "INS_iniuse8000waveatt=", ctx->INS_iniuse8000waveatt);
    return ST_OK;
}

status_t INS_readinstallkey(setup_context* ctx, const char* section, const char* key, char out[TEXTSIZE])
{
    out[0] = '\0';
    char file[TEXTSIZE];
    std::uint16_t exists = 0;
    UL_makepath(file, ctx->moduledir, "INSTALL.INI");
    UL_fileexists(file, &exists);
    if (!exists) {
        UL_makepath(file, ctx->sourcedir, "INSTALL.INI");
        UL_fileexists(file, &exists);
        if (!exists) return ST_GENERAL;
    }
    UL_getprofilestring(section, key, ABSENT, out, TEXTSIZE, file);
    if (std::strcmp(out, ABSENT) == 0) out[0] = '\0';
    return ST_OK;
}
