// Program start-up, the main window and teardown.
#pragma once
#include "shell/context.h"

// The module, source, Windows and system directories at start-up.
status_t INS_setupdirectories(setup_context* ctx);
// The Windows and system directories read again (after the destination dialog).
status_t INS_readsystemdirs(setup_context* ctx);
// The start-up's directory rules, written once (startup.cpp). The program's
// own path: refused without a drive letter; else its directory (to the last
// backslash, trimmed) is moduledir, and sourcedir when no -S named one.
status_t INS_takemodulepath(setup_context* ctx, const char* modulepath);
// A Windows or system directory as the system reports it: cut to 79
// characters, trimmed, with a trailing backslash.
void INS_takesystemdir(char field[TEXTSIZE], const char* reported);
// The start-up's decisions (startup.cpp).
// The debug log: the /LOG= file, or the program's name + ".deb" in the
// Windows directory; its creation's failure ends the start-up.
status_t INS_createlog(setup_context* ctx);
// /DIR=, or the Windows directory's drive with the product's directory.
void INS_setdefaultdestination(setup_context* ctx);
// A medium without FAX.LST is no installation set.
status_t INS_checkfilelist(setup_context* ctx);
status_t INS_loadresourcelib(setup_context* ctx);
void INS_unloadresourcelib(setup_context* ctx);
status_t INS_registerclasses(setup_context* ctx);
// Runs the whole program; returns its exit code.
int INS_run(ul_module instance, const char* commandline, int show);

// Message that starts the installation (WM_USER + 100).
enum { WM_INS_START = 1124, CMD_INS_INSTALL = 126 };
