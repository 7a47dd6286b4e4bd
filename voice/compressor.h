// The binding of the modem makers' voice compressor libraries: staging,
// loading, the four entry points, and the removal after the conversion.
#pragma once
#include <cstdint>

#include "shell/context.h"
#include "voice/voice.h"

// The entry points of a vendor compressor library, exported undecorated.
#if defined(_WIN32) && defined(__i386__)
#define SB_CALL __stdcall
#else
#define SB_CALL
#endif
typedef std::uint16_t(SB_CALL* sb_initcompress_fn)(void* opaque, std::int32_t coding, std::int16_t startflag);
typedef std::uint16_t(SB_CALL* sb_compress_fn)(void* opaque, const void* samples, std::uint16_t bytecount,
                                               void* output, std::uint16_t* outcount);
typedef std::uint16_t(SB_CALL* sb_initcompressvendor_fn)(void* opaque, std::int16_t vendorindex,
                                                         std::int32_t coding, std::int16_t startflag);
typedef std::uint16_t(SB_CALL* sb_compressvendor_fn)(void* opaque, std::int16_t vendorindex, const void* samples,
                                                     std::uint16_t bytecount, void* output,
                                                     std::uint16_t* outcount);

// Size of the output area handed to the compress entry point.
enum { SB_OUTPUTAREA = 2048 };

// Data-set and program-set file extensions of the vendor (up to three characters each).
status_t INS_getvendorext(setup_context* ctx, char dataext[4], char progext[4]);
status_t LV_initcompress(setup_context* ctx, std::int16_t coding, std::int32_t* rate, std::int16_t* blocklength);
status_t LV_compress(setup_context* ctx, const std::int16_t* samples, std::int16_t bytecount, std::uint8_t* output,
                     std::uint16_t* outcount);
status_t INS_copythunkfiles(setup_context* ctx);
status_t INS_removethunkfiles(setup_context* ctx);
// Unloads the library when one is loaded.
void LV_releasecompressor(setup_context* ctx);

// Rate, block length and start flag of a vendor's compressor.
struct compressor_params {
    std::int32_t rate;
    std::int16_t blocklength;
    std::int16_t startflag;
};
compressor_params LV_compressorparams(const setup_context* ctx);

// Platform side: the system's library loader.
// The module, or null with the system's error code in *error.
ul_module LV_sysload(const char* path, std::int32_t* error);
void* LV_sysentry(ul_module library, const char* name);
void LV_sysfree(ul_module library);
