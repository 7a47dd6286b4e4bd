// One prompt into a modem voice file: locally through the compressor library,
// or by the external converter VEQWAVE; and the start of an external program.
#include <cstdio>
#include <cstring>

#include "files/expand.h"
#include "files/fileutil.h"
#include "files/log.h"
#include "shell/platform.h"
#include "shell/text.h"
#include "voice/adpcm.h"
#include "voice/compressor.h"
#include "voice/convertscript.h"
#include "voice/wavefile.h"

namespace {

enum { MAXBLOCK = 1024 };  // samples

struct work_area {
    void* memory = nullptr;
    void* block = nullptr;
    ~work_area()
    {
        if (block) UL_freemem(block);
    }
};

// Compresses one full block and appends the library's output to the voice file.
status_t compress_block(setup_context* ctx, ul_file voice, const std::int16_t* samples, std::int16_t blocklength,
                        std::uint8_t* output)
{
    std::uint16_t count = 0;
    RETURN_IF_FAILED(LV_compress(ctx, samples, blocklength, output, &count));
    if (count > SB_OUTPUTAREA) {
        // The library wrote past the area it was given; its output cannot be trusted.
        if (UL_logdetail(ctx)) UL_loglong(ctx, "compress count=", count);
        return ST_GENERAL;
    }
    RETURN_IF_FAILED(UL_writedata(ctx, voice, output, count));
    INS_addfilesize(ctx, std::uint32_t(blocklength));
    return ST_OK;
}

status_t parse_status(wf_parse_result r)
{
    switch (r) {
    case WF_PARSED: return ST_OK;
    case WF_ERR_CHUNK: return LV_ERR_CHUNK;
    case WF_ERR_TYPE: return LV_ERR_TYPE;
    case WF_ERR_FMT: return LV_ERR_FMT;
    case WF_ERR_FMTSIZE: return LV_ERR_FMTSIZE;
    default: return ST_WAVE_BAD_FORMAT;
    }
}

status_t convert_samples(setup_context* ctx, wf_stream* wave, ul_file voice, std::int16_t blocklength,
                         std::int32_t modemrate, std::int16_t* input, std::uint8_t* output, std::int16_t* scaled)
{
    wf_format format;
    std::uint32_t fmtsize = 0;
    RETURN_IF_FAILED(parse_status(wf_readformat(wave, &format, &fmtsize)));
    UL_loglong(ctx, "samples=", std::int32_t(format.samplespersec));
    std::int64_t ratio = std::int64_t(format.samplespersec) * 100 / modemrate;
    ctx->LV_scaleratio = ratio > 0x7FFFFFFF ? 0x7FFFFFFF : std::int32_t(ratio);
    UL_loglong(ctx, "LV_scaleratio=", ctx->LV_scaleratio);
    LV_scalereset(ctx);
    if (wf_leaveformat(wave) != WF_PARSED) return ST_WAVE_BAD_FORMAT;
    // A ratio of 0 (a rate below a hundredth of the modem's) has no sample to keep.
    if (format.formattag != 1 || format.channels != 1 || format.bitspersample != 16 || ctx->LV_scaleratio < 1)
        return LV_ERR_FORMAT;
    std::uint32_t datasize = 0;
    if (wf_finddata(wave, &datasize) != WF_PARSED) return ST_WAVE_BAD_FORMAT;
    UL_loglong(ctx, "cksize =", std::int32_t(datasize));

    const std::int16_t half = std::int16_t(blocklength / 2);
    std::int16_t waiting = 0;  // in the input block, or in the scaled block
    std::int16_t* current = ctx->LV_scaleratio == 100 ? input : scaled;
    for (std::uint32_t i = 0, count = datasize / 2; i < count; ++i) {
        std::uint8_t b[2];
        if (wf_read(wave, b, 2) != 2) return ST_WAVE_BAD_FORMAT;
        const std::int16_t sample = std::int16_t(std::uint16_t(b[0] | (b[1] << 8)));
        if (ctx->LV_scaleratio == 100) {
            input[waiting++] = sample;
            if (waiting == half) {
                UL_pumpmessage(ctx);
                RETURN_IF_FAILED(compress_block(ctx, voice, input, blocklength, output));
                waiting = 0;
            }
            continue;
        }
        std::uint16_t again;
        do {
            again = LV_scalesample(ctx, scaled, &waiting, sample);
            if (waiting == half) {
                RETURN_IF_FAILED(compress_block(ctx, voice, scaled, blocklength, output));
                waiting = 0;
            }
        } while (again);
    }
    if (waiting > 0) {
        UL_logshort(ctx, "left=", std::int16_t(blocklength - 2 * waiting));
        for (std::int16_t k = waiting; k < half; ++k) current[k] = 0;
        RETURN_IF_FAILED(compress_block(ctx, voice, current, blocklength, output));
    }
    UL_loglong(ctx, "wave to modem filesize =", std::int32_t(datasize));
    return ST_OK;
}

bool drive_of(const char* name, char out[TEXTSIZE])
{
    const char* colon = std::strchr(name, ':');
    if (!colon) return false;
    UL_copyleft(out, TEXTSIZE, name, std::size_t(colon - name) + 1);
    return true;
}

}  // namespace

