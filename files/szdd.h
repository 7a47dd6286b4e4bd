// The LZ format of the Windows LZ service ("SZDD" files).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

enum { SZDD_HEADER = 14, SZDD_WINDOW = 4096 };

bool szdd_iscompressed(const std::uint8_t* data, std::size_t size);
// Expands a whole compressed file; false when it is damaged or cut short.
bool szdd_expand(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* out);
