#include "integration/ddewait.h"

#include "files/log.h"
#include "integration/progman.h"
#include "shell/platform.h"

void DDE_executestarted(setup_context* ctx)
{
    ctx->ddenackflag = DDE_WAITING;
    ctx->ddepending = DDE_PENDING_EXECUTE;
}

bool DDE_executeanswered(setup_context* ctx, std::uint16_t status)
{
    bool ours = ctx->ddepending == DDE_PENDING_EXECUTE;
    if (status & 0x8000) {
        ctx->ddenackflag = DDE_ACKED;
    } else if (ctx->ddepending >= 101 && ctx->ddepending <= DDE_PENDING_EXECUTE) {
        ctx->ddenackflag = DDE_REFUSED;
    }
    ctx->ddepending = DDE_PENDING_NONE;
    return ours;
}

bool DDE_conversationended(setup_context* ctx)
{
    bool cut = ctx->ddenackflag == DDE_WAITING;
    if (cut) ctx->ddenackflag = DDE_REFUSED;
    ctx->ddepending = DDE_PENDING_NONE;
    return cut;
}

void DDE_timerfired(setup_context* ctx) { ctx->ddenackflag = DDE_TIMERFIRED; }

bool DDE_waitover(const setup_context* ctx, std::uint32_t elapsed, status_t* status)
{
    *status = ST_OK;
    if (ctx->ddenackflag != DDE_WAITING) return true;
    if (elapsed <= DDE_ACKTIMEOUT) return false;
    *status = ST_DDE_NO_ACK;
    return true;
}

status_t DDE_waitack(setup_context* ctx)
{
    std::uint32_t start = UL_gettickcount();
    status_t st = ST_OK;
    while (!DDE_waitover(ctx, UL_gettickcount() - start, &st)) {
        UL_pumpmessage(ctx);
        UL_sleep(1);  // Program Manager runs in another process: give it the processor
    }
    if (st != ST_OK) {
        UL_logshort(ctx, "timeout nackflag = ", ctx->ddenackflag);
        DDE_stoptimer(ctx);
        return st;
    }
    UL_logshort(ctx, "nackflag = ", ctx->ddenackflag);
    return ST_OK;
}
