// VEQUNINS.DLL: removes what the installation registered and installed, and
// nothing else. The installation tells it what there is: FAX.ini in the
// Windows directory names the installation directory, UNINSTAL.DAT in its
// DATA directory the product title and the file type verbs registered.
#include <windows.h>
#include <ddeml.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "vequnins.h"

namespace {

const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char SHELL_FOLDERS[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char CAPTION[] = "Uninstall";

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

struct record {
    std::string title;
    std::vector<std::pair<std::string, std::string>> verbs;  // extension, verb
};

std::string with_slash(std::string dir)
{
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir;
}

std::string windows_dir()
{
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, sizeof dir);
    return with_slash(dir);
}

bool same_path(const std::string& a, const std::string& b)
{
    return lstrcmpiA(with_slash(a).c_str(), with_slash(b).c_str()) == 0;
}

std::string install_dir_from_faxini()
{
    char path[MAX_PATH] = {};
    GetPrivateProfileStringA("FAX", "PATH", "", path, sizeof path, (windows_dir() + "FAX.ini").c_str());
    return path;
}

bool read_record(const std::string& file, record* out)
{
    HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0 && text.size() < 65536)
        text.append(buffer, got);
    CloseHandle(h);

    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    if (lines.empty() || lines[0].empty()) return false;
    out->title = lines[0];
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::size_t comma = lines[i].find(',');
        if (comma == 0 || comma == std::string::npos || comma + 1 >= lines[i].size()) continue;
        std::string ext = lines[i].substr(0, comma);
        // Only plain names: a damaged record must not reach other keys.
        if (ext.find('\\') != std::string::npos || lines[i].find('\\', comma) != std::string::npos) continue;
        out->verbs.emplace_back(ext, lines[i].substr(comma + 1));
    }
    return true;
}

// RegDeleteKey removes only leaf keys on Windows NT: go depth first.
void delete_key_tree(HKEY root, const std::string& key)
{
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
        char sub[MAX_PATH];
        while (RegEnumKeyA(h, 0, sub, sizeof sub) == ERROR_SUCCESS) {
            std::string child = key + "\\" + sub;
            delete_key_tree(root, child);
            // A key that cannot go would be found again for ever.
            HKEY test;
            if (RegOpenKeyExA(root, child.c_str(), 0, KEY_READ, &test) == ERROR_SUCCESS) {
                RegCloseKey(test);
                break;
            }
        }
        RegCloseKey(h);
    }
    RegDeleteKeyA(root, key.c_str());
}

bool key_has_subkeys(HKEY root, const std::string& key)
{
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    char sub[MAX_PATH];
    bool any = RegEnumKeyA(h, 0, sub, sizeof sub) == ERROR_SUCCESS;
    RegCloseKey(h);
    return any;
}

std::string default_value(HKEY root, const std::string& key)
{
    char value[MAX_PATH] = {};
    LONG size = sizeof value;
    if (RegQueryValueA(root, key.c_str(), value, &size) != ERROR_SUCCESS) return "";
    return value;
}

// The verbs we registered go; a type left without verbs goes with its
// extension, unless another program has taken the extension over since.
void remove_file_types(const record& r)
{
    std::vector<std::string> types;
    for (const auto& v : r.verbs) {
        std::string type = v.first + "file";
        delete_key_tree(HKEY_CLASSES_ROOT, type + "\\shell\\" + v.second);
        bool seen = false;
        for (const auto& t : types) seen = seen || t == v.first;
        if (!seen) types.push_back(v.first);
    }
    for (const auto& ext : types) {
        std::string type = ext + "file";
        if (key_has_subkeys(HKEY_CLASSES_ROOT, type + "\\shell")) continue;
        delete_key_tree(HKEY_CLASSES_ROOT, type);
        if (lstrcmpiA(default_value(HKEY_CLASSES_ROOT, "." + ext).c_str(), type.c_str()) == 0 &&
            !key_has_subkeys(HKEY_CLASSES_ROOT, "." + ext))
            RegDeleteKeyA(HKEY_CLASSES_ROOT, ("." + ext).c_str());
    }
}

std::string desktop_folder()
{
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SHELL_FOLDERS, 0, KEY_READ, &h) != ERROR_SUCCESS) return "";
    char value[MAX_PATH] = {};
    DWORD size = sizeof value - 1;
    LONG rc = RegQueryValueExA(h, "Desktop", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(h);
    return rc == ERROR_SUCCESS ? value : "";
}

std::string special_folder(int csidl)
{
    LPITEMIDLIST list = nullptr;
    char path[MAX_PATH] = {};
    if (SHGetSpecialFolderLocation(nullptr, csidl, &list) != S_OK || !list) return "";
    BOOL ok = SHGetPathFromIDListA(list, path);
    CoTaskMemFree(list);
    return ok ? path : "";
}

