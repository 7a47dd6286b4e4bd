/* libgcc's mutexes (the unwinder's frame registry, thread-local emulation)
 * create their semaphores with CreateSemaphoreW, which Windows 95 exports as
 * a stub that fails. This is the import pointer those calls go through, so
 * they land on CreateSemaphoreA instead, which every system has. Linked into
 * each program as an object, so that it is there before the import library of
 * KERNEL32 is searched and the program imports no CreateSemaphoreW at all. */
#include <windows.h>

static HANDLE WINAPI semaphore_ansi(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum, LPCWSTR name)
{
    char ansi[MAX_PATH];

    if (!name) return CreateSemaphoreA(security, initial, maximum, NULL);
    /* A name that does not fit the ANSI limit of these systems is refused as
     * CreateSemaphoreA would refuse it. */
    if (!WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof ansi, NULL, NULL)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return NULL;
    }
    return CreateSemaphoreA(security, initial, maximum, ansi);
}

HANDLE(WINAPI* create_semaphore_w)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR) __asm__("__imp__CreateSemaphoreW@16") =
    semaphore_ansi;
