// The sample-level coders of the installer's own conversions.
#include "voice/adpcm.h"

#include <cstring>

#include "files/log.h"
#include "modem/vendors.h"
#include "voice/voicecoder.h"

namespace {

// The context's decoder; one never reset reads as a reset one.
vc::adpcm_state decoder_of(const setup_context* ctx)
{
    vc::adpcm_state s = {ctx->adpcmpredictor, ctx->adpcmindex, ctx->adpcmstep};
    if (s.step == 0) vc::adpcm_reset(&s);
    return s;
}

void keep_decoder(setup_context* ctx, const vc::adpcm_state& s)
{
    ctx->adpcmpredictor = s.predictor;
    ctx->adpcmindex = s.index;
    ctx->adpcmstep = s.step;
}

struct rate_chunk {
    std::int32_t inrate;
    std::int32_t outrate;
    std::int16_t chunk;
};

// Chunk length in input samples for each rate pair.
const rate_chunk rate_chunks[] = {
    {7200, 7200, 2048},
    {8000, 7200, 1800},
    {8000, 8000, 2048},
    {11025, 7200, 1980},
    {11025, 8000, 1760},
    {11025, 11025, 2048},
};

// Whether input sample k - 1 is kept when k samples have been passed.
bool keeps(std::int32_t inrate, std::int32_t outrate, std::int32_t k, std::int32_t kept)
{
    return std::int64_t(k) * outrate / inrate > kept;
}

}  // namespace

void LV_makeheader(std::uint8_t header[VOICEHEADERSIZE], const char* tag, std::uint8_t coding)
{
    std::memset(header, 0, VOICEHEADERSIZE);
    std::size_t n = std::strlen(tag);
    std::memcpy(header, tag, n < 5 ? n : 5);
    header[5] = 0x02;
    header[VOICEHEADER_CODING] = coding;
}

status_t LV_adpcminit(setup_context* ctx)
{
    vc::adpcm_state s;
    vc::adpcm_reset(&s);
    keep_decoder(ctx, s);
    return ST_OK;
}

std::int16_t LV_adpcmsample(setup_context* ctx, std::uint8_t code)
{
    vc::adpcm_state s = decoder_of(ctx);
    std::int16_t sample = vc::adpcm_decode4(&s, code);
    keep_decoder(ctx, s);
    return sample;
}

status_t LV_adpcmdecode(setup_context* ctx, const std::uint8_t* source, std::int16_t bytecount,
                        std::int16_t* destination, std::int32_t* producedbytes)
{
    std::int32_t n = bytecount > 0 ? bytecount : 0;
    vc::adpcm_state s = decoder_of(ctx);
    for (std::int32_t i = 0; i < n; ++i) {
        destination[2 * i] = vc::adpcm_decode4(&s, std::uint8_t(source[i] >> 4));
        destination[2 * i + 1] = vc::adpcm_decode4(&s, std::uint8_t(source[i] & 15));
    }
    keep_decoder(ctx, s);
    *producedbytes = 4 * n;
    return ST_OK;
}

status_t LV_compand8(setup_context* ctx, const std::int16_t* source, std::int16_t bytecount,
                     std::uint8_t* destination, std::int16_t* produced)
{
    std::int16_t n = bytecount > 0 ? std::int16_t(bytecount / 2) : 0;
    const bool invert = ctx->INS_vendor == VENDOR_ATT;
    for (std::int16_t i = 0; i < n; ++i) destination[i] = vc::compand8(source[i], invert);
    *produced = n;
    return ST_OK;
}

status_t UL_pcm16to8(setup_context*, const std::int16_t* source, std::int16_t bytecount, std::uint8_t* destination)
{
    std::int16_t n = bytecount > 0 ? std::int16_t(bytecount / 2) : 0;
    for (std::int16_t i = 0; i < n; ++i) destination[i] = vc::pcm16to8(source[i]);
    return ST_OK;
}

status_t UL_wfratechunk(setup_context* ctx, std::int32_t inrate, std::int32_t outrate, std::int16_t* chunk)
{
    *chunk = 0;
    for (const rate_chunk& r : rate_chunks) {
        if (r.inrate == inrate && r.outrate == outrate) {
            *chunk = r.chunk;
            break;
        }
    }
    UL_logshort(ctx, "len=", *chunk);
    return *chunk ? ST_OK : ST_NOT_AVAILABLE;
}

status_t UL_wfdecimate(setup_context*, std::int32_t inrate, std::int32_t outrate, const std::uint8_t* source,
                       std::int16_t chunk, std::uint8_t* destination, std::int16_t* kept)
{
    std::int16_t k_out = 0;
    if (inrate > 0 && outrate > 0) {
        // The last sample of a chunk is never examined.
        for (std::int32_t k = 1; k < chunk; ++k) {
            if (keeps(inrate, outrate, k, k_out)) destination[k_out++] = source[k - 1];
        }
    }
    *kept = k_out;
    return ST_OK;
}

std::int16_t LV_decimate16(std::int32_t inrate, std::int32_t outrate, const std::int16_t* source, std::int16_t chunk,
                           std::int16_t* destination)
{
    std::int16_t k_out = 0;
    if (inrate > 0 && outrate > 0) {
        for (std::int32_t k = 1; k < chunk; ++k) {
            if (keeps(inrate, outrate, k, k_out)) destination[k_out++] = source[k - 1];
        }
    }
    return k_out;
}
