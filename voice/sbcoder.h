// The voice compressor behind the SB_ entry points of the compressor
// libraries: one coder per prompt, started with the coding and the start flag,
// fed blocks of 16-bit samples at the modem's rate. Portable, so that the
// libraries, the external converter and the native tests share it.
#pragma once
#include <cstdint>

#include "shell/status.h"
#include "voice/voicecoder.h"

// Largest output of one compress call.
constexpr std::uint16_t SB_OUTPUTSIZE = 2048;

struct sb_coder {
    int coding;        // bits per sample: 2, 4 or 8; 0 = not started
    int startflag;     // 1: the earliest sample of a byte in its lowest bits
    bool invert;       // 8-bit codes with inverted magnitude bits
    vc::adpcm_state state;
};

// Prepares a new prompt. invert8 is a property of the library variant.
std::uint16_t sb_start(sb_coder* coder, std::int32_t coding, std::int16_t startflag, bool invert8);
// Codes bytecount / 2 little-endian 16-bit samples into out (at most
// SB_OUTPUTSIZE bytes); the codes of a byte are packed earliest sample first
// in the high bits, or in the low bits with the start flag. A byte left
// incomplete at the end of a block is filled with the code of silence.
std::uint16_t sb_compress(sb_coder* coder, const std::uint8_t* samples, std::uint16_t bytecount,
                          std::uint8_t* out, std::uint16_t* outcount);

// The reverse, for players and tests: decodes count code bytes (without the
// voice file header) into samples; returns the number of samples stored
// (at most capacity). The decoder state runs on across calls.
std::uint32_t sb_expand(sb_coder* coder, const std::uint8_t* codes, std::uint32_t count, std::int16_t* samples,
                        std::uint32_t capacity);
