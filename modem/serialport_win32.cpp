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

unsigned char* CM_buffer = nullptr;
std::int16_t CM_where = 0;

namespace {

HANDLE port = INVALID_HANDLE_VALUE;
void* portmarker = nullptr;  // the buffer's block; set exactly while a port is open
OVERLAPPED readoverlap;
OVERLAPPED writeoverlap;
HANDLE readevent = nullptr;   // signalled when the last read has completed
HANDLE writeevent = nullptr;  // signalled when the last write has completed
bool readpending = false;     // readoverlap belongs to the driver until that read completes
bool writepending = false;    // writeoverlap belongs to the driver until that write completes
DCB linesettings;
COMSTAT linestatus;

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
bool finish(OVERLAPPED* record, HANDLE event, bool* pending, DWORD limit, DWORD abortflags, DWORD* done)
{
    *done = 0;
    if (!*pending) return true;
    if (WaitForSingleObject(event, limit) != WAIT_OBJECT_0) {
        PurgeComm(port, abortflags);
        if (WaitForSingleObject(event, ABORTWAIT) != WAIT_OBJECT_0) return false;
    }
    if (!GetOverlappedResult(port, record, done, FALSE)) *done = 0;
    *pending = false;
    return true;
}

bool finish_write(DWORD limit, DWORD* done)
{
    return finish(&writeoverlap, writeevent, &writepending, limit, PURGE_TXABORT | PURGE_TXCLEAR, done);
}

bool finish_read(DWORD limit, DWORD* done)
{
    return finish(&readoverlap, readevent, &readpending, limit, PURGE_RXABORT, done);
}

void release_port()
{
    if (port != INVALID_HANDLE_VALUE) {
        // No record may stay with the driver once the port is gone: a read
        // would land in the freed buffer.
        DWORD done = 0;
        if (writepending) {
            PurgeComm(port, PURGE_TXABORT | PURGE_TXCLEAR);
            finish_write(ABORTWAIT, &done);
        }
        if (readpending) {
            PurgeComm(port, PURGE_RXABORT);
            finish_read(ABORTWAIT, &done);
        }
        CloseHandle(port);
    }
    port = INVALID_HANDLE_VALUE;
    readpending = false;
    writepending = false;
    if (readevent) CloseHandle(readevent);
    readevent = nullptr;
    if (writeevent) CloseHandle(writeevent);
    writeevent = nullptr;
}

status_t failopen(status_t status)
{
    release_port();
    port = INVALID_HANDLE_VALUE;
    UL_freemem(portmarker);
    portmarker = nullptr;
    CM_buffer = nullptr;
    return status;
}

}  // namespace

status_t CM_opencomm(setup_context* ctx, std::int16_t number)
{
    if (portmarker) return ST_OK;
    void* buffer = nullptr;
    if (UL_allocmem(&buffer, CM_BUFFERSIZE, &portmarker) != ST_OK || !buffer) {
        portmarker = nullptr;
        return ST_GENERAL;
    }
    CM_buffer = static_cast<unsigned char*>(buffer);
    std::memset(CM_buffer, 0, CM_BUFFERSIZE);
    std::memset(&readoverlap, 0, sizeof readoverlap);

    char name[8];
    UL_copytext(name, "COM1");
    name[3] = char('0' + number);
    UL_logstring(ctx, "portname=", name);

    port = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        UL_loglong(ctx, "opencomm err=", std::int32_t(GetLastError()));
        return failopen(ST_NOT_AVAILABLE);
    }
    writeevent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    readevent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    if (!writeevent || !readevent) return failopen(ST_NOT_AVAILABLE);
    SetupComm(port, QUEUESIZE, QUEUESIZE);

    COMMTIMEOUTS timeouts = {};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = WRITETIMEOUT;
    SetCommTimeouts(port, &timeouts);

    if (GetCommState(port, &linesettings) != 1) {
        UL_logline(ctx, "cant getcommstate");
        return failopen(ST_PORT_SETTINGS);
    }
    linesettings.DCBlength = 28;
    linesettings.BaudRate = CBR_19200;
    linesettings.ByteSize = 8;
    linesettings.Parity = NOPARITY;
    linesettings.StopBits = ONESTOPBIT;
    linesettings.XonChar = 0x11;
    linesettings.XoffChar = 0x13;
    linesettings.fBinary = TRUE;
    linesettings.fOutxCtsFlow = FALSE;
    linesettings.fOutxDsrFlow = FALSE;
    linesettings.fDtrControl = DTR_CONTROL_ENABLE;
    linesettings.fRtsControl = RTS_CONTROL_ENABLE;
    linesettings.fOutX = FALSE;
    linesettings.fInX = FALSE;
    linesettings.fNull = FALSE;
    if (SetCommState(port, &linesettings) != 1) {
        UL_logline(ctx, "cant setcommstate");
        return failopen(ST_PORT_SETTINGS);
    }
    return ST_OK;
}

