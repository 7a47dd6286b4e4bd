// The suite's configuration files: the product INI and FAX.ini.
#pragma once
#include "shell/context.h"

// One key through the private-profile service; 0 or 2213.
status_t INS_writeini(setup_context* ctx, const char* section, const char* key, const char* value,
                      const char* file);
// The [VOICE] rows of the product INI.
status_t INS_addvoiceini(setup_context* ctx);
// The product INI's path: datadir + productname + ".ini".
void INS_productinipath(setup_context* ctx, char out[TEXTSIZE]);
