// The country file and FAX.INI, expanded from the medium into place.
#include "files/expand.h"
#include "files/fileutil.h"
#include "files/log.h"
#include "install/install.h"
#include "shell/text.h"

status_t INS_copycountry(setup_context* ctx)
{
    char source[TEXTSIZE];
    UL_makepath(source, ctx->sourcedir, "COUNTRY\\COUNTRY.");
    UL_appendtext(source, ctx->countryext);
    std::uint16_t exists = 0;
    UL_fileexists(source, &exists);
    if (!exists || ctx->countryext[0] == '\0') return ST_OK;
    char target[TEXTSIZE];
    UL_makepath(target, ctx->datadir, "COUNTRY.INI");
    return INS_expandfile(ctx, target, source);
}

status_t INS_copyfaxini(setup_context* ctx)
{
    char target[TEXTSIZE], source[TEXTSIZE];
    UL_makepath(target, ctx->windowsdir, "FAX.INI");
    UL_makepath(source, ctx->sourcedir, ctx->INS_whichprogram != 0 ? "FAX.INI" : "FAX.FAX");
    UL_logstring(ctx, "tofile = ", target);
    return INS_expandfile(ctx, target, source);
}
