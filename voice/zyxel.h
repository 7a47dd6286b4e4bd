// ZyXEL ADPCM, 2, 3 or 4 bits a sample: what the ZyXEL voice modems play.
// One accumulator in the 14-bit domain and one step; the codes form a
// continuous bit stream, most significant bit first. No blocks, no resets:
// the state runs on from call to call.
#pragma once
#include <cstddef>
#include <cstdint>

#include "voice/bitstream.h"
#include "voice/lookahead.h"

namespace vc {

// With the search on, codes are decided ZYXEL_RUN samples at a time.
constexpr unsigned ZYXEL_RUN = 32;

// The decoder's whole state, which the encoder tracks too.
struct zyxel_state {
    std::int32_t a = 0;  // accumulator, 14-bit domain
    std::int32_t d = 5;  // step
};

struct zyxel_coder {
    int bits = 4;
    search_shape shape;
    zyxel_state state;
    bitpacker packer;
    std::int16_t held[ZYXEL_RUN + SEARCH_MAXDEPTH];  // samples the search has not yet decided
    unsigned nheld = 0;
};

struct zyxel_decoder {
    int bits = 4;
    zyxel_state state;
    bitreader reader;
};

// A modest search: the state is two words, so eight paths four samples deep cost little.
constexpr search_shape ZYXEL_SEARCH = {4, 8};

// Starts a prompt; bits outside 2..4 are taken as 4. A shape of width 1 codes
// greedily, by the quantiser's own choice (the reference encoder's codes).
void zyxel_start(zyxel_coder* c, int bits, search_shape shape);
// Codes n samples; returns the bytes completed at out (at most
// ((n + ZYXEL_RUN + SEARCH_MAXDEPTH) * bits + 7) / 8). A partial byte is
// carried to the next call; with the search on, so are the samples of a run
// not yet complete, so the codes are the same however the prompt is cut.
std::size_t zyxel_encode(zyxel_coder* c, const std::int16_t* x, std::size_t n, std::uint8_t* out);
// Codes the samples still held, deciding them with what is in view, without
// padding: a partial byte stays in the packer for the next call. For callers
// that cannot tell the end of a prompt (the compressor libraries): after
// encode + drain no sample is held. Returns the bytes stored (at most
// ((ZYXEL_RUN + SEARCH_MAXDEPTH) * bits + 7) / 8).
std::size_t zyxel_drain(zyxel_coder* c, std::uint8_t* out);
// Ends the prompt: drains, then pads the last byte (with
// zero bits; at 4 bits with code 8, as 0 resets the modem); returns the bytes
// stored (at most ((ZYXEL_RUN + SEARCH_MAXDEPTH) * bits + 7) / 8).
std::size_t zyxel_flush(zyxel_coder* c, std::uint8_t* out);

void zyxel_decoder_start(zyxel_decoder* d, int bits);
// Decodes n bytes; returns the samples stored at out. The state runs on over
// every code; samples beyond cap are dropped.
std::size_t zyxel_decode(zyxel_decoder* d, const std::uint8_t* in, std::size_t n, std::int16_t* out,
                         std::size_t cap);

// One code through the decoder: advances s and returns its 16-bit output.
std::int16_t zyxel_step(zyxel_state* s, int bits, unsigned code);

}  // namespace vc
