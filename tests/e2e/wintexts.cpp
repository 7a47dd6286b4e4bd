// A test helper that runs on the target machine beside the installer.
//
//   wintexts watch OUTFILE STOPFILE PROGRAM...
//     Every 100 ms, reads every window of the named programs (file names such
//     as SETUP.EXE): the caption of each top-level window, the text of each of
//     its controls, the entries of list and combo boxes. Each text is appended
//     to OUTFILE once, as it was seen: "program <tab> control id <tab> class
//     <tab> text". OUTFILE exists as soon as the watch has begun; the watch
//     ends, after one more look, when STOPFILE exists. A program named with a
//     leading "+" is answered as well: a dialog of it that is still there at
//     the next look, after it has been read, gets its Yes button pressed, or
//     its OK button (its questions are answered Yes).
//   wintexts keys KEY
//     The names of the subkeys of a registry key (HKCR\..., HKLM\..., HKCU\...),
//     one a line, as the program sees them: bytes of the ANSI code page.
//
// Texts are read with messages that the system carries between processes,
// with a time limit, so a busy installer delays a look but never stops it.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

struct watch {
    std::vector<std::string> programs;  // upper case
    std::set<std::string> answered;     // the programs whose dialogs are answered
    std::set<HWND> read;                // dialogs of those read at an earlier look
    bool answer = false;                // for the program being looked at
    std::set<std::string> seen;
    std::FILE* out = nullptr;
    DWORD pid = 0;                      // the process being looked at
    std::string program;                // and its program
};

std::string upper(std::string s)
{
    if (!s.empty()) CharUpperBuffA(&s[0], DWORD(s.size()));
    return s;
}

std::string basename(const char* path)
{
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

void find_processes(watch* w, std::vector<std::pair<DWORD, std::string>>* found)
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry)) {
        std::string name = upper(basename(entry.szExeFile));
        for (const auto& p : w->programs)
            if (name == p) found->push_back({entry.th32ProcessID, name});
    }
    CloseHandle(snap);
}

void record(watch* w, int id, const char* cls, const std::string& text)
{
    if (text.empty()) return;
    std::string line = w->program + "\t" + std::to_string(id) + "\t" + cls + "\t" + text;
    // One text a line: line breaks inside a text become blanks.
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    if (!w->seen.insert(line).second) return;
    std::fprintf(w->out, "%s\n", line.c_str());
    std::fflush(w->out);
}

bool ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR* result)
{
    return SendMessageTimeoutA(window, message, wparam, lparam, SMTO_ABORTIFHUNG, 500, result) != 0;
}

std::string text_of(HWND window)
{
    // The text the system keeps for the window, read without a message, so
    // that a window whose thread is busy (the identification, the copying)
    // still shows it; the message only for a window that keeps none.
    WCHAR kept[4096] = {};
    if (InternalGetWindowText(window, kept, 4096) > 0) {
        char ansi[4096] = {};
        WideCharToMultiByte(CP_ACP, 0, kept, -1, ansi, sizeof ansi - 1, nullptr, nullptr);
        return ansi;
    }
    DWORD_PTR length = 0;
    if (!ask(window, WM_GETTEXTLENGTH, 0, 0, &length) || length == 0 || length > 4096) return "";
    std::vector<char> buffer(length + 2, '\0');
    DWORD_PTR copied = 0;
    if (!ask(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(buffer.data()), &copied)) return "";
    return std::string(buffer.data());
}

