// Any bytes from the modem, arriving in pieces of any size, searched by the AT
// engine: a wait finds an answer exactly when it is among the first bytes the
// receive buffer holds, the table wait reports the first entry of the table
// (not of the arrival) that is there, the buffer count never passes the
// buffer, and the trace copies stay within 79 characters.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "modem/atcommand.h"
#include "modem/serialport.h"
#include "tests/fuzz/fuzzkit.h"
#include "tests/native/doubles/modem_doubles.h"
#include "tests/native/doubles/shell_doubles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Byte 0: the read size; byte 1: the length of the table's third entry,
    // which follows; the rest is what the modem sends.
    if (size < 2) return 0;
    const std::uint32_t readlimit = data[0] < 16 ? 0 : std::uint32_t(data[0] - 11);  // 0 (all) or 5..244
    const std::size_t plen = std::size_t(data[1] % (CM_ANSWERSIZE - 1)) + 1;
    if (size < 2 + plen) return 0;
    cm_answer table[3] = {"OK\r\n", "ERROR\r\n", ""};
    std::memcpy(table[2], data + 2, plen);
    table[2][plen] = '\0';
    const std::string third = table[2];
    const std::string sent(reinterpret_cast<const char*>(data + 2 + plen), size - 2 - plen);
    const std::string held = sent.substr(0, CM_BUFFERSIZE);  // what the receive buffer can take

    doubles::serialreset();
    setup_context ctx{};
    fuzzkit::require(CM_opencomm(&ctx, 1) == ST_OK, "the port opens");
    doubles::serialreadlimit = readlimit;
    doubles::serialidlestep = 1000;

    // The table wait.
    CM_flush(&ctx);
    doubles::serialqueue = sent;
    std::int16_t index = -2;
    fuzzkit::require(CM_waitforany(&ctx, table, std::int16_t(third.empty() ? 2 : 3), 1, &index) == ST_OK, "the table wait ends");
    // The answer as it arrives, piece by piece: the first piece after which
    // some entry is complete decides, by table order among what is there.
    const int entries = third.empty() ? 2 : 3;
    std::int16_t expected = -1;
    const std::size_t step = readlimit ? readlimit : held.size();
    for (std::size_t have = std::min(step, held.size());; have = std::min(have + step, held.size())) {
        const std::string part = held.substr(0, have);
        for (int i = 0; i < entries && expected < 0; ++i)
            if (part.find(table[i]) != std::string::npos) expected = std::int16_t(i);
        if (expected >= 0 || have == held.size()) break;
    }
    fuzzkit::require(ctx.CM_where >= 0 && ctx.CM_where <= CM_BUFFERSIZE, "the count stays within the buffer");
    fuzzkit::require(index == expected, "the first table entry received is found");

    // The single wait, over what has arrived so far plus the rest.
    CM_flush(&ctx);
    doubles::serialqueue = sent;
    std::uint16_t found = 2;
    if (!third.empty()) {
        fuzzkit::require(CM_waitfor(&ctx, third.c_str(), 1, &found) == ST_OK, "the wait ends");
        fuzzkit::require(found == (held.find(third) != std::string::npos ? 1 : 0), "the answer is found where it is");
    }
    fuzzkit::require(ctx.CM_where >= 0 && ctx.CM_where <= CM_BUFFERSIZE, "the count stays within the buffer");

    // The trace copies, at every offset the engine uses and at the edges.
    for (std::int16_t offset : {std::int16_t(-1), std::int16_t(0), std::int16_t(50), std::int16_t(CM_BUFFERSIZE - 1),
                                std::int16_t(CM_BUFFERSIZE), ctx.CM_where}) {
        char out[80];
        std::memset(out, 'x', sizeof out);
        CM_buffertext(&ctx, out, offset);
        fuzzkit::require(std::memchr(out, '\0', sizeof out) != nullptr, "a trace copy ends inside its buffer");
        if (offset >= 0 && offset < CM_BUFFERSIZE) {
            std::string expect(reinterpret_cast<const char*>(ctx.CM_buffer) + offset,
                               std::min<std::size_t>(79, std::size_t(CM_BUFFERSIZE - offset)));
            expect = expect.substr(0, expect.find('\0'));
            fuzzkit::require(expect == out, "a trace copy is the received text up to its first NUL");
        }
    }
    CM_tracebuffer(&ctx);
    CM_closecomm(&ctx);
    doubles::serialreset();
    return 0;
}
