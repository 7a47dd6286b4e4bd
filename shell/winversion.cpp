// The portable part of the Windows version test.
#include "shell/platform.h"

std::int16_t INS_wincode(std::uint32_t major, std::uint32_t platformid)
{
    if (major < 3) return 0;
    return platformid == 2 ? 2 : 1;
}
