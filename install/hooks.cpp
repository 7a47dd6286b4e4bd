// What the lower layers report up to, handed down once the context exists:
// they call through these and never include the driver.
#include "install/completion.h"
#include "install/install.h"
#include "install/record.h"
#include "install/unattended.h"

void INS_sethooks(setup_context* ctx)
{
    ctx->loglistener = INS_unattendedlogline;
    ctx->checkabort = INS_checkabort;
    ctx->filecopied = INS_notecopied;
    ctx->recordwrite = INS_recordwrite;
    ctx->answerbox = INS_unattendedbox;
    ctx->answermessage = INS_unattendedmessage;
}
