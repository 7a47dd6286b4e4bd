// Bounded text helpers: every copy into a fixed-size buffer goes through these.
#pragma once
#include <cstddef>

// Copies at most size-1 characters of src into dst and terminates it.
void UL_copytext(char* dst, std::size_t size, const char* src);
// Appends src to dst, keeping the whole within size-1 characters.
void UL_appendtext(char* dst, std::size_t size, const char* src);
// Copies the first n characters of src (fewer when it is shorter) into dst of size bytes.
void UL_copyleft(char* dst, std::size_t size, const char* src, std::size_t n);

template <std::size_t N> inline void UL_copytext(char (&dst)[N], const char* src) { UL_copytext(dst, N, src); }
template <std::size_t N> inline void UL_appendtext(char (&dst)[N], const char* src) { UL_appendtext(dst, N, src); }

// Equality of two texts without regard to the case of the letters A to Z.
bool UL_equalnocase(const char* a, const char* b);

// Decimal text to integer as the C library's atoi reads it (blanks, sign, digits),
// without its undefined behaviour on overflow: the value wraps like a 32-bit int.
long UL_atol(const char* text);
