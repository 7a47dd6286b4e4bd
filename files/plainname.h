// Whether a name read from the medium or from a record can name a file
// inside a directory and nothing else: no drive or directory part, no "." or
// "..", none of the characters Windows refuses in names, and no device name
// (CON, AUX, PRN, NUL, COM1-COM9, LPT1-LPT9, with or without an extension:
// "AUX.TXT" opens the device too). Header-only, so that the uninstaller,
// which is built apart from the installer, checks with the same rule.
#pragma once
#include <cstddef>

inline bool UL_isdevicename(const char* name)
{
    // The device is what stands before the first dot, trailing blanks ignored.
    std::size_t n = 0;
    while (name[n] != '\0' && name[n] != '.') ++n;
    while (n > 0 && name[n - 1] == ' ') --n;
    char base[8];
    if (n > sizeof base - 1) return false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = name[i];
        base[i] = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    }
    base[n] = '\0';
    static const char* const DEVICES[] = {"CON", "AUX", "PRN", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* device : DEVICES) {
        std::size_t i = 0;
        while (device[i] != '\0' && device[i] == base[i]) ++i;
        if (device[i] == '\0' && base[i] == '\0') return true;
    }
    bool com = base[0] == 'C' && base[1] == 'O' && base[2] == 'M';
    bool lpt = base[0] == 'L' && base[1] == 'P' && base[2] == 'T';
    return n == 4 && (com || lpt) && base[3] >= '1' && base[3] <= '9';
}

inline bool UL_isplainname(const char* name)
{
    if (!name || name[0] == '\0') return false;
    bool onlydots = true;
    for (const char* p = name; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x20) return false;
        for (const char* bad = "\\/:*?\"<>|"; *bad; ++bad)
            if (c == static_cast<unsigned char>(*bad)) return false;
        if (*p == '.' && p[1] == '.') return false;
        if (*p != '.' && *p != ' ') onlydots = false;
    }
    return !onlydots && !UL_isdevicename(name);
}
