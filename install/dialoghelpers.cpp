#include "install/dialoghelpers.h"

namespace {

// One axis: the parent's span unless the window is larger than it or its
// centre would start off the screen; then the whole screen.
void centre_axis(bool hasparent, std::int32_t lo, std::int32_t hi, std::int32_t size, std::int32_t screen,
                 std::int32_t* out)
{
    std::int32_t alo = 0, ahi = screen;
    if (hasparent) {
        std::int32_t probe = lo + size / 2;
        bool fits = size <= hi - lo && probe >= 0 && probe <= screen;
        if (fits) {
            alo = lo;
            ahi = hi;
        }
    }
    std::int32_t pos = alo + (ahi - alo - size) / 2;
    if (pos < 0) pos = 0;
    if (pos + size > screen) pos = screen - size;
    *out = pos;
}

}  // namespace

ul_point INS_centerposition(bool hasparent, const ul_rect& parent, std::int32_t w, std::int32_t h,
                            std::int32_t sw, std::int32_t sh)
{
    ul_point p{};
    centre_axis(hasparent, parent.left, parent.right, w, sw, &p.x);
    centre_axis(hasparent, parent.top, parent.bottom, h, sh, &p.y);
    return p;
}

int INS_framethickness(std::uint32_t style)
{
    if (style & 0x100) return 2;
    if (style & 0x200) return 3;
    return 1;
}

bool INS_framesunken(std::uint32_t style) { return (style & 0x1000) != 0; }

std::int32_t INS_progressedge(std::int32_t left, std::int32_t right, int percent)
{
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    std::int32_t d = right - left;
    if (d < 0) d = 0;
    return left + std::int32_t(std::int64_t(percent) * d / 100);
}
