#pragma once
#include "shell/context.h"

// Reads [GENERAL] of INSTALL.INI in the source directory into the settings group.
status_t INS_readsettings(setup_context* ctx);
// Traces the settings group into the debug log.
status_t INS_tracesettings(setup_context* ctx);
