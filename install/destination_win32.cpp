// The destination dialog (template 992) and the user-details, modem and port
// dialog (template 997) with the port probing and the identification after OK.
#include <windows.h>

#include "files/copyplan.h"
#include "files/fileutil.h"
#include "files/log.h"
#include "install/dialoghelpers.h"
#include "install/dialogs.h"
#include "install/install.h"
#include "install/progress.h"
#include "install/unattended.h"
#include "integration/progman.h"
#include "modem/modem.h"
#include "shell/messages.h"
#include "shell/platform.h"
#include "shell/text.h"

namespace {

const int DEST_EDIT = 102;
const int DEST_OK = 111;
const int MODEM_LIST = 123;
const int FIRST_PORT_BUTTON = 110;  // COM1; COMn is 109 + n
const int BACK = 301;
const int RESULT_BACK = 200;
const std::int16_t PORTS = 8;

// The user-detail edits: field, edit limit, characters kept on OK and on Back.
struct user_edit {
    int control;
    char (setup_context::*field)[TEXTSIZE];
    int limit;
    int onok;
    int onback;
};

const user_edit USER_EDITS[] = {
    {102, &setup_context::username, 60, 59, 29},    {124, &setup_context::companyname, 60, 59, 29},
    {125, &setup_context::address1, 60, 59, 29},    {126, &setup_context::address2, 60, 59, 29},
    {103, &setup_context::datanumber, 50, 49, 19},  {104, &setup_context::terminalid, 50, 19, 19},
    {127, &setup_context::phonenumber, 50, 49, 19},
};

struct modem_list {
    char (*texts)[TEXTSIZE];
    std::int16_t count;
};

HINSTANCE library(setup_context* ctx) { return static_cast<HINSTANCE>(ctx->resourcelib); }

// Reports a failed check; the dialog stays open for another try.
void report(setup_context* ctx, status_t st)
{
    if (st != ST_OK && st != ST_CANCELLED) INS_errorbox(ctx, st);
}

status_t reread_system_dirs(setup_context* ctx)
{
    char dir[MAX_PATH] = {};
    if (UL_getwindowsdir(dir, sizeof dir) == 0) return ST_GENERAL;
    dir[TEXTSIZE - 1] = '\0';
    UL_trim(ctx->windowsdir, dir);
    UL_addslash(ctx->windowsdir);
    if (UL_getsystemdir(dir, sizeof dir) == 0) return ST_GENERAL;
    dir[TEXTSIZE - 1] = '\0';
    UL_trim(ctx->systemdir, dir);
    UL_addslash(ctx->systemdir);
    return ST_OK;
}

// --- Destination ---------------------------------------------------------

void read_destination(HWND dialog, setup_context* ctx)
{
    char text[TEXTSIZE] = {};
    GetDlgItemTextA(dialog, DEST_EDIT, text, sizeof text);
    UL_copytext(ctx->pathname, text);
}

INT_PTR on_dest_init(setup_context* ctx, HWND dialog)
{
    INS_centerwindow(ctx, dialog);
    INS_setwindowcaption(ctx, dialog);
    SetDlgItemTextA(dialog, 130, ctx->INS_version);
    SetDlgItemTextA(dialog, 701, ctx->productline1);
    SetDlgItemTextA(dialog, 702, ctx->productline2);
    SetDlgItemInt(dialog, 101, UINT(ctx->INS_diskspace), TRUE);
    // 79: what is typed is what is read back, never cut unseen.
    SendDlgItemMessageA(dialog, DEST_EDIT, EM_LIMITTEXT, TEXTSIZE - 1, 0);
    SetDlgItemTextA(dialog, DEST_EDIT, ctx->pathname);
    UL_logline(ctx, "Before if(INS_bak == 1)");
    UL_logshort(ctx, "INS_back = ", ctx->INS_back);
    if (ctx->INS_back == BACK_TO_DESTINATION) {
        // Coming back: the directory made on the last pass goes if still empty.
        read_destination(dialog, ctx);
        std::uint16_t result = 0;
        INS_deletedir(ctx, ctx->pathname, &result);
    }
    INS_answerdialog(ctx, dialog, 992);
    return TRUE;
}

INT_PTR on_dest_ok(setup_context* ctx, HWND dialog)
{
    INS_recorddialog(ctx, dialog, 992, DEST_OK);
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
    case WM_PAINT: INS_paintframes(ctx, dialog, 20, 22); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case DEST_OK: return on_dest_ok(ctx, dialog);
        case IDCANCEL:
        case 112:
            INS_recorddialog(ctx, dialog, 992, LOWORD(wparam));
            EndDialog(dialog, 1);
            return TRUE;
        case 122: INS_showhelp(ctx, dialog); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

// --- User details, modem and port ----------------------------------------

HWND port_button(HWND dialog, std::int16_t port) { return GetDlgItem(dialog, FIRST_PORT_BUTTON - 1 + port); }

void choose_port(HWND dialog, setup_context* ctx, std::int16_t port)
{
    CheckRadioButton(dialog, FIRST_PORT_BUTTON, FIRST_PORT_BUTTON + PORTS - 1, FIRST_PORT_BUTTON - 1 + port);
    ctx->comport = port;
}

// Probes COM1 to COM8 and disables the buttons of ports without a modem.
status_t probe_ports(setup_context* ctx, HWND dialog, std::int16_t* lastgood)
{
    *lastgood = 0;
    for (std::int16_t port = 1; port <= PORTS; ++port) {
        ctx->progressnote = std::int16_t(port + 10);
        RETURN_IF_FAILED(INS_checkabort(ctx));
        std::uint16_t cannotopen = 0;
        RETURN_IF_FAILED(CM_probeport(port, &cannotopen));
        if (cannotopen) {
            EnableWindow(port_button(dialog, port), FALSE);
            continue;
        }
        std::uint16_t noanswer = 0;
        RETURN_IF_FAILED(checkatcommand(port, &noanswer));
        if (noanswer) EnableWindow(port_button(dialog, port), FALSE);
        else *lastgood = port;
    }
    return ST_OK;
}

void fill_user_details(setup_context* ctx, HWND dialog, const modem_list* modems)
{
    SetDlgItemTextA(dialog, 701, ctx->producttitle);
    for (const auto& e : USER_EDITS) {
        SendDlgItemMessageA(dialog, e.control, EM_LIMITTEXT, WPARAM(e.limit), 0);
        SetDlgItemTextA(dialog, e.control, ctx->*e.field);
    }
    HWND list = GetDlgItem(dialog, MODEM_LIST);
    for (int i = 0; modems && i < modems->count; ++i) SendMessageA(list, LB_ADDSTRING, 0, LPARAM(modems->texts[i]));
    SendMessageA(list, LB_SETCURSEL, 0, 0);
}

INT_PTR on_user_init(setup_context* ctx, HWND dialog, const modem_list* modems)
{
    INS_centerwindow(ctx, dialog);
    INS_setwindowcaption(ctx, dialog);
    fill_user_details(ctx, dialog, modems);
    std::int16_t lastgood = 0;
    status_t st = probe_ports(ctx, dialog, &lastgood);
    ctx->progressnote = 0;
    INS_keyabortclose(ctx);
    if (st == ST_OK) {
        if (lastgood) choose_port(dialog, ctx, lastgood);
        else st = ST_NO_MODEM_PORT;
    }
    INS_answerdialog(ctx, dialog, 997);
    if (st == ST_OK) return TRUE;
    report(ctx, st);
    SetFocus(st == ST_NO_MODEM_PORT ? port_button(dialog, ctx->comport) : GetDlgItem(dialog, 102));
    return FALSE;
}

void read_user_details(setup_context* ctx, HWND dialog, bool back)
{
    for (const auto& e : USER_EDITS) {
        char text[TEXTSIZE] = {};
        GetDlgItemTextA(dialog, e.control, text, (back ? e.onback : e.onok) + 1);
        UL_copytext(ctx->*e.field, text);
    }
}

status_t check_user_choice(setup_context* ctx, HWND dialog)
{
    LRESULT selection = SendDlgItemMessageA(dialog, MODEM_LIST, LB_GETCURSEL, 0, 0);
    status_t st = INS_checkmodemchoice(ctx, selection == LB_ERR ? -1 : long(selection));
    if (st == ST_NO_MODEM_CHOSEN) SetFocus(GetDlgItem(dialog, MODEM_LIST));
    else if (st != ST_OK) SetFocus(port_button(dialog, ctx->comport));
    else read_user_details(ctx, dialog, false);
    return st;
}

INT_PTR on_user_ok(setup_context* ctx, HWND dialog)
{
    INS_recorddialog(ctx, dialog, 997, IDOK);
    status_t st = check_user_choice(ctx, dialog);
    if (st == ST_OK) EndDialog(dialog, 0);
    else report(ctx, st);
    return TRUE;
}

INT_PTR on_user_command(setup_context* ctx, HWND dialog, int id)
{
    if (id >= FIRST_PORT_BUTTON && id < FIRST_PORT_BUTTON + PORTS) {
        choose_port(dialog, ctx, std::int16_t(id - FIRST_PORT_BUTTON + 1));
        return TRUE;
    }
    switch (id) {
    case IDOK: return on_user_ok(ctx, dialog);
    case BACK:
        INS_recorddialog(ctx, dialog, 997, BACK);
        read_user_details(ctx, dialog, true);
        EndDialog(dialog, RESULT_BACK);
        return TRUE;
    case IDCANCEL:
        INS_recorddialog(ctx, dialog, 997, IDCANCEL);
        EndDialog(dialog, 1);
        return TRUE;
    case 122: INS_showhelp(ctx, dialog); return TRUE;
    default: return FALSE;
    }
}

// The modem list to offer comes with WM_INITDIALOG.
INT_PTR CALLBACK user_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    setup_context* ctx = INS_context;
    if (!ctx) return FALSE;
    switch (message) {
    case WM_INITDIALOG: return on_user_init(ctx, dialog, reinterpret_cast<const modem_list*>(lparam));
    case WM_PAINT: INS_paintframes(ctx, dialog, 20, 30); return TRUE;
    case WM_COMMAND: return on_user_command(ctx, dialog, LOWORD(wparam));
    default: return FALSE;
    }
}

status_t run_user_dialog(setup_context* ctx, modem_list* list)
{
    char filename[TEXTSIZE];
    UL_makepath(filename, ctx->sourcedir, "FAX.LST");
    UL_logstring(ctx, "filename =", filename);
    std::int16_t numbers[MODEMLIST_MAX];
    if (INS_getselection(ctx, MODEMLIST_MAX, filename, list->texts, numbers, &list->count) != ST_OK)
        list->count = 0;  // an unusable list offers nothing
    UL_logline(ctx, "before write to system.ini");
    ctx->INS_back = BACK_NONE;
    UL_logline(ctx, "before askpath");
    INT_PTR result = DialogBoxParamA(library(ctx), MAKEINTRESOURCEA(997), static_cast<HWND>(ctx->mainwindow),
                                     user_proc, LPARAM(list));
    if (result == -1) return INS_userdialogdone(ctx, USER_DIALOG_NOT_SHOWN);
    if (result == 1) return INS_userdialogdone(ctx, USER_DIALOG_CANCELLED);
    return INS_userdialogdone(ctx, result == RESULT_BACK ? USER_DIALOG_BACK : USER_DIALOG_OK);
}

}  // namespace

