// The Windows version test: the system's version record, traced, and its code.
#include <windows.h>

#include "files/log.h"
#include "shell/platform.h"

status_t INS_getwinversion(setup_context* ctx, std::int16_t* code)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    UL_loglong(ctx, "majorversion=", std::int32_t(info.dwMajorVersion));
    UL_loglong(ctx, "minorversion=", std::int32_t(info.dwMinorVersion));
    UL_loglong(ctx, "PlatformID=", std::int32_t(info.dwPlatformId));
    *code = INS_wincode(info.dwMajorVersion, info.dwPlatformId);
    return ST_OK;
}
