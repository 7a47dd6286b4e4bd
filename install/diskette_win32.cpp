// The diskette dialog (template 900): asks for the next disk until its check
// file is there.
#include <windows.h>

#include "files/fileutil.h"
#include "files/log.h"
#include "install/dialogbox_win32.h"
#include "install/dialoghelpers.h"
#include "install/dialogs.h"
#include "install/state.h"
#include "install/unattended.h"
#include "resources/ids.h"
#include "shell/text.h"

namespace {

INT_PTR on_disk_init(setup_context* ctx, HWND dialog)
{
    char prompt[TEXTSIZE * 2];
    bool have = INS_diskprompt(ctx, ctx->install->disknumber, prompt, sizeof prompt);
    if (have) SetDlgItemTextA(dialog, IDC_DISK_PROMPT, prompt);
    INS_centerwindow(ctx, dialog);
    INS_setwindowcaption(ctx, dialog);
    INS_answerdialog(ctx, dialog, IDD_DISKETTE);
    if (have) return TRUE;
    SetFocus(GetDlgItem(dialog, IDC_DISK_OK));
    return FALSE;
}

INT_PTR on_disk_ok(setup_context* ctx, HWND dialog)
{
    UL_logline(ctx, "OK selected");
    INS_recorddialog(ctx, dialog, IDD_DISKETTE, IDC_DISK_OK);
    char check[TEXTSIZE];
    INS_diskcheckfile(ctx, ctx->install->disknumber, check);
    std::uint16_t exists = 0;
    status_t st = UL_fileexists(check, &exists);
    UL_logshort(ctx, "INS_disk = ", ctx->install->disknumber);
    UL_logstring(ctx, "filename = ", check);
    UL_logshort(ctx, "exist = ", std::int16_t(exists));
    if (st == ST_OK && exists) {
        EndDialog(dialog, 0);
    } else {
        SetFocus(GetDlgItem(dialog, IDC_DISK_OK));
    }
    return TRUE;
}

INT_PTR CALLBACK disk_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    setup_context* ctx = INS_context;
    if (!ctx) return FALSE;
    switch (message) {
    case WM_INITDIALOG: return on_disk_init(ctx, dialog);
    case WM_PAINT: INS_paintframes(ctx, dialog, IDC_FRAME_FIRST, IDC_DISK_FRAME_END); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDC_DISK_OK: return on_disk_ok(ctx, dialog);
        case IDCANCEL:
        case IDC_DISK_CANCEL:
            INS_recorddialog(ctx, dialog, IDD_DISKETTE, LOWORD(wparam));
            EndDialog(dialog, 1);
            return TRUE;
        case IDC_DISK_HELP:
            ctx->helpcontext = 107;
            INS_showhelp(ctx, dialog);
            return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

status_t INS_changediskette(setup_context* ctx, std::int16_t disk, std::uint16_t* cancelled)
{
    *cancelled = 1;
    INS_context = ctx;
    UL_logline(ctx, "In INS_changediskette");
    UL_logshort(ctx, "disknum = ", disk);
    ctx->install->disknumber = disk;
    UL_logline(ctx, "before dialog");
    INT_PTR result = INS_rundialog(ctx, IDD_DISKETTE, disk_proc);
    if (result == -1) return ST_NO_TEMPLATE;
    if (result == 0) *cancelled = 0;
    return ST_OK;
}