void remove_shortcuts(const record& r)
{
    for (const std::string& folder : {desktop_folder(), special_folder(CSIDL_SENDTO)}) {
        if (folder.empty()) continue;
        DeleteFileA((with_slash(folder) + r.title + ".LNK").c_str());
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
            std::string command = "[DeleteGroup(" + r.title + ")]";
            DdeClientTransaction(reinterpret_cast<BYTE*>(&command[0]), DWORD(command.size() + 1), conv, nullptr, 0,
                                 XTYP_EXECUTE, 10000, nullptr);
            DdeDisconnect(conv);
        }
        DdeFreeStringHandle(instance, service);
        DdeUninitialize(instance);
    }
    std::string programs = special_folder(CSIDL_PROGRAMS);
    if (programs.empty()) return;
    std::string group = with_slash(programs) + r.title + "\\";
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((group + "*.lnk").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do DeleteFileA((group + found.cFileName).c_str());
        while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(group.c_str());
}

// Removes a directory with everything in it.
void remove_tree(const std::string& dir)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = dir + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                remove_tree(full + "\\");
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

bool has_user_data(const std::string& installdir)
{
    for (const tree_dir& d : TREE) {
        if (!d.userdata) continue;
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((installdir + d.name + "\\*").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE) continue;
        bool any = false;
        do {
            any = any || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        } while (!any && FindNextFileA(h, &found));
        FindClose(h);
        if (any) return true;
    }
    return false;
}

void remove_files(const std::string& installdir, bool deleteuserdata)
{
    for (const tree_dir& d : TREE) {
        std::string dir = installdir + d.name + "\\";
        if (d.userdata && !deleteuserdata) continue;
        // Directories nested in one we keep stay with it.
        remove_tree(dir);
    }
    // Only an emptied directory goes; the user's other files keep it.
    RemoveDirectoryA(installdir.c_str());
}

void remove_windows_entries(const std::string& installdir)
{
    std::string faxini = windows_dir() + "FAX.ini";
    char path[MAX_PATH] = {};
    GetPrivateProfileStringA("FAX", "PATH", "", path, sizeof path, faxini.c_str());
    if (path[0] && same_path(path, installdir)) DeleteFileA(faxini.c_str());

    char driver[MAX_PATH] = {};
    GetProfileStringA("devices", "VEQ-printer", "", driver, sizeof driver);
    if (lstrcmpiA(driver, "VEQ,FAX:") != 0) return;
    char system[MAX_PATH] = {};
    if (GetSystemDirectoryA(system, sizeof system)) DeleteFileA((with_slash(system) + "VEQ.DRV").c_str());
    for (const winini_entry& e : PRINTER_ENTRIES) {
        WriteProfileStringA(e.section, e.key, nullptr);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(e.section),
                            SMTO_ABORTIFHUNG, 5000, &result);
    }
}

int ask(HWND owner, const std::string& text)
{
    return MessageBoxA(owner, text.c_str(), CAPTION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
}

}  // namespace

extern "C" __declspec(dllexport) int WINAPI VEQ_uninstall(HWND owner, const char* installdirarg, int userdata,
                                                           int quiet)
{
    std::string installdir = installdirarg && installdirarg[0] ? installdirarg : install_dir_from_faxini();
    record r;
    if (installdir.empty() || !read_record(with_slash(installdir) + "DATA\\UNINSTAL.DAT", &r)) {
        if (!quiet) MessageBoxA(owner, "No installation to remove was found.", CAPTION, MB_OK | MB_ICONSTOP);
        return UNINSTALL_NOT_FOUND;
    }
    installdir = with_slash(installdir);
    if (quiet && userdata == UNINSTALL_ASK) userdata = UNINSTALL_KEEP_USERDATA;

    if (!quiet && ask(owner, "Remove " + r.title + " from " + installdir + " and all of its components?") != IDYES)
        return UNINSTALL_DECLINED;
    bool deleteuserdata = userdata == UNINSTALL_DELETE_USERDATA;
    // Asked only when there is something to lose; empty directories just go.
    if (userdata == UNINSTALL_ASK)
        deleteuserdata = !has_user_data(installdir) ||
                         ask(owner, "Delete your received and sent faxes and your mailboxes as well?\n\n"
                                    "Choose No to keep them in " + installdir + ".") == IDYES;

    CoInitialize(nullptr);
    remove_file_types(r);
    delete_key_tree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY + r.title);
    remove_shortcuts(r);
    remove_group(r);
    remove_windows_entries(installdir);
    remove_files(installdir, deleteuserdata);
    CoUninitialize();

    if (!quiet) MessageBoxA(owner, (r.title + " has been removed.").c_str(), CAPTION, MB_OK | MB_ICONINFORMATION);
    return UNINSTALL_DONE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
