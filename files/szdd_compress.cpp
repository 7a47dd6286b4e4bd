// Our own compressor for the LZ service's format: LZSS over a 4096-byte ring
// that starts filled with blanks, writing from position 4096 - 16; matches of
// 3 to 18 bytes, flag bit 1 = literal byte.
#include <algorithm>
#include <vector>

#include "files/szdd.h"

namespace {

enum { MINMATCH = 3, MAXMATCH = 18, HASHBITS = 13, CHAINDEPTH = 256 };

const std::uint8_t MAGIC[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};

// The input is seen behind SZDD_WINDOW blanks: the ring's initial contents
// behave exactly like that many bytes of earlier text.
struct source {
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t at(std::ptrdiff_t i) const { return i < 0 ? std::uint8_t(' ') : data[i]; }
};

unsigned hash3(const source& s, std::ptrdiff_t i)
{
    unsigned h = unsigned(s.at(i)) << 10 ^ unsigned(s.at(i + 1)) << 5 ^ unsigned(s.at(i + 2));
    return (h * 2654435761u) >> (32 - HASHBITS);
}

struct writer {
    std::vector<std::uint8_t>* out;
    std::size_t flagpos = 0;
    int items = 8;

    void begin_item(bool literal)
    {
        if (items == 8) {
            flagpos = out->size();
            out->push_back(0);
            items = 0;
        }
        if (literal) (*out)[flagpos] |= std::uint8_t(1u << items);
        ++items;
    }
};

}  // namespace

void szdd_compress(const std::uint8_t* data, std::size_t size, char missingchar, std::vector<std::uint8_t>* out)
{
    std::uint8_t header[SZDD_HEADER];
    std::copy(MAGIC, MAGIC + sizeof MAGIC, header);
    header[8] = 'A';
    header[9] = std::uint8_t(missingchar);
    for (int i = 0; i < 4; ++i) header[10 + i] = std::uint8_t(std::uint32_t(size) >> (8 * i));
    out->assign(header, header + SZDD_HEADER);

    source src{data, size};
    const std::ptrdiff_t n = std::ptrdiff_t(size);
    const std::ptrdiff_t base = SZDD_WINDOW;  // index shift: position p is slot p + base
    std::vector<std::int32_t> head(1u << HASHBITS, -1);
    std::vector<std::int32_t> prev(std::size_t(n) + SZDD_WINDOW, -1);
    auto insert = [&](std::ptrdiff_t p) {
        unsigned h = hash3(src, p);
        prev[std::size_t(p + base)] = head[h];
        head[h] = std::int32_t(p + base);
    };
    // Only the last few blanks of the prefix are worth offering as matches;
    // any run of blanks finds one of them.
    for (std::ptrdiff_t p = -MAXMATCH - 2; p <= -MINMATCH; ++p) insert(p);

    writer w{out};
    std::ptrdiff_t cur = 0;
    while (cur < n) {
        std::ptrdiff_t limit = n - cur < std::ptrdiff_t(MAXMATCH) ? n - cur : std::ptrdiff_t(MAXMATCH);
        std::ptrdiff_t bestlen = 0, bestpos = 0;
        if (limit >= MINMATCH) {
            int depth = 0;
            for (std::int32_t c = head[hash3(src, cur)]; c >= 0 && depth < CHAINDEPTH; c = prev[std::size_t(c)], ++depth) {
                std::ptrdiff_t cand = std::ptrdiff_t(c) - base;
                if (cur - cand > SZDD_WINDOW) break;
                std::ptrdiff_t len = 0;
                while (len < limit && src.at(cand + len) == data[cur + len]) ++len;
                if (len > bestlen) {
                    bestlen = len;
                    bestpos = cand;
                    if (len == limit) break;
                }
            }
        }
        if (bestlen >= MINMATCH) {
            unsigned offset = unsigned((bestpos + SZDD_WINDOW - 16 + 2 * SZDD_WINDOW) % SZDD_WINDOW);
            w.begin_item(false);
            out->push_back(std::uint8_t(offset & 0xFF));
            out->push_back(std::uint8_t(((offset >> 4) & 0xF0) | unsigned(bestlen - MINMATCH)));
        } else {
            bestlen = 1;
            w.begin_item(true);
            out->push_back(data[cur]);
        }
        for (std::ptrdiff_t i = 0; i < bestlen; ++i)
            if (cur + i + MINMATCH <= n) insert(cur + i);
        cur += bestlen;
    }
}
