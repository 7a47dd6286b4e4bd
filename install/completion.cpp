// The last steps of an installation: configuration, program group, printer,
// shell registration and the closing dialog.
#include "install/completion.h"

#include "files/fileutil.h"
#include "files/log.h"
#include "install/install.h"
#include "install/journal.h"
#include "integration/integration.h"
#include "integration/printer.h"
#include "integration/progman.h"
#include "integration/shellentries.h"
#include "resources/ids.h"
#include "shell/text.h"

namespace {

enum { DONE_START_PROGRAM = IDC_DONE_START, DONE_OPEN_HELP = IDC_HELP_BUTTON, HELP_COMPLETION = 105 };

void program_file(setup_context* ctx, char out[TEXTSIZE], const char* extension)
{
    UL_makepath(out, ctx->programdir, ctx->productname);
    UL_appendtext(out, TEXTSIZE, extension);
}

status_t complete(setup_context* ctx)
{
    // The uninstaller's files never stop the completion.
    UL_loglong(ctx, "adduninstall=", INS_adduninstall(ctx));
    RETURN_IF_FAILED(INS_addproductini(ctx));
    UL_logline(ctx, "Before INS_addfaxini");
    RETURN_IF_FAILED(INS_addfaxini(ctx));
    RETURN_IF_FAILED(INS_checkabort(ctx));
    UL_logline(ctx, "Before INS_addwinini");
    RETURN_IF_FAILED(INS_checkabort(ctx));

    INS_closeprogresswindow(ctx);  // from here on the user can no longer stop
    RETURN_IF_FAILED(INS_addprogram(ctx));

    UL_loglong(ctx, "INS_currentfilesize=", ctx->INS_currentfilesize);
    ctx->helpcontext = HELP_COMPLETION;
    RETURN_IF_FAILED(INS_CopyAddPrinterFiles(ctx, 1, ctx->sourcedir, ctx->programdir, ctx->windowsdir));
    RETURN_IF_FAILED(INS_installprinter(ctx));
    RETURN_IF_FAILED(INS_addshellentries(ctx));
    // Everything is in place and registered: the record takes over from the journal.
    RETURN_IF_FAILED(INS_journalcommit(ctx));
    RETURN_IF_FAILED(INS_showdone(ctx));
    UL_postclose(ctx->mainwindow);
    return ST_OK;
}

}  // namespace

status_t INS_alldone(setup_context* ctx)
{
    status_t st = complete(ctx);
    if (st != ST_OK) UL_logerror(ctx, "INS_alldone", st);
    return st;
}

void INS_notecopied(setup_context* ctx, const char* target)
{
    char path[TEXTSIZE];
    UL_makepath(path, ctx->programdir, "ZARARAV.EXE");
    if (UL_equalnocase(path, target)) ctx->copiedsetuptool = 1;
    UL_makepath(path, ctx->programdir, "VEQADDPR.EXE");
    if (UL_equalnocase(path, target)) ctx->copiedaddprinter = 1;
    program_file(ctx, path, ".EXE");
    if (UL_equalnocase(path, target)) ctx->copiedprogram = 1;
}

status_t INS_showdone(setup_context* ctx)
{
    char tool[TEXTSIZE];
    UL_makepath(tool, ctx->programdir, "ZARARAV.EXE");
    std::uint16_t toolexists = 0;
    if (UL_fileexists(tool, &toolexists) != ST_OK) toolexists = 0;
    // A tool that this run did not bring was put there by someone else: it is
    // neither run nor removed.
    if (toolexists && !ctx->copiedsetuptool) {
        if (UL_logdetail(ctx)) UL_logstring(ctx, "not from the set: ", tool);
        toolexists = 0;
    }
    char command[2 * TEXTSIZE];
    if (toolexists && UL_commandline(command, sizeof command, tool, nullptr)) UL_runprogram(command);

    int result = 0;
    RETURN_IF_FAILED(INS_rundonedialog(ctx, &result));
    if (result == DONE_START_PROGRAM) {
        char program[TEXTSIZE];
        program_file(ctx, program, ".EXE");
        if (!ctx->copiedprogram) {
            if (UL_logdetail(ctx)) UL_logstring(ctx, "not from the set: ", program);
        } else if (UL_commandline(command, sizeof command, program, nullptr)) {
            UL_runprogram(command);
        }
    } else if (result == DONE_OPEN_HELP) {
        program_file(ctx, ctx->helpfile, ".HLP");
        char document[TEXTSIZE + 2] = "";
        UL_appendquoted(document, sizeof document, ctx->helpfile);
        // By its whole path: a bare name would be looked for in the current
        // directory first.
        char winhelp[TEXTSIZE];
        if (INS_windowsprogram(ctx, winhelp, "winhelp.exe") &&
            UL_commandline(command, sizeof command, winhelp, document))
            UL_runprogram(command);
    }
    // A tool that is still running simply stays.
    if (toolexists) UL_deletefile(tool);
    return ST_OK;
}
