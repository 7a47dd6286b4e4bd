// Native doubles of the voice conversion's system services.
#include <sys/stat.h>
#include <unistd.h>

#include "shell/platform.h"
#include "tests/native/doubles/voice_doubles.h"
#include "voice/compressor.h"
#include "voice/convertscript.h"
#include "voice/sbcoder.h"
#include "voice/wavefile.h"
#include "tests/native/doubles/hostpath.h"

using doubles::host;

namespace doubles {
std::int32_t load_error = 0;
std::set<std::string> missing_entries;
std::vector<std::string> loaded;
int libraries_open = 0;
bool invert8 = false;
std::uint16_t library_status = 0;
std::vector<sb_call> sb_calls;
std::int32_t task_start_error = 0;
std::uint32_t task_runtime_ms = 0;
std::uint32_t task_exitcode = 0;
bool task_wait_fails = false;
std::function<void(const std::string&)> task_action;
std::vector<std::string> task_commands;
int tasks_terminated = 0;
int tasks_open = 0;

void reset_voice()
{
    load_error = 0;
    missing_entries.clear();
    loaded.clear();
    libraries_open = 0;
    invert8 = false;
    library_status = 0;
    sb_calls.clear();
    task_start_error = 0;
    task_runtime_ms = 0;
    task_exitcode = 0;
    task_wait_fails = false;
    task_action = nullptr;
    task_commands.clear();
    tasks_terminated = 0;
    tasks_open = 0;
}
}  // namespace doubles

namespace {

sb_coder coder;
int library_token;

std::uint16_t SB_CALL fake_initcompress(void* opaque, std::int32_t coding, std::int16_t startflag)
{
    doubles::sb_calls.push_back({"SB_initcompress", opaque, -1, coding, startflag, 0});
    if (doubles::library_status) return doubles::library_status;
    return sb_start(&coder, coding, startflag, doubles::invert8);
}

std::uint16_t SB_CALL fake_compress(void* opaque, const void* samples, std::uint16_t bytecount, void* output,
                                    std::uint16_t* outcount)
{
    doubles::sb_calls.push_back({"SB_compress", opaque, -1, 0, 0, bytecount});
    if (doubles::library_status) return doubles::library_status;
    return sb_compress(&coder, static_cast<const std::uint8_t*>(samples), bytecount,
                       static_cast<std::uint8_t*>(output), outcount);
}

std::uint16_t SB_CALL fake_initcompressvendor(void* opaque, std::int16_t vendorindex, std::int32_t coding,
                                              std::int16_t startflag)
{
    doubles::sb_calls.push_back({"SB_initcompressvendor", opaque, vendorindex, coding, startflag, 0});
    if (doubles::library_status) return doubles::library_status;
    return sb_start(&coder, coding, startflag, doubles::invert8);
}

std::uint16_t SB_CALL fake_compressvendor(void* opaque, std::int16_t vendorindex, const void* samples,
                                          std::uint16_t bytecount, void* output, std::uint16_t* outcount)
{
    doubles::sb_calls.push_back({"SB_compressvendor", opaque, vendorindex, 0, 0, bytecount});
    if (doubles::library_status) return doubles::library_status;
    return sb_compress(&coder, static_cast<const std::uint8_t*>(samples), bytecount,
                       static_cast<std::uint8_t*>(output), outcount);
}

struct fake_task {
    std::uint32_t remaining;
};

}  // namespace

bool UL_wfseek(ul_file file, std::uint32_t offset)
{
    return lseek(int(file) - 1, off_t(offset), SEEK_SET) == off_t(offset);
}

ul_module LV_sysload(const char* path, std::int32_t* error)
{
    struct stat st;
    if (doubles::load_error != 0 || stat(host(path).c_str(), &st) != 0) {
        *error = doubles::load_error ? doubles::load_error : 126;
        return nullptr;
    }
    *error = 0;
    doubles::loaded.push_back(path);
    ++doubles::libraries_open;
    return &library_token;
}

void* LV_sysentry(ul_module, const char* name)
{
    std::string n(name);
    if (doubles::missing_entries.count(n)) return nullptr;
    if (n == "SB_initcompress") return reinterpret_cast<void*>(&fake_initcompress);
    if (n == "SB_compress") return reinterpret_cast<void*>(&fake_compress);
    if (n == "SB_initcompressvendor") return reinterpret_cast<void*>(&fake_initcompressvendor);
    if (n == "SB_compressvendor") return reinterpret_cast<void*>(&fake_compressvendor);
    return nullptr;
}

void LV_sysfree(ul_module) { --doubles::libraries_open; }

bool LV_sysstart(const char* cmdline, lv_task* task, std::int32_t* error)
{
    doubles::task_commands.push_back(cmdline);
    if (doubles::task_start_error != 0) {
        *error = doubles::task_start_error;
        return false;
    }
    if (doubles::task_action) doubles::task_action(cmdline);
    task->process = new fake_task{doubles::task_runtime_ms};
    task->thread = nullptr;
    ++doubles::tasks_open;
    *error = 0;
    return true;
}

lv_wait LV_syswait(lv_task* task, std::uint32_t ms, std::uint32_t* exitcode)
{
    auto* t = static_cast<fake_task*>(task->process);
    if (doubles::task_wait_fails) {
        UL_sleep(1);
        return LV_WAIT_FAILED;
    }
    if (t->remaining <= ms) {
        UL_sleep(t->remaining);
        t->remaining = 0;
        *exitcode = doubles::task_exitcode;
        return LV_WAIT_ENDED;
    }
    UL_sleep(ms);
    t->remaining -= ms;
    return LV_WAIT_RUNNING;
}

void LV_systerminate(lv_task*) { ++doubles::tasks_terminated; }

void LV_sysclose(lv_task* task)
{
    if (!task->process) return;
    delete static_cast<fake_task*>(task->process);
    task->process = nullptr;
    --doubles::tasks_open;
}
