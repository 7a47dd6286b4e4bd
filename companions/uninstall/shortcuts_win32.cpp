// The shortcuts on the desktop and in Send To, and the program group: each
// only when its target lies inside this installation.
#include <windows.h>
#include <ddeml.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>

#include "removal_win32.h"

namespace uninst {

namespace {

const char SHELL_FOLDERS[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

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

HDDEDATA CALLBACK dde_callback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

bool send_delete_group(const char* title)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, dde_callback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
    HSZ service = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
    HCONV conv = DdeConnect(instance, service, service, nullptr);
    bool sent = false;
    if (conv) {
        text command = make("[DeleteGroup(\"", title, "\")]");
        sent = DdeClientTransaction(reinterpret_cast<BYTE*>(command.s), DWORD(std::strlen(command.s) + 1), conv,
                                    nullptr, 0, XTYP_EXECUTE, 10000, nullptr) != nullptr;
        DdeDisconnect(conv);
    }
    DdeFreeStringHandle(instance, service);
    DdeUninitialize(instance);
    return sent;
}

bool ends_with_lnk(const char* name)
{
    std::size_t n = std::strlen(name);
    return n > 4 && lstrcmpiA(name + n - 4, ".lnk") == 0;
}

}  // namespace

void remove_shortcuts(const ur_titles& r, const char* installdir)
{
    text folders[] = {desktop_folder(), special_folder(CSIDL_SENDTO)};
    for (text& folder : folders) {
        if (!folder.s[0]) continue;
        add_slash(folder.s, sizeof folder.s);
        text file = make(folder.s, r.title, ".LNK");
        if (!file.s[0] || GetFileAttributesA(file.s) == INVALID_FILE_ATTRIBUTES) continue;
        if (!shortcut_is_ours(file.s, installdir)) log_kept("shortcut", file.s, UR_NOT_OURS);
        else if (DeleteFileA(file.s)) log_removed("shortcut", file.s);
        else log_kept("shortcut", file.s, UR_FAILED);
    }
}

// The group's items that start this installation's programs; the group
// itself (its folder, and in Program Manager) only when nothing else is left
// in it and it held ours or the journal says the run made it.
void remove_group(const ur_titles& r, const char* installdir, bool made)
{
    text programs = special_folder(CSIDL_PROGRAMS);
    if (!programs.s[0]) return;
    add_slash(programs.s, sizeof programs.s);
    text group = make(programs.s, r.title);
    DWORD a = GetFileAttributesA(group.s);
    if (!group.s[0] || a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) return;
    if (is_link(a)) {
        log_kept("group", group.s, UR_LINK);
        return;
    }
    int ours = 0;
    bool others = false;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(make(group.s, "\\*").s, &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0) continue;
            text item = make(group.s, "\\", found.cFileName);
            bool plainfile = !(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
            if (plainfile && item.s[0] && ends_with_lnk(found.cFileName) && shortcut_is_ours(item.s, installdir) &&
                DeleteFileA(item.s)) {
                log_removed("shortcut", item.s);
                ++ours;
            } else {
                log_kept("shortcut", item.s, UR_NOT_OURS);
                others = true;
            }
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    // A stop between the group and its first item leaves it empty.
    if (others || (ours == 0 && !made)) {
        log_kept("group", group.s, ours == 0 ? UR_NOT_OURS : UR_NOT_EMPTY);
        return;
    }
    if (send_delete_group(r.title)) log_removed("group", r.title);
    if (RemoveDirectoryA(group.s)) log_removed("directory", group.s);
}

}  // namespace uninst
