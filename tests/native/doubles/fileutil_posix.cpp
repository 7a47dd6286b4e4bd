// POSIX double of the platform's raw file calls for the native tests (the
// directory search: findfile_posix.cpp).
// Backslashes in names are read as slashes, so the installer's paths work on a
// host tree. Handles are fd + 1, so that 0 stays "none".
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "files/filesystem.h"
#include "files/fileutil.h"
#include "shell/text.h"
#include "tests/native/doubles/files_doubles.h"
#include "tests/native/doubles/hostpath.h"

using doubles::host;

long doubles::readchecked_budget = -1;
long doubles::write_budget = -1;
bool doubles::replace_in_one_step = false;
std::string doubles::file_in_use;

namespace {
int fd_of(ul_file f) { return int(f) - 1; }
}  // namespace

void* FS_alloc(std::uint32_t size) { return std::calloc(1, size); }
void FS_free(void* block) { std::free(block); }

bool FS_open(const char* name, fs_mode mode, ul_file* out)
{
    static const int FLAGS[] = {O_RDONLY, O_RDWR, O_RDWR | O_CREAT | O_TRUNC, O_RDWR | O_CREAT | O_TRUNC,
                                O_WRONLY | O_CREAT | O_APPEND};
    int fd = FS_kind(name) == FS_DIRECTORY ? -1 : open(host(name).c_str(), FLAGS[mode], 0644);
    if (fd >= 0) *out = fd + 1;
    return fd >= 0;
}

void FS_close(ul_file file) { close(fd_of(file)); }
void FS_flush(ul_file file) { fsync(fd_of(file)); }
// A disk that fills after so many bytes.
std::int32_t FS_write(ul_file file, const void* data, std::uint32_t count)
{
    long& budget = doubles::write_budget;
    if (budget == 0) return -1;
    ssize_t put = write(fd_of(file), data, budget > 0 && count > budget ? std::uint32_t(budget) : count);
    if (budget > 0 && put > 0) budget -= long(put);
    return std::int32_t(put);
}

// A disk that fails after so many bytes, as a bad sector in the middle of a file would.
std::int32_t FS_read(ul_file file, void* buffer, std::uint32_t count)
{
    long& budget = doubles::readchecked_budget;
    if (budget == 0) return -1;
    ssize_t got = read(fd_of(file), buffer, budget > 0 && count > budget ? std::uint32_t(budget) : count);
    if (budget > 0 && got > 0) budget -= long(got);
    return std::int32_t(got);
}

std::uint32_t FS_size(ul_file file)
{
    struct stat st;
    return fstat(fd_of(file), &st) == 0 ? std::uint32_t(st.st_size) : 0;
}

fs_kind FS_kind(const char* name)
{
    struct stat st;
    return stat(host(name).c_str(), &st) != 0 ? FS_MISSING : S_ISDIR(st.st_mode) ? FS_DIRECTORY : FS_FILE;
}

bool FS_islink(const char* name)
{
    struct stat st;
    std::string p = host(name);
    if (p.size() > 1 && p.back() == '/') p.pop_back();
    return lstat(p.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool FS_makedir(const char* path) { return mkdir(host(path).c_str(), 0755) == 0; }
void FS_removedir(const char* path) { rmdir(host(path).c_str()); }
namespace {
bool in_use(const char* name) { return !doubles::file_in_use.empty() && host(name) == host(doubles::file_in_use.c_str()); }
}  // namespace

bool FS_delete(const char* name) { return !in_use(name) && unlink(host(name).c_str()) == 0; }

// As Windows moves: never over a file that is there.
bool FS_move(const char* from, const char* to)
{
    struct stat st;
    if (in_use(from) || in_use(to) || lstat(host(to).c_str(), &st) == 0) return false;
    return rename(host(from).c_str(), host(to).c_str()) == 0;
}

fs_replace FS_replace(const char* from, const char* to)
{
    if (!doubles::replace_in_one_step) return FS_NO_ONE_STEP;
    if (in_use(from) || in_use(to)) return FS_NOT_REPLACED;
    return rename(host(from).c_str(), host(to).c_str()) == 0 ? FS_REPLACED : FS_NOT_REPLACED;
}

// A host file system has no short names: every name is its own.
bool FS_shortname(const char* name, char* out, std::uint32_t size)
{
    if (FS_kind(name) == FS_MISSING || std::strlen(name) >= size) return false;
    std::strcpy(out, name);
    return true;
}
void FS_setnormal(const char* name) { chmod(host(name).c_str(), 0644); }

std::int32_t UL_lasterror() { return errno; }
