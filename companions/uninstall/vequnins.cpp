// VEQUNINS.DLL: removes what the installation registered and installed, and
// nothing else. The installation tells it what there is: FAX.ini in the
// Windows directory names the installation directory, UNINSTAL.DAT in its
// DATA directory the product title and the file type verbs registered.
// Plain fixed-size texts (cut, never overrun) keep the library small.
#include <windows.h>
#include <ddeml.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <initializer_list>

#include "files/plainname.h"
#include "texts.h"
#include "vequnins.h"

namespace {

const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char SHELL_FOLDERS[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Directories of the installation tree, deepest first so that a parent is
// empty when its turn comes. The user's own data is only removed on request.
struct tree_dir {
    const char* name;
    bool userdata;
};
const tree_dir TREE[] = {
    {"MBOX000\\DSEND", true}, {"MBOX000\\DRECV", true}, {"MBOX000\\FOD", true}, {"MBOX000", true},
    {"RECEIVE", true},        {"SEND", true},           {"TEMP", false},        {"PROGRAM", false},
    {"DATA", false},          {"SDK", false},           {"SCRIPT1", false},     {"SCRIPT2", false},
    {"SCRIPT3", false},       {"SCRIPT4", false},       {"SCRIPT5", false},     {"SCRIPT6", false},
    {"SCRIPT7", false},       {"SCRIPT8", false},       {"SCRIPT9", false},
};

// The printer entries the WIN.INI set-up writes.
struct winini_entry {
    const char* section;
    const char* key;
};
const winini_entry PRINTER_ENTRIES[] = {
    {"devices", "VEQ-printer"},
    {"PrinterPorts", "VEQ-Printer"},
    {"ports", "FAX:"},
};

enum { TEXT = 2 * MAX_PATH, NAME = 80, MAXVERBS = 32 };

struct text {
    char s[TEXT];
};

text make(const char* a, const char* b = "", const char* c = "", const char* d = "")
{
    text t = {};
    for (const char* part : {a, b, c, d}) {
        std::size_t used = std::strlen(t.s);
        if (used + 1 < sizeof t.s) lstrcpynA(t.s + used, part, int(sizeof t.s - used));
    }
    return t;
}

void add_slash(char* dir, std::size_t size)
{
    std::size_t n = std::strlen(dir);
    if (n > 0 && dir[n - 1] != '\\' && n + 1 < size) {
        dir[n] = '\\';
        dir[n + 1] = '\0';
    }
}

struct verb_entry {
    char extension[16];
    char verb[NAME];
};

struct record {
    char title[NAME];
    verb_entry verbs[MAXVERBS];
    int count;
};

text windows_dir()
{
    text t = {};
    GetWindowsDirectoryA(t.s, MAX_PATH);
    add_slash(t.s, sizeof t.s);
    return t;
}

bool same_path(const char* a, const char* b)
{
    text x = make(a), y = make(b);
    add_slash(x.s, sizeof x.s);
    add_slash(y.s, sizeof y.s);
    return lstrcmpiA(x.s, y.s) == 0;
}

// Copies at most size - 1 characters of [from, to) into out.
void copy_span(char* out, std::size_t size, const char* from, const char* to)
{
    std::size_t n = std::size_t(to - from);
    if (n >= size) n = size - 1;
    std::memcpy(out, from, n);
    out[n] = '\0';
}

bool read_record(const char* file, record* out)
{
    HANDLE h = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    static char data[8192];
    DWORD got = 0;
    BOOL ok = ReadFile(h, data, sizeof data - 1, &got, nullptr);
    CloseHandle(h);
    if (!ok) return false;
    data[got] = '\0';

    std::memset(out, 0, sizeof *out);
    bool first = true;
    for (char* line = data; *line;) {
        char* end = line;
        while (*end && *end != '\r' && *end != '\n') ++end;
        char* next = end;
        while (*next == '\r' || *next == '\n') ++next;
        *end = '\0';
        if (first) {
            // The title names a key, shortcuts and a group folder to delete:
            // a damaged one must name nothing but ours.
            if (std::size_t(end - line) >= sizeof out->title) return false;
            copy_span(out->title, sizeof out->title, line, end);
            // Brackets and parentheses would end the DeleteGroup command early.
            if (!UL_isplainname(out->title) || std::strpbrk(out->title, "[]()")) return false;
            first = false;
        } else if (char* comma = std::strchr(line, ',')) {
            // Only plain names: a damaged record must not reach other keys.
            *comma = '\0';
            verb_entry v = {};
            bool fits = std::size_t(comma - line) < sizeof v.extension && std::size_t(end - comma - 1) < sizeof v.verb;
            if (fits) {
                copy_span(v.extension, sizeof v.extension, line, comma);
                copy_span(v.verb, sizeof v.verb, comma + 1, end);
            }
            if (fits && UL_isplainname(v.extension) && UL_isplainname(v.verb) && out->count < MAXVERBS)
                out->verbs[out->count++] = v;
        }
        line = next;
    }
    return !first;
}

// RegDeleteKey removes only leaf keys on Windows NT: go depth first.
void delete_key_tree(HKEY root, const char* key)
{
    HKEY h;
    if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
        char sub[MAX_PATH];
        while (RegEnumKeyA(h, 0, sub, sizeof sub) == ERROR_SUCCESS) {
            text child = make(key, "\\", sub);
            delete_key_tree(root, child.s);
            // A key that cannot go would be found again for ever.
            HKEY test;
            if (RegOpenKeyExA(root, child.s, 0, KEY_READ, &test) == ERROR_SUCCESS) {
                RegCloseKey(test);
                break;
            }
        }
        RegCloseKey(h);
    }
    RegDeleteKeyA(root, key);
}

bool key_has_subkeys(HKEY root, const char* key)
{
    HKEY h;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    char sub[MAX_PATH];
    bool any = RegEnumKeyA(h, 0, sub, sizeof sub) == ERROR_SUCCESS;
    RegCloseKey(h);
    return any;
}

bool default_value_is(HKEY root, const char* key, const char* expected)
{
    char value[MAX_PATH] = {};
    LONG size = sizeof value;
    if (RegQueryValueA(root, key, value, &size) != ERROR_SUCCESS) return false;
    return lstrcmpiA(value, expected) == 0;
}

// The verbs we registered go; a type left without verbs goes with its
// extension, unless another program has taken the extension over since.
void remove_file_types(const record& r)
{
    for (int i = 0; i < r.count; ++i) {
        const verb_entry& v = r.verbs[i];
        text key = make(v.extension, "file\\shell\\", v.verb);
        delete_key_tree(HKEY_CLASSES_ROOT, key.s);
    }
    for (int i = 0; i < r.count; ++i) {
        const char* ext = r.verbs[i].extension;
        text type = make(ext, "file");
        text shell = make(type.s, "\\shell");
        text dotted = make(".", ext);
        if (key_has_subkeys(HKEY_CLASSES_ROOT, shell.s)) continue;
        delete_key_tree(HKEY_CLASSES_ROOT, type.s);
        if (default_value_is(HKEY_CLASSES_ROOT, dotted.s, type.s) && !key_has_subkeys(HKEY_CLASSES_ROOT, dotted.s))
            RegDeleteKeyA(HKEY_CLASSES_ROOT, dotted.s);
    }
}

text desktop_folder()
{
    text t = {};
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SHELL_FOLDERS, 0, KEY_READ, &h) != ERROR_SUCCESS) return t;
    DWORD size = MAX_PATH;
    if (RegQueryValueExA(h, "Desktop", nullptr, nullptr, reinterpret_cast<BYTE*>(t.s), &size) != ERROR_SUCCESS)
        t.s[0] = '\0';
    t.s[MAX_PATH] = '\0';
    RegCloseKey(h);
    return t;
}

