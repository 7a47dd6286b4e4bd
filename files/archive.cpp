#include "files/archive.h"

#include <cstdio>
#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "files/pckformat.h"
#include "files/plainname.h"
#include "shell/text.h"

namespace {

enum { BLOCK = 4096 };

std::int32_t le32(const std::uint8_t* p)
{
    return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                        std::uint32_t(p[3]) << 24);
}

void add_wrapping(std::int32_t* counter, std::int32_t length)
{
    *counter = std::int32_t(std::uint32_t(*counter) + std::uint32_t(length));
}

struct unpack_state {
    ul_file archive = 0;
    ul_file output = 0;
    int files = 0;
    std::int32_t total = 0;
};

// Copies one entry's data in blocks. An archive that ends inside the data is
// damaged: the entry fails under its name, as a file that cannot be made.
status_t copy_data(setup_context* ctx, unpack_state* s, const char* name, std::int32_t length,
                   std::uint8_t* buffer)
{
    for (std::int32_t remaining = length; remaining > 0; remaining -= BLOCK) {
        std::uint32_t ask = remaining < BLOCK ? std::uint32_t(remaining) : std::uint32_t(BLOCK);
        std::uint32_t got = UL_readraw(s->archive, buffer, ask);
        if (got > 0) RETURN_IF_FAILED(UL_writedata(ctx, s->output, buffer, std::uint16_t(got)));
        if (got < ask) {
            if (UL_logdetail(ctx)) UL_logstring(ctx, " entry cut short ", name);
            INS_recorderror(ctx, ST_CREATE_FAILED, name);
            return ST_CREATE_FAILED;
        }
    }
    return ST_OK;
}

status_t unpack_entries(setup_context* ctx, unpack_state* s, const char* outputdir, std::uint8_t* buffer)
{
    for (;;) {
        std::uint32_t got = UL_readraw(s->archive, buffer, PCK_HEADER);
        if (got < PCK_HEADER) return ST_OK;  // end of the file, or a header cut short
        std::int32_t length = le32(buffer);
        char name[PCK_NAME];
        UL_copyleft(name, sizeof name, reinterpret_cast<const char*>(buffer + 4), PCK_NAME - 1);
        if (length <= 0 || name[0] == '\0') return ST_OK;
        if (!UL_isplainname(name)) {
            // A file outside the output directory, or a device: the archive is
            // damaged, and what follows the entry cannot be trusted either.
            if (UL_logdetail(ctx)) UL_logstring(ctx, " refused name ", name);
            INS_recorderror(ctx, ST_CREATE_FAILED, name);
            return ST_CREATE_FAILED;
        }
        char path[TEXTSIZE];
        UL_copytext(path, outputdir);
        UL_addslash(path);
        UL_appendtext(path, name);
        UL_logstring(ctx, " unpacking ", path);
        UL_loglong(ctx, " length=", length);
        RETURN_IF_FAILED(UL_createfile(ctx, path, UL_EXCLUSIVE, &s->output));
        RETURN_IF_FAILED(copy_data(ctx, s, name, length, buffer));
        UL_closefile(ctx, s->output);
        s->output = 0;
        add_wrapping(&ctx->INS_currentfilesize, length);
        add_wrapping(&s->total, length);
        ++s->files;
    }
}

}  // namespace

status_t INS_unpackfile(setup_context* ctx, const char* archivepath, const char* outputdir)
{
    UL_logstring(ctx, "INS_unpackfile infile= ", archivepath);
    std::uint16_t exists = 0;
    UL_fileexists(archivepath, &exists);
    if (!exists) return ST_OK;
    UL_logstring(ctx, "  out dir=", outputdir);

    // One buffer serves the header, the data blocks and the closing message.
    std::uint8_t buffer[BLOCK];
    unpack_state s;
    status_t st = UL_openreadfile(ctx, archivepath, UL_SHARED, &s.archive);
    if (st == ST_OK) st = unpack_entries(ctx, &s, outputdir, buffer);
    char* message = reinterpret_cast<char*>(buffer);
    if (st == ST_OK) {
        std::snprintf(message, BLOCK, "Unpack completed - created %d files for a total of %ld bytes", s.files,
                      long(s.total));
    } else {
        UL_logerror(ctx, "INS_unpackfile", st);
        std::snprintf(message, BLOCK, "Unpack failed - after creating %d files for a total of %ld bytes", s.files,
                      long(s.total));
    }
    if (s.output) UL_closefile(ctx, s.output);
    if (s.archive) UL_closefile(ctx, s.archive);
    UL_logline(ctx, message);
    return st;
}
