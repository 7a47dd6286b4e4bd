#pragma once
#include "shell/context.h"

// Longest command line taken; a longer one is refused.
enum { CMDLINE_MAX = 259 };

// Splits the command line at blanks and commas and applies the options:
// D/d[n] the debug level, a token containing -S or -s the source directory,
// /ANSWERS= and /RECORD= the answer files, /SILENT and /VERYSILENT, /LOG= the
// debug log, /RESULT= the result file, /DIR= the destination, /UNDO the undo
// of a stopped installation, /ROLLBACK the undo of this one should it fail or
// be cancelled. The values of
// the / options may be quoted ("C:\Deploy Files\a.ini") to hold blanks and
// commas. A value that does not fit its field, an unclosed quote, and a silent
// run without answers are refused with 13001 and the reason recorded as the
// status's detail (INS_recorderror); nothing is ever cut.
status_t INS_parsecommandline(setup_context* ctx, const char* commandline, std::int16_t* debuglevel);
