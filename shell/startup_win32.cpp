#include <windows.h>

#include <cstring>

#include "files/cleanup.h"
#include "files/expand.h"
#include "files/fileutil.h"
#include "files/log.h"
#include "companions/uninstall/removal_win32.h"
#include "install/install.h"
#include "install/journal.h"
#include "install/state.h"
#include "install/unattended.h"
#include "integration/ddeclient_win32.h"
#include "resources/ids.h"
#include "shell/cmdline.h"
#include "shell/mainscreen.h"
#include "shell/mainwindow_win32.h"
#include "shell/messages.h"
#include "shell/platform.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/text.h"

namespace {

const char MAIN_CLASS[] = "window1";
const char DDE_CLASS[] = "VEQ-DDE";

status_t system_dir(UINT (WINAPI* query)(LPSTR, UINT), char* field)
{
    char dir[MAX_PATH] = {};
    if (query(dir, sizeof dir) == 0) return ST_GENERAL;
    INS_takesystemdir(field, dir);
    return ST_OK;
}

// Releases what start-up acquired, once: library, clean-up list, context.
void teardown(setup_context* ctx, HWND window)
{
    if (window && ctx->helpfile[0]) WinHelpA(window, ctx->helpfile, HELP_QUIT, 0);
    // Still with the library, so that a status's text can be had.
    INS_writeresult(ctx, ctx->finalstatus);
    INS_unloadresourcelib(ctx);
    INS_cleanupatexit(ctx);
    INS_destroycontext(ctx);
    INS_context = nullptr;
}

// Runs the sequence with the context pinned: a window destroyed meanwhile
// leaves the teardown to us.
status_t run_install(setup_context* ctx)
{
    ctx->running = 1;
    status_t st = INS_install(ctx);
    ctx->running = 0;
    return st;
}

LRESULT on_destroy(HWND window)
{
    setup_context* ctx = INS_context;
    if (ctx && ctx->running) {
        ctx->closepending = 1;
        return 0;
    }
    // What the quit message carries; an unattended run ends with its final status.
    int exitcode = ctx ? ctx->exitcode : 0;
    if (ctx) teardown(ctx, window);
    PostQuitMessage(exitcode);
    return 0;
}

LRESULT on_paint(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    setup_context* ctx = INS_context;
    if (!ctx || ctx->debuglevel != 0) return DefWindowProcA(window, message, wparam, lparam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    INS_paintbackground(ctx, window, dc);
    INS_paintmaintext(ctx, window);
    EndPaint(window, &ps);
    return 0;
}

LRESULT on_enteridle(HWND window, WPARAM wparam)
{
    setup_context* ctx = INS_context;
    if (ctx && (wparam == MSGF_DIALOGBOX || wparam == MSGF_MENU) && (GetKeyState(VK_F1) & 0x8000))
        WinHelpA(window, ctx->helpfile, HELP_CONTEXT, ULONG_PTR(ctx->helpcontext));
    return 0;
}

LRESULT on_start(HWND window)
{
    setup_context* ctx = INS_context;
    if (!ctx) return 0;
    status_t st = run_install(ctx);
    if (st != ST_OK) UL_logerror(ctx, "TST_wndprocmain", st);
    ctx->finalstatus = st;
    // A script that asked for a result reads the status from the exit code as well.
    ctx->exitcode = ctx->answerfile[0] || ctx->resultfile[0] ? int(st) : 0;
    if (ctx->closepending) {
        int exitcode = ctx->exitcode;
        teardown(ctx, nullptr);
        PostQuitMessage(exitcode);
    } else {
        DestroyWindow(window);
    }
    return 0;
}

// SETUP.EXE /UNDO: no window, no dialog; the journal undone and the run ended.
int run_undo(setup_context* ctx)
{
    uninst::log_open(ctx->logname);
    bool undone = false;
    status_t st = INS_undojournal(ctx, &undone);
    uninst::log_close();
    char text[MESSAGESIZE];
    INS_loadmessage(ctx, text, "", undone ? IDS_UNDONE : IDS_NOTHING_TO_UNDO);
    INS_noteresult(ctx, st, text);
    ctx->finalstatus = st;
    teardown(ctx, nullptr);
    return int(st);
}

status_t create_main_window(setup_context* ctx, int show)
{
    // A silent run leaves the screen to whoever works at the machine: the window
    // exists (the message loop and the start message need it) but is never shown.
    bool silent = INS_silentmode(ctx) != SILENT_NONE;
    HWND window = CreateWindowExA(0, MAIN_CLASS, "Install", WS_POPUP | (silent ? 0 : WS_VISIBLE), 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                                  nullptr, static_cast<HINSTANCE>(ctx->hinstance), nullptr);
    if (!window) return ST_GENERAL;
    ctx->mainwindow = window;
    if (silent) {
        INS_keephidden(ctx, window);
        ctx->logwindow = window;
        return ST_OK;
    }
    SetForegroundWindow(window);
    ShowWindow(window, show);
    UpdateWindow(window);
    SetFocus(window);
    ctx->logwindow = window;
    return ST_OK;
}

int run_message_loop(setup_context* ctx)
{
    HACCEL accelerators = static_cast<HACCEL>(ctx->accelerators);
    HWND main = static_cast<HWND>(ctx->mainwindow);
    PostMessageA(main, WM_INS_START, 0, 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (accelerators && TranslateAcceleratorA(main, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return int(msg.wParam);
}

}  // namespace

LRESULT CALLBACK TST_wndprocmain(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_DESTROY: return on_destroy(window);
    case WM_PAINT: return on_paint(window, message, wparam, lparam);
    case WM_COMMAND:
        // The menu's install command while the sequence runs would start it inside itself.
        if (wparam == CMD_INS_INSTALL && INS_context && !INS_context->running) run_install(INS_context);
        return 0;
    case WM_ENTERIDLE: return on_enteridle(window, wparam);
    case WM_INS_START: return on_start(window);
    default: return DefWindowProcA(window, message, wparam, lparam);
    }
}

status_t INS_setupdirectories(setup_context* ctx)
{
    char path[TEXTSIZE] = {};
    UL_getmodulepath(ctx->hinstance, path, sizeof path);
    RETURN_IF_FAILED(INS_takemodulepath(ctx, path));
    return INS_readsystemdirs(ctx);
}

status_t INS_readsystemdirs(setup_context* ctx)
{
    RETURN_IF_FAILED(system_dir(GetWindowsDirectoryA, ctx->windowsdir));
    return system_dir(GetSystemDirectoryA, ctx->systemdir);
}

status_t INS_loadresourcelib(setup_context* ctx)
{
    char source[TEXTSIZE], target[TEXTSIZE];
    UL_makepath(source, ctx->sourcedir, "VEQINS.DLL");
    UL_makepath(target, ctx->windowsdir, "VEQINS.DLL");
    RETURN_IF_FAILED(INS_expandfile(ctx, target, source));
    HINSTANCE library = LoadLibraryA(target);
    if (reinterpret_cast<ULONG_PTR>(library) < 32) return ST_NOT_LOADED;
    ctx->resourcelib = library;
    return ST_OK;
}

void INS_unloadresourcelib(setup_context* ctx)
{
    if (ctx->resourcelib) {
        FreeLibrary(static_cast<HINSTANCE>(ctx->resourcelib));
        ctx->resourcelib = nullptr;
    }
    char target[TEXTSIZE];
    UL_makepath(target, ctx->windowsdir, "VEQINS.DLL");
    UL_deletefile(target);
}

status_t INS_registerclasses(setup_context* ctx)
{
    RETURN_IF_FAILED(INS_loadidentity(ctx));
    char word[MESSAGESIZE];
    if (INS_loadmessage(ctx, word, "", IDS_INSTALLATION) != ST_OK) UL_copytext(word, "Installation");
    UL_copytext(ctx->windowtitle, ctx->producttitle);
    UL_appendtext(ctx->windowtitle, " ");
    UL_appendtext(ctx->windowtitle, word);
    HINSTANCE instance = static_cast<HINSTANCE>(ctx->hinstance);
    ctx->accelerators = LoadAcceleratorsA(instance, "SETUP");

    WNDCLASSA main = {};
    main.style = CS_HREDRAW | CS_VREDRAW;
    main.lpfnWndProc = TST_wndprocmain;
    main.hInstance = instance;
    main.hIcon = static_cast<HICON>(ctx->producticon);
    main.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    main.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    main.lpszMenuName = "SETUP";
    main.lpszClassName = MAIN_CLASS;
    if (!RegisterClassA(&main)) {
        UL_logstring(ctx, "cannot register class:-", MAIN_CLASS);
        return ST_GENERAL;
    }
    WNDCLASSA dde = {};
    dde.lpfnWndProc = DDE_clientproc;
    dde.hInstance = instance;
    dde.lpszClassName = DDE_CLASS;
    if (!RegisterClassA(&dde)) {
        UL_logstring(ctx, "cannot register class:-", DDE_CLASS);
        return ST_GENERAL;
    }
    return ST_OK;
}

int INS_run(ul_module instance, const char* commandline, int show)
{
    // Taken whole: a longer line is refused by the parser, never cut.
    const char* line = commandline ? commandline : "";
    setup_context* ctx = nullptr;
    bool libraryloaded = false;
    std::int16_t level = 0;

    status_t st = INS_createcontext(&ctx);
    if (st == ST_OK) st = INS_attachdriver(ctx);
    if (st == ST_OK) {
        ctx->hinstance = instance;
        if (line[0]) st = INS_parsecommandline(ctx, line, &level);
        if (st == ST_OK) st = INS_setupdirectories(ctx);
    }
    if (st == ST_OK) st = INS_loadresourcelib(ctx);
    if (st == ST_OK) {
        libraryloaded = true;
        INS_context = ctx;
        UL_copytext(ctx->programname, "SETUP");
        ctx->debuglevel = level;
        ctx->logtofile = 1;
        // An undo leaves the stopped run's debug log to the support desk; its own lines go to /LOG=.
        if (!ctx->undo) st = INS_createlog(ctx);
    }
    if (st == ST_OK) st = INS_readsettings(ctx);
    if (st == ST_OK) st = INS_registerclasses(ctx);
    if (st == ST_OK && ctx->undo) return run_undo(ctx);
    if (st == ST_OK) {
        INS_setdefaultdestination(ctx);
        st = create_main_window(ctx, show);
    }
    if (st == ST_OK) st = INS_checkfilelist(ctx);
    if (st == ST_OK) {
        UL_logshort(ctx, "Read-INS_vendor=", ctx->INS_vendor);
        UL_logshort(ctx, "INS_whichprogram=", ctx->INS_whichprogram);
        INS_tracesettings(ctx);
        int code = run_message_loop(ctx);
        if (INS_context) teardown(INS_context, nullptr);
        return code;
    }

    // Failure path: show it once, release in order, and end with the status.
    if (st != ST_CANCELLED) INS_errorbox(ctx, st);
    if (ctx) {
        HWND window = static_cast<HWND>(ctx->mainwindow);
        INS_writeresult(ctx, st);
        if (libraryloaded) INS_unloadresourcelib(ctx);
        // Without a module directory (no drive letter) there is no clean-up list to read.
        if (ctx->moduledir[0]) INS_cleanupatexit(ctx);
        INS_destroycontext(ctx);
        INS_context = nullptr;
        if (window) {
            // Its destruction finds no context and only posts the quit message.
            DestroyWindow(window);
        }
    }
    return int(st);
}
