// The installation sequence and the small steps only it uses.
#pragma once
#include "shell/context.h"

status_t INS_install(setup_context* ctx);
// 13000 when the user has asked to stop, else 0; keeps the windows alive.
status_t INS_checkabort(setup_context* ctx);
// 0 = Windows older than 3, 1 = the Windows 95 family, 2 = Windows NT.
status_t INS_getwinversion(setup_context* ctx, std::int16_t* code);
// The code for a version record (portable part of INS_getwinversion).
std::int16_t INS_wincode(std::uint32_t major, std::uint32_t platformid);
