// The closing dialog (template 991) and the programs it starts.
#include <windows.h>

#include "files/log.h"
#include "install/completion.h"
#include "install/dialogbox_win32.h"
#include "install/dialoghelpers.h"
#include "install/progress.h"
#include "install/unattended.h"
#include "resources/ids.h"
#include "shell/text.h"

namespace {

BOOL on_initdialog(HWND dialog)
{
    setup_context* ctx = INS_context;
    SetDlgItemTextA(dialog, IDC_PRODUCT, ctx->producttitle);
    SetDlgItemTextA(dialog, IDC_VERSION, ctx->INS_version);
    INS_centerwindow(ctx, dialog);
    INS_setwindowcaption(ctx, dialog);
    INS_answerdialog(ctx, dialog, IDD_DONE);
    return TRUE;
}

BOOL on_command(HWND dialog, int id)
{
    int result;
    switch (id) {
    case IDCANCEL:
    case IDC_DONE_FINISH: result = 0; break;
    case IDC_DONE_START: result = IDC_DONE_START; break;
    case IDC_HELP_BUTTON: result = IDC_HELP_BUTTON; break;
    default: return FALSE;
    }
    INS_recorddialog(INS_context, dialog, IDD_DONE, id);
    EndDialog(dialog, result);
    return TRUE;
}

INT_PTR CALLBACK done_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return on_initdialog(dialog);
    case WM_PAINT:
        INS_paintframes(INS_context, dialog, IDC_FRAME_FIRST, IDC_DONE_FRAME_END);
        return TRUE;
    case WM_COMMAND: return on_command(dialog, LOWORD(wparam));
    default: return FALSE;
    }
}

}  // namespace

status_t INS_rundonedialog(setup_context* ctx, int* result)
{
    INS_context = ctx;
    INT_PTR chosen = INS_rundialog(ctx, IDD_DONE, done_proc);
    if (chosen == -1) {
        UL_logerror(ctx, "INS_showdone", ST_NO_TEMPLATE);
        return ST_NO_TEMPLATE;
    }
    *result = int(chosen);
    return ST_OK;
}

void UL_runprogram(const char* commandline)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info = {};
    char line[MAX_PATH * 2];
    UL_copytext(line, sizeof line, commandline);
    if (CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
}

void UL_postclose(ul_window window)
{
    if (window) PostMessageA(static_cast<HWND>(window), WM_CLOSE, 0, 0);
}

void INS_closeprogresswindow(setup_context* ctx)
{
    // The progress window belongs to its own module, which closes it with
    // INS_keyabortclose; this is the completion's single call-site for it.
    if (UL_logdetail(ctx)) UL_logline(ctx, "close progress window");
    INS_keyabortclose(ctx);
}
