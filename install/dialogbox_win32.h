// The one place that opens a template of the resource library: over the main
// window, the dialog procedure getting param with WM_INITDIALOG.
#pragma once
#include <windows.h>

#include "shell/context.h"

// Modal: the dialog's result, -1 when the template cannot be shown.
INT_PTR INS_rundialog(setup_context* ctx, unsigned templ, DLGPROC proc, LPARAM param = 0);
// Modeless (the progress window): the window, or nullptr when it cannot be made.
HWND INS_opendialog(setup_context* ctx, unsigned templ, DLGPROC proc);
