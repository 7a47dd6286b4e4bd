// Any bytes as the one prompt of the prompt directory, converted on the road
// of a vendor code (voice file through the compressor library, resampling,
// ADPCM decoding, none): the conversion ends with a status it may give, the
// library is released, no temporary is left, and every file it leaves is
// either the prompt as it was or a complete file of the modem's format.
#include <dirent.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "files/fileutil.h"
#include "shell/context.h"
#include "shell/text.h"
#include "tests/fuzz/fuzzkit.h"
#include "tests/native/doubles/shell_doubles.h"
#include "tests/native/doubles/voice_doubles.h"
#include "voice/adpcm.h"
#include "voice/compressor.h"
#include "voice/convertscript.h"
#include "voice/wavefile.h"

namespace {

// Every row of the road table is reached by one of these (-1: a code of no row).
const std::int16_t vendors[] = {0, 3, 5, 6, 7, 8, 9, 11, 12, 13, 14, 18, 21, 22, 31, 41,
                                51, 52, 59, 60, 61, 62, 63, 64, 65, 69, 98, -1};

// What a conversion step may report: the WAV library's statuses, the file
// utilities' and the general failure.
const std::set<status_t> allowed = {ST_OK,          ST_GENERAL,        ST_CANCELLED,        ST_WAVE_NOT_OPENED,
                                    ST_WAVE_NOT_WRITTEN, ST_WAVE_BAD_FORMAT, ST_OPEN_FAILED, ST_CREATE_FAILED,
                                    ST_READ_SHORT,  ST_WRITE_SHORT};

std::vector<std::string> listing(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
        closedir(d);
    }
    return names;
}

void clear(const std::string& dir)
{
    for (const std::string& n : listing(dir)) unlink((dir + n).c_str());
}

