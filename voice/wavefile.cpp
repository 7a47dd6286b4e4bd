// WAV reading and writing over the file utilities: a buffered stream, the
// chunk search of a RIFF reader and the chunk bookkeeping of a RIFF writer.
#include "voice/wavefile.h"

#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "shell/text.h"

enum { WF_BUFFERSIZE = 4096 };

struct wf_stream {
    setup_context* ctx;
    ul_file file;
    void* block;
    std::uint32_t position;  // file offset of buffer[0]
    std::uint32_t pos;       // reading: next byte in the buffer
    std::uint32_t fill;      // bytes in the buffer (read ahead, or waiting to be written)
    bool failed;             // a write of this stream failed
    bool readfailed;         // a read of this stream failed (not the end of the file)
    std::uint64_t riffend;   // end of the RIFF chunk's contents
    std::uint64_t fmtend;    // end of the "fmt " chunk, pad included
    std::uint32_t dataleft;  // record reading: bytes of "data" not yet read
    std::uint8_t buffer[WF_BUFFERSIZE];
};

namespace {

std::uint32_t get32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t get16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
void put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}
void put16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

status_t new_stream(setup_context* ctx, ul_file file, wf_stream** out)
{
    void* p = nullptr;
    void* block = nullptr;
    *out = nullptr;
    if (UL_allocmem(&p, sizeof(wf_stream), &block) != ST_OK) return ST_GENERAL;
    wf_stream* s = static_cast<wf_stream*>(p);
    std::memset(s, 0, sizeof *s);
    s->ctx = ctx;
    s->file = file;
    s->block = block;
    *out = s;
    return ST_OK;
}

// Reading.

std::uint64_t tell_read(const wf_stream* s) { return std::uint64_t(s->position) + s->pos; }

bool seek_read(wf_stream* s, std::uint64_t target)
{
    if (target > 0xFFFFFFFFu) return false;
    if (target >= s->position && target <= std::uint64_t(s->position) + s->fill) {
        s->pos = std::uint32_t(target - s->position);
        return true;
    }
    if (!UL_wfseek(s->file, std::uint32_t(target))) return false;
    s->position = std::uint32_t(target);
    s->pos = s->fill = 0;
    return true;
}

// Searches the chunk id from the current position up to end; on success the
// stream stands at the chunk's contents.
bool find_chunk(wf_stream* s, const char* id, std::uint64_t end, std::uint32_t* size, std::uint64_t* dataoffset)
{
    for (;;) {
        std::uint64_t at = tell_read(s);
        if (at + 8 > end) return false;
        std::uint8_t header[8];
        if (wf_read(s, header, 8) != 8) return false;
        std::uint32_t n = get32(header + 4);
        if (std::memcmp(header, id, 4) == 0) {
            *size = n;
            *dataoffset = at + 8;
            return true;
        }
        if (!seek_read(s, at + 8 + n + (n & 1u))) return false;
    }
}

// Writing.

std::uint32_t tell_write(const wf_stream* s) { return s->position + s->fill; }

bool flush(wf_stream* s)
{
    if (s->fill == 0) return !s->failed;
    status_t st = UL_writedata(s->ctx, s->file, s->buffer, std::uint16_t(s->fill));
    s->position += s->fill;
    s->fill = 0;
    if (st != ST_OK) s->failed = true;
    return !s->failed;
}

bool write_bytes(wf_stream* s, const void* data, std::uint32_t length)
{
    const std::uint8_t* p = static_cast<const std::uint8_t*>(data);
    while (length > 0) {
        std::uint32_t room = WF_BUFFERSIZE - s->fill;
        std::uint32_t n = length < room ? length : room;
        std::memcpy(s->buffer + s->fill, p, n);
        s->fill += n;
        p += n;
        length -= n;
        if (s->fill == WF_BUFFERSIZE && !flush(s)) return false;
    }
    return !s->failed;
}

bool seek_write(wf_stream* s, std::uint32_t target)
{
    if (!flush(s)) return false;
    if (!UL_wfseek(s->file, target)) return false;
    s->position = target;
    return true;
}

