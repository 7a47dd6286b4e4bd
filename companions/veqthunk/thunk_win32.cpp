// A support library of the Rockwell-family compressors. The installer only
// copies these beside the compressor; each answers which part it is.
#include <windows.h>

#ifndef THUNK_PART
#define THUNK_PART 0
#endif

extern "C" {

// 1 = VEQSB16, 2 = VEQTHK16, 3 = VEQTHK32; the high word is the version.
__declspec(dllexport) DWORD WINAPI SB_supportversion() { return (1u << 16) | THUNK_PART; }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
}
