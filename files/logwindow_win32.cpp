// Paints debug log lines into the main window while it serves as log console.
#include <windows.h>

#include <cstring>

#include "files/log.h"

void UL_paintlogline(setup_context* ctx, const char* text)
{
    HWND window = static_cast<HWND>(ctx->logwindow);
    HDC dc = GetDC(window);
    if (!dc) return;
    RECT client;
    GetClientRect(window, &client);
    log_paint_step step = UL_nextlogline(ctx->logline_y, client.top, client.bottom);
    if (step.scroll) {
        ScrollWindow(window, 0, -20, nullptr, nullptr);
        UpdateWindow(window);
    }
    ctx->logline_y = step.y;
    TextOutA(dc, 0, ctx->logline_y, text, int(std::strlen(text)));
    ReleaseDC(window, dc);
}