status_t INS_proceed(setup_context* ctx, std::uint16_t* cancelled)
{
    *cancelled = 1;
    INS_context = ctx;
    INT_PTR result = DialogBoxParamA(library(ctx), MAKEINTRESOURCEA(992), static_cast<HWND>(ctx->mainwindow),
                                     destination_proc, 0);
    if (result == -1) return ST_NO_TEMPLATE;
    UL_logshort(ctx, "cancel = ", std::int16_t(result));
    if (result != 0) return ST_OK;
    UL_copytext(ctx->programdir, ctx->pathname);
    UL_appendtext(ctx->programdir, "PROGRAM\\");
    UL_copytext(ctx->datadir, ctx->pathname);
    UL_appendtext(ctx->datadir, "DATA\\");
    RETURN_IF_FAILED(reread_system_dirs(ctx));
    if (ctx->INS_back == BACK_FIRST_SHOWING) INS_readuserini(ctx);
    *cancelled = 0;
    return ST_OK;
}

status_t INS_askpath(setup_context* ctx)
{
    INS_context = ctx;
    ctx->helpcontext = 102;
    void* memory = nullptr;
    void* block = nullptr;
    status_t st = UL_allocmem(&memory, MODEMLIST_MAX * TEXTSIZE, &block);
    if (st == ST_OK) {
        modem_list list{static_cast<char (*)[TEXTSIZE]>(memory), 0};
        st = run_user_dialog(ctx, &list);
        UL_freemem(block);
    }
    if (st != ST_OK) UL_logerror(ctx, "INS_askpath", st);
    // Back returns to the destination dialog, still in the dialogs' help.
    if (st != ST_OK || ctx->INS_back == BACK_NONE) ctx->helpcontext = 101;
    return st;
}
