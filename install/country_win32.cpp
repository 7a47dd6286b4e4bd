// The country dialog (template 988).
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

struct country_table {
    char (*extensions)[COUNTRYEXT_SIZE];
    char (*names)[TEXTSIZE];
};
INT_PTR on_country_init(setup_context* ctx, HWND dialog, const country_table* countries)
{
    INS_centerwindow(ctx, dialog);
    INS_setwindowcaption(ctx, dialog);
    HWND list = GetDlgItem(dialog, IDC_COUNTRY_LIST);
    for (int i = 0; i < ctx->install->countrycount && countries; ++i) {
        UL_logstring(ctx, "name=", countries->names[i]);
        SendMessageA(list, LB_ADDSTRING, 0, LPARAM(countries->names[i]));
    }
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    INS_answerdialog(ctx, dialog, IDD_COUNTRY);
    return TRUE;
}

INT_PTR on_country_ok(setup_context* ctx, HWND dialog)
{
    LRESULT sel = SendDlgItemMessageA(dialog, IDC_COUNTRY_LIST, LB_GETCURSEL, 0, 0);
    if (sel == LB_ERR) return TRUE;
    INS_recorddialog(ctx, dialog, IDD_COUNTRY, IDOK);
    ctx->install->countryselection = std::int16_t(sel);
    EndDialog(dialog, 0);
    return TRUE;
}

// The list to offer comes with WM_INITDIALOG.
INT_PTR CALLBACK country_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    setup_context* ctx = INS_context;
    if (!ctx) return FALSE;
    switch (message) {
    case WM_INITDIALOG: return on_country_init(ctx, dialog, reinterpret_cast<const country_table*>(lparam));
    case WM_PAINT: INS_paintframes(ctx, dialog, IDC_FRAME_FIRST, IDC_COUNTRY_FRAME_END); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK: return on_country_ok(ctx, dialog);
        case IDCANCEL:
            INS_recorddialog(ctx, dialog, IDD_COUNTRY, IDCANCEL);
            EndDialog(dialog, 1);
            return TRUE;
        case IDC_HELP_BUTTON: INS_showhelp(ctx, dialog); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

status_t run_country_dialog(setup_context* ctx, country_table* table)
{
    char filename[TEXTSIZE];
    UL_makepath(filename, ctx->sourcedir, "COUNTRY\\COUNTRY.LST");
    UL_logstring(ctx, "filename =", filename);
    std::uint16_t exists = 0;
    UL_fileexists(filename, &exists);
    if (!exists) return ST_OK;  // no question; the extension keeps its value
    RETURN_IF_FAILED(INS_readcountrylist(ctx, filename, table->extensions, table->names, &ctx->install->countrycount));
    UL_logshort(ctx, "INS_numcountry=", ctx->install->countrycount);
    if (ctx->install->countrycount < 1) return ST_OK;
    INT_PTR result = INS_rundialog(ctx, IDD_COUNTRY, country_proc, LPARAM(table));
    if (result == -1) {
        UL_logline(ctx, "INS_askcountry cannot open dialog");
        return ST_GENERAL;
    }
    if (result == 1) return ST_CANCELLED;
    UL_copytext(ctx->countryext, table->extensions[ctx->install->countryselection]);
    UL_logstring(ctx, "country ext", ctx->countryext);
    return ST_OK;
}

}  // namespace

status_t INS_askcountry(setup_context* ctx)
{
    INS_context = ctx;
    ctx->helpcontext = 102;
    void* memory = nullptr;
    void* block = nullptr;
    status_t st = UL_allocmem(&memory, COUNTRY_MAX * (COUNTRYEXT_SIZE + TEXTSIZE), &block);
    if (st == ST_OK) {
        country_table table;
        table.extensions = static_cast<char (*)[COUNTRYEXT_SIZE]>(memory);
        table.names = reinterpret_cast<char (*)[TEXTSIZE]>(static_cast<char*>(memory) + COUNTRY_MAX * COUNTRYEXT_SIZE);
        st = run_country_dialog(ctx, &table);
        UL_freemem(block);
    } else {
        st = ST_GENERAL;
    }
    ctx->helpcontext = 101;
    return st;
}
