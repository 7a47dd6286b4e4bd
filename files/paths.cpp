#include <cstring>

#include "files/fileutil.h"
#include "shell/text.h"

status_t UL_trim(char* dst, const char* src)
{
    std::size_t len = std::strlen(src);
    if (len > TEXTSIZE - 1) return ST_GENERAL;
    std::size_t start = 0;
    while (start < len && src[start] == ' ') ++start;
    while (len > start && src[len - 1] == ' ') --len;
    std::memmove(dst, src + start, len - start);
    dst[len - start] = '\0';
    return ST_OK;
}

status_t UL_stripslash(char* path)
{
    std::size_t len = std::strlen(path);
    while (len > 0 && (path[len - 1] == ' ' || path[len - 1] == '\\')) --len;
    path[len] = '\0';
    return ST_OK;
}

status_t UL_addslash(char* path)
{
    // A text that UL_trim refuses is cut to fit the installer's 80-byte paths.
    if (UL_trim(path, path) != ST_OK) path[TEXTSIZE - 2] = '\0';
    std::size_t len = std::strlen(path);
    if (len == 0 || path[len - 1] != '\\') {
        if (len >= TEXTSIZE - 1) len = TEXTSIZE - 2;
        path[len] = '\\';
        path[len + 1] = '\0';
    }
    return ST_OK;
}

void UL_makepath(char dst[TEXTSIZE], const char* dir, const char* name)
{
    char joined[TEXTSIZE];
    UL_copytext(joined, dir);
    UL_appendtext(joined, name);
    UL_copytext(dst, TEXTSIZE, joined);
}

bool UL_appendquoted(char* dst, std::size_t size, const char* path)
{
    std::size_t used = std::strlen(dst), n = std::strlen(path);
    if (used + n + 2 >= size) return false;
    dst[used] = '"';
    std::memcpy(dst + used + 1, path, n);
    dst[used + 1 + n] = '"';
    dst[used + 2 + n] = '\0';
    return true;
}

bool UL_commandline(char* dst, std::size_t size, const char* program, const char* arguments)
{
    if (size == 0) return false;
    dst[0] = '\0';
    bool fits = UL_appendquoted(dst, size, program);
    if (fits && arguments && arguments[0]) {
        std::size_t used = std::strlen(dst), n = std::strlen(arguments);
        fits = used + 1 + n < size;
        if (fits) {
            dst[used] = ' ';
            std::memcpy(dst + used + 1, arguments, n + 1);
        }
    }
    // A cut command line could name another program: none at all instead.
    if (!fits) dst[0] = '\0';
    return fits;
}