// A WAV the installer's reader accepts with these properties, read to the end.
void require_wave(setup_context* ctx, const std::string& name, std::int32_t rate, std::int16_t bits,
                  std::int16_t formattag)
{
    wave_file_record rec = {};
    fuzzkit::require(UL_wfreadopen(ctx, name.c_str(), &rec) == ST_OK, "a converted prompt is a readable WAV");
    fuzzkit::require(rec.formattag == formattag, "a converted prompt has the road's format tag");
    fuzzkit::require(rec.bitspersample == bits, "a converted prompt has the road's sample size");
    fuzzkit::require(rec.samplerate == rate, "a converted prompt has the road's rate");
    std::uint8_t buffer[512];
    std::uint32_t total = 0;
    std::int16_t got = 0;
    do {
        fuzzkit::require(UL_wfreaddata(ctx, &rec, buffer, sizeof buffer, &got) == ST_OK, "its samples read");
        total += std::uint32_t(got > 0 ? got : 0);
    } while (got == sizeof buffer);
    fuzzkit::require(total == rec.datasize, "its data chunk holds what its header states");
    fuzzkit::require(total % std::uint32_t(bits / 8) == 0, "its data is whole samples");
    UL_wfreadclose(ctx, &rec);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Byte 0 picks the vendor code, byte 1 the settings; the rest is the prompt.
    if (size < 2) return 0;
    const std::int16_t vendor = vendors[data[0] % (sizeof vendors / sizeof vendors[0])];
    const std::uint8_t settings = data[1];
    data += 2;
    size -= 2;

    const std::string& root = fuzzkit::scratch();
    const std::string dir = root + "SCRIPT1/";
    static const bool made = [&] {
        mkdir(dir.c_str(), 0755);
        return fuzzkit::write_file(root + "LIB.DLL", "library");
    }();
    (void)made;
    clear(dir);
    const std::string prompt = dir + "P.WAV";
    const std::vector<std::uint8_t> original(data, data + size);
    if (!fuzzkit::write_file(prompt, data, size)) return 0;

    setup_context ctx{};
    UL_copytext(ctx.pathname, root.c_str());
    ctx.INS_vendor = vendor;
    ctx.INS_iniuse8000waveatt = settings & 1;
    ctx.usrversion = (settings >> 1) & 1;
    // Product 1 with CONVERTVOX 1 or 2 decodes ADPCM prompts; the others take the vendor's road.
    const bool decode = (settings & 0x0C) == 0x0C;
    ctx.INS_whichprogram = decode ? 1 : 2;
    ctx.INS_convertvox = decode ? std::int16_t(1 + ((settings >> 4) & 1)) : 0;
    doubles::reset_voice();
    doubles::winversion = 1;
    doubles::checkabort_calls = 0;
    doubles::stop_at_call = 0;

    std::int16_t sourcetag = 0;
    wave_file_record source = {};
    if (UL_wfreadopen(&ctx, prompt.c_str(), &source) == ST_OK) {
        sourcetag = source.formattag;
        UL_wfreadclose(&ctx, &source);
    }

    const vendor_road* road = LV_findroad(&ctx);
    if (!decode && road->road == ROAD_VOICEFILE) {
        std::int32_t error = 0;
        const bool indexed = vendor == 60 || vendor == 63;
        ctx.sblibrary = LV_sysload((root + "LIB.DLL").c_str(), &error);
        ctx.sbvendorindex = indexed ? 1 : -1;
        ctx.sbstartentry = LV_sysentry(ctx.sblibrary, indexed ? "SB_initcompressvendor" : "SB_initcompress");
        ctx.sbcompressentry = LV_sysentry(ctx.sblibrary, indexed ? "SB_compressvendor" : "SB_compress");
    }

    const status_t st = INS_convertscript(&ctx);
    fuzzkit::require(allowed.count(st) != 0, "the conversion reports a status it may give");
    fuzzkit::require(ctx.sblibrary == nullptr && doubles::libraries_open == 0, "the library is released");

    std::vector<std::uint8_t> after;
    fuzzkit::require(fuzzkit::read_file(prompt, &after), "the prompt is still there");
    const bool unchanged = after == original;
    for (const std::string& n : listing(dir))
        fuzzkit::require(n == "P.WAV" || n == "P.VOX", "nothing but the prompt and its voice file is left");

    if (decode) {
        if (!unchanged) {
            fuzzkit::require(st == ST_OK, "a decoded prompt was decoded without a failure");
            wave_file_record rec = {};
            fuzzkit::require(UL_wfreadopen(&ctx, prompt.c_str(), &rec) == ST_OK, "a decoded prompt reads");
            const std::int32_t rate = rec.samplerate;
            fuzzkit::require(rec.datasize % 160 == 0, "whole blocks of 80 ADPCM bytes are decoded");
            UL_wfreadclose(&ctx, &rec);
            require_wave(&ctx, prompt, rate, 8, 1);
        }
        return 0;
    }
    fuzzkit::require(st == ST_OK, "a prompt that cannot be converted does not stop the installation");
    switch (road->road) {
    case ROAD_NONE:
        fuzzkit::require(unchanged && !fuzzkit::exists(dir + "P.VOX"), "no road leaves the prompt alone");
        break;
    case ROAD_RESAMPLE:
        fuzzkit::require(!fuzzkit::exists(dir + "P.VOX"), "resampling writes no voice file");
        // The resampler keeps the prompt's format tag, whatever it says.
        if (!unchanged) require_wave(&ctx, prompt, road->rate, road->bits, sourcetag);
        break;
    case ROAD_VOICEFILE: {
        fuzzkit::require(unchanged, "the voice file road keeps the prompt");
        std::vector<std::uint8_t> voice;
        if (!fuzzkit::read_file(dir + "P.VOX", &voice)) break;
        std::uint8_t header[VOICEHEADERSIZE];
        LV_makeheader(header, road->tag, std::uint8_t(road->coding));
        fuzzkit::require(voice.size() >= VOICEHEADERSIZE, "a voice file has its header");
        fuzzkit::require(std::memcmp(voice.data(), header, VOICEHEADERSIZE) == 0, "the header names the coding");
        const compressor_params p = LV_compressorparams(&ctx);
        const std::size_t perblock = (std::size_t(p.blocklength / 2) * road->coding + 7) / 8;
        fuzzkit::require((voice.size() - VOICEHEADERSIZE) % perblock == 0, "the voice file is whole blocks");
        break;
    }
    }
    return 0;
}
