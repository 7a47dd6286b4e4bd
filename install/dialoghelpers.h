// What every dialog of the installer uses: placing it over its owner, its
// caption, the painted frames and the two-colour progress bar.
#pragma once
#include <cstdint>

#include "shell/context.h"

struct ul_rect {
    std::int32_t left, top, right, bottom;
};

// Centres the window over its visible parent (or the screen) and brings it to the front.
status_t INS_centerwindow(setup_context* ctx, ul_window window);
// Sets the window's caption to windowtitle.
status_t INS_setwindowcaption(setup_context* ctx, ul_window window);
// WM_PAINT handling: paints the frames of the controls first .. last - 1.
// Opens the help file at the dialog's current help context.
void INS_showhelp(setup_context* ctx, ul_window window);
status_t INS_paintframes(setup_context* ctx, ul_window dialog, int first, int last);
// One frame: dark grey and white edges, thickness lines deep; sunken swaps the pens.
status_t INS_drawframe(ul_window dialog, ul_handle dc, const ul_rect* rect, int thickness, int sunken);
// The bar in a control: percent of it blue with white text, the rest white with black text.
status_t INS_paintprogress(ul_window dialog, int control, int percent, const char* text);

// Portable parts, tested natively.
struct ul_point {
    std::int32_t x, y;
};
// Where INS_centerwindow puts a window of w x h: over parent when hasparent, on a screen of sw x sh.
ul_point INS_centerposition(bool hasparent, const ul_rect& parent, std::int32_t w, std::int32_t h,
                            std::int32_t sw, std::int32_t sh);
// Frame thickness and sunken flag from a marking control's window style.
int INS_framethickness(std::uint32_t style);
bool INS_framesunken(std::uint32_t style);
// Right edge of the filled part of a bar whose inner rectangle runs from left to right.
std::int32_t INS_progressedge(std::int32_t left, std::int32_t right, int percent);
