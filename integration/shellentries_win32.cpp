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

struct link_fields {
    const char* target;
    const char* arguments;
    const char* workdir;
    const char* description;
    const char* icon;
};

// Saves the link; false with the failing call's trace (at debug level 2
// unless traced is set, as the shortcuts' own lines are).
bool save_link(setup_context* ctx, const link_fields& fields, const char* link, bool traced)
{
    const bool trace = traced || UL_logdetail(ctx);
    IShellLinkA* shelllink = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&shelllink));
    if (FAILED(hr)) {
        if (trace) UL_loglonghex(ctx, "CoCreateInstance failed=", std::uint32_t(hr));
        return false;
    }
    shelllink->SetPath(fields.target);
    if (fields.arguments[0] != '\0') shelllink->SetArguments(fields.arguments);
    shelllink->SetDescription(fields.description);
    if (fields.icon[0] != '\0') shelllink->SetIconLocation(fields.icon, 0);
    shelllink->SetWorkingDirectory(fields.workdir);
    IPersistFile* file = nullptr;
    hr = shelllink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (FAILED(hr)) {
        if (trace) UL_loglonghex(ctx, "QueryInterface failed=", std::uint32_t(hr));
        shelllink->Release();
        return false;
    }
    WCHAR wide[LINKPATHMAX + 1] = {};
    if (MultiByteToWideChar(CP_ACP, 0, link, -1, wide, LINKPATHMAX + 1) == 0) {
        if (trace) UL_loglong(ctx, "wide path rc=", std::int32_t(GetLastError()));
        file->Release();
        shelllink->Release();
        return false;
    }
    hr = file->Save(wide, TRUE);
    if (trace) UL_loglonghex(ctx, "Save link result=", std::uint32_t(hr));
    file->Release();
    shelllink->Release();
    return SUCCEEDED(hr);
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

status_t INS_setregdword(ul_regroot root, const char* subkey, const char* valuename, std::uint32_t value)
{
    if (!subkey || !subkey[0]) return ST_OK;
    HKEY key;
    DWORD disposition = 0, data = value;
    if (RegCreateKeyExA(root_key(root), subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return ST_OK;
    RegSetValueExA(key, valuename, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
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
    if (!INS_shortcutlinkpath(link, where, name)) {
        if (UL_logdetail(ctx)) UL_logstring(ctx, "link path too long: ", where);
        return ST_OK;
    }
    UL_logstring(ctx, "szLink=", link);

    HRESULT init = CoInitialize(nullptr);
    save_link(ctx, {target, "", workdir, name, target}, link, true);
    if (SUCCEEDED(init)) CoUninitialize();
    return ST_OK;
}

void INS_makegroupitem(setup_context* ctx, const char* folder, const char* program, const char* argument,
                       const char* title, const char* icon)
{
    char link[SHELLPATHSIZE];
    if (!INS_linkfilepath(link, folder, title, ".lnk")) {
        if (UL_logdetail(ctx)) UL_logstring(ctx, "item name too long: ", title);
        return;
    }
    char workdir[SHELLPATHSIZE];
    INS_shortcutworkdir(workdir, program);
    HRESULT init = CoInitialize(nullptr);
    save_link(ctx, {program, argument, workdir, title, icon}, link, false);
    if (SUCCEEDED(init)) CoUninitialize();
}

bool INS_programsfolder(char out[SHELLPATHSIZE])
{
    char path[MAX_PATH] = {};
    out[0] = '\0';
    LPITEMIDLIST list = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &list) != S_OK || !list) return false;
    BOOL ok = SHGetPathFromIDListA(list, path);
    CoTaskMemFree(list);
    if (!ok || path[0] == '\0') return false;
    UL_copytext(out, SHELLPATHSIZE, path);
    return true;
}

bool INS_makefolder(const char* folder)
{
    if (!CreateDirectoryA(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    // A link planted in its place would take the shortcuts elsewhere.
    DWORD attributes = GetFileAttributesA(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
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
