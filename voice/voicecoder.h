// The sample coders of the voice data, free of the installer: the IMA/DVI
// ADPCM step (4 bits, and its 2-bit reduction), the 8-bit compander and its
// expander. The installer, the compressor libraries, the external converter
// and the native voxplay tool all code through these, so they agree bit for bit.
#pragma once
#include <cstdint>

namespace vc {

// IMA ADPCM tables (89 steps, 7 to 32767).
extern const std::int16_t step_table[89];
extern const std::int8_t index_table4[16];
// 2-bit codes: bit 1 = sign, bit 0 = magnitude.
extern const std::int8_t index_table2[4];

struct adpcm_state {
    std::int32_t predictor;  // -32768..32767
    std::int16_t index;      // 0..88
    std::int32_t step;       // step_table[index]
};

void adpcm_reset(adpcm_state* s);

// One decoding step for a 4-bit code (0-15); returns the new sample.
std::int16_t adpcm_decode4(adpcm_state* s, unsigned code);
// The 4-bit code that best follows the sample; the state advances exactly as
// the decoder's does for that code.
unsigned adpcm_encode4(adpcm_state* s, std::int16_t sample);

// The same for 2-bit codes: difference step/2, plus step with the magnitude
// bit; index -1 for a small and +2 for a large difference.
std::int16_t adpcm_decode2(adpcm_state* s, unsigned code);
unsigned adpcm_encode2(adpcm_state* s, std::int16_t sample);

// 8-bit companding code (sign bit 7, segment bits 6-4, mantissa bits 3-0),
// dead zone below 32, saturation from 8192, 0x10 never produced. invert: the
// magnitude bits are inverted (XOR 0x7F) for modems of that polarity.
std::uint8_t compand8(std::int16_t sample, bool invert);
// The sample at the middle of a code's interval (inverse of compand8).
std::int16_t expand8(std::uint8_t code, bool invert);

// Signed 16-bit to unsigned 8-bit (128 = silence): (x + 32767) / 256 rounded down.
std::uint8_t pcm16to8(std::int16_t sample);

}  // namespace vc
