// The fax printer's files and its installation in the way INSTALLPRINTER says.
#include "integration/printer.h"

#include <cstdio>
#include <initializer_list>

#include "files/expand.h"
#include "files/fileutil.h"
#include "files/log.h"
#include "shell/platform.h"
#include "shell/text.h"

namespace {

// The entries a Windows 3.x style driver needs in WIN.INI, in writing order.
struct wininientry {
    const char* section;
    const char* key;
    const char* value;
};
const wininientry PRINTER_ENTRIES[] = {
    {"ports", "FAX:", ""},
    {"PrinterPorts", "VEQ-Printer", "VEQ,FAX:,15,45"},
    {"devices", "VEQ-printer", "VEQ,FAX:"},
};

// INSTALLPRINTER values and the steps they ask for; 1 depends on the system.
struct printer_row {
    std::int16_t installprinter;
    printer_step windows95;
    printer_step windowsnt;
};
const printer_row PRINTER_ROWS[] = {
    {0, PRINTER_PROGRAM, PRINTER_PROGRAM},
    {1, PRINTER_WININI, PRINTER_PROGRAM},
    {2, PRINTER_WIZARD, PRINTER_WIZARD},
};

enum : std::int16_t { WINDOWS95 = 1, WINDOWSNT = 2 };
constexpr std::uint32_t WAIT_STEP_MS = 100;
enum { COMMANDSIZE = 2 * TEXTSIZE };

status_t printer_failure(setup_context* ctx, status_t st)
{
    UL_logerror(ctx, "INS_CopyAddPrinterFiles", st);
    return st;
}

}  // namespace

printer_step INS_printerstep(std::int16_t installprinter, std::int16_t winversion)
{
    for (const printer_row& row : PRINTER_ROWS) {
        if (row.installprinter == installprinter) return winversion == WINDOWSNT ? row.windowsnt : row.windows95;
    }
    return PRINTER_NONE;
}

status_t INS_installprinter(setup_context* ctx)
{
    switch (INS_printerstep(ctx->INS_installprinter, ctx->winversion)) {
    case PRINTER_PROGRAM: return INS_StartAddPrinter(ctx, ctx->INS_whichprogram, ctx->programdir);
    case PRINTER_WININI: return INS_installprinterdrv(ctx);
    case PRINTER_WIZARD: return INS_showaddprinter(ctx);
    default: return ST_OK;
    }
}

status_t INS_CopyAddPrinterFiles(setup_context* ctx, std::int16_t fromwindows, const char* sourcedir,
                                 const char* programdir, const char* windowsdir)
{
    UL_logshort(ctx, "INS_CopyAddPrinterFiles WIN32=", fromwindows);
    UL_logstring(ctx, "currentdrv=", sourcedir);
    UL_logstring(ctx, "progpath=", programdir);

    char dir[TEXTSIZE], target[TEXTSIZE], source[TEXTSIZE];
    UL_copytext(dir, programdir);
    UL_addslash(dir);
    UL_makepath(target, dir, "VEQINS32.DLL");
    if (fromwindows) {
        UL_makepath(source, windowsdir, "VEQINS.DLL");
    } else {
        UL_copytext(dir, sourcedir);
        UL_addslash(dir);
        UL_makepath(source, dir, "VEQINS32.DLL");
    }
    std::uint16_t exists = 0;
    if (UL_fileexists(source, &exists) != ST_OK || !exists) {
        UL_logstring(ctx, "Cannot find ", source);
        return printer_failure(ctx, ST_GENERAL);
    }
    if (status_t st = INS_expandfile(ctx, target, source); st != ST_OK) return printer_failure(ctx, st);

    const char* driver = nullptr;
    if (ctx->winversion == WINDOWS95) {
        driver = "VEQ95.DRV";
    } else if (ctx->winversion == WINDOWSNT) {
        driver = "VEQNT.DLL";
    } else {
        UL_logline(ctx, "Unsupported version");
        return printer_failure(ctx, ST_GENERAL);
    }
    UL_makepath(source, sourcedir, driver);
    UL_makepath(target, programdir, driver);
    if (status_t st = INS_expandfile(ctx, target, source); st != ST_OK) return printer_failure(ctx, st);
    return ST_OK;
}

