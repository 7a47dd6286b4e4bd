#pragma once
#include "shell/context.h"

// Reads [GENERAL] of INSTALL.INI in the source directory into the settings group.
status_t INS_readsettings(setup_context* ctx);
// Traces the settings group into the debug log.
status_t INS_tracesettings(setup_context* ctx);
// A key of INSTALL.INI beside the program (else in sourcedir); empty when absent;
// 13002 when neither file is there. The modem identification reads its match sections so.
status_t INS_readinstallkey(setup_context* ctx, const char* section, const char* key, char out[TEXTSIZE]);
