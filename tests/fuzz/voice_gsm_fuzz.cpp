// Any samples through the US Robotics GSM coder: every frame is well formed
// (opening, nibble 0, closing, lags the standard allows), the stream holds one
// frame per started block of 160 and reads back whole. And the same bytes as
// a stream for the player: any of them decode, without a crash.
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/fuzz/fuzzkit.h"
#include "voice/gsm610.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte picks the start flag and the size of the pieces fed.
    if (size < 1) return 0;
    const int startflag = data[0] & 1;
    const std::size_t piece = 1 + (data[0] >> 1) * 3;
    data += 1;
    size -= 1;

    std::vector<std::int16_t> x(size / 2);
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = std::int16_t(data[2 * i] | (data[2 * i + 1] << 8));

    vc::gsm_usr_coder c;
    vc::gsm_usr_start(&c, startflag);
    const std::size_t fb = vc::gsm_usr_frame_bytes(&c);
    fuzzkit::require(fb == (startflag == 0 ? 38u : 33u), "the start flag picks the framing");
    const std::size_t frames = (x.size() + 159) / 160;
    std::vector<std::uint8_t> out(frames * fb + fb);
    std::size_t written = 0;
    for (std::size_t i = 0; i < x.size(); i += piece) {
        std::size_t n = std::min(piece, x.size() - i);
        written += vc::gsm_usr_encode(&c, &x[i], n, &out[written]);
        fuzzkit::require(written == (i + n) / 160 * fb, "a frame for each complete block, no more");
    }
    written += vc::gsm_usr_flush(&c, &out[written]);
    fuzzkit::require(written == frames * fb, "the last partial block makes one frame");

    x.resize(frames * 160, 0);
    vc::gsm_state plain;
    vc::gsm_reset(&plain);
    for (std::size_t f = 0; f < frames; ++f) {
        const std::uint8_t* frame = &out[f * fb];
        const std::uint8_t* body = startflag == 0 ? frame + 2 : frame;
        if (startflag == 0) {
            bool silent = true;
            for (std::size_t k = 0; k < 160; ++k) silent = silent && x[160 * f + k] == 0;
            fuzzkit::require(frame[0] == frame[1] && frame[0] == (silent ? 0xB6 : 0xFE),
                             "FE FE opens a frame, B6 B6 a silent one");
            fuzzkit::require(frame[35] == 0x00 && frame[36] == 0xA5 && frame[37] == 0xA5, "00 A5 A5 closes it");
        }
        fuzzkit::require((body[0] >> 4) == 0, "the signature nibble is sent as 0");
        vc::gsm_params p;
        vc::gsm_unpack(body, &p);
        for (int j = 0; j < 4; ++j) fuzzkit::require(p.Nc[j] >= 40 && p.Nc[j] <= 120, "every lag is 40..120");
        std::uint8_t want[vc::GSM_FRAME_BYTES];
        vc::gsm_encode_frame(&plain, &x[160 * f], want);
        want[0] &= 0x0F;
        fuzzkit::require(std::memcmp(body, want, sizeof want) == 0, "the stream carries the plain coder's frames");
    }

    // Read back in one go; then the input itself as a stream, in pieces.
    std::vector<std::int16_t> y(frames * 160 + 160);
    vc::gsm_usr_decoder d;
    vc::gsm_usr_decode_start(&d);
    std::size_t used = 0;
    std::size_t got = vc::gsm_usr_decode(&d, out.data(), written, &used, y.data(), y.size());
    fuzzkit::require(used == written && got == frames * 160 && d.badframes == 0, "the stream reads back whole");

    vc::gsm_usr_decode_start(&d);
    std::size_t total = 0;
    for (std::size_t i = 0; i < size;) {
        std::size_t n = std::min(piece, size - i);
        total += vc::gsm_usr_decode(&d, data + i, n, &used, y.data(), 160);
        fuzzkit::require(used > 0, "a free area always takes input");
        i += used;
    }
    fuzzkit::require(total % 160 == 0 && total / 160 <= size / 33, "whole frames only, none from nothing");
    return 0;
}
