#include "voice/sbcoder.h"

#include <vector>

namespace {

bool takes(sb_family family, std::int32_t coding)
{
    switch (family) {
    case sb_family::ima: return coding == 2 || coding == 4 || coding == 8;
    case sb_family::rockwell:
    case sb_family::zyxel: return coding >= 2 && coding <= 4;
    case sb_family::g721: return coding == 4;
    case sb_family::gsm: return coding == 2 || coding == 4;
    default: return false;
    }
}

std::uint16_t ima_compress(sb_coder* coder, const std::uint8_t* samples, unsigned count, std::uint8_t* out)
{
    const unsigned bits = unsigned(coder->coding);
    const unsigned perbyte = 8 / bits;
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
    return std::uint16_t(written);
}

std::uint32_t ima_expand(sb_coder* coder, const std::uint8_t* codes, std::uint32_t count, std::int16_t* samples,
                         std::uint32_t capacity)
{
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

}  // namespace

std::uint16_t sb_start(sb_coder* coder, std::int32_t coding, std::int16_t startflag, bool invert8, sb_family family)
{
    coder->coding = 0;
    if (!takes(family, coding)) return SB_BADREQUEST;
    if (startflag != 0 && startflag != 1) return SB_BADREQUEST;
    coder->family = family;
    coder->coding = int(coding);
    coder->startflag = startflag;
    coder->invert = invert8;
    switch (family) {
    case sb_family::rockwell:
        vc::rockwell_start(&coder->rockwell, int(coding), vc::ROCKWELL_SEARCH);
        vc::rockwell_decoder_start(&coder->rockwelldecoder, int(coding));
        break;
    case sb_family::zyxel:
        vc::zyxel_start(&coder->zyxel, int(coding), vc::ZYXEL_SEARCH);
        vc::zyxel_decoder_start(&coder->zyxeldecoder, int(coding));
        break;
    case sb_family::g721:
        vc::g721_start(&coder->g721, vc::G721_SEARCH);
        vc::g721_decoder_start(&coder->g721decoder);
        break;
    case sb_family::gsm:
        vc::gsm_usr_start(&coder->gsm, startflag);
        vc::gsm_usr_decode_start(&coder->gsmdecoder);
        break;
    default: vc::adpcm_reset(&coder->state); break;
    }
    return 0;
}

std::uint16_t sb_compress(sb_coder* coder, const std::uint8_t* samples, std::uint16_t bytecount,
                          std::uint8_t* out, std::uint16_t* outcount)
{
    *outcount = 0;
    if (coder->coding == 0) return SB_BADREQUEST;
    const unsigned count = bytecount / 2u;
    const unsigned bits = unsigned(coder->coding);
    unsigned needed;
    if (coder->family == sb_family::gsm)
        needed = unsigned((coder->gsm.npending + count) / vc::GSM_FRAME_SAMPLES * vc::gsm_usr_frame_bytes(&coder->gsm));
    else  // a byte carried over from the last block may complete in this one
        needed = (count * bits + 7) / 8 + (coder->family == sb_family::ima ? 0 : 1);
    if (needed > SB_OUTPUTSIZE) return SB_BADREQUEST;
    if (coder->family == sb_family::ima) {
        *outcount = ima_compress(coder, samples, count, out);
        return 0;
    }

    std::vector<std::int16_t> x(count);
    for (unsigned i = 0; i < count; ++i) x[i] = std::int16_t(std::uint16_t(samples[2 * i] | (samples[2 * i + 1] << 8)));
    std::size_t n = 0;
    switch (coder->family) {
    case sb_family::rockwell: n = vc::rockwell_encode(&coder->rockwell, x.data(), count, out); break;
    case sb_family::zyxel:
        // No sample stays held: the installer's last block is its last call.
        n = vc::zyxel_encode(&coder->zyxel, x.data(), count, out);
        n += vc::zyxel_drain(&coder->zyxel, out + n);
        break;
    case sb_family::g721:
        n = vc::g721_encode(&coder->g721, x.data(), count, out);
        n += vc::g721_drain(&coder->g721, out + n);
        break;
    case sb_family::gsm: n = vc::gsm_usr_encode(&coder->gsm, x.data(), count, out); break;
    default: break;
    }
    *outcount = std::uint16_t(n);
    return 0;
}

std::uint32_t sb_expand(sb_coder* coder, const std::uint8_t* codes, std::uint32_t count, std::int16_t* samples,
                        std::uint32_t capacity)
{
    if (coder->coding == 0) return 0;
    switch (coder->family) {
    case sb_family::rockwell:
        return std::uint32_t(vc::rockwell_decode(&coder->rockwelldecoder, codes, count, samples, capacity));
    case sb_family::zyxel:
        return std::uint32_t(vc::zyxel_decode(&coder->zyxeldecoder, codes, count, samples, capacity));
    case sb_family::g721: return std::uint32_t(vc::g721_decode(&coder->g721decoder, codes, count, samples, capacity));
    case sb_family::gsm: {
        // Whole frames only: bytes past a full output are dropped.
        std::size_t used = 0;
        return std::uint32_t(vc::gsm_usr_decode(&coder->gsmdecoder, codes, count, &used, samples, capacity));
    }
    default: return ima_expand(coder, codes, count, samples, capacity);
    }
}
