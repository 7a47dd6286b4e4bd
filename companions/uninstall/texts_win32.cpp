#include "texts.h"

#include <windows.h>

#include <cstring>

namespace {

const char* const FALLBACK[UT_COUNT] = {
    "Uninstall",
    "No installation to remove was found.",
    "Remove %s from %s and all of its components?",
    "Delete your received and sent faxes and your mailboxes as well?\n\nChoose No to keep them in %s.",
    "%s has been removed.",
    "The uninstaller's library VEQUNINS.DLL is missing or damaged.",
};

}  // namespace

void UT_load(uninstall_texts* out, const char* installdir)
{
    for (int i = 0; i < UT_COUNT; ++i) lstrcpynA(out->text[i], FALLBACK[i], sizeof out->text[i]);

    char dir[MAX_PATH] = {};
    if (installdir && installdir[0]) {
        lstrcpynA(dir, installdir, MAX_PATH);
    } else {
        char faxini[MAX_PATH] = {};
        UINT n = GetWindowsDirectoryA(faxini, MAX_PATH - 9);
        if (n == 0 || n >= MAX_PATH - 9) return;
        lstrcatA(faxini, faxini[n - 1] == '\\' ? "FAX.ini" : "\\FAX.ini");
        GetPrivateProfileStringA("FAX", "PATH", "", dir, MAX_PATH, faxini);
    }
    std::size_t n = std::strlen(dir);
    const char* tail = n > 0 && dir[n - 1] == '\\' ? "PROGRAM\\VEQINS32.DLL" : "\\PROGRAM\\VEQINS32.DLL";
    if (n == 0 || n + std::strlen(tail) >= MAX_PATH) return;
    lstrcatA(dir, tail);

    // Mapped as data only: the installation folder is anybody's, and a
    // library planted there must not run with the rights of whoever removes
    // the installation.
    HMODULE library = LoadLibraryExA(dir, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!library) return;
    for (int i = 0; i < UT_COUNT; ++i) {
        char text[sizeof out->text[i]] = {};
        if (LoadStringA(library, UINT(UT_FIRST + i), text, sizeof text) > 0)
            lstrcpynA(out->text[i], text, sizeof out->text[i]);
    }
    FreeLibrary(library);
}

const char* UT_text(const uninstall_texts* texts, int number)
{
    int i = number - UT_FIRST;
    return i >= 0 && i < UT_COUNT ? texts->text[i] : "";
}
