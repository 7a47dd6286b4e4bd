// The file policy over the platform's raw calls: the open kinds, keeping an
// existing file, the trace and the recorded detail of a failing open, and the
// report of a failing write that must not write to the failing log again.
#include "files/fileutil.h"

#include <cstdio>
#include <cstring>

#include "files/filesystem.h"
#include "files/log.h"
#include "files/replace.h"
#include "shell/platform.h"
#include "shell/text.h"

namespace {

enum { PATHSIZE = 260 };

status_t fail_open(setup_context* ctx, const char* opname, const char* name, status_t st)
{
    UL_logerror(ctx, opname, st);
    INS_recorderror(ctx, st, name);
    return st;
}

bool shared_kind(std::uint16_t kind) { return kind == UL_SHARED || kind == UL_SHARED2; }

// The path without its trailing backslash; false when it is empty or too long.
bool without_slash(char out[PATHSIZE], const char* path)
{
    std::size_t len = std::strlen(path);
    if (len == 0 || len >= PATHSIZE) return false;
    UL_copytext(out, PATHSIZE, path);
    if (out[len - 1] == '\\') out[len - 1] = '\0';
    return true;
}

// Passes directories by; false (search closed) when no file is left.
bool next_file(bool found, find_record* record, fs_entry* entry)
{
    while (found && entry->directory) found = FS_findnext(&record->search, entry);
    if (!found) return false;
    record->filesize = entry->size;
    UL_copytext(record->filename, entry->name);
    return true;
}

}  // namespace

status_t UL_allocmem(void** out, std::uint32_t size, void** block)
{
    void* p = FS_alloc(size ? size : 1);
    *out = p;
    if (block) *block = p;
    return p ? ST_OK : ST_GENERAL;
}

status_t UL_freemem(void* block)
{
    if (block) FS_free(block);
    return ST_OK;
}

status_t UL_fileexists(const char* name, std::uint16_t* exists)
{
    *exists = FS_kind(name) == FS_FILE ? 1 : 0;
    return ST_OK;
}

status_t UL_createfile(setup_context* ctx, const char* name, std::uint16_t kind, ul_file* out)
{
    if (ctx && ctx->filechanging) ctx->filechanging(ctx, name);
    std::uint16_t exists = 0;
    UL_fileexists(name, &exists);
    const std::uint16_t low = kind & 0xFF;
    status_t st = ST_OK;
    if (exists && (kind >> 8) != 0) {
        st = UL_openfile(ctx, name, low, out);
    } else if (!shared_kind(low) && low != UL_EXCLUSIVE) {
        st = ST_BAD_REQUEST;
    } else if (!FS_open(name, low == UL_EXCLUSIVE ? FS_CREATE_ALONE : FS_CREATE, out)) {
        st = ST_CREATE_FAILED;
    }
    if (st != ST_OK) return fail_open(ctx, "UL_createfile", name, st);
    if (ctx && ctx->filewritten) ctx->filewritten(ctx, name);
    return ST_OK;
}

status_t UL_openfile(setup_context* ctx, const char* name, std::uint16_t kind, ul_file* out)
{
    if (!shared_kind(kind)) {
        // A caller's fault, shown to whoever tests the build.
        char caption[16];
        std::snprintf(caption, sizeof caption, "%u", unsigned(kind));
        UL_messagebox(caption, name, UL_BOX_INFO);
        return fail_open(ctx, "UL_openfile", name, ST_BAD_REQUEST);
    }
    if (!FS_open(name, FS_READWRITE, out)) return fail_open(ctx, "UL_openfile", name, ST_OPEN_FAILED);
    return ST_OK;
}

status_t UL_openreadfile(setup_context* ctx, const char* name, std::uint16_t kind, ul_file* out)
{
    if (!shared_kind(kind)) return fail_open(ctx, "UL_openreadfile", name, ST_BAD_REQUEST);
    if (!FS_open(name, FS_READ, out)) return fail_open(ctx, "UL_openreadfile", name, ST_OPEN_FAILED);
    return ST_OK;
}