// Starts a chunk at the current position with the size the state holds.
bool create_chunk(wf_stream* s, wf_chunk* chunk, const char* id, const char* formtype)
{
    std::uint8_t header[12];
    std::memcpy(chunk->id, id, 4);
    std::memcpy(header, id, 4);
    put32(header + 4, chunk->size);
    std::uint32_t length = 8;
    if (formtype) {
        std::memcpy(chunk->formtype, formtype, 4);
        std::memcpy(header + 8, formtype, 4);
        length = 12;
    }
    chunk->dataoffset = tell_write(s) + 8;
    chunk->dirty = 1;
    return write_bytes(s, header, length);
}

// Ends a chunk at the current position: pads it to an even size and rewrites
// its size when it differs from the one in its header.
bool ascend(wf_stream* s, wf_chunk* chunk)
{
    if (!chunk->dirty) return !s->failed;
    std::uint32_t size = tell_write(s) - chunk->dataoffset;
    if (size & 1u) {
        const std::uint8_t pad = 0;
        if (!write_bytes(s, &pad, 1)) return false;
    }
    if (size != chunk->size) {
        std::uint32_t end = tell_write(s);
        std::uint8_t field[4];
        put32(field, size);
        if (!seek_write(s, chunk->dataoffset - 4) || !write_bytes(s, field, 4) || !seek_write(s, end)) return false;
        chunk->size = size;
    }
    return true;
}

status_t fail_readopen(setup_context* ctx, wf_stream* s, const char* line, status_t st)
{
    if (line) UL_logline(ctx, line);
    UL_logerror(ctx, "UL_wfreadopen", st);
    wf_close(s);
    return st;
}

}  // namespace

status_t wf_openread(setup_context* ctx, const char* name, wf_stream** out)
{
    *out = nullptr;
    ul_file file = 0;
    // The callers trace a failing open in their own words, under their own names.
    RETURN_IF_FAILED(UL_openreadquiet(name, &file));
    if (new_stream(ctx, file, out) != ST_OK) {
        UL_closefile(ctx, file);
        return ST_GENERAL;
    }
    return ST_OK;
}

void wf_close(wf_stream* s)
{
    if (!s) return;
    UL_closefile(s->ctx, s->file);
    UL_freemem(s->block);
}

std::int32_t wf_read(wf_stream* s, void* buffer, std::uint32_t length)
{
    std::uint8_t* p = static_cast<std::uint8_t*>(buffer);
    std::uint32_t total = 0;
    while (total < length) {
        if (s->pos == s->fill) {
            s->position += s->fill;
            s->pos = s->fill = 0;
            std::int32_t got = UL_readchecked(s->file, s->buffer, WF_BUFFERSIZE);
            if (got < 0) s->readfailed = true;
            if (got <= 0) break;
            s->fill = std::uint32_t(got);
        }
        std::uint32_t n = s->fill - s->pos;
        if (n > length - total) n = length - total;
        std::memcpy(p + total, s->buffer + s->pos, n);
        s->pos += n;
        total += n;
    }
    return std::int32_t(total);
}

wf_parse_result wf_readformat(wf_stream* s, wf_format* format, std::uint32_t* fmtsize)
{
    *fmtsize = 0;
    std::uint8_t riff[12];
    if (!seek_read(s, 0) || wf_read(s, riff, 12) != 12) return WF_ERR_CHUNK;
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return WF_ERR_TYPE;
    s->riffend = 8 + std::uint64_t(get32(riff + 4));

    std::uint64_t offset = 0;
    if (!find_chunk(s, "fmt ", s->riffend, fmtsize, &offset)) return WF_ERR_FMT;
    if (*fmtsize < 16) return WF_ERR_FMTSIZE;
    std::uint8_t f[16];
    if (wf_read(s, f, 16) != 16) return WF_ERR_READFMT;
    format->formattag = get16(f);
    format->channels = get16(f + 2);
    format->samplespersec = get32(f + 4);
    format->avgbytespersec = get32(f + 8);
    format->blockalign = get16(f + 12);
    format->bitspersample = get16(f + 14);
    s->fmtend = offset + *fmtsize + (*fmtsize & 1u);
    return WF_PARSED;
}

