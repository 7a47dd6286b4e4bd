// File, directory, memory and path utilities with the installer's statuses.
// The operations that touch the system are defined in fileutil_win32.cpp; the
// native tests link a POSIX double with the same behaviour.
#pragma once
#include <cstddef>
#include <cstdint>

#include "shell/context.h"

// Open kinds; a non-zero high byte asks UL_createfile to keep an existing file.
enum : std::uint16_t {
    UL_SHARED = 1,
    UL_EXCLUSIVE = 2,
    UL_SHARED2 = 3,
    UL_KEEPEXISTING = 256,
};

struct find_record {
    std::uint32_t filesize;
    char filename[256];
    ul_handle search;
};

// Memory.
status_t UL_allocmem(void** out, std::uint32_t size, void** block);
status_t UL_freemem(void* block);

// Files.
status_t UL_fileexists(const char* name, std::uint16_t* exists);
status_t UL_createfile(setup_context* ctx, const char* name, std::uint16_t kind, ul_file* out);
status_t UL_openfile(setup_context* ctx, const char* name, std::uint16_t kind, ul_file* out);
status_t UL_openreadfile(setup_context* ctx, const char* name, std::uint16_t kind, ul_file* out);
// Open for reading, or create (an existing file is truncated), shared, without
// a trace or a recorded error: for callers that report a failure in their own terms.
status_t UL_openreadquiet(const char* name, ul_file* out);
status_t UL_createquiet(const char* name, ul_file* out);
status_t UL_closefile(setup_context* ctx, ul_file file);
// Number of bytes read; 0 at the end of the file or on failure.
std::uint32_t UL_readraw(ul_file file, void* buffer, std::uint32_t count);
// Number of bytes read, 0 at the end of the file, -1 when the read fails: for
// readers that must not take a failing read for the end of the file.
std::int32_t UL_readchecked(ul_file file, void* buffer, std::uint32_t count);
status_t UL_readdata(setup_context* ctx, ul_file file, void* buffer, std::uint16_t count);
status_t UL_writedata(setup_context* ctx, ul_file file, const void* buffer, std::uint16_t count);
status_t UL_filesize(setup_context* ctx, const char* name, std::uint32_t* size);
// Puts from in to's place, to kept until then (UL_replacefile); 13103 when it
// cannot be done, both files then as they were.
status_t UL_movefile(const char* from, const char* to);
status_t UL_deletefile(const char* name);
// Clears read-only, hidden, system and archive.
status_t UL_setnormalattributes(const char* name);

// Directories and searches.
status_t UL_isdirectory(setup_context* ctx, const char* path, std::uint16_t* isdir);
// A junction or symbolic link, with or without a trailing backslash: what is
// deleted below it is deleted in the place it points at.
bool UL_islink(const char* path);
// A flag, not a status: 0 created, 1 not.
std::uint16_t UL_createdir(const char* path);
status_t UL_removedir(const char* path);
// 0 with the first entry that is not a directory, 1 when there is none.
std::uint16_t UL_findfirst(const char* pattern, std::uint16_t attributes, find_record* record);
std::uint16_t UL_findnext(find_record* record);
void UL_findclose(find_record* record);

// The system's last error code, for traces.
std::int32_t UL_lasterror();

// Paths (portable).
status_t UL_trim(char* dst, const char* src);
status_t UL_stripslash(char* path);
status_t UL_addslash(char* path);
// dst = dir + name, bounded to TEXTSIZE.
void UL_makepath(char dst[TEXTSIZE], const char* dir, const char* name);
// Command lines quote every path: unquoted, "C:\My Fax\X.EXE" would start
// C:\My.exe if there is one. Appends "path" with its quotes; false (dst
// unchanged) when it does not fit.
bool UL_appendquoted(char* dst, std::size_t size, const char* path);
// dst = "program" and, when given, a blank and the arguments (which quote
// their own paths); false and an empty dst when it does not fit.
bool UL_commandline(char* dst, std::size_t size, const char* program, const char* arguments);

// The line reader.
struct line_reader {
    ul_file file;
    unsigned char* buffer;
    void* block;
    std::int16_t position;
    std::int16_t fill;
    std::int16_t capacity;
};

enum : std::uint16_t { UL_LINE_MORE = 0, UL_LINE_PAGE = 1, UL_LINE_LAST = 2 };

status_t UL_readlineopen(setup_context* ctx, line_reader* reader, const char* name);
status_t UL_readline(setup_context* ctx, line_reader* reader, char* line, std::uint16_t size,
                     std::uint16_t* endflag, std::uint16_t* length);
status_t UL_readlineclose(setup_context* ctx, line_reader* reader);
