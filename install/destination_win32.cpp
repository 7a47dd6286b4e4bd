// The destination dialog (template 992): the directory, the room it needs,
// and the system directories read again once it is accepted.
#include <windows.h>

#include "files/fileutil.h"
#include "files/log.h"
#include "install/dialogbox_win32.h"
#include "install/dialoghelpers.h"
#include "install/dialogs.h"
#include "install/install.h"
#include "install/unattended.h"
#include "resources/ids.h"
#include "shell/messages.h"
#include "shell/platform.h"
#include "shell/startup.h"
#include "shell/text.h"

namespace {

void read_destination(HWND dialog, setup_context* ctx)
{
    char text[TEXTSIZE] = {};
    GetDlgItemTextA(dialog, IDC_DEST_EDIT, text, sizeof text);
    UL_copytext(ctx->pathname, text);
}

INT_PTR on_dest_init(setup_context* ctx, HWND dialog)
{
    INS_centerwindow(ctx, dialog);
    INS_setwindowcaption(ctx, dialog);
    SetDlgItemTextA(dialog, IDC_VERSION, ctx->INS_version);
    SetDlgItemTextA(dialog, IDC_PRODUCT, ctx->productline1);
    SetDlgItemTextA(dialog, IDC_PRODUCT2, ctx->productline2);
    SetDlgItemInt(dialog, IDC_DEST_SPACE, UINT(ctx->INS_diskspace), TRUE);
    // 79: what is typed is what is read back, never cut unseen.
    SendDlgItemMessageA(dialog, IDC_DEST_EDIT, EM_LIMITTEXT, TEXTSIZE - 1, 0);
    SetDlgItemTextA(dialog, IDC_DEST_EDIT, ctx->pathname);
    UL_logline(ctx, "Before if(INS_bak == 1)");
    UL_logshort(ctx, "INS_back = ", ctx->INS_back);
    if (ctx->INS_back == BACK_TO_DESTINATION) {
        // Coming back: the directory made on the last pass goes if still empty.
        read_destination(dialog, ctx);
        std::uint16_t result = 0;
        INS_deletedir(ctx, ctx->pathname, &result);
    }
    INS_answerdialog(ctx, dialog, IDD_DESTINATION);
    return TRUE;
}

INT_PTR on_dest_ok(setup_context* ctx, HWND dialog)
{
    INS_recorddialog(ctx, dialog, IDD_DESTINATION, IDC_DEST_OK);
    read_destination(dialog, ctx);
    bool accepted = false;
    status_t st = INS_checkdestination(ctx, dialog, &accepted);
    if (st != ST_OK) INS_errorbox(ctx, st);
    if (accepted && st == ST_OK) EndDialog(dialog, 0);
    return TRUE;
}

INT_PTR CALLBACK destination_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    setup_context* ctx = INS_context;
    if (!ctx) return FALSE;
    switch (message) {
    case WM_INITDIALOG: return on_dest_init(ctx, dialog);
    case WM_PAINT: INS_paintframes(ctx, dialog, IDC_FRAME_FIRST, IDC_DEST_FRAME_END); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDC_DEST_OK: return on_dest_ok(ctx, dialog);
        case IDCANCEL:
        case IDC_DEST_CANCEL:
            INS_recorddialog(ctx, dialog, IDD_DESTINATION, LOWORD(wparam));
            EndDialog(dialog, 1);
            return TRUE;
        case IDC_HELP_BUTTON: INS_showhelp(ctx, dialog); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}
}  // namespace

status_t INS_proceed(setup_context* ctx, std::uint16_t* cancelled)
{
    *cancelled = 1;
    INS_context = ctx;
    INT_PTR result = INS_rundialog(ctx, IDD_DESTINATION, destination_proc);
    if (result == -1) return ST_NO_TEMPLATE;
    UL_logshort(ctx, "cancel = ", std::int16_t(result));
    if (result != 0) return ST_OK;
    UL_copytext(ctx->programdir, ctx->pathname);
    UL_appendtext(ctx->programdir, "PROGRAM\\");
    UL_copytext(ctx->datadir, ctx->pathname);
    UL_appendtext(ctx->datadir, "DATA\\");
    RETURN_IF_FAILED(INS_readsystemdirs(ctx));
    if (ctx->INS_back == BACK_FIRST_SHOWING) INS_readuserini(ctx);
    *cancelled = 0;
    return ST_OK;
}
