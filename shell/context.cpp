#include "shell/context.h"

#include <cstdlib>
#include <cstring>

#include "files/fileutil.h"
#include "shell/messages.h"
#include "shell/text.h"

setup_context* INS_context = nullptr;

status_t INS_createcontext(setup_context** out)
{
    *out = nullptr;
    auto* ctx = static_cast<setup_context*>(std::calloc(1, sizeof(setup_context)));
    if (!ctx) return ST_GENERAL;
    ctx->debuglevel = 0;
    ctx->logtofile = 0;
    ctx->helpcontext = 101;
    ctx->comport = 1;
    ctx->INS_modem = 7;
    ctx->usrversion = 1;
    ctx->totalfilesize = 6341000;
    *out = ctx;
    return ST_OK;
}

void INS_destroycontext(setup_context* ctx)
{
    if (!ctx) return;
    if (ctx->releasedriver) ctx->releasedriver(ctx);
    if (ctx->logfile) {
        UL_closefile(ctx, ctx->logfile);
        ctx->logfile = 0;
    }
    std::free(ctx);
}

void INS_recorderror(setup_context* ctx, status_t status, const char* text)
{
    if (!ctx) return;
    ctx->lasterror = status;
    UL_copytext(ctx->lasterrortext, text);
}

void INS_addfilesize(setup_context* ctx, std::uint32_t bytes)
{
    ctx->INS_currentfilesize = std::int32_t(std::uint32_t(ctx->INS_currentfilesize) + bytes);
}

status_t INS_statustext(setup_context* ctx, status_t status, char out[TEXTSIZE])
{
    out[0] = '\0';
    if (status == ST_OK) return ST_OK;
    INS_errortext(ctx, out, status);
    if (ctx && status == ctx->lasterror && ctx->lasterrortext[0]) {
        // The whole stays within 78 characters.
        char joined[TEXTSIZE];
        UL_copytext(joined, out);
        UL_appendtext(joined, " ");
        UL_appendtext(joined, ctx->lasterrortext);
        UL_copyleft(out, TEXTSIZE, joined, 78);
    }
    return ST_OK;
}
