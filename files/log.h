// The debug log: one writer and the line builders.
// Trace labels stay word for word as support staff match them, odd ones too ("Before if(INS_bak == 1)"): never tidy.
#pragma once
#include <cstdint>

#include "shell/context.h"

status_t UL_logline(setup_context* ctx, const char* text);
status_t UL_logerror(setup_context* ctx, const char* name, std::uint16_t status);
status_t UL_logstring(setup_context* ctx, const char* label, const char* string);
status_t UL_logshort(setup_context* ctx, const char* label, std::int16_t value);
status_t UL_logshorthex(setup_context* ctx, const char* label, std::int16_t value);
status_t UL_loglong(setup_context* ctx, const char* label, std::int32_t value);
status_t UL_loglonghex(setup_context* ctx, const char* label, std::uint32_t value);
status_t UL_writeline(setup_context* ctx, ul_file file, const char* text);

// True at debug level 2 and above, where the log also carries our own detail lines
// (the labels support staff match at level 0 stay as they are).
bool UL_logdetail(const setup_context* ctx);

// Paints one line (already cut to 79 characters) into the log window; platform side.
void UL_paintlogline(setup_context* ctx, const char* text);
// Where the next painted line goes and whether the window scrolls first.
struct log_paint_step {
    std::int16_t y;
    bool scroll;
};
log_paint_step UL_nextlogline(std::int16_t logline_y, std::int32_t top, std::int32_t bottom);
