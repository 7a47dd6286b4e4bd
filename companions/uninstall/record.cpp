#include "record.h"

#include <cstdint>
#include <cstring>

#include "command.h"
#include "files/installtree.h"
#include "files/plainname.h"

namespace {

char fold(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool same_nocase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (fold(*a) != fold(*b)) return false;
    return *a == *b;
}

// Calls each(line) for every line of [data, data + size), without its line
// end; a line is copied into a bounded buffer, and a longer one comes marked
// as too long (its start only), so that it is never taken for a shorter one.
template <typename F>
bool for_each_line(const char* data, std::size_t size, F each)
{
    enum { LINE = 2 * UL_RECORDPATH_MAX + 8 };
    std::size_t i = 0;
    while (i < size) {
        std::size_t start = i;
        while (i < size && data[i] != '\r' && data[i] != '\n') ++i;
        std::size_t n = i - start;
        while (i < size && (data[i] == '\r' || data[i] == '\n')) ++i;
        char line[LINE];
        bool whole = n < LINE;
        std::size_t k = whole ? n : LINE - 1;
        std::memcpy(line, data + start, k);
        line[k] = '\0';
        // A NUL inside a line would end it early: such a line is damaged too.
        if (std::strlen(line) != k) whole = false;
        if (!each(line, k, whole)) return false;
    }
    return true;
}

}  // namespace

const char* UR_reasontext(ur_reason why)
{
    switch (why) {
    case UR_NOT_A_RECORD_LINE: return "not a record line";
    case UR_OUTSIDE: return "outside the installation";
    case UR_TOO_MANY: return "too many";
    case UR_LINK: return "a link";
    case UR_NOT_OURS: return "not ours";
    case UR_USERDATA: return "the user's data kept";
    case UR_NOT_EMPTY: return "not empty";
    case UR_DRIVE_ROOT: return "a drive's root";
    case UR_UNREADABLE: return "the record cannot be read";
    case UR_MISSING: return "not there";
    case UR_FAILED: return "refused by the system";
    }
    return "?";
}

bool UR_readtitles(const char* data, std::size_t size, ur_titles* out, ur_notefn note, void* user)
{
    std::memset(out, 0, sizeof *out);
    bool first = true, damaged = false;
    for_each_line(data, size, [&](const char* line, std::size_t n, bool whole) {
        if (first) {
            first = false;
            // Brackets and parentheses would end the DeleteGroup command early.
            damaged = !whole || n >= sizeof out->title || !UL_isplainname(line) || std::strpbrk(line, "[]()");
            if (!damaged) std::memcpy(out->title, line, n + 1);
            return !damaged;
        }
        if (n == 0) return true;
        const char* comma = whole ? std::strchr(line, ',') : nullptr;
        if (!comma) {
            if (note) note(user, line, UR_NOT_A_RECORD_LINE);
            return true;
        }
        // Only plain names that fit: a damaged record must not reach other keys.
        ur_verb v = {};
        std::size_t e = std::size_t(comma - line), rest = n - e - 1;
        bool fits = e < sizeof v.extension && rest < sizeof v.verb;
        if (fits) {
            std::memcpy(v.extension, line, e);
            std::memcpy(v.verb, comma + 1, rest);
        }
        if (!fits || !UL_isplainname(v.extension) || !UL_isplainname(v.verb)) {
            if (note) note(user, line, UR_NOT_A_RECORD_LINE);
        } else if (out->count >= UR_MAXVERBS) {
            if (note) note(user, line, UR_TOO_MANY);
        } else {
            out->verbs[out->count++] = v;
        }
        return true;
    });
    if (first || damaged) out->title[0] = '\0';
    return !first && !damaged;
}

bool UR_readmade(const char* data, std::size_t size, ur_addfn add, ur_notefn note, void* user)
{
    return for_each_line(data, size, [&](const char* line, std::size_t n, bool whole) {
        if (n == 0) return true;
        ur_entry e;
        if (whole && UL_parserecordline(line, &e.kind, e.rel, sizeof e.rel)) return add(user, e);
        // A line that fails the check is left; the rest still goes.
        bool shaped = (line[0] == 'D' || line[0] == 'F') && line[1] == ',';
        if (note) note(user, line, shaped ? UR_OUTSIDE : UR_NOT_A_RECORD_LINE);
        return true;
    });
}

