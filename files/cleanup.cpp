#include "files/cleanup.h"

#include <cstdio>
#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "files/wininit.h"
#include "shell/platform.h"
#include "shell/text.h"

namespace {

enum { LISTLINE = 256, WINDIRSIZE = 144 };

// Schedules the file as a "NUL=" line of [Rename], in the short name that the
// restart reads; the other programs' lines stay whatever fails.
void add_wininit_entry(setup_context* ctx, const char* windowsdir, const char* file)
{
    char wininit[WINDIRSIZE + 16];
    std::snprintf(wininit, sizeof wininit, "%sWININIT.INI", windowsdir);
    char listed[LISTLINE];
    bool done = UL_wininitschedule(wininit, file, listed, sizeof listed);
    UL_logstring(ctx, "Keyname=", "NUL");
    UL_logstring(ctx, "value=", listed);
    if (!done && UL_logdetail(ctx)) UL_logstring(ctx, "not scheduled: ", file);
}

// The list lies beside a temporary copy and names the copy's files. Anyone may
// have written it, so a line counts only when it names a file directly in the
// list's own directory: no other drive or root, no sub-directory (which may be
// a link into another place), no "..". A link named directly is removed as
// the link itself by the system's delete.
bool in_list_directory(const char* listpath, const char* file)
{
    const char* slash = std::strrchr(listpath, '\\');
    if (!slash) return false;
    const std::size_t dirlength = std::size_t(slash - listpath) + 1;
    if (std::strlen(file) <= dirlength) return false;
    char dir[LISTLINE];
    UL_copyleft(dir, sizeof dir, file, dirlength);
    char own[LISTLINE];
    UL_copyleft(own, sizeof own, listpath, dirlength);
    if (!UL_equalnocase(dir, own)) return false;
    const char* name = file + dirlength;
    if (std::strpbrk(name, "\\/:*?\"<>|")) return false;
    // Windows drops trailing dots and blanks: ". ." names the directory or its parent.
    return std::strspn(name, ". ") != std::strlen(name);
}

}  // namespace

status_t INS_cleanupatexit(setup_context* ctx)
{
    if (!ctx->tempcopy || ctx->INS_noclean != 0) return ST_OK;
    char path[TEXTSIZE];
    UL_copytext(path, ctx->moduledir);
    UL_addslash(path);
    UL_appendtext(path, "VEQCLEAN.BAT");
    std::uint16_t exists = 0;
    UL_fileexists(path, &exists);
    return exists ? INS_DoCleanUp(ctx, path) : ST_OK;
}

status_t INS_DoCleanUp(setup_context* ctx, const char* listpath)
{
    std::uint16_t exists = 0;
    UL_fileexists(listpath, &exists);
    if (!exists) return ST_OK;
    line_reader reader;
    status_t st = UL_readlineopen(ctx, &reader, listpath);
    std::uint16_t end = UL_LINE_MORE;
    while (st == ST_OK && end == UL_LINE_MORE) {
        char line[LISTLINE];
        std::uint16_t length = 0;
        st = UL_readline(ctx, &reader, line, sizeof line, &end, &length);
        if (st != ST_OK) break;
        const char* blank = length ? std::strchr(line, ' ') : nullptr;
        if (!blank) continue;
        if (!in_list_directory(listpath, blank + 1)) {
            if (UL_logdetail(ctx)) UL_logstring(ctx, "clean-up skipped: ", blank + 1);
            continue;
        }
        st = INS_DelActiveFile(ctx, blank + 1);
    }
    UL_readlineclose(ctx, &reader);
    if (st != ST_OK) UL_logerror(ctx, "INS_DoCleanUp", st);
    return st;
}

status_t INS_DelActiveFile(setup_context* ctx, const char* file)
{
    UL_logstring(ctx, "INS_DelActiveFile=", file);
    char windowsdir[WINDIRSIZE] = {};
    status_t st = ST_OK;
    if (UL_getwindowsdir(windowsdir, sizeof windowsdir) == 0) {
        UL_logline(ctx, "err=920");
        st = ST_NO_WINDOWS_DIR;
    } else {
        UL_addslash(windowsdir);
        std::int16_t version = 0;
        st = INS_getwinversion(ctx, &version);
        ctx->winversion = version;
        if (st == ST_OK) {
            if (version == 2) UL_deleteatrestart(file);
            else add_wininit_entry(ctx, windowsdir, file);
        }
    }
    if (st != ST_OK) UL_logerror(ctx, "INS_DelActiveFile", st);
    return st;
}
