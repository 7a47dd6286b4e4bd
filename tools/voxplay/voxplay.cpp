// voxplay: turns a modem voice file (16-byte voice file header, then the coded
// voice data) back into a 16-bit PCM WAV file, to hear what the modem plays.
//
//   voxplay [-f family] [-r rate] [-l] input.vox output.wav
//
// The coding (bits per sample) comes from the header, the family of modems
// from its tag: "ROCK " Rockwell ADPCM, "ZyXEL" ZyXEL, "SIERR", "AT&T " and
// "CIRRU" the installer's own codings. "ROCK " is also the tag of the UMC
// (G.721) and US Robotics (GSM) voice files: -f names the family then
// (ima, rockwell, zyxel, g721, gsm). ZyXEL: the bits from the header, most
// significant bit first; G.721: 4-bit codes, the earlier in the low nibble,
// from the standard's reset state; GSM: US Robotics frames, 38-byte (FE FE or
// B6 B6 ... 00 A5 A5) or bare 33-byte, told apart by the first two bytes, the
// header's coding byte aside (GSM has one rate). The sample rate is not in the header: it
// defaults by family (Rockwell and G.721 7200, ZyXEL 9600, 8-bit "CIRRU" 4800,
// others 8000) and -r sets it. -l: the IMA family's codes of a byte from the
// lowest bits first (libraries started with the start flag 1).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "voice/g721.h"
#include "voice/gsm610.h"
#include "voice/rockwell.h"
#include "voice/sbcoder.h"
#include "voice/zyxel.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: voxplay [-f ima|rockwell|zyxel|g721|gsm] [-r rate] [-l] input.vox output.wav\n");
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

struct family_name {
    const char* name;
    sb_family family;
};
const family_name families[] = {{"ima", sb_family::ima},
                                {"rockwell", sb_family::rockwell},
                                {"zyxel", sb_family::zyxel},
                                {"g721", sb_family::g721},
                                {"gsm", sb_family::gsm}};

const char* name_of(sb_family f)
{
    for (const family_name& n : families)
        if (n.family == f) return n.name;
    return "?";
}

// The family a header tag stands for when -f does not say.
sb_family family_of(const std::string& tag)
{
    if (tag == "ROCK ") return sb_family::rockwell;
    if (tag == "ZyXEL") return sb_family::zyxel;
    return sb_family::ima;
}

std::uint32_t default_rate(sb_family family, const std::string& tag, int coding)
{
    switch (family) {
    case sb_family::rockwell:
    case sb_family::g721: return 7200;
    case sb_family::zyxel: return 9600;
    case sb_family::gsm: return 8000;
    default: break;
    }
    if (tag == "ZyXEL") return 9600;
    if (tag == "CIRRU" && coding == 8) return 4800;
    if (tag == "ROCK ") return 7200;
    return 8000;
}

constexpr std::size_t MAX_SAMPLES = 3600u * 9600;

// Decodes the data after the header; an empty message on success, else why not.
std::string decode(sb_family family, int coding, int startflag, bool invert, const std::uint8_t* data,
                   std::size_t n, std::vector<std::int16_t>* out)
{
    switch (family) {
    case sb_family::ima: {
        sb_coder coder;
        if (sb_start(&coder, coding, std::int16_t(startflag), invert) != 0) return "coding is not 2, 4 or 8 bits";
        out->resize(n * (8 / coding));
        out->resize(sb_expand(&coder, data, std::uint32_t(n), out->data(), std::uint32_t(out->size())));
        return "";
    }
    case sb_family::rockwell: {
        if (coding < 2 || coding > 4) return "coding is not 2, 3 or 4 bits";
        vc::rockwell_decoder d;
        vc::rockwell_decoder_start(&d, coding);
        // Four bytes at a time: at most 16 codes, or a silence of up to 32767 samples.
        std::int16_t piece[16 + 32768];
        for (std::size_t at = 0; at < n; at += 4) {
            const std::size_t k = vc::rockwell_decode(&d, data + at, std::min<std::size_t>(4, n - at), piece, sizeof piece / 2);
            out->insert(out->end(), piece, piece + k);
            if (out->size() > MAX_SAMPLES) return "more than an hour of silences: not a voice file";
        }
        const std::size_t k = vc::rockwell_decode_finish(&d, piece, sizeof piece / 2);
        out->insert(out->end(), piece, piece + k);
        return "";
    }
    case sb_family::zyxel: {
        if (coding < 2 || coding > 4) return "coding is not 2, 3 or 4 bits";
        vc::zyxel_decoder d;
        vc::zyxel_decoder_start(&d, coding);
        out->resize(n * 8 / unsigned(coding));
        out->resize(vc::zyxel_decode(&d, data, n, out->data(), out->size()));
        return "";
    }
    case sb_family::g721: {
        if (coding != 4) return "coding is not 4 bits";
        vc::g721_decoder d;
        vc::g721_decoder_start(&d);
        out->resize(2 * n);
        out->resize(vc::g721_decode(&d, data, n, out->data(), out->size()));
        return "";
    }
    case sb_family::gsm: {
        vc::gsm_usr_decoder d;
        vc::gsm_usr_decode_start(&d);
        // Room for one frame per 33 bytes, the shorter framing; all bytes are taken.
        out->resize((n / vc::GSM_FRAME_BYTES + 1) * vc::GSM_FRAME_SAMPLES);
        std::size_t used = 0;
        out->resize(vc::gsm_usr_decode(&d, data, n, &used, out->data(), out->size()));
        if (d.badframes > 0)
            std::fprintf(stderr, "voxplay: %u frames without the modem's opening play as silence\n", unsigned(d.badframes));
        return "";
    }
    default: return std::string("the ") + name_of(family) + " decoder is not built into this voxplay";
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::uint32_t rate = 0;
    int startflag = 0;
    bool named = false;
    sb_family family = sb_family::ima;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (std::strcmp(argv[i], "-l") == 0) {
            startflag = 1;
        } else if (std::strcmp(argv[i], "-r") == 0 && i + 1 < argc) {
            long r = std::strtol(argv[++i], nullptr, 10);
            if (r < 1000 || r > 48000) return usage();
            rate = std::uint32_t(r);
        } else if (std::strcmp(argv[i], "-f") == 0 && i + 1 < argc) {
            ++i;
            named = false;
            for (const family_name& n : families) {
                if (std::strcmp(argv[i], n.name) == 0) {
                    family = n.family;
                    named = true;
                }
            }
            if (!named) return usage();
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
    if (!named) family = family_of(tag);
    if (rate == 0) rate = default_rate(family, tag, coding);

    std::vector<std::int16_t> samples;
    const std::string why = decode(family, coding, startflag, tag == "AT&T ", file.data() + 16, file.size() - 16, &samples);
    if (!why.empty()) {
        std::fprintf(stderr, "voxplay: %s: %s (%d)\n", in, why.c_str(), coding);
        return 1;
    }
    const std::uint32_t n = std::uint32_t(samples.size());

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
    std::printf("%s: \"%s\" %s %d-bit coding, %u samples at %u Hz (%.2f s) -> %s\n", in, tag.c_str(), name_of(family),
                coding, n, rate, double(n) / rate, out);
    return 0;
}
