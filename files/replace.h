// Replacing a file so that it is never lost on the way: the policy over the
// raw calls of files/filesystem.h, shared by the installer and the uninstaller
// (which is built apart: nothing here traces or records).
#pragma once
#include <cstdint>

// Puts from in to's place; to, when it is there, stays until from has taken
// it: in one step where the system has one (Windows NT), else (the Windows 95
// family) to is first moved aside (its extension ".OLD") and put back on any
// failure. False, and both files where they were, when it cannot be done: to
// in use or read-only, an aside name already taken, a directory in the way.
bool UL_replacefile(const char* from, const char* to);

// Gives the file name the text (length bytes): written whole into a file
// beside it (its extension ".NEW"), then put in its place by UL_replacefile.
// False, the file as it was and no new one left, on any failure.
bool UL_rewritefile(const char* name, const char* text, std::uint32_t length);