wf_parse_result wf_leaveformat(wf_stream* s) { return seek_read(s, s->fmtend) ? WF_PARSED : WF_ERR_OUTFMT; }

wf_parse_result wf_finddata(wf_stream* s, std::uint32_t* datasize)
{
    std::uint64_t offset = 0;
    return find_chunk(s, "data", s->riffend, datasize, &offset) ? WF_PARSED : WF_ERR_DATA;
}

status_t UL_wfreadopen(setup_context* ctx, const char* name, wave_file_record* record)
{
    // Whatever the extension, the ".WAV" file of the same stem is read.
    char wavename[TEXTSIZE];
    UL_copytext(wavename, name);
    if (char* dot = std::strrchr(wavename, '.')) *dot = '\0';
    bool fits = std::strlen(wavename) + 4 < sizeof wavename && std::strlen(name) < sizeof wavename;
    UL_appendtext(wavename, ".WAV");

    wf_stream* s = nullptr;
    if (!fits || wf_openread(ctx, wavename, &s) != ST_OK) {
        UL_logstring(ctx, "voicefile=", name);
        UL_logerror(ctx, "UL_wfreadopen", ST_WAVE_NOT_OPENED);
        INS_recorderror(ctx, ST_WAVE_NOT_OPENED, wavename);
        return ST_WAVE_NOT_OPENED;
    }

    wf_format format;
    std::uint32_t fmtsize = 0;
    wf_parse_result r = wf_readformat(s, &format, &fmtsize);
    if (r == WF_ERR_CHUNK) return fail_readopen(ctx, s, "err in chunk", ST_WAVE_BAD_FORMAT);
    if (r == WF_ERR_TYPE) return fail_readopen(ctx, s, "err in type", ST_WAVE_BAD_FORMAT);
    if (r == WF_ERR_FMT) return fail_readopen(ctx, s, "err in fmt", ST_WAVE_BAD_FORMAT);
    UL_loglong(ctx, "datasize = ", std::int32_t(fmtsize));
    if (r == WF_ERR_FMTSIZE) return fail_readopen(ctx, s, "err in fmt size", ST_WAVE_BAD_FORMAT);
    if (r == WF_ERR_READFMT) return fail_readopen(ctx, s, "err in read fmt", ST_WAVE_BAD_FORMAT);
    UL_loglong(ctx, "samplepersec = ", std::int32_t(format.samplespersec));
    UL_loglong(ctx, "wformattag = ", format.formattag);
    if (wf_leaveformat(s) != WF_PARSED) return fail_readopen(ctx, s, "err in out fmt", ST_WAVE_BAD_FORMAT);
    if (format.channels != 1) return fail_readopen(ctx, s, "not mono file 1", ST_WAVE_BAD_FORMAT);
    std::uint32_t datasize = 0;
    if (wf_finddata(s, &datasize) != WF_PARSED) return fail_readopen(ctx, s, "err in data", ST_WAVE_BAD_FORMAT);
    UL_loglong(ctx, "cksize=", std::int32_t(datasize));

    record->bitspersample = std::int16_t(format.bitspersample);
    record->formattag = std::int16_t(format.formattag);
    record->samplerate = std::int32_t(format.samplespersec);
    record->datasize = datasize;
    s->dataleft = datasize;
    record->handle = s;
    return ST_OK;
}

status_t UL_wfreaddata(setup_context* ctx, wave_file_record* record, void* buffer, std::int16_t length,
                       std::int16_t* count)
{
    if (!record->handle) {
        UL_logline(ctx, "UL_wfreaddata handle 0");
        return ST_GENERAL;
    }
    // Reading ends with the "data" chunk: a chunk after it is no sample data.
    wf_stream* s = record->handle;
    if (length < 0) {
        *count = -1;
        return ST_OK;
    }
    std::uint32_t want = std::uint32_t(length) < s->dataleft ? std::uint32_t(length) : s->dataleft;
    std::int32_t got = wf_read(s, buffer, want);
    s->dataleft -= std::uint32_t(got);
    *count = s->readfailed ? std::int16_t(-1) : std::int16_t(got);
    return ST_OK;
}

