// VEQUNINS.DLL: removes what the installation registered and installed, and
// nothing else. The installation tells it what there is: FAX.ini in the
// Windows directory or the uninstall command names the installation
// directory, UNINSTAL.DAT in its DATA directory the product title and the
// file type verbs registered, UNINSTAL.LST the directories it created and the
// files it wrote. All of that lies where every user may write: the record is
// read and the removal planned by the portable reader (record.h); the files
// beside this one carry out the plan, each object checked again where it lies.
#include <windows.h>
#include <objbase.h>

#include <cstring>

#include "command.h"
#include "record.h"
#include "removal_win32.h"
#include "texts.h"
#include "vequnins_win32.h"

using namespace uninst;

namespace {

// The whole file, terminated, or null; the caller frees it. Bounded: a
// record is a few kilobytes.
char* read_file(const char* file, DWORD limit, DWORD* size)
{
    HANDLE h = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    *size = GetFileSize(h, nullptr);
    char* data = nullptr;
    if (*size != INVALID_FILE_SIZE && *size <= limit)
        data = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, *size + 1));
    DWORD got = 0;
    if (data && (!ReadFile(h, data, *size, &got, nullptr) || got != *size)) {
        HeapFree(GetProcessHeap(), 0, data);
        data = nullptr;
    }
    CloseHandle(h);
    return data;
}

void note_line(void*, const char* line, ur_reason why) { log_kept("record line", line, why); }

bool read_titles(const char* file, ur_titles* out)
{
    DWORD size = 0;
    char* data = read_file(file, 64 * 1024, &size);
    if (!data) return false;
    bool ok = UR_readtitles(data, size, out, note_line, nullptr);
    HeapFree(GetProcessHeap(), 0, data);
    return ok;
}

// The checked entries of UNINSTAL.LST. Only valid lines take memory, so a
// record padded with junk cannot make it fail into the fixed tree.
struct made_list {
    ur_entry* entries;
    int count, capacity;
    journal* asides;  // the record's copies set aside, to be put back
};

bool add_entry(void* user, const ur_entry& e)
{
    made_list* out = static_cast<made_list*>(user);
    if (out->count == out->capacity) {
        HANDLE heap = GetProcessHeap();
        int grown = out->capacity ? out->capacity * 2 : 64;
        std::size_t bytes = sizeof(ur_entry) * std::size_t(grown);
        void* more = out->entries ? HeapReAlloc(heap, 0, out->entries, bytes) : HeapAlloc(heap, 0, bytes);
        if (!more) return false;
        out->entries = static_cast<ur_entry*>(more);
        out->capacity = grown;
    }
    out->entries[out->count++] = e;
    return true;
}

// A record line that names a copy set aside goes to the copies; any other is told.
void note_record_line(void* user, const char* line, ur_reason why)
{
    made_list* out = static_cast<made_list*>(user);
    ur_change c;
    if (UR_parsechange(line, &c) && c.kind == 'A' && add_change(out->asides, c)) return;
    log_kept("record line", line, why);
}

ur_recordstate read_made_list(const char* file, made_list* out, journal* asides)
{
    *out = made_list{};
    out->asides = asides;
    if (GetFileAttributesA(file) == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return UR_NO_RECORD;
    }
    DWORD size = 0;
    char* data = read_file(file, 4 * 1024 * 1024, &size);
    if (!data) return UR_RECORD_UNREADABLE;
    bool ok = UR_readmade(data, size, add_entry, note_record_line, out);
    HeapFree(GetProcessHeap(), 0, data);
    return ok ? UR_RECORD_READ : UR_RECORD_UNREADABLE;
}

void run_step(void* installdir, const ur_step& step) { remove_step(static_cast<const char*>(installdir), step); }

bool ask(HWND owner, const uninstall_texts& texts, const char* question)
{
    return MessageBoxA(owner, question, UT_text(&texts, UT_CAPTION), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
           IDYES;
}

void tell(HWND owner, const uninstall_texts& texts, const char* message, UINT icon)
{
    MessageBoxA(owner, message, UT_text(&texts, UT_CAPTION), MB_OK | icon);
}

int finish(int result, uninstall_report* report, const char* message)
{
    log_line("result=", result == UNINSTALL_DONE ? "0" : result == UNINSTALL_DECLINED ? "1" : "2");
    if (report) {
        report->removed = removed_count();
        report->kept = kept_count();
        lstrcpynA(report->text, message, sizeof report->text);
    }
    log_close();
    return result;
}

}  // namespace

