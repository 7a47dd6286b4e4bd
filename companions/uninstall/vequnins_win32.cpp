// VEQUNINS.DLL: removes what the installation registered and installed, and
// nothing else. The installation tells it what there is: FAX.ini in the
// Windows directory or the uninstall command names the installation
// directory, UNINSTAL.DAT in its DATA directory the product title and the
// file type verbs registered, UNINSTAL.LST the directories it created and the
// files it wrote. All of that lies where every user may write: a name is used
// only after it is checked, and what it names outside the installation goes
// only when it verifiably belongs to this installation. No removal passes
// through a link (FILE_ATTRIBUTE_REPARSE_POINT): a link goes as itself.
// Plain fixed-size texts keep the library small; a path that does not fit is
// never cut into another one.
#include <windows.h>
#include <ddeml.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <initializer_list>

#include "command.h"
#include "files/plainname.h"
#include "files/recordpath.h"
#include "texts.h"
#include "vequnins_win32.h"

namespace {

const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char SHELL_FOLDERS[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The installation tree of an installation made before the record existed,
// deepest first so that a parent is empty when its turn comes. The user's own
// data is only removed on request.
const char* const TREE[] = {
    "MBOX000\\DSEND", "MBOX000\\DRECV", "MBOX000\\FOD", "MBOX000", "RECEIVE", "SEND",    "TEMP",
    "PROGRAM",        "DATA",           "SDK",          "SCRIPT1", "SCRIPT2", "SCRIPT3", "SCRIPT4",
    "SCRIPT5",        "SCRIPT6",        "SCRIPT7",      "SCRIPT8", "SCRIPT9",
};
const char* const USERDATA[] = {"RECEIVE", "SEND", "MBOX000"};

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

// The parts joined; empty (naming nothing) when they do not fit a path.
text make(const char* a, const char* b = "", const char* c = "", const char* d = "")
{
    text t = {};
    std::size_t used = 0;
    for (const char* part : {a, b, c, d}) {
        std::size_t n = std::strlen(part);
        if (used + n >= MAX_PATH) return text{};
        std::memcpy(t.s + used, part, n);
        used += n;
    }
    t.s[used] = '\0';
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

void strip_slash(char* dir)
{
    std::size_t n = std::strlen(dir);
    while (n > 0 && dir[n - 1] == '\\') dir[--n] = '\0';
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

// DATA\UNINSTAL.LST: what the installation made, every path checked.
struct made_entry {
    char kind;
    char rel[UL_RECORDPATH_MAX + 1];
};
struct made_list {
    made_entry* entries;
    int count;
};

text windows_dir()
{
    text t = {};
    GetWindowsDirectoryA(t.s, MAX_PATH);
    add_slash(t.s, sizeof t.s);
    return t;
}

// An absolute path made whole ("..", "." and doubled separators resolved);
// empty when it is relative or does not fit.
text full_path(const char* path)
{
    text t = {};
    if (!UC_isabsolute(path)) return t;
    char* part = nullptr;
    DWORD n = GetFullPathNameA(path, MAX_PATH, t.s, &part);
    if (n == 0 || n >= MAX_PATH) t.s[0] = '\0';
    return t;
}

// Directories compared whole, without their trailing backslash.
bool same_dir(const char* a, const char* b)
{
    text x = full_path(a), y = full_path(b);
    strip_slash(x.s);
    strip_slash(y.s);
    return x.s[0] && y.s[0] && lstrcmpiA(x.s, y.s) == 0;
}

// Whether a path lies inside the installation directory (given whole, with
// its backslash): "C:\ZELTAPRO\..\WINDOWS" and "C:\ZELTAPROX\" do not.
bool inside(const char* path, const char* installdir)
{
    text full = full_path(path);
    std::size_t n = std::strlen(installdir);
    if (n == 0 || std::strlen(full.s) <= n) return false;
    full.s[n] = '\0';
    return lstrcmpiA(full.s, installdir) == 0;
}

// Copies at most size - 1 characters of [from, to) into out.
void copy_span(char* out, std::size_t size, const char* from, const char* to)
{
    std::size_t n = std::size_t(to - from);
    if (n >= size) n = size - 1;
    std::memcpy(out, from, n);
    out[n] = '\0';
}

// The whole file, terminated, or null; the caller frees it. Bounded: a
// record is a few kilobytes.
char* read_file(const char* file, DWORD limit)
{
    HANDLE h = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    DWORD size = GetFileSize(h, nullptr);
    char* data = nullptr;
    if (size != INVALID_FILE_SIZE && size <= limit)
        data = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 1));
    DWORD got = 0;
    if (data && (!ReadFile(h, data, size, &got, nullptr) || got != size)) {
        HeapFree(GetProcessHeap(), 0, data);
        data = nullptr;
    }
    CloseHandle(h);
    return data;
}

// Splits data into its lines in place; calls each(line) for every one.
template <typename F>
void for_each_line(char* data, F each)
{
    for (char* line = data; *line;) {
        char* end = line;
        while (*end && *end != '\r' && *end != '\n') ++end;
        char* next = end;
        while (*next == '\r' || *next == '\n') ++next;
        *end = '\0';
        if (!each(line, end)) return;
        line = next;
    }
}

bool read_record(const char* file, record* out)
{
    char* data = read_file(file, 64 * 1024);
    if (!data) return false;
    std::memset(out, 0, sizeof *out);
    bool first = true, damaged = false;
    for_each_line(data, [&](char* line, char* end) {
        if (first) {
            // The title names a key, shortcuts and a group folder: a damaged
            // one must name nothing but ours.
            first = false;
            copy_span(out->title, sizeof out->title, line, end);
            // Brackets and parentheses would end the DeleteGroup command early.
            damaged = std::size_t(end - line) >= sizeof out->title || !UL_isplainname(out->title) ||
                      std::strpbrk(out->title, "[]()") != nullptr;
            return !damaged;
        }
        if (char* comma = std::strchr(line, ',')) {
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
        return true;
    });
    HeapFree(GetProcessHeap(), 0, data);
    return !first && !damaged;
}

enum record_state { NO_RECORD, RECORD_READ, RECORD_UNREADABLE };

// The checked entries of UNINSTAL.LST. Only valid lines take memory, so a
// record padded with junk cannot make it fail into the fixed tree.
record_state read_made_list(const char* file, made_list* out)
{
    out->entries = nullptr;
    out->count = 0;
    if (GetFileAttributesA(file) == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return NO_RECORD;
    }
    char* data = read_file(file, 4 * 1024 * 1024);
    if (!data) return RECORD_UNREADABLE;
    HANDLE heap = GetProcessHeap();
    int capacity = 0;
    bool ok = true;
    for_each_line(data, [&](char* line, char*) {
        made_entry e;
        // A line that fails the check is skipped; the rest still goes.
        if (!UL_parserecordline(line, &e.kind, e.rel, sizeof e.rel)) return true;
        if (out->count == capacity) {
            int grown = capacity ? capacity * 2 : 64;
            std::size_t bytes = sizeof(made_entry) * std::size_t(grown);
            void* more = out->entries ? HeapReAlloc(heap, 0, out->entries, bytes) : HeapAlloc(heap, 0, bytes);
            if (!more) {
                ok = false;
                return false;
            }
            out->entries = static_cast<made_entry*>(more);
            capacity = grown;
        }
        out->entries[out->count++] = e;
        return true;
    });
    HeapFree(heap, 0, data);
    return ok ? RECORD_READ : RECORD_UNREADABLE;
}

bool is_link(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool is_dots(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

// A junction or symbolic link goes as itself; what it names stays.
void remove_link(const char* path, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveDirectoryA(path);
    else
        DeleteFileA(path);
}

void remove_file(const char* path, DWORD attributes)
{
    if (is_link(attributes)) return remove_link(path, attributes);
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path);
}

// Removes a directory (not a link; without its backslash) with everything in
// it; links inside go as links and are never entered.
void remove_tree(const char* dir)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(make(dir, "\\*").s, &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (is_dots(found.cFileName)) continue;
            text full = make(dir, "\\", found.cFileName);
            if (!full.s[0]) continue;
            if (is_link(found.dwFileAttributes))
                remove_link(full.s, found.dwFileAttributes);
            else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                remove_tree(full.s);
            else
                remove_file(full.s, found.dwFileAttributes);
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(dir);
}

// Whether every directory on the way from the installation directory to the
// entry rel is a real directory: a link on the way would lead outside.
bool clean_way(const char* installdir, const char* rel)
{
    text way = make(installdir);
    std::size_t used = std::strlen(way.s);
    for (const char* p = rel; *p; ++p) {
        if (*p == '\\') {
            DWORD a = GetFileAttributesA(way.s);
            if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY) || is_link(a)) return false;
        }
        if (used + 1 >= MAX_PATH) return false;
        way.s[used++] = *p;
        way.s[used] = '\0';
    }
    return true;
}

// A directory entry of the installation: with everything in it when it is a
// real directory, as itself when it is a link; a file of that name stays.
void remove_directory_entry(const char* installdir, const char* rel)
{
    if (!clean_way(installdir, rel)) return;
    text path = make(installdir, rel);
    DWORD a = GetFileAttributesA(path.s);
    if (a == INVALID_FILE_ATTRIBUTES) return;
    if (is_link(a))
        remove_link(path.s, a);
    else if (a & FILE_ATTRIBUTE_DIRECTORY)
        remove_tree(path.s);
}

void remove_file_entry(const char* installdir, const char* rel)
{
    if (!clean_way(installdir, rel)) return;
    text path = make(installdir, rel);
    DWORD a = GetFileAttributesA(path.s);
    if (a == INVALID_FILE_ATTRIBUTES) return;
    if (is_link(a))
        remove_link(path.s, a);
    else if (!(a & FILE_ATTRIBUTE_DIRECTORY))
        remove_file(path.s, a);
}

int depth(const char* rel)
{
    int n = 1;
    for (; *rel; ++rel)
        if (*rel == '\\') ++n;
    return n;
}

bool recorded(const made_list& made, char kind, const char* rel)
{
    for (int i = 0; i < made.count; ++i)
        if (made.entries[i].kind == kind && lstrcmpiA(made.entries[i].rel, rel) == 0) return true;
    return false;
}

// What the record names: its files, then its directories deepest first. A
// directory that was there before keeps everything it does not name.
void remove_made(const char* installdir, const made_list& made, bool deleteuserdata)
{
    for (int i = 0; i < made.count; ++i) {
        const made_entry& e = made.entries[i];
        if (e.kind == 'F' && (deleteuserdata || !UC_isuserdata(e.rel))) remove_file_entry(installdir, e.rel);
    }
    int deepest = 0;
    for (int i = 0; i < made.count; ++i)
        if (made.entries[i].kind == 'D' && depth(made.entries[i].rel) > deepest) deepest = depth(made.entries[i].rel);
    for (int level = deepest; level > 0; --level) {
        for (int i = 0; i < made.count; ++i) {
            const made_entry& e = made.entries[i];
            if (e.kind != 'D' || depth(e.rel) != level) continue;
            if (deleteuserdata || !UC_isuserdata(e.rel)) remove_directory_entry(installdir, e.rel);
        }
    }
    remove_file_entry(installdir, "DATA\\UNINSTAL.DAT");
    remove_file_entry(installdir, "DATA\\UNINSTAL.LST");
    if (recorded(made, 'D', "DATA")) {
        text data = make(installdir, "DATA");
        if (!is_link(GetFileAttributesA(data.s))) RemoveDirectoryA(data.s);
    }
    // Only an emptied directory goes; the user's other files keep it.
    RemoveDirectoryA(installdir);
}

// An installation older than the record: its fixed tree, never from the root
// of a drive, where those names are anybody's.
void remove_fixed_tree(const char* installdir, bool deleteuserdata)
{
    if (UC_isdriveroot(installdir)) return;
    for (const char* d : TREE)
        if (deleteuserdata || !UC_isuserdata(d)) remove_directory_entry(installdir, d);
    RemoveDirectoryA(installdir);
}

// Whether a directory holds a file anywhere below it; a link counts as
// something of the user's and is not followed.
bool holds_files(const char* dir)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(make(dir, "\\*").s, &found);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool any = false;
    do {
        if (is_dots(found.cFileName)) continue;
        if (is_link(found.dwFileAttributes) || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            any = true;
        else
            any = holds_files(make(dir, "\\", found.cFileName).s);
    } while (!any && FindNextFileA(h, &found));
    FindClose(h);
    return any;
}

bool has_user_data(const char* installdir)
{
    for (const char* d : USERDATA) {
        text path = make(installdir, d);
        DWORD a = GetFileAttributesA(path.s);
        if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (is_link(a) || holds_files(path.s)) return true;
    }
    return false;
}

// RegDeleteKey removes only leaf keys on Windows NT: go depth first.
void delete_key_tree(HKEY root, const char* key)
{
    HKEY h;
    if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
        char sub[MAX_PATH];
        while (RegEnumKeyA(h, 0, sub, sizeof sub) == ERROR_SUCCESS) {
            text child = make(key, "\\", sub);
            if (!child.s[0]) break;
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

// The default value of a key; empty when there is none or it is not a string.
text default_value(HKEY root, const char* key)
{
    text t = {};
    LONG size = MAX_PATH;
    if (RegQueryValueA(root, key, t.s, &size) != ERROR_SUCCESS) t.s[0] = '\0';
    t.s[MAX_PATH] = '\0';
    return t;
}

// A verb is ours when its command starts a program of this installation.
bool verb_is_ours(const char* verbkey, const char* installdir)
{
    text command = default_value(HKEY_CLASSES_ROOT, make(verbkey, "\\command").s);
    char program[MAX_PATH];
    return command.s[0] && UC_commandprogram(command.s, installdir, program, sizeof program) &&
           inside(program, installdir);
}

// The verbs of this installation go; a type whose last verb went here goes
// with its extension, unless another program has taken the extension over.
void remove_file_types(const record& r, const char* installdir)
{
    bool removed[MAXVERBS] = {};
    for (int i = 0; i < r.count; ++i) {
        const verb_entry& v = r.verbs[i];
        text key = make(v.extension, "file\\shell\\", v.verb);
        if (!key.s[0] || !verb_is_ours(key.s, installdir)) continue;
        delete_key_tree(HKEY_CLASSES_ROOT, key.s);
        removed[i] = true;
    }
    for (int i = 0; i < r.count; ++i) {
        if (!removed[i]) continue;
        const char* ext = r.verbs[i].extension;
        text type = make(ext, "file");
        text shell = make(type.s, "\\shell");
        text dotted = make(".", ext);
        if (key_has_subkeys(HKEY_CLASSES_ROOT, shell.s)) continue;
        delete_key_tree(HKEY_CLASSES_ROOT, type.s);
        if (lstrcmpiA(default_value(HKEY_CLASSES_ROOT, dotted.s).s, type.s) == 0 &&
            !key_has_subkeys(HKEY_CLASSES_ROOT, dotted.s))
            RegDeleteKeyA(HKEY_CLASSES_ROOT, dotted.s);
    }
}

text faxini_path()
{
    text faxini = make(windows_dir().s, "FAX.ini");
    text path = {};
    GetPrivateProfileStringA("FAX", "PATH", "", path.s, MAX_PATH, faxini.s);
    return path;
}

// The entry is ours when it runs this uninstaller for this installation; an
// entry from before the command named its installation counts when FAX.ini
// names this one.
void remove_uninstall_entry(const record& r, const char* installdir)
{
    text key = make(UNINSTALL_KEY, r.title);
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.s, 0, KEY_READ, &h) != ERROR_SUCCESS) return;
    text command = {};
    DWORD size = MAX_PATH, type = 0;
    LONG rc = RegQueryValueExA(h, "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(command.s), &size);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS || type != REG_SZ) return;
    command.s[MAX_PATH] = '\0';
    uninstall_command c;
    if (!UC_parsecommand(command.s, &c)) return;
    text program = full_path(c.program);
    if (lstrcmpiA(program.s, make(windows_dir().s, "ZVUNINST.EXE").s) != 0) return;
    if (c.haspath ? !same_dir(c.path, installdir) : !same_dir(faxini_path().s, installdir)) return;
    delete_key_tree(HKEY_LOCAL_MACHINE, key.s);
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

// Whether a shortcut file starts something inside this installation.
bool shortcut_is_ours(const char* file, const char* installdir)
{
    if (is_link(GetFileAttributesA(file))) return false;
    IShellLinkA* link = nullptr;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void**>(&link)) != S_OK)
        return false;
    bool ours = false;
    IPersistFile* persist = nullptr;
    if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)) == S_OK) {
        WCHAR wide[MAX_PATH];
        char target[MAX_PATH] = {};
        WIN32_FIND_DATAA data;
        if (MultiByteToWideChar(CP_ACP, 0, file, -1, wide, MAX_PATH) > 0 && persist->Load(wide, STGM_READ) == S_OK &&
            link->GetPath(target, MAX_PATH, &data, 0) == S_OK)
            ours = target[0] && inside(target, installdir);
        persist->Release();
    }
    link->Release();
    return ours;
}

