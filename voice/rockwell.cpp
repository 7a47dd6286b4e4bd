#include "voice/rockwell.h"

#include <limits>
#include <vector>

namespace vc {

namespace {

struct rockwell_table {
    int thresholds;                // 1, 3 or 7
    const std::uint16_t* cd;       // thresholds, per unit of step
    const std::uint16_t* zeta;     // quantised differences, code 0 (most negative) up
    const std::uint16_t* mul;      // step multipliers
    std::int16_t numax;            // largest step
    std::uint16_t silence;         // the word the modem takes for "silence follows"
};

const std::uint16_t cd2[] = {0x1F69};
const std::uint16_t cd3[] = {0x1005, 0x219A, 0x37F0};
const std::uint16_t cd4[] = {0x0843, 0x10B8, 0x1996, 0x232B, 0x2DFC, 0x3B02, 0x4CD6};
const std::uint16_t zeta2[] = {0xCFAE, 0xF183, 0x0E7D, 0x3052};
const std::uint16_t zeta3[] = {0xBB23, 0xD4FE, 0xE7CF, 0xF828, 0x07D8, 0x1831, 0x2B02, 0x44DD};
const std::uint16_t zeta4[] = {0xA88B, 0xBDCB, 0xCC29, 0xD7CF, 0xE1D8, 0xEAFB, 0xF395, 0xFBE4,
                               0x041C, 0x0C6B, 0x1505, 0x1E28, 0x2831, 0x33C7, 0x4235, 0x5775};
const std::uint16_t mul2t[] = {0x3333, 0x199A, 0x199A, 0x3333};
const std::uint16_t mul3t[] = {0x3800, 0x2800, 0x1CCD, 0x1CCD, 0x1CCD, 0x1CCD, 0x2800, 0x3800};
const std::uint16_t mul4t[] = {0x4CCD, 0x4000, 0x3333, 0x2666, 0x1CCD, 0x1CCD, 0x1CCD, 0x1CCD,
                               0x1CCD, 0x1CCD, 0x1CCD, 0x1CCD, 0x2666, 0x3333, 0x4000, 0x4CCD};

const rockwell_table tables[3] = {
    {1, cd2, zeta2, mul2t, 0x54C4, 0x13EC},
    {3, cd3, zeta3, mul3t, 0x3B7A, 0x23DE},
    {7, cd4, zeta4, mul4t, 0x2ED5, 0xC11C},
};

constexpr std::int16_t NU_MIN = 0x1F;
constexpr std::int32_t EMPHASIS = 0x3333;  // 0.4
constexpr std::int32_t LEAK = 32113;       // 0.98
constexpr std::int32_t POLE_STEP = 393, ZERO_STEP = 197;

const rockwell_table& table(int bits) { return tables[bits - 2]; }

std::int32_t clip16(std::int64_t v) { return v > 32767 ? 32767 : v < -32768 ? -32768 : std::int32_t(v); }
std::int32_t sat32(std::int64_t v)
{
    return v > std::numeric_limits<std::int32_t>::max()   ? std::numeric_limits<std::int32_t>::max()
           : v < std::numeric_limits<std::int32_t>::min() ? std::numeric_limits<std::int32_t>::min()
                                                          : std::int32_t(v);
}
// 2·a·b of two Q15 values as Q31, saturated (only -1 · -1 needs it).
std::int32_t mul2(std::int32_t a, std::int32_t b) { return sat32(2 * std::int64_t(a) * b); }
// A Q31 value back to Q15, rounding half up.
std::int32_t round16(std::int32_t p) { return (p >> 16) + ((p >> 15) & 1); }
std::int32_t scale(std::uint16_t c, std::int32_t nu) { return clip16(4 * round16(mul2(std::int16_t(c), nu))); }

// The pole-zero prediction, Q31.
std::int32_t predict(const rockwell_state* s)
{
    std::int32_t acc = 0;
    for (int i = 0; i < 2; ++i) acc = sat32(std::int64_t(acc) + mul2(s->a[i], s->r[i]));
    for (int i = 0; i < 6; ++i) acc = sat32(std::int64_t(acc) + mul2(s->b[i], s->dq[i]));
    return acc;
}

// Sign-sign adaptation: leak, then a step towards the sign of the product
// (a product that rounds to 0 counts as positive).
std::int16_t adapt(std::int16_t coef, std::int32_t dq, std::int32_t delayed, std::int32_t step)
{
    std::int32_t v = round16(mul2(coef, LEAK));
    v += round16(mul2(dq, delayed)) >= 0 ? step : -step;
    return std::int16_t(clip16(v));
}

std::int16_t step(rockwell_state* s, const rockwell_table& t, unsigned code, std::int32_t acc)
{
    const std::int32_t dq = scale(t.zeta[code], s->nu);
    std::int32_t nu = scale(t.mul[code], s->nu);
    nu = nu < NU_MIN ? NU_MIN : nu > t.numax ? t.numax : nu;
    const std::int32_t r = clip16(std::int64_t(acc >> 16) + dq);
    // The de-emphasis works on the full-precision prediction.
    const std::int32_t y = sat32(std::int64_t(sat32(std::int64_t(acc) + std::int64_t(dq) * 65536)) +
                                 mul2(EMPHASIS, s->y)) >> 16;
    for (int i = 0; i < 2; ++i) s->a[i] = adapt(s->a[i], dq, s->r[i], POLE_STEP);
    for (int i = 0; i < 6; ++i) s->b[i] = adapt(s->b[i], dq, s->dq[i], ZERO_STEP);
    s->r[1] = s->r[0];
    s->r[0] = std::int16_t(r);
    for (int i = 5; i > 0; --i) s->dq[i] = s->dq[i - 1];
    s->dq[0] = std::int16_t(dq);
    s->nu = std::int16_t(nu);
    s->y = std::int16_t(y);
    return s->y;
}

// The encoder's search state: the decoder, and where the stream's current word stands.
struct search_state {
    rockwell_state st;
    std::uint32_t word;
    unsigned wordbits;
};

// Appends a code to the word tracker; false when it would complete the silence word.
bool word_put(std::uint32_t* word, unsigned* wordbits, unsigned code, int bits, std::uint16_t silence)
{
    std::uint32_t w = *word | (std::uint32_t(code) << *wordbits);
    unsigned n = *wordbits + unsigned(bits);
    if (n >= 16) {
        if ((w & 0xFFFF) == silence) return false;
        w >>= 16;
        n -= 16;
    }
    *word = w;
    *wordbits = n;
    return true;
}

}  // namespace

void rockwell_reset(rockwell_state* s)
{
    *s = rockwell_state{};
    s->nu = NU_MIN;
}

std::uint16_t rockwell_silence_word(int bits) { return bits >= 2 && bits <= 4 ? table(bits).silence : 0; }

std::int16_t rockwell_decode_step(rockwell_state* s, int bits, unsigned code)
{
    return step(s, table(bits), code & ((1u << bits) - 1), predict(s));
}

unsigned rockwell_threshold_code(const rockwell_state* s, int bits, std::int16_t x)
{
    const rockwell_table& t = table(bits);
    // The prediction plus the pre-emphasis, less the input: the negative error, floored.
    const std::int32_t d =
        sat32(std::int64_t(predict(s)) + mul2(EMPHASIS, s->x) - std::int64_t(x) * 65536) >> 16;
    const std::int32_t magnitude = d > 0 ? d : -d;
    int m = 0;
    while (m < t.thresholds && magnitude >= scale(t.cd[m], s->nu)) ++m;
    const int half = 1 << (bits - 1);
    return unsigned(d > 0 ? half - 1 - m : half + m);
}

void rockwell_start(rockwell_coder* c, int bits, search_shape shape)
{
    c->bits = 0;
    if (bits < 2 || bits > 4) return;
    c->bits = bits;
    c->shape = shape;
    rockwell_reset(&c->state);
    c->word = 0;
    c->wordbits = 0;
    c->packer = bitpacker{};
    c->packer.order = bitorder::lsbfirst;
}

std::size_t rockwell_encode(rockwell_coder* c, const std::int16_t* x, std::size_t n, std::uint8_t* out)
{
    if (c->bits == 0 || n == 0) return 0;
    const int bits = c->bits;
    const rockwell_table& t = table(bits);
    const unsigned ncodes = 1u << bits;
    std::vector<std::uint8_t> codes(n);

    if (c->shape.depth == 0) {
        for (std::size_t i = 0; i < n; ++i) {
            unsigned code = rockwell_threshold_code(&c->state, bits, x[i]);
            if (!word_put(&c->word, &c->wordbits, code, bits, t.silence)) {
                // The next best code: the one whose decoding comes closest.
                std::int64_t best = -1;
                unsigned chosen = code;
                for (unsigned k = 0; k < ncodes; ++k) {
                    std::uint32_t w = c->word;
                    unsigned wb = c->wordbits;
                    if (k == code || !word_put(&w, &wb, k, bits, t.silence)) continue;
                    rockwell_state trial = c->state;
                    const std::int64_t e = std::int64_t(step(&trial, t, k, predict(&trial))) - x[i];
                    if (best < 0 || e * e < best) {
                        best = e * e;
                        chosen = k;
                    }
                }
                code = chosen;
                word_put(&c->word, &c->wordbits, code, bits, t.silence);
            }
            step(&c->state, t, code, predict(&c->state));
            c->state.x = x[i];
            codes[i] = std::uint8_t(code);
        }
    } else {
        search_state s{c->state, c->word, c->wordbits};
        // Blocks of the installer are short; a long input is searched in pieces.
        for (std::size_t at = 0; at < n;) {
            const unsigned piece = unsigned(n - at < 65536 ? n - at : 65536);
            search_encode(&s, x + at, piece, codes.data() + at, ncodes, c->shape,
                          [&](search_state& q, unsigned code, std::int16_t* y) {
                              if (!word_put(&q.word, &q.wordbits, code, bits, t.silence)) return false;
                              *y = step(&q.st, t, code, predict(&q.st));
                              return true;
                          });
            at += piece;
        }
        c->state = s.st;
        c->state.x = x[n - 1];
        c->word = s.word;
        c->wordbits = s.wordbits;
    }

    std::size_t stored = 0;
    for (std::size_t i = 0; i < n; ++i) stored += bit_put(&c->packer, codes[i], unsigned(bits), out + stored);
    return stored;
}

std::size_t rockwell_finish(rockwell_coder* c, std::uint8_t* out)
{
    if (c->bits == 0 || c->packer.count == 0) return 0;
    std::uint8_t byte = std::uint8_t(c->packer.pending);
    const unsigned pad = 8 - c->packer.count;
    // Zero padding must not complete the silence word either: set a pad bit then.
    if (c->wordbits + pad == 16 && (c->word & 0xFFFF) == table(c->bits).silence) byte |= 0x80;
    c->packer.pending = 0;
    c->packer.count = 0;
    *out = byte;
    return 1;
}

void rockwell_decoder_start(rockwell_decoder* d, int bits)
{
    d->bits = 0;
    if (bits < 2 || bits > 4) return;
    d->bits = bits;
    rockwell_reset(&d->state);
    d->reader = bitreader{};
    d->reader.order = bitorder::lsbfirst;
    d->low = 0;
    d->havelow = false;
    d->silencelength = false;
}

namespace {

std::size_t feed(rockwell_decoder* d, std::uint8_t byte, std::int16_t* out, std::size_t room)
{
    unsigned codes[8];
    const unsigned k = bit_get(&d->reader, byte, unsigned(d->bits), codes);
    std::size_t stored = 0;
    for (unsigned i = 0; i < k; ++i) {
        std::int16_t y = rockwell_decode_step(&d->state, d->bits, codes[i]);
        if (stored < room) out[stored++] = y;
    }
    return stored;
}

}  // namespace

std::size_t rockwell_decode(rockwell_decoder* d, const std::uint8_t* in, std::size_t n, std::int16_t* out,
                            std::size_t cap)
{
    if (d->bits == 0) return 0;
    const std::uint16_t silence = table(d->bits).silence;
    std::size_t stored = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!d->havelow) {
            d->low = in[i];
            d->havelow = true;
            continue;
        }
        d->havelow = false;
        const std::uint16_t word = std::uint16_t(d->low | (in[i] << 8));
        if (d->silencelength) {
            d->silencelength = false;
            for (unsigned k = 0; k < word / 2u && stored < cap; ++k) out[stored++] = 0;
            // After a silence the modem keeps its predictor's coefficients and starts the rest afresh.
            rockwell_state fresh;
            rockwell_reset(&fresh);
            for (int k = 0; k < 2; ++k) fresh.a[k] = d->state.a[k];
            for (int k = 0; k < 6; ++k) fresh.b[k] = d->state.b[k];
            d->state = fresh;
            d->reader = bitreader{};
            d->reader.order = bitorder::lsbfirst;
            continue;
        }
        if (word == silence) {
            d->silencelength = true;
            continue;
        }
        stored += feed(d, d->low, out + stored, cap - stored);
        stored += feed(d, in[i], out + stored, cap - stored);
    }
    return stored;
}

std::size_t rockwell_decode_finish(rockwell_decoder* d, std::int16_t* out, std::size_t cap)
{
    if (d->bits == 0 || !d->havelow || d->silencelength) return 0;
    d->havelow = false;
    return feed(d, d->low, out, cap);
}

}  // namespace vc
