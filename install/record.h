// The installation record DATA\UNINSTAL.LST: the directories this installation
// created and the files it wrote, relative to the installation directory, so
// that the uninstaller removes those and nothing that was there before.
#pragma once
#include <cstddef>

#include "shell/context.h"

// Starts the record before anything is written: takes over the entries of an
// earlier installation's record and hooks the file operations. 0 or the
// memory's failure.
status_t INS_recordbegin(setup_context* ctx);
// A directory INS_createdir made, a file the installation wrote (full paths);
// anything outside the installation directory, or in the Windows or system
// directory below it, is not recorded. Nothing happens while no record runs.
void INS_recorddir(setup_context* ctx, const char* path);
void INS_recordfile(setup_context* ctx, const char* path);
// A stopped run's journaled entry, taken over as this run's own.
void INS_recordadopt(setup_context* ctx, char kind, const char* rel);
// Whether the record names rel (an earlier installation's entry, or one of this run).
bool INS_recordknows(setup_context* ctx, const char* rel);
// Writes DATA\UNINSTAL.LST from the entries; 0 or the file's failure.
status_t INS_recordwrite(setup_context* ctx);
// Ends the record and releases its memory; safe to call when none runs.
void INS_recordend(setup_context* ctx);

// The path relative to the installation directory (a backslash-terminated
// directory): false when path is not below it, is the directory itself, or
// the rest does not fit.
bool INS_recordrelative(const char* directory, const char* path, char* rel, std::size_t size);
