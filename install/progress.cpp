#include "install/progress.h"

#include <cstdio>
#include <cstring>

#include "resources/ids.h"
#include "shell/messages.h"
#include "shell/text.h"

std::int16_t INS_percentage(std::int32_t current, std::int32_t total)
{
    std::int64_t done = current < 0 ? 0 : current / 1000;
    std::int64_t all = total < 0 ? 0 : total / 1000;
    if (all == 0) return 0;
    std::int64_t p = done * 100 / all;
    return std::int16_t(p >= 100 ? 100 : p);
}

void INS_formatnumber(char out[TEXTSIZE], const char* format, int number)
{
    // The format comes from the resource library: only %d is honoured, so a
    // stray conversion in a translated text cannot read beyond the argument.
    out[0] = '\0';
    const char* at = std::strstr(format, "%d");
    if (!at) {
        UL_copytext(out, TEXTSIZE, format);
        return;
    }
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", number);
    UL_copyleft(out, TEXTSIZE, format, std::size_t(at - format));
    UL_appendtext(out, TEXTSIZE, digits);
    UL_appendtext(out, TEXTSIZE, at + 2);
}

void INS_portnote(setup_context* ctx, int port, char out[TEXTSIZE])
{
    char text[MESSAGESIZE];
    if (INS_loadmessage(ctx, text, "", IDS_CHECKING_PORT_N) == ST_OK) {
        INS_formatnumber(out, text, port);
        return;
    }
    out[0] = '\0';
    if (INS_loadmessage(ctx, text, "", IDS_CHECKING_COM0) != ST_OK) return;
    std::size_t len = std::strlen(text);
    if (len > 0) text[len - 1] = char('0' + port % 10);
    UL_copytext(out, TEXTSIZE, text);
}

unsigned INS_progressrefresh(setup_context* ctx, progress_state* state, bool* erase)
{
    *erase = false;
    std::int16_t note = ctx->progressnote;
    if (note == 0) {
        if (state->percentsuffix[0] == '\0') {
            char suffix[MESSAGESIZE];
            if (INS_loadmessage(ctx, suffix, "", IDS_PERCENT) != ST_OK) UL_copytext(suffix, " %");
            UL_copytext(state->percentsuffix, suffix);
        }
        state->percent = INS_percentage(ctx->INS_currentfilesize, ctx->totalfilesize);
        std::snprintf(state->percenttext, sizeof state->percenttext, "%d", state->percent);
        UL_appendtext(state->percenttext, state->percentsuffix);
        if (state->percent == 0 && !state->erasedonce) {
            state->erasedonce = 1;
            *erase = true;
        }
        return PROGRESS_REFRESHBAR;
    }
    if (note == 8) {
        char text[MESSAGESIZE];
        if (INS_loadmessage(ctx, text, "", IDS_IDENTIFYING) != ST_OK) text[0] = '\0';
        UL_copytext(state->notes[0], text);
        return PROGRESS_REFRESHNOTES;
    }
    if (note >= 11 && note <= 18) {
        int port = note - 10;
        INS_portnote(ctx, port, state->notes[port - 1]);
        return PROGRESS_REFRESHALL;
    }
    return 0;
}

void INS_jointitle(const setup_context* ctx, const char* word, char out[TEXTSIZE])
{
    UL_copytext(out, TEXTSIZE, ctx->producttitle);
    std::size_t len = std::strlen(out);
    if (len > 0 && out[len - 1] != ' ' && word[0] != ' ' && word[0] != '\0') UL_appendtext(out, TEXTSIZE, " ");
    UL_appendtext(out, TEXTSIZE, word);
}
