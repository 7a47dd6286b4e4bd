#include <windows.h>

#include <cstring>

#include "files/log.h"
#include "resources/ids.h"
#include "shell/mainscreen.h"
#include "shell/messages.h"
#include "shell/text.h"

namespace {

enum { STYLE_STRIKEOUT = 1, STYLE_UNDERLINE = 2, STYLE_ITALIC = 4 };

void draw_shadowed(HDC dc, int x, int y, int shadow, const char* text)
{
    int len = int(std::strlen(text));
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, x + shadow, y + shadow, text, len);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, x, y, text, len);
}

}  // namespace

status_t INS_createfont(setup_context* ctx, const char* face, int height, int width, int weight, int style,
                        HFONT* out)
{
    const bool dbcs = GetSystemMetrics(SM_DBCSENABLED) != 0;
    if (ctx->debuglevel > 0) {
        UL_logline(ctx, "INS_createfont called");
        UL_loglong(ctx, "height=", height);
        UL_loglonghex(ctx, "width=", std::uint32_t(width));
        UL_loglong(ctx, "weight=", weight);
        UL_loglonghex(ctx, "style=", std::uint32_t(style));
        UL_logstring(ctx, "face name=", face);
        UL_logshort(ctx, "DCBS=", dbcs ? 1 : 0);
    }
    LOGFONTA lf;
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
    if (face[0]) {
        UL_copytext(lf.lfFaceName, sizeof lf.lfFaceName, face);
        lf.lfCharSet = dbcs ? SHIFTJIS_CHARSET : DEFAULT_CHARSET;
    } else {
        UL_copytext(lf.lfFaceName, sizeof lf.lfFaceName, dbcs ? "SYSTEM" : "Arial");
        lf.lfCharSet = dbcs ? SHIFTJIS_CHARSET : DEFAULT_CHARSET;
    }
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfClipPrecision = CLIP_CHARACTER_PRECIS;
    lf.lfUnderline = (style & STYLE_UNDERLINE) ? 1 : 0;
    lf.lfStrikeOut = (style & STYLE_STRIKEOUT) ? 1 : 0;
    lf.lfItalic = (style & STYLE_ITALIC) ? 1 : 0;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfWidth = dbcs ? 0 : width;
    HFONT font = CreateFontIndirectA(&lf);
    if (ctx->debuglevel > 0 && font) {
        HWND main = static_cast<HWND>(ctx->mainwindow);
        HDC dc = GetDC(main);
        if (dc) {
            HGDIOBJ old = SelectObject(dc, font);
            TEXTMETRICA tm;
            GetTextMetricsA(dc, &tm);
            UL_loglong(ctx, "AveCharWidth=", tm.tmAveCharWidth);
            UL_loglong(ctx, "Height=", tm.tmHeight);
            UL_loglong(ctx, "Weight=", tm.tmWeight);
            SelectObject(dc, old);
            ReleaseDC(main, dc);
        }
    }
    *out = font;
    return ST_OK;
}

status_t INS_paintbackground(setup_context*, ul_window window, void* dc)
{
    RECT client;
    GetClientRect(static_cast<HWND>(window), &client);
    for (const gradient_band& band : INS_gradientbands(client.bottom - client.top)) {
        RECT r = {client.left, client.top + band.top, client.right + 1, client.top + band.top + band.height};
        HBRUSH brush = CreateSolidBrush(RGB(0, 0, band.blue));
        FillRect(static_cast<HDC>(dc), &r, brush);
        DeleteObject(brush);
    }
    return ST_OK;
}

status_t INS_paintmaintext(setup_context* ctx, ul_window window)
{
    const int screenwidth = GetSystemMetrics(SM_CXSCREEN);
    UL_loglong(ctx, "screenxmax=", screenwidth);
    const bool dbcs = GetSystemMetrics(SM_DBCSENABLED) != 0;
    HWND hwnd = static_cast<HWND>(window);
    HDC dc = GetDC(hwnd);
    if (!dc) return ST_OK;
    const mainscreen_sizes z = INS_mainscreensizes(screenwidth);
    SetBkMode(dc, TRANSPARENT);

    HFONT title = nullptr;
    INS_createfont(ctx, dbcs ? "" : "ARIAL", z.titleheight, z.titlewidth, 900, STYLE_ITALIC, &title);
    HGDIOBJ previous = SelectObject(dc, title);
    char text[MESSAGESIZE];
    status_t st = INS_loadmessage(ctx, text, "", IDS_PRODUCT_SETUP);
    if (st != ST_OK) {
        UL_logerror(ctx, "INS_paintmaintext", st);
        SelectObject(dc, previous);
        DeleteObject(title);
        ReleaseDC(hwnd, dc);
        return st;
    }
    draw_shadowed(dc, 10, 10, z.titleshadow, text);
    SelectObject(dc, previous);
    DeleteObject(title);

    HFONT notice = nullptr;
    INS_createfont(ctx, "ARIAL", z.noticeheight, z.noticewidth, 400, STYLE_ITALIC, &notice);
    SelectObject(dc, notice);
    INS_noticetext(ctx, text);
    draw_shadowed(dc, 10, z.noticetop, z.noticeshadow, text);
    SelectObject(dc, previous);
    ReleaseDC(hwnd, dc);
    DeleteObject(notice);
    return ST_OK;
}
