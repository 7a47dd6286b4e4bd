// The completion of an installation and the closing dialog. Implemented in
// install/completion*.cpp.
#pragma once
#include "shell/context.h"

status_t INS_alldone(setup_context* ctx);
// The closing dialog (template 991) and what the user chose in it; 0 or 13071.
status_t INS_showdone(setup_context* ctx);
// Notes a file that this run copied from the set: ZARARAV.EXE, VEQADDPR.EXE
// and the installed program in programdir are started only when they came
// this way.
void INS_notecopied(setup_context* ctx, const char* target);

// Platform side (completion_win32.cpp; recorded by the native doubles).
// Shows template 991 owned by the main window; result 0, 112 or 122; 13071
// when the dialog cannot be shown.
status_t INS_rundonedialog(setup_context* ctx, int* result);
// Starts a command line in a shown window without waiting; failures are not reported.
void UL_runprogram(const char* commandline);
void UL_postclose(ul_window window);
// Closes the progress window before the steps that cannot be stopped.
void INS_closeprogresswindow(setup_context* ctx);
