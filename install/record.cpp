#include "install/record.h"

#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "files/recordpath.h"
#include "install/journal.h"
#include "install/state.h"
#include "shell/text.h"

namespace {

// The entries live in one block: a header, then "K" + path + NUL for each, in
// the order made. A record that is full keeps what it has: what it misses is
// left behind by the uninstaller, never removed by mistake.
enum : std::uint32_t { RECORD_BYTES = 64 * 1024, RECORDPATH = 260, LINEBUFFER = 300 };

struct record_block {
    std::uint32_t used;   // bytes of entries after the header
    std::uint32_t count;
    std::uint16_t full;   // an entry was refused for want of room
};

const char RECORD_NAME[] = "UNINSTAL.LST";

record_block* block_of(setup_context* ctx) { return static_cast<record_block*>(ctx->install->recordblock); }
char* entries_of(record_block* b) { return reinterpret_cast<char*>(b + 1); }

bool starts_nocase(const char* text, const char* prefix)
{
    for (; *prefix; ++text, ++prefix) {
        char x = *text, y = *prefix;
        if (x >= 'a' && x <= 'z') x = char(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = char(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

bool known(record_block* b, const char* rel)
{
    const char* p = entries_of(b);
    for (std::uint32_t i = 0; i < b->count; ++i) {
        if (UL_equalnocase(p + 1, rel)) return true;
        p += std::strlen(p) + 1;
    }
    return false;
}

void add_entry(setup_context* ctx, char kind, const char* rel)
{
    record_block* b = block_of(ctx);
    if (!b || !UL_isrecordpath(rel) || known(b, rel)) return;
    std::size_t n = std::strlen(rel) + 2;
    if (sizeof(record_block) + b->used + n > RECORD_BYTES) {
        if (!b->full && UL_logdetail(ctx)) UL_logstring(ctx, "record full at ", rel);
        b->full = 1;
        return;
    }
    char* at = entries_of(b) + b->used;
    at[0] = kind;
    std::memcpy(at + 1, rel, n - 1);
    b->used += std::uint32_t(n);
    ++b->count;
}

// Only what lies below the installation directory, and not the Windows or
// system directory when the installation is made around them (into C:\).
void record_path(setup_context* ctx, char kind, const char* path)
{
    if (!ctx->install->recordblock || !path) return;
    if ((ctx->windowsdir[0] && starts_nocase(path, ctx->windowsdir)) ||
        (ctx->systemdir[0] && starts_nocase(path, ctx->systemdir)))
        return;
    char rel[RECORDPATH];
    if (!INS_recordrelative(ctx->pathname, path, rel, sizeof rel)) return;
    if (!UL_isrecordpath(rel)) {
        if (UL_logdetail(ctx)) UL_logstring(ctx, "record skips ", path);
        return;
    }
    add_entry(ctx, kind, rel);
}

void file_written(setup_context* ctx, const char* path) { record_path(ctx, 'F', path); }

// Takes over the valid entries of an earlier installation's record; a missing
// record is the first installation, a bad line is traced and dropped.
void read_earlier(setup_context* ctx, const char* name)
{
    std::uint16_t exists = 0;
    UL_fileexists(name, &exists);
    if (!exists) return;
    line_reader reader;
    if (UL_readlineopen(ctx, &reader, name) != ST_OK) return;
    std::uint16_t end = UL_LINE_MORE;
    std::uint32_t kept = 0;
    // A line as long as the buffer was cut: it may name another path, so it goes.
    while (end != UL_LINE_LAST && !block_of(ctx)->full) {
        char line[LINEBUFFER], kind = 0, rel[RECORDPATH];
        std::uint16_t length = 0;
        if (UL_readline(ctx, &reader, line, sizeof line, &end, &length) != ST_OK) break;
        if (length == 0) continue;
        if (length < sizeof line - 1 && UL_parserecordline(line, &kind, rel, sizeof rel)) {
            add_entry(ctx, kind, rel);
            ++kept;
        } else if (UL_logdetail(ctx)) {
            UL_logstring(ctx, "record line dropped: ", line);
        }
    }
    UL_readlineclose(ctx, &reader);
    if (UL_logdetail(ctx)) UL_loglong(ctx, "record kept=", std::int32_t(kept));
}

}  // namespace

bool INS_recordrelative(const char* directory, const char* path, char* rel, std::size_t size)
{
    std::size_t n = std::strlen(directory);
    if (size == 0 || n == 0 || directory[n - 1] != '\\' || !starts_nocase(path, directory)) return false;
    const char* rest = path + n;
    std::size_t len = std::strlen(rest);
    while (len > 0 && rest[len - 1] == '\\') --len;
    if (len == 0 || len >= size) return false;
    std::memcpy(rel, rest, len);
    rel[len] = '\0';
    return true;
}

status_t INS_recordbegin(setup_context* ctx)
{
    INS_recordend(ctx);
    void* memory = nullptr;
    void* block = nullptr;
    RETURN_IF_FAILED(UL_allocmem(&memory, RECORD_BYTES, &block));
    record_block* b = static_cast<record_block*>(memory);
    b->used = 0;
    b->count = 0;
    b->full = 0;
    ctx->install->recordblock = block;
    char name[TEXTSIZE];
    UL_makepath(name, ctx->datadir, RECORD_NAME);
    read_earlier(ctx, name);
    ctx->filewritten = file_written;
    return ST_OK;
}

void INS_recorddir(setup_context* ctx, const char* path) { record_path(ctx, 'D', path); }

void INS_recordadopt(setup_context* ctx, char kind, const char* rel) { add_entry(ctx, kind, rel); }

bool INS_recordknows(setup_context* ctx, const char* rel)
{
    record_block* b = block_of(ctx);
    return b && known(b, rel);
}

void INS_recordfile(setup_context* ctx, const char* path) { record_path(ctx, 'F', path); }

status_t INS_recordwrite(setup_context* ctx)
{
    record_block* b = block_of(ctx);
    if (!b) return ST_OK;
    char name[TEXTSIZE];
    UL_makepath(name, ctx->datadir, RECORD_NAME);
    // The record is not an entry of itself; whatever lies under its name (a
    // planted link too) goes first, so the new record is a file of its own.
    auto hook = ctx->filewritten;
    ctx->filewritten = nullptr;
    INS_journalfile(ctx, name);
    UL_deletefile(name);
    ul_file file = 0;
    status_t st = UL_createfile(ctx, name, UL_EXCLUSIVE, &file);
    ctx->filewritten = hook;
    if (st != ST_OK) return st;

    const char* p = entries_of(b);
    std::int32_t written = 0;
    std::uint64_t bytes = 0;
    for (std::uint32_t i = 0; i < b->count && st == ST_OK; ++i, p += std::strlen(p) + 1) {
        // A file written and then removed again (a temporary, a converted
        // prompt's source) is no part of the installation.
        if (p[0] == 'F') {
            char full[TEXTSIZE + RECORDPATH];
            UL_copytext(full, ctx->pathname);
            UL_appendtext(full, p + 1);
            // The search reads the size without opening the file (a record
            // path holds no wildcard).
            find_record found;
            if (UL_findfirst(full, 0, &found) != 0) continue;
            bytes += found.filesize;
            UL_findclose(&found);
        }
        char line[RECORDPATH + 2] = {p[0], ','};
        UL_copytext(line + 2, sizeof line - 2, p + 1);
        st = UL_writeline(ctx, file, line);
        ++written;
    }
    status_t closed = UL_closefile(ctx, file);
    if (st == ST_OK) st = closed;
    ctx->recordbytes = bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : std::uint32_t(bytes);
    if (UL_logdetail(ctx)) {
        UL_loglong(ctx, "record entries=", written);
        UL_loglong(ctx, "record bytes=", std::int32_t(ctx->recordbytes));
    }
    return st;
}

void INS_recordend(setup_context* ctx)
{
    if (ctx->install->recordblock) UL_freemem(ctx->install->recordblock);
    ctx->install->recordblock = nullptr;
    ctx->filewritten = nullptr;
}
