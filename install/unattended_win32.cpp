// Feeding a dialog its answers through the messages a person's input produces,
// and writing down what a person entered.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "files/log.h"
#include "install/state.h"
#include "install/unattended.h"
#include "resources/ids.h"
#include "shell/messages.h"
#include "shell/platform.h"
#include "shell/text.h"

namespace {

const UINT_PTR TIMER_FEED = 0x4E51;   // first feed, once the modal loop runs
const UINT_PTR TIMER_WATCH = 0x4E52;  // the dialog outlived its button
const UINT FEED_DELAY_MS = 50;
const UINT FEED_DELAY_MAX_MS = 60000;  // [Options] Delay= is capped at a minute
const UINT WATCH_DELAY_MS = 500;      // also the diskette dialog's retry period
const DWORD DISK_WAIT_DEFAULT_S = 60;
const char PROP_TEMPLATE[] = "INS_template";
const char PROP_START[] = "INS_fedat";
const char PROP_SHOWING[] = "INS_showing";
const int MAX_SHOWINGS = 20;  // an answer file that loops through Back for ever ends

int next_showing(setup_context* ctx, unsigned templ)
{
    for (auto& s : ctx->install->showings) {
        if (s.templ == templ || s.templ == 0) {
            s.templ = templ;
            return ++s.count;
        }
    }
    return MAX_SHOWINGS + 1;
}

enum control_kind { KIND_OTHER, KIND_EDIT, KIND_LIST, KIND_CHOICE };

control_kind kind_of(HWND control)
{
    char cls[32] = {};
    GetClassNameA(control, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0) return KIND_EDIT;
    if (lstrcmpiA(cls, "ListBox") == 0) return KIND_LIST;
    if (lstrcmpiA(cls, "Button") == 0) {
        LONG type = GetWindowLongA(control, GWL_STYLE) & 0x0F;
        if (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON || type == BS_CHECKBOX ||
            type == BS_AUTOCHECKBOX)
            return KIND_CHOICE;
    }
    return KIND_OTHER;
}

void press(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

struct feed_state {
    setup_context* ctx;
    HWND dialog;
    unsigned templ;
    char section[16];
};

unsigned template_of(HWND dialog) { return unsigned(reinterpret_cast<UINT_PTR>(GetPropA(dialog, PROP_TEMPLATE))); }

void section_of(setup_context* ctx, HWND dialog, char out[16])
{
    int showing = int(reinterpret_cast<UINT_PTR>(GetPropA(dialog, PROP_SHOWING)));
    INS_answersection(ctx, template_of(dialog), showing, out);
}

// One control's answer, set as the user would: typed text, a list choice, a click.
BOOL CALLBACK feed_control(HWND control, LPARAM param)
{
    auto* f = reinterpret_cast<feed_state*>(param);
    if (GetParent(control) != f->dialog) return TRUE;
    int id = GetDlgCtrlID(control);
    char key[16], value[TEXTSIZE * 2];
    std::snprintf(key, sizeof key, "%d", id);
    if (!INS_answertextin(f->ctx, f->section, key, value, sizeof value)) return TRUE;
    switch (kind_of(control)) {
    case KIND_EDIT:
        SetWindowTextA(control, value);
        break;
    case KIND_LIST: {
        LRESULT index = SendMessageA(control, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(value));
        if (index == LB_ERR && value[0] == '#') index = UL_atol(value + 1);
        if (index != LB_ERR) SendMessageA(control, LB_SETCURSEL, WPARAM(index), 0);
        if (index == LB_ERR || SendMessageA(control, LB_GETCURSEL, 0, 0) == LB_ERR) {
            UL_logstring(f->ctx, "unattended no entry=", value);
            INS_unattendedfail(f->ctx, ST_BAD_REQUEST, "list entry not offered");
        }
        SendMessageA(f->dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), LPARAM(control));
        break;
    }
    case KIND_CHOICE:
        if (UL_atol(value) != 0 && IsWindowEnabled(control)) {
            SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
            press(f->dialog, id);
        } else if (UL_atol(value) != 0) {
            // A person cannot click a disabled button either.
            UL_loglong(f->ctx, "unattended: disabled choice ", id);
            INS_unattendedfail(f->ctx, ST_BAD_REQUEST, "choice not available");
        }
        break;
    default:
        break;
    }
    return TRUE;
}

// Ends the dialog as its Cancel would; the caller's 13000 becomes the recorded reason.
void give_up(setup_context* ctx, HWND dialog, unsigned templ, status_t status, const char* why)
{
    INS_unattendedfail(ctx, status, why);
    int result = INS_cancelresult(templ);
    EndDialog(dialog, result < 0 ? 1 : result);
}

int button_for(setup_context* ctx, HWND dialog)
{
    char section[16], value[16];
    section_of(ctx, dialog, section);
    if (INS_answertextin(ctx, section, "Button", value, sizeof value)) return int(UL_atol(value));
    return INS_defaultbutton(template_of(dialog));
}

void CALLBACK on_watch(HWND dialog, UINT, UINT_PTR, DWORD)
{
    setup_context* ctx = INS_context;
    unsigned templ = template_of(dialog);
    if (!ctx) return;
    if (templ == IDD_DISKETTE) {
        // A media changer outside the installer may swap the disk meanwhile.
        DWORD started = DWORD(reinterpret_cast<UINT_PTR>(GetPropA(dialog, PROP_START)));
        char section[16], value[16];
        section_of(ctx, dialog, section);
        DWORD limit = DISK_WAIT_DEFAULT_S;
        if (INS_answertextin(ctx, section, "Timeout", value, sizeof value)) limit = DWORD(UL_atol(value));
        if (GetTickCount() - started < limit * 1000) {
            press(dialog, button_for(ctx, dialog));
            return;
        }
        KillTimer(dialog, TIMER_WATCH);
        give_up(ctx, dialog, templ, ST_NOT_AVAILABLE, "diskette not inserted in time");
        return;
    }
    KillTimer(dialog, TIMER_WATCH);
    char why[48];
    std::snprintf(why, sizeof why, "dialog %u stayed open", templ);
    give_up(ctx, dialog, templ, ST_BAD_REQUEST, why);
}

void CALLBACK on_feed(HWND dialog, UINT, UINT_PTR, DWORD)
{
    KillTimer(dialog, TIMER_FEED);
    setup_context* ctx = INS_context;
    if (!ctx) return;
    feed_state f{ctx, dialog, template_of(dialog), {}};
    section_of(ctx, dialog, f.section);
    if (UL_logdetail(ctx)) UL_logstring(ctx, "unattended: dialog ", f.section);
    if (ctx->install->unattendedstatus != ST_OK) {
        give_up(ctx, dialog, f.templ, ctx->install->unattendedstatus, "run already failing");
        return;
    }
    if (int(reinterpret_cast<UINT_PTR>(GetPropA(dialog, PROP_SHOWING))) > MAX_SHOWINGS) {
        give_up(ctx, dialog, f.templ, ST_BAD_REQUEST, "dialog shown too often");
        return;
    }
    int button = button_for(ctx, dialog);
    if (button == 0) {
        char why[48];
        std::snprintf(why, sizeof why, "no answer for dialog %u", f.templ);
        give_up(ctx, dialog, f.templ, ST_BAD_REQUEST, why);
        return;
    }
    EnumChildWindows(dialog, feed_control, LPARAM(&f));
    if (ctx->install->unattendedstatus != ST_OK) {
        give_up(ctx, dialog, f.templ, ctx->install->unattendedstatus, "answer refused");
        return;
    }
    // The forward buttons are detail; a Cancel ends the run and stays in every log.
    if (UL_logdetail(ctx) || INS_iscancelbutton(f.templ, button)) UL_loglong(ctx, "unattended: button ", button);
    SetPropA(dialog, PROP_START, reinterpret_cast<HANDLE>(UINT_PTR(GetTickCount())));
    press(dialog, button);
    // Still here after the button: a check failed (error box) or the dialog waits.
    if (ctx->install->unattendedstatus != ST_OK) {
        give_up(ctx, dialog, f.templ, ctx->install->unattendedstatus, "check failed");
        return;
    }
    SetTimer(dialog, TIMER_WATCH, WATCH_DELAY_MS, on_watch);
}

struct record_state {
    setup_context* ctx;
    HWND dialog;
    unsigned templ;
};

BOOL CALLBACK record_control(HWND control, LPARAM param)
{
    auto* r = reinterpret_cast<record_state*>(param);
    if (GetParent(control) != r->dialog) return TRUE;
    char key[16], value[TEXTSIZE * 2] = {};
    std::snprintf(key, sizeof key, "%d", GetDlgCtrlID(control));
    switch (kind_of(control)) {
    case KIND_EDIT:
        GetWindowTextA(control, value, sizeof value);
        INS_recordtext(r->ctx, r->templ, key, value);
        break;
    case KIND_LIST: {
        LRESULT sel = SendMessageA(control, LB_GETCURSEL, 0, 0);
        if (sel == LB_ERR) break;
        std::snprintf(value, sizeof value, "#%ld", long(sel));
        INS_recordtext(r->ctx, r->templ, key, value);
        break;
    }
    case KIND_CHOICE:
        if (SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED) INS_recordtext(r->ctx, r->templ, key, "1");
        break;
    default:
        break;
    }
    return TRUE;
}

const char PROP_OLDPROC[] = "INS_shownproc";

LRESULT CALLBACK hidden_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    WNDPROC old = reinterpret_cast<WNDPROC>(reinterpret_cast<LONG_PTR>(GetPropA(window, PROP_OLDPROC)));
    switch (message) {
    case WM_WINDOWPOSCHANGING:
        // The dialog manager, ShowWindow and SetWindowPos all show a window through here.
        // Nor may it take the keyboard from whoever works at the machine.
        if (reinterpret_cast<WINDOWPOS*>(lparam)->flags & SWP_SHOWWINDOW)
            reinterpret_cast<WINDOWPOS*>(lparam)->flags |= SWP_NOACTIVATE;
        reinterpret_cast<WINDOWPOS*>(lparam)->flags &= ~UINT(SWP_SHOWWINDOW);
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropA(window, PROP_OLDPROC);
        break;
    default:
        break;
    }
    return CallWindowProcA(old, window, message, wparam, lparam);
}

