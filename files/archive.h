// The packed archive "txt.pck". Implemented in files/.
#pragma once
#include "shell/context.h"

// 0 when unpacked or when the archive does not exist.
status_t INS_unpackfile(setup_context* ctx, const char* archivepath, const char* outputdir);
