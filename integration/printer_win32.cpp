// Processes and WIN.INI for the printer installation.
#include <windows.h>

#include <cstring>

#include "integration/printer.h"
#include "shell/text.h"

std::uint32_t UL_startprogram(const char* commandline, ul_handle* process)
{
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    PROCESS_INFORMATION info = {};
    char line[MAX_PATH * 2];
    UL_copytext(line, sizeof line, commandline);
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr, &startup,
                        &info)) {
        *process = nullptr;
        return GetLastError();
    }
    CloseHandle(info.hThread);
    *process = info.hProcess;
    return 0;
}

bool UL_waitprogram(ul_handle process, std::uint32_t milliseconds)
{
    return WaitForSingleObject(static_cast<HANDLE>(process), milliseconds) != WAIT_TIMEOUT;
}

void UL_closeprogram(ul_handle process)
{
    if (process) CloseHandle(static_cast<HANDLE>(process));
}

bool UL_writewinini(const char* section, const char* key, const char* value)
{
    return WriteProfileStringA(section, key, value) != FALSE;
}

void UL_broadcastwininichange(const char* section)
{
    // Sent with a time limit: a hung top-level window must not hang the installer.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(section), SMTO_ABORTIFHUNG,
                        5000, &result);
}
