// The pieces of VEQUNINS.DLL, one file per concern: paths, the installation
// tree, the registry and WIN.INI, shortcuts and the group. Every removal and
// every object left alone is told to the log.
#pragma once
#include <windows.h>

#include "record.h"

namespace uninst {

enum { TEXT = 2 * MAX_PATH };

struct text {
    char s[TEXT];
};

// paths_win32.cpp
text make(const char* a, const char* b = "", const char* c = "", const char* d = "");
void add_slash(char* dir, std::size_t size);
void strip_slash(char* dir);
text windows_dir();
text full_path(const char* path);
bool same_dir(const char* a, const char* b);
bool inside(const char* path, const char* installdir);
bool is_link(DWORD attributes);
text faxini_path();

// log_win32.cpp: the removal's log (only with /LOG=) and its counts.
void log_open(const char* file);
void log_close();
void log_line(const char* label, const char* value);
void log_removed(const char* what, const char* object);
void log_kept(const char* what, const char* object, ur_reason why);
// Each removal and each record line or object left, counted for the result.
int removed_count();
int kept_count();

// tree_win32.cpp
void remove_step(const char* installdir, const ur_step& step);
bool has_user_data(const char* installdir);
// Whether every directory on the way to rel below the installation directory is a real one.
bool way_is_clear(const char* installdir, const char* rel);

// journal_win32.cpp: a stopped installation's journal in the Windows directory.
struct journal {
    ur_journalhead head;
    ur_change* changes;
    int count, capacity;
};
text journal_path(const char* title);
// False, with nothing read, when the product has no journal, or one that is
// refused or another product's.
bool read_journal(const char* title, journal* out);
// The title of the journal that names installdir (whole, with its backslash) as its destination.
bool journal_title(const char* installdir, char* title, std::size_t size);
void free_journal(journal* j);
// False when there is no memory for it.
bool add_change(journal* j, const ur_change& c);
// One step of an undo plan: in the installation directory as remove_step,
// in the Windows and system directories, or a copy put back.
void undo_step(const char* installdir, const char* title, const ur_step& step);
// The journal's undo plan carried out; with skipinside only what lies outside
// the installation directory and the copies put back (the record takes the rest).
void undo_changes(const journal& j, const char* installdir, const char* title, bool skipinside);
// The journal and, when it is empty, the folder of its copies.
void drop_journal(const char* title);
// Whether the journal holds a change of this kind and name.
bool journal_names(const journal& j, char kind, const char* rel);

// registry_win32.cpp
void remove_file_types(const ur_titles& r, const char* installdir);
void remove_uninstall_entry(const ur_titles& r, const char* installdir);
void remove_windows_entries(const char* installdir);

// shortcuts_win32.cpp
void remove_shortcuts(const ur_titles& r, const char* installdir);
// made: the journal says the run made the group, so it goes empty too.
void remove_group(const ur_titles& r, const char* installdir, bool made = false);

}  // namespace uninst
