// The uninstaller's library: removes one installation of the suite.
#pragma once
#include <windows.h>

// What to do with the user's received and sent faxes and mailboxes.
enum { UNINSTALL_ASK = -1, UNINSTALL_KEEP_USERDATA = 0, UNINSTALL_DELETE_USERDATA = 1 };

// Results: 0 removed, 1 the user declined, 2 no installation found there.
enum { UNINSTALL_DONE = 0, UNINSTALL_DECLINED = 1, UNINSTALL_NOT_FOUND = 2 };

// installdir: the installation's directory (with or without its backslash);
// null or empty: the one FAX.ini in the Windows directory names.
// quiet: no questions and no closing message (userdata must then be 0 or 1).
typedef int(WINAPI* VEQ_uninstall_proc)(HWND owner, const char* installdir, int userdata, int quiet);

// What a removal did, for the result file.
struct uninstall_report {
    int removed;     // objects removed
    int kept;        // record lines and objects left alone
    char text[512];  // the closing message (or why nothing was removed)
};

// The same, with a log (logfile: null or empty for none; lines are appended)
// and the report filled in (report may be null).
typedef int(WINAPI* VEQ_uninstallex_proc)(HWND owner, const char* installdir, int userdata, int quiet,
                                           const char* logfile, uninstall_report* report);
