#include "files/szdd.h"

#include <algorithm>
#include <cstring>

namespace {

const std::uint8_t MAGIC[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};

}  // namespace

bool szdd_iscompressed(const std::uint8_t* data, std::size_t size)
{
    return size >= SZDD_HEADER && std::memcmp(data, MAGIC, sizeof MAGIC) == 0 && data[8] == 'A';
}

bool szdd_expand(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* out)
{
    out->clear();
    if (!szdd_iscompressed(data, size)) return false;
    std::uint32_t expected = std::uint32_t(data[10]) | std::uint32_t(data[11]) << 8 |
                             std::uint32_t(data[12]) << 16 | std::uint32_t(data[13]) << 24;
    std::uint8_t window[SZDD_WINDOW];
    std::memset(window, ' ', sizeof window);
    unsigned pos = SZDD_WINDOW - 16;
    std::size_t in = SZDD_HEADER;
    // A damaged header may state any size; no input expands more than ninefold.
    out->reserve(std::min<std::size_t>(expected, size * 9));
    while (in < size && out->size() < expected) {
        std::uint8_t flags = data[in++];
        for (int bit = 0; bit < 8 && in < size && out->size() < expected; ++bit) {
            if (flags & (1u << bit)) {
                std::uint8_t c = data[in++];
                out->push_back(c);
                window[pos] = c;
                pos = (pos + 1) % SZDD_WINDOW;
            } else {
                if (in + 1 >= size) return false;
                unsigned offset = data[in] | ((data[in + 1] & 0xF0u) << 4);
                unsigned length = (data[in + 1] & 0x0Fu) + 3;
                in += 2;
                for (unsigned i = 0; i < length && out->size() < expected; ++i) {
                    std::uint8_t c = window[(offset + i) % SZDD_WINDOW];
                    out->push_back(c);
                    window[pos] = c;
                    pos = (pos + 1) % SZDD_WINDOW;
                }
            }
        }
    }
    return out->size() == expected;
}
