// Program start-up, the main window and teardown.
#pragma once
#include "shell/context.h"

status_t INS_setupdirectories(setup_context* ctx);
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
