// POSIX double of the file utilities for the native tests. Backslashes in
// names are read as slashes, so the installer's paths work on a host tree.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/fileutil.h"
#include "files/log.h"
#include "shell/text.h"
#include "tests/native/doubles/files_doubles.h"
#include "tests/native/doubles/hostpath.h"

using doubles::host;

namespace doubles {
long readchecked_budget = -1;
}

namespace {

// Handles are fd + 1 so that 0 stays "none".
int fd_of(ul_file f) { return int(f) - 1; }

status_t fail_open(setup_context* ctx, const char* opname, const char* name, status_t st)
{
    UL_logerror(ctx, opname, st);
    INS_recorderror(ctx, st, name);
    return st;
}

struct posix_search {
    DIR* dir;
    std::string directory;
    std::string pattern;
};

bool next_file(find_record* record)
{
    auto* s = static_cast<posix_search*>(record->search);
    while (dirent* e = readdir(s->dir)) {
        if (fnmatch(s->pattern.c_str(), e->d_name, 0) != 0 && s->pattern != "*.*") continue;
        std::string full = s->directory + "/" + e->d_name;
        struct stat st;
        if (stat(full.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
        record->filesize = std::uint32_t(st.st_size);
        UL_copytext(record->filename, e->d_name);
        return true;
    }
    closedir(s->dir);
    delete s;
    record->search = nullptr;
    return false;
}

}  // namespace

status_t UL_allocmem(void** out, std::uint32_t size, void** block)
{
    void* p = std::calloc(1, size ? size : 1);
    *out = p;
    if (block) *block = p;
    return p ? ST_OK : ST_GENERAL;
}

status_t UL_freemem(void* block)
{
    std::free(block);
    return ST_OK;
}

status_t UL_fileexists(const char* name, std::uint16_t* exists)
{
    struct stat st;
    *exists = (stat(host(name).c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ? 1 : 0;
    return ST_OK;
}

status_t UL_createfile(setup_context* ctx, const char* name, std::uint16_t kind, ul_file* out)
{
    std::uint16_t exists = 0;
    UL_fileexists(name, &exists);
    status_t st = ST_OK;
    std::uint16_t low = kind & 0xFF;
    if (exists && (kind >> 8) != 0) {
        st = UL_openfile(ctx, name, low, out);
    } else if (low != UL_SHARED && low != UL_SHARED2 && low != UL_EXCLUSIVE) {
        st = ST_BAD_REQUEST;
    } else {
        int fd = open(host(name).c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) st = ST_CREATE_FAILED;
        else *out = fd + 1;
    }
    if (st != ST_OK) return fail_open(ctx, "UL_createfile", name, st);
    if (ctx && ctx->filewritten) ctx->filewritten(ctx, name);
    return ST_OK;
}

status_t UL_openfile(setup_context* ctx, const char* name, std::uint16_t kind, ul_file* out)
{
    if (kind != UL_SHARED && kind != UL_SHARED2) return fail_open(ctx, "UL_openfile", name, ST_BAD_REQUEST);
    int fd = open(host(name).c_str(), O_RDWR);
    if (fd < 0) return fail_open(ctx, "UL_openfile", name, ST_OPEN_FAILED);
    *out = fd + 1;
    return ST_OK;
}

status_t UL_openreadfile(setup_context* ctx, const char* name, std::uint16_t kind, ul_file* out)
{
    if (kind != UL_SHARED && kind != UL_SHARED2) return fail_open(ctx, "UL_openreadfile", name, ST_BAD_REQUEST);
    struct stat st;
    int fd = (stat(host(name).c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ? open(host(name).c_str(), O_RDONLY) : -1;
    if (fd < 0) return fail_open(ctx, "UL_openreadfile", name, ST_OPEN_FAILED);
    *out = fd + 1;
    return ST_OK;
}

status_t UL_openreadquiet(const char* name, ul_file* out)
{
    struct stat st;
    int fd = (stat(host(name).c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ? open(host(name).c_str(), O_RDONLY) : -1;
    if (fd < 0) return ST_OPEN_FAILED;
    *out = fd + 1;
    return ST_OK;
}

status_t UL_createquiet(const char* name, ul_file* out)
{
    int fd = open(host(name).c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return ST_CREATE_FAILED;
    *out = fd + 1;
    return ST_OK;
}

status_t UL_closefile(setup_context*, ul_file file)
{
    if (file > 0) close(fd_of(file));
    return ST_OK;
}

std::uint32_t UL_readraw(ul_file file, void* buffer, std::uint32_t count)
{
    ssize_t got = read(fd_of(file), buffer, count);
    return got > 0 ? std::uint32_t(got) : 0;
}

std::int32_t UL_readchecked(ul_file file, void* buffer, std::uint32_t count)
{
    // A disk that fails after so many bytes, as a bad sector in the middle of a file would.
    if (doubles::readchecked_budget >= 0) {
        if (doubles::readchecked_budget == 0) return -1;
        if (count > std::uint32_t(doubles::readchecked_budget)) count = std::uint32_t(doubles::readchecked_budget);
    }
    ssize_t got = read(fd_of(file), buffer, count);
    if (got < 0) return -1;
    if (doubles::readchecked_budget > 0) doubles::readchecked_budget -= long(got);
    return std::int32_t(got);
}

status_t UL_readdata(setup_context* ctx, ul_file file, void* buffer, std::uint16_t count)
{
    ssize_t got = read(fd_of(file), buffer, count);
    if (got != ssize_t(count)) {
        UL_loglong(ctx, "UL_readdata error=", errno);
        return ST_READ_SHORT;
    }
    return ST_OK;
}

status_t UL_writedata(setup_context* ctx, ul_file file, const void* buffer, std::uint16_t count)
{
    ssize_t put = write(fd_of(file), buffer, count);
    if (put != ssize_t(count)) {
        int rc = errno;
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
    struct stat st;
    if (fstat(fd_of(h), &st) == 0) *size = std::uint32_t(st.st_size);
    UL_closefile(ctx, h);
    return ST_OK;
}

status_t UL_movefile(const char* from, const char* to)
{
    unlink(host(to).c_str());
    rename(host(from).c_str(), host(to).c_str());
    return ST_OK;
}

status_t UL_deletefile(const char* name)
{
    unlink(host(name).c_str());
    return ST_OK;
}

status_t UL_setnormalattributes(const char* name)
{
    chmod(host(name).c_str(), 0644);
    return ST_OK;
}

status_t UL_isdirectory(setup_context* ctx, const char* path, std::uint16_t* isdir)
{
    *isdir = 0;
    std::size_t len = std::strlen(path);
    if (len == 0 || len >= 260) return ST_OK;
    std::string p = host(path);
    if (p.back() == '/' && p.size() > 1) p.pop_back();
    struct stat st;
    if (stat(p.c_str(), &st) != 0) {
        UL_loglong(ctx, "GetFileAttrib error=", errno);
        return ST_OK;
    }
    if (S_ISDIR(st.st_mode)) *isdir = 1;
    return ST_OK;
}

std::uint16_t UL_createdir(const char* path) { return mkdir(host(path).c_str(), 0755) == 0 ? 0 : 1; }

status_t UL_removedir(const char* path)
{
    std::string p = host(path);
    if (!p.empty() && p.back() == '/') p.pop_back();
    rmdir(p.c_str());
    return ST_OK;
}

std::uint16_t UL_findfirst(const char* pattern, std::uint16_t, find_record* record)
{
    record->search = nullptr;
    std::string p = host(pattern);
    std::size_t slash = p.rfind('/');
    std::string dir = slash == std::string::npos ? "." : p.substr(0, slash);
    DIR* d = opendir(dir.c_str());
    if (!d) return 1;
    record->search = new posix_search{d, dir, slash == std::string::npos ? p : p.substr(slash + 1)};
    return next_file(record) ? 0 : 1;
}

std::uint16_t UL_findnext(find_record* record)
{
    if (!record->search) return 1;
    return next_file(record) ? 0 : 1;
}

void UL_findclose(find_record* record)
{
    if (!record->search) return;
    auto* s = static_cast<posix_search*>(record->search);
    closedir(s->dir);
    delete s;
    record->search = nullptr;
}

std::int32_t UL_lasterror() { return errno; }
