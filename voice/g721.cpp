// ITU-T G.721 in the standard's fixed-point arithmetic: the log-domain
// adaptive quantiser, scale factor adaptation with its speed control, the
// two-pole six-zero predictor adapted by sign products, and the
// tone/transition detector that resets it. Block names in comments are the
// standard's.
#include "voice/g721.h"

#include <algorithm>

namespace vc {

namespace {

// QUAN: lower bounds of magnitudes 1..7 of log2|d| - y, in 4.7 format.
const std::int32_t QUANTHR[7] = {-124, 80, 178, 246, 300, 349, 400};
// RECONST: log2|dq| - y by code.
const std::int32_t DQLN[16] = {-2048, 4, 135, 213, 273, 323, 373, 425, 425, 373, 323, 273, 213, 135, 4, -2048};
// FUNCTW and FUNCTF by magnitude.
const std::int32_t W[8] = {-12, 18, 41, 64, 112, 198, 355, 1122};
const std::int32_t F[8] = {0, 0, 0, 1, 1, 1, 3, 7};

std::int32_t bitlength(std::int32_t v)
{
    std::int32_t n = 0;
    while (v > 0) ++n, v >>= 1;
    return n;
}

std::int32_t wrap16(std::int32_t v) { return std::int16_t(std::uint16_t(std::uint32_t(v) & 0xFFFF)); }

// FLOAT_A, FLOAT_B: sign, 4-bit exponent, 6-bit mantissa (32 stands for zero).
std::int32_t to_float(bool negative, std::int32_t mag)
{
    const std::int32_t e = bitlength(mag);
    const std::int32_t mant = mag ? (mag << 6) >> e : 32;
    return (negative ? 1 << 10 : 0) + (e << 6) + mant;
}

// FMULT: a coefficient (Q14) times a float-form signal.
std::int32_t fmult(std::int32_t an, std::int32_t srn)
{
    const bool ans = an < 0;
    const std::int32_t anmag = ans ? (-(an >> 2)) & 8191 : an >> 2;
    const std::int32_t anexp = bitlength(anmag);
    const std::int32_t anmant = anmag ? (anmag << 6) >> anexp : 32;
    const bool srns = (srn >> 10) & 1;
    const std::int32_t wanexp = ((srn >> 6) & 15) + anexp;
    const std::int32_t wanmant = ((srn & 63) * anmant + 48) >> 4;
    const std::int32_t wanmag =
        wanexp <= 26 ? (wanmant << 7) >> (26 - wanexp) : ((wanmant << 7) << (wanexp - 26)) & 32767;
    return srns != ans ? -wanmag : wanmag;
}

// ACCUM and MIX for the next sample.
void predict(g721_state* s)
{
    std::int32_t sezi = 0;
    for (int i = 0; i < 6; ++i) sezi = wrap16(sezi + fmult(s->b[i], s->dq[i]));
    const std::int32_t sei = wrap16(sezi + fmult(s->a[0], s->sr[0]) + fmult(s->a[1], s->sr[1]));
    s->sez = sezi >> 1;
    s->se = sei >> 1;
    const std::int32_t al = s->ap >= 256 ? 64 : s->ap >> 2;
    const std::int32_t dif = s->yu - (s->yl >> 6);
    const std::int32_t prodm = ((dif < 0 ? -dif : dif) * al) >> 6;
    s->y = (s->yl >> 6) + (dif < 0 ? -prodm : prodm);
}

// RECONST, ADDA, ANTILOG: the quantised difference's magnitude.
std::int32_t dqmagnitude(const g721_state& s, unsigned code)
{
    const std::int32_t dql = DQLN[code] + (s.y >> 2);
    if (dql < 0) return 0;
    return ((128 + (dql & 127)) << 7) >> (14 - ((dql >> 7) & 15));
}

std::int32_t clamp(std::int32_t v, std::int32_t lo, std::int32_t hi) { return std::min(std::max(v, lo), hi); }

// The reconstructed signal of code (ADDB).
std::int32_t reconstructed(const g721_state& s, unsigned code)
{
    const std::int32_t mag = dqmagnitude(s, code);
    return wrap16(s.se + ((code & 8) ? -mag : mag));
}

std::int16_t output(std::int32_t sr) { return std::int16_t(clamp(sr * 4, -32768, 32767)); }

// Everything after the code: the adaptation of every block, then the next prediction.
void adapt(g721_state* s, unsigned code)
{
    const bool dqs = code & 8;
    const std::int32_t dqmag = dqmagnitude(*s, code);
    const std::int32_t dq = dqs ? -dqmag : dqmag;
    const std::int32_t sr = wrap16(s->se + dq);
    const std::int32_t dqsez = wrap16(dq + s->sez);
    const bool pk0 = dqsez < 0, sigpk = dqsez == 0;
    const std::int32_t mag = dqs ? 15 - std::int32_t(code) : std::int32_t(code);

    // TRANS, from the previous tone flag and slow scale factor.
    const std::int32_t ylint = s->yl >> 15, ylfrac = (s->yl >> 10) & 31;
    const std::int32_t thr1 = (32 + ylfrac) << ylint;
    const std::int32_t thr2 = ylint > 9 ? 31 << 10 : thr1;
    const bool tr = s->td && dqmag > ((thr2 + (thr2 >> 1)) >> 1);

    // FUNCTW, FILTD, LIMB, FILTE.
    const std::int32_t yu = clamp(s->y + ((W[mag] * 32 - s->y) >> 5), 544, 5120);
    const std::int32_t yl = s->yl + yu + ((-s->yl) >> 6);

    // FUNCTF, FILTA, FILTB.
    const std::int32_t dms = s->dms + (((F[mag] << 9) - s->dms) >> 5);
    const std::int32_t dml = s->dml + (((F[mag] << 11) - s->dml) >> 7);

    // UPA2, LIMC, UPA1, LIMD, UPB, TRIGB.
    if (tr) {
        std::fill(s->a, s->a + 2, 0);
        std::fill(s->b, s->b + 6, 0);
    } else {
        std::int32_t a2 = s->a[1] - (s->a[1] >> 7);
        std::int32_t a1 = s->a[0] - (s->a[0] >> 8);
        if (!sigpk) {
            const std::int32_t fa = pk0 != bool(s->pk[0]) ? s->a[0] : -s->a[0];
            a2 += fa > 8191 ? 255 : fa < -8191 ? -256 : fa >> 5;
            a2 += pk0 != bool(s->pk[1]) ? -128 : 128;
            a1 += pk0 != bool(s->pk[0]) ? -192 : 192;
        }
        a2 = clamp(a2, -12288, 12288);
        s->a[1] = a2;
        s->a[0] = clamp(a1, a2 - 15360, 15360 - a2);
        for (int i = 0; i < 6; ++i) {
            s->b[i] -= s->b[i] >> 8;
            if (dqmag) s->b[i] += dqs != bool((s->dq[i] >> 10) & 1) ? -128 : 128;
        }
    }

    // TONE, TRIGB; SUBTC, FILTC, TRIGA (from this sample's y and the new tone flag).
    const bool tdp = s->a[1] < -11776;
    const std::int32_t dif = (dms << 2) - dml;
    const bool ax = !(s->y >= 1536 && (dif < 0 ? -dif : dif) < (dml >> 3) && !tdp);
    const std::int32_t ap = s->ap + (((ax ? 512 : 0) - s->ap) >> 4);
    s->ap = tr ? 256 : ap;
    s->td = tr ? 0 : tdp;
    s->yu = yu;
    s->yl = yl;
    s->dms = dms;
    s->dml = dml;

    // The delay lines.
    for (int i = 5; i > 0; --i) s->dq[i] = s->dq[i - 1];
    s->dq[0] = to_float(dqs, dqmag);
    s->sr[1] = s->sr[0];
    s->sr[0] = to_float(sr < 0, (sr < 0 ? -sr : sr) & 32767);
    s->pk[1] = s->pk[0];
    s->pk[0] = pk0;
    predict(s);
}

// SUBTA, LOG, SUBTB, QUAN: the standard's code for sample x (16-bit; the coder takes x >> 2).
unsigned quantise(const g721_state& s, std::int16_t x)
{
    const std::int32_t d = (std::int32_t(x) >> 2) - s.se;
    const std::int32_t dqm = d < 0 ? -d : d;
    const std::int32_t e = dqm ? bitlength(dqm) - 1 : 0;
    const std::int32_t dl = (e << 7) + (((dqm << 7) >> e) & 127);
    const std::int32_t dln = dl - (s.y >> 2);
    unsigned mag = 0;
    while (mag < 7 && dln >= QUANTHR[mag]) ++mag;
    if (d < 0) return 15 - mag;
    return mag == 0 ? 15 : mag;
}

}  // namespace

void g721_reset(g721_state* s)
{
    std::fill(s->b, s->b + 6, 0);
    std::fill(s->a, s->a + 2, 0);
    std::fill(s->dq, s->dq + 6, 32);
    std::fill(s->sr, s->sr + 2, 32);
    s->yu = 544;
    s->yl = 34816;
    s->dms = s->dml = s->ap = 0;
    s->pk[0] = s->pk[1] = 0;
    s->td = 0;
    predict(s);
}

std::int16_t g721_step(g721_state* s, unsigned code)
{
    code &= 15;
    const std::int16_t y = output(reconstructed(*s, code));
    adapt(s, code);
    return y;
}

void g721_start(g721_coder* c, search_shape shape)
{
    *c = g721_coder();
    g721_reset(&c->state);
    c->shape = shape;
    c->packer.order = bitorder::lsbfirst;
}

namespace {

// A path of the search: the state before its newest code's adaptation, which
// waits until the path is extended. Of the sixteen extensions of a path only
// the few kept are ever extended again, so most adaptations are never done;
// the copies of one path share the one adaptation through the cache below.
struct lazy_state {
    g721_state state;
    std::int32_t pending;  // code not yet adapted to, or -1
    std::uint32_t id;      // names the path the state belongs to
};

struct adapt_cache {
    std::uint32_t next = 1;
    std::uint32_t id = 0;
    g721_state state;
};

std::size_t encode(g721_coder* c, const std::int16_t* x, std::size_t n, std::uint8_t* out, bool flushing)
{
    std::size_t produced = 0;
    if (c->shape.width <= 1) {
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned code = quantise(c->state, x[i]);
            adapt(&c->state, code);
            produced += bit_put(&c->packer, code, 4, out + produced);
        }
        return produced;
    }
    adapt_cache cache;
    const auto step = [&cache](lazy_state& s, unsigned code, std::int16_t* y) {
        if (s.pending >= 0) {
            if (cache.id != s.id) {
                adapt(&s.state, unsigned(s.pending));
                cache.id = s.id;
                cache.state = s.state;
            } else {
                s.state = cache.state;
            }
        }
        *y = output(reconstructed(s.state, code));
        s.pending = std::int32_t(code);
        s.id = cache.next++;
        return true;
    };
    // Codes are decided in runs of G721_RUN samples, each searched with the
    // depth - 1 samples after it in view; samples wait in the coder until
    // their run is complete. So the codes do not depend on how the prompt is
    // cut into calls.
    const unsigned hold = std::min(std::max(1u, c->shape.depth), SEARCH_MAXDEPTH) - 1;
    std::uint8_t codes[G721_RUN + SEARCH_MAXDEPTH];
    for (std::size_t i = 0; i <= n; ++i) {
        if (i < n) c->held[c->nheld++] = x[i];
        const bool last = flushing && i == n;
        if (c->nheld < G721_RUN + hold && !(last && c->nheld > 0)) continue;
        lazy_state s = {c->state, -1, 0};
        cache.id = 0;
        search_encode(&s, c->held, c->nheld, codes, 16, c->shape, step);
        const unsigned keep = last ? c->nheld : G721_RUN;
        for (unsigned k = 0; k < keep; ++k) {
            adapt(&c->state, codes[k]);
            produced += bit_put(&c->packer, codes[k], 4, out + produced);
        }
        c->nheld -= keep;
        std::copy(c->held + keep, c->held + keep + c->nheld, c->held);
    }
    return produced;
}

}  // namespace

