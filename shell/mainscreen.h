// The main screen: blue gradient backdrop, product title and notice line.
#pragma once
#include <cstdint>
#include <vector>

#include "shell/context.h"

struct gradient_band {
    std::int32_t top;
    std::int32_t height;
    std::uint8_t blue;
};
// The bands that fill a client area height pixels high, from the top.
std::vector<gradient_band> INS_gradientbands(std::int32_t height);

struct mainscreen_sizes {
    int titleheight, titlewidth, titleshadow;
    int noticeheight, noticewidth, noticeshadow, noticetop;
};
mainscreen_sizes INS_mainscreensizes(int screenwidth);

// The fixed notice line under the title.
extern const char INS_noticeline[];

status_t INS_paintbackground(setup_context* ctx, ul_window window, void* dc);
status_t INS_paintmaintext(setup_context* ctx, ul_window window);
