#include "files/expand.h"

#include "files/fileutil.h"
#include "files/log.h"
#include "files/lzservice.h"
#include "install/install.h"
#include "shell/messages.h"
#include "shell/text.h"

namespace {

status_t lz_status(std::int32_t result)
{
    switch (result) {
    case -3: return ST_EXPAND_READ;
    case -4: return ST_WRITE_SHORT;
    default: return ST_GENERAL;
    }
}

}  // namespace

status_t INS_expandfile(setup_context* ctx, const char* target, const char* source)
{
    UL_logstring(ctx, "INS_expandfile from=", source);
    UL_logstring(ctx, "  to=", target);

    std::int32_t in = UL_lzopenread(source);
    if (in < 0) {
        UL_loglong(ctx, "fid=", in);
        UL_logstring(ctx, "missing file", source);
        INS_recorderror(ctx, ST_SOURCE_MISSING, source);
        return ST_SOURCE_MISSING;
    }
    std::int32_t out = UL_lzcreate(target);
    if (out < 0) {
        UL_logstring(ctx, "cannot create tofile=", target);
        INS_messagebox("Cannot create", target);
        UL_lzclose(in);
        INS_recorderror(ctx, ST_TARGET_NOT_CREATED, target);
        return ST_TARGET_NOT_CREATED;
    }
    UL_logstring(ctx, "expanding:- ", source);
    UL_logstring(ctx, "  to:- ", target);
    UL_copytext(ctx->expandsource, source);
    UL_copytext(ctx->expandtarget, target);

    status_t st = INS_checkabort(ctx);
    if (st == ST_OK) {
        std::int32_t size = UL_lzcopy(in, out);
        if (size < 0) {
            UL_loglong(ctx, "lzcopy=", size);
            st = lz_status(size);
        } else {
            UL_loglong(ctx, "filesize=", size);
            ctx->INS_currentfilesize += size;
            UL_loglong(ctx, "curretnfilesize=", ctx->INS_currentfilesize);
            st = INS_checkabort(ctx);
        }
    }
    UL_lzclose(in);
    UL_lzclose(out);
    if (st == ST_OK) UL_setnormalattributes(target);
    return st;
}
