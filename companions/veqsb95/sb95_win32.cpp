// A voice compressor library: the coding of one family of modems (SB_FAMILY)
// behind the four entry points the installer binds by name. One prompt at a
// time; the coder state runs on from one block to the next until the next start.
#include <windows.h>

#include <type_traits>

#include "voice/compressor.h"
#include "voice/sbcoder.h"

#ifndef SB_FAMILY
#define SB_FAMILY 0  // sb_family: what this build codes
#endif
#ifndef SB_INVERT8
#define SB_INVERT8 0  // 1: the variant for modems that play 8-bit codes with inverted magnitude bits
#endif

namespace {
sb_coder coder;
// The only vendor index the vendor-indexed entry points know.
constexpr std::int16_t VENDORINDEX = 1;
}  // namespace

extern "C" {

__declspec(dllexport) std::uint16_t SB_CALL SB_initcompress(void*, std::int32_t coding, std::int16_t startflag)
{
    return sb_start(&coder, coding, startflag, SB_INVERT8 != 0, sb_family(SB_FAMILY));
}

__declspec(dllexport) std::uint16_t SB_CALL SB_compress(void*, const void* samples, std::uint16_t bytecount,
                                                        void* output, std::uint16_t* outcount)
{
    if (!samples || !output || !outcount) return SB_BADREQUEST;
    return sb_compress(&coder, static_cast<const std::uint8_t*>(samples), bytecount,
                       static_cast<std::uint8_t*>(output), outcount);
}

__declspec(dllexport) std::uint16_t SB_CALL SB_initcompressvendor(void* opaque, std::int16_t vendorindex,
                                                                  std::int32_t coding, std::int16_t startflag)
{
    if (vendorindex != VENDORINDEX) return SB_BADREQUEST;
    return SB_initcompress(opaque, coding, startflag);
}

__declspec(dllexport) std::uint16_t SB_CALL SB_compressvendor(void* opaque, std::int16_t vendorindex,
                                                              const void* samples, std::uint16_t bytecount,
                                                              void* output, std::uint16_t* outcount)
{
    if (vendorindex != VENDORINDEX) return SB_BADREQUEST;
    return SB_compress(opaque, samples, bytecount, output, outcount);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

}  // extern "C"

// The installer calls through these types; the exports must match them exactly.
static_assert(std::is_same<decltype(&SB_initcompress), sb_initcompress_fn>::value, "SB_initcompress");
static_assert(std::is_same<decltype(&SB_compress), sb_compress_fn>::value, "SB_compress");
static_assert(std::is_same<decltype(&SB_initcompressvendor), sb_initcompressvendor_fn>::value, "SB_initcompressvendor");
static_assert(std::is_same<decltype(&SB_compressvendor), sb_compressvendor_fn>::value, "SB_compressvendor");