namespace {

int depth(const char* rel)
{
    int n = 1;
    for (; *rel; ++rel)
        if (*rel == '\\') ++n;
    return n;
}

void keep_or(ur_stepfn step, void* user, ur_action action, const char* rel, bool deleteuserdata)
{
    if (!deleteuserdata && UC_isuserdata(rel)) step(user, ur_step{UR_KEEP, rel, UR_USERDATA, '\0', 0});
    else step(user, ur_step{action, rel, UR_MISSING, '\0', 0});
}

}  // namespace

void UR_plan(ur_recordstate state, const ur_entry* made, int count, bool deleteuserdata, bool driveroot,
             ur_stepfn step, void* user)
{
    if (state == UR_RECORD_UNREADABLE) {
        // The fixed tree would take what was there before: nothing goes.
        step(user, ur_step{UR_KEEP, "DATA\\UNINSTAL.LST", UR_UNREADABLE, '\0', 0});
        return;
    }
    if (state == UR_NO_RECORD) {
        // An installation older than the record: its fixed tree, never from
        // the root of a drive, where those names are anybody's.
        if (driveroot) {
            step(user, ur_step{UR_KEEP, "", UR_DRIVE_ROOT, '\0', 0});
            return;
        }
        int n = 0;
        while (UL_INSTALLTREE[n]) ++n;
        for (int i = n - 1; i >= 0; --i) keep_or(step, user, UR_REMOVE_TREE, UL_INSTALLTREE[i], deleteuserdata);
        step(user, ur_step{UR_REMOVE_EMPTY, "", UR_MISSING, '\0', 0});
        return;
    }
    for (int i = 0; i < count; ++i)
        if (made[i].kind == 'F') keep_or(step, user, UR_REMOVE_FILE, made[i].rel, deleteuserdata);
    int deepest = 0;
    for (int i = 0; i < count; ++i)
        if (made[i].kind == 'D' && depth(made[i].rel) > deepest) deepest = depth(made[i].rel);
    bool data = false;
    for (int level = deepest; level > 0; --level) {
        for (int i = 0; i < count; ++i) {
            if (made[i].kind != 'D' || depth(made[i].rel) != level) continue;
            keep_or(step, user, UR_REMOVE_TREE, made[i].rel, deleteuserdata);
            if (same_nocase(made[i].rel, "DATA")) data = true;
        }
    }
    step(user, ur_step{UR_REMOVE_FILE, "DATA\\UNINSTAL.DAT", UR_MISSING, '\0', 0});
    step(user, ur_step{UR_REMOVE_FILE, "DATA\\UNINSTAL.LST", UR_MISSING, '\0', 0});
    if (data) step(user, ur_step{UR_REMOVE_EMPTY, "DATA", UR_MISSING, '\0', 0});
    // Only an emptied directory goes; the user's other files keep it.
    step(user, ur_step{UR_REMOVE_EMPTY, "", UR_MISSING, '\0', 0});
}

