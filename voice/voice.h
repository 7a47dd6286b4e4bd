// What the installation sequence uses of the voice prompt conversion and the
// vendor compressor libraries. Implemented in voice/.
#pragma once
#include "shell/context.h"

status_t INS_loadsbfile(setup_context* ctx);
status_t INS_convertscript(setup_context* ctx);
status_t INS_removesbfile(setup_context* ctx);