bool INS_windowsprogram(setup_context* ctx, char out[TEXTSIZE], const char* name)
{
    for (const char* place : {ctx->systemdir, ctx->windowsdir}) {
        if (place[0] == '\0') continue;
        UL_makepath(out, place, name);  // both end in a backslash
        std::uint16_t exists = 0;
        if (UL_fileexists(out, &exists) == ST_OK && exists) return true;
    }
    if (UL_logdetail(ctx)) UL_logstring(ctx, "no system program: ", name);
    out[0] = '\0';
    return false;
}

status_t INS_StartAddPrinter(setup_context* ctx, std::int16_t whichprogram, const char* programdir)
{
    UL_logshort(ctx, "INS_StartAddPrinter whichprog=", whichprogram);
    // Anyone may have put a VEQADDPR.EXE into an existing destination; only the
    // one this run copied from the set is started.
    if (!ctx->copiedaddprinter) {
        if (UL_logdetail(ctx)) UL_logline(ctx, "VEQADDPR.EXE not copied from the set, not started");
        return ST_OK;
    }
    // The whole path, never cut at 79 characters: a cut one names another file.
    char program[COMMANDSIZE], arguments[16], commandline[COMMANDSIZE];
    UL_copytext(program, programdir);
    UL_appendtext(program, "VEQADDPR.EXE");
    std::snprintf(arguments, sizeof arguments, "/p%d", int(whichprogram));
    if (ctx->debuglevel != 0) UL_appendtext(arguments, " /d");
    UL_commandline(commandline, sizeof commandline, program, arguments);
    UL_logstring(ctx, "cmdline=", commandline);

    ul_handle process = nullptr;
    if (std::uint32_t error = UL_startprogram(commandline, &process); error != 0) {
        UL_loglong(ctx, "Cannot start VEQADDPR rc=%d", std::int32_t(error));
        UL_logerror(ctx, "INS_StartAddPrinter", ST_GENERAL);
        return ST_GENERAL;
    }
    // No time-out: the printer installer may ask the user questions.
    while (!UL_waitprogram(process, WAIT_STEP_MS)) UL_pumpmessage(ctx);
    UL_closeprogram(process);
    return ST_OK;
}

status_t INS_writeprofile(setup_context* ctx, const char* section, const char* key, const char* value)
{
    if (!UL_writewinini(section, key, value)) {
        INS_recorderror(ctx, ST_WININI_NOT_WRITTEN, section);
        return ST_WININI_NOT_WRITTEN;
    }
    UL_broadcastwininichange(section);
    return ST_OK;
}

status_t INS_installprinterdrv(setup_context* ctx)
{
    for (const wininientry& entry : PRINTER_ENTRIES)
        RETURN_IF_FAILED(INS_writeprofile(ctx, entry.section, entry.key, entry.value));
    char source[TEXTSIZE], target[TEXTSIZE];
    UL_makepath(source, ctx->sourcedir, "VEQ.DRV");
    UL_makepath(target, ctx->systemdir, "VEQ.DRV");
    UL_logstring(ctx, "from ", source);
    UL_logstring(ctx, "tofile ", target);
    RETURN_IF_FAILED(INS_expandfile(ctx, target, source));
    UL_logline(ctx, "after copy");
    return ST_OK;
}

status_t INS_showaddprinter(setup_context* ctx)
{
    // Write and RunDLL32 by their whole paths: a bare name would be looked
    // for in the current directory first.
    char program[TEXTSIZE], instructions[COMMANDSIZE], document[COMMANDSIZE], commandline[COMMANDSIZE];
    if (!INS_windowsprogram(ctx, program, "write.exe")) return ST_OK;
    UL_copytext(instructions, ctx->sourcedir);
    UL_appendtext(instructions, "ADDPRINT.WRI");
    document[0] = '\0';
    UL_appendquoted(document, sizeof document, instructions);
    UL_commandline(commandline, sizeof commandline, program, document);
    ul_handle write = nullptr;
    if (UL_startprogram(commandline, &write) != 0) return ST_OK;
    UL_closeprogram(write);

    if (!INS_windowsprogram(ctx, program, "rundll32.exe")) return ST_OK;
    UL_commandline(commandline, sizeof commandline, program, "Shell32,SHHelpShortcuts_RunDLL AddPrinter");
    ul_handle wizard = nullptr;
    if (UL_startprogram(commandline, &wizard) != 0) return ST_OK;
    while (!UL_waitprogram(wizard, 0xFFFFFFFFu)) {
    }
    UL_closeprogram(wizard);
    return ST_OK;
}
