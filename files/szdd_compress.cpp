// Our own compressor for the LZ service's format: LZSS over a 4096-byte ring
// that starts filled with blanks, writing from position 4096 - 16; matches of
// 3 to 18 bytes, flag bit 1 = literal byte.
//
// Two stages. The match finder records the longest match at every position:
// as a match's cost does not depend on its distance, a match of 3 bytes is
// taken from the last position that began with the same 3 bytes, and longer
// ones are looked for along a chain of earlier positions with the same 4
// bytes, within the window of 4096. The parse then chooses,
// backwards from the end, the cheapest way to code the rest of the file from
// every position: a literal costs 9 bits, a match 17 whatever its length and
// distance, so with the longest match known at each position (and every
// shorter one at the same distance) the cheapest parse is exact.
#include <algorithm>
#include <cstring>
#include <vector>

#include "files/szdd.h"

namespace {

// The table of last 3-byte positions is the larger, as a collision there loses
// the match outright; the 4-byte chains only grow a little longer.
enum { MINMATCH = 3, MAXMATCH = SZDD_MAXMATCH, HASH3BITS = 16, HASH4BITS = 14, PAD = 32 };
enum { LITERAL_BITS = 9, MATCH_BITS = 17 };

// How many earlier positions with the same 4 bytes are tried. Measured on the
// corpus of scripts/bench-lz.sh: from 16 to 32 the output shrinks by 0.24 %
// for 18 % more time, from 32 to 64 by only 0.11 % for 16 % more.
#ifndef SZDD_CHAINDEPTH
#define SZDD_CHAINDEPTH 32
#endif
const int CHAINDEPTH = SZDD_CHAINDEPTH;

// Positions of the blank prefix worth offering: a match that begins further
// back in it is all blanks, and one beginning MAXMATCH before the text gives
// the same.
const std::ptrdiff_t PREFIX_OFFERED = MAXMATCH;

const std::uint8_t MAGIC[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};

inline std::uint32_t load32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline std::uint64_t load64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Hashes of the next 3 and 4 bytes (the buffer is readable 4 bytes on).
inline unsigned hash3(const std::uint8_t* p)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    std::uint32_t v = load32(p) >> 8;
#else
    std::uint32_t v = load32(p) & 0xFFFFFFu;
#endif
    return (v * 2654435761u) >> (32 - HASH3BITS);
}

inline unsigned hash4(const std::uint8_t* p) { return (load32(p) * 2246822519u) >> (32 - HASH4BITS); }

// Length of the common run of a and b, at most 24 bytes (both readable that far).
inline unsigned common(const std::uint8_t* a, const std::uint8_t* b)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    for (unsigned k = 0; k < 24; k += 8) {
        std::uint64_t x = load64(a + k) ^ load64(b + k);
        if (x) return k + unsigned(__builtin_ctzll(x)) / 8;
    }
    return 24;
#else
    unsigned k = 0;
    while (k < 24 && a[k] == b[k]) ++k;
    return k;
#endif
}

}  // namespace