namespace {

// Sixteen bits of the title's upper-case letters: one journal per title.
unsigned title_hash(const char* title)
{
    std::uint32_t h = 2166136261u;
    for (; *title; ++title) h = (h ^ static_cast<unsigned char>(fold(*title))) * 16777619u;
    return unsigned((h ^ (h >> 16)) & 0xFFFFu);
}

void hashed_name(const char* title, const char* extension, char out[UR_JOURNALNAME])
{
    static const char HEX[] = "0123456789ABCDEF";
    unsigned h = title_hash(title);
    char name[UR_JOURNALNAME] = "VEQJ";
    for (int i = 0; i < 4; ++i) name[4 + i] = HEX[(h >> (12 - 4 * i)) & 0xF];
    std::memcpy(name + 8, extension, 5);
    std::memcpy(out, name, UR_JOURNALNAME);
}

bool is_drive_path(const char* path)
{
    char c = fold(path[0]);
    return c >= 'A' && c <= 'Z' && path[1] == ':' && path[2] == '\\';
}

// Whether a and b name the same directory as Windows reads them: case,
// backslashes and the dots and blanks that end a component aside (C:\WINDOWS.
// is the Windows directory).
bool same_dir(const char* a, const char* b, bool orbelow = false)
{
    bool any = false;
    for (;;) {
        while (*a == '\\') ++a;
        while (*b == '\\') ++b;
        if (!*a || !*b) return any && !*a && (!*b || orbelow);
        std::size_t n = std::strcspn(a, "\\"), m = std::strcspn(b, "\\");
        const char *nexta = a + n, *nextb = b + m;
        while (n > 0 && (a[n - 1] == '.' || a[n - 1] == ' ')) --n;
        while (m > 0 && (b[m - 1] == '.' || b[m - 1] == ' ')) --m;
        if (n != m) return false;
        for (std::size_t i = 0; i < n; ++i)
            if (fold(a[i]) != fold(b[i])) return false;
        a = nexta;
        b = nextb;
        any = true;
    }
}

// Whether dir is the destination or lies below it: an undo there would reach
// the Windows or the system directory.
bool holds(const char* destination, const char* dir) { return dir && same_dir(destination, dir, true); }

// A whole directory with its backslash, below a drive's root, every part a plain name.
bool good_destination(const char* path, std::size_t n)
{
    if (n < 5 || n > UL_RECORDPATH_MAX || !is_drive_path(path) || path[n - 1] != '\\') return false;
    char rest[UL_RECORDPATH_MAX + 1];
    std::memcpy(rest, path + 3, n - 4);
    rest[n - 4] = '\0';
    return UL_isrecordpath(rest);
}

bool parse_number(const char* text, const char** end, unsigned* out)
{
    unsigned v = 0;
    const char* p = text;
    while (*p >= '0' && *p <= '9' && p - text < 6) v = v * 10 + unsigned(*p++ - '0');
    if (p == text || *p != ',' || v == 0 || v > UR_ASIDE_MAX || text[0] == '0') return false;
    *end = p + 1;
    *out = v;
    return true;
}

}  // namespace

void UR_journalname(const char* title, char out[UR_JOURNALNAME]) { hashed_name(title, ".JNL", out); }

void UR_asidefolder(const char* title, char out[UR_JOURNALNAME]) { hashed_name(title, ".OLD", out); }

bool UR_issuitename(const char* name)
{
    if (!name || !UL_isplainname(name) || std::strlen(name) >= UR_NAME) return false;
    return (fold(name[0]) == 'V' && fold(name[1]) == 'E' && fold(name[2]) == 'Q') || same_nocase(name, "FAX.INI") ||
           same_nocase(name, "ZVUNINST.EXE");
}

bool UR_parsechange(const char* line, ur_change* out)
{
    *out = ur_change{};
    if (!line || !line[0]) return false;
    char kind = line[0];
    if (kind == 'D' || kind == 'F') {
        if (!UL_parserecordline(line, &out->kind, out->rel, sizeof out->rel)) return false;
        return true;
    }
    if (line[1] != ',') return false;
    const char* rest = line + 2;
    char where = kind;
    if (kind == 'A') {
        if (!parse_number(rest, &rest, &out->aside)) return false;
        where = rest[0];
        if ((where != 'F' && where != 'W' && where != 'S') || rest[1] != ',') return false;
        rest += 2;
    } else if (kind != 'W' && kind != 'S' && kind != 'G') {
        return false;
    }
    std::size_t n = std::strlen(rest);
    if (n == 0 || n >= sizeof out->rel) return false;
    bool good = where == 'F' ? UL_isrecordpath(rest) : where == 'G' ? UL_isplainname(rest) : UR_issuitename(rest);
    if (!good) return false;
    std::memcpy(out->rel, rest, n + 1);
    out->kind = kind;
    out->where = kind == 'A' ? where : 0;
    return true;
}

