// The voice prompt conversion driver: the road per vendor code, the passes
// over the prompt directory, the conversion of one prompt into a modem voice
// file (locally through the compressor library, or by the external converter).
#pragma once
#include <cstdint>

#include "shell/context.h"
#include "voice/voice.h"

enum voice_road { ROAD_VOICEFILE, ROAD_RESAMPLE, ROAD_NONE };
enum road_condition { ANY_SETTING, ATT8000_OFF, ATT8000_ON };

struct vendor_road {
    std::int16_t vendors[7];  // the codes of the row, ended by -1
    road_condition when;      // USE8000WAVEATT for the AT&T codes
    voice_road road;
    const char* tag;          // voice file: header tag
    std::int16_t coding;      // voice file: bits per sample
    std::int32_t rate;        // resampling: samples per second
    std::int16_t bits;        // resampling: bits per sample
    bool rockwell;            // external converter on Windows NT; prompts deleted with USEVOXROCK
};

// The row for the context's vendor code (first hit wins; the last row takes every other code).
const vendor_road* LV_findroad(const setup_context* ctx);

status_t INS_decodeprompts(setup_context* ctx);
status_t INS_resampleprompts(setup_context* ctx, std::int32_t rate, std::int16_t bits);
status_t LV_wavetomodem(setup_context* ctx, const char* wavename, const char* voicename, std::int16_t coding);
status_t LVWAVE_wavetomodem(setup_context* ctx, const char* wavename, const char* voicename, std::int16_t coding);
status_t INS_StartTask(setup_context* ctx, const char* cmdline, std::uint32_t timeout);

// The rate-ratio step of LV_wavetomodem. Appends the sample to the scaled
// block when its position is kept. Returns 1 when the same sample is to be
// offered again (a prompt slower than the modem: samples are repeated), else 0.
// The ratio is the context's LV_scaleratio; the reset starts a prompt.
void LV_scalereset(setup_context* ctx);
std::uint16_t LV_scalesample(setup_context* ctx, std::int16_t* block, std::int16_t* waiting, std::int16_t sample);

// Platform side: a started program.
struct lv_task {
    ul_handle process;
    ul_handle thread;
};
// Starts the command line in a new console; false with the system's error code.
bool LV_sysstart(const char* cmdline, lv_task* task, std::int32_t* error);
// Waits up to ms for the program: ended (with its exit code), still running
// when the time passed, or failed (at once, the system's error code left for
// UL_lasterror).
enum lv_wait { LV_WAIT_ENDED, LV_WAIT_RUNNING, LV_WAIT_FAILED };
lv_wait LV_syswait(lv_task* task, std::uint32_t ms, std::uint32_t* exitcode);
// Ends the program (exit code 0).
void LV_systerminate(lv_task* task);
void LV_sysclose(lv_task* task);
