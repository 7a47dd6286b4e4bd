// Any bytes as the uninstaller's record: DATA\UNINSTAL.LST through the record
// reader and the removal plan, and DATA\UNINSTAL.DAT through the title reader.
// Byte 0: bit 0 the user's data deleted, bit 1 the installation in a drive's
// root, bit 2 the record unreadable. No step that removes may name a path
// that leaves the installation (resolved against it, as Windows would), nor
// anything below RECEIVE, SEND or MBOX000 while the user's data is kept; every
// line is taken or told; a title is taken whole or not at all.
#include <cctype>
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
    std::vector<ur_entry> made;
    int told = 0;
};

bool add(void* user, const ur_entry& e)
{
    static_cast<seen*>(user)->made.push_back(e);
    return true;
}

void note(void* user, const char*, ur_reason why)
{
    fuzzkit::require(why == UR_OUTSIDE || why == UR_NOT_A_RECORD_LINE || why == UR_TOO_MANY,
                     "a line is left for a reason of reading");
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
            // "..", "." and empty components all shrink to nothing: a dot-only
            // name would climb or stay, which no plain record path may do.
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

struct planned {
    bool deleteuserdata;
    const seen* s;
    int steps = 0;
};

void step(void* user, const ur_step& st)
{
    planned* p = static_cast<planned*>(user);
    ++p->steps;
    fuzzkit::require(st.rel != nullptr, "a step names a path");
    std::string rel = st.rel;
    if (st.action == UR_KEEP) return;
    if (rel.empty()) {
        fuzzkit::require(st.action == UR_REMOVE_EMPTY, "the installation directory itself goes only when empty");
        return;
    }
    fuzzkit::require(UL_isrecordpath(st.rel), "a removal names a checked record path");
    fuzzkit::require(!resolved(rel).empty(), "a removal stays inside the installation");
    if (!p->deleteuserdata)
        fuzzkit::require(!UC_isuserdata(st.rel) || st.action == UR_REMOVE_EMPTY,
                         "nothing of the user's data goes while it is kept");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::uint8_t flags = data[0];
    const char* text = reinterpret_cast<const char*>(data + 1);
    const std::size_t length = size - 1;

    const std::string whole(text, length);
    seen s;
    fuzzkit::require(UR_readmade(text, length, add, note, &s), "a record is read whole while memory lasts");
    int lines = 0;
    for (std::size_t i = 0; i < length;) {
        std::size_t end = i;
        while (end < length && text[end] != '\r' && text[end] != '\n') ++end;
        if (end > i) ++lines;
        while (end < length && (text[end] == '\r' || text[end] == '\n')) ++end;
        i = end;
    }
    fuzzkit::require(int(s.made.size()) + s.told == lines, "every non-empty line is taken or told");
    for (const ur_entry& e : s.made) {
        fuzzkit::require(e.kind == 'D' || e.kind == 'F', "an entry is a directory or a file");
        fuzzkit::require(std::memchr(e.rel, '\0', sizeof e.rel) != nullptr, "a path ends inside its field");
        fuzzkit::require(!resolved(e.rel).empty(), "an entry lies inside the installation");
        // Taken whole: the line holds exactly the kind, a comma and the path.
        std::string line = std::string(1, e.kind) + "," + e.rel;
        fuzzkit::require(whole.find(line) != std::string::npos, "an entry is a line of the record");
    }

    planned p{(flags & 1) != 0, &s};
    ur_recordstate state = (flags & 4) ? UR_RECORD_UNREADABLE : (flags & 8) ? UR_NO_RECORD : UR_RECORD_READ;
    UR_plan(state, s.made.data(), int(s.made.size()), p.deleteuserdata, (flags & 2) != 0, step, &p);
    fuzzkit::require(p.steps > 0, "a plan says what it does");

    ur_titles t;
    seen told;
    bool titled = UR_readtitles(text, length, &t, note, &told);
    std::size_t first = 0;
    while (first < length && text[first] != '\r' && text[first] != '\n') ++first;
    if (titled) {
        fuzzkit::require(std::string(t.title) == std::string(text, first), "a title is the whole first line");
        fuzzkit::require(std::strpbrk(t.title, "[]()\\/:") == nullptr, "a title names nothing but itself");
    } else {
        fuzzkit::require(t.title[0] == '\0' && t.count == 0, "a damaged record names nothing");
    }
    fuzzkit::require(t.count >= 0 && t.count <= UR_MAXVERBS, "verbs within the record");
    for (int i = 0; i < t.count; ++i) {
        fuzzkit::require(UL_isplainname(t.verbs[i].extension) && UL_isplainname(t.verbs[i].verb),
                         "a verb is a plain name");
        std::string line = std::string(t.verbs[i].extension) + "," + t.verbs[i].verb;
        fuzzkit::require(whole.find(line) != std::string::npos, "a verb is a line, uncut");
    }
    return 0;
}
