#include "voice/gsm610.h"

#include <cstring>

namespace vc {

namespace {

// The standard's arithmetic: 16-bit words and 32-bit long words, saturating
// where it says so; shifts of negative values are arithmetic.
using word = std::int16_t;
using longword = std::int32_t;

constexpr word MIN_WORD = -32768;
constexpr word MAX_WORD = 32767;
constexpr longword MIN_LONG = INT32_MIN;
constexpr longword MAX_LONG = INT32_MAX;

inline word sat(longword x) { return x > MAX_WORD ? MAX_WORD : x < MIN_WORD ? MIN_WORD : word(x); }
inline word add(word a, word b) { return sat(longword(a) + b); }
inline word sub(word a, word b) { return sat(longword(a) - b); }
inline word mult(word a, word b)
{
    if (a == MIN_WORD && b == MIN_WORD) return MAX_WORD;
    return word((longword(a) * b) >> 15);
}
inline word mult_r(word a, word b)
{
    if (a == MIN_WORD && b == MIN_WORD) return MAX_WORD;
    return word((longword(a) * b + 16384) >> 15);
}
inline word gabs(word a) { return a == MIN_WORD ? MAX_WORD : word(a < 0 ? -a : a); }
inline longword L_mult(word a, word b)
{
    if (a == MIN_WORD && b == MIN_WORD) return MAX_LONG;
    return (longword(a) * b) * 2;
}
inline longword L_add(longword a, longword b)
{
    std::int64_t r = std::int64_t(a) + b;
    return r > MAX_LONG ? MAX_LONG : r < MIN_LONG ? MIN_LONG : longword(r);
}
inline word shl(word a, int n) { return word(std::uint16_t(std::uint16_t(a) << n)); }
inline longword L_shl(longword a, int n) { return longword(std::uint32_t(a) << n); }

// Left shifts that bring a positive long word to 0x40000000..0x7FFFFFFF (a
// negative one to -0x80000000..-0x40000001); 0 for 0.
int norm(longword a)
{
    if (a == 0) return 0;
    std::uint32_t v = std::uint32_t(a < 0 ? ~a : a);
    int n = 0;
    while (v < 0x40000000u) {
        v <<= 1;
        ++n;
    }
    return n;
}

// 0 <= num <= denum, denum > 0: num / denum as a 15-bit fraction.
word div_frac(word num, word denum)
{
    if (num == 0) return 0;
    longword L_num = num;
    longword L_denum = denum;
    word result = 0;
    for (int k = 0; k < 15; ++k) {
        result = word(result << 1);
        L_num <<= 1;
        if (L_num >= L_denum) {
            L_num -= L_denum;
            result = word(result + 1);
        }
    }
    return result;
}

// Quantisation of the log-area ratios.
const word A[8] = {20480, 20480, 20480, 20480, 13964, 15360, 8534, 9036};
const word B[8] = {0, 0, 2048, -2560, 94, -1792, -341, -1144};
const word MIC[8] = {-32, -32, -16, -16, -8, -8, -4, -4};
const word MAC[8] = {31, 31, 15, 15, 7, 7, 3, 3};
const word INVA[8] = {13107, 13107, 13107, 13107, 19223, 17476, 31454, 29708};
// LTP gain: decision levels and quantised values.
const word DLB[4] = {6554, 16384, 26214, 32767};
const word QLB[4] = {3277, 11469, 21299, 32767};
// Weighting filter impulse response.
const word H[11] = {-134, -374, 0, 2054, 5741, 8192, 5741, 2054, 0, -374, -134};
// APCM: normalised inverse mantissa and mantissa.
const word NRFAC[8] = {29128, 26215, 23832, 21846, 20165, 18725, 17476, 16384};
const word FAC[8] = {18431, 20479, 22527, 24575, 26623, 28671, 30719, 32767};

void decode_lar(const std::uint8_t LARc[8], word LARpp[8])
{
    for (int i = 0; i < 8; ++i) {
        word temp1 = shl(add(word(LARc[i]), MIC[i]), 10);
        word temp2 = shl(B[i], 1);
        temp1 = sub(temp1, temp2);
        temp1 = mult_r(INVA[i], temp1);
        LARpp[i] = add(temp1, temp1);
    }
}

// The four interpolation segments of a frame: samples 0-12, 13-26, 27-39, 40-159.
void interpolate_lar(int segment, const word prev[8], const word cur[8], word LARp[8])
{
    for (int i = 0; i < 8; ++i) {
        switch (segment) {
        case 0:
            LARp[i] = add(add(word(prev[i] >> 2), word(cur[i] >> 2)), word(prev[i] >> 1));
            break;
        case 1:
            LARp[i] = add(word(prev[i] >> 1), word(cur[i] >> 1));
            break;
        case 2:
            LARp[i] = add(add(word(prev[i] >> 2), word(cur[i] >> 2)), word(cur[i] >> 1));
            break;
        default:
            LARp[i] = cur[i];
            break;
        }
    }
}

void lar_to_rp(word LARp[8])
{
    for (int i = 0; i < 8; ++i) {
        word temp = gabs(LARp[i]);
        if (temp < 11059)
            temp = shl(temp, 1);
        else if (temp < 20070)
            temp = add(temp, 11059);
        else
            temp = add(word(temp >> 2), 26112);
        LARp[i] = LARp[i] < 0 ? sub(0, temp) : temp;
    }
}

const int SEGMENT_START[5] = {0, 13, 27, 40, 160};

// xmaxc to the exponent and mantissa of the APCM step.
void apcm_exponent(word xmaxc, word* exp_out, word* mant_out)
{
    word exp = 0;
    if (xmaxc > 15) exp = sub(word(xmaxc >> 3), 1);
    word mant = sub(xmaxc, shl(exp, 3));
    if (mant == 0) {
        exp = -4;
        mant = 15;
    } else {
        for (int i = 0; i < 3 && mant <= 7; ++i) {
            mant = word((mant << 1) | 1);
            exp = sub(exp, 1);
        }
    }
    *exp_out = exp;
    *mant_out = sub(mant, 8);
}

void apcm_inverse(const std::uint8_t xMc[13], word mant, word exp, word xMp[13])
{
    word temp1 = FAC[mant];
    word temp2 = sub(6, exp);
    word temp3 = temp2 > 0 ? word(1 << (temp2 - 1)) : 0;  // no rounding at the largest step
    for (int i = 0; i < 13; ++i) {
        word temp = sub(word(xMc[i] << 1), 7);
        temp = shl(temp, 12);
        temp = mult_r(temp1, temp);
        temp = add(temp, temp3);
        xMp[i] = word(temp >> temp2);
    }
}

// The analysis of one frame.
void preprocess(gsm_state* s, const std::int16_t x[160], word out[160])
{
    word z1 = s->z1;
    longword L_z2 = s->L_z2;
    word mp = s->mp;
    for (int k = 0; k < 160; ++k) {
        // Down to the 13 bits the standard codes.
        word so = shl(word(x[k] >> 3), 2);
        // Offset compensation.
        word s1 = sub(so, z1);
        z1 = so;
        longword L_s2 = longword(s1) * 32768;
        word msp = word(L_z2 >> 15);
        word lsp = word(L_z2 - longword(msp) * 32768);
        L_s2 = L_add(L_s2, mult_r(lsp, 32735));
        L_z2 = L_add(L_mult(msp, 32735) >> 1, L_s2);
        word sof = word(L_add(L_z2, 16384) >> 15);
        // Pre-emphasis.
        out[k] = add(sof, mult_r(mp, -28180));
        mp = sof;
    }
    s->z1 = z1;
    s->L_z2 = L_z2;
    s->mp = mp;
}

void autocorrelation(word s[160], longword L_ACF[9])
{
    word smax = 0;
    for (int k = 0; k < 160; ++k) {
        word temp = gabs(s[k]);
        if (temp > smax) smax = temp;
    }
    int scalauto = smax == 0 ? 0 : 4 - norm(longword(smax) << 16);
    if (scalauto > 0) {
        word temp = word(16384 >> (scalauto - 1));
        for (int k = 0; k < 160; ++k) s[k] = mult_r(s[k], temp);
    }
    for (int k = 0; k <= 8; ++k) {
        longword sum = 0;
        for (int i = k; i < 160; ++i) sum = L_add(sum, L_mult(s[i], s[i - k]));
        L_ACF[k] = sum;
    }
    // The filter works on the signal at its own scale again (low bits lost).
    if (scalauto > 0)
        for (int k = 0; k < 160; ++k) s[k] = shl(s[k], scalauto);
}

void reflection_coefficients(const longword L_ACF[9], word r[9])
{
    if (L_ACF[0] == 0) {
        for (int i = 1; i <= 8; ++i) r[i] = 0;
        return;
    }
    int temp = norm(L_ACF[0]);
    word ACF[9], P[9], K[9];
    for (int k = 0; k <= 8; ++k) ACF[k] = word(L_shl(L_ACF[k], temp) >> 16);
    for (int i = 1; i <= 7; ++i) K[9 - i] = ACF[i];
    for (int i = 0; i <= 8; ++i) P[i] = ACF[i];
    for (int n = 1; n <= 8; ++n) {
        if (P[0] < gabs(P[1])) {
            for (int i = n; i <= 8; ++i) r[i] = 0;
            return;
        }
        r[n] = div_frac(gabs(P[1]), P[0]);
        if (P[1] > 0) r[n] = sub(0, r[n]);
        if (n == 8) return;
        P[0] = add(P[0], mult_r(P[1], r[n]));
        for (int m = 1; m <= 8 - n; ++m) {
            P[m] = add(P[m + 1], mult_r(K[9 - m], r[n]));
            K[9 - m] = add(K[9 - m], mult_r(P[m + 1], r[n]));
        }
    }
}

void quantise_lar(const word r[9], std::uint8_t LARc[8])
{
    for (int i = 0; i < 8; ++i) {
        // Reflection coefficient to log-area ratio (piecewise linear).
        word temp = gabs(r[i + 1]);
        if (temp < 22118)
            temp = word(temp >> 1);
        else if (temp < 31130)
            temp = sub(temp, 11059);
        else
            temp = shl(sub(temp, 26112), 2);
        word LAR = r[i + 1] < 0 ? sub(0, temp) : temp;
        // Quantisation.
        temp = add(add(mult(A[i], LAR), B[i]), 256);
        word c = word(temp >> 9);
        if (c > MAC[i]) c = MAC[i];
        if (c < MIC[i]) c = MIC[i];
        LARc[i] = std::uint8_t(sub(c, MIC[i]));
    }
}

void short_term_analysis(gsm_state* st, const word LARpp[8], word s[160])
{
    for (int seg = 0; seg < 4; ++seg) {
        word rp[8];
        interpolate_lar(seg, st->LARpp, LARpp, rp);
        lar_to_rp(rp);
        for (int k = SEGMENT_START[seg]; k < SEGMENT_START[seg + 1]; ++k) {
            word di = s[k];
            word sav = di;
            for (int i = 0; i < 8; ++i) {
                word temp = add(st->u[i], mult_r(rp[i], di));
                di = add(di, mult_r(rp[i], st->u[i]));
                st->u[i] = sav;
                sav = temp;
            }
            s[k] = di;
        }
    }
}

// Scale that brings the largest magnitude of v below 2^9 (at most a shift of 6).
int scale_of(const word* v, int n)
{
    word dmax = 0;
    for (int k = 0; k < n; ++k) {
        word temp = gabs(v[k]);
        if (temp > dmax) dmax = temp;
    }
    int temp = dmax == 0 ? 0 : norm(longword(dmax) << 16);
    return temp > 6 ? 0 : 6 - temp;
}

// Long-term predictor: lag Nc and gain code bc. dp points to the subframe's
// place after the 120 samples of history.
void ltp_parameters(const word d[40], const word* dp, word* Nc_out, word* bc_out)
{
    int scal = scale_of(d, 40);
    word wt[40];
    for (int k = 0; k < 40; ++k) wt[k] = word(d[k] >> scal);

    // |wt| <= 512 and |dp| <= 32768: forty products stay below 2^30, so the
    // standard's saturating sum is a plain one here (and this is the coder's
    // busiest loop).
    longword L_max = 0;
    word Nc = 40;
    for (int lambda = 40; lambda <= 120; ++lambda) {
        const word* past = dp - lambda;
        longword sum = 0;
        for (int k = 0; k < 40; ++k) sum += longword(wt[k]) * past[k];
        longword L_result = sum * 2;
        if (L_result > L_max) {
            Nc = word(lambda);
            L_max = L_result;
        }
    }
    *Nc_out = Nc;
    L_max >>= 6 - scal;

    longword L_power = 0;
    for (int k = 0; k < 40; ++k) {
        word w = word(dp[k - Nc] >> 3);
        L_power = L_add(L_mult(w, w), L_power);
    }
    if (L_max <= 0) {
        *bc_out = 0;
        return;
    }
    if (L_max >= L_power) {
        *bc_out = 3;
        return;
    }
    int temp = norm(L_power);
    word R = word(L_shl(L_max, temp) >> 16);
    word S = word(L_shl(L_power, temp) >> 16);
    word bc = 0;
    while (bc < 3 && R > mult(S, DLB[bc])) ++bc;
    *bc_out = bc;
}

// Weighting filter, grid selection and APCM quantisation of the LTP residual
// e; ep receives the decoded RPE sequence on its grid.
void rpe_encode(const word e[40], word* Mc_out, word* xmaxc_out, std::uint8_t xMc[13], word ep[40])
{
    word x[40];
    for (int k = 0; k < 40; ++k) {
        longword L_result = 8192;
        for (int i = 0; i <= 10; ++i) {
            int j = k + i - 5;
            word w = j >= 0 && j < 40 ? e[j] : 0;
            L_result = L_add(L_result, L_mult(w, H[i]));
        }
        L_result = L_add(L_result, L_result);
        L_result = L_add(L_result, L_result);
        x[k] = word(L_result >> 16);
    }

    longword EM = 0;
    int Mc = 0;
    for (int m = 0; m <= 3; ++m) {
        longword L_result = 0;
        for (int i = 0; i <= 12; ++i) {
            word temp1 = word(x[m + 3 * i] >> 2);
            L_result = L_add(L_mult(temp1, temp1), L_result);
        }
        if (L_result > EM) {
            Mc = m;
            EM = L_result;
        }
    }
    word xM[13];
    word xmax = 0;
    for (int i = 0; i < 13; ++i) {
        xM[i] = x[Mc + 3 * i];
        word temp = gabs(xM[i]);
        if (temp > xmax) xmax = temp;
    }

    word exp = 0;
    word temp = word(xmax >> 9);
    bool itest = false;
    for (int i = 0; i <= 5; ++i) {
        itest = itest || temp <= 0;
        temp = word(temp >> 1);
        if (!itest) exp = add(exp, 1);
    }
    temp = add(exp, 5);
    word xmaxc = add(word(xmax >> temp), shl(exp, 3));

    word mant;
    apcm_exponent(xmaxc, &exp, &mant);
    word temp1 = sub(6, exp);
    word temp2 = NRFAC[mant];
    for (int i = 0; i < 13; ++i) {
        word t = shl(xM[i], temp1);
        t = mult(t, temp2);
        t = word(t >> 12);
        xMc[i] = std::uint8_t(add(t, 4));
    }

    word xMp[13];
    apcm_inverse(xMc, mant, exp, xMp);
    for (int k = 0; k < 40; ++k) ep[k] = 0;
    for (int i = 0; i < 13; ++i) ep[Mc + 3 * i] = xMp[i];
    *Mc_out = word(Mc);
    *xmaxc_out = xmaxc;
}

}  // namespace

void gsm_reset(gsm_state* s) { std::memset(s, 0, sizeof *s); }

void gsm_reset(gsm_decoder* d)
{
    std::memset(d, 0, sizeof *d);
    d->nrp = 40;
}

void gsm_analyse(gsm_state* s, const std::int16_t x[GSM_FRAME_SAMPLES], gsm_params* p)
{
    word sig[160];
    preprocess(s, x, sig);

    longword L_ACF[9];
    autocorrelation(sig, L_ACF);
    word r[9];
    reflection_coefficients(L_ACF, r);
    quantise_lar(r, p->LARc);
    word LARpp[8];
    decode_lar(p->LARc, LARpp);
    short_term_analysis(s, LARpp, sig);
    std::memcpy(s->LARpp, LARpp, sizeof LARpp);

    // The history and the four subframes, one after the other.
    word dp[120 + 40];
    std::memcpy(dp, s->dp, sizeof s->dp);
    for (int j = 0; j < 4; ++j) {
        const word* d = sig + 40 * j;
        word* cur = dp + 120;
        word Nc, bc;
        ltp_parameters(d, cur, &Nc, &bc);
        word bp = QLB[bc];
        word dpp[40], e[40];
        for (int k = 0; k < 40; ++k) {
            dpp[k] = mult_r(bp, cur[k - Nc]);
            e[k] = sub(d[k], dpp[k]);
        }
        word Mc, xmaxc, ep[40];
        rpe_encode(e, &Mc, &xmaxc, p->xMc[j], ep);
        for (int k = 0; k < 40; ++k) cur[k] = add(ep[k], dpp[k]);
        std::memmove(dp, dp + 40, 120 * sizeof(word));
        p->Nc[j] = std::uint8_t(Nc);
        p->bc[j] = std::uint8_t(bc);
        p->Mc[j] = std::uint8_t(Mc);
        p->xmaxc[j] = std::uint8_t(xmaxc);
    }
    std::memcpy(s->dp, dp, sizeof s->dp);
}

void gsm_synthesise(gsm_decoder* d, const gsm_params* p, std::int16_t y[GSM_FRAME_SAMPLES])
{
    // Long-term synthesis of the four subframes into the short-term residual.
    word drp[120 + 40];
    word wt[160];
    std::memcpy(drp, d->drp, sizeof d->drp);
    for (int j = 0; j < 4; ++j) {
        word exp, mant, xMp[13], erp[40];
        apcm_exponent(word(p->xmaxc[j] & 63), &exp, &mant);
        std::uint8_t xMc[13];
        for (int i = 0; i < 13; ++i) xMc[i] = p->xMc[j][i] & 7;
        apcm_inverse(xMc, mant, exp, xMp);
        for (int k = 0; k < 40; ++k) erp[k] = 0;
        int Mc = p->Mc[j] & 3;
        for (int i = 0; i < 13; ++i) erp[Mc + 3 * i] = xMp[i];

        word Nr = word(p->Nc[j] & 127);
        if (Nr < 40 || Nr > 120) Nr = d->nrp;
        d->nrp = Nr;
        word brp = QLB[p->bc[j] & 3];
        word* cur = drp + 120;
        for (int k = 0; k < 40; ++k) cur[k] = add(erp[k], mult_r(brp, cur[k - Nr]));
        std::memcpy(wt + 40 * j, cur, 40 * sizeof(word));
        std::memmove(drp, drp + 40, 120 * sizeof(word));
    }
    std::memcpy(d->drp, drp, sizeof d->drp);

    // Short-term synthesis with the interpolated reflection coefficients.
    std::uint8_t LARc[8];
    for (int i = 0; i < 8; ++i) LARc[i] = std::uint8_t(p->LARc[i] & (i < 2 ? 63 : i < 4 ? 31 : i < 6 ? 15 : 7));
    word LARpp[8];
    decode_lar(LARc, LARpp);
    word* v = d->v;
    for (int seg = 0; seg < 4; ++seg) {
        word rrp[8];
        interpolate_lar(seg, d->LARpp, LARpp, rrp);
        lar_to_rp(rrp);
        for (int k = SEGMENT_START[seg]; k < SEGMENT_START[seg + 1]; ++k) {
            word sri = wt[k];
            for (int i = 1; i <= 8; ++i) {
                sri = sub(sri, mult_r(rrp[8 - i], v[8 - i]));
                v[9 - i] = add(v[8 - i], mult_r(rrp[8 - i], sri));
            }
            v[0] = sri;
            // De-emphasis, upscaling and truncation to 13 bits.
            d->msr = add(sri, mult_r(d->msr, 28180));
            y[k] = word(add(d->msr, d->msr) & ~7);
        }
    }
    std::memcpy(d->LARpp, LARpp, sizeof LARpp);
}

namespace {

struct bitwriter {
    std::uint8_t* out;
    unsigned acc = 0;
    int count = 0;
    void put(unsigned value, int bits)
    {
        acc = (acc << bits) | (value & ((1u << bits) - 1));
        count += bits;
        while (count >= 8) {
            count -= 8;
            *out++ = std::uint8_t(acc >> count);
        }
        acc &= (1u << count) - 1;
    }
};

struct bitreader {
    const std::uint8_t* in;
    unsigned acc = 0;
    int count = 0;
    std::uint8_t get(int bits)
    {
        while (count < bits) {
            acc = (acc << 8) | *in++;
            count += 8;
        }
        count -= bits;
        std::uint8_t v = std::uint8_t((acc >> count) & ((1u << bits) - 1));
        acc &= (1u << count) - 1;
        return v;
    }
};

const int LAR_BITS[8] = {6, 6, 5, 5, 4, 4, 3, 3};

}  // namespace

void gsm_pack(const gsm_params* p, std::uint8_t signature, std::uint8_t out[GSM_FRAME_BYTES])
{
    bitwriter w{out};
    w.put(signature, 4);
    for (int i = 0; i < 8; ++i) w.put(p->LARc[i], LAR_BITS[i]);
    for (int j = 0; j < 4; ++j) {
        w.put(p->Nc[j], 7);
        w.put(p->bc[j], 2);
        w.put(p->Mc[j], 2);
        w.put(p->xmaxc[j], 6);
        for (int i = 0; i < 13; ++i) w.put(p->xMc[j][i], 3);
    }
}

void gsm_unpack(const std::uint8_t in[GSM_FRAME_BYTES], gsm_params* p)
{
    bitreader r{in};
    r.get(4);
    for (int i = 0; i < 8; ++i) p->LARc[i] = r.get(LAR_BITS[i]);
    for (int j = 0; j < 4; ++j) {
        p->Nc[j] = r.get(7);
        p->bc[j] = r.get(2);
        p->Mc[j] = r.get(2);
        p->xmaxc[j] = r.get(6);
        for (int i = 0; i < 13; ++i) p->xMc[j][i] = r.get(3);
    }
}

void gsm_encode_frame(gsm_state* s, const std::int16_t x[GSM_FRAME_SAMPLES], std::uint8_t out[GSM_FRAME_BYTES])
{
    gsm_params p;
    gsm_analyse(s, x, &p);
    gsm_pack(&p, GSM_SIGNATURE, out);
}

void gsm_decode_frame(gsm_decoder* d, const std::uint8_t in[GSM_FRAME_BYTES], std::int16_t y[GSM_FRAME_SAMPLES])
{
    gsm_params p;
    gsm_unpack(in, &p);
    gsm_synthesise(d, &p, y);
}

namespace {

const std::uint8_t USR_OPEN[2] = {0xFE, 0xFE};
const std::uint8_t USR_SILENT[2] = {0xB6, 0xB6};
const std::uint8_t USR_CLOSE[3] = {0x00, 0xA5, 0xA5};

std::size_t usr_frame(gsm_usr_coder* c, const std::int16_t x[GSM_FRAME_SAMPLES], std::uint8_t* out)
{
    gsm_params p;
    gsm_analyse(&c->state, x, &p);
    if (!c->framed) {
        gsm_pack(&p, 0, out);
        return GSM_FRAME_BYTES;
    }
    bool silent = true;
    for (std::size_t k = 0; k < GSM_FRAME_SAMPLES && silent; ++k) silent = x[k] == 0;
    std::memcpy(out, silent ? USR_SILENT : USR_OPEN, 2);
    gsm_pack(&p, 0, out + 2);
    std::memcpy(out + 2 + GSM_FRAME_BYTES, USR_CLOSE, 3);
    return GSM_USR_FRAME_BYTES;
}

}  // namespace

void gsm_usr_start(gsm_usr_coder* c, int startflag)
{
    gsm_reset(&c->state);
    c->framed = startflag == 0;
    c->npending = 0;
}

std::size_t gsm_usr_frame_bytes(const gsm_usr_coder* c) { return c->framed ? GSM_USR_FRAME_BYTES : GSM_FRAME_BYTES; }

std::size_t gsm_usr_encode(gsm_usr_coder* c, const std::int16_t* x, std::size_t n, std::uint8_t* out)
{
    std::size_t written = 0;
    if (n == 0) return 0;
    if (c->npending > 0) {
        std::size_t take = GSM_FRAME_SAMPLES - c->npending;
        if (take > n) take = n;
        std::memcpy(c->pending + c->npending, x, take * sizeof *x);
        c->npending += take;
        x += take;
        n -= take;
        if (c->npending < GSM_FRAME_SAMPLES) return 0;
        written += usr_frame(c, c->pending, out);
        c->npending = 0;
    }
    for (; n >= GSM_FRAME_SAMPLES; n -= GSM_FRAME_SAMPLES, x += GSM_FRAME_SAMPLES)
        written += usr_frame(c, x, out + written);
    std::memcpy(c->pending, x, n * sizeof *x);
    c->npending = n;
    return written;
}

std::size_t gsm_usr_flush(gsm_usr_coder* c, std::uint8_t* out)
{
    if (c->npending == 0) return 0;
    for (std::size_t k = c->npending; k < GSM_FRAME_SAMPLES; ++k) c->pending[k] = 0;
    c->npending = 0;
    return usr_frame(c, c->pending, out);
}

void gsm_usr_decode_start(gsm_usr_decoder* d)
{
    gsm_reset(&d->state);
    d->framing = -1;
    d->npartial = 0;
    d->badframes = 0;
}

std::size_t gsm_usr_decode(gsm_usr_decoder* d, const std::uint8_t* in, std::size_t n, std::size_t* consumed,
                           std::int16_t* out, std::size_t capacity)
{
    std::size_t used = 0, stored = 0;
    while (used < n && capacity - stored >= GSM_FRAME_SAMPLES) {
        // The framing shows in the stream's first two bytes.
        std::size_t want = d->framing == 0 ? GSM_USR_FRAME_BYTES : d->framing == 1 ? GSM_FRAME_BYTES : 2;
        std::size_t take = want - d->npartial;
        if (take > n - used) take = n - used;
        std::memcpy(d->partial + d->npartial, in + used, take);
        d->npartial += take;
        used += take;
        if (d->npartial < want) break;
        if (d->framing < 0) {
            bool framed = (d->partial[0] == 0xFE || d->partial[0] == 0xB6) && d->partial[1] == d->partial[0];
            d->framing = framed ? 0 : 1;
            continue;
        }
        std::int16_t* y = out + stored;
        if (d->framing == 1) {
            gsm_decode_frame(&d->state, d->partial, y);
        } else if (std::memcmp(d->partial, USR_OPEN, 2) == 0 || std::memcmp(d->partial, USR_SILENT, 2) == 0) {
            gsm_decode_frame(&d->state, d->partial + 2, y);
        } else {
            ++d->badframes;
            for (std::size_t k = 0; k < GSM_FRAME_SAMPLES; ++k) y[k] = 0;
        }
        stored += GSM_FRAME_SAMPLES;
        d->npartial = 0;
    }
    *consumed = used;
    return stored;
}

}  // namespace vc
