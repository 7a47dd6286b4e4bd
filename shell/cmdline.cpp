#include "shell/cmdline.h"

#include <cstdio>
#include <cstring>

#include "files/fileutil.h"
#include "shell/text.h"

namespace {

bool has_prefix_nocase(const char* text, const char* prefix)
{
    for (; *prefix; ++text, ++prefix) {
        char a = *text, b = *prefix;
        if (a >= 'a' && a <= 'z') a = char(a - 'a' + 'A');
        if (a != b) return false;
    }
    return true;
}

bool is_separator(char c) { return c == ' ' || c == ','; }

// A value is refused, never cut: a cut path names another file.
status_t refuse(setup_context* ctx, const char* why)
{
    INS_recorderror(ctx, ST_BAD_REQUEST, why);
    return ST_BAD_REQUEST;
}

status_t refuse_long(setup_context* ctx, const char* option, std::size_t limit)
{
    char why[TEXTSIZE];
    std::snprintf(why, sizeof why, "%s is longer than %u characters", option, unsigned(limit));
    return refuse(ctx, why);
}

// The value without its leading and trailing blanks, which a quoted value may hold.
void trimmed(const char* value, const char** start, std::size_t* length)
{
    std::size_t len = std::strlen(value);
    while (len > 0 && *value == ' ') ++value, --len;
    while (len > 0 && value[len - 1] == ' ') --len;
    *start = value;
    *length = len;
}

// A path option's value into a field of TEXTSIZE; with `slash` it is a directory
// and keeps room for the backslash that ends it.
status_t take_path(setup_context* ctx, const char* option, const char* value, bool slash, char out[TEXTSIZE])
{
    const char* start;
    std::size_t len;
    trimmed(value, &start, &len);
    bool needslash = slash && (len == 0 || start[len - 1] != '\\');
    std::size_t limit = TEXTSIZE - 1 - (needslash ? 1 : 0);
    if (len > limit) return refuse_long(ctx, option, limit);
    UL_copyleft(out, TEXTSIZE, start, len);
    if (slash && len > 0) UL_addslash(out);
    return ST_OK;
}

void apply_debug(const char* token, std::int16_t* level)
{
    long n = UL_atol(token + 1);
    *level = n <= 0 ? 1 : std::int16_t(n);
}

status_t apply_source(setup_context* ctx, const char* rest)
{
    char dir[TEXTSIZE];
    RETURN_IF_FAILED(take_path(ctx, "-S", rest, true, dir));
    UL_addslash(dir);  // an empty rest names the root, as it always did
    UL_copytext(ctx->sourcedir, dir);
    ctx->tempcopy = 1;
    return ST_OK;
}

struct path_option {
    const char* name;  // with its "="
    bool directory;
    char (setup_context::*field)[TEXTSIZE];
};

const path_option PATH_OPTIONS[] = {
    {"/ANSWERS=", false, &setup_context::answerfile},
    {"/RECORD=", false, &setup_context::recordfile},
    {"/LOG=", false, &setup_context::logname},
    {"/RESULT=", false, &setup_context::resultfile},
    {"/DIR=", true, &setup_context::destinationarg},
};

status_t apply_token(setup_context* ctx, const char* token, std::int16_t* level)
{
    std::size_t len = std::strlen(token);
    if (len == 0) return ST_OK;
    // Our own options come first; any other token keeps the classic rules.
    for (const path_option& o : PATH_OPTIONS) {
        if (!has_prefix_nocase(token, o.name)) continue;
        char option[16];
        UL_copyleft(option, sizeof option, o.name, std::strlen(o.name));
        return take_path(ctx, option, token + std::strlen(o.name), o.directory, ctx->*o.field);
    }
    if (UL_equalnocase(token, "/SILENT")) {
        ctx->silent = SILENT_PROGRESS;
        return ST_OK;
    }
    if (UL_equalnocase(token, "/VERYSILENT")) {
        ctx->silent = SILENT_NOTHING;
        return ST_OK;
    }
    if (UL_equalnocase(token, "/UNDO")) {
        ctx->undo = 1;
        return ST_OK;
    }
    if (UL_equalnocase(token, "/ROLLBACK")) {
        ctx->rollback = 1;
        return ST_OK;
    }
    if (len <= 2 && (token[0] == 'D' || token[0] == 'd')) {
        apply_debug(token, level);
        return ST_OK;
    }
    if (len > 2) {
        const char* at = std::strstr(token, "-S");
        if (!at) at = std::strstr(token, "-s");
        if (at) return apply_source(ctx, at + 2);
    }
    return ST_OK;
}

// The next token from *p: up to a blank or comma. A token of our own syntax
// (starting with "/", or a quote and "/") may quote parts of itself, and a
// blank or comma between quotes belongs to it; its quotes are dropped.
status_t next_token(setup_context* ctx, const char** p, char out[CMDLINE_MAX + 1])
{
    const char* s = *p;
    bool quoting = s[0] == '/' || (s[0] == '"' && s[1] == '/');
    bool inside = false;
    std::size_t n = 0;
    for (; *s; ++s) {
        if (quoting && *s == '"') {
            inside = !inside;
            continue;
        }
        if (!inside && is_separator(*s)) break;
        if (n < CMDLINE_MAX) out[n++] = *s;
    }
    out[n] = '\0';
    *p = s;
    if (inside) {
        char why[TEXTSIZE];
        std::snprintf(why, sizeof why, "a quote is not closed: %.40s", out);
        return refuse(ctx, why);
    }
    return ST_OK;
}

}  // namespace

status_t INS_parsecommandline(setup_context* ctx, const char* commandline, std::int16_t* debuglevel)
{
    if (std::strlen(commandline) > CMDLINE_MAX) return refuse_long(ctx, "The command line", CMDLINE_MAX);
    char token[CMDLINE_MAX + 1];
    const char* p = commandline;
    while (*p) {
        if (is_separator(*p)) {
            ++p;
            continue;
        }
        RETURN_IF_FAILED(next_token(ctx, &p, token));
        RETURN_IF_FAILED(apply_token(ctx, token, debuglevel));
    }
    if (ctx->silent != SILENT_NONE && ctx->answerfile[0] == '\0' && !ctx->undo) {
        // A run that cannot ask must not guess the user's answers; an undo asks nothing.
        return refuse(ctx, ctx->silent == SILENT_NOTHING ? "/VERYSILENT needs /ANSWERS=" : "/SILENT needs /ANSWERS=");
    }
    return ST_OK;
}
