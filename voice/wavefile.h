// The small WAV library of the voice conversion: mono RIFF/WAVE files with
// one "fmt " and one "data" chunk, samples handled as raw bytes.
#pragma once
#include <cstdint>

#include "shell/context.h"

struct wf_stream;  // the buffered RIFF reader/writer behind a record

// What is needed to rewrite a chunk's size when the chunk is closed.
struct wf_chunk {
    char id[4];
    std::uint32_t size;        // size last written into the header
    char formtype[4];          // "RIFF" only
    std::uint32_t dataoffset;  // file offset of the chunk's contents
    std::uint16_t dirty;       // created here: check the size on closing
};

// wave file record
struct wave_file_record {
    std::int16_t bitspersample;
    std::int16_t formattag;
    std::int32_t samplerate;
    wf_stream* handle;         // null when not open
    wf_chunk riffchunk;        // writing only
    wf_chunk subchunk;         // writing only: "fmt ", then "data"
    std::uint32_t datasize;    // reading only
};

status_t UL_wfreadopen(setup_context* ctx, const char* name, wave_file_record* record);
status_t UL_wfreaddata(setup_context* ctx, wave_file_record* record, void* buffer, std::int16_t length,
                       std::int16_t* count);
status_t UL_wfreadclose(setup_context* ctx, wave_file_record* record);
status_t UL_wfwriteopen(setup_context* ctx, const char* name, wave_file_record* record);
status_t UL_wfwritedata(setup_context* ctx, wave_file_record* record, const void* buffer, std::int16_t length);
status_t UL_wfwriteclose(setup_context* ctx, wave_file_record* record);

// The RIFF reading steps, shared with the converter that feeds the compressor
// libraries (it parses its input itself and reports with its own statuses).
enum wf_parse_result {
    WF_PARSED = 0,
    WF_ERR_CHUNK,     // first chunk cannot be read
    WF_ERR_TYPE,      // not "RIFF"/"WAVE"
    WF_ERR_FMT,       // no "fmt " chunk
    WF_ERR_FMTSIZE,   // "fmt " shorter than 16 bytes
    WF_ERR_READFMT,   // fewer than 16 format bytes
    WF_ERR_OUTFMT,    // leaving "fmt " failed
    WF_ERR_DATA,      // no "data" after "fmt "
};

// The classic 16 bytes of "fmt ".
struct wf_format {
    std::uint16_t formattag;
    std::uint16_t channels;
    std::uint32_t samplespersec;
    std::uint32_t avgbytespersec;
    std::uint16_t blockalign;
    std::uint16_t bitspersample;
};

// Buffered reading stream over an opened file (taken over: closed by wf_close).
status_t wf_openread(setup_context* ctx, const char* name, wf_stream** out);
void wf_close(wf_stream* stream);
// Finds "RIFF"/"WAVE" and in it the "fmt " chunk, reads its classic part.
wf_parse_result wf_readformat(wf_stream* stream, wf_format* format, std::uint32_t* fmtsize);
// Leaves "fmt " and finds "data" after it; the stream then stands at its first byte.
wf_parse_result wf_leaveformat(wf_stream* stream);
wf_parse_result wf_finddata(wf_stream* stream, std::uint32_t* datasize);
// Reads up to length bytes; the number read (0 at the end, -1 on failure).
std::int32_t wf_read(wf_stream* stream, void* buffer, std::uint32_t length);

// Platform side: moves the file position of an open file; false on failure.
bool UL_wfseek(ul_file file, std::uint32_t offset);
