// Small system services used by the portable shell operations.
#include <windows.h>

#include "shell/platform.h"
#include "shell/text.h"

std::uint32_t UL_getprofilestring(const char* section, const char* key, const char* defaulttext,
                                  char* out, std::uint32_t size, const char* file)
{
    return GetPrivateProfileStringA(section, key, defaulttext, out, size, file);
}

int UL_loadstring(ul_module library, unsigned number, char* out, int size)
{
    out[0] = '\0';
    int n = LoadStringA(static_cast<HINSTANCE>(library), number, out, size);
    if (n <= 0) out[0] = '\0';
    return n < 0 ? 0 : n;
}

ul_handle UL_loadicon(ul_module instance, const char* name)
{
    return LoadIconA(static_cast<HINSTANCE>(instance), name);
}

void UL_messagebox(const char* caption, const char* text, ul_boxkind kind)
{
    MessageBoxA(nullptr, text, caption, kind == UL_BOX_WARNING ? MB_OK | MB_ICONWARNING : MB_OK);
}

status_t UL_pumpmessage(setup_context*)
{
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ST_OK;
}

std::uint32_t UL_gettickcount() { return GetTickCount(); }

void UL_sleep(std::uint32_t milliseconds) { Sleep(milliseconds); }

void UL_getmodulepath(ul_module instance, char* out, std::uint32_t size)
{
    // A path that fills the buffer is cut without a NUL on the NT family: one byte stays free.
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(static_cast<HINSTANCE>(instance), path, MAX_PATH);
    UL_copytext(out, size, path);
}

bool UL_writeprofilestring(const char* section, const char* key, const char* value, const char* file)
{
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

std::uint32_t UL_getwindowsdir(char* out, std::uint32_t size) { return GetWindowsDirectoryA(out, size); }

std::uint32_t UL_getsystemdir(char* out, std::uint32_t size) { return GetSystemDirectoryA(out, size); }

void UL_deleteatrestart(const char* name) { MoveFileExA(name, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT); }
