// Paths of the uninstaller: plain fixed-size texts keep the library small; a
// path that does not fit is never cut into another one.
#include <cstring>
#include <initializer_list>

#include "command.h"
#include "removal_win32.h"

namespace uninst {

// The parts joined; empty (naming nothing) when they do not fit a path.
text make(const char* a, const char* b, const char* c, const char* d)
{
    text t = {};
    std::size_t used = 0;
    for (const char* part : {a, b, c, d}) {
        std::size_t n = std::strlen(part);
        if (used + n >= MAX_PATH) return text{};
        std::memcpy(t.s + used, part, n);
        used += n;
    }
    t.s[used] = '\0';
    return t;
}

void add_slash(char* dir, std::size_t size)
{
    std::size_t n = std::strlen(dir);
    if (n > 0 && dir[n - 1] != '\\' && n + 1 < size) {
        dir[n] = '\\';
        dir[n + 1] = '\0';
    }
}

void strip_slash(char* dir)
{
    std::size_t n = std::strlen(dir);
    while (n > 0 && dir[n - 1] == '\\') dir[--n] = '\0';
}

text windows_dir()
{
    text t = {};
    GetWindowsDirectoryA(t.s, MAX_PATH);
    add_slash(t.s, sizeof t.s);
    return t;
}

// An absolute path made whole ("..", "." and doubled separators resolved);
// empty when it is relative or does not fit.
text full_path(const char* path)
{
    text t = {};
    if (!UC_isabsolute(path)) return t;
    char* part = nullptr;
    DWORD n = GetFullPathNameA(path, MAX_PATH, t.s, &part);
    if (n == 0 || n >= MAX_PATH) t.s[0] = '\0';
    return t;
}

// Directories compared whole, without their trailing backslash.
bool same_dir(const char* a, const char* b)
{
    text x = full_path(a), y = full_path(b);
    strip_slash(x.s);
    strip_slash(y.s);
    return x.s[0] && y.s[0] && lstrcmpiA(x.s, y.s) == 0;
}

// Whether a path lies inside the installation directory (given whole, with
// its backslash): "C:\ZELTAPRO\..\WINDOWS" and "C:\ZELTAPROX\" do not.
bool inside(const char* path, const char* installdir)
{
    text full = full_path(path);
    std::size_t n = std::strlen(installdir);
    if (n == 0 || std::strlen(full.s) <= n) return false;
    full.s[n] = '\0';
    return lstrcmpiA(full.s, installdir) == 0;
}

bool is_link(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

text faxini_path()
{
    text faxini = make(windows_dir().s, "FAX.ini");
    text path = {};
    GetPrivateProfileStringA("FAX", "PATH", "", path.s, MAX_PATH, faxini.s);
    return path;
}

}  // namespace uninst
