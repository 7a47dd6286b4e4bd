// Copying files from the medium, expanding LZ-compressed ones on the way.
#pragma once
#include "shell/context.h"

// Copies (and expands) source into target; target first.
status_t INS_expandfile(setup_context* ctx, const char* target, const char* source);
