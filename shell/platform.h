// Services of the system that the portable shell operations use; defined in
// the _win32.cpp files, and by doubles in the native tests.
#pragma once
#include <cstdint>

#include "shell/context.h"

// Profile (INI) text; returns the number of characters stored.
std::uint32_t UL_getprofilestring(const char* section, const char* key, const char* defaulttext,
                                  char* out, std::uint32_t size, const char* file);
// A string of the library; returns the number of characters stored (0 when missing).
int UL_loadstring(ul_module library, unsigned number, char* out, int size);
// An icon resource of the installer itself.
ul_handle UL_loadicon(ul_module instance, const char* name);

enum ul_boxkind { UL_BOX_WARNING, UL_BOX_INFO };
// A message box without owner window and with an OK button.
void UL_messagebox(const char* caption, const char* text, ul_boxkind kind);

// Takes at most one waiting message off the thread's queue and dispatches it.
status_t UL_pumpmessage(setup_context* ctx);
std::uint32_t UL_gettickcount();
void UL_sleep(std::uint32_t milliseconds);

// The full path of the running program (cut to size - 1 characters).
void UL_getmodulepath(ul_module instance, char* out, std::uint32_t size);
// Writes a profile (INI) key; the file and section are created when missing.
// False when the system refuses the write (read-only file, full disk ...).
bool UL_writeprofilestring(const char* section, const char* key, const char* value, const char* file);
// The Windows directory as the system returns it; 0 characters on failure.
std::uint32_t UL_getwindowsdir(char* out, std::uint32_t size);
std::uint32_t UL_getsystemdir(char* out, std::uint32_t size);
// Deletes the file at the next restart (Windows NT).
void UL_deleteatrestart(const char* name);

// 0 = Windows older than 3, 1 = the Windows 95 family, 2 = Windows NT; traces
// the version record it asks for.
status_t INS_getwinversion(setup_context* ctx, std::int16_t* code);
// The code for a version record (portable part of INS_getwinversion).
std::int16_t INS_wincode(std::uint32_t major, std::uint32_t platformid);
