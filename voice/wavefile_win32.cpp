// File positioning for the WAV library (the rest goes through the file utilities).
#include <windows.h>

#include "voice/wavefile.h"

bool UL_wfseek(ul_file file, std::uint32_t offset)
{
    LONG high = 0;
    DWORD low = SetFilePointer(reinterpret_cast<HANDLE>(file), LONG(offset), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}
