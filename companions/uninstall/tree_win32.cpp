// The installation tree: the calls that remove what the plan names. No
// removal passes through a link (FILE_ATTRIBUTE_REPARSE_POINT): a link goes
// as itself and is never entered.
#include <cstring>
#include <initializer_list>

#include "command.h"
#include "removal_win32.h"

namespace uninst {

namespace {

bool is_dots(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

void removed_or_failed(BOOL done, const char* what, const char* path)
{
    if (done) log_removed(what, path);
    else log_kept(what, path, UR_FAILED);
}

// A junction or symbolic link goes as itself; what it names stays.
void remove_link(const char* path, DWORD attributes)
{
    BOOL done = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryA(path) : DeleteFileA(path);
    removed_or_failed(done, "link", path);
}

void remove_file(const char* path, DWORD attributes)
{
    if (is_link(attributes)) return remove_link(path, attributes);
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    removed_or_failed(DeleteFileA(path), "file", path);
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
    removed_or_failed(RemoveDirectoryA(dir), "directory", dir);
}

enum way { WAY_CLEAR, WAY_MISSING, WAY_LINK };

// Whether every directory on the way from the installation directory to the
// entry rel is a real directory: a link on the way would lead outside.
way clean_way(const char* installdir, const char* rel)
{
    text path = make(installdir);
    std::size_t used = std::strlen(path.s);
    for (const char* p = rel; *p; ++p) {
        if (*p == '\\') {
            DWORD a = GetFileAttributesA(path.s);
            if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) return WAY_MISSING;
            if (is_link(a)) return WAY_LINK;
        }
        if (used + 1 >= MAX_PATH) return WAY_MISSING;
        path.s[used++] = *p;
        path.s[used] = '\0';
    }
    return WAY_CLEAR;
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

}  // namespace

void remove_step(const char* installdir, const ur_step& step)
{
    text path = make(installdir, step.rel);
    if (step.action == UR_KEEP) {
        log_kept(step.rel[0] ? "record line" : "directory", path.s, step.why);
        return;
    }
    if (!path.s[0]) return;
    if (step.action == UR_REMOVE_EMPTY) {
        // Only an emptied directory goes; the user's other files keep it.
        if (!step.rel[0]) strip_slash(path.s);
        DWORD a = GetFileAttributesA(path.s);
        if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) return;
        if (is_link(a)) log_kept("directory", path.s, UR_LINK);
        else if (RemoveDirectoryA(path.s)) log_removed("directory", path.s);
        else log_kept("directory", path.s, UR_NOT_EMPTY);
        return;
    }
    switch (clean_way(installdir, step.rel)) {
    case WAY_CLEAR: break;
    case WAY_MISSING: return;  // gone with its directory, or never there
    case WAY_LINK: log_kept("record line", path.s, UR_LINK); return;
    }
    DWORD a = GetFileAttributesA(path.s);
    if (a == INVALID_FILE_ATTRIBUTES) return;
    bool directory = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (is_link(a))
        remove_link(path.s, a);
    else if (step.action == UR_REMOVE_TREE && directory)
        remove_tree(path.s);
    else if (step.action == UR_REMOVE_FILE && !directory)
        remove_file(path.s, a);
    else
        log_kept(directory ? "directory" : "file", path.s, UR_NOT_A_RECORD_LINE);
}

bool way_is_clear(const char* installdir, const char* rel) { return clean_way(installdir, rel) == WAY_CLEAR; }

bool has_user_data(const char* installdir)
{
    for (const char* d : {"RECEIVE", "SEND", "MBOX000"}) {
        text path = make(installdir, d);
        DWORD a = GetFileAttributesA(path.s);
        if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (is_link(a) || holds_files(path.s)) return true;
    }
    return false;
}

}  // namespace uninst