void LV_scalereset(setup_context* ctx)
{
    ctx->scaleinputcount = 0;
    ctx->scalekeptcount = 0;
    ctx->scalenextkept = 0;
}

std::uint16_t LV_scalesample(setup_context* ctx, std::int16_t* block, std::int16_t* waiting, std::int16_t sample)
{
    if (ctx->scalenextkept == ctx->scaleinputcount) {
        block[(*waiting)++] = sample;
        ++ctx->scalekeptcount;
        std::int64_t next = std::int64_t(ctx->scalekeptcount) * ctx->LV_scaleratio / 100;
        ctx->scalenextkept = next > 0x7FFFFFFF ? 0x7FFFFFFF : std::int32_t(next);
        // A prompt slower than the modem keeps its position: the sample is repeated.
        if (ctx->scalenextkept == ctx->scaleinputcount) return 1;
    }
    ++ctx->scaleinputcount;
    return 0;
}

status_t LV_wavetomodem(setup_context* ctx, const char* wavename, const char* voicename, std::int16_t coding)
{
    const std::uint32_t start = UL_gettickcount();
    UL_logstring(ctx, "wave=", wavename);
    work_area work;
    RETURN_IF_FAILED(UL_allocmem(&work.memory, 8192, &work.block));
    std::int16_t* input = static_cast<std::int16_t*>(work.memory);
    std::uint8_t* output = reinterpret_cast<std::uint8_t*>(input + MAXBLOCK);
    std::int16_t* scaled = reinterpret_cast<std::int16_t*>(output + SB_OUTPUTAREA);

    wf_stream* wave = nullptr;
    if (wf_openread(ctx, wavename, &wave) != ST_OK) {
        UL_logstring(ctx, "wavefile=", wavename);
        return LV_ERR_OPEN;
    }
    ul_file voice = 0;
    status_t st = UL_createfile(ctx, voicename, UL_SHARED, &voice);
    if (st == ST_OK) {
        ctx->voiceheader[VOICEHEADER_CODING] = std::uint8_t(coding);
        st = UL_writedata(ctx, voice, ctx->voiceheader, VOICEHEADERSIZE);
    }
    std::int32_t rate = 0;
    std::int16_t blocklength = 0;
    if (st == ST_OK) {
        st = LV_initcompress(ctx, coding, &rate, &blocklength);
        UL_logshort(ctx, "bytesneeded=", blocklength);
    }
    if (st == ST_OK && (blocklength < 2 || blocklength > 2 * MAXBLOCK || rate <= 0)) st = ST_GENERAL;
    if (st == ST_OK) st = convert_samples(ctx, wave, voice, blocklength, rate, input, output, scaled);
    wf_close(wave);
    if (voice) UL_closefile(ctx, voice);
    if (st == ST_OK) UL_loglong(ctx, "wave to modem time =", std::int32_t(UL_gettickcount() - start));
    return st;
}

