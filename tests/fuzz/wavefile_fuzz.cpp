// Any bytes as a WAV prompt: the WAV reader, the converters built on it and the
// compressor road's own parser must end, stay within their buffers, and report
// a status rather than crash. And any bytes written as samples, in writes of
// any length, read back as the same samples with the same format.

#include <cstdint>
#include <cstdio>
#include <string>
#include <cstring>

#include "voice/adpcm.h"
#include "voice/wavefile.h"
#include "tests/fuzz/fuzzkit.h"

namespace {

void write_and_read_back(const std::uint8_t* data, std::size_t size, const std::string& name)
{
    if (size < 4) return;
    setup_context ctx{};
    wave_file_record out = {};
    out.bitspersample = (data[0] & 1) ? 16 : 8;
    out.formattag = 1;
    static const std::int32_t rates[] = {7200, 8000, 9600, 11025};
    out.samplerate = rates[(data[0] >> 1) & 3];
    const std::size_t piece = std::size_t(data[1]) + 1;
    data += 2;
    size -= 2;
    if (UL_wfwriteopen(&ctx, name.c_str(), &out) != ST_OK) fuzzkit::broken("a WAV is created");
    for (std::size_t at = 0; at < size; at += piece) {
        std::size_t n = size - at < piece ? size - at : piece;
        fuzzkit::require(UL_wfwritedata(&ctx, &out, data + at, std::int16_t(n)) == ST_OK, "samples are written");
    }
    fuzzkit::require(UL_wfwriteclose(&ctx, &out) == ST_OK, "the WAV is closed complete");

    wave_file_record in = {};
    fuzzkit::require(UL_wfreadopen(&ctx, name.c_str(), &in) == ST_OK, "the written WAV reads");
    fuzzkit::require(in.bitspersample == out.bitspersample && in.samplerate == out.samplerate && in.formattag == 1,
                     "the format reads back");
    fuzzkit::require(in.datasize == size, "the data chunk holds every byte written");
    std::string back;
    std::uint8_t buf[300];
    std::int16_t n = 0;
    do {
        fuzzkit::require(UL_wfreaddata(&ctx, &in, buf, sizeof buf, &n) == ST_OK, "the samples read");
        if (n > 0) back.append(reinterpret_cast<const char*>(buf), std::size_t(n));
    } while (n == sizeof buf);
    UL_wfreadclose(&ctx, &in);
    fuzzkit::require(back == std::string(reinterpret_cast<const char*>(data), size), "the samples read back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string wav = fuzzkit::scratch() + "P.WAV";
    static const std::string out = fuzzkit::scratch() + "Q.WAV";
    if (!fuzzkit::write_file(wav, data, size)) return 0;

    setup_context ctx{};
    wave_file_record rec = {};
    if (UL_wfreadopen(&ctx, wav.c_str(), &rec) == ST_OK) {
        std::uint8_t buf[333];
        std::int16_t n = 0;
        std::uint32_t total = 0;
        do {
            UL_wfreaddata(&ctx, &rec, buf, sizeof buf, &n);
            if (n > 0) total += std::uint32_t(n);
            if (total > rec.datasize || total > size) __builtin_trap();  // never past the data chunk
        } while (n == sizeof buf);
        UL_wfreadclose(&ctx, &rec);
    }

    wf_stream* s = nullptr;
    if (wf_openread(&ctx, wav.c_str(), &s) == ST_OK) {
        wf_format format;
        std::uint32_t fmtsize = 0, datasize = 0;
        if (wf_readformat(s, &format, &fmtsize) == WF_PARSED && wf_leaveformat(s) == WF_PARSED)
            wf_finddata(s, &datasize);
        wf_close(s);
    }

    LV_decodewavefile(&ctx, wav.c_str(), out.c_str(), 8);
    UL_wfresample(&ctx, wav.c_str(), out.c_str(), 8000, 16);

    write_and_read_back(data, size, out);
    return 0;
}
