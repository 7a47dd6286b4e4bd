// The system services of the voice conversion: the compressor library's
// loader and the start of the external converter.
#include <windows.h>

#include "shell/text.h"
#include "voice/compressor.h"
#include "voice/convertscript.h"

ul_module LV_sysload(const char* path, std::int32_t* error)
{
    HMODULE library = LoadLibraryA(path);
    *error = library ? 0 : std::int32_t(GetLastError());
    return library;
}

void* LV_sysentry(ul_module library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void LV_sysfree(ul_module library) { FreeLibrary(static_cast<HMODULE>(library)); }

bool LV_sysstart(const char* cmdline, lv_task* task, std::int32_t* error)
{
    char command[MAX_PATH * 2];
    UL_copytext(command, cmdline);
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr, &startup,
                        &process)) {
        *error = std::int32_t(GetLastError());
        return false;
    }
    task->process = process.hProcess;
    task->thread = process.hThread;
    *error = 0;
    return true;
}

lv_wait LV_syswait(lv_task* task, std::uint32_t ms, std::uint32_t* exitcode)
{
    DWORD result = WaitForSingleObject(task->process, ms);
    if (result == WAIT_TIMEOUT) return LV_WAIT_RUNNING;
    if (result != WAIT_OBJECT_0) return LV_WAIT_FAILED;
    DWORD code = 0;
    GetExitCodeProcess(task->process, &code);
    *exitcode = code;
    return LV_WAIT_ENDED;
}

void LV_systerminate(lv_task* task)
{
    TerminateProcess(task->process, 0);
    WaitForSingleObject(task->process, 1000);
}

void LV_sysclose(lv_task* task)
{
    if (task->thread) CloseHandle(task->thread);
    if (task->process) CloseHandle(task->process);
    task->thread = task->process = nullptr;
}
