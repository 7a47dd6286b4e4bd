// GSM 06.10 full rate (RPE-LTP, 13 kbit/s): 160 samples of 8000 Hz in a
// 260-bit frame, coded in the standard's 16/32-bit fixed-point arithmetic so
// that every frame is bit-exact to the standard's coder; and the US Robotics
// voice modems' framing around it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vc {

constexpr std::size_t GSM_FRAME_SAMPLES = 160;
constexpr std::size_t GSM_FRAME_BYTES = 33;      // signature nibble + 260 bits
constexpr std::size_t GSM_USR_FRAME_BYTES = 38;  // FE FE, frame, 00, A5 A5
constexpr std::uint8_t GSM_SIGNATURE = 0xD;      // the common packing's first nibble

// The coded parameters of one frame, in the order the standard lists them.
struct gsm_params {
    std::uint8_t LARc[8];      // 6 6 5 5 4 4 3 3 bits
    std::uint8_t Nc[4];        // lag, 40..120 from the encoder (7 bits)
    std::uint8_t bc[4];        // LTP gain (2 bits)
    std::uint8_t Mc[4];        // RPE grid (2 bits)
    std::uint8_t xmaxc[4];     // block maximum (6 bits)
    std::uint8_t xMc[4][13];   // RPE pulses (3 bits)
};

struct gsm_state {
    std::int16_t z1;         // offset compensation
    std::int32_t L_z2;
    std::int16_t mp;         // pre-emphasis
    std::int16_t u[8];       // short-term analysis filter
    std::int16_t LARpp[8];   // previous frame's decoded LARs, for the interpolation
    std::int16_t dp[120];    // reconstructed short-term residual, oldest first
};

struct gsm_decoder {
    std::int16_t v[9];       // short-term synthesis filter
    std::int16_t LARpp[8];
    std::int16_t nrp;        // last valid lag
    std::int16_t drp[120];   // reconstructed short-term residual, oldest first
    std::int16_t msr;        // de-emphasis
};

void gsm_reset(gsm_state* s);
void gsm_reset(gsm_decoder* d);

// One frame of 16-bit samples to its parameters, and the reverse.
void gsm_analyse(gsm_state* s, const std::int16_t x[GSM_FRAME_SAMPLES], gsm_params* p);
void gsm_synthesise(gsm_decoder* d, const gsm_params* p, std::int16_t y[GSM_FRAME_SAMPLES]);

// The common 33-byte packing, most significant bit first after the signature
// nibble; unpacking ignores the nibble.
void gsm_pack(const gsm_params* p, std::uint8_t signature, std::uint8_t out[GSM_FRAME_BYTES]);
void gsm_unpack(const std::uint8_t in[GSM_FRAME_BYTES], gsm_params* p);

// Packed frames with the signature 0xD, as libgsm's tools write them. Any 33
// bytes decode: a lag outside 40..120 repeats the last valid one.
void gsm_encode_frame(gsm_state* s, const std::int16_t x[GSM_FRAME_SAMPLES], std::uint8_t out[GSM_FRAME_BYTES]);
void gsm_decode_frame(gsm_decoder* d, const std::uint8_t in[GSM_FRAME_BYTES], std::int16_t y[GSM_FRAME_SAMPLES]);

// The US Robotics stream. Start flag 0 (the modem's firmware showed its
// framing when it recorded): 38-byte frames, `FE FE`, the packed frame with
// the signature nibble 0, `00`, `A5 A5`; a block of exact digital silence
// opens with `B6 B6` instead (its frame still codes the block, so a reader
// that decodes it stays in step and a modem that skips it plays silence).
// Any other start flag (older firmware, or a modem that could not be asked):
// bare 33-byte frames with the signature nibble 0. Readers of the modem's data
// tell the two apart by the first two bytes of the stream (a bare frame with
// nibble 0 never opens with FE or B6), and refuse framed frames with bit 5 of
// the first frame byte set, which the nibble 0 keeps clear.
struct gsm_usr_coder {
    gsm_state state;
    bool framed;                                 // 38-byte frames
    std::int16_t pending[GSM_FRAME_SAMPLES];     // a partial frame carried to the next call
    std::size_t npending;
};

void gsm_usr_start(gsm_usr_coder* c, int startflag);
// Bytes of one frame in this coder's stream: 38 or 33.
std::size_t gsm_usr_frame_bytes(const gsm_usr_coder* c);
// Consumes n samples and stores one frame for each complete 160 samples
// (counting those carried from earlier calls); the remainder is carried. out
// must hold (carried + n) / 160 frames. Returns the bytes stored.
std::size_t gsm_usr_encode(gsm_usr_coder* c, const std::int16_t* x, std::size_t n, std::uint8_t* out);
// Ends the stream: a carried partial frame is completed with silence and
// stored (one frame at most). Returns the bytes stored.
std::size_t gsm_usr_flush(gsm_usr_coder* c, std::uint8_t* out);

// The reverse for players: takes a stream of either framing in pieces of any
// size. The framing is fixed by the first two bytes (FE FE or B6 B6: 38-byte
// frames, else bare). A 38-byte frame with another opening counts as bad and
// plays as silence.
struct gsm_usr_decoder {
    gsm_decoder state;
    int framing;                                 // -1 not yet known, 0 framed, 1 bare
    std::uint8_t partial[GSM_USR_FRAME_BYTES];   // bytes of a frame not yet complete
    std::size_t npartial;
    std::uint32_t badframes;
};

void gsm_usr_decode_start(gsm_usr_decoder* d);
// Decodes the frames that n more bytes complete, as long as another 160
// samples fit in capacity; *consumed tells how many of the n bytes were taken
// (all of them unless the output filled up). Returns the samples stored.
std::size_t gsm_usr_decode(gsm_usr_decoder* d, const std::uint8_t* in, std::size_t n, std::size_t* consumed,
                           std::int16_t* out, std::size_t capacity);

}  // namespace vc
