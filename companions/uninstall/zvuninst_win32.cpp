// ZVUNINST.EXE: the program the uninstall entry runs.
//   ZVUNINST [/Y | /N] [/PATH=<installation directory>] [/LOG=<file>] [/RESULT=<file>]
// /Y deletes the received and sent faxes and the mailboxes without asking,
// /N keeps them without asking; either makes the run unattended. /PATH names
// the installation (quoted when it holds blanks); without it, the one FAX.ini
// in the Windows directory names. /LOG= logs every object removed and every
// one left with its reason; /RESULT= writes the outcome for a script, in the
// form of the installer's result file.
#include <windows.h>

#include <initializer_list>
#include <cstring>

#include "command.h"
#include "files/wininit.h"
#include "shell/platform.h"
#include "texts.h"
#include "vequnins_win32.h"

namespace {

// Exit code when the library is missing or broken.
constexpr int NO_LIBRARY = 3;

static_assert(UNINSTALL_ASK == -1 && UNINSTALL_KEEP_USERDATA == 0 && UNINSTALL_DELETE_USERDATA == 1,
              "the command reader's values");

HANDLE logfile = INVALID_HANDLE_VALUE;

// The log's lines of this program ("label=value", CR LF), around the library's.
void log_line(const char* label, const char* value)
{
    if (logfile == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(logfile, label, DWORD(std::strlen(label)), &written, nullptr);
    WriteFile(logfile, value, DWORD(std::strlen(value)), &written, nullptr);
    WriteFile(logfile, "\r\n", 2, &written, nullptr);
}

bool log_start(const char* file)
{
    if (!file[0]) return false;
    logfile = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return logfile != INVALID_HANDLE_VALUE;
}

void log_pause()
{
    if (logfile != INVALID_HANDLE_VALUE) CloseHandle(logfile);
    logfile = INVALID_HANDLE_VALUE;
}

void log_resume(const char* file)
{
    logfile = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (logfile != INVALID_HANDLE_VALUE) SetFilePointer(logfile, 0, nullptr, FILE_END);
}

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

// The Windows 95 family: a "NUL=" line in [Rename] of WININIT.INI, in the
// short name the real-mode WININIT reads, the file rewritten so that the
// other programs' lines stay whatever fails.
bool delete_at_restart_95(const char* windows, const char* file)
{
    char wininit[MAX_PATH + 16] = {}, listed[MAX_PATH] = {};
    if (std::strlen(windows) + sizeof "\\WININIT.INI" > sizeof wininit) return false;
    std::strcpy(wininit, windows);
    std::strcat(wininit, "\\WININIT.INI");
    return UL_wininitschedule(wininit, file, listed, sizeof listed);
}

// Once installed in the Windows directory, the uninstaller and its library
// go at the next restart: through WININIT.INI on the Windows 95 family, which
// has no delayed move, through the delayed move on Windows NT.
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
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    bool nt = INS_wincode(info.dwMajorVersion, info.dwPlatformId) == 2;
    for (const char* name : {"ZVUNINST.EXE", "VEQUNINS.DLL"}) {
        std::strcpy(slash + 1, name);
        bool done = nt ? MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0 : delete_at_restart_95(windows, path);
        log_line(done ? "removed at restart=" : "kept file=", path);
    }
}

// One [Result] section, whatever an earlier run left in the file.
void write_result(const char* file, int status, const char* text, int removed, int kept, const char* log)
{
    if (!file[0]) return;
    DeleteFileA(file);
    char number[16];
    wsprintfA(number, "%d", status);
    WritePrivateProfileStringA("Result", "Status", number, file);
    WritePrivateProfileStringA("Result", "Text", text, file);
    wsprintfA(number, "%d", removed);
    WritePrivateProfileStringA("Result", "Removed", number, file);
    wsprintfA(number, "%d", kept);
    WritePrivateProfileStringA("Result", "Kept", number, file);
    WritePrivateProfileStringA("Result", "Log", log, file);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
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
    static uninstall_texts texts;
    if (!readable) {
        // A path that does not fit names no installation: it is never cut;
        // nor is a log or result file written where it might not be meant.
        UT_load(&texts, nullptr);
        if (!quiet)
            MessageBoxA(nullptr, UT_text(&texts, UT_NOT_FOUND), UT_text(&texts, UT_CAPTION), MB_OK | MB_ICONSTOP);
        return UNINSTALL_NOT_FOUND;
    }
    bool logging = log_start(o.log);
    log_line("command line=", GetCommandLineA());
    HMODULE library = load_library();
    void* entry = library ? reinterpret_cast<void*>(GetProcAddress(library, "VEQ_uninstallex")) : nullptr;
    auto uninstall = reinterpret_cast<VEQ_uninstallex_proc>(entry);
    if (!uninstall) {
        UT_load(&texts, o.path);
        if (!quiet)
            MessageBoxA(nullptr, UT_text(&texts, UT_NO_LIBRARY), UT_text(&texts, UT_CAPTION), MB_OK | MB_ICONSTOP);
        if (library) FreeLibrary(library);
        log_line("no library=", "VEQUNINS.DLL");
        log_pause();
        write_result(o.result, NO_LIBRARY, UT_text(&texts, UT_NO_LIBRARY), 0, 0, logging ? o.log : "");
        return NO_LIBRARY;
    }
    static uninstall_report report;
    log_pause();
    int result = uninstall(nullptr, o.path, o.userdata, quiet ? 1 : 0, logging ? o.log : nullptr, &report);
    FreeLibrary(library);
    if (logging) log_resume(o.log);
    if (result == UNINSTALL_DONE) remove_self();
    log_pause();
    write_result(o.result, result, report.text, report.removed, report.kept, logging ? o.log : "");
    return result;
}
