// The raw file calls of the platform, each a few lines: fileutil_win32.cpp,
// and on the host the native tests' double. No trace, no status, nothing
// recorded: the file policy above them (fileutil.cpp) is written once.
#pragma once
#include <cstdint>

#include "shell/context.h"

// Zero-filled memory of size bytes (at least one); null when there is none.
void* FS_alloc(std::uint32_t size);
void FS_free(void* block);

enum fs_mode {
    FS_READ,          // an existing file, others may open it too
    FS_READWRITE,     // an existing file, others may open it too
    FS_CREATE,        // created or emptied, others may open it too
    FS_CREATE_ALONE,  // created or emptied, no one else may open it meanwhile
    FS_APPEND,        // written at its end, created when missing; others may read it
};
// False when the file cannot be opened so; a directory never opens.
bool FS_open(const char* name, fs_mode mode, ul_file* out);
void FS_close(ul_file file);
// What was written goes to the disk now (a power cut loses none of it).
void FS_flush(ul_file file);
// Bytes moved; -1 when the call fails.
std::int32_t FS_read(ul_file file, void* buffer, std::uint32_t count);
std::int32_t FS_write(ul_file file, const void* buffer, std::uint32_t count);
// 0 when the size cannot be read.
std::uint32_t FS_size(ul_file file);

enum fs_kind { FS_MISSING, FS_FILE, FS_DIRECTORY };
fs_kind FS_kind(const char* name);
// A junction or symbolic link (a reparse point), of a file or a directory.
bool FS_islink(const char* name);
bool FS_makedir(const char* path);
// Paths without a trailing backslash; failures are left to the caller's next look.
void FS_removedir(const char* path);
// False when the file is not deleted (missing, read-only, in use ...).
bool FS_delete(const char* name);
// Renames; false when it fails, and when to exists.
bool FS_move(const char* from, const char* to);
// Puts from in to's place in one step, replacing to when it exists: done, or
// refused (both stay as they were), or no such step on this system (the
// Windows 95 family).
enum fs_replace { FS_REPLACED, FS_NOT_REPLACED, FS_NO_ONE_STEP };
fs_replace FS_replace(const char* from, const char* to);
// The short (8.3) name of an existing file or directory; false when the
// system gives none that fits size.
bool FS_shortname(const char* name, char* out, std::uint32_t size);
void FS_setnormal(const char* name);

// A search over the entries of every kind that match pattern; false at its end
// (the search is then closed).
struct fs_entry {
    char name[256];
    std::uint32_t size;
    bool directory;
};
bool FS_findfirst(const char* pattern, ul_handle* search, fs_entry* entry);
bool FS_findnext(ul_handle* search, fs_entry* entry);
void FS_findclose(ul_handle* search);
