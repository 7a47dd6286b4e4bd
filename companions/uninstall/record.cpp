#include "record.h"

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
    if (!deleteuserdata && UC_isuserdata(rel)) step(user, ur_step{UR_KEEP, rel, UR_USERDATA});
    else step(user, ur_step{action, rel, UR_MISSING});
}

}  // namespace

void UR_plan(ur_recordstate state, const ur_entry* made, int count, bool deleteuserdata, bool driveroot,
             ur_stepfn step, void* user)
{
    if (state == UR_RECORD_UNREADABLE) {
        // The fixed tree would take what was there before: nothing goes.
        step(user, ur_step{UR_KEEP, "DATA\\UNINSTAL.LST", UR_UNREADABLE});
        return;
    }
    if (state == UR_NO_RECORD) {
        // An installation older than the record: its fixed tree, never from
        // the root of a drive, where those names are anybody's.
        if (driveroot) {
            step(user, ur_step{UR_KEEP, "", UR_DRIVE_ROOT});
            return;
        }
        int n = 0;
        while (UL_INSTALLTREE[n]) ++n;
        for (int i = n - 1; i >= 0; --i) keep_or(step, user, UR_REMOVE_TREE, UL_INSTALLTREE[i], deleteuserdata);
        step(user, ur_step{UR_REMOVE_EMPTY, "", UR_MISSING});
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
    step(user, ur_step{UR_REMOVE_FILE, "DATA\\UNINSTAL.DAT", UR_MISSING});
    step(user, ur_step{UR_REMOVE_FILE, "DATA\\UNINSTAL.LST", UR_MISSING});
    if (data) step(user, ur_step{UR_REMOVE_EMPTY, "DATA", UR_MISSING});
    // Only an emptied directory goes; the user's other files keep it.
    step(user, ur_step{UR_REMOVE_EMPTY, "", UR_MISSING});
}
