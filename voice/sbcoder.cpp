#include "voice/sbcoder.h"

std::uint16_t sb_start(sb_coder* coder, std::int32_t coding, std::int16_t startflag, bool invert8)
{
    coder->coding = 0;
    if (coding != 2 && coding != 4 && coding != 8) return SB_BADREQUEST;
    if (startflag != 0 && startflag != 1) return SB_BADREQUEST;
    coder->coding = int(coding);
    coder->startflag = startflag;
    coder->invert = invert8;
    vc::adpcm_reset(&coder->state);
    return 0;
}

std::uint16_t sb_compress(sb_coder* coder, const std::uint8_t* samples, std::uint16_t bytecount,
                          std::uint8_t* out, std::uint16_t* outcount)
{
    *outcount = 0;
    if (coder->coding == 0) return SB_BADREQUEST;
    const unsigned count = bytecount / 2u;
    const unsigned bits = unsigned(coder->coding);
    const unsigned perbyte = 8 / bits;
    const unsigned needed = (count + perbyte - 1) / perbyte;
    if (needed > SB_OUTPUTSIZE) return SB_BADREQUEST;

    unsigned byte = 0, filled = 0, written = 0;
    for (unsigned i = 0; i < count; ++i) {
        std::int16_t x = std::int16_t(std::uint16_t(samples[2 * i] | (samples[2 * i + 1] << 8)));
        unsigned code;
        switch (bits) {
        case 2: code = vc::adpcm_encode2(&coder->state, x); break;
        case 4: code = vc::adpcm_encode4(&coder->state, x); break;
        default: code = vc::compand8(x, coder->invert); break;
        }
        unsigned shift = coder->startflag ? filled * bits : 8 - bits - filled * bits;
        byte |= code << shift;
        if (++filled == perbyte) {
            out[written++] = std::uint8_t(byte);
            byte = 0;
            filled = 0;
        }
    }
    if (filled != 0) {
        // Only the ADPCM codings pack several samples into a byte; code 0
        // (the smallest difference) stands for the missing ones.
        out[written++] = std::uint8_t(byte);
    }
    *outcount = std::uint16_t(written);
    return 0;
}

std::uint32_t sb_expand(sb_coder* coder, const std::uint8_t* codes, std::uint32_t count, std::int16_t* samples,
                        std::uint32_t capacity)
{
    if (coder->coding == 0) return 0;
    const unsigned bits = unsigned(coder->coding);
    const unsigned perbyte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    std::uint32_t stored = 0;
    for (std::uint32_t b = 0; b < count; ++b) {
        for (unsigned k = 0; k < perbyte && stored < capacity; ++k) {
            unsigned shift = coder->startflag ? k * bits : 8 - bits - k * bits;
            unsigned code = (codes[b] >> shift) & mask;
            switch (bits) {
            case 2: samples[stored++] = vc::adpcm_decode2(&coder->state, code); break;
            case 4: samples[stored++] = vc::adpcm_decode4(&coder->state, code); break;
            default: samples[stored++] = vc::expand8(std::uint8_t(code), coder->invert); break;
            }
        }
    }
    return stored;
}
