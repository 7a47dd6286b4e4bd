// The installation record (DATA\UNINSTAL.LST) names what an installation made,
// one entry a line: "D,<directory>" or "F,<file>", relative to the installation
// directory. The uninstaller deletes what it names, and the record lies in a
// folder every user may write, so a path counts only when it stays below the
// installation directory: no drive, no root, no "..", no device name.
// Header-only and free of Windows headers, so that the installer, the
// uninstaller (built apart) and the host tests check with the same rule.
#pragma once
#include <cstddef>

#include "files/plainname.h"

// Longest relative path a record may hold (MAX_PATH less its terminator).
constexpr std::size_t UL_RECORDPATH_MAX = 259;

inline bool UL_isrecordpath(const char* relative)
{
    if (!relative || relative[0] == '\0' || relative[0] == '\\' || relative[0] == '/') return false;
    std::size_t length = 0;
    while (relative[length] != '\0') {
        if (relative[length] == ':' || relative[length] == '/') return false;
        if (++length > UL_RECORDPATH_MAX) return false;
    }
    // Each component on its own: empty ones ("A\\B", a trailing backslash),
    // "." and ".." and whatever else no plain name may be.
    const char* start = relative;
    for (;;) {
        const char* end = start;
        while (*end != '\0' && *end != '\\') ++end;
        std::size_t n = std::size_t(end - start);
        if (n == 0) return false;
        char component[UL_RECORDPATH_MAX + 1];
        for (std::size_t i = 0; i < n; ++i) component[i] = start[i];
        component[n] = '\0';
        if (!UL_isplainname(component)) return false;
        if (*end == '\0') return true;
        start = end + 1;
    }
}

// Parses one line: 'D' or 'F' into *kind, the path into rel (size bytes);
// false for anything else or a bad path. A line ending (CR, LF) at the end is
// not part of the path.
inline bool UL_parserecordline(const char* line, char* kind, char* rel, std::size_t size)
{
    if (!line || !kind || !rel || size == 0) return false;
    rel[0] = '\0';
    if ((line[0] != 'D' && line[0] != 'F') || line[1] != ',') return false;
    const char* path = line + 2;
    std::size_t n = 0;
    while (path[n] != '\0') ++n;
    while (n > 0 && (path[n - 1] == '\r' || path[n - 1] == '\n')) --n;
    if (n == 0 || n > UL_RECORDPATH_MAX || n >= size) return false;
    char copy[UL_RECORDPATH_MAX + 1];
    for (std::size_t i = 0; i < n; ++i) copy[i] = path[i];
    copy[n] = '\0';
    if (!UL_isrecordpath(copy)) return false;
    for (std::size_t i = 0; i <= n; ++i) rel[i] = copy[i];
    *kind = line[0];
    return true;
}
