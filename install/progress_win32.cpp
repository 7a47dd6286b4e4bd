// The modeless progress window, its poll, and the modal failure notice.
#include <windows.h>

#include <cstdio>

#include "files/log.h"
#include "install/dialogbox_win32.h"
#include "install/dialoghelpers.h"
#include "install/progress.h"
#include "install/state.h"
#include "install/unattended.h"
#include "resources/ids.h"
#include "shell/messages.h"
#include "shell/text.h"

namespace {

const int STOP = IDCANCEL;

bool bar_shown(const setup_context* ctx)
{
    return ctx->modemsearch != 1 && ctx->install->progress.percenttext[0] != '\0';
}

void set_notes(setup_context* ctx, HWND window)
{
    for (int i = 0; i < PROGRESS_NOTES; ++i) SetDlgItemTextA(window, IDC_PROGRESS_NOTE1 + i, ctx->install->progress.notes[i]);
}

void draw_bar(setup_context* ctx, HWND window)
{
    const progress_state& progress = ctx->install->progress;
    if (bar_shown(ctx)) INS_paintprogress(window, IDC_PROGRESS_BAR, progress.percent, progress.percenttext);
}

void refresh_all(setup_context* ctx, HWND window)
{
    SetDlgItemTextA(window, IDC_PROGRESS_LINE1, ctx->install->progress.line1);
    SetDlgItemTextA(window, IDC_PROGRESS_LINE2, ctx->install->progress.line2);
    set_notes(ctx, window);
    draw_bar(ctx, window);
}

void empty_notes(setup_context* ctx)
{
    for (auto& n : ctx->install->progress.notes) n[0] = '\0';
}

INT_PTR on_progress_init(setup_context* ctx, HWND window)
{
    // A very silent run shows not even this; the window still takes the stop button.
    if (INS_silentmode(ctx) == SILENT_NOTHING) INS_keephidden(ctx, window);
    INS_centerwindow(ctx, window);
    SetWindowTextA(window, ctx->install->progress.title);
    SetFocus(GetDlgItem(window, STOP));
    refresh_all(ctx, window);
    return FALSE;
}

INT_PTR on_stop(HWND window)
{
    setup_context* ctx = INS_context;
    if (ctx) ctx->install->stoprequested = 1;
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner) EnableWindow(owner, TRUE);
    DestroyWindow(window);
    if (ctx) ctx->install->progress.window = nullptr;
    return TRUE;
}

INT_PTR CALLBACK progress_proc(HWND window, UINT message, WPARAM wparam, LPARAM)
{
    setup_context* ctx = INS_context;
    if (!ctx) return FALSE;
    switch (message) {
    case WM_INITDIALOG: return on_progress_init(ctx, window);
    case PROGRESS_REFRESHALL: refresh_all(ctx, window); return TRUE;
    case PROGRESS_REFRESHBAR: draw_bar(ctx, window); return TRUE;
    case PROGRESS_REFRESHNOTES: set_notes(ctx, window); return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wparam) == WA_ACTIVE) SetFocus(GetDlgItem(window, STOP));
        return FALSE;
    case WM_PAINT:
        INS_paintframes(ctx, window, IDC_FRAME_FIRST, IDC_PROGRESS_FRAME_END);
        draw_bar(ctx, window);
        return TRUE;
    case WM_DRAWITEM:
        // The bar control is owner-drawn, so its own repaint draws the bar too.
        if (wparam == WPARAM(IDC_PROGRESS_BAR)) draw_bar(ctx, window);
        return TRUE;
    case WM_COMMAND: return on_stop(window);
    default: return FALSE;
    }
}

struct notice_lines {
    char line1[TEXTSIZE];
    char line2[TEXTSIZE];
};

INT_PTR on_notice_init(setup_context* ctx, HWND box, const notice_lines* lines)
{
    INS_centerwindow(ctx, box);
    INS_setwindowcaption(ctx, box);
    SetDlgItemTextA(box, IDC_PRODUCT, ctx->producttitle);
    SetDlgItemTextA(box, IDC_FAILURE_STATUS, lines->line1);
    SetDlgItemTextA(box, IDC_FAILURE_TEXT, lines->line2);
    INS_answerdialog(ctx, box, IDD_FAILURE);
    return TRUE;
}

