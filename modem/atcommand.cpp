// The AT command engine. Commands go out paced (40 ms before, 2 ms after each
// byte) for modems that cannot take characters at full speed; answers are
// found by searching the whole buffer received since the send, so an answer
// split over several reads is found once its last byte is in. Each poll only
// searches where an answer ending in the bytes it brought can start.
#include "modem/atcommand.h"

#include <cstring>

#include "files/log.h"
#include "modem/modem.h"
#include "modem/serialport.h"
#include "shell/platform.h"
#include "shell/text.h"

namespace {

enum : std::uint32_t { PAUSEBEFORE = 40, PAUSEPERBYTE = 2, POLL = 1 };

const cm_answer okorerror[] = {"OK\r\n", "ERROR\r\n"};

static_assert(sizeof(setup_context::sendbuffer) == CM_COMMANDSIZE, "a command fits the context's send buffer");

void tracepoll(setup_context* ctx)
{
    char text[80];
    CM_buffertext(ctx, text, 0);
    UL_logshort(ctx, "CM_where = ", ctx->CM_where);
    UL_logstring(ctx, "buffer = ", text);
}

std::int16_t received(const setup_context* ctx) { return ctx->CM_buffer ? ctx->CM_where : std::int16_t(0); }

// Whether `pattern` is in what has been received, given that it was not in the
// first `searched` bytes (-1: nothing searched yet). Only an occurrence that ends
// in the new bytes can be there, so the search starts just before them.
bool arrived(setup_context* ctx, const char* pattern, std::int16_t searched)
{
    std::int16_t length = std::int16_t(std::strlen(pattern));
    if (length == 0) return false;
    std::int16_t from = searched >= length ? std::int16_t(searched - length + 1) : std::int16_t(0);
    std::int16_t count = std::int16_t(received(ctx) - from);
    if (count < length) return false;
    std::int16_t at = -1;
    CM_find(ctx, ctx->CM_buffer + from, pattern, count, &at);
    return at >= 0;
}

}  // namespace

void CM_buffertext(const setup_context* ctx, char out[80], std::int16_t offset)
{
    out[0] = '\0';
    if (!ctx->CM_buffer || offset < 0 || offset >= CM_BUFFERSIZE) return;
    std::size_t room = std::size_t(CM_BUFFERSIZE - offset);
    UL_copyleft(out, 80, reinterpret_cast<const char*>(ctx->CM_buffer) + offset, room < 79 ? room : 79);
}

status_t CM_send(setup_context* ctx, const char* command)
{
    // At most 78 characters leave room for the CR and the terminating NUL.
    std::size_t length = 0;
    while (length < CM_COMMANDSIZE - 2 && command[length] != '\0') ++length;
    // The context keeps the bytes: a write still pending in the driver must
    // never point at a dead stack.
    unsigned char* sendbuffer = ctx->sendbuffer;
    std::memset(sendbuffer, 0, sizeof ctx->sendbuffer);
    std::memcpy(sendbuffer, command, length);
    sendbuffer[length++] = '\r';

    RETURN_IF_FAILED(CM_flush(ctx));
    CM_sleep(ctx, PAUSEBEFORE);
    for (std::size_t i = 0; i < length; ++i) {
        // A port that did not take one byte in its write time-out will not take
        // the next: going on would cost that time-out for every byte.
        status_t st = CM_write(ctx, &sendbuffer[i], 1);
        if (st != ST_OK) {
            if (ctx->debuglevel > 1) UL_logstring(ctx, "write failed = ", command);
            return st;
        }
        CM_sleep(ctx, PAUSEPERBYTE);
    }
    return ST_OK;
}

status_t CM_find(setup_context*, const unsigned char* buffer, const char* pattern, std::int16_t count,
                 std::int16_t* index)
{
    *index = -1;
    std::size_t length = std::strlen(pattern);
    if (!buffer || length == 0 || count < 0 || std::size_t(count) < length) return ST_OK;
    std::size_t last = std::size_t(count) - length;
    for (std::size_t at = 0; at <= last; ++at) {
        if (buffer[at] != static_cast<unsigned char>(pattern[0])) continue;
        if (std::memcmp(buffer + at, pattern, length) == 0) {
            *index = std::int16_t(at);
            return ST_OK;
        }
    }
    return ST_OK;
}

status_t CM_waitfor(setup_context* ctx, const char* expected, std::int16_t seconds, std::uint16_t* found)
{
    if (ctx->debuglevel > 1) UL_logstring(ctx, "expect = ", expected);
    *found = 0;
    std::uint32_t start = UL_gettickcount();
    std::uint32_t limit = seconds > 0 ? std::uint32_t(seconds) * 1000u : 0u;
    std::int16_t searched = -1;
    do {
        RETURN_IF_FAILED(CM_read(ctx));
        if (ctx->debuglevel > 1 && ctx->CM_where != 0) tracepoll(ctx);
        if (received(ctx) != searched) {
            if (arrived(ctx, expected, searched)) {
                *found = 1;
                return ST_OK;
            }
            searched = received(ctx);
        }
        CM_sleep(ctx, POLL);
    } while (UL_gettickcount() - start <= limit);
    return ST_OK;
}

