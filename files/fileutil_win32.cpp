// The raw file, directory and memory calls of Windows under the file policy.
#include <windows.h>

#include <cstring>

#include "files/filesystem.h"
#include "files/fileutil.h"
#include "shell/text.h"

namespace {

HANDLE as_handle(ul_file file) { return reinterpret_cast<HANDLE>(file); }

void fill_entry(const WIN32_FIND_DATAA& data, fs_entry* entry)
{
    UL_copytext(entry->name, data.cFileName);
    entry->size = data.nFileSizeLow;
    entry->directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void* FS_alloc(std::uint32_t size) { return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE); }
void FS_free(void* block) { VirtualFree(block, 0, MEM_RELEASE); }

// Through the classic open-by-name call; the handle then serves the ordinary
// read, write and size calls.
bool FS_open(const char* name, fs_mode mode, ul_file* out)
{
    if (mode == FS_APPEND) {
        HANDLE h = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        SetFilePointer(h, 0, nullptr, FILE_END);
        *out = reinterpret_cast<ul_file>(h);
        return true;
    }
    static const UINT MODES[] = {
        OF_READ | OF_SHARE_DENY_NONE,
        OF_READWRITE | OF_SHARE_DENY_NONE,
        OF_CREATE | OF_READWRITE | OF_SHARE_DENY_NONE,
        OF_CREATE | OF_READWRITE | OF_SHARE_EXCLUSIVE,
    };
    OFSTRUCT record;
    std::memset(&record, 0, sizeof record);
    HFILE h = OpenFile(name, &record, MODES[mode]);
    if (h == HFILE_ERROR) return false;
    *out = static_cast<ul_file>(h);
    return true;
}

void FS_close(ul_file file) { CloseHandle(as_handle(file)); }

void FS_flush(ul_file file) { FlushFileBuffers(as_handle(file)); }

std::int32_t FS_read(ul_file file, void* buffer, std::uint32_t count)
{
    DWORD got = 0;
    return ReadFile(as_handle(file), buffer, count, &got, nullptr) ? std::int32_t(got) : -1;
}

std::int32_t FS_write(ul_file file, const void* buffer, std::uint32_t count)
{
    DWORD put = 0;
    return WriteFile(as_handle(file), buffer, count, &put, nullptr) ? std::int32_t(put) : -1;
}

std::uint32_t FS_size(ul_file file)
{
    DWORD low = GetFileSize(as_handle(file), nullptr);
    return low == INVALID_FILE_SIZE ? 0 : low;
}

fs_kind FS_kind(const char* name)
{
    DWORD attributes = GetFileAttributesA(name);
    if (attributes == INVALID_FILE_ATTRIBUTES) return FS_MISSING;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FS_DIRECTORY : FS_FILE;
}

bool FS_islink(const char* name)
{
    DWORD attributes = GetFileAttributesA(name);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool FS_makedir(const char* path) { return CreateDirectoryA(path, nullptr) != 0; }
void FS_removedir(const char* path) { RemoveDirectoryA(path); }
bool FS_delete(const char* name) { return DeleteFileA(name) != 0; }
bool FS_move(const char* from, const char* to) { return MoveFileA(from, to) != 0; }

// The Windows 95 family exports the call but does nothing with it.
fs_replace FS_replace(const char* from, const char* to)
{
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return FS_REPLACED;
    return GetLastError() == ERROR_CALL_NOT_IMPLEMENTED ? FS_NO_ONE_STEP : FS_NOT_REPLACED;
}

bool FS_shortname(const char* name, char* out, std::uint32_t size)
{
    DWORD n = GetShortPathNameA(name, out, size);
    return n > 0 && n < size;
}
void FS_setnormal(const char* name) { SetFileAttributesA(name, FILE_ATTRIBUTE_NORMAL); }

bool FS_findfirst(const char* pattern, ul_handle* search, fs_entry* entry)
{
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(pattern, &data);
    *search = nullptr;
    if (h == INVALID_HANDLE_VALUE) return false;
    *search = h;
    fill_entry(data, entry);
    return true;
}

bool FS_findnext(ul_handle* search, fs_entry* entry)
{
    WIN32_FIND_DATAA data;
    if (!*search) return false;
    if (!FindNextFileA(*search, &data)) {
        FS_findclose(search);
        return false;
    }
    fill_entry(data, entry);
    return true;
}

void FS_findclose(ul_handle* search)
{
    if (*search) FindClose(*search);
    *search = nullptr;
}

std::int32_t UL_lasterror() { return std::int32_t(GetLastError()); }