text special_folder(int csidl)
{
    text t = {};
    LPITEMIDLIST list = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, csidl, &list) != S_OK || !list) return t;
    if (!SHGetPathFromIDListA(list, t.s)) t.s[0] = '\0';
    CoTaskMemFree(list);
    return t;
}

void remove_shortcuts(const record& r)
{
    text folders[] = {desktop_folder(), special_folder(CSIDL_SENDTO)};
    for (text& folder : folders) {
        if (!folder.s[0]) continue;
        add_slash(folder.s, sizeof folder.s);
        DeleteFileA(make(folder.s, r.title, ".LNK").s);
    }
}

HDDEDATA CALLBACK dde_callback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

// The group through Program Manager, and the folder that holds it when the
// shell keeps its groups as folders and no Program Manager answers.
void remove_group(const record& r)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, dde_callback, APPCMD_CLIENTONLY, 0) == DMLERR_NO_ERROR) {
        HSZ service = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
        HCONV conv = DdeConnect(instance, service, service, nullptr);
        if (conv) {
            text command = make("[DeleteGroup(", r.title, ")]");
            DdeClientTransaction(reinterpret_cast<BYTE*>(command.s), DWORD(std::strlen(command.s) + 1), conv, nullptr,
                                 0, XTYP_EXECUTE, 10000, nullptr);
            DdeDisconnect(conv);
        }
        DdeFreeStringHandle(instance, service);
        DdeUninitialize(instance);
    }
    text programs = special_folder(CSIDL_PROGRAMS);
    if (!programs.s[0]) return;
    add_slash(programs.s, sizeof programs.s);
    text group = make(programs.s, r.title, "\\");
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(make(group.s, "*.lnk").s, &found);
    if (h != INVALID_HANDLE_VALUE) {
        do DeleteFileA(make(group.s, found.cFileName).s);
        while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(group.s);
}

