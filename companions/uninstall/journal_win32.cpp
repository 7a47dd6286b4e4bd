// The undo of an installation's journal (record.h): read from the Windows
// directory, planned by the portable planner, carried out here, each object
// checked again where it lies. Shared by the uninstaller, which takes a
// stopped completion's journal with the record, and by SETUP.EXE's undo and
// rollback.
#include <cstring>

#include "files/wininit.h"
#include "removal_win32.h"
#include "shell/platform.h"

namespace uninst {

namespace {

text base_of(char where)
{
    if (where != 'S') return windows_dir();
    text t = {};
    GetSystemDirectoryA(t.s, MAX_PATH);
    add_slash(t.s, sizeof t.s);
    return t;
}

// A file still in use goes at the next restart: by the delayed move on
// Windows NT, by a NUL= line of WININIT.INI on the Windows 95 family.
bool delete_at_restart(const char* path)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    if (INS_wincode(info.dwMajorVersion, info.dwPlatformId) == 2)
        return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
    char listed[MAX_PATH] = {};
    return UL_wininitschedule(make(windows_dir().s, "WININIT.INI").s, path, listed, sizeof listed);
}

void remove_outside(const char* path)
{
    DWORD a = GetFileAttributesA(path);
    if (a == INVALID_FILE_ATTRIBUTES) return log_kept("file", path, UR_MISSING);
    if (is_link(a) || (a & FILE_ATTRIBUTE_DIRECTORY)) return log_kept("file", path, UR_NOT_OURS);
    if (a & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path)) log_removed("file", path);
    else if (delete_at_restart(path)) log_line("removed at restart=", path);
    else log_kept("file", path, UR_FAILED);
}

// The copy goes back in the file's place, whatever the run left there.
void restore(const char* copy, const char* target)
{
    DWORD c = GetFileAttributesA(copy), t = GetFileAttributesA(target);
    if (c == INVALID_FILE_ATTRIBUTES || is_link(c) || (c & FILE_ATTRIBUTE_DIRECTORY))
        return log_kept("copy", copy, UR_MISSING);
    if (t != INVALID_FILE_ATTRIBUTES && (is_link(t) || (t & FILE_ATTRIBUTE_DIRECTORY)))
        return log_kept("file", target, UR_LINK);
    if (t != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    bool done = MoveFileExA(copy, target, MOVEFILE_REPLACE_EXISTING) != 0;
    // The Windows 95 family has no replacing move.
    if (!done && (t == INVALID_FILE_ATTRIBUTES || DeleteFileA(target))) done = MoveFileA(copy, target) != 0;
    if (done) log_removed("put back", target);
    else log_kept("put back", target, UR_FAILED);
}

// Whole, bounded: a journal is a few kilobytes.
char* read_whole(const char* file, DWORD* size)
{
    DWORD a = GetFileAttributesA(file);
    if (a == INVALID_FILE_ATTRIBUTES || is_link(a) || (a & FILE_ATTRIBUTE_DIRECTORY)) return nullptr;
    HANDLE h = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    *size = GetFileSize(h, nullptr);
    char* data = nullptr;
    if (*size != INVALID_FILE_SIZE && *size <= 1024 * 1024)
        data = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, *size + 1));
    DWORD got = 0;
    if (data && (!ReadFile(h, data, *size, &got, nullptr) || got != *size)) {
        HeapFree(GetProcessHeap(), 0, data);
        data = nullptr;
    }
    CloseHandle(h);
    return data;
}

bool add_to(void* user, const ur_change& c) { return add_change(static_cast<journal*>(user), c); }

void note_line(void*, const char* line, ur_reason why) { log_kept("journal line", line, why); }

struct undoing {
    const char* installdir;
    const char* title;
    bool skipinside;  // the installation's own files and directories are the record's
};

void run_undo_step(void* user, const ur_step& step)
{
    const undoing* u = static_cast<const undoing*>(user);
    if (u->skipinside && step.where == 0 && step.action != UR_RESTORE) return;
    undo_step(u->installdir, u->title, step);
}

}  // namespace

bool add_change(journal* j, const ur_change& c)
{
    if (j->count == j->capacity) {
        HANDLE heap = GetProcessHeap();
        int grown = j->capacity ? j->capacity * 2 : 64;
        std::size_t bytes = sizeof(ur_change) * std::size_t(grown);
        void* more = j->changes ? HeapReAlloc(heap, 0, j->changes, bytes) : HeapAlloc(heap, 0, bytes);
        if (!more) return false;
        j->changes = static_cast<ur_change*>(more);
        j->capacity = grown;
    }
    j->changes[j->count++] = c;
    return true;
}


