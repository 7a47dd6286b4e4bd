// The cancel check that long steps call between units of work.
#include "install/install.h"
#include "install/progress.h"

status_t INS_checkabort(setup_context* ctx)
{
    std::uint16_t stop = 0;
    INS_keyabortpoll(ctx, &stop, 1);
    return stop ? ST_CANCELLED : ST_OK;
}
