// The progress window with its stop button, and the failure notice.
#pragma once
#include <cstdint>

#include "shell/context.h"

// Private messages of the progress window.
enum : unsigned {
    PROGRESS_REFRESHALL = 1024,   // lines, notes and bar
    PROGRESS_REFRESHBAR = 1025,
    PROGRESS_REFRESHNOTES = 1026,
};

enum { PROGRESS_NOTES = 8 };

// What the window shows; one window at a time.
struct progress_state {
    ul_window window;
    ul_window previousfocus;
    char title[TEXTSIZE];
    char line1[TEXTSIZE];
    char line2[TEXTSIZE];
    char notes[PROGRESS_NOTES][TEXTSIZE];
    std::int16_t percent;
    char percenttext[32];    // empty: no bar is drawn
    char percentsuffix[20];  // message 433, loaded once
    std::uint16_t erasedonce;
};

status_t INS_keyabortopen(setup_context* ctx, const char* title, const char* line1, const char* line2);
// Refreshes the window (texts and bar when refresh is set), lets waiting
// messages through and reports whether the user asked to stop.
status_t INS_keyabortpoll(setup_context* ctx, std::uint16_t* stop, std::uint16_t refresh);
status_t INS_keyabortclose(setup_context* ctx);
// The modal failure notice with the status and its message text.
status_t INS_failinstall(setup_context* ctx, status_t status);

// Portable part.
// Bar fill from the byte counters, in kilobytes: 0-100.
std::int16_t INS_percentage(std::int32_t current, std::int32_t total);
// The port note for port n: message 464 with n, else message 457 ending in n.
void INS_portnote(setup_context* ctx, int port, char out[TEXTSIZE]);
// Updates the state for ctx->progressnote and returns the message to post to
// the window (0 for none); erase is set the first time 0 % is shown.
unsigned INS_progressrefresh(setup_context* ctx, progress_state* state, bool* erase);
// producttitle and the word (message 430) with one blank between them.
void INS_jointitle(const setup_context* ctx, const char* word, char out[TEXTSIZE]);
// Puts the number in place of the first %d of a format; other text stays literal.
void INS_formatnumber(char out[TEXTSIZE], const char* format, int number);