std::size_t g721_encode(g721_coder* c, const std::int16_t* x, std::size_t n, std::uint8_t* out)
{
    return encode(c, x, n, out, false);
}

std::size_t g721_drain(g721_coder* c, std::uint8_t* out)
{
    return c->nheld > 0 ? encode(c, nullptr, 0, out, true) : 0;
}

std::size_t g721_flush(g721_coder* c, std::uint8_t* out)
{
    std::size_t produced = g721_drain(c, out);
    if (c->packer.count > 0) produced += bit_put(&c->packer, 0, 8 - c->packer.count, out + produced);
    return produced;
}

void g721_decoder_start(g721_decoder* d, bool slowstart)
{
    g721_reset(&d->state);
    if (slowstart) {
        d->state.yl = 0;
        predict(&d->state);
    }
}

std::size_t g721_decode(g721_decoder* d, const std::uint8_t* in, std::size_t n, std::int16_t* out, std::size_t cap)
{
    std::size_t stored = 0;
    for (std::size_t i = 0; i < n; ++i)
        for (unsigned code : {in[i] & 15u, unsigned(in[i]) >> 4}) {
            const std::int16_t y = g721_step(&d->state, code);
            if (stored < cap) out[stored++] = y;
        }
    return stored;
}

}  // namespace vc
