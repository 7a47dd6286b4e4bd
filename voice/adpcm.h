// ADPCM decoding, companding, 16-to-8-bit conversion and decimation, and the
// three file converters built on them.
#pragma once
#include <cstdint>

#include "shell/context.h"

// The voice file header: family tag, 0x02, zeros, the coding at offset 10.
enum { VOICEHEADERSIZE = 16, VOICEHEADER_CODING = 10 };
void LV_makeheader(std::uint8_t header[VOICEHEADERSIZE], const char* tag, std::uint8_t coding);

// Sample level. Buffers are the caller's; 16-bit samples in host order.
status_t LV_adpcminit(setup_context* ctx);
std::int16_t LV_adpcmsample(setup_context* ctx, std::uint8_t code);
status_t LV_adpcmdecode(setup_context* ctx, const std::uint8_t* source, std::int16_t bytecount,
                        std::int16_t* destination, std::int32_t* producedbytes);
status_t LV_compand8(setup_context* ctx, const std::int16_t* source, std::int16_t bytecount,
                     std::uint8_t* destination, std::int16_t* produced);
status_t UL_pcm16to8(setup_context* ctx, const std::int16_t* source, std::int16_t bytecount,
                     std::uint8_t* destination);
status_t UL_wfratechunk(setup_context* ctx, std::int32_t inrate, std::int32_t outrate, std::int16_t* chunk);
status_t UL_wfdecimate(setup_context* ctx, std::int32_t inrate, std::int32_t outrate, const std::uint8_t* source,
                       std::int16_t chunk, std::uint8_t* destination, std::int16_t* kept);

// The same positions for 16-bit samples (for 16-bit output of UL_wfresample).
std::int16_t LV_decimate16(std::int32_t inrate, std::int32_t outrate, const std::int16_t* source, std::int16_t chunk,
                           std::int16_t* destination);

// File converters.
status_t LV_decodewavefile(setup_context* ctx, const char* source, const char* target, std::int16_t bits);
status_t LV_convertvoxfile(setup_context* ctx, const char* name);
status_t UL_wfresample(setup_context* ctx, const char* source, const char* target, std::int32_t rate,
                       std::int16_t bits);
