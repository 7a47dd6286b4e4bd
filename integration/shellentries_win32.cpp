// Registry values, shell links and shell folders for the shell registration.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlguid.h>

#include <cstring>

#include "files/log.h"
#include "integration/shellentries.h"
#include "shell/text.h"

namespace {

HKEY root_key(ul_regroot root)
{
    switch (root) {
    case UL_HKEY_CLASSES_ROOT: return HKEY_CLASSES_ROOT;
    case UL_HKEY_CURRENT_USER: return HKEY_CURRENT_USER;
    default: return HKEY_LOCAL_MACHINE;
    }
}

const char SHELL_FOLDERS[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The desktop folder as the shell records it for the user; false when missing.
bool desktop_folder(char out[SHELLPATHSIZE])
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SHELL_FOLDERS, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char value[SHELLPATHSIZE] = {};
    DWORD size = sizeof value - 1, type = 0;
    LONG rc = RegQueryValueExA(key, "Desktop", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || value[0] == '\0') return false;
    UL_copytext(out, SHELLPATHSIZE, value);
    return true;
}

void save_link(setup_context* ctx, const char* target, const char* workdir, const char* name, const char* link)
{
    IShellLinkA* shelllink = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&shelllink));
    if (FAILED(hr)) {
        UL_loglonghex(ctx, "CoCreateInstance failed=", std::uint32_t(hr));
        return;
    }
    shelllink->SetPath(target);
    shelllink->SetDescription(name);
    shelllink->SetIconLocation(target, 0);
    shelllink->SetWorkingDirectory(workdir);
    IPersistFile* file = nullptr;
    hr = shelllink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (FAILED(hr)) {
        UL_loglonghex(ctx, "QueryInterface failed=", std::uint32_t(hr));
        shelllink->Release();
        return;
    }
    WCHAR wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, link, -1, wide, MAX_PATH);
    wide[MAX_PATH - 1] = L'\0';
    hr = file->Save(wide, TRUE);
    UL_loglonghex(ctx, "Save link result=", std::uint32_t(hr));
    file->Release();
    shelllink->Release();
}

}  // namespace

status_t INS_setregstring(ul_regroot root, const char* subkey, const char* valuename, const char* text)
{
    if (!subkey || !subkey[0]) return ST_OK;
    HKEY key;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root_key(root), subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return ST_OK;
    RegSetValueExA(key, valuename, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), DWORD(std::strlen(text) + 1));
    RegCloseKey(key);
    return ST_OK;
}

status_t INS_makeshortcut(setup_context* ctx, const char* target, const char* folder, const char* name)
{
    UL_logstring(ctx, "shortcut path=", target);
    UL_logstring(ctx, "  linkpath=", folder);
    char workdir[SHELLPATHSIZE];
    INS_shortcutworkdir(workdir, target);

    char where[SHELLPATHSIZE];
    if (INS_isdesktopfolder(folder)) {
        if (!desktop_folder(where)) {
            if (UL_logdetail(ctx)) UL_logline(ctx, "no Desktop folder, no shortcut");
            return ST_OK;
        }
    } else {
        UL_copytext(where, SHELLPATHSIZE, folder);
    }
    char link[SHELLPATHSIZE];
    INS_shortcutlinkpath(link, where, name);
    UL_logstring(ctx, "szLink=", link);

    HRESULT init = CoInitialize(nullptr);
    save_link(ctx, target, workdir, name, link);
    if (SUCCEEDED(init)) CoUninitialize();
    return ST_OK;
}

std::uint32_t UL_getsendtofolder(char* out, std::uint32_t size)
{
    char path[MAX_PATH] = {};
    out[0] = '\0';
    LPITEMIDLIST list = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, CSIDL_SENDTO, &list) != S_OK || !list) return 0;
    BOOL ok = SHGetPathFromIDListA(list, path);
    CoTaskMemFree(list);
    if (!ok) return 0;
    UL_copytext(out, size, path);
    return std::uint32_t(std::strlen(out));
}
