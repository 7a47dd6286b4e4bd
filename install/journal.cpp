#include "install/journal.h"

#include <cstdio>
#include <cstring>

#include "companions/uninstall/record.h"
#include "files/filesystem.h"
#include "files/fileutil.h"
#include "files/log.h"
#include "shell/platform.h"
#include "install/record.h"
#include "install/state.h"
#include "shell/text.h"

// The files of the Windows and system directories this journal names, each
// once; the destination's files are known from the record.
enum { JOURNAL_OUTSIDE = 128, JOURNAL_LINE = UL_RECORDPATH_MAX + 16, JOURNAL_READ_MAX = 1024 * 1024 };

struct journal_state {
    ul_file file;
    char destination[TEXTSIZE];  // with its backslash
    char path[TEXTSIZE];
    char aside[TEXTSIZE];        // the folder of the copies, with its backslash
    unsigned next;               // the next copy's number
    int count;
    ur_change outside[JOURNAL_OUTSIDE];
};

namespace {

journal_state* journal_of(setup_context* ctx) { return ctx->install ? ctx->install->journal : nullptr; }

bool starts_nocase(const char* text, const char* prefix)
{
    std::size_t n = std::strlen(prefix);
    if (n == 0 || std::strlen(text) < n) return false;
    char head[TEXTSIZE];
    UL_copyleft(head, sizeof head, text, n);
    return UL_equalnocase(head, prefix);
}

void note(setup_context* ctx, const char* label, const char* value)
{
    if (UL_logdetail(ctx)) UL_logstring(ctx, label, value);
}

// One whole line in one write: the process may die after any call, never inside a line it has not begun.
void write_line(journal_state* j, const char* text)
{
    char line[JOURNAL_LINE + 2];
    std::size_t n = std::strlen(text);
    if (n > JOURNAL_LINE) return;
    std::memcpy(line, text, n);
    line[n] = '\r';
    line[n + 1] = '\n';
    FS_write(j->file, line, std::uint32_t(n + 2));
}

void write_change(journal_state* j, const ur_change& c)
{
    char line[JOURNAL_LINE];
    if (UR_formatchange(c, line, sizeof line)) write_line(j, line);
}

// What a path is to the journal: a file of the suite's own name in the system
// or the Windows directory, or a path below the destination; false for
// anything else.
bool classify(const setup_context* ctx, const journal_state* j, const char* path, ur_change* c)
{
    *c = ur_change{};
    // The system directory first: it usually lies inside the Windows directory.
    const char* dirs[] = {ctx->systemdir, ctx->windowsdir};
    for (int i = 0; i < 2; ++i) {
        if (!dirs[i][0] || !starts_nocase(path, dirs[i])) continue;
        const char* rest = path + std::strlen(dirs[i]);
        if (std::strchr(rest, '\\') || !UR_issuitename(rest)) return false;
        c->kind = i == 0 ? 'S' : 'W';
        UL_copytext(c->rel, sizeof c->rel, rest);
        return true;
    }
    if (!INS_recordrelative(j->destination, path, c->rel, sizeof c->rel) || !UL_isrecordpath(c->rel)) return false;
    c->kind = 'F';
    return true;
}

bool held(const journal_state* j, char where, const char* rel)
{
    for (int i = 0; i < j->count; ++i) {
        const ur_change& c = j->outside[i];
        char w = c.kind == 'A' ? c.where : c.kind;
        if (w == where && UL_equalnocase(c.rel, rel)) return true;
    }
    return false;
}

void hold(journal_state* j, const ur_change& c)
{
    if (j->count < JOURNAL_OUTSIDE) j->outside[j->count++] = c;
    if (c.kind == 'A' && c.aside >= j->next) j->next = c.aside + 1;
}

bool copy_whole(const char* from, const char* to)
{
    ul_file in = 0, out = 0;
    if (!FS_open(from, FS_READ, &in)) return false;
    bool ok = FS_open(to, FS_CREATE_ALONE, &out);
    char buffer[4096];
    while (ok) {
        std::int32_t got = FS_read(in, buffer, sizeof buffer);
        if (got == 0) break;
        ok = got > 0 && FS_write(out, buffer, std::uint32_t(got)) == got;
    }
    FS_close(in);
    if (out) {
        if (ok) FS_flush(out);
        FS_close(out);
    }
    if (!ok && out) FS_delete(to);
    return ok;
}

// The copy first, then its line: a stop between the two leaves a spare copy,
// never a line that names a copy not made whole.
void set_aside(setup_context* ctx, journal_state* j, const char* path, const ur_change& change)
{
    if (j->count >= JOURNAL_OUTSIDE || j->next > UR_ASIDE_MAX) return note(ctx, "journal cannot set aside ", path);
    char folder[TEXTSIZE];
    UL_copytext(folder, j->aside);
    UL_stripslash(folder);
    if (FS_islink(folder) || (FS_kind(folder) != FS_DIRECTORY && !FS_makedir(folder)))
        return note(ctx, "journal has no folder ", folder);
    // An earlier installation's record may name copies there: a number is never taken twice.
    char number[12], copy[TEXTSIZE];
    for (;; ++j->next) {
        std::snprintf(number, sizeof number, "%u.OLD", j->next);
        UL_makepath(copy, j->aside, number);
        if (j->next > UR_ASIDE_MAX) return note(ctx, "journal cannot set aside ", path);
        if (FS_kind(copy) == FS_MISSING && !FS_islink(copy)) break;
    }
    if (!copy_whole(path, copy)) return note(ctx, "journal cannot set aside ", path);
    ur_change c = change;
    c.where = change.kind;
    c.kind = 'A';
    c.aside = j->next;
    write_change(j, c);
    hold(j, c);
    note(ctx, "journal set aside ", path);
}

void file_changing(setup_context* ctx, const char* path) { INS_journalfile(ctx, path); }

void group_making(setup_context* ctx, const char* group)
{
    journal_state* j = journal_of(ctx);
    if (!j) return;
    ur_change c = {'G', 0, 0, ""};
    UL_copytext(c.rel, sizeof c.rel, group);
    write_change(j, c);
}

struct adopting {
    setup_context* ctx;
    journal_state* j;
    const ur_journalhead* head;
    int taken;
};

bool ours(const adopting* a)
{
    return UL_equalnocase(a->head->title, a->ctx->producttitle) &&
           UL_equalnocase(a->head->destination, a->j->destination);
}

// The head is read before any change is told: only a journal of this product
// and this destination hands its changes over.
bool adopt(void* user, const ur_change& c)
{
    adopting* a = static_cast<adopting*>(user);
    if (!ours(a)) return true;
    if (c.kind == 'D' || c.kind == 'F') INS_recordadopt(a->ctx, c.kind, c.rel);
    else hold(a->j, c);
    ++a->taken;
    return true;
}

void dropped(void* user, const char* line, ur_reason)
{
    note(static_cast<adopting*>(user)->ctx, "journal line dropped: ", line);
}

// The stopped run's journal, bounded; null when there is none or it cannot be read.
char* read_journal(const char* name, std::uint32_t* size)
{
    ul_file file = 0;
    if (FS_kind(name) != FS_FILE || FS_islink(name) || !FS_open(name, FS_READ, &file)) return nullptr;
    *size = FS_size(file);
    char* data = *size <= JOURNAL_READ_MAX ? static_cast<char*>(FS_alloc(*size + 1)) : nullptr;
    if (data && FS_read(file, data, *size) != std::int32_t(*size)) {
        FS_free(data);
        data = nullptr;
    }
    FS_close(file);
    return data;
}

enum earlier { NONE, ADOPTED, ELSEWHERE, FOREIGN };

earlier take_earlier(setup_context* ctx, journal_state* j)
{
    std::uint32_t size = 0;
    char* data = read_journal(j->path, &size);
    if (!data) return NONE;
    ur_journalhead head;
    adopting a{ctx, j, &head, 0};
    earlier what = NONE;
    if (!UR_readjournal(data, size, ctx->windowsdir, ctx->systemdir, &head, adopt, dropped, &a)) {
        note(ctx, "journal refused: ", j->path);
    } else if (!UL_equalnocase(head.title, ctx->producttitle)) {
        what = FOREIGN;
    } else {
        what = ours(&a) ? ADOPTED : ELSEWHERE;
    }
    if (what == ADOPTED && UL_logdetail(ctx)) UL_loglong(ctx, "journal taken over=", a.taken);
    FS_free(data);
    return what;
}

// A copy of the suite's own earlier file, which a completed installation
// replaces for good: the earlier record and uninstaller, and a FAX.INI that
// names this destination. Putting it back after the removal would strand it.
bool superseded(const journal_state* j, const ur_change& c, const char* copy)
{
    if (c.where == 'F') return UL_equalnocase(c.rel, "DATA\\UNINSTAL.LST") || UL_equalnocase(c.rel, "DATA\\UNINSTAL.DAT");
    if (c.where != 'W') return false;
    if (UL_equalnocase(c.rel, "ZVUNINST.EXE") || UL_equalnocase(c.rel, "VEQUNINS.DLL") ||
        UL_equalnocase(c.rel, "VEQINS.DLL"))
        return true;
    char path[TEXTSIZE];
    UL_getprofilestring("FAX", "PATH", "", path, sizeof path, copy);
    UL_addslash(path);
    return UL_equalnocase(c.rel, "FAX.INI") && UL_equalnocase(path, j->destination);
}

}  // namespace

