#include "resources/ids.h"
#include "shell/messages.h"

#include <cstdio>
#include <cstring>

#include "files/log.h"
#include "shell/mainscreen.h"
#include "shell/platform.h"
#include "shell/text.h"

namespace {

// Products whose identity texts are built in rather than taken from the library.
struct builtin_identity {
    std::int16_t whichprogram;
    const char* title;  // texts 7104 and 7105
    const char* name;   // texts 7106 and 7108
};

const builtin_identity BUILTIN[] = {
    {5, "ZeltaVoice Home", "RURORA"},
    {6, "ZeltaVoice Comm Server", "VUZAZARE"},
};

const builtin_identity* builtin_for(std::int16_t whichprogram)
{
    for (const auto& b : BUILTIN)
        if (b.whichprogram == whichprogram) return &b;
    return nullptr;
}

const char* icon_for(std::int16_t whichprogram)
{
    switch (whichprogram) {
    case 0: return "DIDOVADA";
    case 1: return "RODERORA";
    default: return "RORAR";
    }
}

void load_library_text(setup_context* ctx, unsigned number, char* out, std::size_t size)
{
    out[0] = '\0';
    if (ctx && ctx->resourcelib) UL_loadstring(ctx->resourcelib, number, out, int(size));
}

}  // namespace

status_t INS_getproducttext(setup_context* ctx, unsigned number, char* out, std::size_t size)
{
    const builtin_identity* builtin = builtin_for(ctx->INS_whichprogram);
    switch (number) {
    case IDS_PRODUCT_ICON:
        ctx->producticon = UL_loadicon(ctx->hinstance, icon_for(ctx->INS_whichprogram));
        return ST_OK;
    case IDS_PRODUCT_TITLE:
    case IDS_PRODUCT_LINE1:
    case IDS_PRODUCT_LINE2:
    case IDS_PRODUCT_DIR:
        if (builtin) {
            UL_copytext(out, size, (number == IDS_PRODUCT_TITLE || number == IDS_PRODUCT_LINE1) ? builtin->title : builtin->name);
        } else {
            load_library_text(ctx, unsigned(int(number) + 10 * ctx->INS_whichprogram), out, size);
        }
        return ST_OK;
    default:
        return ST_BAD_REQUEST;
    }
}

status_t INS_loadidentity(setup_context* ctx)
{
    INS_getproducttext(ctx, IDS_PRODUCT_DIR, ctx->productname, sizeof ctx->productname);
    INS_getproducttext(ctx, IDS_PRODUCT_LINE1, ctx->productline1, sizeof ctx->productline1);
    INS_getproducttext(ctx, IDS_PRODUCT_LINE2, ctx->productline2, sizeof ctx->productline2);
    INS_getproducttext(ctx, IDS_PRODUCT_TITLE, ctx->producttitle, sizeof ctx->producttitle);
    INS_getproducttext(ctx, IDS_PRODUCT_DIR, ctx->productdir, sizeof ctx->productdir);
    INS_getproducttext(ctx, IDS_PRODUCT_ICON, nullptr, 0);
    return ST_OK;
}

status_t UL_xloadmessage(setup_context* ctx, char* out, const char* libname, unsigned number, std::size_t size)
{
    out[0] = '\0';
    status_t st = ST_OK;
    if (!ctx || (libname && libname[0])) {
        st = ST_GENERAL;
    } else if (!ctx->resourcelib || UL_loadstring(ctx->resourcelib, number, out, int(size)) == 0) {
        out[0] = '\0';
        UL_logshort(ctx, "func = ", std::int16_t(number));
        st = ST_GENERAL;
    }
    if (st != ST_OK) UL_logerror(ctx, "UL_xloadmessage", st);
    return st;
}

status_t INS_loadmessage(setup_context* ctx, char out[MESSAGESIZE], const char* libname, unsigned number)
{
    char text[MESSAGESIZE];
    RETURN_IF_FAILED(UL_xloadmessage(ctx, text, libname, number, sizeof text));
    return INS_insertproductname(ctx, out, text);
}

status_t INS_insertproductname(setup_context* ctx, char out[MESSAGESIZE], const char* source)
{
    const char* at = std::strstr(source, "@@");
    if (!at) {
        UL_copytext(out, MESSAGESIZE, source);
        return ST_OK;
    }
    char title[MESSAGESIZE];
    RETURN_IF_FAILED(INS_getproducttext(ctx, IDS_PRODUCT_TITLE, title, sizeof title));
    char result[MESSAGESIZE];
    UL_copyleft(result, sizeof result, source, std::size_t(at - source));
    UL_appendtext(result, title);
    UL_appendtext(result, at + 2);
    UL_copytext(out, MESSAGESIZE, result);
    return ST_OK;
}

status_t INS_errortext(setup_context* ctx, char out[MESSAGESIZE], unsigned status)
{
    if (INS_loadmessage(ctx, out, "", status) != ST_OK) UL_copytext(out, MESSAGESIZE, "Undocumented Error");
    if (ctx && ctx->debuglevel > 1) {
        UL_logstring(ctx, "libname   = ", "");
        UL_logstring(ctx, "error msg = ", out);
    }
    return ST_OK;
}

void INS_noticetext(setup_context* ctx, char out[MESSAGESIZE])
{
    load_library_text(ctx, IDS_PREPARING, out, MESSAGESIZE);
    if (!out[0]) UL_copytext(out, MESSAGESIZE, INS_noticeline);
}

void INS_errorboxtexts(setup_context* ctx, std::uint16_t status, char body[MESSAGESIZE], char caption[MESSAGESIZE])
{
    std::snprintf(body, MESSAGESIZE, "%u - ", unsigned(status));
    char text[MESSAGESIZE];
    load_library_text(ctx, status, text, sizeof text);
    UL_appendtext(body, MESSAGESIZE, text[0] ? text : "Unknown Error");
    // A file operation's message ends where the file's name belongs ("A file cannot be created:").
    if (ctx && status == ctx->lasterror && ctx->lasterrortext[0]) {
        UL_appendtext(body, MESSAGESIZE, " ");
        UL_appendtext(body, MESSAGESIZE, ctx->lasterrortext);
    }

    UL_copytext(caption, MESSAGESIZE, ctx ? ctx->productname : "");
    load_library_text(ctx, IDS_SETUP_SUFFIX, text, sizeof text);
    UL_appendtext(caption, MESSAGESIZE, text[0] ? text : "Setup");
}

status_t INS_errorbox(setup_context* ctx, std::uint16_t status)
{
    char body[MESSAGESIZE], caption[MESSAGESIZE];
    INS_errorboxtexts(ctx, status, body, caption);
    // An unattended run must not wait for a person: the box ends it instead.
    if (ctx && ctx->answerbox && ctx->answerbox(ctx, status, body)) return ST_OK;
    UL_messagebox(caption, body, UL_BOX_WARNING);
    return ST_OK;
}

status_t INS_messagebox(const char* caption, const char* text)
{
    setup_context* ctx = INS_context;
    if (ctx && ctx->answermessage && ctx->answermessage(ctx, text)) return ST_OK;
    UL_messagebox(caption, text, UL_BOX_INFO);
    return ST_OK;
}