status_t CM_waitforany(setup_context* ctx, const cm_answer* table, std::int16_t count, std::int16_t seconds,
                       std::int16_t* index)
{
    *index = -1;
    std::uint32_t start = UL_gettickcount();
    std::uint32_t limit = seconds > 0 ? std::uint32_t(seconds) * 1000u : 0u;
    std::int16_t searched = -1;
    for (;;) {
        if (UL_gettickcount() - start > limit) return ST_OK;
        RETURN_IF_FAILED(CM_read(ctx));
        if (ctx->debuglevel > 1) tracepoll(ctx);
        if (received(ctx) != searched) {
            // Table order decides, not arrival order.
            for (std::int16_t entry = 0; entry < count; ++entry) {
                char pattern[CM_ANSWERSIZE];
                UL_copytext(pattern, table[entry]);
                if (arrived(ctx, pattern, searched)) {
                    *index = entry;
                    return ST_OK;
                }
            }
            searched = received(ctx);
        }
        CM_sleep(ctx, POLL);
    }
}

status_t CM_sendcheck(setup_context* ctx, const char* command, std::uint16_t* ok)
{
    *ok = 0;
    RETURN_IF_FAILED(CM_send(ctx, command));
    std::int16_t index = -1;
    RETURN_IF_FAILED(CM_waitforany(ctx, okorerror, 2, 20, &index));
    *ok = index == 0 ? 1 : 0;
    char label[CM_COMMANDSIZE + 4];
    UL_copytext(label, command);
    UL_appendtext(label, " =");
    UL_logshort(ctx, label, std::int16_t(*ok));
    return ST_OK;
}

status_t CM_sendexpect(setup_context* ctx, const char* command, std::int16_t seconds)
{
    status_t st = CM_send(ctx, command);
    if (st != ST_OK) {
        CM_tracebuffer(ctx);
        return st;
    }
    std::uint16_t found = 0;
    st = CM_waitfor(ctx, "OK\r\n", seconds, &found);
    if (st != ST_OK) {
        CM_tracebuffer(ctx);
        return st;
    }
    if (!found) {
        UL_logstring(ctx, "Invalid command = ", command);
        CM_tracebuffer(ctx);
        return ST_NO_OK;
    }
    return ST_OK;
}

status_t CM_sendexpect(setup_context* ctx, const char* command)
{
    RETURN_IF_FAILED(CM_sendexpect(ctx, command, 5));
    UL_logstring(ctx, "xafter=", command);
    return ST_OK;
}

status_t CM_tracebuffer(setup_context* ctx)
{
    char text[80];
    std::int16_t count = received(ctx);
    UL_logshort(ctx, "CM_where = ", count);
    CM_buffertext(ctx, text, 0);
    UL_logstring(ctx, "CM_buffer = ", text);
    if (count > 50) {
        CM_buffertext(ctx, text, 50);
        UL_logstring(ctx, "CM_buffer = ", text);
    }
    return ST_OK;
}

status_t CM_sleep(setup_context*, std::uint32_t milliseconds)
{
    UL_sleep(milliseconds);
    return ST_OK;
}

// The port dialog calls the probes without a context of its own: they trace
// into the installer's, else into a zero-filled one (no log file, no log
// window) that lives for the probe, which leaves no port open.
status_t checkatcommand(std::int16_t port, std::uint16_t* noanswer)
{
    setup_context quiet = {};
    setup_context* ctx = INS_context ? INS_context : &quiet;
    *noanswer = 0;
    UL_logline(ctx, "begin checkatcommand");
    status_t st = CM_opencomm(ctx, port);
    if (st != ST_OK) {
        UL_logerror(ctx, "checkatcommand", st);
        return st;
    }
    UL_logline(ctx, "before at");
    // A modem just woken up may miss the first one or two. A port that fails
    // (it takes no output, or its device is gone) fails a retry the same way,
    // only after another write time-out.
    *noanswer = 1;
    for (int tries = 0; tries < 3; ++tries) {
        status_t tried = CM_sendexpect(ctx, "AT", 2);
        if (tried == ST_OK) {
            *noanswer = 0;
            break;
        }
        if (tried != ST_NO_OK) break;
    }
    UL_logline(ctx, "before flush");
    CM_flush(ctx);
    UL_logline(ctx, "before closecomm");
    CM_closecomm(ctx);
    return ST_OK;
}

status_t CM_probeport(std::int16_t port, std::uint16_t* cannotopen)
{
    setup_context quiet = {};
    setup_context* ctx = INS_context ? INS_context : &quiet;
    *cannotopen = 1;
    status_t st = CM_opencomm(ctx, port);
    UL_logshort(ctx, "devopen err=", std::int16_t(st));
    if (st == ST_OK) {
        CM_closecomm(ctx);
        *cannotopen = 0;
    }
    return ST_OK;
}
