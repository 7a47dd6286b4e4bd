#include "voice/voicecoder.h"

namespace vc {

const std::int16_t step_table[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767,
};

const std::int8_t index_table4[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};
const std::int8_t index_table2[4] = {-1, 2, -1, 2};

namespace {

void advance(adpcm_state* s, std::int32_t difference, int adjust)
{
    std::int32_t p = s->predictor + difference;
    if (p > 32767) p = 32767;
    if (p < -32768) p = -32768;
    s->predictor = p;
    int index = s->index + adjust;
    if (index < 0) index = 0;
    if (index > 88) index = 88;
    s->index = std::int16_t(index);
    s->step = step_table[index];
}

}  // namespace

void adpcm_reset(adpcm_state* s)
{
    s->predictor = 0;
    s->index = 0;
    s->step = step_table[0];
}

std::int16_t adpcm_decode4(adpcm_state* s, unsigned code)
{
    code &= 15;
    std::int32_t step = s->step;
    std::int32_t difference = step >> 3;
    if (code & 4) difference += step;
    if (code & 2) difference += step >> 1;
    if (code & 1) difference += step >> 2;
    if (code & 8) difference = -difference;
    advance(s, difference, index_table4[code]);
    return std::int16_t(s->predictor);
}

unsigned adpcm_encode4(adpcm_state* s, std::int16_t sample)
{
    std::int32_t difference = std::int32_t(sample) - s->predictor;
    unsigned code = 0;
    if (difference < 0) {
        code = 8;
        difference = -difference;
    }
    std::int32_t step = s->step;
    if (difference >= step) {
        code |= 4;
        difference -= step;
    }
    step >>= 1;
    if (difference >= step) {
        code |= 2;
        difference -= step;
    }
    step >>= 1;
    if (difference >= step) code |= 1;
    adpcm_decode4(s, code);
    return code;
}

std::int16_t adpcm_decode2(adpcm_state* s, unsigned code)
{
    code &= 3;
    std::int32_t step = s->step;
    std::int32_t difference = step >> 1;
    if (code & 1) difference += step;
    if (code & 2) difference = -difference;
    advance(s, difference, index_table2[code]);
    return std::int16_t(s->predictor);
}

unsigned adpcm_encode2(adpcm_state* s, std::int16_t sample)
{
    std::int32_t difference = std::int32_t(sample) - s->predictor;
    unsigned code = 0;
    if (difference < 0) {
        code = 2;
        difference = -difference;
    }
    if (difference >= s->step) code |= 1;
    adpcm_decode2(s, code);
    return code;
}

std::uint8_t compand8(std::int16_t sample, bool invert)
{
    std::int32_t m = sample < 0 ? -std::int32_t(sample) : sample;  // -32768 gives 32768, the largest
    unsigned segment = 0, mantissa = 0;
    if (m >= 8192) {
        segment = 7;
        mantissa = 15;
    } else if (m >= 32) {
        int top = 5;
        while ((m >> (top + 1)) != 0) ++top;  // position of the highest set bit
        segment = unsigned(top - 5);
        mantissa = unsigned(m >> (top - 4)) & 15;
    }
    unsigned code = segment * 16 + mantissa;
    if (sample < 0) code += 128;
    if (code == 0x10) code = 0x0F;
    if (invert) code ^= 0x7F;
    return std::uint8_t(code);
}

std::int16_t expand8(std::uint8_t code, bool invert)
{
    unsigned c = invert ? unsigned(code ^ 0x7F) : code;
    unsigned magnitude = c & 0x7F;
    if (magnitude == 0) return 0;  // the dead zone
    unsigned segment = (magnitude >> 4) & 7, mantissa = magnitude & 15;
    std::int32_t width = 2 << segment;
    std::int32_t value = (32 << segment) + std::int32_t(mantissa) * width + width / 2;
    return std::int16_t((c & 0x80) ? -value : value);
}

std::uint8_t pcm16to8(std::int16_t sample)
{
    std::int32_t v = (std::int32_t(sample) + 32767) / 256;
    return std::uint8_t(v < 0 ? 0 : v);
}

}  // namespace vc
