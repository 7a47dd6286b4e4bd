// ITU-T G.721 (G.726 at 32 kbit/s): what the UMC voice modems play. The
// standard's fixed-point coder fed 14-bit samples (x >> 2), from its reset
// state; two codes a byte, the earlier sample in the low nibble. The state
// runs on from call to call.
#pragma once
#include <cstddef>
#include <cstdint>

#include "voice/bitstream.h"
#include "voice/lookahead.h"

namespace vc {

// The decoder's whole state, which the encoder tracks too, with the
// prediction and scale factor for the next sample already worked out.
struct g721_state {
    std::int32_t b[6];    // zero coefficients, Q14
    std::int32_t a[2];    // pole coefficients, Q14
    std::int32_t dq[6];   // last quantised differences, in the standard's float form
    std::int32_t sr[2];   // last reconstructed signals, likewise
    std::int32_t yu;      // fast scale factor
    std::int32_t yl;      // slow scale factor (scaled by 64)
    std::int32_t dms, dml;  // short and long means of F(I)
    std::int32_t ap;      // speed control
    std::int32_t pk[2];   // signs of the last two dq + sez
    std::int32_t td;      // tone detected
    std::int32_t se, sez, y;  // for the next sample: estimate, its zero part, scale factor
};

// With the search on, codes are decided G721_RUN samples at a time.
constexpr unsigned G721_RUN = 32;

struct g721_coder {
    search_shape shape;
    g721_state state;
    bitpacker packer;
    std::int16_t held[G721_RUN + SEARCH_MAXDEPTH];  // samples the search has not yet decided
    unsigned nheld = 0;
};

struct g721_decoder {
    g721_state state;
};

// The decoder state is large: a shallow search (a few-second prompt codes in a
// fraction of a second).
constexpr search_shape G721_SEARCH = {4, 16};

// Starts a prompt. A shape of width 1 codes greedily, by the standard's own
// quantiser (the reference encoder's codes).
void g721_start(g721_coder* c, search_shape shape);
// Codes n samples; returns the bytes completed at out (at most
// (n + G721_RUN + SEARCH_MAXDEPTH) / 2 + 1). An odd code is carried to the
// next call; with the search on, so are the samples of a run not yet
// complete, so the codes are the same however the prompt is cut.
std::size_t g721_encode(g721_coder* c, const std::int16_t* x, std::size_t n, std::uint8_t* out);
// Codes the samples still held, deciding them with what is in view, without
// padding: an odd code stays in the packer for the next call. For callers
// that cannot tell the end of a prompt (the compressor libraries): after
// encode + drain no sample is held. Returns the bytes stored (at most
// (G721_RUN + SEARCH_MAXDEPTH) / 2 + 1).
std::size_t g721_drain(g721_coder* c, std::uint8_t* out);
// Ends the prompt: drains, then pads the last byte with a zero code; returns the bytes stored (at most (G721_RUN + SEARCH_MAXDEPTH) / 2 + 1).
std::size_t g721_flush(g721_coder* c, std::uint8_t* out);

// The standard's reset state; with slowstart, the slow scale factor starts
// at 0 instead, as pvftools' decoder starts (the two agree after about a
// thousand samples).
void g721_decoder_start(g721_decoder* d, bool slowstart = false);
// Decodes n bytes (two samples each); returns the samples stored at out. The
// state runs on over every code; samples beyond cap are dropped.
std::size_t g721_decode(g721_decoder* d, const std::uint8_t* in, std::size_t n, std::int16_t* out, std::size_t cap);

// The reset state, and one code through the decoder: advances s and returns its 16-bit output.
void g721_reset(g721_state* s);
std::int16_t g721_step(g721_state* s, unsigned code);

}  // namespace vc
