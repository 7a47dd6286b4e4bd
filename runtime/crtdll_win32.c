/* The few C run-time names that the static C++ library and the MinGW start-up
 * code ask for and that CRTDLL.DLL does not export under that name. The
 * programs of the installation set link against CRTDLL.DLL, the C run time
 * that every Win32 system has since the first; msvcrt.dll is missing on a
 * bare Windows 95, and a program that imports it does not even start there.
 *
 * Only what CRTDLL.DLL and the Windows 95 / NT 4.0 KERNEL32 offer is used
 * here: no other DLL is loaded, nothing newer is looked up at run time. */
#include <windows.h>
#include <errno.h>
#include <io.h>

/* The POSIX spellings: the import library of msvcrt.dll maps them onto
 * _read and _close, that of CRTDLL.DLL does not. (std::random_device refers
 * to them.) */
int __cdecl read(int fd, void* buffer, unsigned int count)
{
    return _read(fd, buffer, count);
}

int __cdecl close(int fd)
{
    return _close(fd);
}

/* rand_s arrived with later run times (it needs RtlGenRandom, which neither
 * Windows 95 nor NT 4.0 has) and std::random_device refers to it. Nothing of
 * ours asks for secure random numbers; this answers with well-mixed numbers
 * from the clocks, the process and thread and a call counter, which is what
 * these systems have. The counter keeps two calls in the same clock tick
 * apart; it is counted by the processor, not by InterlockedIncrement, whose
 * result Windows 95 gives only as a sign. */
static unsigned long long mix64(unsigned long long x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

static int __cdecl crtdll_rand_s(unsigned int* value)
{
    static unsigned long calls;
    LARGE_INTEGER counter;
    unsigned long long x;

    if (!value) {
        errno = EINVAL;
        return EINVAL;
    }
    if (!QueryPerformanceCounter(&counter)) counter.QuadPart = 0;
    x = mix64((unsigned long long)counter.QuadPart);
    x = mix64(x ^ GetTickCount() ^ ((unsigned long long)GetCurrentProcessId() << 32));
    x = mix64(x ^ GetCurrentThreadId() ^ ((unsigned long long)__atomic_add_fetch(&calls, 1, __ATOMIC_RELAXED) << 32));
    *value = (unsigned int)(x ^ (x >> 32));
    return 0;
}

/* The C++ library calls rand_s through the import pointer of a DLL; this is
 * that pointer, so the call lands here instead of in a DLL. */
int(__cdecl* _imp__rand_s)(unsigned int*) = crtdll_rand_s;
