// The continuous bit streams the voice modems read: codes of b bits, one
// after the other with no gap, least or most significant bit first. A byte
// not yet full stays in the packer for the next block, so a stream coded in
// blocks is the stream coded at once.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vc {

enum class bitorder { lsbfirst, msbfirst };

struct bitpacker {
    bitorder order = bitorder::lsbfirst;
    std::uint32_t pending = 0;  // bits not yet in a byte
    unsigned count = 0;         // how many
    std::uint64_t total = 0;    // bits written since the start of the stream
};

// Appends one code of `bits` bits; returns the number of whole bytes stored at out (0 or 1).
inline std::size_t bit_put(bitpacker* p, unsigned code, unsigned bits, std::uint8_t* out)
{
    code &= (1u << bits) - 1;
    if (p->order == bitorder::lsbfirst)
        p->pending |= code << p->count;
    else
        p->pending = (p->pending << bits) | code;
    p->count += bits;
    p->total += bits;
    if (p->count < 8) return 0;
    p->count -= 8;
    if (p->order == bitorder::lsbfirst) {
        *out = std::uint8_t(p->pending);
        p->pending >>= 8;
    } else {
        *out = std::uint8_t(p->pending >> p->count);
        p->pending &= (1u << p->count) - 1;
    }
    return 1;
}

// Reads the codes of a stream back; the reverse of bit_put.
struct bitreader {
    bitorder order = bitorder::lsbfirst;
    std::uint32_t pending = 0;
    unsigned count = 0;
};

// Feeds one byte; returns how many whole codes of `bits` bits it completed, stored at codes.
inline unsigned bit_get(bitreader* r, std::uint8_t byte, unsigned bits, unsigned* codes)
{
    if (r->order == bitorder::lsbfirst)
        r->pending |= std::uint32_t(byte) << r->count;
    else
        r->pending = (r->pending << 8) | byte;
    r->count += 8;
    unsigned n = 0;
    const std::uint32_t mask = (1u << bits) - 1;
    while (r->count >= bits) {
        r->count -= bits;
        if (r->order == bitorder::lsbfirst) {
            codes[n++] = r->pending & mask;
            r->pending >>= bits;
        } else {
            codes[n++] = (r->pending >> r->count) & mask;
            r->pending &= (1u << r->count) - 1;
        }
    }
    return n;
}

}  // namespace vc
