// Any bytes as an installation's journal through the journal reader and the
// undo plan. Byte 0: bit 0 the Windows directory given with its backslash,
// bit 1 the system directory with its. A journal whose head is not a title
// and a directory (no root, not the Windows or system directory once read as
// Windows reads it) adds nothing and plans nothing; otherwise every non-empty
// line up to the last line end is taken, told or the M line; a change reads
// back from its own line, which is a whole line of the journal; no step
// leaves the installation, outside it only the suite's own names, and no
// directory goes but empty.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "companions/uninstall/command.h"
#include "companions/uninstall/record.h"
#include "tests/fuzz/fuzzkit.h"

// The uninstaller is built apart from the installer's core: its portable
// sources come in here.
#include "companions/uninstall/command.cpp"
#include "companions/uninstall/record.cpp"

namespace {

struct seen {
    std::vector<ur_change> changes;
    int told = 0;
};

bool add(void* user, const ur_change& c)
{
    static_cast<seen*>(user)->changes.push_back(c);
    return true;
}

void note(void* user, const char*, ur_reason why)
{
    fuzzkit::require(why == UR_OUTSIDE || why == UR_NOT_A_RECORD_LINE, "a line is left for a reason of reading");
    ++static_cast<seen*>(user)->told;
}

// The path below C:\INST\ that Windows would make of rel ("." and ".."
// resolved, trailing dots and blanks of a component dropped); empty when it
// leaves the installation.
std::string resolved(const std::string& rel)
{
    if (rel.find(':') != std::string::npos || rel.find('/') != std::string::npos) return "";
    if (!rel.empty() && rel[0] == '\\') return "";
    std::vector<std::string> parts;
    std::size_t at = 0;
    for (;;) {
        std::size_t end = rel.find('\\', at);
        std::string part = rel.substr(at, end == std::string::npos ? std::string::npos : end - at);
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
        if (part == "" && end == std::string::npos && parts.empty()) return "";
        if (part == "") {
            if (rel.substr(at, end - at).find('.') != std::string::npos) return "";
        } else {
            parts.push_back(part);
        }
        if (end == std::string::npos) break;
        at = end + 1;
    }
    std::string out = "C:\\INST";
    for (const std::string& p : parts) out += "\\" + p;
    return parts.empty() ? "" : out;
}

// A directory as Windows reads it: upper case, components without their
// trailing dots and blanks, no empty ones; empty when a component climbs.
std::string folded(const std::string& dir)
{
    std::string out;
    std::size_t at = 0;
    while (at <= dir.size()) {
        std::size_t end = dir.find('\\', at);
        if (end == std::string::npos) end = dir.size();
        std::string part = dir.substr(at, end - at);
        bool dots = !part.empty() && part.find_first_not_of(". ") == std::string::npos;
        if (dots) return "";
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
        for (char& c : part)
            if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (!part.empty()) out += (out.empty() ? "" : "\\") + part;
        at = end + 1;
    }
    return out;
}

struct planned {
    const ur_journalhead* head;
    int steps = 0;
    bool directories = false;
    int depth = 1 << 30;
};

void step(void* user, const ur_step& st)
{
    planned* p = static_cast<planned*>(user);
    ++p->steps;
    fuzzkit::require(st.rel != nullptr, "a step names a path");
    fuzzkit::require(st.action == UR_REMOVE_FILE || st.action == UR_REMOVE_EMPTY || st.action == UR_RESTORE,
                     "an undo removes a file, an empty directory or puts a copy back");
    std::string rel = st.rel;
    if (st.action == UR_REMOVE_EMPTY) {
        fuzzkit::require(st.where == 0, "a directory goes only from the installation");
        int d = rel.empty() ? 0 : 1 + int(std::count(rel.begin(), rel.end(), '\\'));
        fuzzkit::require(d <= p->depth, "directories deepest first, the installation directory last");
        p->directories = true;
        p->depth = d;
        if (rel.empty()) {
            fuzzkit::require(p->head->madedestination, "the installation directory only when the run made it");
            return;
        }
    } else {
        fuzzkit::require(!p->directories, "files before directories");
        if (st.action == UR_RESTORE)
            fuzzkit::require(st.aside >= 1 && st.aside <= UR_ASIDE_MAX, "a copy's number as the journal holds it");
    }
    if (st.where == 0) {
        fuzzkit::require(UL_isrecordpath(st.rel), "a step names a checked record path");
        fuzzkit::require(!resolved(rel).empty(), "a step stays inside the installation");
    } else {
        fuzzkit::require(st.where == 'W' || st.where == 'S', "outside, only the Windows or system directory");
        fuzzkit::require(UR_issuitename(st.rel), "outside the installation only the suite's own names");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::uint8_t flags = data[0];
    const char* text = reinterpret_cast<const char*>(data + 1);
    const std::size_t length = size - 1;
    const char* windowsdir = (flags & 1) ? "C:\\WINDOWS\\" : "C:\\WINDOWS";
    const char* systemdir = (flags & 2) ? "C:\\WINDOWS\\SYSTEM\\" : "C:\\WINDOWS\\SYSTEM";

    // The lines up to the last line end, read independently.
    std::size_t read = length;
    while (read > 0 && text[read - 1] != '\r' && text[read - 1] != '\n') --read;
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < read;) {
        std::size_t end = i;
        while (end < read && text[end] != '\r' && text[end] != '\n') ++end;
        if (end > i || lines.empty()) lines.push_back(std::string(text + i, end - i));
        while (end < read && (text[end] == '\r' || text[end] == '\n')) ++end;
        i = end;
    }

    seen s;
    ur_journalhead head;
    bool taken = UR_readjournal(text, length, windowsdir, systemdir, &head, add, note, &s);
    planned p{&head};
    UR_planundo(head, s.changes.data(), int(s.changes.size()), step, &p);
    if (!taken) {
        fuzzkit::require(s.changes.empty() && s.told == 0, "a refused journal adds nothing");
        fuzzkit::require(head.title[0] == '\0' && head.destination[0] == '\0' && !head.madedestination,
                         "a refused journal has no head");
        fuzzkit::require(p.steps == 0, "a refused journal plans nothing");
        return 0;
    }

    fuzzkit::require(lines.size() >= 2, "a journal has a head");
    fuzzkit::require(lines[0] == std::string("T,") + head.title, "the title is the whole first line");
    fuzzkit::require(std::strpbrk(head.title, "[]()\\/:") == nullptr && head.title[0] != '\0',
                     "a title names nothing but itself");
    const std::string destination = head.destination;
    fuzzkit::require(lines[1] == "P," + destination, "the directory is the whole second line");
    fuzzkit::require(destination.size() >= 5 && destination[1] == ':' && destination[2] == '\\' &&
                         destination.back() == '\\',
                     "the directory is whole, on a drive, with its backslash");
    const std::string d = folded(destination);
    fuzzkit::require(!d.empty() && d.find('\\') != std::string::npos, "the directory is not a drive's root");
    fuzzkit::require(d != folded(windowsdir) && d != folded(systemdir), "nor the Windows or system directory");
    fuzzkit::require(!resolved(destination.substr(3, destination.size() - 4)).empty(), "nor climbs out of its drive");

    int marks = 0;
    std::vector<std::string> body(lines.begin() + 2, lines.end());
    for (const std::string& l : body) marks += l == "M";
    fuzzkit::require(head.madedestination == (marks > 0), "the directory made only with an M line");
    fuzzkit::require(int(s.changes.size()) + s.told + marks == int(body.size()),
                     "every line after the head is taken, told or the M line");

    std::size_t next = 0;
    int groups = 0;
    for (const ur_change& c : s.changes) {
        fuzzkit::require(std::memchr(c.rel, '\0', sizeof c.rel) != nullptr, "a path ends inside its field");
        fuzzkit::require(std::strchr("DFWSAG", c.kind) && c.kind != '\0', "a change of a known kind");
        bool inside = c.kind == 'D' || c.kind == 'F' || (c.kind == 'A' && c.where == 'F');
        groups += c.kind == 'G';
        if (c.kind == 'G') fuzzkit::require(UL_isplainname(c.rel), "a group is a plain name");
        else if (inside) fuzzkit::require(!resolved(c.rel).empty(), "a change lies inside the installation");
        else fuzzkit::require(UR_issuitename(c.rel), "outside the installation only the suite's own names");
        char line[UL_RECORDPATH_MAX + 16];
        fuzzkit::require(UR_formatchange(c, line, sizeof line), "a change taken can be written");
        ur_change back;
        fuzzkit::require(UR_parsechange(line, &back), "a change's line reads back");
        fuzzkit::require(back.kind == c.kind && back.where == c.where && back.aside == c.aside &&
                             std::strcmp(back.rel, c.rel) == 0,
                         "as the same change");
        // Taken in the journal's order, each from a whole line of its own.
        while (next < body.size() && body[next] != line) ++next;
        fuzzkit::require(next < body.size(), "a change is a whole line of the journal, in order");
        ++next;
    }
    // The group is the uninstaller's to remove, not a step of the plan.
    fuzzkit::require(p.steps == int(s.changes.size()) - groups + (head.madedestination ? 1 : 0),
                     "one step for each change but the group, and one for the directory made");
    return 0;
}
