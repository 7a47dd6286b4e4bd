// The serial port over the Windows communications API. Overlapped mode with
// "return at once" read time-outs, so no call here ever waits; the AT engine
// does all waiting and pacing itself.
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
DCB linesettings;
COMSTAT linestatus;

enum : DWORD { QUEUESIZE = 0x7000, WRITETIMEOUT = 5000 };

status_t failopen(status_t status)
{
    if (port != INVALID_HANDLE_VALUE) CloseHandle(port);
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
        return failopen(ST_PORT_NOT_OPENED);
    }
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
    CloseHandle(port);
    port = INVALID_HANDLE_VALUE;
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
    DWORD written = 0;
    WriteFile(port, bytes, count, &written, &writeoverlap);
    return ST_OK;
}

status_t CM_read(setup_context*)
{
    if (!portmarker) return ST_PORT_CLOSED;
    DWORD errors = 0;
    // The driver refuses the status only when the device is gone (a modem
    // pulled out, its cable or its power): waiting on would wait out every
    // time-out of the exchange and then take the silence for an answer.
    if (!ClearCommError(port, &errors, &linestatus)) return ST_PORT_CLOSED;
    if (linestatus.cbInQue == 0) return ST_OK;
    DWORD wanted = CM_readsize(linestatus.cbInQue, CM_where);
    DWORD got = 0;
    if (ReadFile(port, CM_buffer + CM_where, wanted, &got, &readoverlap)) CM_where = std::int16_t(CM_where + got);
    return ST_OK;
}
