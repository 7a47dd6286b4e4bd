// The diskettes of a set: the check file of each disk, the prompt that asks
// for the next one, and the loop that copies disk after disk.
#include <cstdio>

#include "files/fileutil.h"
#include "files/log.h"
#include "install/dialogs.h"
#include "install/install.h"
#include "resources/ids.h"
#include "shell/messages.h"
#include "shell/text.h"

void INS_diskcheckfile(const setup_context* ctx, std::int16_t disk, char out[TEXTSIZE])
{
    char name[16];
    std::snprintf(name, sizeof name, "%d.txt", int(disk));
    UL_makepath(out, ctx->sourcedir, name);
}

status_t INS_diskloop(setup_context* ctx, ins_copydisk copy, ins_askdisk ask)
{
    std::int16_t disk = 1;
    for (;;) {
        RETURN_IF_FAILED(copy(ctx));
        if (disk >= 9) return ST_OK;  // nine disks at most; the ninth needs no marker
        char marker[TEXTSIZE];
        UL_makepath(marker, ctx->sourcedir, "lastdisk.txt");
        std::uint16_t last = 0;
        UL_fileexists(marker, &last);
        if (last) return ST_OK;
        UL_logline(ctx, "Before INS_change diskette");
        std::uint16_t cancelled = 1;
        RETURN_IF_FAILED(ask(ctx, std::int16_t(disk + 1), &cancelled));
        if (cancelled) return ST_CANCELLED;
        ++disk;
    }
}

bool INS_diskprompt(setup_context* ctx, std::int16_t disk, char* out, std::size_t size)
{
    out[0] = '\0';
    char before[MESSAGESIZE], after[MESSAGESIZE];
    if (INS_loadmessage(ctx, before, "", IDS_INSERT_DISK) != ST_OK) return false;
    if (INS_loadmessage(ctx, after, "", IDS_INTO_DRIVE) != ST_OK) return false;
    char number[16];
    std::snprintf(number, sizeof number, "%d", int(disk));
    char drive[2] = {ctx->sourcedir[0], '\0'};
    UL_copytext(out, size, before);
    UL_appendtext(out, size, number);
    UL_appendtext(out, size, after);
    UL_appendtext(out, size, drive);
    return true;
}
