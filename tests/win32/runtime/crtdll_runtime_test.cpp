// The C and C++ run time of the shipped programs (CRTDLL.DLL, linked as
// win95_runtime), run as they run it. GoogleTest itself needs msvcrt.dll, so
// this program compares by hand and fails by its exit code. CTest starts it
// with the arguments: "two words" "C:\A B\x.wav" *.none
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <random>
#include <string>
#include <vector>

static int failures = 0;

static void expect(bool ok, const std::string& what)
{
    if (!ok) {
        std::printf("FAILED: %s\n", what.c_str());
        ++failures;
    }
}

static void expect_text(const std::string& got, const std::string& want, const char* what)
{
    expect(got == want, std::string(what) + ": got \"" + got + "\", want \"" + want + "\"");
}

// The start-up code splits the command line with CRTDLL's __GetMainArgs.
static void command_line(int argc, char** argv)
{
    expect(argc == 4, "four arguments, got " + std::to_string(argc));
    if (argc != 4) return;
    expect_text(argv[1], "two words", "quoted argument");
    expect_text(argv[2], "C:\\A B\\x.wav", "path with a blank");
    expect_text(argv[3], "*.none", "wildcards stay as written");
}

// The debug log, the INI files and the answer files are formatted by the
// C99 printf of the MinGW library, not by CRTDLL's, whose _snprintf neither
// knows %lld and %zu nor ends a cut text.
static void formatting()
{
    char text[160];
    std::snprintf(text, sizeof text, "%d|%u|%ld|%lx|%5s|%-4d|%03u|%lld|%llu|%zu|%.2f|%c|%%", INT_MIN, UINT_MAX,
                  LONG_MIN, 0xDEADBEEFUL, "ab", -7, 7u, LLONG_MIN, ULLONG_MAX, std::size_t(4000000000u), 3.14159, 'x');
    expect_text(text,
                "-2147483648|4294967295|-2147483648|deadbeef|   ab|-7  |007|-9223372036854775808|18446744073709551615|"
                "4000000000|3.14|x|%",
                "formatted numbers");
    char small[6];
    const int length = std::snprintf(small, sizeof small, "%s", "0123456789");
    expect(length == 10, "snprintf counts the whole text, got " + std::to_string(length));
    expect_text(small, "01234", "a cut text ends in the buffer");
}

// VEQWAVE reads and writes its files with the C library's streams.
static void streams()
{
    char directory[MAX_PATH], name[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    GetTempFileNameA(directory, "crt", 0, name);

    std::FILE* f = std::fopen(name, "wb");
    expect(f != nullptr, "fopen wb");
    if (!f) return;
    unsigned char bytes[256];
    for (int i = 0; i < 256; ++i) bytes[i] = static_cast<unsigned char>(i);
    expect(std::fwrite(bytes, 1, sizeof bytes, f) == sizeof bytes, "fwrite of 256 bytes");
    std::fclose(f);

    // Binary reading passes 0x1A (the text end mark) and CR LF through.
    unsigned char back[300] = {};
    f = std::fopen(name, "rb");
    expect(f != nullptr, "fopen rb");
    if (f) {
        expect(std::fread(back, 1, sizeof back, f) == 256 && !std::ferror(f), "fread returns the 256 bytes");
        expect(std::memcmp(back, bytes, sizeof bytes) == 0, "the bytes read are those written");
        std::fclose(f);
    }

    // read() and close() are ours, on top of CRTDLL's _read and _close.
    const int fd = _open(name, _O_RDONLY | _O_BINARY);
    expect(fd >= 0, "_open");
    if (fd >= 0) {
        expect(read(fd, back, 16) == 16 && back[15] == 15, "read() gives the first 16 bytes");
        expect(close(fd) == 0, "close()");
        expect(close(fd) == -1, "close() of a closed descriptor fails");
    }

    // Text mode writes CR LF, as the C run time always has.
    f = std::fopen(name, "w");
    if (f) {
        std::fputs("line\n", f);
        std::fclose(f);
    }
    f = std::fopen(name, "rb");
    char line[16] = {};
    if (f) {
        expect(std::fread(line, 1, sizeof line - 1, f) == 6, "text line of six bytes");
        std::fclose(f);
    }
    expect_text(line, "line\r\n", "text mode line end");

    expect(std::remove(name) == 0, "remove");
    errno = 0;
    expect(std::fopen(name, "rb") == nullptr && errno == ENOENT, "a removed file is gone, errno ENOENT");
}

static void numbers_and_containers()
{
    errno = 0;
    expect(std::strtol("99999999999", nullptr, 10) == LONG_MAX && errno == ERANGE, "strtol overflow gives ERANGE");
    expect(std::strtol("28673", nullptr, 10) == 28673, "strtol");

    std::vector<std::string> words{"voice", "fax", "data", "modem"};
    std::sort(words.begin(), words.end());
    std::string joined;
    for (const auto& w : words) joined += w + ",";
    expect_text(joined, "data,fax,modem,voice,", "sorted strings");
}

// rand_s is ours (CRTDLL has none); std::random_device asks for it.
static void random_numbers()
{
    try {
        std::random_device device("rand_s");
        std::vector<unsigned> values;
        for (int i = 0; i < 8; ++i) values.push_back(device());
        std::sort(values.begin(), values.end());
        expect(std::unique(values.begin(), values.end()) == values.end(), "eight random numbers all differ");
    } catch (const std::exception& e) {
        expect(false, std::string("random_device: ") + e.what());
    }
}

// libgcc's mutexes call CreateSemaphoreW; ours answers with CreateSemaphoreA.
static void semaphores()
{
    HANDLE unnamed = CreateSemaphoreW(nullptr, 0, 2, nullptr);
    expect(unnamed != nullptr, "unnamed semaphore");
    if (unnamed) {
        expect(WaitForSingleObject(unnamed, 0) == WAIT_TIMEOUT, "a semaphore at 0 is not signalled");
        expect(ReleaseSemaphore(unnamed, 1, nullptr) && WaitForSingleObject(unnamed, 0) == WAIT_OBJECT_0,
               "released once, taken once");
        CloseHandle(unnamed);
    }
    HANDLE named = CreateSemaphoreW(nullptr, 1, 1, L"zelta-crtdll-check");
    expect(named != nullptr, "named semaphore");
    HANDLE same = OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, "zelta-crtdll-check");
    expect(same != nullptr, "the named semaphore is found by its ANSI name");
    if (same) CloseHandle(same);
    if (named) CloseHandle(named);
}

int main(int argc, char** argv)
{
    command_line(argc, argv);
    formatting();
    streams();
    numbers_and_containers();
    random_numbers();
    semaphores();
    std::printf("%d failure(s)\n", failures);
    return failures == 0 ? 0 : 1;
}