void read_items(watch* w, HWND box, int id, const char* cls, UINT count_msg, UINT length_msg, UINT text_msg)
{
    DWORD_PTR count = 0;
    if (!ask(box, count_msg, 0, 0, &count) || LONG_PTR(count) <= 0 || count > 200) return;
    for (DWORD_PTR i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        if (!ask(box, length_msg, i, 0, &length) || LONG_PTR(length) <= 0 || length > 1024) continue;
        // Wine's 64-bit loader hands another process's items over in UTF-16:
        // room for that, and back to the ANSI code page when it came so.
        std::vector<char> buffer(2 * (length + 1) + 2, '\0');
        DWORD_PTR copied = 0;
        if (!ask(box, text_msg, i, reinterpret_cast<LPARAM>(buffer.data()), &copied) || LONG_PTR(copied) <= 0) continue;
        std::string item = buffer.data();
        if (buffer[0] != '\0' && buffer[1] == '\0') {
            std::vector<char> ansi(2 * (length + 1) + 2, '\0');
            WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(buffer.data()), -1, ansi.data(),
                                int(ansi.size()) - 1, nullptr, nullptr);
            item = ansi.data();
        }
        record(w, id, (std::string(cls) + "[]").c_str(), item.c_str());
    }
}

BOOL CALLBACK read_control(HWND control, LPARAM context)
{
    watch* w = reinterpret_cast<watch*>(context);
    char cls[64] = {};
    GetClassNameA(control, cls, sizeof cls);
    int id = GetDlgCtrlID(control);
    record(w, id, cls, text_of(control));
    if (lstrcmpiA(cls, "ListBox") == 0) read_items(w, control, id, cls, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
    if (lstrcmpiA(cls, "ComboBox") == 0)
        read_items(w, control, id, cls, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
    return TRUE;
}

BOOL CALLBACK read_window(HWND window, LPARAM context)
{
    watch* w = reinterpret_cast<watch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != w->pid || !IsWindowVisible(window)) return TRUE;
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    record(w, 0, cls, text_of(window));
    EnumChildWindows(window, read_control, context);
    if (w->answer && lstrcmpA(cls, "#32770") == 0 && !w->read.insert(window).second) {
        HWND button = GetDlgItem(window, IDYES);
        if (!button) button = GetDlgItem(window, IDOK);
        if (button) PostMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), LPARAM(button));
    }
    return TRUE;
}

void look(watch* w)
{
    std::vector<std::pair<DWORD, std::string>> processes;
    find_processes(w, &processes);
    for (const auto& [pid, name] : processes) {
        w->pid = pid;
        w->program = name;
        w->answer = w->answered.count(name) != 0;
        EnumWindows(read_window, reinterpret_cast<LPARAM>(w));
    }
}

int run_watch(int argc, char** argv)
{
    watch w;
    w.out = std::fopen(argv[2], "ab");
    if (!w.out) return 1;
    for (int i = 4; i < argc; ++i) {
        bool answer = argv[i][0] == '+';
        w.programs.push_back(upper(argv[i] + (answer ? 1 : 0)));
        if (answer) w.answered.insert(w.programs.back());
    }
    for (;;) {
        bool stopping = GetFileAttributesA(argv[3]) != INVALID_FILE_ATTRIBUTES;
        look(&w);
        if (stopping) break;
        Sleep(100);
    }
    std::fclose(w.out);
    return 0;
}

int run_keys(const char* name)
{
    static const struct {
        const char* prefix;
        HKEY root;
    } roots[] = {{"HKCR\\", HKEY_CLASSES_ROOT}, {"HKLM\\", HKEY_LOCAL_MACHINE}, {"HKCU\\", HKEY_CURRENT_USER}};
    for (const auto& r : roots) {
        if (std::strncmp(name, r.prefix, std::strlen(r.prefix)) != 0) continue;
        HKEY key;
        if (RegOpenKeyExA(r.root, name + std::strlen(r.prefix), 0, KEY_READ, &key) != ERROR_SUCCESS) return 1;
        char sub[256];
        for (DWORD i = 0; RegEnumKeyA(key, i, sub, sizeof sub) == ERROR_SUCCESS; ++i) std::printf("%s\n", sub);
        RegCloseKey(key);
        return 0;
    }
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 5 && std::strcmp(argv[1], "watch") == 0) return run_watch(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "keys") == 0) return run_keys(argv[2]);
    std::fprintf(stderr, "usage: wintexts watch OUTFILE STOPFILE PROGRAM... | wintexts keys KEY\n");
    return 2;
}
