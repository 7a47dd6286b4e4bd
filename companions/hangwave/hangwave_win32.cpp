// A stand-in for the external voice converter that hangs: it starts writing
// its output file, keeps it open and never ends, as a converter stuck on a
// damaged prompt would. The installer's time-out has to end it; what it wrote
// must not be taken for a result.
//
//   HANGWAVE <format> <input.wav> <output.vox> <bits>
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc >= 4) {
        HANDLE out = CreateFileA(argv[3], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out != INVALID_HANDLE_VALUE) {
            const char partial[] = "ROCK \x02 half a voice file";
            DWORD written = 0;
            WriteFile(out, partial, sizeof partial - 1, &written, nullptr);
            FlushFileBuffers(out);
        }
    }
    for (;;) Sleep(1000);
}