void remove_shortcuts(const record& r, const char* installdir)
{
    text folders[] = {desktop_folder(), special_folder(CSIDL_SENDTO)};
    for (text& folder : folders) {
        if (!folder.s[0]) continue;
        add_slash(folder.s, sizeof folder.s);
        text file = make(folder.s, r.title, ".LNK");
        if (file.s[0] && shortcut_is_ours(file.s, installdir)) DeleteFileA(file.s);
    }
}

HDDEDATA CALLBACK dde_callback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

void send_delete_group(const char* title)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, dde_callback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return;
    HSZ service = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
    HCONV conv = DdeConnect(instance, service, service, nullptr);
    if (conv) {
        text command = make("[DeleteGroup(\"", title, "\")]");
        DdeClientTransaction(reinterpret_cast<BYTE*>(command.s), DWORD(std::strlen(command.s) + 1), conv, nullptr, 0,
                             XTYP_EXECUTE, 10000, nullptr);
        DdeDisconnect(conv);
    }
    DdeFreeStringHandle(instance, service);
    DdeUninitialize(instance);
}

bool ends_with_lnk(const char* name)
{
    std::size_t n = std::strlen(name);
    return n > 4 && lstrcmpiA(name + n - 4, ".lnk") == 0;
}

// The group's items that start this installation's programs; the group
// itself (its folder, and in Program Manager) only when it held ours and
// nothing else is left in it.
void remove_group(const record& r, const char* installdir)
{
    text programs = special_folder(CSIDL_PROGRAMS);
    if (!programs.s[0]) return;
    add_slash(programs.s, sizeof programs.s);
    text group = make(programs.s, r.title);
    DWORD a = GetFileAttributesA(group.s);
    if (!group.s[0] || a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY) || is_link(a)) return;
    int ours = 0;
    bool others = false;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(make(group.s, "\\*").s, &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (is_dots(found.cFileName)) continue;
            text item = make(group.s, "\\", found.cFileName);
            bool plainfile = !(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
            if (plainfile && item.s[0] && ends_with_lnk(found.cFileName) && shortcut_is_ours(item.s, installdir) &&
                DeleteFileA(item.s))
                ++ours;
            else
                others = true;
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    if (others || ours == 0) return;
    send_delete_group(r.title);
    RemoveDirectoryA(group.s);
}

void remove_windows_entries(const char* installdir)
{
    if (same_dir(faxini_path().s, installdir)) DeleteFileA(make(windows_dir().s, "FAX.ini").s);

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
    // The installation: the one named, else the one FAX.ini names; made
    // whole, so that every comparison below sees the same directory.
    text named = installdirarg && installdirarg[0] ? make(installdirarg) : faxini_path();
    text installdir = full_path(named.s);
    add_slash(installdir.s, sizeof installdir.s);
    // Read now: the library lies in the program directory, which goes below.
    static uninstall_texts texts;
    UT_load(&texts, installdir.s);
    static record r;
    // A link in its place would lead the removal elsewhere.
    bool found = installdir.s[0] && !is_link(GetFileAttributesA(installdir.s)) &&
                 read_record(make(installdir.s, "DATA\\UNINSTAL.DAT").s, &r);
    if (!found) {
        if (!quiet) tell(owner, texts, UT_text(&texts, UT_NOT_FOUND), MB_ICONSTOP);
        return UNINSTALL_NOT_FOUND;
    }
    made_list made = {};
    record_state state = read_made_list(make(installdir.s, "DATA\\UNINSTAL.LST").s, &made);
    if (quiet && userdata == UNINSTALL_ASK) userdata = UNINSTALL_KEEP_USERDATA;

    text question = {};
    UT_format(question.s, sizeof question.s, UT_text(&texts, UT_ASK_REMOVE), r.title, installdir.s);
    if (!quiet && !ask(owner, texts, question.s)) {
        if (made.entries) HeapFree(GetProcessHeap(), 0, made.entries);
        return UNINSTALL_DECLINED;
    }
    bool deleteuserdata = userdata == UNINSTALL_DELETE_USERDATA;
    // Asked only when there is something to lose; empty directories just go.
    if (userdata == UNINSTALL_ASK) {
        UT_format(question.s, sizeof question.s, UT_text(&texts, UT_ASK_USERDATA), installdir.s);
        deleteuserdata = !has_user_data(installdir.s) || ask(owner, texts, question.s);
    }

    CoInitialize(nullptr);
    remove_file_types(r, installdir.s);
    remove_uninstall_entry(r, installdir.s);
    remove_shortcuts(r, installdir.s);
    remove_group(r, installdir.s);
    remove_windows_entries(installdir.s);
    // A record that is there but cannot be read whole removes no file: the
    // fixed tree would take what was there before.
    if (state == RECORD_READ)
        remove_made(installdir.s, made, deleteuserdata);
    else if (state == NO_RECORD)
        remove_fixed_tree(installdir.s, deleteuserdata);
    CoUninitialize();
    if (made.entries) HeapFree(GetProcessHeap(), 0, made.entries);

    if (!quiet) {
        text removed = {};
        UT_format(removed.s, sizeof removed.s, UT_text(&texts, UT_REMOVED), r.title);
        tell(owner, texts, removed.s, MB_ICONINFORMATION);
    }
    return UNINSTALL_DONE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
