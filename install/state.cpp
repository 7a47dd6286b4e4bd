// The driver attaches to a new context: the hooks the lower layers report up
// through (they never include the driver), and the driver's own record.
#include "install/state.h"

#include <new>

#include "install/completion.h"
#include "install/install.h"
#include "install/record.h"
#include "install/unattended.h"

namespace {

void release(setup_context* ctx)
{
    delete ctx->install;
    ctx->install = nullptr;
}

}  // namespace

status_t INS_attachdriver(setup_context* ctx)
{
    // The record first: the hooks read it.
    if (!ctx->install) {
        ctx->install = new (std::nothrow) install_state();
        if (!ctx->install) return ST_GENERAL;
        ctx->releasedriver = release;
    }
    ctx->loglistener = INS_unattendedlogline;
    ctx->checkabort = INS_checkabort;
    ctx->filecopied = INS_notecopied;
    ctx->recordwrite = INS_recordwrite;
    ctx->answerbox = INS_unattendedbox;
    ctx->answermessage = INS_unattendedmessage;
    return ST_OK;
}