void szdd_find_matches(const std::uint8_t* data, std::size_t size, std::size_t from, std::size_t to, szdd_match* out)
{
    if (to > size) to = size;
    if (from >= to) return;
    // The text seen through the ring: SZDD_WINDOW blanks, then the file. Only
    // the part this range can reach is laid out, padded so that whole words
    // can be compared past its end.
    const std::ptrdiff_t lo = std::ptrdiff_t(from) - SZDD_WINDOW;  // text position of buf[0]
    const std::size_t hi = std::min(size, to + MAXMATCH);
    std::vector<std::uint8_t> buf(std::size_t(std::ptrdiff_t(hi) - lo) + PAD, 0);
    const std::size_t copied = std::size_t(lo < 0 ? 0 : lo);
    const std::size_t blanks = std::size_t(lo < 0 ? -lo : 0);
    std::memset(buf.data(), ' ', blanks);
    std::memcpy(buf.data() + blanks, data + copied, hi - copied);
    const std::uint8_t* p = buf.data();

    // Positions are buffer indices; prev is a ring over the window, as nothing
    // older than SZDD_WINDOW is ever followed.
    const std::int32_t NONE = -0x40000000;
    std::vector<std::int32_t> last3(std::size_t(1) << HASH3BITS, NONE);
    std::vector<std::int32_t> head4(std::size_t(1) << HASH4BITS, NONE);
    std::int32_t prev[SZDD_WINDOW];
    auto insert = [&](std::int32_t b, unsigned h3, unsigned h4) {
        last3[h3] = b;
        prev[b & (SZDD_WINDOW - 1)] = head4[h4];
        head4[h4] = b;
    };
    // Everything that precedes the range within the window, as a run from the
    // start would have it, so that the result does not depend on the range.
    const std::int32_t first = std::int32_t(std::max<std::ptrdiff_t>(0, -PREFIX_OFFERED - lo));
    const std::int32_t begin = std::int32_t(std::ptrdiff_t(from) - lo);
    for (std::int32_t b = first; b < begin; ++b) insert(b, hash3(p + b), hash4(p + b));

    const std::int32_t end = std::int32_t(std::ptrdiff_t(to) - lo);
    const std::int32_t stop = std::int32_t(std::ptrdiff_t(size) - lo);  // end of the file
    for (std::int32_t cur = begin; cur < end; ++cur) {
        szdd_match& m = out[std::size_t(cur - begin)];
        m.length = 0;
        m.distance = 0;
        const unsigned limit = unsigned(std::min<std::int32_t>(MAXMATCH, stop - cur));
        if (limit < MINMATCH) continue;
        const std::uint8_t* here = p + cur;
        const unsigned h3 = hash3(here), h4 = hash4(here);
        unsigned best = MINMATCH - 1;
        std::int32_t bestpos = 0;
        std::int32_t c = last3[h3];
        if (cur - c <= SZDD_WINDOW) {
            unsigned len = common(p + c, here);
            if (len > best) best = len, bestpos = c;
        }
        int depth = CHAINDEPTH;
        for (c = head4[h4]; best < limit && cur - c <= SZDD_WINDOW && depth-- > 0; c = prev[c & (SZDD_WINDOW - 1)]) {
            const std::uint8_t* there = p + c;
            if (there[best] != here[best]) continue;  // cannot be longer than the best so far
            unsigned len = common(there, here);
            if (len > best) best = len, bestpos = c;
        }
        insert(cur, h3, h4);
        if (best >= MINMATCH) {
            m.length = std::uint8_t(std::min(best, limit));
            m.distance = std::uint16_t(cur - bestpos);
        }
    }
}

void szdd_encode(const std::uint8_t* data, std::size_t size, const szdd_match* matches, char missingchar,
                 std::vector<std::uint8_t>* out)
{
    // cost[i]: bits to code the file from position i on.
    std::vector<std::uint32_t> cost(size + 1);
    cost[size] = 0;
    for (std::size_t i = size; i-- > 0;) {
        std::uint32_t c = cost[i + 1] + LITERAL_BITS;
        const unsigned longest = matches[i].length;
        for (unsigned len = MINMATCH; len <= longest; ++len) c = std::min(c, cost[i + len] + MATCH_BITS);
        cost[i] = c;
    }
    // The step that reaches a position's cost: a literal when it does, else
    // the shortest match that does.
    auto step = [&](std::size_t i) -> unsigned {
        if (cost[i + 1] + LITERAL_BITS == cost[i]) return 1;
        for (unsigned len = MINMATCH; len <= matches[i].length; ++len)
            if (cost[i + len] + MATCH_BITS == cost[i]) return len;
        return 1;
    };

    std::uint8_t header[SZDD_HEADER];
    std::copy(MAGIC, MAGIC + sizeof MAGIC, header);
    header[8] = 'A';
    header[9] = std::uint8_t(missingchar);
    for (int i = 0; i < 4; ++i) header[10 + i] = std::uint8_t(std::uint32_t(size) >> (8 * i));
    out->reserve(SZDD_HEADER + size + size / 8 + 1);
    out->assign(header, header + SZDD_HEADER);

    std::size_t flagpos = 0;
    int items = 8;
    for (std::size_t i = 0; i < size;) {
        if (items == 8) {
            flagpos = out->size();
            out->push_back(0);
            items = 0;
        }
        const unsigned take = step(i);
        if (take == 1) {
            (*out)[flagpos] |= std::uint8_t(1u << items);
            out->push_back(data[i]);
            ++i;
        } else {
            // The ring position of the match's first byte: writing starts at
            // SZDD_WINDOW - 16, and the distance may reach into the blanks.
            unsigned ring = unsigned((i + SZDD_WINDOW - 16 + SZDD_WINDOW - matches[i].distance) % SZDD_WINDOW);
            out->push_back(std::uint8_t(ring & 0xFF));
            out->push_back(std::uint8_t(((ring >> 4) & 0xF0) | (take - MINMATCH)));
            i += take;
        }
        ++items;
    }
}

void szdd_compress(const std::uint8_t* data, std::size_t size, char missingchar, std::vector<std::uint8_t>* out)
{
    std::vector<szdd_match> matches(size);
    // By pieces, which keeps the finder's positions small whatever the size.
    const std::size_t piece = std::size_t(1) << 24;
    for (std::size_t from = 0; from < size; from += piece)
        szdd_find_matches(data, size, from, std::min(size, from + piece), matches.data() + from);
    szdd_encode(data, size, matches.data(), missingchar, out);
}
