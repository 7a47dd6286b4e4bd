#include <windows.h>

#include "files/log.h"
#include "install/dialogbox_win32.h"
#include "install/dialoghelpers.h"
#include "install/unattended.h"

namespace {

HWND hwnd_of(ul_window w) { return static_cast<HWND>(w); }

void line(HDC dc, int x0, int y0, int x1, int y1)
{
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

// The rectangle of one marking control in the dialog's client coordinates.
bool frame_rect(HWND dialog, HWND marker, RECT* out)
{
    RECT r;
    GetClientRect(marker, &r);
    if (IsRectEmpty(&r)) {
        // An empty marker frames the next control in the dialog's order.
        HWND next = GetWindow(marker, GW_HWNDNEXT);
        if (!next) return false;
        GetWindowRect(next, &r);
        InflateRect(&r, 1, 1);
        MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
        *out = r;
        return true;
    }
    MapWindowPoints(marker, dialog, reinterpret_cast<POINT*>(&r), 2);
    *out = r;
    return true;
}

}  // namespace

status_t INS_centerwindow(setup_context* ctx, ul_window window)
{
    if (ctx) INS_context = ctx;
    HWND w = hwnd_of(window);
    RECT own;
    GetWindowRect(w, &own);
    HWND parent = GetParent(w);
    bool hasparent = parent && IsWindowVisible(parent);
    ul_rect area{};
    if (hasparent) {
        RECT pr;
        GetWindowRect(parent, &pr);
        area = {pr.left, pr.top, pr.right, pr.bottom};
    }
    std::int32_t width = own.right - own.left, height = own.bottom - own.top;
    ul_point p = INS_centerposition(hasparent, area, width, height, GetSystemMetrics(SM_CXSCREEN),
                                    GetSystemMetrics(SM_CYSCREEN));
    MoveWindow(w, p.x, p.y, width, height, TRUE);
    // A silent run leaves the keyboard to whoever works at the machine.
    if (INS_silentmode(INS_context) == SILENT_NONE) SetForegroundWindow(w);
    return ST_OK;
}

status_t INS_setwindowcaption(setup_context* ctx, ul_window window)
{
    UL_logline(ctx, "INS_setwindowcaption");
    UL_logstring(ctx, "Setting caption to ", ctx->windowtitle);
    SetWindowTextA(hwnd_of(window), ctx->windowtitle);
    return ST_OK;
}

status_t INS_paintframes(setup_context*, ul_window dialog, int first, int last)
{
    HWND d = hwnd_of(dialog);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(d, &ps);
    for (int id = first; id < last; ++id) {
        HWND marker = GetDlgItem(d, id);
        if (!marker) continue;
        DWORD style = DWORD(GetWindowLongA(marker, GWL_STYLE));
        RECT r;
        if (!frame_rect(d, marker, &r)) continue;
        ul_rect box{r.left, r.top, r.right, r.bottom};
        INS_drawframe(dialog, dc, &box, INS_framethickness(style), INS_framesunken(style) ? 1 : 0);
    }
    EndPaint(d, &ps);
    return ST_OK;
}

status_t INS_drawframe(ul_window, ul_handle dcv, const ul_rect* rect, int t, int sunken)
{
    HDC dc = static_cast<HDC>(dcv);
    HPEN grey = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
    HPEN white = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HPEN first = sunken ? white : grey;
    HPEN second = sunken ? grey : white;
    HGDIOBJ oldpen = SelectObject(dc, first);
    int oldmode = SetROP2(dc, R2_COPYPEN);
    int left = rect->left, top = rect->top, right = rect->right, bottom = rect->bottom;
    int height = bottom - top, width = right - left;
    for (int i = 0; i < t; ++i) {
        if (t < height && t < width) {
            int l = left + i, tp = top + i, r = right - i, b = bottom - i;
            SelectObject(dc, first);
            MoveToEx(dc, r - 1, tp, nullptr);
            LineTo(dc, l, tp);
            LineTo(dc, l, b);
            SelectObject(dc, second);
            LineTo(dc, r, b);
            LineTo(dc, r, tp - 1);
        } else if (t < height) {
            SelectObject(dc, first);
            line(dc, left + i, top, left + i, bottom);
            SelectObject(dc, second);
            line(dc, right - i, top, right - i, bottom);
        } else {
            SelectObject(dc, first);
            line(dc, left, top + i, right, top + i);
            SelectObject(dc, second);
            line(dc, left, bottom - i, right, bottom - i);
        }
    }
    SelectObject(dc, oldpen);
    SetROP2(dc, oldmode);
    DeleteObject(grey);
    DeleteObject(white);
    return ST_OK;
}

status_t INS_paintprogress(ul_window dialog, int control, int percent, const char* text)
{
    HWND bar = GetDlgItem(hwnd_of(dialog), control);
    if (!bar) return ST_OK;
    RECT r;
    GetClientRect(bar, &r);
    InflateRect(&r, -1, -1);
    HDC dc = GetDC(bar);
    RECT filled = r, rest = r;
    filled.right = INS_progressedge(r.left, r.right, percent);
    rest.left = filled.right;
    HGDIOBJ oldfont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(bar, WM_GETFONT, 0, 0)));
    SIZE x{};
    GetTextExtentPoint32A(dc, "X", 1, &x);
    int cx = r.left + (r.right - r.left) / 2;
    int cy = r.top + (r.bottom - r.top - x.cy) / 2;
    int len = int(lstrlenA(text));
    UINT oldalign = SetTextAlign(dc, TA_CENTER | TA_TOP);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 255));
    ExtTextOutA(dc, cx, cy, ETO_CLIPPED | ETO_OPAQUE, &filled, text, UINT(len), nullptr);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    ExtTextOutA(dc, cx, cy, ETO_CLIPPED | ETO_OPAQUE, &rest, text, UINT(len), nullptr);
    if (oldfont) SelectObject(dc, oldfont);
    SetTextAlign(dc, oldalign);
    ReleaseDC(bar, dc);
    return ST_OK;
}

void INS_showhelp(setup_context* ctx, ul_window window)
{
    WinHelpA(static_cast<HWND>(window), ctx->helpfile, HELP_CONTEXT, ULONG_PTR(ctx->helpcontext));
}

INT_PTR INS_rundialog(setup_context* ctx, unsigned templ, DLGPROC proc, LPARAM param)
{
    return DialogBoxParamA(static_cast<HINSTANCE>(ctx->resourcelib), MAKEINTRESOURCEA(templ),
                           static_cast<HWND>(ctx->mainwindow), proc, param);
}

HWND INS_opendialog(setup_context* ctx, unsigned templ, DLGPROC proc)
{
    return CreateDialogParamA(static_cast<HINSTANCE>(ctx->resourcelib), MAKEINTRESOURCEA(templ),
                              static_cast<HWND>(ctx->mainwindow), proc, 0);
}