void INS_journalpath(const setup_context* ctx, char out[TEXTSIZE])
{
    char name[UR_JOURNALNAME];
    UR_journalname(ctx->producttitle, name);
    UL_makepath(out, ctx->windowsdir, name);
}

status_t INS_journalbegin(setup_context* ctx, const char* destination)
{
    if (!ctx->install || !ctx->producttitle[0] || !ctx->windowsdir[0]) return ST_OK;
    char dir[TEXTSIZE];
    UL_copytext(dir, destination);
    UL_addslash(dir);
    // Begun already (the destination dialog made the destination): read again,
    // so that the record takes its changes; for another place (Back in the
    // dialogs) it is treated as a stopped run's.
    INS_journalclose(ctx);

    journal_state* j = static_cast<journal_state*>(FS_alloc(sizeof(journal_state)));
    if (!j) return ST_GENERAL;
    UL_copytext(j->destination, dir);
    INS_journalpath(ctx, j->path);
    char folder[UR_JOURNALNAME];
    UR_asidefolder(ctx->producttitle, folder);
    UL_makepath(j->aside, ctx->windowsdir, folder);
    UL_addslash(j->aside);
    j->next = 1;

    earlier what = take_earlier(ctx, j);
    if (what == FOREIGN) {
        // Another product's journal under the same name: it is theirs, and this run keeps none.
        note(ctx, "journal of another product: ", j->path);
        FS_free(j);
        return ST_OK;
    }
    if (what == ELSEWHERE) {
        bool undone = false;
        INS_undojournal(ctx, &undone);
        note(ctx, "journal undone for another destination: ", j->path);
    }
    bool appending = what == ADOPTED;
    if (!FS_open(j->path, appending ? FS_APPEND : FS_CREATE, &j->file)) {
        note(ctx, "cannot write journal=", j->path);
        INS_recorderror(ctx, ST_CREATE_FAILED, j->path);
        FS_free(j);
        return ST_CREATE_FAILED;
    }
    ctx->install->journal = j;
    ctx->install->journaled = 1;
    if (appending) {
        // Whatever the stop cut short ends here; its change never began.
        write_line(j, "");
    } else {
        char line[JOURNAL_LINE];
        std::snprintf(line, sizeof line, "T,%s", ctx->producttitle);
        write_line(j, line);
        std::snprintf(line, sizeof line, "P,%s", j->destination);
        write_line(j, line);
        // The texts library came at the start; every run removes it at its
        // end, and a stopped one leaves it to the undo.
        ur_change library = {'W', 0, 0, "VEQINS.DLL"};
        write_change(j, library);
        hold(j, library);
    }
    FS_flush(j->file);
    ctx->filechanging = file_changing;
    ctx->groupmaking = group_making;
    note(ctx, appending ? "journal taken over=" : "journal begun=", j->path);
    return ST_OK;
}

