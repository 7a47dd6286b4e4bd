#include "files/log.h"

#include <cstdio>
#include <cstring>

#include "files/fileutil.h"
#include "shell/text.h"

namespace {

enum { LINESIZE = 80, LABELMAX = 60, STRINGLABELMAX = 20, STRINGMAX = 59 };

status_t emit(setup_context* ctx, const char* label, std::size_t labelmax, const char* value)
{
    char line[LINESIZE] = {};
    UL_copyleft(line, sizeof line, label, labelmax);
    UL_appendtext(line, value);
    UL_logline(ctx, line);
    return ST_OK;
}

}  // namespace

status_t UL_logline(setup_context* ctx, const char* text)
{
    if (!ctx) return ST_GENERAL;
    if (ctx->loglistener) ctx->loglistener(ctx, text);  // an answer file may press the stop button at this line
    char windowcopy[LINESIZE] = {};
    UL_copytext(windowcopy, text);
    if (ctx->logtofile && ctx->logfile && !ctx->logfailing) {
        status_t st = UL_writeline(ctx, ctx->logfile, text);
        if (st != ST_OK) return st;
    }
    if (ctx->debuglevel >= 1 && ctx->logwindow) UL_paintlogline(ctx, windowcopy);
    return ST_OK;
}

bool UL_logdetail(const setup_context* ctx) { return ctx && ctx->debuglevel > 1; }

log_paint_step UL_nextlogline(std::int16_t y, std::int32_t top, std::int32_t bottom)
{
    if (y < top || y > bottom) y = std::int16_t(top);
    if (y < bottom - top - 50) return {std::int16_t(y + 20), false};
    return {y, true};
}

status_t UL_logerror(setup_context* ctx, const char* name, std::uint16_t status)
{
    char line[LINESIZE] = {};
    UL_copytext(line, "Error in ");
    char cut[LABELMAX + 1];
    UL_copyleft(cut, sizeof cut, name, LABELMAX);
    UL_appendtext(line, cut);
    char number[16];
    std::snprintf(number, sizeof number, " = %u", unsigned(status));
    UL_appendtext(line, number);
    UL_logline(ctx, line);
    return ST_OK;
}

status_t UL_logstring(setup_context* ctx, const char* label, const char* string)
{
    char value[STRINGMAX + 1];
    UL_copyleft(value, sizeof value, string ? string : "", STRINGMAX);
    return emit(ctx, label, STRINGLABELMAX, value);
}

status_t UL_logshort(setup_context* ctx, const char* label, std::int16_t value)
{
    char number[16];
    std::snprintf(number, sizeof number, "%d", int(value));
    return emit(ctx, label, LABELMAX, number);
}

status_t UL_logshorthex(setup_context* ctx, const char* label, std::int16_t value)
{
    char number[16];
    std::snprintf(number, sizeof number, "%lx", static_cast<unsigned long>(std::uint32_t(std::int32_t(value))));
    return emit(ctx, label, LABELMAX, number);
}

status_t UL_loglong(setup_context* ctx, const char* label, std::int32_t value)
{
    char number[16];
    std::snprintf(number, sizeof number, "%ld", static_cast<long>(value));
    return emit(ctx, label, LABELMAX, number);
}

status_t UL_loglonghex(setup_context* ctx, const char* label, std::uint32_t value)
{
    char number[16];
    std::snprintf(number, sizeof number, "%lx", static_cast<unsigned long>(value));
    return emit(ctx, label, LABELMAX, number);
}

status_t UL_writeline(setup_context* ctx, ul_file file, const char* text)
{
    // Lines longer than one 16-bit write are written in pieces.
    std::size_t len = std::strlen(text);
    while (len > 0) {
        std::uint16_t piece = len > 0xFFFF ? std::uint16_t(0xFFFF) : std::uint16_t(len);
        RETURN_IF_FAILED(UL_writedata(ctx, file, text, piece));
        text += piece;
        len -= piece;
    }
    return UL_writedata(ctx, file, "\r\n", 2);
}
