#include "install/unattended.h"

#include <cstdio>
#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "install/journal.h"
#include "install/state.h"
#include "shell/messages.h"
#include "shell/platform.h"
#include "resources/ids.h"
#include "shell/text.h"

namespace {

// A default no INI value can hold, so that an empty answer counts as given.
const char ABSENT[] = "\x7f";

struct dialog_answers {
    unsigned templ;
    int cancelresult;   // what its Cancel ends it with
    int defaultbutton;  // pressed when the section names no button; 0 = an answer is required
    int cancelbutton;   // its Cancel button; 0 = none
};

// Dialogs of the installer and how an unattended run ends or passes them.
const dialog_answers DIALOGS[] = {
    {IDD_DISKETTE, 1, IDC_DISK_OK, IDC_DISK_CANCEL},  // OK until the check file appears
    {IDD_COUNTRY, 1, 0, IDC_CANCEL},
    {IDD_FAILURE, 0, IDC_FAILURE_OK, 0},  // closed, the run ends anyway
    {IDD_DONE, 0, IDC_DONE_FINISH, 0},    // close
    {IDD_DESTINATION, 1, 0, IDC_DEST_CANCEL},
    {IDD_USER, 1, 0, IDC_CANCEL},
};

const dialog_answers* find_dialog(unsigned templ)
{
    for (const auto& d : DIALOGS)
        if (d.templ == templ) return &d;
    return nullptr;
}

}  // namespace

bool INS_isunattended(const setup_context* ctx) { return ctx && ctx->answerfile[0] != '\0'; }

bool INS_isrecording(const setup_context* ctx) { return ctx && !INS_isunattended(ctx) && ctx->recordfile[0] != '\0'; }

unsigned INS_silentmode(const setup_context* ctx) { return INS_isunattended(ctx) ? unsigned(ctx->silent) : unsigned(SILENT_NONE); }

namespace {

// An answer file names dialogs and controls by their numbers.
#define NUMBER_TEXT_(n) #n
#define NUMBER_TEXT(n) NUMBER_TEXT_(n)

// /DIR= answers the destination's edit control in every showing of the dialog.
bool destination_override(const setup_context* ctx, const char* section, const char* key)
{
    if (!ctx->destinationarg[0] || std::strcmp(key, NUMBER_TEXT(IDC_DEST_EDIT)) != 0) return false;
    const char* dialog = NUMBER_TEXT(IDD_DESTINATION);
    const std::size_t length = std::strlen(dialog);
    return std::strncmp(section, dialog, length) == 0 && (section[length] == '\0' || section[length] == '.');
}

}  // namespace

bool INS_answertext(setup_context* ctx, unsigned section, const char* key, char* out, std::size_t size)
{
    char name[16];
    std::snprintf(name, sizeof name, "%u", section);
    return INS_answertextin(ctx, name, key, out, size);
}

void INS_answersection(setup_context* ctx, unsigned templ, int appearance, char out[16])
{
    char numbered[16], button[16];
    std::snprintf(numbered, sizeof numbered, "%u.%d", templ, appearance);
    if (INS_answertextin(ctx, numbered, "Button", button, sizeof button)) {
        UL_copytext(out, 16, numbered);
        return;
    }
    std::snprintf(out, 16, "%u", templ);
}

bool INS_answertextin(setup_context* ctx, const char* name, const char* key, char* out, std::size_t size)
{
    if (size > 0) out[0] = '\0';
    if (!INS_isunattended(ctx) || size == 0) return false;
    if (destination_override(ctx, name, key)) {
        UL_copytext(out, size, ctx->destinationarg);
        return true;
    }
    char value[TEXTSIZE * 2];
    UL_getprofilestring(name, key, ABSENT, value, sizeof value, ctx->answerfile);
    if (std::strcmp(value, ABSENT) == 0) return false;
    UL_copytext(out, size, value);
    return true;
}

void INS_recordtext(setup_context* ctx, unsigned section, const char* key, const char* value)
{
    if (!INS_isrecording(ctx)) return;
    char name[16];
    std::snprintf(name, sizeof name, "%u", section);
    UL_writeprofilestring(name, key, value, ctx->recordfile);
}

void INS_unattendedfail(setup_context* ctx, status_t status, const char* why)
{
    if (!ctx) return;
    char line[TEXTSIZE];
    UL_copytext(line, "unattended: ");
    UL_appendtext(line, why);
    UL_appendtext(line, " = ");
    UL_logshort(ctx, line, std::int16_t(status));
    if (ctx->install->unattendedstatus == ST_OK) ctx->install->unattendedstatus = status;
}

bool INS_unattendedbox(setup_context* ctx, status_t status, const char* body)
{
    if (!INS_isunattended(ctx)) return false;
    UL_logstring(ctx, "unattended box: ", body);
    INS_unattendedfail(ctx, status, "error box");
    return true;
}

bool INS_unattendedmessage(setup_context* ctx, const char* text)
{
    if (!INS_isunattended(ctx)) return false;
    UL_logstring(ctx, "unattended msg: ", text);
    return true;
}

status_t INS_unattendedoutcome(const setup_context* ctx, status_t status)
{
    if (!INS_isunattended(ctx) || ctx->install->unattendedstatus == ST_OK) return status;
    if (status == ST_OK || status == ST_CANCELLED) return ctx->install->unattendedstatus;
    return status;
}

int INS_cancelresult(unsigned templ)
{
    const dialog_answers* d = find_dialog(templ);
    return d ? d->cancelresult : -1;
}

