// The uninstaller's reading of the installation's record and its removal
// plan: plain logic, apart from Windows, so that it is tested on the host and
// fuzzed. The record lies where every user may write: a line counts only when
// it passes the checks, and every line left is reported with its reason.
#pragma once
#include <cstddef>

#include "files/recordpath.h"

enum { UR_NAME = 80, UR_EXTENSION = 16, UR_MAXVERBS = 32 };

// Why a record line or an object is left alone.
enum ur_reason {
    UR_NOT_A_RECORD_LINE,  // neither "D,<path>" nor "F,<path>" nor "<ext>,<verb>"
    UR_OUTSIDE,            // a path that leaves the installation (drive, root, "..", device)
    UR_TOO_MANY,           // more verbs than a record holds
    UR_LINK,               // a link, or a link on the way to it
    UR_NOT_OURS,           // it does not start a program of this installation
    UR_USERDATA,           // the user's faxes and mailboxes are kept
    UR_NOT_EMPTY,          // a directory that still holds something
    UR_DRIVE_ROOT,         // the fixed tree is never taken from a drive's root
    UR_UNREADABLE,         // the record is there but cannot be read whole
    UR_MISSING,            // nothing of that name is there
    UR_FAILED,             // the system refused to remove it
};
const char* UR_reasontext(ur_reason why);

struct ur_verb {
    char extension[UR_EXTENSION];
    char verb[UR_NAME];
};

// DATA\UNINSTAL.DAT: the title, then the verbs registered.
struct ur_titles {
    char title[UR_NAME];
    ur_verb verbs[UR_MAXVERBS];
    int count;
};

// One checked line of DATA\UNINSTAL.LST.
struct ur_entry {
    char kind;  // 'D' a directory the installation made, 'F' a file it wrote
    char rel[UL_RECORDPATH_MAX + 1];
};

// Told of every line left alone (the line as read, without its line end).
typedef void (*ur_notefn)(void* user, const char* line, ur_reason why);

// Reads UNINSTAL.DAT's text (size bytes, need not be terminated). False when
// there is no title or it is damaged: a title names a key, shortcuts and a
// group, so a damaged one must name nothing at all. Verb lines that do not fit
// or are not plain names are left (and noted); the rest are kept.
bool UR_readtitles(const char* data, std::size_t size, ur_titles* out, ur_notefn note, void* user);

// Reads UNINSTAL.LST's text: add(user, entry) for every line that passes the
// checks, note for every other non-empty line. False when add fails (no
// memory): the record then cannot be read whole.
typedef bool (*ur_addfn)(void* user, const ur_entry& entry);
bool UR_readmade(const char* data, std::size_t size, ur_addfn add, ur_notefn note, void* user);

// What a removal does, in order.
enum ur_action {
    UR_REMOVE_FILE,   // the file (a link as itself)
    UR_REMOVE_TREE,   // the directory with everything in it (a link as itself)
    UR_REMOVE_EMPTY,  // the directory when it is empty
    UR_KEEP,          // left alone, for the reason given
    UR_RESTORE,       // the copy set aside goes back in the file's place
};

struct ur_step {
    ur_action action;
    const char* rel;    // below the installation directory; "" is the directory itself
    ur_reason why;      // for UR_KEEP
    char where;         // 0 below the installation directory, 'W' the Windows, 'S' the system directory
    unsigned aside;     // for UR_RESTORE: the copy's number
};

enum ur_recordstate { UR_NO_RECORD, UR_RECORD_READ, UR_RECORD_UNREADABLE };

typedef void (*ur_stepfn)(void* user, const ur_step& step);

// The removal inside the installation directory: with a record, its files,
// then its directories deepest first, then the record itself, DATA when it was
// made and is empty, and the installation directory when it is empty; without
// one, the fixed tree deepest first (never from a drive's root); a record that
// cannot be read whole removes nothing. While the user's data is kept, nothing
// below RECEIVE, SEND or MBOX000 goes.
void UR_plan(ur_recordstate state, const ur_entry* made, int count, bool deleteuserdata, bool driveroot,
             ur_stepfn step, void* user);

// The journal: what a running installation changed, one line before each
// change, so that a run that stops can be taken over by the next one, undone
// or rolled back. It lies in the Windows directory as UR_journalname(title):
//   T,<title>               first: the product title, checked as UNINSTAL.DAT's
//   P,<directory>           second: the installation directory, whole, with its backslash
//   M                       the run made the installation directory itself
//   D,<rel>  F,<rel>        a directory made, a file created below it, as in UNINSTAL.LST
//   W,<name>  S,<name>      a file created in the Windows, the system directory
//   A,<n>,<where>,<name>    a file that was there before (where: F below the
//                           installation directory, W, S), copied as <n>.OLD
//                           into the folder UR_asidefolder(title) of the
//                           Windows directory before it was replaced or deleted
// UNINSTAL.LST takes the M, W, S and A lines of a completed run as well.
// Outside the installation directory only files of the suite's own names
// (UR_issuitename) are ever named.
enum { UR_JOURNALNAME = 13, UR_ASIDE_MAX = 99999 };
void UR_journalname(const char* title, char out[UR_JOURNALNAME]);  // "VEQJxxxx.JNL"
void UR_asidefolder(const char* title, char out[UR_JOURNALNAME]);  // "VEQJxxxx.OLD"
// "VEQ..." or FAX.INI or ZVUNINST.EXE, and a plain name.
bool UR_issuitename(const char* name);

struct ur_journalhead {
    char title[UR_NAME];
    char destination[UL_RECORDPATH_MAX + 1];
    bool madedestination;
};

// One checked change: kind 'D', 'F', 'W', 'S', 'A' or 'G'; for 'A' where is 'F',
// 'W' or 'S' and aside the copy's number; rel the path below the installation
// directory, the name in the Windows or system directory, or for 'G' the
// program group the run made (an empty one goes with the undo).
struct ur_change {
    char kind;
    char where;
    unsigned aside;
    char rel[UL_RECORDPATH_MAX + 1];
};
typedef bool (*ur_changefn)(void* user, const ur_change& change);

// Parses one change line (also as UNINSTAL.LST holds them); false for any other.
bool UR_parsechange(const char* line, ur_change* out);
// One line for a change, as the journal and UNINSTAL.LST hold it; false when it does not fit.
bool UR_formatchange(const ur_change& change, char* out, std::size_t size);

// Reads a journal's text, up to its last line end (a stop may cut the line
// being written; its change never began): false, with nothing added, when its title or
// directory is missing or damaged, or the directory is a drive's root, the
// Windows or the system directory or holds one of them (both given whole,
// with or without their backslash): such a journal is refused whole. Otherwise add(user, change)
// for every line that passes the checks, note for every other non-empty line;
// false too when add fails.
bool UR_readjournal(const char* data, std::size_t size, const char* windowsdir, const char* systemdir,
                    ur_journalhead* head, ur_changefn add, ur_notefn note, void* user);

// The undo of a journal's changes: newest first, each file created removed
// and each file set aside put back; then the directories made, deepest first,
// each only when it is empty; then the installation directory, when the run
// made it and it is empty.
void UR_planundo(const ur_journalhead& head, const ur_change* changes, int count, ur_stepfn step, void* user);