status_t UL_wfreadclose(setup_context*, wave_file_record* record)
{
    if (record->handle) wf_close(record->handle);
    record->handle = nullptr;
    return ST_OK;
}

status_t UL_wfwriteopen(setup_context* ctx, const char* name, wave_file_record* record)
{
    record->handle = nullptr;
    ul_file file = 0;
    if (UL_createquiet(name, &file) != ST_OK) {
        INS_recorderror(ctx, ST_WAVE_NOT_OPENED, name);
        return ST_WAVE_NOT_OPENED;
    }
    wf_stream* s = nullptr;
    if (new_stream(ctx, file, &s) != ST_OK) {
        UL_closefile(ctx, file);
        return ST_WAVE_NOT_OPENED;
    }

    std::memset(&record->riffchunk, 0, sizeof record->riffchunk);
    std::memset(&record->subchunk, 0, sizeof record->subchunk);
    status_t st = ST_OK;
    if (!create_chunk(s, &record->riffchunk, "RIFF", "WAVE")) st = ST_WAVE_NOT_WRITTEN;
    record->subchunk.size = 18;
    if (st == ST_OK && !create_chunk(s, &record->subchunk, "fmt ", nullptr)) st = ST_WAVE_NOT_WRITTEN;
    if (st == ST_OK) {
        UL_logshort(ctx, "ul bps=", record->bitspersample);
        UL_logshorthex(ctx, "ul format=", record->formattag);
        std::uint8_t f[18];
        const std::int32_t bits = record->bitspersample;
        put16(f, std::uint16_t(record->formattag));
        put16(f + 2, 1);
        put32(f + 4, std::uint32_t(record->samplerate));
        put32(f + 8, std::uint32_t(std::int32_t(std::int64_t(bits) * record->samplerate / 8)));
        put16(f + 12, std::uint16_t(bits / 16 + 1));
        put16(f + 14, std::uint16_t(bits));
        put16(f + 16, 0);
        if (!write_bytes(s, f, sizeof f) || !ascend(s, &record->subchunk)) st = ST_WAVE_NOT_WRITTEN;
    }
    if (st == ST_OK) {
        std::memset(&record->subchunk, 0, sizeof record->subchunk);
        if (!create_chunk(s, &record->subchunk, "data", nullptr)) st = ST_WAVE_NOT_WRITTEN;
    }
    if (st == ST_OK && !ascend(s, &record->subchunk)) {
        UL_logline(ctx, "cannot ascend out of data");
        st = ST_WAVE_NOT_WRITTEN;
    }
    if (st == ST_OK && (!ascend(s, &record->riffchunk) || !flush(s))) {
        UL_logline(ctx, "cannot ascend out of RIFF");
        st = ST_WAVE_NOT_WRITTEN;
    }
    if (st != ST_OK) {
        wf_close(s);
        return st;
    }
    record->handle = s;
    return ST_OK;
}

status_t UL_wfwritedata(setup_context* ctx, wave_file_record* record, const void* buffer, std::int16_t length)
{
    if (!record->handle) return ST_GENERAL;
    if (length < 0 || !write_bytes(record->handle, buffer, std::uint32_t(length))) {
        UL_logline(ctx, "cannot mmiowrite");
        return ST_WAVE_NOT_WRITTEN;
    }
    return ST_OK;
}

status_t UL_wfwriteclose(setup_context* ctx, wave_file_record* record)
{
    wf_stream* s = record->handle;
    if (!s) return ST_OK;
    status_t st = ST_OK;
    if (!ascend(s, &record->subchunk)) {
        UL_logline(ctx, "cannot ascend out of data chunk");
        st = ST_WAVE_NOT_WRITTEN;
    }
    if (!ascend(s, &record->riffchunk) || !flush(s)) {
        UL_logline(ctx, "cannot ascend out of RIFF chunk");
        st = ST_WAVE_NOT_WRITTEN;
    }
    wf_close(s);
    record->handle = nullptr;
    // A file whose samples did not all reach the disk is not reported as written.
    return st;
}