bool INS_iscancelbutton(unsigned templ, int button)
{
    const dialog_answers* d = find_dialog(templ);
    return d && d->cancelbutton != 0 && d->cancelbutton == button;
}

int INS_defaultbutton(unsigned templ)
{
    const dialog_answers* d = find_dialog(templ);
    return d ? d->defaultbutton : 0;
}

bool INS_answerquestion(setup_context* ctx, unsigned number, std::uint16_t* yes)
{
    *yes = 0;
    if (!INS_isunattended(ctx)) return false;
    char answer[16];
    if (!INS_answertext(ctx, number, "Answer", answer, sizeof answer)) {
        char why[32];
        std::snprintf(why, sizeof why, "no answer to question %u", number);
        INS_unattendedfail(ctx, ST_BAD_REQUEST, why);
        return true;
    }
    *yes = UL_equalnocase(answer, "Yes") ? 1 : 0;
    UL_logstring(ctx, "unattended answer=", answer);
    return true;
}

void INS_noteresult(setup_context* ctx, status_t status, const char* text)
{
    if (!ctx) return;
    UL_copytext(ctx->install->resulttext, text);
    ctx->install->resulttextstatus = status;
}

void INS_resultstatustext(setup_context* ctx, status_t status, char* out, std::size_t size)
{
    if (size == 0) return;
    out[0] = '\0';
    if (!ctx || status == ST_OK) return;
    char message[MESSAGESIZE];
    INS_errortext(ctx, message, status);
    UL_copytext(out, size, message);
    if (status == ctx->lasterror && ctx->lasterrortext[0]) {
        UL_appendtext(out, size, " ");
        UL_appendtext(out, size, ctx->lasterrortext);
    }
}

void INS_writeresult(setup_context* ctx, status_t status)
{
    if (!ctx || !ctx->resultfile[0]) return;
    const install_state* state = ctx->install;
    char text[sizeof state->resulttext];
    if (state->resulttextstatus == status && state->resulttext[0]) UL_copytext(text, state->resulttext);
    else INS_resultstatustext(ctx, status, text, sizeof text);
    char number[16], port[16];
    // One section only, whatever an earlier run left in the file.
    UL_deletefile(ctx->resultfile);
    const char* file = ctx->resultfile;
    std::snprintf(number, sizeof number, "%u", unsigned(status));
    bool written = UL_writeprofilestring("Result", "Status", number, file);
    written = UL_writeprofilestring("Result", "Text", text, file) && written;
    written = UL_writeprofilestring("Result", "Product", ctx->producttitle, file) && written;
    written = UL_writeprofilestring("Result", "Destination", ctx->pathname, file) && written;
    std::snprintf(number, sizeof number, "%d", int(ctx->INS_vendor));
    written = UL_writeprofilestring("Result", "Vendor", number, file) && written;
    std::snprintf(port, sizeof port, "COM%d", int(ctx->comport));
    written = UL_writeprofilestring("Result", "Port", port, file) && written;
    // Only a log that was made: a refused or unopenable one is nowhere. An
    // undo writes its own removal log there.
    written = UL_writeprofilestring("Result", "Log", ctx->logfile || ctx->undo ? ctx->logname : "", file) && written;
    // A run that stopped says how to get back: restored already, or by /UNDO.
    char journal[TEXTSIZE], line[MESSAGESIZE];
    INS_journalpath(ctx, journal);
    std::uint16_t left = 0;
    if (status != ST_OK && !ctx->undo && state->restored) {
        INS_loadmessage(ctx, line, "", IDS_RESTORED);
        written = UL_writeprofilestring("Result", "Restored", line, file) && written;
    } else if (status != ST_OK && !ctx->undo && UL_fileexists(journal, &left) == ST_OK && left) {
        INS_loadmessage(ctx, line, "", IDS_UNDO_HINT);
        written = UL_writeprofilestring("Result", "Undo", line, file) && written;
    }
    if (UL_logdetail(ctx)) UL_logstring(ctx, written ? "result written=" : "result not written=", file);
}

namespace {

enum { STOP_UNREAD = 0, STOP_ARMED = 1, STOP_DUE = 2, STOP_NONE = 3 };

void read_stop(setup_context* ctx)
{
    install_state* state = ctx->install;
    state->stopstate = STOP_NONE;
    if (!INS_answertext(ctx, IDD_PROGRESS, "StopAfter", state->stopafter, sizeof state->stopafter)) return;
    if (state->stopafter[0] == '\0') return;
    char count[16];
    long n = INS_answertext(ctx, IDD_PROGRESS, "Count", count, sizeof count) ? UL_atol(count) : 1;
    state->stopcount = std::int16_t(n < 1 ? 1 : n > 30000 ? 30000 : n);
    state->stopstate = STOP_ARMED;
}

}  // namespace

void INS_unattendedlogline(setup_context* ctx, const char* line)
{
    if (!ctx || !line || !INS_isunattended(ctx)) return;
    install_state* state = ctx->install;
    if (state->stopstate == STOP_UNREAD) read_stop(ctx);
    if (state->stopstate != STOP_ARMED) return;
    if (std::strncmp(line, state->stopafter, std::strlen(state->stopafter)) != 0) return;
    if (--state->stopcount <= 0) state->stopstate = STOP_DUE;
}

bool INS_unattendedstopdue(setup_context* ctx, bool windowopen)
{
    if (!ctx || ctx->install->stopstate != STOP_DUE || !windowopen) return false;
    ctx->install->stopstate = STOP_NONE;
    return true;
}