void INS_journalfile(setup_context* ctx, const char* path)
{
    journal_state* j = journal_of(ctx);
    ur_change c;
    if (!j || !path || !classify(ctx, j, path, &c)) return;
    if (c.kind == 'F' ? INS_recordknows(ctx, c.rel) || held(j, 'F', c.rel) : held(j, c.kind, c.rel)) return;
    if (FS_kind(path) == FS_FILE) return set_aside(ctx, j, path, c);
    write_change(j, c);
    if (c.kind != 'F') hold(j, c);
}

void INS_journaldir(setup_context* ctx, const char* path)
{
    journal_state* j = journal_of(ctx);
    if (!j || !path) return;
    char dir[TEXTSIZE];
    UL_copytext(dir, path);
    UL_addslash(dir);
    if (UL_equalnocase(dir, j->destination)) return write_line(j, "M");
    ur_change c;
    if (!classify(ctx, j, path, &c) || c.kind != 'F') return;
    c.kind = 'D';
    write_change(j, c);
}

void INS_journalflush(setup_context* ctx)
{
    if (journal_state* j = journal_of(ctx)) FS_flush(j->file);
}

status_t INS_journalcommit(setup_context* ctx)
{
    journal_state* j = journal_of(ctx);
    if (!j) return ST_OK;
    // The copies set aside now belong to the installation: the uninstaller puts them back.
    char record[TEXTSIZE];
    UL_makepath(record, ctx->datadir, "UNINSTAL.LST");
    ul_file file = 0;
    status_t st = ST_OK;
    bool asides = false;
    for (int i = 0; i < j->count; ++i) {
        ur_change& c = j->outside[i];
        if (c.kind != 'A') continue;
        char number[12], copy[TEXTSIZE];
        std::snprintf(number, sizeof number, "%u.OLD", c.aside);
        UL_makepath(copy, j->aside, number);
        if (superseded(j, c, copy)) {
            FS_delete(copy);
            c.kind = 'X';  // no line for it
        } else {
            asides = true;
        }
    }
    if (asides && !FS_islink(record) && FS_open(record, FS_APPEND, &file)) {
        for (int i = 0; i < j->count; ++i) {
            char line[JOURNAL_LINE + 2];
            if (j->outside[i].kind != 'A' || !UR_formatchange(j->outside[i], line, JOURNAL_LINE)) continue;
            std::strcat(line, "\r\n");
            if (FS_write(file, line, std::uint32_t(std::strlen(line))) < 0) st = ST_WRITE_SHORT;
        }
        FS_flush(file);
        FS_close(file);
    } else if (asides) {
        st = ST_CREATE_FAILED;
    }
    char path[TEXTSIZE], folder[TEXTSIZE];
    UL_copytext(path, j->path);
    UL_copytext(folder, j->aside);
    INS_journalclose(ctx);
    // Without the copies in the record the journal is the only way back to them: it stays.
    if (st == ST_OK) FS_delete(path);
    UL_stripslash(folder);
    if (!asides) FS_removedir(folder);  // only when empty
    note(ctx, st == ST_OK ? "journal done=" : "journal kept=", path);
    return st;
}

void INS_journalclose(setup_context* ctx)
{
    journal_state* j = journal_of(ctx);
    if (!j) return;
    FS_flush(j->file);
    FS_close(j->file);
    FS_free(j);
    ctx->install->journal = nullptr;
    ctx->filechanging = nullptr;
    ctx->groupmaking = nullptr;
}