status_t LVWAVE_wavetomodem(setup_context* ctx, const char* wavename, const char* voicename, std::int16_t coding)
{
    UL_deletefile(voicename);
    char drive[TEXTSIZE];
    if (!drive_of(wavename, drive)) {
        UL_logerror(ctx, "LVWAVE_wavetomodem", ST_NO_DRIVE);
        return ST_NO_DRIVE;
    }
    char tempin[TEXTSIZE], tempout[TEXTSIZE];
    UL_makepath(tempin, drive, "\\VEQWAVE.WAV");
    UL_makepath(tempout, drive, "\\VEQWAVE.VOX");
    UL_logstring(ctx, "tempmodemfile=", tempout);

    status_t st = INS_expandfile(ctx, tempin, wavename);
    if (st == ST_OK) {
        char program[2 * TEXTSIZE], arguments[3 * TEXTSIZE], cmd[4 * TEXTSIZE];
        UL_copytext(program, ctx->sourcedir);
        UL_appendtext(program, "VEQWAVE");
        std::snprintf(arguments, sizeof arguments, "28673 \"%s\" \"%s\" %d", tempin, tempout, int(coding));
        UL_commandline(cmd, sizeof cmd, program, arguments);
        UL_logstring(ctx, "cmd=", cmd);
        UL_deletefile(tempout);
        st = INS_StartTask(ctx, cmd, 30000);
    }
    if (st == ST_OK) {
        std::uint16_t exists = 0;
        UL_fileexists(tempout, &exists);
        if (!exists) st = ST_NOT_LOADED;
    }
    if (st == ST_OK) st = INS_expandfile(ctx, voicename, tempout);
    if (st != ST_OK) UL_logerror(ctx, "LVWAVE_wavetomodem", st);
    UL_deletefile(tempin);
    UL_deletefile(tempout);
    return st;
}

status_t INS_StartTask(setup_context* ctx, const char* cmdline, std::uint32_t timeout)
{
    UL_logstring(ctx, "INS_StartTask cmdline=", cmdline);
    lv_task task = {};
    std::int32_t error = 0;
    if (!LV_sysstart(cmdline, &task, &error)) {
        UL_loglong(ctx, "Cannot create process rc=%d", error);
        UL_logerror(ctx, "INS_StartTask", ST_TASK_NOT_STARTED);
        return ST_TASK_NOT_STARTED;
    }
    const std::uint32_t start = UL_gettickcount();
    std::uint32_t exitcode = 0;
    lv_wait waited = LV_syswait(&task, 1000, &exitcode);
    while (waited == LV_WAIT_RUNNING && UL_gettickcount() - start <= timeout)
        waited = LV_syswait(&task, 1000, &exitcode);
    // A wait that fails returns at once, again and again: it ends the wait.
    if (waited == LV_WAIT_FAILED && UL_logdetail(ctx)) UL_loglong(ctx, "wait failed rc=", UL_lasterror());
    if (waited != LV_WAIT_ENDED) {
        UL_logerror(ctx, "INS_StartTask", ST_TASK_TIMEOUT);
        LV_systerminate(&task);
        LV_sysclose(&task);
        return ST_TASK_TIMEOUT;
    }
    LV_sysclose(&task);
    if (exitcode != 0 && (exitcode & 0xFFFF) == 0) {
        // An exit code whose low 16 bits are zero would read as success.
        if (UL_logdetail(ctx)) UL_loglong(ctx, "exit code=", std::int32_t(exitcode));
        return ST_GENERAL;
    }
    return status_t(exitcode);
}
