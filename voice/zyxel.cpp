// ZyXEL ADPCM. The quantiser counts how many steps fit in the difference;
// the accumulator leaks by 4093/4096 a sample and moves by half an odd
// number of steps; the step grows or shrinks by a factor per magnitude.
#include "voice/zyxel.h"

#include <algorithm>

namespace vc {

namespace {

// Step factors by magnitude, Q14.
const std::int32_t MX2[2] = {0x3800, 0x5600};
const std::int32_t MX3[4] = {0x399A, 0x3A9F, 0x4D14, 0x6607};
const std::int32_t MX4[8] = {0x3556, 0x3556, 0x399A, 0x3A9F, 0x4200, 0x4D14, 0x6607, 0x6607};

int checkbits(int bits) { return bits >= 2 && bits <= 4 ? bits : 4; }

const std::int32_t* factors(int bits) { return bits == 2 ? MX2 : bits == 3 ? MX3 : MX4; }

std::int16_t clip16(std::int64_t v) { return std::int16_t(std::clamp<std::int64_t>(v, -32768, 32767)); }

// A hostile stream drives the step past 32 bits; the arithmetic wraps there,
// as the reference decoder's does, instead of overflowing.
std::int32_t wrap(std::uint32_t v) { return std::int32_t(v); }
std::int32_t mul(std::int32_t a, std::int32_t b) { return wrap(std::uint32_t(a) * std::uint32_t(b)); }
std::int32_t add(std::int32_t a, std::int32_t b) { return wrap(std::uint32_t(a) + std::uint32_t(b)); }
std::int32_t leak(std::int32_t a) { return add(mul(a, 4093), 2048) >> 12; }

// The quantiser's own code for sample x.
unsigned quantise(const zyxel_state& s, int bits, std::int16_t x)
{
    const std::int64_t delta = (std::int64_t(x) >> 2) - s.a;
    const std::int32_t most = (1 << (bits - 1)) - 1;
    std::int64_t e = delta < 0 ? -delta : delta;
    std::int32_t m = 0;
    while (e > s.d && m < most) {
        e -= s.d;
        ++m;
    }
    unsigned code = unsigned(m) | (delta < 0 ? 1u << (bits - 1) : 0u);
    if (bits == 4 && code == 0) code = 8;  // 0 resets the modem's decoder
    return code;
}

}  // namespace

std::int16_t zyxel_step(zyxel_state* s, int bits, unsigned code)
{
    bits = checkbits(bits);
    code &= (1u << bits) - 1;
    const unsigned sign = 1u << (bits - 1);
    const std::int32_t m = std::int32_t(code & (sign - 1));
    if (bits == 4 && code == 0) {
        // The modem's reset code, as the reference decoder reads it: the step
        // starts again and the accumulator moves by half of it.
        s->d = 5;
        s->a = add(leak(s->a), s->d >> 1);
        return clip16(std::int64_t(s->a) * 4);
    }
    std::int32_t move = mul(2 * m + 1, s->d);
    if (code & sign) move = mul(move, -1);
    s->a = add(add(leak(s->a), move >> 1), s->d & 1);
    s->d = std::max<std::int32_t>(add(mul(s->d, factors(bits)[m]), 0x2000) >> 14, 5);
    return clip16(std::int64_t(s->a) * 4);
}

void zyxel_start(zyxel_coder* c, int bits, search_shape shape)
{
    *c = zyxel_coder();
    c->bits = checkbits(bits);
    c->shape = shape;
    c->packer.order = bitorder::msbfirst;
}

namespace {

std::size_t encode(zyxel_coder* c, const std::int16_t* x, std::size_t n, std::uint8_t* out, bool flushing)
{
    const int bits = c->bits;
    std::size_t produced = 0;
    if (c->shape.width <= 1) {
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned code = quantise(c->state, bits, x[i]);
            zyxel_step(&c->state, bits, code);
            produced += bit_put(&c->packer, code, unsigned(bits), out + produced);
        }
        return produced;
    }
    // The search may not drive the accumulator past the 14-bit range or the
    // step past 2^14 (outputs clip there, so a short look ahead would not see
    // the harm, and the 32-bit arithmetic wraps further on); moving back is
    // always allowed, so some code always is.
    const auto step = [bits](zyxel_state& s, unsigned code, std::int16_t* y) {
        if (bits == 4 && code == 0) return false;
        const zyxel_state old = s;
        *y = zyxel_step(&s, bits, code);
        const std::int32_t mag = s.a < 0 ? -s.a : s.a, was = old.a < 0 ? -old.a : old.a;
        return (mag <= 8200 || mag < was) && (s.d <= 0x4000 || s.d < old.d);
    };
    // Codes are decided in runs of ZYXEL_RUN samples, each searched with the
    // depth - 1 samples after it in view; samples wait in the coder until
    // their run is complete. So the codes do not depend on how the prompt is
    // cut into calls.
    const unsigned hold = std::min(std::max(1u, c->shape.depth), SEARCH_MAXDEPTH) - 1;
    std::uint8_t codes[ZYXEL_RUN + SEARCH_MAXDEPTH];
    for (std::size_t i = 0; i <= n; ++i) {
        if (i < n) c->held[c->nheld++] = x[i];
        const bool last = flushing && i == n;
        if (c->nheld < ZYXEL_RUN + hold && !(last && c->nheld > 0)) continue;
        zyxel_state s = c->state;
        search_encode(&s, c->held, c->nheld, codes, 1u << bits, c->shape, step);
        const unsigned keep = last ? c->nheld : ZYXEL_RUN;
        for (unsigned k = 0; k < keep; ++k) {
            zyxel_step(&c->state, bits, codes[k]);
            produced += bit_put(&c->packer, codes[k], unsigned(bits), out + produced);
        }
        c->nheld -= keep;
        std::copy(c->held + keep, c->held + keep + c->nheld, c->held);
    }
    return produced;
}

}  // namespace

std::size_t zyxel_encode(zyxel_coder* c, const std::int16_t* x, std::size_t n, std::uint8_t* out)
{
    return encode(c, x, n, out, false);
}

std::size_t zyxel_drain(zyxel_coder* c, std::uint8_t* out)
{
    return c->nheld > 0 ? encode(c, nullptr, 0, out, true) : 0;
}

std::size_t zyxel_flush(zyxel_coder* c, std::uint8_t* out)
{
    std::size_t produced = zyxel_drain(c, out);
    // Zero bits, except that a 4-bit stream never holds code 0 (the modem's reset).
    const unsigned pad = c->packer.count > 0 ? 8 - c->packer.count : 0;
    if (pad > 0) produced += bit_put(&c->packer, c->bits == 4 ? 8 : 0, pad, out + produced);
    return produced;
}

void zyxel_decoder_start(zyxel_decoder* d, int bits)
{
    *d = zyxel_decoder();
    d->bits = checkbits(bits);
    d->reader.order = bitorder::msbfirst;
}

std::size_t zyxel_decode(zyxel_decoder* d, const std::uint8_t* in, std::size_t n, std::int16_t* out, std::size_t cap)
{
    std::size_t stored = 0;
    unsigned codes[8];
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned k = bit_get(&d->reader, in[i], unsigned(d->bits), codes);
        for (unsigned j = 0; j < k; ++j) {
            const std::int16_t y = zyxel_step(&d->state, d->bits, codes[j]);
            if (stored < cap) out[stored++] = y;
        }
    }
    return stored;
}

}  // namespace vc
