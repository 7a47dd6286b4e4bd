#include "shell/text.h"

#include <cctype>
#include <cstdint>
#include <cstring>

void UL_copytext(char* dst, std::size_t size, const char* src)
{
    UL_copyleft(dst, size, src, size ? size - 1 : 0);
}

void UL_copyleft(char* dst, std::size_t size, const char* src, std::size_t n)
{
    if (size == 0) return;
    std::size_t len = 0;
    if (src) {
        while (len < n && len + 1 < size && src[len] != '\0') ++len;
        std::memmove(dst, src, len);
    }
    dst[len] = '\0';
}

void UL_appendtext(char* dst, std::size_t size, const char* src)
{
    std::size_t used = std::strlen(dst);
    if (used + 1 >= size) return;
    UL_copytext(dst + used, size - used, src);
}

bool UL_equalnocase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'a' && x <= 'z') x = char(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = char(y - 'a' + 'A');
        if (x != y) return false;
        if (x == '\0') return true;
    }
}

long UL_atol(const char* text)
{
    if (!text) return 0;
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' || *text == '\f' || *text == '\v') ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = (*text++ == '-');
    std::uint32_t value = 0;
    while (*text >= '0' && *text <= '9') value = value * 10u + std::uint32_t(*text++ - '0');
    if (negative) value = 0u - value;
    return long(std::int32_t(value));
}
