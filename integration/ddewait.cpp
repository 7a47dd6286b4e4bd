#include "integration/ddewait.h"

#include "files/log.h"
#include "integration/progman.h"
#include "shell/platform.h"

dde_wait DDE_lastexecute;

void DDE_executestarted(dde_wait* wait)
{
    wait->nackflag = DDE_WAITING;
    wait->pending = DDE_PENDING_EXECUTE;
}

bool DDE_executeanswered(dde_wait* wait, std::uint16_t status)
{
    bool ours = wait->pending == DDE_PENDING_EXECUTE;
    if (status & 0x8000) {
        wait->nackflag = DDE_ACKED;
    } else if (wait->pending >= 101 && wait->pending <= DDE_PENDING_EXECUTE) {
        wait->nackflag = DDE_REFUSED;
    }
    wait->pending = DDE_PENDING_NONE;
    return ours;
}

bool DDE_conversationended(dde_wait* wait)
{
    bool cut = wait->nackflag == DDE_WAITING;
    if (cut) wait->nackflag = DDE_REFUSED;
    wait->pending = DDE_PENDING_NONE;
    return cut;
}

void DDE_timerfired(dde_wait* wait) { wait->nackflag = DDE_TIMERFIRED; }

bool DDE_waitover(const dde_wait* wait, std::uint32_t elapsed, status_t* status)
{
    *status = ST_OK;
    if (wait->nackflag != DDE_WAITING) return true;
    if (elapsed <= DDE_ACKTIMEOUT) return false;
    *status = ST_DDE_NO_ACK;
    return true;
}

status_t DDE_waitack(setup_context* ctx)
{
    std::uint32_t start = UL_gettickcount();
    status_t st = ST_OK;
    while (!DDE_waitover(&DDE_lastexecute, UL_gettickcount() - start, &st)) {
        UL_pumpmessage(ctx);
        UL_sleep(1);  // Program Manager runs in another process: give it the processor
    }
    if (st != ST_OK) {
        UL_logshort(ctx, "timeout nackflag = ", std::int16_t(DDE_lastexecute.nackflag));
        DDE_stoptimer();
        return st;
    }
    UL_logshort(ctx, "nackflag = ", std::int16_t(DDE_lastexecute.nackflag));
    return ST_OK;
}