bool UR_formatchange(const ur_change& c, char* out, std::size_t size)
{
    char head[16] = {c.kind, ',', '\0'};
    if (c.kind == 'A') {
        // A number the line cannot hold would be read as no copy at all.
        if (c.aside == 0 || c.aside > UR_ASIDE_MAX) return false;
        char digits[8];
        int k = 0;
        for (unsigned v = c.aside; v && k < 7; v /= 10) digits[k++] = char('0' + v % 10);
        int h = 2;
        while (k > 0) head[h++] = digits[--k];
        head[h++] = ',';
        head[h++] = c.where;
        head[h++] = ',';
        head[h] = '\0';
    }
    std::size_t a = std::strlen(head), b = std::strlen(c.rel);
    if (a + b + 1 > size) return false;
    std::memcpy(out, head, a);
    std::memcpy(out + a, c.rel, b + 1);
    return true;
}

bool UR_readjournal(const char* data, std::size_t size, const char* windowsdir, const char* systemdir,
                    ur_journalhead* head, ur_changefn add, ur_notefn note, void* user)
{
    *head = ur_journalhead{};
    // A line is written before its change: one without its line end was cut
    // by a stop, so its change never began, and its text may name another file.
    while (size > 0 && data[size - 1] != '\n' && data[size - 1] != '\r') --size;
    int line_no = 0;
    bool refused = false, failed = false;
    // The head first, whole: until both lines pass, nothing is added.
    for_each_line(data, size, [&](const char* line, std::size_t n, bool whole) {
        ++line_no;
        if (line_no == 1) {
            refused = !whole || line[0] != 'T' || line[1] != ',' || n - 2 >= sizeof head->title ||
                      !UL_isplainname(line + 2) || std::strpbrk(line + 2, "[]()");
            if (!refused) std::memcpy(head->title, line + 2, n - 1);
            return !refused;
        }
        if (line_no == 2) {
            refused = !whole || line[0] != 'P' || line[1] != ',' || !good_destination(line + 2, n - 2) ||
                      holds(line + 2, windowsdir) || holds(line + 2, systemdir);
            if (!refused) std::memcpy(head->destination, line + 2, n - 1);
            return false;
        }
        return true;
    });
    if (line_no < 2 || refused) {
        *head = ur_journalhead{};
        return false;
    }
    line_no = 0;
    for_each_line(data, size, [&](const char* line, std::size_t n, bool whole) {
        if (++line_no <= 2 || n == 0) return true;
        if (whole && line[0] == 'M' && n == 1) {
            head->madedestination = true;
            return true;
        }
        ur_change c;
        if (whole && UR_parsechange(line, &c)) {
            failed = !add(user, c);
            return !failed;
        }
        if (note) note(user, line, line[0] && std::strchr("DFWSAG", line[0]) && line[1] == ',' ? UR_OUTSIDE
                                                                                  : UR_NOT_A_RECORD_LINE);
        return true;
    });
    return !failed;
}

void UR_planundo(const ur_journalhead& head, const ur_change* changes, int count, ur_stepfn step, void* user)
{
    for (int i = count - 1; i >= 0; --i) {
        const ur_change& c = changes[i];
        if (c.kind == 'F' || c.kind == 'W' || c.kind == 'S')
            step(user, ur_step{UR_REMOVE_FILE, c.rel, UR_MISSING, c.kind == 'F' ? '\0' : c.kind, 0});
        else if (c.kind == 'A')
            step(user, ur_step{UR_RESTORE, c.rel, UR_MISSING, c.where == 'F' ? '\0' : c.where, c.aside});
    }
    int deepest = 0;
    for (int i = 0; i < count; ++i)
        if (changes[i].kind == 'D' && depth(changes[i].rel) > deepest) deepest = depth(changes[i].rel);
    for (int level = deepest; level > 0; --level)
        for (int i = count - 1; i >= 0; --i)
            if (changes[i].kind == 'D' && depth(changes[i].rel) == level)
                step(user, ur_step{UR_REMOVE_EMPTY, changes[i].rel, UR_MISSING, '\0', 0});
    if (head.madedestination) step(user, ur_step{UR_REMOVE_EMPTY, "", UR_MISSING, '\0', 0});
}
