// Any bytes as a WAV prompt: the WAV reader, the converters built on it and the
// compressor road's own parser must end, stay within their buffers, and report
// a status rather than crash.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <cstring>

#include "voice/adpcm.h"
#include "voice/wavefile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static char dir[] = "/tmp/wavefile_fuzz.XXXXXX";
    static const char* made = mkdtemp(dir);
    if (!made) return 0;
    static const std::string wav = std::string(dir) + "/P.WAV";
    static const std::string out = std::string(dir) + "/Q.WAV";
    std::FILE* f = std::fopen(wav.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

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
    return 0;
}
