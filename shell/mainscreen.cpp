#include "shell/mainscreen.h"

const char INS_noticeline[] = "Please wait while the installation program prepares your system.";

std::vector<gradient_band> INS_gradientbands(std::int32_t height)
{
    std::vector<gradient_band> bands;
    if (height <= 0) return bands;
    const std::int32_t s = height / 256;
    std::int32_t every = 0;  // every N-th band is one row taller; 0 = none
    if (s == 1) {
        every = 1;
    } else if (s == 2 && height % 256 != 0) {
        every = (height / 2) / (height % 256) - 1;
        if (every < 0) every = 0;
    }
    int blue = 255;
    std::int32_t top = 0;
    std::int32_t counter = 0;
    // Screens lower than 256 rows still get covered, one row a band.
    const std::int32_t base = s > 0 ? s : 1;
    while (top < height) {
        std::int32_t h = base;
        if (every > 0 && ++counter == every) {
            h += 1;
            counter = 0;
        }
        bands.push_back({top, h, std::uint8_t(blue)});
        top += h;
        if (blue > 0) --blue;
    }
    return bands;
}

mainscreen_sizes INS_mainscreensizes(int screenwidth)
{
    if (screenwidth == 640) return {30, 16, 3, 15, 7, 1, 47};
    if (screenwidth == 800) return {39, 21, 4, 17, 9, 2, 50};
    return {48, 26, 5, 20, 11, 3, 53};
}
