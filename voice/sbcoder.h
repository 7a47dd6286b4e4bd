// The voice compressor behind the SB_ entry points of the compressor
// libraries: one coder per prompt, started with the coding and the start flag,
// fed blocks of 16-bit samples at the modem's rate. Each library is built for
// one family of modems and codes what that family plays. Portable, so that the
// libraries, the external converter and the native tests share it.
#pragma once
#include <cstdint>

#include "shell/status.h"
#include "voice/g721.h"
#include "voice/gsm610.h"
#include "voice/rockwell.h"
#include "voice/voicecoder.h"
#include "voice/zyxel.h"

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
    vc::zyxel_coder zyxel;
    vc::zyxel_decoder zyxeldecoder;
    vc::g721_coder g721;
    vc::g721_decoder g721decoder;
    vc::gsm_usr_coder gsm;
    vc::gsm_usr_decoder gsmdecoder;
};

// Prepares a new prompt. invert8 is a property of the library variant. The
// codings a family takes: IMA 2, 4, 8; Rockwell and ZyXEL 2, 3, 4; G.721 4;
// GSM 2 or 4 (the installer passes 2 for the US Robotics modems; GSM has one
// rate, so the coding byte changes nothing). The start flag must be 0 or 1;
// the bit orders of Rockwell, ZyXEL and G.721 are fixed by their formats, so
// there it changes nothing; for GSM it picks the framing (0: the modem's
// 38-byte frames, 1: bare 33-byte frames, see voice/gsm610.h).
std::uint16_t sb_start(sb_coder* coder, std::int32_t coding, std::int16_t startflag, bool invert8,
                       sb_family family = sb_family::ima);
// Codes bytecount / 2 little-endian 16-bit samples into out (at most
// SB_OUTPUTSIZE bytes). IMA family: the codes of a byte are packed earliest
// sample first in the high bits, or in the low bits with the start flag, and a
// byte left incomplete at the end of a block is filled with the code of
// silence. Rockwell, ZyXEL and G.721: one continuous stream; the installer
// never says where a prompt ends, so every call codes all its samples (the
// search ahead decides the last ones with what the block shows) and only a
// byte left incomplete (2 and 3 bits) waits for the next block. GSM: one
// frame per 160 samples (the installer's 320-byte blocks); the samples of a
// partial frame wait for the next block.
std::uint16_t sb_compress(sb_coder* coder, const std::uint8_t* samples, std::uint16_t bytecount,
                          std::uint8_t* out, std::uint16_t* outcount);

// The reverse, for players and tests: decodes count code bytes (without the
// voice file header) into samples; returns the number of samples stored
// (at most capacity). The decoder state runs on across calls. GSM: whole
// frames only (160 samples each), in either framing; the bytes of a partial
// frame wait for the next call, bytes beyond a full output are dropped.
std::uint32_t sb_expand(sb_coder* coder, const std::uint8_t* codes, std::uint32_t count, std::int16_t* samples,
                        std::uint32_t capacity);