// The closing dialog's own text (its label without a control number), for the result file.
BOOL CALLBACK closing_text(HWND control, LPARAM param)
{
    char cls[16] = {};
    GetClassNameA(control, cls, sizeof cls);
    int id = GetDlgCtrlID(control);
    if (lstrcmpiA(cls, "Static") != 0 || (id != 0xFFFF && id != -1)) return TRUE;
    auto* ctx = reinterpret_cast<setup_context*>(param);
    char text[sizeof ctx->install->resulttext] = {};
    GetWindowTextA(control, text, sizeof text);
    if (!text[0]) return TRUE;
    INS_noteresult(ctx, ST_OK, text);
    return FALSE;
}

}  // namespace

void INS_keephidden(setup_context* ctx, ul_window window)
{
    HWND w = static_cast<HWND>(window);
    if (!w || GetPropA(w, PROP_OLDPROC)) return;
    LONG_PTR old = GetWindowLongPtrA(w, GWLP_WNDPROC);
    SetPropA(w, PROP_OLDPROC, reinterpret_cast<HANDLE>(old));
    SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hidden_proc));
    // Shown already (a template with WS_VISIBLE shown early): taken off again.
    if (IsWindowVisible(w)) ShowWindow(w, SW_HIDE);
    if (UL_logdetail(ctx)) UL_logline(ctx, "silent: window kept hidden");
}

