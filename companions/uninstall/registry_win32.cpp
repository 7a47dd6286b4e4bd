// What the installation registered: file type verbs, the uninstall entry,
// FAX.ini and the WIN.INI printer entries. Each goes only when it verifiably
// belongs to this installation.
#include <cstring>

#include "command.h"
#include "removal_win32.h"

namespace uninst {

namespace {

const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

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

// RegDeleteKey removes only leaf keys on Windows NT: go depth first.
bool delete_key_tree(HKEY root, const char* key)
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
    return RegDeleteKeyA(root, key) == ERROR_SUCCESS;
}

// One log line for a key and everything below it.
void delete_logged(HKEY root, const char* rootname, const char* key)
{
    text name = make(rootname, "\\", key);
    if (delete_key_tree(root, key)) log_removed("key", name.s);
    else log_kept("key", name.s, UR_FAILED);
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

bool has_key(HKEY root, const char* key)
{
    HKEY h;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
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

}  // namespace

// The verbs of this installation go; a type whose last verb went here goes
// with its extension, unless another program has taken the extension over.
void remove_file_types(const ur_titles& r, const char* installdir)
{
    bool removed[UR_MAXVERBS] = {};
    for (int i = 0; i < r.count; ++i) {
        const ur_verb& v = r.verbs[i];
        text key = make(v.extension, "file\\shell\\", v.verb);
        if (!key.s[0] || !has_key(HKEY_CLASSES_ROOT, key.s)) continue;
        if (!verb_is_ours(key.s, installdir)) {
            log_kept("key", make("HKEY_CLASSES_ROOT\\", key.s).s, UR_NOT_OURS);
            continue;
        }
        delete_logged(HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", key.s);
        removed[i] = true;
    }
    for (int i = 0; i < r.count; ++i) {
        if (!removed[i]) continue;
        const char* ext = r.verbs[i].extension;
        text type = make(ext, "file");
        text shell = make(type.s, "\\shell");
        text dotted = make(".", ext);
        if (!has_key(HKEY_CLASSES_ROOT, type.s) || key_has_subkeys(HKEY_CLASSES_ROOT, shell.s)) continue;
        delete_logged(HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", type.s);
        if (!has_key(HKEY_CLASSES_ROOT, dotted.s)) continue;
        if (lstrcmpiA(default_value(HKEY_CLASSES_ROOT, dotted.s).s, type.s) == 0 &&
            !key_has_subkeys(HKEY_CLASSES_ROOT, dotted.s))
            delete_logged(HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", dotted.s);
        else
            log_kept("key", make("HKEY_CLASSES_ROOT\\", dotted.s).s, UR_NOT_OURS);
    }
}

// The entry is ours when it runs this uninstaller for this installation; an
// entry from before the command named its installation counts when FAX.ini
// names this one. Its values (the inventory's too) go with it.
void remove_uninstall_entry(const ur_titles& r, const char* installdir)
{
    text key = make(UNINSTALL_KEY, r.title);
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.s, 0, KEY_READ, &h) != ERROR_SUCCESS) return;
    text command = {};
    DWORD size = MAX_PATH, type = 0;
    LONG rc = RegQueryValueExA(h, "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(command.s), &size);
    RegCloseKey(h);
    text name = make("HKEY_LOCAL_MACHINE\\", key.s);
    command.s[MAX_PATH] = '\0';
    uninstall_command c;
    bool ours = rc == ERROR_SUCCESS && type == REG_SZ && UC_parsecommand(command.s, &c) &&
                lstrcmpiA(full_path(c.program).s, make(windows_dir().s, "ZVUNINST.EXE").s) == 0 &&
                (c.haspath ? same_dir(c.path, installdir) : same_dir(faxini_path().s, installdir));
    if (!ours) {
        log_kept("key", name.s, UR_NOT_OURS);
        return;
    }
    delete_logged(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", key.s);
}

void remove_windows_entries(const char* installdir)
{
    text faxini = make(windows_dir().s, "FAX.ini");
    if (GetFileAttributesA(faxini.s) != INVALID_FILE_ATTRIBUTES) {
        if (!same_dir(faxini_path().s, installdir)) log_kept("file", faxini.s, UR_NOT_OURS);
        else if (DeleteFileA(faxini.s)) log_removed("file", faxini.s);
        else log_kept("file", faxini.s, UR_FAILED);
    }

    char driver[MAX_PATH] = {};
    GetProfileStringA("devices", "VEQ-printer", "", driver, sizeof driver);
    if (!driver[0]) return;
    if (lstrcmpiA(driver, "VEQ,FAX:") != 0) {
        log_kept("INI line", "WIN.INI [devices] VEQ-printer", UR_NOT_OURS);
        return;
    }
    text system = {};
    if (GetSystemDirectoryA(system.s, MAX_PATH)) {
        add_slash(system.s, sizeof system.s);
        text drv = make(system.s, "VEQ.DRV");
        if (DeleteFileA(drv.s)) log_removed("file", drv.s);
    }
    for (const winini_entry& e : PRINTER_ENTRIES) {
        WriteProfileStringA(e.section, e.key, nullptr);
        text line = make("WIN.INI [", e.section, "] ", e.key);
        log_removed("INI line", line.s);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(e.section),
                            SMTO_ABORTIFHUNG, 5000, &result);
    }
}

}  // namespace uninst
