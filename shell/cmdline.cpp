#include "shell/cmdline.h"

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

void apply_debug(const char* token, std::int16_t* level)
{
    long n = UL_atol(token + 1);
    *level = n <= 0 ? 1 : std::int16_t(n);
}

void apply_source(setup_context* ctx, const char* rest)
{
    char dir[TEXTSIZE];
    UL_copytext(dir, rest);
    UL_addslash(dir);
    UL_copytext(ctx->sourcedir, dir);
    ctx->tempcopy = 1;
}

void apply_token(setup_context* ctx, const char* token, std::int16_t* level)
{
    std::size_t len = std::strlen(token);
    if (len == 0) return;
    // Only the two answer-file options are ours; any other token keeps the classic rules.
    if (has_prefix_nocase(token, "/ANSWERS=")) {
        UL_copytext(ctx->answerfile, token + 9);
        return;
    }
    if (has_prefix_nocase(token, "/RECORD=")) {
        UL_copytext(ctx->recordfile, token + 8);
        return;
    }
    if (len <= 2 && (token[0] == 'D' || token[0] == 'd')) {
        apply_debug(token, level);
        return;
    }
    if (len > 2) {
        const char* at = std::strstr(token, "-S");
        if (!at) at = std::strstr(token, "-s");
        if (at) apply_source(ctx, at + 2);
    }
}

}  // namespace

status_t INS_parsecommandline(setup_context* ctx, const char* commandline, std::int16_t* debuglevel)
{
    char copy[CMDLINE_MAX + 1];
    UL_copytext(copy, commandline);
    char* token = copy;
    for (char* p = copy;; ++p) {
        if (*p == ' ' || *p == ',' || *p == '\0') {
            bool last = *p == '\0';
            *p = '\0';
            apply_token(ctx, token, debuglevel);
            if (last) break;
            token = p + 1;
        }
    }
    return ST_OK;
}
