// The three file converters: ADPCM WAV to PCM WAV, headed ADPCM prompt to a
// companded voice file, and 11025 Hz WAV to the modem's rate.
#include <cstring>

#include "files/checkabort.h"
#include "files/fileutil.h"
#include "files/log.h"
#include "modem/vendors.h"
#include "shell/text.h"
#include "voice/adpcm.h"
#include "voice/wavefile.h"

namespace {

// The name written: the target itself, or for a conversion in place a
// temporary beside it (its extension replaced by ".XXX").
void output_name(char out[TEXTSIZE], const char* source, const char* target, bool* temporary)
{
    *temporary = UL_equalnocase(source, target);
    UL_copytext(out, TEXTSIZE, target);
    if (!*temporary) return;
    if (char* dot = std::strrchr(out, '.')) *dot = '\0';
    UL_appendtext(out, TEXTSIZE, ".XXX");
}

// A prompt that its conversion cannot replace stays as it was; the failure
// names it.
status_t not_replaced(setup_context* ctx, const char* prompt, status_t st)
{
    UL_logerror(ctx, "UL_movefile", st);
    INS_recorderror(ctx, st, prompt);
    return st;
}

// Work area from the page allocator, released on every exit.
struct work_area {
    void* memory = nullptr;
    void* block = nullptr;
    status_t take(std::uint32_t size) { return UL_allocmem(&memory, size, &block); }
    ~work_area()
    {
        if (block) UL_freemem(block);
    }
};

void to_samples(const std::uint8_t* bytes, std::int32_t count, std::int16_t* samples)
{
    for (std::int32_t i = 0; i < count; ++i)
        samples[i] = std::int16_t(std::uint16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
}

void to_bytes(const std::int16_t* samples, std::int32_t count, std::uint8_t* bytes)
{
    for (std::int32_t i = 0; i < count; ++i) {
        bytes[2 * i] = std::uint8_t(std::uint16_t(samples[i]));
        bytes[2 * i + 1] = std::uint8_t(std::uint16_t(samples[i]) >> 8);
    }
}

// A plain file a converter opened, closed on every way out.
struct owned_file {
    setup_context* ctx;
    ul_file handle = 0;
    explicit owned_file(setup_context* c) : ctx(c) {}
    owned_file(const owned_file&) = delete;
    owned_file& operator=(const owned_file&) = delete;
    ~owned_file() { close(); }
    void close()
    {
        if (handle) UL_closefile(ctx, handle);
        handle = 0;
    }
};

// The two files of a WAV-to-WAV conversion, owned. Whichever way a converter
// leaves, what was opened is closed and an unfinished temporary removed, so the
// prompt stays as it was; finish() ends a conversion that ran through, putting
// the temporary in the source's place when it succeeded.
class wave_conversion {
public:
    wave_file_record in = {};
    wave_file_record out = {};

    wave_conversion(setup_context* ctx, const char* source, const char* target) : ctx_(ctx), source_(source)
    {
        output_name(outname_, source, target, &temporary_);
    }
    wave_conversion(const wave_conversion&) = delete;
    wave_conversion& operator=(const wave_conversion&) = delete;
    ~wave_conversion()
    {
        if (!finished_) close(ST_GENERAL);
    }

    status_t open_source() { return UL_wfreadopen(ctx_, source_, &in); }
    // The output's format starts as the source's; the caller changes what differs.
    void take_format()
    {
        out = in;
        out.handle = nullptr;
    }
    status_t open_target()
    {
        writing_ = true;
        return UL_wfwriteopen(ctx_, outname_, &out);
    }
    status_t finish(status_t st)
    {
        finished_ = true;
        return close(st);
    }

private:
    status_t close(status_t st)
    {
        status_t closed = UL_wfwriteclose(ctx_, &out);
        if (st == ST_OK) st = closed;
        UL_wfreadclose(ctx_, &in);
        if (temporary_ && writing_) {
            if (st == ST_OK) {
                st = UL_movefile(outname_, source_);
                if (st != ST_OK) not_replaced(ctx_, source_, st);
            }
            if (st != ST_OK) UL_deletefile(outname_);
        }
        return st;
    }

    setup_context* ctx_;
    const char* source_;
    char outname_[TEXTSIZE];
    bool temporary_ = false;
    bool writing_ = false;
    bool finished_ = false;
};

}  // namespace

status_t LV_decodewavefile(setup_context* ctx, const char* source, const char* target, std::int16_t bits)
{
    enum { BLOCK = 80, SAMPLES = 2 * BLOCK };
    if (bits != 8 && bits != 16) return ST_GENERAL;
    wave_conversion files(ctx, source, target);
    RETURN_IF_FAILED(files.open_source());
    UL_logshort(ctx, "bps=", files.in.bitspersample);
    UL_loglonghex(ctx, "format=", std::uint32_t(std::uint16_t(files.in.formattag)));

    files.take_format();
    files.out.bitspersample = bits;
    files.out.formattag = 1;
    work_area work;
    RETURN_IF_FAILED(work.take(BLOCK + SAMPLES * 2 + SAMPLES * 2));
    RETURN_IF_FAILED(files.open_target());

    std::uint8_t* codes = static_cast<std::uint8_t*>(work.memory);
    std::int16_t* samples = reinterpret_cast<std::int16_t*>(codes + BLOCK);
    std::uint8_t* bytes = codes + BLOCK + SAMPLES * 2;
    LV_adpcminit(ctx);
    std::int32_t outlen = 0;
    status_t st = ST_OK;
    for (;;) {
        std::int16_t got = 0;
        st = UL_wfreaddata(ctx, &files.in, codes, BLOCK, &got);
        // A failing read is no end of the prompt: the conversion fails and the prompt stays.
        if (st == ST_OK && got < 0) st = ST_READ_SHORT;
        if (st != ST_OK || got < BLOCK) break;
        LV_adpcmdecode(ctx, codes, BLOCK, samples, &outlen);
        if (bits == 8) {
            UL_pcm16to8(ctx, samples, std::int16_t(outlen), bytes);
            st = UL_wfwritedata(ctx, &files.out, bytes, SAMPLES);
        } else {
            to_bytes(samples, SAMPLES, bytes);
            st = UL_wfwritedata(ctx, &files.out, bytes, SAMPLES * 2);
        }
        if (st != ST_OK) break;
    }
    UL_logshort(ctx, "outlen=", std::int16_t(outlen));
    return files.finish(st);
}

status_t LV_convertvoxfile(setup_context* ctx, const char* name)
{
    enum { BLOCK = 1024 };
    std::uint8_t header[VOICEHEADERSIZE];
    LV_makeheader(header, ctx->INS_vendor == VENDOR_ATT ? "AT&T " : "SIERR", 8);
    LV_adpcminit(ctx);

    work_area work;
    RETURN_IF_FAILED(work.take(BLOCK + 2 * BLOCK * 2 + 2 * BLOCK));
    std::uint8_t* codes = static_cast<std::uint8_t*>(work.memory);
    std::int16_t* samples = reinterpret_cast<std::int16_t*>(codes + BLOCK);
    std::uint8_t* companded = codes + BLOCK + 2 * BLOCK * 2;

    owned_file in(ctx);
    RETURN_IF_FAILED(UL_openreadfile(ctx, name, UL_SHARED, &in.handle));
    std::uint8_t ownheader[VOICEHEADERSIZE];
    RETURN_IF_FAILED(UL_readdata(ctx, in.handle, ownheader, VOICEHEADERSIZE));
    char temp[TEXTSIZE];
    UL_makepath(temp, ctx->pathname, "SCRIPT1\\x");
    owned_file out(ctx);
    RETURN_IF_FAILED(UL_createfile(ctx, temp, UL_SHARED, &out.handle));
    status_t st = UL_writedata(ctx, out.handle, header, VOICEHEADERSIZE);
    while (st == ST_OK) {
        st = UL_checkabort(ctx);
        if (st != ST_OK) break;
        std::int32_t got = UL_readchecked(in.handle, codes, BLOCK);
        if (got < 0) {
            // A failing read is no end of the prompt.
            st = ST_READ_SHORT;
            break;
        }
        if (got == 0) {
            in.close();
            out.close();
            st = UL_movefile(temp, name);
            if (st == ST_OK) return ST_OK;
            not_replaced(ctx, name, st);
            break;
        }
        INS_addfilesize(ctx, std::uint32_t(got));
        std::int32_t produced = 0;
        LV_adpcmdecode(ctx, codes, std::int16_t(got), samples, &produced);
        std::int16_t count = 0;
        LV_compand8(ctx, samples, std::int16_t(produced), companded, &count);
        st = UL_writedata(ctx, out.handle, companded, std::uint16_t(count));
        if (st == ST_OK) INS_addfilesize(ctx, std::uint32_t(count));
    }
    in.close();
    out.close();
    // The prompt stays as it was; no half-converted copy is left behind.
    UL_deletefile(temp);
    return st;
}

status_t UL_wfresample(setup_context* ctx, const char* source, const char* target, std::int32_t rate,
                       std::int16_t bits)
{
    enum { MAXCHUNK = 2048 };
    if (bits != 8 && bits != 16) return ST_GENERAL;
    wave_conversion files(ctx, source, target);
    RETURN_IF_FAILED(files.open_source());
    const wave_file_record& in = files.in;
    if (in.samplerate != 11025) return ST_WAVE_NOT_11025;
    UL_logshort(ctx, "inbps=", in.bitspersample);
    std::int16_t chunk = 0;
    RETURN_IF_FAILED(UL_wfratechunk(ctx, 11025, rate, &chunk));
    work_area work;
    RETURN_IF_FAILED(work.take(MAXCHUNK * 2 + MAXCHUNK * 2 + MAXCHUNK + MAXCHUNK * 2));
    std::uint8_t* raw = static_cast<std::uint8_t*>(work.memory);        // the chunk as read
    std::int16_t* wide = reinterpret_cast<std::int16_t*>(raw + MAXCHUNK * 2);  // 16-bit samples
    std::uint8_t* narrow = raw + MAXCHUNK * 4;                          // 8-bit samples
    std::uint8_t* kept = narrow + MAXCHUNK;                             // output bytes

    files.take_format();
    files.out.bitspersample = bits;
    files.out.samplerate = rate;
    RETURN_IF_FAILED(files.open_target());

    const bool eightbit = in.bitspersample == 8;
    std::int16_t outlen = 0;
    std::int32_t total = 0;
    status_t st = ST_OK;
    for (;;) {
        std::int16_t want = std::int16_t(eightbit ? chunk : 2 * chunk), got = 0;
        st = UL_wfreaddata(ctx, &files.in, raw, want, &got);
        if (st == ST_OK && got < 0) st = ST_READ_SHORT;
        if (st != ST_OK || got < want) break;
        if (eightbit) {
            std::memcpy(narrow, raw, std::size_t(chunk));
            for (std::int16_t i = 0; i < chunk; ++i) wide[i] = std::int16_t((narrow[i] - 128) * 256);
        } else {
            to_samples(raw, chunk, wide);
            UL_pcm16to8(ctx, wide, want, narrow);
        }
        if (bits == 8) {
            UL_wfdecimate(ctx, 11025, rate, narrow, chunk, kept, &outlen);
            st = UL_wfwritedata(ctx, &files.out, kept, outlen);
        } else {
            // A 16-bit target holds 16-bit samples, as its header says.
            std::int16_t* picked = reinterpret_cast<std::int16_t*>(raw);  // the raw chunk is no longer needed
            outlen = LV_decimate16(11025, rate, wide, chunk, picked);
            to_bytes(picked, outlen, kept);
            st = UL_wfwritedata(ctx, &files.out, kept, std::int16_t(2 * outlen));
        }
        if (st != ST_OK) break;
        total += outlen;
    }
    UL_logshort(ctx, "outlen=", outlen);
    UL_loglong(ctx, "totallen=", total);
    UL_logshort(ctx, "outbps=", bits);
    UL_loglong(ctx, "outrate=", rate);
    return files.finish(st);
}
