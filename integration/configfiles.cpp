// What the installed suite reads at its first start: the product INI in the
// data directory and the shared FAX.ini in the Windows directory.
#include "integration/configfiles.h"

#include <cstdio>

#include "files/fileutil.h"
#include "files/log.h"
#include "integration/integration.h"
#include "modem/vendors.h"
#include "shell/platform.h"
#include "shell/text.h"

namespace {

// The user's details, in the order they are written to [GENERAL]; these are
// the keys the user-details dialog reads back on a reinstallation.
struct general_row {
    const char* key;
    const char* (*value)(const setup_context* ctx);
};

const general_row GENERAL_ROWS[] = {
    {"USERNAME", [](const setup_context* c) -> const char* { return c->username; }},
    {"COMPANYNAME", [](const setup_context* c) -> const char* { return c->companyname; }},
    {"ADDRESS1", [](const setup_context* c) -> const char* { return c->address1; }},
    {"ADDRESS2", [](const setup_context* c) -> const char* { return c->address2; }},
    {"DATANUMBER", [](const setup_context* c) -> const char* { return c->datanumber; }},
    {"FAXNUMBER", [](const setup_context* c) -> const char* { return c->terminalid; }},
    {"PHONENUMBER", [](const setup_context* c) -> const char* { return c->phonenumber; }},
};

void decimal(char out[TEXTSIZE], long value) { std::snprintf(out, TEXTSIZE, "%ld", value); }

}  // namespace

status_t INS_writeini(setup_context* ctx, const char* section, const char* key, const char* value,
                      const char* file)
{
    if (ctx && ctx->filechanging) ctx->filechanging(ctx, file);
    if (UL_writeprofilestring(section, key, value, file)) {
        // The profile service creates the file itself, past the file operations' hook.
        if (ctx && ctx->filewritten) ctx->filewritten(ctx, file);
        return ST_OK;
    }
    if (UL_logdetail(ctx)) UL_logstring(ctx, "cannot write ini=", file);
    INS_recorderror(ctx, ST_INI_NOT_WRITTEN, file);
    return ST_INI_NOT_WRITTEN;
}

void INS_productinipath(setup_context* ctx, char out[TEXTSIZE])
{
    UL_makepath(out, ctx->datadir, ctx->productname);
    UL_appendtext(out, TEXTSIZE, ".ini");
}

status_t INS_addproductini(setup_context* ctx)
{
    char file[TEXTSIZE];
    INS_productinipath(ctx, file);
    if (UL_logdetail(ctx)) UL_logstring(ctx, "productini=", file);

    for (const general_row& row : GENERAL_ROWS)
        RETURN_IF_FAILED(INS_writeini(ctx, "GENERAL", row.key, row.value(ctx), file));

    char value[TEXTSIZE];
    UL_makepath(value, ctx->programdir, "ZELTATRM.EXE");
    RETURN_IF_FAILED(INS_writeini(ctx, "GENERAL", "COMMPROGRAMNAME0", value, file));

    decimal(value, ctx->comport);
    RETURN_IF_FAILED(INS_writeini(ctx, "VEQFAX1", "COMPORT", value, file));
    decimal(value, 3);
    RETURN_IF_FAILED(INS_writeini(ctx, "VEQFAX1", "MAXRATE", value, file));

    // Only these modems carry the firmware flag.
    if (ctx->INS_vendor == VENDOR_USROBOTICS) {
        decimal(value, ctx->usrversion);
        RETURN_IF_FAILED(INS_writeini(ctx, "HARDWARE", "VERSION", value, file));
    }
    return INS_addvoiceini(ctx);
}

status_t INS_addvoiceini(setup_context* ctx)
{
    char file[TEXTSIZE];
    INS_productinipath(ctx, file);
    char value[TEXTSIZE];
    UL_makepath(value, ctx->datadir, "FLOCHART");
    RETURN_IF_FAILED(INS_writeini(ctx, "VOICE", "FAXBACK1", value, file));
    UL_makepath(value, ctx->datadir, "PRICE");
    return INS_writeini(ctx, "VOICE", "FAXBACK2", value, file);
}

status_t INS_addfaxini(setup_context* ctx)
{
    char file[TEXTSIZE];
    UL_makepath(file, ctx->windowsdir, "FAX.ini");
    RETURN_IF_FAILED(INS_writeini(ctx, "FAX", "PATH", ctx->pathname, file));

    // The task's path is only kept up to date where the template asks for it.
    char program[TEXTSIZE] = {};
    std::uint32_t got = UL_getprofilestring("FAX", "PROGRAM", "", program, sizeof program, file);
    UL_logshort(ctx, "programrc = ", std::int16_t(got));
    if (got == 0) return ST_OK;

    UL_makepath(program, ctx->pathname, "PROGRAM\\VEQTASK.EXE");
    return INS_writeini(ctx, "FAX", "PROGRAM", program, file);
}
