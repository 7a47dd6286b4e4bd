// The cancel check that long steps call between units of work, and the
// portable part of the Windows version test.
#include "install/install.h"
#include "install/progress.h"

status_t INS_checkabort(setup_context* ctx)
{
    std::uint16_t stop = 0;
    INS_keyabortpoll(ctx, &stop, 1);
    return stop ? ST_CANCELLED : ST_OK;
}

void INS_addfilesize(setup_context* ctx, std::uint32_t bytes)
{
    ctx->INS_currentfilesize = std::int32_t(std::uint32_t(ctx->INS_currentfilesize) + bytes);
}

std::int16_t INS_wincode(std::uint32_t major, std::uint32_t platformid)
{
    if (major < 3) return 0;
    return platformid == 2 ? 2 : 1;
}
