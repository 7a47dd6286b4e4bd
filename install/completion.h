// The completion of an installation and the closing dialog. Implemented in
// install/completion*.cpp.
#pragma once
#include "shell/context.h"

status_t INS_alldone(setup_context* ctx);
