// The free room of a drive, from what the drive answers, and the destination's
// disk-space check.
#include "files/diskspace.h"

#include "files/fileutil.h"
#include "files/log.h"
#include "shell/text.h"

std::int64_t UL_freekilobytes(const disk_free& d)
{
    std::int64_t factor = d.freeclusters > 1024 ? d.freeclusters / 1024 : 1;
    return std::int64_t(d.bytespersector) * d.sectorspercluster * factor;
}

status_t UL_checkdiskspace(setup_context* ctx, const char* path, std::int32_t requiredbytes)
{
    char trimmed[TEXTSIZE] = {};
    status_t st = UL_trim(trimmed, path);
    if (st == ST_OK) {
        if (trimmed[0] == '\0' || trimmed[1] != ':') return ST_OK;
        char drive = trimmed[0];
        if (drive >= 'a' && drive <= 'z') drive = char(drive - 'a' + 'A');
        disk_free d = {};
        const char root[4] = {drive, ':', '\\', '\0'};
        if (drive < 'A' || drive > 'Z' || !UL_getdiskfree(root, &d)) {
            st = ST_GENERAL;
        } else {
            std::int64_t freekb = UL_freekilobytes(d);
            if (freekb >= std::int64_t(requiredbytes / 1024)) return ST_OK;
            UL_loglong(ctx, "availspace(MB)=", freekb > INT32_MAX ? INT32_MAX : std::int32_t(freekb));
            UL_loglong(ctx, "avail1=", std::int32_t(d.sectorspercluster));
            UL_loglong(ctx, "avail2=", std::int32_t(d.bytespersector));
            UL_loglong(ctx, "avail3=", std::int32_t(d.freeclusters));
            UL_loglong(ctx, "avail4=", std::int32_t(d.totalclusters));
            st = ST_NO_DISK_ROOM;
        }
    }
    UL_logerror(ctx, "UL_checkdiskspace", st);
    UL_logstring(ctx, "syserr filename=", trimmed);
    return st;
}

status_t INS_checkdiskspace(setup_context* ctx, std::uint16_t* reason)
{
    enum : std::int32_t { REQUIRED = 7340032 };  // 7168 KB, whatever DISKSPACE announces
    *reason = 0;
    char trimmed[TEXTSIZE] = {};
    status_t st = UL_trim(trimmed, ctx->pathname);
    char drive = trimmed[0];
    if (drive >= 'a' && drive <= 'z') drive = char(drive - 'a' + 'A');
    if (st != ST_OK || trimmed[0] == '\0' || trimmed[1] != ':') {
        *reason = 1;
        st = ST_DEST_NO_DRIVE;
    } else if (drive < 'A' || drive > 'Z') {
        *reason = 3;
        st = ST_DEST_BAD_DRIVE;
    } else if (UL_checkdiskspace(ctx, ctx->pathname, REQUIRED) != ST_OK) {
        *reason = 4;
        st = ST_DEST_NO_ROOM;
    }
    if (st != ST_OK) UL_logerror(ctx, "INS_checkdiskspace", st);
    return st;
}
