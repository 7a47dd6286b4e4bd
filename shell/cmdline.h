#pragma once
#include "shell/context.h"

// Longest command line kept.
enum { CMDLINE_MAX = 259 };

// Splits the command line at blanks and commas and applies the options:
// D/d[n] the debug level, a token containing -S or -s the source directory,
// /ANSWERS= and /RECORD= the unattended answer files.
status_t INS_parsecommandline(setup_context* ctx, const char* commandline, std::int16_t* debuglevel);