INT_PTR CALLBACK notice_proc(HWND box, UINT message, WPARAM wparam, LPARAM lparam)
{
    setup_context* ctx = INS_context;
    if (!ctx) return FALSE;
    switch (message) {
    case WM_INITDIALOG: return on_notice_init(ctx, box, reinterpret_cast<const notice_lines*>(lparam));
    case WM_PAINT: INS_paintframes(ctx, box, IDC_FRAME_FIRST, IDC_FAILURE_FRAME_END); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDCANCEL:
        case IDC_FAILURE_OK: EndDialog(box, 0); return TRUE;
        case IDC_FAILURE_HELP: INS_showhelp(ctx, box); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

status_t INS_keyabortopen(setup_context* ctx, const char* title, const char* line1, const char* line2)
{
    UL_logstring(ctx, "msg 1 = ", line1);
    UL_logstring(ctx, "msg 2 = ", line2);
    UL_logstring(ctx, "title = ", title);
    progress_state& progress = ctx->install->progress;
    if (progress.window) INS_keyabortclose(ctx);
    progress.previousfocus = GetFocus();
    UL_copytext(progress.title, title);
    UL_copytext(progress.line1, line1);
    UL_copytext(progress.line2, line2);
    empty_notes(ctx);
    if (ctx->modemsearch == 0) progress.percenttext[0] = '\0';
    HWND window = INS_opendialog(ctx, ctx->modemsearch == 1 ? IDD_PROGRESS_SEARCH : IDD_PROGRESS, progress_proc);
    if (!window) return ST_NO_TEMPLATE;
    progress.window = window;
    ShowWindow(window, SW_SHOW);
    return ST_OK;
}

status_t INS_keyabortpoll(setup_context* ctx, std::uint16_t* stop, std::uint16_t refresh)
{
    HWND window = static_cast<HWND>(ctx->install->progress.window);
    if (refresh) {
        bool erase = false;
        unsigned message = INS_progressrefresh(ctx, &ctx->install->progress, &erase);
        if (window && erase) InvalidateRect(window, nullptr, TRUE);
        if (window && message) PostMessageA(window, message, 0, 0);
    }
    if (INS_unattendedstopdue(ctx, window != nullptr)) {
        // The answer file's stop: the button is pressed as a person would press it.
        UL_logline(ctx, "unattended: stop button");
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(STOP, BN_CLICKED), LPARAM(GetDlgItem(window, STOP)));
    }
    MSG msg;
    while (!ctx->install->stoprequested && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to take: the main loop must still see it.
            PostQuitMessage(int(msg.wParam));
            break;
        }
        HWND current = static_cast<HWND>(ctx->install->progress.window);
        if (current && IsDialogMessageA(current, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    *stop = ctx->install->stoprequested ? 1 : 0;
    return ST_OK;
}

status_t INS_keyabortclose(setup_context* ctx)
{
    empty_notes(ctx);
    if (ctx->install->stoprequested) {
        ctx->install->stoprequested = 0;
        ctx->install->progress.window = nullptr;
        return ST_OK;
    }
    HWND window = static_cast<HWND>(ctx->install->progress.window);
    if (!window) return ST_OK;
    HWND previous = static_cast<HWND>(ctx->install->progress.previousfocus);
    if (previous && IsWindow(previous)) {
        EnableWindow(previous, TRUE);
        SetFocus(previous);
    }
    DestroyWindow(window);
    ctx->install->progress.window = nullptr;
    return ST_OK;
}

status_t INS_failinstall(setup_context* ctx, status_t status)
{
    notice_lines lines{};
    std::snprintf(lines.line1, sizeof lines.line1, "%u", unsigned(status));
    INS_statustext(ctx, status, lines.line2);
    UL_logstring(ctx, "abortmsg2 = ", lines.line2);
    char full[sizeof ctx->install->resulttext];
    INS_resultstatustext(ctx, status, full, sizeof full);
    INS_noteresult(ctx, status, full);
    INT_PTR result = INS_rundialog(ctx, IDD_FAILURE, notice_proc, LPARAM(&lines));
    return result == -1 ? ST_NO_TEMPLATE : ST_OK;
}