status_t CM_closecomm(setup_context*)
{
    if (!portmarker) return ST_OK;
    PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    EscapeCommFunction(port, CLRDTR);
    release_port();
    UL_freemem(portmarker);
    portmarker = nullptr;
    CM_buffer = nullptr;
    return ST_OK;
}

status_t CM_clearerror(setup_context*)
{
    if (!portmarker) return ST_PORT_CLOSED;
    DWORD errors = 0;
    ClearCommError(port, &errors, &linestatus);
    return ST_OK;
}

status_t CM_flush(setup_context* ctx)
{
    if (!portmarker) return ST_PORT_CLOSED;
    PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    CM_where = 0;
    std::memset(CM_buffer, 0, CM_BUFFERSIZE);
    return CM_clearerror(ctx);
}

status_t CM_write(setup_context*, const void* bytes, std::uint16_t count)
{
    if (!portmarker) return ST_PORT_CLOSED;
    // A write still pending owns the record; a port that keeps it for good is lost.
    DWORD written = 0;
    if (!finish_write(WRITEWAIT, &written)) return ST_PORT_CLOSED;
    std::memset(&writeoverlap, 0, sizeof writeoverlap);
    writeoverlap.hEvent = writeevent;
    ResetEvent(writeevent);
    if (!WriteFile(port, bytes, count, &written, &writeoverlap)) {
        if (GetLastError() != ERROR_IO_PENDING) {
            SetEvent(writeevent);
            return ST_PORT_CLOSED;
        }
        writepending = true;
        if (!finish_write(WRITEWAIT, &written)) return ST_PORT_CLOSED;
    }
    // The driver ends a write the port does not take with what it took so far.
    return written == count ? ST_OK : ST_PORT_CLOSED;
}

status_t CM_read(setup_context*)
{
    if (!portmarker) return ST_PORT_CLOSED;
    // A read the driver kept (only when the line misbehaved) must end before
    // its record is used again; the bytes it brought went to the old offset,
    // which a flush since may have emptied, so they are not counted.
    DWORD got = 0;
    if (!finish_read(READWAIT, &got)) return ST_PORT_CLOSED;
    DWORD errors = 0;
    // The driver refuses the status only when the device is gone (a modem
    // pulled out, its cable or its power): waiting on would wait out every
    // time-out of the exchange and then take the silence for an answer.
    if (!ClearCommError(port, &errors, &linestatus)) return ST_PORT_CLOSED;
    if (linestatus.cbInQue == 0) return ST_OK;
    DWORD wanted = CM_readsize(linestatus.cbInQue, CM_where);
    if (wanted == 0) return ST_OK;
    std::memset(&readoverlap, 0, sizeof readoverlap);
    readoverlap.hEvent = readevent;
    ResetEvent(readevent);
    if (!ReadFile(port, CM_buffer + CM_where, wanted, &got, &readoverlap)) {
        if (GetLastError() != ERROR_IO_PENDING) {
            SetEvent(readevent);
            return ST_OK;
        }
        // Queued bytes are normally handed over at once; wait (bounded) for
        // the driver rather than leave the record and the buffer with it.
        readpending = true;
        if (!finish_read(READWAIT, &got)) return ST_PORT_CLOSED;
    }
    CM_where = std::int16_t(CM_where + got);
    return ST_OK;
}
