#include <windows.h>

#include "install/progress.h"
#include "shell/platform.h"

status_t INS_keyabortpoll(setup_context* ctx, std::uint16_t* stop, std::uint16_t)
{
    UL_pumpmessage(ctx);
    *stop = ctx->stoprequested ? 1 : 0;
    return ST_OK;
}
