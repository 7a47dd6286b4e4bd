// A library as a user might plant it in an installation's program folder:
// when anything runs its entry point, it leaves a file MARK.TXT beside itself.
#include <windows.h>

#include <cstring>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    char* slash = n > 0 && n < MAX_PATH ? strrchr(path, '\\') : nullptr;
    if (!slash || slash + 9 >= path + MAX_PATH) return TRUE;
    lstrcpyA(slash + 1, "MARK.TXT");
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return TRUE;
}
