#include "install/install.h"

#include <cstring>

#include "files/log.h"
#include "install/progress.h"
#include "shell/platform.h"
#include "shell/text.h"

status_t INS_checkabort(setup_context* ctx)
{
    std::uint16_t stop = 0;
    INS_keyabortpoll(ctx, &stop, 1);
    return stop ? ST_CANCELLED : ST_OK;
}

std::int16_t INS_wincode(std::uint32_t major, std::uint32_t platformid)
{
    if (major < 3) return 0;
    return platformid == 2 ? 2 : 1;
}

status_t INS_install(setup_context* ctx)
{
    UL_logline(ctx, "Enter install");
    char path[TEXTSIZE];
    UL_getmodulepath(ctx->hinstance, path, sizeof path);
    if (char* dot = std::strrchr(path, '.')) *dot = '\0';
    UL_appendtext(path, ".HLP");
    UL_copytext(ctx->helpfile, path);
    ctx->helpcontext = 101;
    ctx->INS_back = 2;
    return ST_OK;
}
