// The user details, modem and port dialog (template 997): the ports probed
// while it opens, the details kept on OK and on Back, then the identification.
#include <windows.h>

#include "files/fileutil.h"
#include "files/log.h"
#include "install/dialogbox_win32.h"
#include "install/dialoghelpers.h"
#include "install/dialogs.h"
#include "install/install.h"
#include "install/progress.h"
#include "install/unattended.h"
#include "modem/modem.h"
#include "resources/ids.h"
#include "shell/messages.h"
#include "shell/text.h"

namespace {

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
    {IDC_USER_NAME, &setup_context::username, 60, 59, 29},    {IDC_USER_COMPANY, &setup_context::companyname, 60, 59, 29},
    {IDC_USER_ADDRESS1, &setup_context::address1, 60, 59, 29},    {IDC_USER_ADDRESS2, &setup_context::address2, 60, 59, 29},
    {IDC_USER_DATANUMBER, &setup_context::datanumber, 50, 49, 19},  {IDC_USER_FAXNUMBER, &setup_context::terminalid, 50, 19, 19},
    {IDC_USER_PHONE, &setup_context::phonenumber, 50, 49, 19},
};

struct modem_list {
    char (*texts)[TEXTSIZE];
    std::int16_t count;
};

// Reports a failed check; the dialog stays open for another try.
void report(setup_context* ctx, status_t st)
{
    if (st != ST_OK && st != ST_CANCELLED) INS_errorbox(ctx, st);
}

HWND port_button(HWND dialog, std::int16_t port) { return GetDlgItem(dialog, IDC_USER_COM1 - 1 + port); }

void choose_port(HWND dialog, setup_context* ctx, std::int16_t port)
{
    CheckRadioButton(dialog, IDC_USER_COM1, IDC_USER_COM1 + PORTS - 1, IDC_USER_COM1 - 1 + port);
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
    SetDlgItemTextA(dialog, IDC_PRODUCT, ctx->producttitle);
    for (const auto& e : USER_EDITS) {
        SendDlgItemMessageA(dialog, e.control, EM_LIMITTEXT, WPARAM(e.limit), 0);
        SetDlgItemTextA(dialog, e.control, ctx->*e.field);
    }
    HWND list = GetDlgItem(dialog, IDC_USER_MODEMS);
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
    INS_answerdialog(ctx, dialog, IDD_USER);
    if (st == ST_OK) return TRUE;
    report(ctx, st);
    SetFocus(st == ST_NO_MODEM_PORT ? port_button(dialog, ctx->comport) : GetDlgItem(dialog, IDC_USER_NAME));
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
    LRESULT selection = SendDlgItemMessageA(dialog, IDC_USER_MODEMS, LB_GETCURSEL, 0, 0);
    status_t st = INS_checkmodemchoice(ctx, selection == LB_ERR ? -1 : long(selection));
    if (st == ST_NO_MODEM_CHOSEN) SetFocus(GetDlgItem(dialog, IDC_USER_MODEMS));
    else if (st != ST_OK) SetFocus(port_button(dialog, ctx->comport));
    else read_user_details(ctx, dialog, false);
    return st;
}

INT_PTR on_user_ok(setup_context* ctx, HWND dialog)
{
    INS_recorddialog(ctx, dialog, IDD_USER, IDOK);
    status_t st = check_user_choice(ctx, dialog);
    if (st == ST_OK) EndDialog(dialog, 0);
    else report(ctx, st);
    return TRUE;
}

INT_PTR on_user_command(setup_context* ctx, HWND dialog, int id)
{
    if (id >= IDC_USER_COM1 && id < IDC_USER_COM1 + PORTS) {
        choose_port(dialog, ctx, std::int16_t(id - IDC_USER_COM1 + 1));
        return TRUE;
    }
    switch (id) {
    case IDOK: return on_user_ok(ctx, dialog);
    case IDC_USER_BACK:
        INS_recorddialog(ctx, dialog, IDD_USER, IDC_USER_BACK);
        read_user_details(ctx, dialog, true);
        EndDialog(dialog, RESULT_BACK);
        return TRUE;
    case IDCANCEL:
        INS_recorddialog(ctx, dialog, IDD_USER, IDCANCEL);
        EndDialog(dialog, 1);
        return TRUE;
    case IDC_HELP_BUTTON: INS_showhelp(ctx, dialog); return TRUE;
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
    case WM_PAINT: INS_paintframes(ctx, dialog, IDC_FRAME_FIRST, IDC_USER_FRAME_END); return TRUE;
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
    INT_PTR result = INS_rundialog(ctx, IDD_USER, user_proc, LPARAM(list));
    if (result == -1) return INS_userdialogdone(ctx, USER_DIALOG_NOT_SHOWN);
    if (result == 1) return INS_userdialogdone(ctx, USER_DIALOG_CANCELLED);
    return INS_userdialogdone(ctx, result == RESULT_BACK ? USER_DIALOG_BACK : USER_DIALOG_OK);
}
}  // namespace

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
