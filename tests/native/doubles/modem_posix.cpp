// Native double of the serial port: the driver's queue is filled from the
// scripted modem as the virtual clock passes the times its answers fall due.
#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "modem/serialport.h"
#include "shell/platform.h"
#include "tests/native/doubles/modem_doubles.h"
#include "tests/native/doubles/shell_doubles.h"

// The double's open port: which scripted port it is, and the receive buffer.
struct cm_port {
    void* block;
    int number;
    unsigned char buffer[CM_BUFFERSIZE];
};

namespace {
// The engine on the port last looked up; -1: look it up again.
modemsim::engine* cachedmodem = nullptr;
int cachedport = -1;
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

// The engine on the context's open port (none before the port is found), looked
// up again only when the port or the attachments change: the host polls every
// millisecond of virtual time.
modemsim::engine* attached(const setup_context* ctx)
{
    int number = ctx->serialport ? ctx->serialport->number : 0;
    if (cachedport != number) {
        auto it = doubles::modems.find(number);
        cachedmodem = it == doubles::modems.end() ? nullptr : &it->second;
        cachedport = number;
    }
    return cachedmodem;
}

void deliver(const setup_context* ctx)
{
    if (modemsim::engine* modem = attached(ctx)) doubles::serialqueue += modem->take_due(doubles::clock_ms);
}

bool idle(const setup_context* ctx)
{
    std::uint64_t due = 0;
    modemsim::engine* modem = attached(ctx);
    return doubles::serialqueue.empty() && !(modem && modem->next_due(due));
}

status_t dropport(setup_context* ctx, status_t status)
{
    cm_port* p = ctx->serialport;
    ctx->serialport = nullptr;
    ctx->CM_buffer = nullptr;
    if (p) UL_freemem(p->block);
    return status;
}

}  // namespace

status_t CM_opencomm(setup_context* ctx, std::int16_t number)
{
    if (ctx->serialport) return ST_OK;
    void* memory = nullptr;
    void* block = nullptr;
    if (UL_allocmem(&memory, sizeof(cm_port), &block) != ST_OK) return ST_GENERAL;
    std::memset(memory, 0, sizeof(cm_port));
    cm_port* p = static_cast<cm_port*>(memory);
    p->block = block;
    ctx->serialport = p;
    ctx->CM_buffer = p->buffer;
    char name[8] = "COM1";
    name[3] = char('0' + number);
    UL_logstring(ctx, "portname=", name);
    doubles::serialopened.push_back(name);
    if (!doubles::serialports.count(number)) {
        UL_loglong(ctx, "opencomm err=", 2);
        return dropport(ctx, ST_NOT_AVAILABLE);
    }
    p->number = number;
    if (doubles::serialsettingsfail == 1) {
        UL_logline(ctx, "cant getcommstate");
        return dropport(ctx, ST_PORT_SETTINGS);
    }
    if (doubles::serialsettingsfail == 2) {
        UL_logline(ctx, "cant setcommstate");
        return dropport(ctx, ST_PORT_SETTINGS);
    }
    doubles::serialqueue.clear();
    return ST_OK;
}

status_t CM_closecomm(setup_context* ctx)
{
    if (!ctx->serialport) return ST_OK;
    doubles::serialqueue.clear();
    if (modemsim::engine* modem = attached(ctx)) modem->hangup();
    ++doubles::serialdtrdrops;
    return dropport(ctx, ST_OK);
}

status_t CM_clearerror(setup_context* ctx) { return ctx->serialport ? ST_OK : ST_PORT_CLOSED; }

status_t CM_flush(setup_context* ctx)
{
    if (!ctx->serialport) return ST_PORT_CLOSED;
    deliver(ctx);
    doubles::serialqueue.clear();
    ctx->CM_where = 0;
    std::memset(ctx->CM_buffer, 0, CM_BUFFERSIZE);
    return CM_clearerror(ctx);
}

status_t CM_write(setup_context* ctx, const void* bytes, std::uint16_t count)
{
    if (!ctx->serialport) return ST_PORT_CLOSED;
    ++doubles::serialwritecalls;
    if (doubles::serialnooutput) {
        doubles::clock_ms += CM_WRITETIMEOUT;
        return ST_PORT_CLOSED;
    }
    const unsigned char* b = static_cast<const unsigned char*>(bytes);
    for (std::uint16_t i = 0; i < count; ++i) doubles::serialwritten.emplace_back(doubles::clock_ms, b[i]);
    if (modemsim::engine* modem = attached(ctx))
        modem->receive(std::string(static_cast<const char*>(bytes), count), doubles::clock_ms);
    return ST_OK;
}

status_t CM_read(setup_context* ctx)
{
    if (!ctx->serialport) return ST_PORT_CLOSED;
    ++doubles::serialreads;
    deliver(ctx);
    if (doubles::serialidlestep && idle(ctx)) doubles::clock_ms += doubles::serialidlestep;
    std::uint32_t waiting = std::uint32_t(doubles::serialqueue.size());
    if (doubles::serialreadlimit && waiting > doubles::serialreadlimit) waiting = doubles::serialreadlimit;
    std::uint32_t n = CM_readsize(waiting, ctx->CM_where);
    if (n == 0) return ST_OK;
    std::memcpy(ctx->CM_buffer + ctx->CM_where, doubles::serialqueue.data(), n);
    doubles::serialqueue.erase(0, n);
    ctx->CM_where = std::int16_t(ctx->CM_where + n);
    return ST_OK;
}
