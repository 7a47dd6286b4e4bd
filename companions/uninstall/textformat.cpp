// The uninstaller's text filling, apart from Windows so that it is tested on the host.
#include <cstring>

#include "texts.h"

namespace {

void append(char* out, std::size_t size, std::size_t* used, const char* from, std::size_t n)
{
    for (std::size_t i = 0; i < n && from[i] && *used + 1 < size; ++i) out[(*used)++] = from[i];
}

}  // namespace

void UT_format(char* out, std::size_t size, const char* format, const char* first, const char* second)
{
    if (size == 0) return;
    const char* args[] = {first ? first : "", second ? second : ""};
    std::size_t used = 0, next = 0;
    for (const char* p = format; *p && used + 1 < size; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (next < 2) append(out, size, &used, args[next], std::strlen(args[next]));
            ++next;
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            append(out, size, &used, "%", 1);
            ++p;
        } else {
            append(out, size, &used, p, 1);
        }
    }
    out[used] = '\0';
}
