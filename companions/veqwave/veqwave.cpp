// VEQWAVE: the external voice converter for the Rockwell-family modems on
// Windows NT. Converts a mono PCM WAV prompt into a complete modem voice file:
// the 16-byte voice file header ("ROCK ", the coding) and the prompt in
// Rockwell ADPCM at 7200 samples per second, what those modems play.
//
//   VEQWAVE <format> <input.wav> <output.vox> <bits>
//
// format 28673 (0x7001): Rockwell voice file ("ROCK " header) at 7200 Hz.
// bits: 2, 3 or 4. Exit code 0 on success, else the reason: the installer
// takes it as the conversion's status.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "shell/status.h"
#include "voice/rockwell.h"

namespace {

constexpr long FORMAT_ROCK7200 = 28673;
constexpr std::uint32_t MODEM_RATE = 7200;
// The stream ends on a whole 16-bit word (16 samples fill one at any width):
// zero samples, not a code of zero bits, end the prompt.
constexpr std::size_t WORD_SAMPLES = 16;
constexpr std::size_t MAX_INPUT = 64u * 1024 * 1024;

std::uint32_t get32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t get16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }

bool read_file(const char* name, std::vector<std::uint8_t>* out)
{
    std::FILE* f = std::fopen(name, "rb");
    if (!f) return false;
    std::uint8_t buf[8192];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && out->size() <= MAX_INPUT) out->insert(out->end(), buf, buf + n);
    bool ok = !std::ferror(f) && out->size() <= MAX_INPUT;
    std::fclose(f);
    return ok;
}

// Finds a chunk from offset `at` up to `end`; the contents' offset and size.
bool find_chunk(const std::vector<std::uint8_t>& b, std::uint64_t at, std::uint64_t end, const char* id,
                std::uint64_t* contents, std::uint32_t* size)
{
    while (at + 8 <= end && at + 8 <= b.size()) {
        std::uint32_t n = get32(&b[at + 4]);
        if (std::memcmp(&b[at], id, 4) == 0) {
            *contents = at + 8;
            *size = n;
            return true;
        }
        at += 8 + std::uint64_t(n) + (n & 1u);
    }
    return false;
}

int parse(const std::vector<std::uint8_t>& b, std::vector<std::int16_t>* samples, std::uint32_t* rate)
{
    if (b.size() < 12) return LV_ERR_CHUNK;
    if (std::memcmp(&b[0], "RIFF", 4) != 0 || std::memcmp(&b[8], "WAVE", 4) != 0) return LV_ERR_TYPE;
    const std::uint64_t end = 8 + std::uint64_t(get32(&b[4]));
    std::uint64_t fmt = 0, data = 0;
    std::uint32_t fmtsize = 0, datasize = 0;
    if (!find_chunk(b, 12, end, "fmt ", &fmt, &fmtsize)) return LV_ERR_FMT;
    if (fmtsize < 16) return LV_ERR_FMTSIZE;
    if (fmt + 16 > b.size()) return ST_WAVE_BAD_FORMAT;
    const std::uint16_t tag = get16(&b[fmt]), channels = get16(&b[fmt + 2]), bits = get16(&b[fmt + 14]);
    *rate = get32(&b[fmt + 4]);
    if (tag != 1 || channels != 1 || (bits != 8 && bits != 16) || *rate == 0) return LV_ERR_FORMAT;
    if (!find_chunk(b, fmt + fmtsize + (fmtsize & 1u), end, "data", &data, &datasize)) return ST_WAVE_BAD_FORMAT;
    if (data + datasize > b.size()) return ST_WAVE_BAD_FORMAT;
    if (bits == 16) {
        for (std::uint32_t i = 0; i + 1 < datasize; i += 2) samples->push_back(std::int16_t(get16(&b[data + i])));
    } else {
        for (std::uint32_t i = 0; i < datasize; ++i) samples->push_back(std::int16_t((b[data + i] - 128) * 256));
    }
    return ST_OK;
}

// Output sample j is input sample j x rate / modem rate: samples are dropped
// for faster prompts and repeated for slower ones.
std::vector<std::int16_t> to_modem_rate(const std::vector<std::int16_t>& in, std::uint32_t rate)
{
    std::vector<std::int16_t> out;
    for (std::uint64_t j = 0;; ++j) {
        std::uint64_t i = j * rate / MODEM_RATE;
        if (i >= in.size()) break;
        out.push_back(in[i]);
    }
    return out;
}

int usage()
{
    std::fprintf(stderr, "usage: VEQWAVE 28673 input.wav output.vox bits(2|3|4)\n");
    return ST_BAD_REQUEST;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) return usage();
    const long format = std::strtol(argv[1], nullptr, 10);
    const long coding = std::strtol(argv[4], nullptr, 10);
    if (format != FORMAT_ROCK7200 || coding < 2 || coding > 4) return usage();

    std::vector<std::uint8_t> input;
    if (!read_file(argv[2], &input)) {
        std::fprintf(stderr, "VEQWAVE: cannot read %s\n", argv[2]);
        return LV_ERR_OPEN;
    }
    std::vector<std::int16_t> samples;
    std::uint32_t rate = 0;
    int rc = parse(input, &samples, &rate);
    if (rc != ST_OK) {
        std::fprintf(stderr, "VEQWAVE: %s is not a mono PCM wave file (%d)\n", argv[2], rc);
        return rc;
    }
    std::vector<std::int16_t> modem = to_modem_rate(samples, rate);
    if (modem.size() % WORD_SAMPLES) modem.resize(modem.size() + WORD_SAMPLES - modem.size() % WORD_SAMPLES, 0);

    std::vector<std::uint8_t> file = {'R', 'O', 'C', 'K', ' ', 0x02, 0, 0, 0, 0, std::uint8_t(coding), 0, 0, 0, 0, 0};
    vc::rockwell_coder coder;
    vc::rockwell_start(&coder, int(coding), vc::ROCKWELL_SEARCH);
    std::vector<std::uint8_t> data(modem.size() / 2 + 16);
    std::size_t n = vc::rockwell_encode(&coder, modem.data(), modem.size(), data.data());
    n += vc::rockwell_finish(&coder, data.data() + n);
    file.insert(file.end(), data.begin(), data.begin() + std::ptrdiff_t(n));

    std::FILE* f = std::fopen(argv[3], "wb");
    bool written = f && std::fwrite(file.data(), 1, file.size(), f) == file.size();
    if (f && std::fclose(f) != 0) written = false;
    if (!written) {
        // No partial voice file: the installer takes an existing output as converted.
        std::remove(argv[3]);
        std::fprintf(stderr, "VEQWAVE: cannot write %s\n", argv[3]);
        return ST_WAVE_NOT_WRITTEN;
    }
    return ST_OK;
}
