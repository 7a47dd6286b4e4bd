// The undo of a stopped installation (SETUP.EXE /UNDO, /ROLLBACK, a run into
// another destination): the product's journal read, planned and carried out
// by the uninstaller's own reader, planner and removal, with its checks.
#include <windows.h>
#include <objbase.h>

#include <cstdio>

#include "companions/uninstall/command.h"
#include "companions/uninstall/removal_win32.h"
#include "files/log.h"
#include "install/journal.h"
#include "shell/text.h"

namespace {

// The verbs the run registered, from its own UNINSTAL.DAT; the title alone without one.
ur_titles titles_of(const uninst::journal& j)
{
    ur_titles r = {};
    uninst::text file = uninst::make(j.head.destination, "DATA\\UNINSTAL.DAT");
    HANDLE h = CreateFileA(file.s, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        static char data[16 * 1024];
        DWORD got = 0;
        if (ReadFile(h, data, sizeof data, &got, nullptr) && got < sizeof data &&
            UR_readtitles(data, got, &r, nullptr, nullptr) && lstrcmpiA(r.title, j.head.title) == 0) {
            CloseHandle(h);
            return r;
        }
        CloseHandle(h);
    }
    r = ur_titles{};
    lstrcpynA(r.title, j.head.title, sizeof r.title);
    return r;
}

}  // namespace

status_t INS_undojournal(setup_context* ctx, bool* undone)
{
    *undone = false;
    uninst::journal j;
    if (!uninst::read_journal(ctx->producttitle, &j)) {
        if (UL_logdetail(ctx)) UL_logline(ctx, "undo: no journal");
        return ST_OK;
    }
    const char* installdir = j.head.destination;
    // The result file names the destination undone.
    if (ctx->undo) UL_copytext(ctx->pathname, installdir);
    if (UL_logdetail(ctx)) UL_logstring(ctx, "undo destination=", installdir);
    // What the completion registers goes only when this run brought the
    // uninstaller (its first step), never an earlier installation's.
    bool registered = uninst::journal_names(j, 'W', "ZVUNINST.EXE");
    HRESULT com = CoInitialize(nullptr);
    if (registered) {
        ur_titles r = titles_of(j);
        uninst::remove_file_types(r, installdir);
        uninst::remove_uninstall_entry(r, installdir);
        uninst::remove_shortcuts(r, installdir);
        uninst::remove_group(r, installdir, uninst::journal_names(j, 'G', r.title));
        uninst::remove_windows_entries(installdir);
    }
    // This run's own texts library is in use, and goes at its end.
    for (int i = 0; i < j.count; ++i)
        if (j.changes[i].kind == 'W' && lstrcmpiA(j.changes[i].rel, "VEQINS.DLL") == 0) j.changes[i].kind = 'X';
    uninst::undo_changes(j, installdir, j.head.title, false);
    if (SUCCEEDED(com)) CoUninitialize();
    uninst::drop_journal(j.head.title);
    uninst::free_journal(&j);
    if (UL_logdetail(ctx)) {
        UL_loglong(ctx, "undo removed=", uninst::removed_count());
        UL_loglong(ctx, "undo kept=", uninst::kept_count());
    }
    *undone = true;
    return ST_OK;
}
