// voxplay: turns a modem voice file (16-byte voice file header, then the coded
// voice data) back into a 16-bit PCM WAV file, to hear what the modem plays.
//
//   voxplay [-r rate] [-l] input.vox output.wav
//
// The coding (2, 4 or 8 bits) comes from the header. The sample rate is not in
// the header: it defaults by family tag ("ZyXEL" 9600, "CIRRU" at 8 bits 4800,
// "ROCK " 7200, others 8000) and -r sets it. -l reads the codes of a byte from
// the lowest bits first (libraries started with the start flag 1: vendor
// codes 60 and 63, and code 31 with its usual firmware).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "voice/sbcoder.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: voxplay [-r rate] [-l] input.vox output.wav\n");
    return 2;
}

void put16(std::vector<std::uint8_t>& b, std::uint16_t v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}

std::uint32_t default_rate(const std::string& tag, int coding)
{
    if (tag == "ZyXEL") return 9600;
    if (tag == "CIRRU" && coding == 8) return 4800;
    if (tag == "ROCK ") return 7200;
    return 8000;
}

}  // namespace

int main(int argc, char** argv)
{
    std::uint32_t rate = 0;
    int startflag = 0;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (std::strcmp(argv[i], "-l") == 0) {
            startflag = 1;
        } else if (std::strcmp(argv[i], "-r") == 0 && i + 1 < argc) {
            long r = std::strtol(argv[++i], nullptr, 10);
            if (r < 1000 || r > 48000) return usage();
            rate = std::uint32_t(r);
        } else {
            return usage();
        }
    }
    if (argc - i != 2) return usage();
    const char* in = argv[i];
    const char* out = argv[i + 1];

    std::FILE* f = std::fopen(in, "rb");
    if (!f) {
        std::fprintf(stderr, "voxplay: cannot open %s\n", in);
        return 1;
    }
    std::vector<std::uint8_t> file;
    std::uint8_t buf[8192];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) file.insert(file.end(), buf, buf + n);
    std::fclose(f);
    if (file.size() < 16 || file[5] != 0x02) {
        std::fprintf(stderr, "voxplay: %s has no voice file header\n", in);
        return 1;
    }
    const std::string tag(file.begin(), file.begin() + 5);
    const int coding = file[10];
    sb_coder coder;
    if (sb_start(&coder, coding, std::int16_t(startflag), tag == "AT&T ") != 0) {
        std::fprintf(stderr, "voxplay: coding %d is not 2, 4 or 8 bits\n", coding);
        return 1;
    }
    if (rate == 0) rate = default_rate(tag, coding);

    const std::uint32_t codes = std::uint32_t(file.size() - 16);
    std::vector<std::int16_t> samples(std::size_t(codes) * (8 / coding));
    std::uint32_t n = sb_expand(&coder, file.data() + 16, codes, samples.data(), std::uint32_t(samples.size()));

    std::vector<std::uint8_t> wav = {'R', 'I', 'F', 'F'};
    put32(wav, 36 + 2 * n);
    for (char c : std::string("WAVEfmt ")) wav.push_back(std::uint8_t(c));
    put32(wav, 16);
    put16(wav, 1);
    put16(wav, 1);
    put32(wav, rate);
    put32(wav, rate * 2);
    put16(wav, 2);
    put16(wav, 16);
    for (char c : std::string("data")) wav.push_back(std::uint8_t(c));
    put32(wav, 2 * n);
    for (std::uint32_t k = 0; k < n; ++k) put16(wav, std::uint16_t(samples[k]));

    std::FILE* o = std::fopen(out, "wb");
    bool ok = o && std::fwrite(wav.data(), 1, wav.size(), o) == wav.size();
    if (o && std::fclose(o) != 0) ok = false;
    if (!ok) {
        std::remove(out);
        std::fprintf(stderr, "voxplay: cannot write %s\n", out);
        return 1;
    }
    std::printf("%s: \"%s\" %d-bit coding, %u samples at %u Hz (%.2f s) -> %s\n", in, tag.c_str(), coding, n, rate,
                double(n) / rate, out);
    return 0;
}
