// File, directory and memory services of Windows behind the UL_ operations.
#include <windows.h>

#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "shell/text.h"

namespace {

HANDLE as_handle(ul_file file) { return reinterpret_cast<HANDLE>(file); }

status_t fail_open(setup_context* ctx, const char* opname, const char* name, status_t st)
{
    UL_logerror(ctx, opname, st);
    INS_recorderror(ctx, st, name);
    return st;
}

// Opens through the classic open-by-name call; the handle then serves the
// ordinary read, write and size calls.
ul_file open_by_name(const char* name, UINT mode)
{
    OFSTRUCT record;
    std::memset(&record, 0, sizeof record);
    HFILE h = OpenFile(name, &record, mode);
    if (h == HFILE_ERROR) return -1;
    return static_cast<ul_file>(h);
}

bool skip_directories(find_record* record, WIN32_FIND_DATAA* data)
{
    HANDLE search = record->search;
    for (;;) {
        if (!(data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            record->filesize = data->nFileSizeLow;
            UL_copytext(record->filename, data->cFileName);
            return true;
        }
        if (!FindNextFileA(search, data)) {
            FindClose(search);
            record->search = nullptr;
            return false;
        }
    }
}

}  // namespace

status_t UL_allocmem(void** out, std::uint32_t size, void** block)
{
    void* p = VirtualAlloc(nullptr, size ? size : 1, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    *out = p;
    if (block) *block = p;
    return p ? ST_OK : ST_GENERAL;
}

status_t UL_freemem(void* block)
{
    if (block) VirtualFree(block, 0, MEM_RELEASE);
    return ST_OK;
}

status_t UL_fileexists(const char* name, std::uint16_t* exists)
{
    DWORD attributes = GetFileAttributesA(name);
    *exists = (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) ? 1 : 0;
    return ST_OK;
}

status_t UL_createfile(setup_context* ctx, const char* name, std::uint16_t kind, ul_file* out)
{
    std::uint16_t exists = 0;
    UL_fileexists(name, &exists);
    status_t st = ST_OK;
    if (exists && (kind >> 8) != 0) {
        st = UL_openfile(ctx, name, std::uint16_t(kind & 0xFF), out);
    } else {
        UINT share;
        switch (kind & 0xFF) {
        case UL_SHARED:
        case UL_SHARED2: share = OF_SHARE_DENY_NONE; break;
        case UL_EXCLUSIVE: share = OF_SHARE_EXCLUSIVE; break;
        default: st = ST_BAD_REQUEST; share = 0; break;
        }
        if (st == ST_OK) {
            ul_file h = open_by_name(name, OF_CREATE | OF_READWRITE | share);
            if (h < 0) st = ST_CREATE_FAILED;
            else *out = h;
        }
    }
    if (st != ST_OK) return fail_open(ctx, "UL_createfile", name, st);
    if (ctx && ctx->filewritten) ctx->filewritten(ctx, name);
    return ST_OK;
}

status_t UL_openfile(setup_context* ctx, const char* name, std::uint16_t kind, ul_file* out)
{
    if (kind != UL_SHARED && kind != UL_SHARED2) {
        char caption[16];
        wsprintfA(caption, "%u", unsigned(kind));
        MessageBoxA(nullptr, name, caption, MB_OK);
        return fail_open(ctx, "UL_openfile", name, ST_BAD_REQUEST);
    }
    ul_file h = open_by_name(name, OF_READWRITE | OF_SHARE_DENY_NONE);
    if (h < 0) return fail_open(ctx, "UL_openfile", name, ST_OPEN_FAILED);
    *out = h;
    return ST_OK;
}

status_t UL_openreadfile(setup_context* ctx, const char* name, std::uint16_t kind, ul_file* out)
{
    if (kind != UL_SHARED && kind != UL_SHARED2) return fail_open(ctx, "UL_openreadfile", name, ST_BAD_REQUEST);
    ul_file h = open_by_name(name, OF_READ | OF_SHARE_DENY_NONE);
    if (h < 0) return fail_open(ctx, "UL_openreadfile", name, ST_OPEN_FAILED);
    *out = h;
    return ST_OK;
}

status_t UL_openreadquiet(const char* name, ul_file* out)
{
    ul_file h = open_by_name(name, OF_READ | OF_SHARE_DENY_NONE);
    if (h < 0) return ST_OPEN_FAILED;
    *out = h;
    return ST_OK;
}

status_t UL_createquiet(const char* name, ul_file* out)
{
    ul_file h = open_by_name(name, OF_CREATE | OF_READWRITE | OF_SHARE_DENY_NONE);
    if (h < 0) return ST_CREATE_FAILED;
    *out = h;
    return ST_OK;
}

status_t UL_closefile(setup_context*, ul_file file)
{
    if (file > 0) CloseHandle(as_handle(file));
    return ST_OK;
}

std::uint32_t UL_readraw(ul_file file, void* buffer, std::uint32_t count)
{
    DWORD got = 0;
    if (!ReadFile(as_handle(file), buffer, count, &got, nullptr)) return 0;
    return got;
}

std::int32_t UL_readchecked(ul_file file, void* buffer, std::uint32_t count)
{
    DWORD got = 0;
    if (!ReadFile(as_handle(file), buffer, count, &got, nullptr)) return -1;
    return std::int32_t(got);
}

status_t UL_readdata(setup_context* ctx, ul_file file, void* buffer, std::uint16_t count)
{
    DWORD got = 0;
    if (!ReadFile(as_handle(file), buffer, count, &got, nullptr) || got != count) {
        UL_loglong(ctx, "UL_readdata error=", std::int32_t(GetLastError()));
        return ST_READ_SHORT;
    }
    return ST_OK;
}

status_t UL_writedata(setup_context* ctx, ul_file file, const void* buffer, std::uint16_t count)
{
    DWORD put = 0;
    if (!WriteFile(as_handle(file), buffer, count, &put, nullptr) || put != count) {
        DWORD rc = GetLastError();
        // A failing log write is reported to the window only.
        bool logfile = ctx && file == ctx->logfile;
        if (logfile) ctx->logfailing = 1;
        UL_loglong(ctx, "len=", count);
        UL_loglong(ctx, "write fail rc=", std::int32_t(rc));
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
    DWORD low = GetFileSize(as_handle(h), nullptr);
    *size = low == INVALID_FILE_SIZE ? 0 : low;
    UL_closefile(ctx, h);
    return ST_OK;
}

status_t UL_movefile(const char* from, const char* to)
{
    DeleteFileA(to);
    MoveFileA(from, to);
    return ST_OK;
}

status_t UL_deletefile(const char* name)
{
    DeleteFileA(name);
    return ST_OK;
}

status_t UL_setnormalattributes(const char* name)
{
    SetFileAttributesA(name, FILE_ATTRIBUTE_NORMAL);
    return ST_OK;
}

status_t UL_isdirectory(setup_context* ctx, const char* path, std::uint16_t* isdir)
{
    *isdir = 0;
    std::size_t len = std::strlen(path);
    if (len == 0 || len >= MAX_PATH) return ST_OK;
    char copy[MAX_PATH];
    UL_copytext(copy, path);
    if (copy[len - 1] == '\\') copy[len - 1] = '\0';
    DWORD attributes = GetFileAttributesA(copy);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        UL_loglong(ctx, "GetFileAttrib error=", std::int32_t(GetLastError()));
        return ST_OK;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) *isdir = 1;
    return ST_OK;
}

std::uint16_t UL_createdir(const char* path)
{
    return CreateDirectoryA(path, nullptr) ? 0 : 1;
}

status_t UL_removedir(const char* path)
{
    char copy[MAX_PATH];
    UL_copytext(copy, path);
    std::size_t len = std::strlen(copy);
    if (len > 0 && copy[len - 1] == '\\') copy[len - 1] = '\0';
    if (!RemoveDirectoryA(copy)) {
        char text[256];
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, GetLastError(), 0, text, sizeof text, nullptr);
    }
    return ST_OK;
}

std::uint16_t UL_findfirst(const char* pattern, std::uint16_t, find_record* record)
{
    WIN32_FIND_DATAA data;
    record->search = nullptr;
    HANDLE search = FindFirstFileA(pattern, &data);
    if (search == INVALID_HANDLE_VALUE) return 1;
    record->search = search;
    return skip_directories(record, &data) ? 0 : 1;
}

std::uint16_t UL_findnext(find_record* record)
{
    if (!record->search) return 1;
    WIN32_FIND_DATAA data;
    if (!FindNextFileA(record->search, &data)) {
        FindClose(record->search);
        record->search = nullptr;
        return 1;
    }
    return skip_directories(record, &data) ? 0 : 1;
}

void UL_findclose(find_record* record)
{
    if (record->search) FindClose(record->search);
    record->search = nullptr;
}

std::int32_t UL_lasterror() { return std::int32_t(GetLastError()); }
