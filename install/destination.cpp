// What the destination and the user-details dialogs decide, apart from their
// windows: the checks of a typed destination, the modem choice, and what the
// end of the user dialog means.
#include <cstring>

#include "files/copyplan.h"
#include "files/diskspace.h"
#include "files/fileutil.h"
#include "files/log.h"
#include "install/dialogs.h"
#include "install/install.h"
#include "install/progress.h"
#include "install/unattended.h"
#include "integration/progman.h"
#include "modem/modem.h"
#include "modem/vendors.h"
#include "resources/ids.h"
#include "shell/messages.h"
#include "shell/text.h"

namespace {

// The question for a destination that is there already.
enum { QUESTION_DIRECTORY_EXISTS = IDS_DIRECTORY_EXISTS };

status_t refuse_destination(setup_context* ctx)
{
    INS_recorderror(ctx, ST_DEST_NOT_CREATED, ctx->pathname);
    return ST_DEST_NOT_CREATED;
}

}  // namespace

status_t INS_checkdestination(setup_context* ctx, ul_window owner, bool* accepted)
{
    *accepted = false;
    UL_logstring(ctx, "checkdir=", ctx->pathname);
    std::uint16_t exists = 0;
    UL_isdirectory(ctx, ctx->pathname, &exists);
    UL_logshort(ctx, "checkdir exist=", std::int16_t(exists));
    // Longer paths would be cut on the way and files land elsewhere.
    if (!INS_destinationfits(ctx->pathname)) return refuse_destination(ctx);
    if (!INS_progmanfield(ctx->pathname)) {
        // The program group's items carry the destination in quoted fields,
        // which cannot hold a '"', a '[' or ']' or a control character.
        if (UL_logdetail(ctx)) UL_logstring(ctx, "destination refused: ", ctx->pathname);
        return refuse_destination(ctx);
    }
    if (exists) {
        std::uint16_t yes = 0;
        RETURN_IF_FAILED(INS_askquestion(ctx, owner, QUESTION_DIRECTORY_EXISTS, ctx->productname, &yes));
        if (!yes) return ST_OK;
    }
    std::uint16_t reason = 0;
    RETURN_IF_FAILED(INS_checkdiskspace(ctx, &reason));
    std::uint16_t made = 0;
    INS_makepath(ctx, ctx->pathname, &made);
    if (made != 0) return refuse_destination(ctx);
    UL_addslash(ctx->pathname);
    *accepted = true;
    return ST_OK;
}

status_t INS_checkmodemchoice(setup_context* ctx, long selection)
{
    if (selection < 0) return ST_NO_MODEM_CHOSEN;
    // The second entry stands for "do not detect the modem".
    ctx->detectmodem = std::int16_t(1 - selection);
    if (ctx->detectmodem == 0) return ST_OK;
    std::uint16_t cannotopen = 0, noanswer = 0;
    RETURN_IF_FAILED(CM_probeport(ctx->comport, &cannotopen));
    if (cannotopen) return ST_NO_MODEM_PORT;
    RETURN_IF_FAILED(checkatcommand(ctx->comport, &noanswer));
    UL_logshort(ctx, "fail = ", std::int16_t(noanswer));
    return noanswer ? ST_MODEM_NO_ANSWER : ST_OK;
}

status_t INS_userdialogdone(setup_context* ctx, user_dialog_end end)
{
    UL_logline(ctx, "after askpath");
    switch (end) {
    case USER_DIALOG_NOT_SHOWN: UL_logline(ctx, "INS_askpath cannot open dialog"); return ST_GENERAL;
    case USER_DIALOG_CANCELLED: return ST_CANCELLED;
    case USER_DIALOG_BACK: ctx->INS_back = BACK_TO_DESTINATION; return ST_OK;
    case USER_DIALOG_OK: break;
    }
    if (ctx->detectmodem != 0) RETURN_IF_FAILED(INS_searchmodem(ctx));
    else ctx->INS_vendor = VENDOR_MODEMBLASTER;  // no detection: the default files
    UL_logstring(ctx, "pathname      = ", ctx->pathname);
    UL_logstring(ctx, "username      = ", ctx->username);
    UL_logstring(ctx, "terminalid    = ", ctx->terminalid);
    UL_logshort(ctx, "comport       = ", ctx->comport);
    return ST_OK;
}

status_t INS_searchmodem(setup_context* ctx)
{
    char word[MESSAGESIZE], title[TEXTSIZE], line1[MESSAGESIZE], line2[MESSAGESIZE];
    INS_loadmessage(ctx, word, "", IDS_INSTALLATION);
    INS_jointitle(ctx, word, title);
    INS_loadmessage(ctx, line1, "", IDS_SEARCHING_MODEM);
    INS_loadmessage(ctx, line2, "", IDS_PORTS_IN_TURN);
    ctx->INS_modem = 7;
    ctx->modemsearch = 1;
    status_t st = INS_keyabortopen(ctx, title, line1, line2);
    if (st == ST_OK) {
        ctx->progressnote = 8;
        st = INS_checkabort(ctx);
        if (st == ST_OK) st = INS_detectmodem(ctx);
        if (st == ST_OK) UL_logline(ctx, "after detect");
    }
    ctx->progressnote = 0;
    ctx->modemsearch = 0;
    INS_keyabortclose(ctx);
    return st;
}
