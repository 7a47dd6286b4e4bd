#include "files/expand.h"

#include <cstring>

#include "files/checkabort.h"
#include "files/fileutil.h"
#include "files/log.h"
#include "files/lzservice.h"
#include "files/szdd.h"
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

enum : std::int64_t { NOT_COMPRESSED = -1, HEADER_CUT = -2 };

// The expanded size that a compressed file's header announces. The LZ service
// takes a file cut short for a whole one (it expands what is there, or copies
// a cut header as a plain file), so the copy is measured against this.
std::int64_t announced_size(setup_context* ctx, const char* source)
{
    static const std::uint8_t magic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    ul_file file = 0;
    if (UL_openreadfile(ctx, source, UL_SHARED, &file) != ST_OK) return NOT_COMPRESSED;
    std::uint8_t head[SZDD_HEADER] = {};
    std::uint32_t got = UL_readraw(file, head, sizeof head);
    UL_closefile(ctx, file);
    if (got < sizeof magic || std::memcmp(head, magic, sizeof magic) != 0) return NOT_COMPRESSED;
    if (got < SZDD_HEADER) return HEADER_CUT;
    if (head[8] != 'A') return NOT_COMPRESSED;
    return std::int64_t(head[10]) | std::int64_t(head[11]) << 8 | std::int64_t(head[12]) << 16 |
           std::int64_t(head[13]) << 24;
}

// The LZ copy, with a source that ends before its announced size read as the
// read error it is.
std::int32_t copy_whole(setup_context* ctx, std::int32_t in, std::int32_t out, const char* source)
{
    const std::int64_t announced = announced_size(ctx, source);
    if (announced == HEADER_CUT) return -3;
    std::int32_t size = UL_lzcopy(in, out);
    if (size >= 0 && announced >= 0 && size < announced) {
        // "filesize=" is the label of a finished copy; this one is not.
        if (UL_logdetail(ctx)) {
            UL_loglong(ctx, "expanded=", size);
            UL_loglong(ctx, "announced=", std::int32_t(announced));
        }
        return -3;
    }
    return size;
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
    if (ctx->filechanging) ctx->filechanging(ctx, target);
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

    bool complete = false;
    status_t st = UL_checkabort(ctx);
    if (st == ST_OK) {
        std::int32_t size = copy_whole(ctx, in, out, source);
        if (size < 0) {
            UL_loglong(ctx, "lzcopy=", size);
            st = lz_status(size);
            // The notice names the file: the target that did not fit, else the damaged source.
            INS_recorderror(ctx, st, st == ST_WRITE_SHORT ? target : source);
        } else {
            complete = true;
            UL_loglong(ctx, "filesize=", size);
            INS_addfilesize(ctx, std::uint32_t(size));
            UL_loglong(ctx, "curretnfilesize=", ctx->INS_currentfilesize);
            st = UL_checkabort(ctx);
        }
    }
    UL_lzclose(in);
    UL_lzclose(out);
    if (!complete) {
        // A cut or empty file must not pass for an installed one.
        UL_deletefile(target);
        if (UL_logdetail(ctx)) UL_logstring(ctx, "removed unfinished ", target);
    }
    if (st == ST_OK) UL_setnormalattributes(target);
    if (complete && ctx->filewritten) ctx->filewritten(ctx, target);
    return st;
}
