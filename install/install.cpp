#include "install/install.h"

#include <cstring>
#include <initializer_list>

#include "files/archive.h"
#include "files/copyplan.h"
#include "files/fileutil.h"
#include "files/log.h"
#include "install/completion.h"
#include "install/dialogs.h"
#include "install/journal.h"
#include "install/progress.h"
#include "install/state.h"
#include "install/record.h"
#include "install/unattended.h"
#include "integration/integration.h"
#include "modem/modem.h"
#include "resources/ids.h"
#include "shell/messages.h"
#include "shell/platform.h"
#include "shell/text.h"
#include "voice/voice.h"

namespace {

// The dialog loop: destination, then user details with the port probing; Back repeats it.
status_t ask_everything(setup_context* ctx)
{
    RETURN_IF_FAILED(INS_askcountry(ctx));
    do {
        UL_logline(ctx, "Before INS_proceed");
        std::uint16_t cancelled = 1;
        RETURN_IF_FAILED(INS_proceed(ctx, &cancelled));
        ctx->INS_back = BACK_NONE;
        if (cancelled) return ST_CANCELLED;
        ctx->INS_modem = 1;
        ctx->modemsearch = 1;
        char title[MESSAGESIZE], line1[MESSAGESIZE], line2[MESSAGESIZE];
        INS_loadmessage(ctx, title, "", IDS_INSTALLATION);
        INS_loadmessage(ctx, line1, "", IDS_CHECKING_PORTS);
        INS_loadmessage(ctx, line2, "", IDS_PORTS_IN_TURN);
        RETURN_IF_FAILED(INS_keyabortopen(ctx, title, line1, line2));
        ctx->helpcontext = 102;
        status_t st = INS_askpath(ctx);
        ctx->modemsearch = 0;
        RETURN_IF_FAILED(st);
    } while (ctx->INS_back != BACK_NONE);
    return ST_OK;
}

status_t remove_stale_data(setup_context* ctx)
{
    // A missing file is no error; a data folder that is a link is left alone.
    if (UL_islink(ctx->datadir)) return ST_OK;
    char path[TEXTSIZE];
    for (const char* name : {"VEQ.dat", "PARM.dat"}) {
        UL_makepath(path, ctx->datadir, name);
        std::uint16_t exists = 0;
        UL_fileexists(path, &exists);
        if (!exists) continue;
        INS_journalfile(ctx, path);
        UL_deletefile(path);
    }
    return ST_OK;
}

status_t unpack_scripts(setup_context* ctx)
{
    char archive[TEXTSIZE];
    UL_makepath(archive, ctx->sourcedir, "txt.pck");
    std::uint16_t exists = 0;
    UL_fileexists(archive, &exists);
    if (!exists || ctx->INS_whichprogram == 0) return ST_OK;
    char target[TEXTSIZE];
    UL_makepath(target, ctx->pathname, "SCRIPT1");
    return INS_unpackfile(ctx, archive, target);
}

status_t copy_program_files(setup_context* ctx)
{
    if (ctx->INS_cdrom != 0) return INS_expandall(ctx);
    return INS_diskloop(ctx, INS_expandall, INS_changediskette);
}

status_t open_copy_progress(setup_context* ctx)
{
    UL_logline(ctx, "Before INS_keyabortopen");
    char word[MESSAGESIZE], title[MESSAGESIZE], line1[MESSAGESIZE], line2[MESSAGESIZE];
    INS_loadmessage(ctx, word, "", IDS_INSTALLATION);
    INS_jointitle(ctx, word, title);
    INS_loadmessage(ctx, line1, "", IDS_COPYING);
    INS_loadmessage(ctx, line2, "", IDS_COPYING_WAIT);
    return INS_keyabortopen(ctx, title, line1, line2);
}

// Each step of the sequence begins with the journal on the disk, for a power cut.
status_t step(setup_context* ctx, status_t (*run)(setup_context*))
{
    INS_journalflush(ctx);
    return run(ctx);
}

// Everything after the dialogs; the first failure ends it.
status_t install_files(setup_context* ctx)
{
    // An earlier installation's record is read before anything is written
    // over it, and a stopped run's journal is taken into it.
    RETURN_IF_FAILED(INS_recordbegin(ctx));
    RETURN_IF_FAILED(INS_journalbegin(ctx, ctx->pathname));
    RETURN_IF_FAILED(INS_getfilesize(ctx));
    RETURN_IF_FAILED(open_copy_progress(ctx));
    RETURN_IF_FAILED(INS_getwinversion(ctx, &ctx->winversion));
    UL_logshort(ctx, "winversion=", ctx->winversion);
    if (ctx->winversion == 2) INS_removeservice(ctx);  // an old service that stays is no reason to stop
    RETURN_IF_FAILED(step(ctx, INS_makedirs));
    RETURN_IF_FAILED(step(ctx, INS_loadsbfile));
    RETURN_IF_FAILED(step(ctx, INS_copycountry));
    step(ctx, remove_stale_data);
    RETURN_IF_FAILED(step(ctx, INS_copyfaxini));
    RETURN_IF_FAILED(INS_checkabort(ctx));
    RETURN_IF_FAILED(step(ctx, unpack_scripts));
    RETURN_IF_FAILED(INS_checkabort(ctx));
    RETURN_IF_FAILED(step(ctx, INS_addproductini));
    UL_logline(ctx, "Before INS_addfaxini");
    RETURN_IF_FAILED(step(ctx, INS_addfaxini));
    RETURN_IF_FAILED(step(ctx, copy_program_files));
    RETURN_IF_FAILED(step(ctx, INS_convertscript));
    RETURN_IF_FAILED(step(ctx, INS_removesbfile));
    return step(ctx, INS_alldone);
}

// The rollback a run asked for: everything the journal names is undone.
void roll_back(setup_context* ctx)
{
    INS_journalclose(ctx);
    // Only what this run did: a journal it never began is another run's.
    if (!ctx->rollback || !ctx->install->journaled) return;
    bool undone = false;
    INS_undojournal(ctx, &undone);
    ctx->install->restored = undone ? 1 : 0;
    if (UL_logdetail(ctx)) UL_logshort(ctx, "rollback=", std::int16_t(ctx->install->restored));
}

status_t fail(setup_context* ctx, status_t st)
{
    st = INS_unattendedoutcome(ctx, st);
    UL_logerror(ctx, "INS_install", st);
    INS_keyabortclose(ctx);
    ctx->helpcontext = 106;
    if (st != ST_CANCELLED) {
        status_t shown = INS_failinstall(ctx, st);
        UL_logshort(ctx, "INS_failinstall = ", std::int16_t(shown));
    }
    status_t removed = INS_removesbfile(ctx);
    UL_logshort(ctx, "INS_removesbfile = ", std::int16_t(removed));
    roll_back(ctx);
    return st;
}

}  // namespace

status_t INS_install(setup_context* ctx)
{
    if (!ctx) return ST_GENERAL;
    UL_logline(ctx, "Enter install");
    char path[TEXTSIZE];
    UL_getmodulepath(ctx->hinstance, path, sizeof path);
    if (char* dot = std::strrchr(path, '.')) *dot = '\0';
    UL_appendtext(path, ".HLP");
    UL_copytext(ctx->helpfile, path);
    ctx->helpcontext = 101;
    ctx->INS_back = BACK_FIRST_SHOWING;

    char rollback[8];
    if (INS_answertextin(ctx, "Options", "Rollback", rollback, sizeof rollback) && UL_atol(rollback) == 1)
        ctx->rollback = 1;
    status_t st = ask_everything(ctx);
    if (st == ST_OK) st = install_files(ctx);
    INS_recordend(ctx);
    if (st != ST_OK) return fail(ctx, st);
    // An error box that did not stop the steps still ends an unattended run with its status.
    return INS_unattendedoutcome(ctx, ST_OK);
}