void INS_answerdialog(setup_context* ctx, ul_window dialog, unsigned templ)
{
    HWND d = static_cast<HWND>(dialog);
    if (templ == IDD_DONE && ctx && ctx->resultfile[0]) EnumChildWindows(d, closing_text, LPARAM(ctx));
    if (!INS_isunattended(ctx)) return;
    if (INS_silentmode(ctx) != SILENT_NONE) INS_keephidden(ctx, dialog);
    if (UL_logdetail(ctx)) UL_loglong(ctx, "unattended: showing ", long(templ));
    SetPropA(d, PROP_TEMPLATE, reinterpret_cast<HANDLE>(UINT_PTR(templ)));
    SetPropA(d, PROP_SHOWING, reinterpret_cast<HANDLE>(UINT_PTR(next_showing(ctx, templ))));
    // [Options] Delay= holds each dialog on screen that long before it is answered,
    // so that a person or a screenshot tool can see it.
    UINT delay = FEED_DELAY_MS;
    char value[16];
    if (INS_answertextin(ctx, "Options", "Delay", value, sizeof value)) {
        long ms = UL_atol(value);
        if (ms > long(FEED_DELAY_MAX_MS)) ms = FEED_DELAY_MAX_MS;
        if (ms > long(FEED_DELAY_MS)) delay = UINT(ms);
    }
    SetTimer(d, TIMER_FEED, delay, on_feed);
}

void INS_recorddialog(setup_context* ctx, ul_window dialog, unsigned templ, int button)
{
    if (!INS_isrecording(ctx)) return;
    record_state r{ctx, static_cast<HWND>(dialog), templ};
    EnumChildWindows(r.dialog, record_control, LPARAM(&r));
    char value[16];
    std::snprintf(value, sizeof value, "%d", button);
    INS_recordtext(ctx, templ, "Button", value);
}

status_t INS_askquestion(setup_context* ctx, ul_window owner, unsigned number, const char* caption,
                         std::uint16_t* yes)
{
    *yes = 0;
    char text[MESSAGESIZE];
    RETURN_IF_FAILED(INS_loadmessage(ctx, text, "", number));
    if (INS_answerquestion(ctx, number, yes)) return ST_OK;
    int answer = MessageBoxA(static_cast<HWND>(owner), text, caption, MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION);
    *yes = answer == IDYES ? 1 : 0;
    INS_recordtext(ctx, number, "Answer", *yes ? "Yes" : "No");
    return ST_OK;
}
