// Native double of the serial port: the driver's queue is filled from the
// scripted modem as the virtual clock passes the times its answers fall due.
#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "modem/serialport.h"
#include "shell/platform.h"
#include "tests/native/doubles/modem_doubles.h"
#include "tests/native/doubles/shell_doubles.h"

unsigned char* CM_buffer = nullptr;
std::int16_t CM_where = 0;

namespace {
modemsim::engine* cachedmodem = nullptr;
int cachedport = -1;  // -1: look it up
}  // namespace

namespace doubles {
std::set<int> serialports = {1, 2, 3, 4, 5, 6, 7, 8};
int serialsettingsfail = 0;
std::map<int, modemsim::engine> modems;
std::string serialqueue;
std::uint32_t serialreadlimit = 0;
std::uint32_t serialidlestep = 0;
bool serialnooutput = false;
int serialwritecalls = 0;
std::vector<std::pair<std::uint32_t, unsigned char>> serialwritten;
std::vector<std::string> serialopened;
int serialdtrdrops = 0;
int serialreads = 0;
int serialopen = 0;

void serialreset()
{
    cachedport = -1;
    serialports = {1, 2, 3, 4, 5, 6, 7, 8};
    serialsettingsfail = 0;
    modems.clear();
    serialqueue.clear();
    serialreadlimit = 0;
    serialidlestep = 0;
    serialnooutput = false;
    serialwritecalls = 0;
    serialwritten.clear();
    serialopened.clear();
    serialdtrdrops = 0;
    serialreads = 0;
}

bool serialattach(int port, const std::string& profilefile, std::string& error)
{
    modemsim::profile profile;
    if (!modemsim::load_profile(profilefile, profile, error)) return false;
    serialattach(port, profile);
    return true;
}

void serialattach(int port, const modemsim::profile& profile)
{
    cachedport = -1;
    modems.erase(port);
    modems.emplace(port, modemsim::engine(profile));
}
}  // namespace doubles

namespace {

void* portmarker = nullptr;

// The engine on the open port, looked up again only when the port or the attachments change:
// the host polls every millisecond of virtual time.
modemsim::engine* attached()
{
    if (cachedport != doubles::serialopen) {
        auto it = doubles::modems.find(doubles::serialopen);
        cachedmodem = it == doubles::modems.end() ? nullptr : &it->second;
        cachedport = doubles::serialopen;
    }
    return cachedmodem;
}

void deliver()
{
    if (modemsim::engine* modem = attached()) doubles::serialqueue += modem->take_due(doubles::clock_ms);
}

bool idle()
{
    std::uint64_t due = 0;
    modemsim::engine* modem = attached();
    return doubles::serialqueue.empty() && !(modem && modem->next_due(due));
}

status_t failopen(status_t status)
{
    UL_freemem(portmarker);
    portmarker = nullptr;
    CM_buffer = nullptr;
    doubles::serialopen = 0;
    return status;
}

}  // namespace

status_t CM_opencomm(setup_context* ctx, std::int16_t number)
{
    if (portmarker) return ST_OK;
    void* buffer = nullptr;
    if (UL_allocmem(&buffer, CM_BUFFERSIZE, &portmarker) != ST_OK) return ST_GENERAL;
    CM_buffer = static_cast<unsigned char*>(buffer);
    std::memset(CM_buffer, 0, CM_BUFFERSIZE);
    char name[8] = "COM1";
    name[3] = char('0' + number);
    UL_logstring(ctx, "portname=", name);
    doubles::serialopened.push_back(name);
    if (!doubles::serialports.count(number)) {
        UL_loglong(ctx, "opencomm err=", 2);
        return failopen(ST_NOT_AVAILABLE);
    }
    doubles::serialopen = number;
    if (doubles::serialsettingsfail == 1) {
        UL_logline(ctx, "cant getcommstate");
        return failopen(ST_PORT_SETTINGS);
    }
    if (doubles::serialsettingsfail == 2) {
        UL_logline(ctx, "cant setcommstate");
        return failopen(ST_PORT_SETTINGS);
    }
    doubles::serialqueue.clear();
    return ST_OK;
}

status_t CM_closecomm(setup_context*)
{
    if (!portmarker) return ST_OK;
    doubles::serialqueue.clear();
    if (modemsim::engine* modem = attached()) modem->hangup();
    ++doubles::serialdtrdrops;
    return failopen(ST_OK);
}

status_t CM_clearerror(setup_context*) { return portmarker ? ST_OK : ST_PORT_CLOSED; }

status_t CM_flush(setup_context* ctx)
{
    if (!portmarker) return ST_PORT_CLOSED;
    deliver();
    doubles::serialqueue.clear();
    CM_where = 0;
    std::memset(CM_buffer, 0, CM_BUFFERSIZE);
    return CM_clearerror(ctx);
}

status_t CM_write(setup_context*, const void* bytes, std::uint16_t count)
{
    if (!portmarker) return ST_PORT_CLOSED;
    ++doubles::serialwritecalls;
    if (doubles::serialnooutput) {
        doubles::clock_ms += CM_WRITETIMEOUT;
        return ST_PORT_CLOSED;
    }
    const unsigned char* b = static_cast<const unsigned char*>(bytes);
    for (std::uint16_t i = 0; i < count; ++i) doubles::serialwritten.emplace_back(doubles::clock_ms, b[i]);
    if (modemsim::engine* modem = attached())
        modem->receive(std::string(static_cast<const char*>(bytes), count), doubles::clock_ms);
    return ST_OK;
}

status_t CM_read(setup_context*)
{
    if (!portmarker) return ST_PORT_CLOSED;
    ++doubles::serialreads;
    deliver();
    if (doubles::serialidlestep && idle()) doubles::clock_ms += doubles::serialidlestep;
    std::uint32_t waiting = std::uint32_t(doubles::serialqueue.size());
    if (doubles::serialreadlimit && waiting > doubles::serialreadlimit) waiting = doubles::serialreadlimit;
    std::uint32_t n = CM_readsize(waiting, CM_where);
    if (n == 0) return ST_OK;
    std::memcpy(CM_buffer + CM_where, doubles::serialqueue.data(), n);
    doubles::serialqueue.erase(0, n);
    CM_where = std::int16_t(CM_where + n);
    return ST_OK;
}
