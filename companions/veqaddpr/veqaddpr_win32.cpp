// VEQADDPR.EXE /p<product> [/d]: records the request for the fax printer in
// VEQADDPR.LOG in the Windows directory, one command line a line, and ends
// with 0. The printer itself is set up by the suite's own printer driver.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryA(path, MAX_PATH - 16);
    if (n == 0 || n >= MAX_PATH - 16) return 0;
    if (path[n - 1] != '\\') std::strcat(path, "\\");
    std::strcat(path, "VEQADDPR.LOG");

    HANDLE log = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return 0;
    SetFilePointer(log, 0, nullptr, FILE_END);
    const char* line = GetCommandLineA();
    DWORD put = 0;
    WriteFile(log, line, DWORD(std::strlen(line)), &put, nullptr);
    WriteFile(log, "\r\n", 2, &put, nullptr);
    CloseHandle(log);
    return 0;
}