status_t UL_openreadquiet(const char* name, ul_file* out)
{
    return FS_open(name, FS_READ, out) ? ST_OK : ST_OPEN_FAILED;
}

status_t UL_createquiet(const char* name, ul_file* out)
{
    return FS_open(name, FS_CREATE, out) ? ST_OK : ST_CREATE_FAILED;
}

status_t UL_closefile(setup_context*, ul_file file)
{
    if (file > 0) FS_close(file);
    return ST_OK;
}

std::uint32_t UL_readraw(ul_file file, void* buffer, std::uint32_t count)
{
    std::int32_t got = FS_read(file, buffer, count);
    return got > 0 ? std::uint32_t(got) : 0;
}

std::int32_t UL_readchecked(ul_file file, void* buffer, std::uint32_t count) { return FS_read(file, buffer, count); }

status_t UL_readdata(setup_context* ctx, ul_file file, void* buffer, std::uint16_t count)
{
    if (FS_read(file, buffer, count) != std::int32_t(count)) {
        UL_loglong(ctx, "UL_readdata error=", UL_lasterror());
        return ST_READ_SHORT;
    }
    return ST_OK;
}

status_t UL_writedata(setup_context* ctx, ul_file file, const void* buffer, std::uint16_t count)
{
    if (FS_write(file, buffer, count) != std::int32_t(count)) {
        std::int32_t rc = UL_lasterror();
        // A failing log write is reported to the window only.
        bool logfile = ctx && file == ctx->logfile;
        if (logfile) ctx->logfailing = 1;
        UL_loglong(ctx, "len=", count);
        UL_loglong(ctx, "write fail rc=", rc);
        if (logfile) ctx->logfailing = 0;
        return ST_WRITE_SHORT;
    }
    return ST_OK;
}

status_t UL_filesize(setup_context* ctx, const char* name, std::uint32_t* size)
{
    *size = 0;
    ul_file h = 0;
    RETURN_IF_FAILED(UL_openreadfile(ctx, name, UL_SHARED, &h));
    *size = FS_size(h);
    UL_closefile(ctx, h);
    return ST_OK;
}

status_t UL_movefile(const char* from, const char* to)
{
    return UL_replacefile(from, to) ? ST_OK : ST_CREATE_FAILED;
}

status_t UL_deletefile(const char* name)
{
    FS_delete(name);
    return ST_OK;
}

status_t UL_setnormalattributes(const char* name)
{
    FS_setnormal(name);
    return ST_OK;
}

status_t UL_isdirectory(setup_context* ctx, const char* path, std::uint16_t* isdir)
{
    *isdir = 0;
    char copy[PATHSIZE];
    if (!without_slash(copy, path)) return ST_OK;
    fs_kind kind = FS_kind(copy);
    if (kind == FS_MISSING) {
        UL_loglong(ctx, "GetFileAttrib error=", UL_lasterror());
        return ST_OK;
    }
    if (kind == FS_DIRECTORY) *isdir = 1;
    return ST_OK;
}

bool UL_islink(const char* path)
{
    char copy[PATHSIZE];
    return without_slash(copy, path) && FS_islink(copy);
}

std::uint16_t UL_createdir(const char* path) { return FS_makedir(path) ? 0 : 1; }

status_t UL_removedir(const char* path)
{
    char copy[PATHSIZE];
    if (without_slash(copy, path)) FS_removedir(copy);
    return ST_OK;
}

std::uint16_t UL_findfirst(const char* pattern, std::uint16_t, find_record* record)
{
    record->search = nullptr;
    fs_entry entry;
    return next_file(FS_findfirst(pattern, &record->search, &entry), record, &entry) ? 0 : 1;
}

std::uint16_t UL_findnext(find_record* record)
{
    if (!record->search) return 1;
    fs_entry entry;
    return next_file(FS_findnext(&record->search, &entry), record, &entry) ? 0 : 1;
}

void UL_findclose(find_record* record) { FS_findclose(&record->search); }
