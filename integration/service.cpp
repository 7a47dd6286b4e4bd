// Removal of the fax server service that an older installation left on
// Windows NT. Best effort: the caller only traces the result.
#include <cstring>

#include "files/log.h"
#include "integration/integration.h"
#include "integration/servicecontrol.h"
#include "shell/platform.h"
#include "shell/text.h"

namespace {
const char FAX_SERVICE[] = "Halvern Fax Server";
// A stopped service is not polled; deletion marks a slow one for removal.
constexpr std::uint32_t STOP_WAIT_MS = 500;
}  // namespace

status_t INS_removeservice(setup_context* ctx)
{
    UL_copytext(ctx->servicename, FAX_SERVICE);
    ul_handle manager = nullptr;
    ul_handle service = nullptr;

    std::uint32_t error = UL_scmopen(&manager);
    if (error == 0) {
        UL_logstring(ctx, "Openning service:-", ctx->servicename);
        error = UL_scmopenservice(manager, ctx->servicename, &service);
        if (error == 0) UL_logline(ctx, "OpenService OK");
    }
    std::uint32_t state = 0;
    if (error == 0) error = UL_scmquerystate(service, &state);
    if (error == 0 && state != UL_SERVICE_STOPPED) {
        error = UL_scmstop(service);
        if (error == 0) UL_sleep(STOP_WAIT_MS);
    }
    if (error == 0) {
        UL_logline(ctx, "before DeleteService OK");
        error = UL_scmdelete(service);
    }

    status_t st = status_t(error & 0xFFFF);
    if (st != ST_OK) UL_logerror(ctx, "INS_removeservice", st);
    if (service) UL_scmclose(service);
    if (manager) UL_scmclose(manager);
    return st;
}
