// ZVUNINST.EXE: the program the uninstall entry runs.
//   ZVUNINST [/Y | /N] [/PATH=<installation directory>]
// /Y deletes the received and sent faxes and the mailboxes without asking,
// /N keeps them without asking; either makes the run unattended. /PATH names
// the installation (quoted when it holds blanks); without it, the one FAX.ini
// in the Windows directory names.
#include <windows.h>

#include <cstring>

#include "command.h"
#include "texts.h"
#include "vequnins_win32.h"

namespace {

// Exit code when the library is missing or broken.
constexpr int NO_LIBRARY = 3;

static_assert(UNINSTALL_ASK == -1 && UNINSTALL_KEEP_USERDATA == 0 && UNINSTALL_DELETE_USERDATA == 1,
              "the command reader's values");

// The library lies beside the program (both are in the Windows directory).
HMODULE load_library()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    char* slash = std::strrchr(path, '\\');
    if (!slash || std::size_t(slash + 1 - path) + sizeof "VEQUNINS.DLL" > sizeof path) return nullptr;
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
    if (!slash || std::size_t(slash + 1 - path) + sizeof "VEQUNINS.DLL" > sizeof path) return;
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
    // Out of the installation folder: nothing is looked up there, and the
    // folder can go.
    char system[MAX_PATH] = {};
    if (GetSystemDirectoryA(system, sizeof system)) SetCurrentDirectoryA(system);
    static uninstall_command o;
    bool readable = UC_parsecommand(GetCommandLineA(), &o);
    bool quiet = o.userdata != UNINSTALL_ASK;
    if (!readable) {
        // A path that does not fit names no installation: it is never cut.
        if (!quiet) {
            static uninstall_texts texts;
            UT_load(&texts, nullptr);
            MessageBoxA(nullptr, UT_text(&texts, UT_NOT_FOUND), UT_text(&texts, UT_CAPTION), MB_OK | MB_ICONSTOP);
        }
        return UNINSTALL_NOT_FOUND;
    }
    HMODULE library = load_library();
    void* entry = library ? reinterpret_cast<void*>(GetProcAddress(library, "VEQ_uninstall")) : nullptr;
    auto uninstall = reinterpret_cast<VEQ_uninstall_proc>(entry);
    if (!uninstall) {
        if (!quiet) {
            static uninstall_texts texts;
            UT_load(&texts, o.path);
            MessageBoxA(nullptr, UT_text(&texts, UT_NO_LIBRARY), UT_text(&texts, UT_CAPTION), MB_OK | MB_ICONSTOP);
        }
        if (library) FreeLibrary(library);
        return NO_LIBRARY;
    }
    int result = uninstall(nullptr, o.path, o.userdata, quiet ? 1 : 0);
    FreeLibrary(library);
    if (result == UNINSTALL_DONE) remove_self();
    return result;
}
