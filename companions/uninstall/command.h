// The uninstaller's reading of command lines and paths, apart from Windows so
// that it is tested on the host. Nothing here is ever cut: what does not fit
// is refused, since a shortened path names another folder.
#pragma once
#include <cstddef>

enum { UC_PATHSIZE = 260 };

struct uninstall_command {
    char program[UC_PATHSIZE];  // the program, its quotes removed
    char path[UC_PATHSIZE];     // /PATH=, its quotes removed; empty without one
    char log[UC_PATHSIZE];      // /LOG=: where the removal is logged; empty: no log
    char result[UC_PATHSIZE];   // /RESULT=: the result file; empty: none
    bool haspath;
    int userdata;  // -1 ask, 0 keep (/N), 1 delete (/Y): the UNINSTALL_* values
};

// Reads "program [/Y | /N] [/PATH=dir] [/LOG=file] [/RESULT=file]", the
// program quoted or up to the first blank, the paths quoted when they hold
// blanks (/LOG="C:\My Logs\out.log"), the options in any order. False when a
// path does not fit or a quote is not closed.
bool UC_parsecommand(const char* line, uninstall_command* out);

// The program a file type's command starts: the quoted text, or the text up to
// the first blank (after installdir when the command starts with it, so that
// an unquoted command in "C:\Fax (new)\" still names its program). False when
// there is none or it does not fit.
bool UC_commandprogram(const char* command, const char* installdir, char* out, std::size_t size);

// "C:\", "C:", "\", "\\server\share\": the fixed tree of an old installation
// is never removed from there.
bool UC_isdriveroot(const char* dir);

// "X:\..." or "\\server\share...": a relative path would be resolved against
// whatever the current directory happens to be.
bool UC_isabsolute(const char* path);

// Whether a recorded path lies below RECEIVE, SEND or MBOX000, the user's own.
bool UC_isuserdata(const char* relative);
