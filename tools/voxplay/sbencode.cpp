// sbencode: runs raw 16-bit samples through a compressor library's coder as
// the installer drives it (start, then blocks of the vendor's length), for the
// benchmark and for listening tests.
//
//   sbencode family coding blockbytes startflag input.s16 output.bin
//
// family: ima, rockwell, zyxel, g721, gsm. Prints the
// samples coded, the bytes written and the coding speed in samples per second.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "voice/sbcoder.h"

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fprintf(stderr, "usage: sbencode ima|rockwell|zyxel|g721|gsm coding blockbytes startflag in.s16 out.bin\n");
        return 2;
    }
    const char* names[] = {"ima", "rockwell", "zyxel", "g721", "gsm"};
    int family = -1;
    for (int i = 0; i < 5; ++i)
        if (std::strcmp(argv[1], names[i]) == 0) family = i;
    const long coding = std::strtol(argv[2], nullptr, 10), block = std::strtol(argv[3], nullptr, 10),
               flag = std::strtol(argv[4], nullptr, 10);
    if (family < 0 || block < 2 || block > 65534 || block % 2) {
        std::fprintf(stderr, "sbencode: bad family or block length\n");
        return 2;
    }
    std::FILE* f = std::fopen(argv[5], "rb");
    if (!f) {
        std::fprintf(stderr, "sbencode: cannot open %s\n", argv[5]);
        return 1;
    }
    std::vector<std::uint8_t> in;
    std::uint8_t buf[8192];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) in.insert(in.end(), buf, buf + n);
    std::fclose(f);
    // The installer fills the last block with zero samples.
    in.resize((in.size() + std::size_t(block) - 1) / std::size_t(block) * std::size_t(block), 0);

    sb_coder coder;
    if (sb_start(&coder, std::int32_t(coding), std::int16_t(flag), false, sb_family(family)) != 0) {
        std::fprintf(stderr, "sbencode: the %s coder does not take coding %ld with start flag %ld\n", argv[1], coding,
                     flag);
        return 1;
    }
    std::vector<std::uint8_t> out;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t at = 0; at < in.size(); at += std::size_t(block)) {
        std::uint8_t o[SB_OUTPUTSIZE];
        std::uint16_t n = 0;
        if (sb_compress(&coder, in.data() + at, std::uint16_t(block), o, &n) != 0) {
            std::fprintf(stderr, "sbencode: the coder refused a block\n");
            return 1;
        }
        out.insert(out.end(), o, o + n);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::FILE* o = std::fopen(argv[6], "wb");
    bool ok = o && std::fwrite(out.data(), 1, out.size(), o) == out.size();
    if (o && std::fclose(o) != 0) ok = false;
    if (!ok) {
        std::fprintf(stderr, "sbencode: cannot write %s\n", argv[6]);
        return 1;
    }
    std::printf("%zu samples %zu bytes %.0f samples/s\n", in.size() / 2, out.size(),
                seconds > 0 ? double(in.size() / 2) / seconds : 0.0);
    return 0;
}
