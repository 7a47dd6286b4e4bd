// Program start-up, the main window and teardown.
#pragma once
#include "shell/context.h"

status_t INS_setupdirectories(setup_context* ctx);
status_t INS_loadresourcelib(setup_context* ctx);
void INS_unloadresourcelib(setup_context* ctx);
status_t INS_registerclasses(setup_context* ctx);
// Runs the whole program; returns its exit code.
int INS_run(ul_module instance, const char* commandline, int show);

// Message that starts the installation (WM_USER + 100).
enum { WM_INS_START = 1124, CMD_INS_INSTALL = 126 };
