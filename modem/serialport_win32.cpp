// The serial port over the Windows communications API. Overlapped mode with
// "return at once" read time-outs; the AT engine does all waiting and pacing
// itself, except that each write and each read the driver did not finish at
// once is waited for (within a bound), so that no record is ever reused while
// the driver still holds it.
#include <windows.h>

#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "modem/serialport.h"
#include "shell/text.h"

// One open port: allocated as one block at open, freed at close.
struct cm_port {
    void* block;  // the allocation, for UL_freemem
    HANDLE handle;
    OVERLAPPED readoverlap;
    OVERLAPPED writeoverlap;
    HANDLE readevent;   // signalled when the last read has completed
    HANDLE writeevent;  // signalled when the last write has completed
    bool readpending;   // readoverlap belongs to the driver until that read completes
    bool writepending;  // writeoverlap belongs to the driver until that write completes
    DCB linesettings;
    COMSTAT linestatus;
    unsigned char buffer[CM_BUFFERSIZE];  // the receive buffer
};

namespace {

// The driver ends a write after its write time-out; we wait a little longer for
// it, and after an abort a short while for the driver to give the record back.
// A read asks only for bytes already queued, so it ends at once or not at all.
enum : DWORD {
    QUEUESIZE = 0x7000,
    WRITETIMEOUT = CM_WRITETIMEOUT,
    WRITEWAIT = WRITETIMEOUT + 1000,
    READWAIT = 1000,
    ABORTWAIT = 1000,
};

// Waits, within a bound, until the driver has given a record back; `done` is
// what the operation moved. One that does not end in time is aborted with
// `abortflags`; false when even that does not end it (the record stays pending).
bool finish(cm_port* p, OVERLAPPED* record, HANDLE event, bool* pending, DWORD limit, DWORD abortflags,
            DWORD* done)
{
    *done = 0;
    if (!*pending) return true;
    if (WaitForSingleObject(event, limit) != WAIT_OBJECT_0) {
        PurgeComm(p->handle, abortflags);
        if (WaitForSingleObject(event, ABORTWAIT) != WAIT_OBJECT_0) return false;
    }
    if (!GetOverlappedResult(p->handle, record, done, FALSE)) *done = 0;
    *pending = false;
    return true;
}

bool finish_write(cm_port* p, DWORD limit, DWORD* done)
{
    return finish(p, &p->writeoverlap, p->writeevent, &p->writepending, limit, PURGE_TXABORT | PURGE_TXCLEAR, done);
}

bool finish_read(cm_port* p, DWORD limit, DWORD* done)
{
    return finish(p, &p->readoverlap, p->readevent, &p->readpending, limit, PURGE_RXABORT, done);
}

void release_port(cm_port* p)
{
    if (p->handle != INVALID_HANDLE_VALUE) {
        // No record may stay with the driver once the port is gone: a read
        // would land in the freed buffer.
        DWORD done = 0;
        if (p->writepending) {
            PurgeComm(p->handle, PURGE_TXABORT | PURGE_TXCLEAR);
            finish_write(p, ABORTWAIT, &done);
        }
        if (p->readpending) {
            PurgeComm(p->handle, PURGE_RXABORT);
            finish_read(p, ABORTWAIT, &done);
        }
        CloseHandle(p->handle);
    }
    p->handle = INVALID_HANDLE_VALUE;
    p->readpending = false;
    p->writepending = false;
    if (p->readevent) CloseHandle(p->readevent);
    p->readevent = nullptr;
    if (p->writeevent) CloseHandle(p->writeevent);
    p->writeevent = nullptr;
}

// Closes what is open of the context's port and frees its block; the context
// is left with no port and no buffer.
status_t dropport(setup_context* ctx, status_t status)
{
    cm_port* p = ctx->serialport;
    ctx->serialport = nullptr;
    ctx->CM_buffer = nullptr;
    if (p) {
        release_port(p);
        UL_freemem(p->block);
    }
    return status;
}

}  // namespace

