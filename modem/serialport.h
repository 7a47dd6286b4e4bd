// The serial port: one port open at a time, fixed line settings, non-blocking
// reads into the receive buffer that the AT engine searches.
// Defined in serialport_win32.cpp; the native tests link a scripted modem.
#pragma once
#include <cstdint>

#include "shell/context.h"

enum {
    CM_BUFFERSIZE = 4096,  // the receive buffer
};
// The driver ends a write that the port has not taken after this many milliseconds.
enum : std::uint32_t { CM_WRITETIMEOUT = 5000 };

// Each context opens at most one port: ctx->serialport, whose receive buffer
// is ctx->CM_buffer with ctx->CM_where valid bytes. The AT engine reads them.

// Opens COM<port> at 19200 bit/s 8N1 with DTR and RTS on; 0 at once when a port is already open.
status_t CM_opencomm(setup_context* ctx, std::int16_t port);
// Purges, drops DTR and closes; 0 also when no port is open.
status_t CM_closecomm(setup_context* ctx);
// Discards pending input and output and empties the receive buffer.
status_t CM_flush(setup_context* ctx);
status_t CM_clearerror(setup_context* ctx);
// Writes and waits (a bounded time) for the driver to take the bytes; 8141 when
// the write fails or the port did not take them all within its write time-out.
status_t CM_write(setup_context* ctx, const void* bytes, std::uint16_t count);
// Appends whatever the driver holds to ctx->CM_buffer, never waiting; 8141 also when the device is gone.
status_t CM_read(setup_context* ctx);

// How many of `waiting` bytes one read may take into a buffer that holds `where` bytes.
inline std::uint32_t CM_readsize(std::uint32_t waiting, std::int16_t where)
{
    if (waiting > CM_BUFFERSIZE) waiting = CM_BUFFERSIZE;
    std::uint32_t room = where >= 0 && where < CM_BUFFERSIZE ? std::uint32_t(CM_BUFFERSIZE - where) : 0;
    return waiting < room ? waiting : room;
}