text journal_path(const char* title)
{
    char name[UR_JOURNALNAME];
    UR_journalname(title, name);
    return make(windows_dir().s, name);
}

bool read_journal(const char* title, journal* out)
{
    *out = journal{};
    text path = journal_path(title);
    DWORD size = 0;
    char* data = read_whole(path.s, &size);
    if (!data) return false;
    text system = base_of('S');
    bool read = UR_readjournal(data, size, windows_dir().s, system.s, &out->head, add_to, note_line, out);
    HeapFree(GetProcessHeap(), 0, data);
    // Another product's journal under the same name is not ours to act on.
    if (!read || lstrcmpiA(out->head.title, title) != 0) {
        log_kept("journal", path.s, read ? UR_NOT_OURS : UR_UNREADABLE);
        free_journal(out);
        return false;
    }
    log_line("journal=", path.s);
    return true;
}

bool journal_title(const char* installdir, char* title, std::size_t size)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(make(windows_dir().s, "VEQJ????.JNL").s, &found);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool named = false;
    do {
        DWORD bytes = 0;
        char* data = read_whole(make(windows_dir().s, found.cFileName).s, &bytes);
        if (!data) continue;
        ur_journalhead head;
        text system = base_of('S');
        auto nothing = [](void*, const ur_change&) { return true; };
        // The head only, and only under its own name: a copied journal names no title.
        char name[UR_JOURNALNAME] = "";
        bool read = UR_readjournal(data, bytes, windows_dir().s, system.s, &head, nothing, nullptr, nullptr);
        if (read) UR_journalname(head.title, name);
        if (read && same_dir(head.destination, installdir) && lstrcmpiA(name, found.cFileName) == 0 &&
            std::strlen(head.title) < size) {
            lstrcpynA(title, head.title, int(size));
            named = true;
        }
        HeapFree(GetProcessHeap(), 0, data);
    } while (!named && FindNextFileA(h, &found));
    FindClose(h);
    return named;
}

void free_journal(journal* j)
{
    if (j->changes) HeapFree(GetProcessHeap(), 0, j->changes);
    *j = journal{};
}

void undo_step(const char* installdir, const char* title, const ur_step& step)
{
    if (step.action == UR_RESTORE) {
        char folder[UR_JOURNALNAME], number[16];
        UR_asidefolder(title, folder);
        wsprintfA(number, "%u.OLD", step.aside);
        text copy = make(windows_dir().s, folder, "\\", number);
        text target = step.where ? make(base_of(step.where).s, step.rel) : make(installdir, step.rel);
        if (!step.where && !way_is_clear(installdir, step.rel)) return log_kept("record line", target.s, UR_LINK);
        return restore(copy.s, target.s);
    }
    if (step.where) return remove_outside(make(base_of(step.where).s, step.rel).s);
    remove_step(installdir, step);
    // A file still in use goes at the next restart.
    if (step.action != UR_REMOVE_FILE || !way_is_clear(installdir, step.rel)) return;
    text path = make(installdir, step.rel);
    DWORD a = GetFileAttributesA(path.s);
    if (a != INVALID_FILE_ATTRIBUTES && !is_link(a) && !(a & FILE_ATTRIBUTE_DIRECTORY) && delete_at_restart(path.s))
        log_line("removed at restart=", path.s);
}

void undo_changes(const journal& j, const char* installdir, const char* title, bool skipinside)
{
    undoing u{installdir, title, skipinside};
    UR_planundo(j.head, j.changes, j.count, run_undo_step, &u);
}

void drop_journal(const char* title)
{
    text path = journal_path(title);
    if (DeleteFileA(path.s)) log_removed("journal", path.s);
    char folder[UR_JOURNALNAME];
    UR_asidefolder(title, folder);
    text aside = make(windows_dir().s, folder);
    DWORD a = GetFileAttributesA(aside.s);
    // Only an emptied folder goes: a copy that could not be put back stays.
    if (a != INVALID_FILE_ATTRIBUTES && !is_link(a) && RemoveDirectoryA(aside.s)) log_removed("directory", aside.s);
}

bool journal_names(const journal& j, char kind, const char* rel)
{
    for (int i = 0; i < j.count; ++i)
        if (j.changes[i].kind == kind && lstrcmpiA(j.changes[i].rel, rel) == 0) return true;
    return false;
}

}  // namespace uninst
