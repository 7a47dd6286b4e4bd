// Clean-up at exit of a program that runs from a temporary copy.
#pragma once
#include "shell/context.h"

status_t INS_cleanupatexit(setup_context* ctx);
status_t INS_DoCleanUp(setup_context* ctx, const char* listpath);
status_t INS_DelActiveFile(setup_context* ctx, const char* file);
