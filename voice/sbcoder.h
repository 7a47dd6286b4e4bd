// The voice compressor behind the SB_ entry points of the compressor
// libraries: one coder per prompt, started with the coding and the start flag,
// fed blocks of 16-bit samples at the modem's rate. Each library is built for
// one family of modems and codes what that family plays. Portable, so that the
// libraries, the external converter and the native tests share it.
#pragma once
#include <cstdint>

#include "shell/status.h"
#include "voice/rockwell.h"
#include "voice/voicecoder.h"

// Largest output of one compress call.
constexpr std::uint16_t SB_OUTPUTSIZE = 2048;

// What a library codes; chosen when it is built (SB_FAMILY).
enum class sb_family : int {
    ima = 0,       // IMA ADPCM at 2 and 4 bits, the installer's companding at 8 bits
    rockwell = 1,  // Rockwell ADPCM at 2, 3 and 4 bits
    zyxel = 2,     // ZyXEL ADPCM at 2, 3 and 4 bits
    g721 = 3,      // ITU-T G.721
    gsm = 4,       // GSM 06.10 full rate in the modem's frames
};

struct sb_coder {
    sb_family family;
    int coding;        // bits per sample; 0 = not started
    int startflag;     // IMA family: 1 puts the earliest sample of a byte in its lowest bits
    bool invert;       // 8-bit codes with inverted magnitude bits
    vc::adpcm_state state;
    vc::rockwell_coder rockwell;
    vc::rockwell_decoder rockwelldecoder;
};

// Prepares a new prompt. invert8 is a property of the library variant. The
// codings a family takes: IMA 2, 4, 8; Rockwell 2, 3, 4. The start flag must be
// 0 or 1; the Rockwell family's bit order is fixed by the format, so there it
// changes nothing.
std::uint16_t sb_start(sb_coder* coder, std::int32_t coding, std::int16_t startflag, bool invert8,
                       sb_family family = sb_family::ima);
// Codes bytecount / 2 little-endian 16-bit samples into out (at most
// SB_OUTPUTSIZE bytes). IMA family: the codes of a byte are packed earliest
// sample first in the high bits, or in the low bits with the start flag, and a
// byte left incomplete at the end of a block is filled with the code of
// silence. Rockwell family: one continuous stream, and a byte left incomplete
// waits for the next block.
std::uint16_t sb_compress(sb_coder* coder, const std::uint8_t* samples, std::uint16_t bytecount,
                          std::uint8_t* out, std::uint16_t* outcount);

// The reverse, for players and tests: decodes count code bytes (without the
// voice file header) into samples; returns the number of samples stored
// (at most capacity). The decoder state runs on across calls.
std::uint32_t sb_expand(sb_coder* coder, const std::uint8_t* codes, std::uint32_t count, std::int16_t* samples,
                        std::uint32_t capacity);
