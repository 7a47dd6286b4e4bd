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

// registry_win32.cpp
void remove_file_types(const ur_titles& r, const char* installdir);
void remove_uninstall_entry(const ur_titles& r, const char* installdir);
void remove_windows_entries(const char* installdir);

// shortcuts_win32.cpp
void remove_shortcuts(const ur_titles& r, const char* installdir);
void remove_group(const ur_titles& r, const char* installdir);

}  // namespace uninst
