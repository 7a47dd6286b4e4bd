// Rockwell ADPCM at 2, 3 and 4 bits per sample: what the Rockwell voice
// modems (and the V.253 modems at compression 4) play. A backward-adaptive
// coder with a pole-zero predictor in 16-bit fixed point, a pre-emphasis of
// 0.4 before it and the matching de-emphasis after the decoder. The codes form
// one continuous stream, least significant bit first, read by the modem as
// 16-bit little-endian words; one word value per width means "silence
// follows", so the encoder never completes it.
//
// The decoder is fixed by the modem; the encoder is ours. With the search off
// it picks each code by the quantiser's thresholds (the classic encoder); with
// the search on it looks a few samples ahead for the codes whose decoding is
// closest to the input (vc::search_encode).
#pragma once
#include <cstddef>
#include <cstdint>

#include "voice/bitstream.h"
#include "voice/lookahead.h"

namespace vc {

// What the modem's decoder holds, plus the encoder's previous input.
struct rockwell_state {
    std::int16_t a[2];   // pole coefficients (Q15)
    std::int16_t b[6];   // zero coefficients (Q15)
    std::int16_t r[2];   // last two reconstructed signals
    std::int16_t dq[6];  // last six quantised differences
    std::int16_t nu;     // quantiser step
    std::int16_t y;      // previous output (de-emphasis)
    std::int16_t x;      // previous input (pre-emphasis; encoder only)
};

void rockwell_reset(rockwell_state* s);
// One decoder step: the sample the modem plays for this code (0..2^bits-1).
std::int16_t rockwell_decode_step(rockwell_state* s, int bits, unsigned code);
// The classic encoder's code for sample x by the thresholds (the state is not changed).
unsigned rockwell_threshold_code(const rockwell_state* s, int bits, std::int16_t x);
// The 16-bit word that stands for "silence follows" at this width.
std::uint16_t rockwell_silence_word(int bits);

// The search off: codes by the thresholds.
constexpr search_shape ROCKWELL_THRESHOLDS{0, 0};
// The libraries' shape: 4 samples ahead, 8 paths. On speech 1.6 to 1.8 dB over
// the thresholds at every width; wider searches gain a few tenths of a dB for
// two to four times the time.
constexpr search_shape ROCKWELL_SEARCH{4, 8};

struct rockwell_coder {
    int bits;             // 2, 3 or 4; 0: not started
    search_shape shape;   // depth 0: by the thresholds
    rockwell_state state;
    std::uint32_t word;   // bits of the current 16-bit word of the stream
    unsigned wordbits;    // how many
    bitpacker packer;     // bytes not yet complete
};

// A new stream. A width other than 2, 3 or 4 leaves the coder unstarted (bits 0).
void rockwell_start(rockwell_coder* c, int bits, search_shape shape);
// Codes n samples; stores the bytes completed at out and returns their number
// (at most (n * bits + 7) / 8 + 1). A byte not yet full waits for the next call.
std::size_t rockwell_encode(rockwell_coder* c, const std::int16_t* x, std::size_t n, std::uint8_t* out);
// The end of the stream: the waiting byte, padded with zero bits (0 or 1 byte).
std::size_t rockwell_finish(rockwell_coder* c, std::uint8_t* out);

struct rockwell_decoder {
    int bits;
    rockwell_state state;
    bitreader reader;
    std::uint8_t low;         // first byte of a word
    bool havelow;             // a word is half read
    bool silencelength;       // the next word is the length of a silence
};

void rockwell_decoder_start(rockwell_decoder* d, int bits);  // as rockwell_start
// Decodes n bytes of the stream into at most cap samples; returns the number
// stored. The stream is read word by word as the modem reads it: a silence
// word and its length give length / 2 zero samples, after which the decoder
// restarts with its predictor's coefficients kept (as pvftools' rmdtopvf does).
std::size_t rockwell_decode(rockwell_decoder* d, const std::uint8_t* in, std::size_t n, std::int16_t* out,
                            std::size_t cap);
// The end of the stream: the codes of a last odd byte; returns the samples stored.
std::size_t rockwell_decode_finish(rockwell_decoder* d, std::int16_t* out, std::size_t cap);

}  // namespace vc
