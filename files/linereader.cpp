// Buffered reader of the medium's list files.
#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"

namespace {

enum { READER_CAPACITY = 4096, CH_TAB = 9, CH_LF = 10, CH_FF = 12, CH_CR = 13, CH_SUB = 26, CH_EOF = -1 };

int UL_readchar(line_reader* reader)
{
    if (reader->position >= reader->fill) {
        std::uint32_t got = UL_readraw(reader->file, reader->buffer, std::uint32_t(reader->capacity));
        if (got < 1) return CH_EOF;
        reader->fill = std::int16_t(got);
        reader->position = 0;
    }
    return reader->buffer[reader->position++];
}

status_t UL_unreadchar(line_reader* reader)
{
    if (reader->position == 0) return ST_GENERAL;
    --reader->position;
    return ST_OK;
}

}  // namespace

status_t UL_readlineopen(setup_context* ctx, line_reader* reader, const char* name)
{
    std::memset(reader, 0, sizeof *reader);
    void* buffer = nullptr;
    RETURN_IF_FAILED(UL_allocmem(&buffer, READER_CAPACITY, &reader->block));
    status_t st = UL_openreadfile(ctx, name, UL_SHARED, &reader->file);
    if (st != ST_OK) {
        UL_freemem(reader->block);
        std::memset(reader, 0, sizeof *reader);
        return st;
    }
    reader->buffer = static_cast<unsigned char*>(buffer);
    reader->position = 0;
    reader->fill = 0;
    reader->capacity = READER_CAPACITY;
    return ST_OK;
}

status_t UL_readline(setup_context* ctx, line_reader* reader, char* line, std::uint16_t size,
                     std::uint16_t* endflag, std::uint16_t* length)
{
    *endflag = UL_LINE_MORE;
    std::uint16_t count = 0;
    const std::uint16_t room = size > 0 ? std::uint16_t(size - 1) : 0;
    auto store = [&](char c) {
        if (count < room) line[count++] = c;
    };
    bool lookahead = false;
    for (;;) {
        int c = UL_readchar(reader);
        if (c == CH_EOF || c == CH_SUB) {
            *endflag = UL_LINE_LAST;
            break;
        }
        if (c == CH_TAB) {
            for (int n = 8 - count % 8; n > 0; --n) store(' ');
        } else if (c == CH_CR) {
            continue;
        } else if (c == CH_LF) {
            lookahead = true;
            break;
        } else if (c == CH_FF) {
            *endflag = UL_LINE_PAGE;
            lookahead = true;
            break;
        } else {
            store(char(c));
        }
    }
    if (lookahead) {
        int next = UL_readchar(reader);
        if (next == CH_EOF || next == CH_SUB) {
            *endflag = UL_LINE_LAST;
        } else if (next == CH_FF) {
            *endflag = UL_LINE_PAGE;
        } else if (status_t st = UL_unreadchar(reader); st != ST_OK) {
            UL_logerror(ctx, "UL_readline", st);
            return st;
        }
    }
    if (size > 0) line[count] = '\0';
    *length = count;
    return ST_OK;
}

status_t UL_readlineclose(setup_context* ctx, line_reader* reader)
{
    if (reader->file) UL_closefile(ctx, reader->file);
    if (reader->block) UL_freemem(reader->block);
    std::memset(reader, 0, sizeof *reader);
    return ST_OK;
}
