// ZVUNINST.EXE: the program the uninstall entry runs.
//   ZVUNINST [/Y | /N] [/PATH=<installation directory>]
// /Y deletes the received and sent faxes and the mailboxes without asking,
// /N keeps them without asking; either makes the run unattended. Without
// /PATH the installation is the one FAX.ini in the Windows directory names.
#include <windows.h>

#include <cstring>

#include "texts.h"
#include "vequnins.h"

namespace {

// Exit code when the library is missing or broken.
constexpr int NO_LIBRARY = 3;

struct options {
    int userdata = UNINSTALL_ASK;
    char installdir[MAX_PATH] = {};
};

options parse(const char* line)
{
    options o;
    // Skip the program's own name, quoted or not.
    if (*line == '"') {
        line = std::strchr(line + 1, '"');
        line = line ? line + 1 : "";
    } else {
        while (*line && *line != ' ') ++line;
    }
    while (*line) {
        while (*line == ' ') ++line;
        const char* end = line;
        bool quoted = false;
        while (*end && (quoted || *end != ' ')) {
            if (*end == '"') quoted = !quoted;
            ++end;
        }
        std::size_t n = std::size_t(end - line);
        if (n == 2 && (line[0] == '/' || line[0] == '-') && (line[1] == 'Y' || line[1] == 'y'))
            o.userdata = UNINSTALL_DELETE_USERDATA;
        else if (n == 2 && (line[0] == '/' || line[0] == '-') && (line[1] == 'N' || line[1] == 'n'))
            o.userdata = UNINSTALL_KEEP_USERDATA;
        else if (n > 6 && _strnicmp(line + 1, "PATH=", 5) == 0) {
            std::size_t k = 0;
            for (const char* p = line + 6; p < end && k + 1 < sizeof o.installdir; ++p)
                if (*p != '"') o.installdir[k++] = *p;
            o.installdir[k] = '\0';
        }
        line = end;
    }
    return o;
}

// The library lies beside the program (both are in the Windows directory).
HMODULE load_library()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    char* slash = std::strrchr(path, '\\');
    if (!slash) return nullptr;
    std::strcpy(slash + 1, "VEQUNINS.DLL");
    return LoadLibraryA(path);
}

// Once installed in the Windows directory, the uninstaller and its library
// go at the next restart (Windows NT; Windows 95 keeps the two small files).
void remove_self()
{
    char path[MAX_PATH] = {}, windows[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    GetWindowsDirectoryA(windows, sizeof windows);
    char* slash = std::strrchr(path, '\\');
    if (!slash) return;
    *slash = '\0';
    if (lstrcmpiA(path, windows) != 0) return;
    *slash = '\\';
    MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    std::strcpy(slash + 1, "VEQUNINS.DLL");
    MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    options o = parse(GetCommandLineA());
    bool quiet = o.userdata != UNINSTALL_ASK;
    HMODULE library = load_library();
    void* entry = library ? reinterpret_cast<void*>(GetProcAddress(library, "VEQ_uninstall")) : nullptr;
    auto uninstall = reinterpret_cast<VEQ_uninstall_proc>(entry);
    if (!uninstall) {
        if (!quiet) {
            static uninstall_texts texts;
            UT_load(&texts, o.installdir);
            MessageBoxA(nullptr, UT_text(&texts, UT_NO_LIBRARY), UT_text(&texts, UT_CAPTION), MB_OK | MB_ICONSTOP);
        }
        if (library) FreeLibrary(library);
        return NO_LIBRARY;
    }
    int result = uninstall(nullptr, o.installdir, o.userdata, quiet ? 1 : 0);
    FreeLibrary(library);
    if (result == UNINSTALL_DONE) remove_self();
    return result;
}
