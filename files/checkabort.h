// The cancel check that long file and voice work calls between units of work.
// The installation driver hands it down (INS_checkabort); without one nothing stops.
#pragma once
#include "shell/context.h"

inline status_t UL_checkabort(setup_context* ctx)
{
    return ctx && ctx->checkabort ? ctx->checkabort(ctx) : ST_OK;
}