status_t CM_opencomm(setup_context* ctx, std::int16_t number)
{
    if (ctx->serialport) return ST_OK;
    void* memory = nullptr;
    void* block = nullptr;
    if (UL_allocmem(&memory, sizeof(cm_port), &block) != ST_OK || !memory) return ST_GENERAL;
    std::memset(memory, 0, sizeof(cm_port));
    cm_port* p = static_cast<cm_port*>(memory);
    p->block = block;
    p->handle = INVALID_HANDLE_VALUE;
    ctx->serialport = p;
    ctx->CM_buffer = p->buffer;

    char name[8];
    UL_copytext(name, "COM1");
    name[3] = char('0' + number);
    UL_logstring(ctx, "portname=", name);

    p->handle =
        CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (p->handle == INVALID_HANDLE_VALUE) {
        UL_loglong(ctx, "opencomm err=", std::int32_t(GetLastError()));
        return dropport(ctx, ST_NOT_AVAILABLE);
    }
    p->writeevent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    p->readevent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    if (!p->writeevent || !p->readevent) return dropport(ctx, ST_NOT_AVAILABLE);
    SetupComm(p->handle, QUEUESIZE, QUEUESIZE);

    COMMTIMEOUTS timeouts = {};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = WRITETIMEOUT;
    SetCommTimeouts(p->handle, &timeouts);

    DCB& line = p->linesettings;
    if (GetCommState(p->handle, &line) != 1) {
        UL_logline(ctx, "cant getcommstate");
        return dropport(ctx, ST_PORT_SETTINGS);
    }
    line.DCBlength = 28;
    line.BaudRate = CBR_19200;
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.XonChar = 0x11;
    line.XoffChar = 0x13;
    line.fBinary = TRUE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fRtsControl = RTS_CONTROL_ENABLE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fNull = FALSE;
    if (SetCommState(p->handle, &line) != 1) {
        UL_logline(ctx, "cant setcommstate");
        return dropport(ctx, ST_PORT_SETTINGS);
    }
    return ST_OK;
}

status_t CM_closecomm(setup_context* ctx)
{
    cm_port* p = ctx->serialport;
    if (!p) return ST_OK;
    PurgeComm(p->handle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    EscapeCommFunction(p->handle, CLRDTR);
    return dropport(ctx, ST_OK);
}

status_t CM_clearerror(setup_context* ctx)
{
    cm_port* p = ctx->serialport;
    if (!p) return ST_PORT_CLOSED;
    DWORD errors = 0;
    ClearCommError(p->handle, &errors, &p->linestatus);
    return ST_OK;
}

status_t CM_flush(setup_context* ctx)
{
    cm_port* p = ctx->serialport;
    if (!p) return ST_PORT_CLOSED;
    PurgeComm(p->handle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    ctx->CM_where = 0;
    std::memset(p->buffer, 0, CM_BUFFERSIZE);
    return CM_clearerror(ctx);
}

status_t CM_write(setup_context* ctx, const void* bytes, std::uint16_t count)
{
    cm_port* p = ctx->serialport;
    if (!p) return ST_PORT_CLOSED;
    // A write still pending owns the record; a port that keeps it for good is lost.
    DWORD written = 0;
    if (!finish_write(p, WRITEWAIT, &written)) return ST_PORT_CLOSED;
    std::memset(&p->writeoverlap, 0, sizeof p->writeoverlap);
    p->writeoverlap.hEvent = p->writeevent;
    ResetEvent(p->writeevent);
    if (!WriteFile(p->handle, bytes, count, &written, &p->writeoverlap)) {
        if (GetLastError() != ERROR_IO_PENDING) {
            SetEvent(p->writeevent);
            return ST_PORT_CLOSED;
        }
        p->writepending = true;
        if (!finish_write(p, WRITEWAIT, &written)) return ST_PORT_CLOSED;
    }
    // The driver ends a write the port does not take with what it took so far.
    return written == count ? ST_OK : ST_PORT_CLOSED;
}

status_t CM_read(setup_context* ctx)
{
    cm_port* p = ctx->serialport;
    if (!p) return ST_PORT_CLOSED;
    // A read the driver kept (only when the line misbehaved) must end before
    // its record is used again; the bytes it brought went to the old offset,
    // which a flush since may have emptied, so they are not counted.
    DWORD got = 0;
    if (!finish_read(p, READWAIT, &got)) return ST_PORT_CLOSED;
    DWORD errors = 0;
    // The driver refuses the status only when the device is gone (a modem
    // pulled out, its cable or its power): waiting on would wait out every
    // time-out of the exchange and then take the silence for an answer.
    if (!ClearCommError(p->handle, &errors, &p->linestatus)) return ST_PORT_CLOSED;
    if (p->linestatus.cbInQue == 0) return ST_OK;
    DWORD wanted = CM_readsize(p->linestatus.cbInQue, ctx->CM_where);
    if (wanted == 0) return ST_OK;
    std::memset(&p->readoverlap, 0, sizeof p->readoverlap);
    p->readoverlap.hEvent = p->readevent;
    ResetEvent(p->readevent);
    if (!ReadFile(p->handle, p->buffer + ctx->CM_where, wanted, &got, &p->readoverlap)) {
        if (GetLastError() != ERROR_IO_PENDING) {
            SetEvent(p->readevent);
            return ST_OK;
        }
        // Queued bytes are normally handed over at once; wait (bounded) for
        // the driver rather than leave the record and the buffer with it.
        p->readpending = true;
        if (!finish_read(p, READWAIT, &got)) return ST_PORT_CLOSED;
    }
    ctx->CM_where = std::int16_t(ctx->CM_where + got);
    return ST_OK;
}