extern "C" __declspec(dllexport) int WINAPI VEQ_uninstallex(HWND owner, const char* installdirarg, int userdata,
                                                             int quiet, const char* logfile,
                                                             uninstall_report* report)
{
    log_open(logfile);
    // The installation: the one named, else the one FAX.ini names; made
    // whole, so that every comparison below sees the same directory.
    text named = installdirarg && installdirarg[0] ? make(installdirarg) : faxini_path();
    text installdir = full_path(named.s);
    add_slash(installdir.s, sizeof installdir.s);
    log_line("installation=", installdir.s[0] ? installdir.s : named.s);
    // Read now: the library lies in the program directory, which goes below.
    static uninstall_texts texts;
    UT_load(&texts, installdir.s);
    static ur_titles r;
    // A link in its place would lead the removal elsewhere.
    bool link = installdir.s[0] && is_link(GetFileAttributesA(installdir.s));
    if (link) log_kept("directory", installdir.s, UR_LINK);
    bool found = installdir.s[0] && !link && read_titles(make(installdir.s, "DATA\\UNINSTAL.DAT").s, &r);
    // A run stopped in its completion writes the entry before UNINSTAL.DAT:
    // its journal names the title.
    if (!found && installdir.s[0] && !link) found = journal_title(installdir.s, r.title, sizeof r.title);
    if (!found) {
        if (!link) log_kept("record", make(installdir.s, "DATA\\UNINSTAL.DAT").s, UR_MISSING);
        if (!quiet) tell(owner, texts, UT_text(&texts, UT_NOT_FOUND), MB_ICONSTOP);
        return finish(UNINSTALL_NOT_FOUND, report, UT_text(&texts, UT_NOT_FOUND));
    }
    log_line("title=", r.title);
    made_list made = {};
    journal extra = {};
    ur_recordstate state = read_made_list(make(installdir.s, "DATA\\UNINSTAL.LST").s, &made, &extra);
    // A run stopped in its completion left its journal: what it names goes as
    // the record's entries do.
    journal stopped = {};
    bool journaled = read_journal(r.title, &stopped) && same_dir(stopped.head.destination, installdir.s);
    if (journaled) {
        for (int i = 0; i < stopped.count; ++i) {
            const ur_change& c = stopped.changes[i];
            bool inside = c.kind == 'D' || c.kind == 'F';
            if (inside && state != UR_RECORD_UNREADABLE) {
                ur_entry e = {c.kind, {}};
                lstrcpynA(e.rel, c.rel, sizeof e.rel);
                add_entry(&made, e);
            }
            if (!inside) add_change(&extra, c);
        }
        if (state == UR_NO_RECORD) state = UR_RECORD_READ;
    }
    free_journal(&stopped);
    // A file that was there before is put back, not removed.
    int kept = 0;
    for (int i = 0; i < made.count; ++i) {
        bool aside = false;
        for (int k = 0; k < extra.count && !aside; ++k)
            aside = extra.changes[k].where == 'F' && lstrcmpiA(extra.changes[k].rel, made.entries[i].rel) == 0;
        if (!aside) made.entries[kept++] = made.entries[i];
    }
    made.count = kept;
    if (quiet && userdata == UNINSTALL_ASK) userdata = UNINSTALL_KEEP_USERDATA;

    text question = {};
    UT_format(question.s, sizeof question.s, UT_text(&texts, UT_ASK_REMOVE), r.title, installdir.s);
    if (!quiet && !ask(owner, texts, question.s)) {
        if (made.entries) HeapFree(GetProcessHeap(), 0, made.entries);
        free_journal(&extra);
        return finish(UNINSTALL_DECLINED, report, "");
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
    remove_group(r, installdir.s, journaled && journal_names(extra, 'G', r.title));
    remove_windows_entries(installdir.s);
    UR_plan(state, made.entries, made.count, deleteuserdata, UC_isdriveroot(installdir.s), run_step, installdir.s);
    undo_changes(extra, installdir.s, r.title, true);
    if (journaled) drop_journal(r.title);
    CoUninitialize();
    if (made.entries) HeapFree(GetProcessHeap(), 0, made.entries);
    free_journal(&extra);

    text removed = {};
    UT_format(removed.s, sizeof removed.s, UT_text(&texts, UT_REMOVED), r.title);
    if (!quiet) tell(owner, texts, removed.s, MB_ICONINFORMATION);
    return finish(UNINSTALL_DONE, report, removed.s);
}

extern "C" __declspec(dllexport) int WINAPI VEQ_uninstall(HWND owner, const char* installdir, int userdata, int quiet)
{
    return VEQ_uninstallex(owner, installdir, userdata, quiet, nullptr, nullptr);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
