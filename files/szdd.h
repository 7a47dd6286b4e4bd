// The LZ format of the Windows LZ service ("SZDD" files).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

enum { SZDD_HEADER = 14, SZDD_WINDOW = 4096, SZDD_MAXMATCH = 18 };

bool szdd_iscompressed(const std::uint8_t* data, std::size_t size);
// Expands a whole compressed file; false when it is damaged or cut short.
bool szdd_expand(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* out);
// Compresses a whole file of any length (0 included). missingchar is the last
// character of the original name, which the service's users keep in byte 9
// for the conventional name with a trailing '_' (0 when unknown).
void szdd_compress(const std::uint8_t* data, std::size_t size, char missingchar, std::vector<std::uint8_t>* out);

// The two stages of szdd_compress, for callers that spread the work over
// threads. The longest match at each position of [from, to) goes to
// out[0 .. to - from) (length 0: none; else 3 to 18 bytes back by distance 1 to
// 4096, which may reach into the ring's initial blanks). The result for a
// position does not depend on the range it was found in. A range is at most
// 256 MiB long.
struct szdd_match {
    std::uint16_t distance;
    std::uint8_t length;
};
void szdd_find_matches(const std::uint8_t* data, std::size_t size, std::size_t from, std::size_t to, szdd_match* out);
// Writes the compressed file from the matches of every position (size entries).
void szdd_encode(const std::uint8_t* data, std::size_t size, const szdd_match* matches, char missingchar,
                 std::vector<std::uint8_t>* out);