bool is_dots(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

// Removes a directory (given with its backslash) with everything in it.
void remove_tree(const char* dir)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(make(dir, "*").s, &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (is_dots(found.cFileName)) continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                remove_tree(make(dir, found.cFileName, "\\").s);
            } else {
                text full = make(dir, found.cFileName);
                SetFileAttributesA(full.s, FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.s);
            }
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(dir);
}

bool has_user_data(const char* installdir)
{
    for (const tree_dir& d : TREE) {
        if (!d.userdata) continue;
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA(make(installdir, d.name, "\\*").s, &found);
        if (h == INVALID_HANDLE_VALUE) continue;
        bool any = false;
        do any = !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        while (!any && FindNextFileA(h, &found));
        FindClose(h);
        if (any) return true;
    }
    return false;
}

void remove_files(const char* installdir, bool deleteuserdata)
{
    for (const tree_dir& d : TREE) {
        if (d.userdata && !deleteuserdata) continue;
        remove_tree(make(installdir, d.name, "\\").s);
    }
    // Only an emptied directory goes; the user's other files keep it.
    RemoveDirectoryA(installdir);
}

void remove_windows_entries(const char* installdir)
{
    text faxini = make(windows_dir().s, "FAX.ini");
    char path[MAX_PATH] = {};
    GetPrivateProfileStringA("FAX", "PATH", "", path, sizeof path, faxini.s);
    if (path[0] && same_path(path, installdir)) DeleteFileA(faxini.s);

    char driver[MAX_PATH] = {};
    GetProfileStringA("devices", "VEQ-printer", "", driver, sizeof driver);
    if (lstrcmpiA(driver, "VEQ,FAX:") != 0) return;
    text system = {};
    if (GetSystemDirectoryA(system.s, MAX_PATH)) {
        add_slash(system.s, sizeof system.s);
        DeleteFileA(make(system.s, "VEQ.DRV").s);
    }
    for (const winini_entry& e : PRINTER_ENTRIES) {
        WriteProfileStringA(e.section, e.key, nullptr);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(e.section),
                            SMTO_ABORTIFHUNG, 5000, &result);
    }
}

bool ask(HWND owner, const uninstall_texts& texts, const char* question)
{
    return MessageBoxA(owner, question, UT_text(&texts, UT_CAPTION), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
           IDYES;
}

void tell(HWND owner, const uninstall_texts& texts, const char* message, UINT icon)
{
    MessageBoxA(owner, message, UT_text(&texts, UT_CAPTION), MB_OK | icon);
}

}  // namespace

extern "C" __declspec(dllexport) int WINAPI VEQ_uninstall(HWND owner, const char* installdirarg, int userdata,
                                                           int quiet)
{
    text installdir = {};
    if (installdirarg && installdirarg[0]) {
        installdir = make(installdirarg);
    } else {
        GetPrivateProfileStringA("FAX", "PATH", "", installdir.s, MAX_PATH, make(windows_dir().s, "FAX.ini").s);
    }
    static record r;
    if (installdir.s[0]) add_slash(installdir.s, sizeof installdir.s);
    // Read now: the library lies in the program directory, which goes below.
    static uninstall_texts texts;
    UT_load(&texts, installdir.s);
    if (!installdir.s[0] || !read_record(make(installdir.s, "DATA\\UNINSTAL.DAT").s, &r)) {
        if (!quiet) tell(owner, texts, UT_text(&texts, UT_NOT_FOUND), MB_ICONSTOP);
        return UNINSTALL_NOT_FOUND;
    }
    if (quiet && userdata == UNINSTALL_ASK) userdata = UNINSTALL_KEEP_USERDATA;

    text question = {};
    UT_format(question.s, sizeof question.s, UT_text(&texts, UT_ASK_REMOVE), r.title, installdir.s);
    if (!quiet && !ask(owner, texts, question.s)) return UNINSTALL_DECLINED;
    bool deleteuserdata = userdata == UNINSTALL_DELETE_USERDATA;
    // Asked only when there is something to lose; empty directories just go.
    if (userdata == UNINSTALL_ASK) {
        UT_format(question.s, sizeof question.s, UT_text(&texts, UT_ASK_USERDATA), installdir.s);
        deleteuserdata = !has_user_data(installdir.s) || ask(owner, texts, question.s);
    }

    CoInitialize(nullptr);
    remove_file_types(r);
    delete_key_tree(HKEY_LOCAL_MACHINE, make(UNINSTALL_KEY, r.title).s);
    remove_shortcuts(r);
    remove_group(r);
    remove_windows_entries(installdir.s);
    remove_files(installdir.s, deleteuserdata);
    CoUninitialize();

    if (!quiet) {
        text removed = {};
        UT_format(removed.s, sizeof removed.s, UT_text(&texts, UT_REMOVED), r.title);
        tell(owner, texts, removed.s, MB_ICONINFORMATION);
    }
    return UNINSTALL_DONE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
