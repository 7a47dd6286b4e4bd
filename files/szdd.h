// The LZ format of the Windows LZ service ("SZDD" files).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

enum { SZDD_HEADER = 14, SZDD_WINDOW = 4096 };

bool szdd_iscompressed(const std::uint8_t* data, std::size_t size);
// Expands a whole compressed file; false when it is damaged or cut short.
bool szdd_expand(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* out);
// Compresses a whole file of any length (0 included). missingchar is the last
// character of the original name, which the service's users keep in byte 9
// for the conventional name with a trailing '_' (0 when unknown).
void szdd_compress(const std::uint8_t* data, std::size_t size, char missingchar, std::vector<std::uint8_t>* out);
