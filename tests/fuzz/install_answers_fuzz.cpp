// Any bytes as an answer file (/ANSWERS=), read through the answer reader and
// the profile double. Byte 0 picks the section asked (one of the file's
// headers or a usual one), byte 1 the key and the caller's buffer; the rest
// is the file. An answer comes from its own section only, never from
// the section before or after it, and fits the caller's buffer, terminated;
// a numbered section ([992.2]) answers only when it names a button.
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "install/unattended.h"
#include "shell/context.h"
#include "shell/text.h"
#include "tests/fuzz/fuzzkit.h"
#include "tests/support/initext.h"

namespace {

using initext::trimmed;
using initext::upper;

struct line {
    std::string section;  // upper case; "" before the first header
    std::string key, value;
};

// The file's key lines with the section each lies in.
std::vector<line> lines_of(const std::string& text, std::set<std::string>* sections, std::set<std::string>* keys)
{
    std::vector<line> out;
    std::string current;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string t = trimmed(text.substr(at, end - at));
        at = end + 1;
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            current = upper(t.substr(1, t.size() - 2));
            if (sections->size() < 8) sections->insert(t.substr(1, t.size() - 2));
            continue;
        }
        std::size_t eq = t.find('=');
        if (eq == std::string::npos) continue;
        out.push_back({current, upper(trimmed(t.substr(0, eq))), trimmed(t.substr(eq + 1))});
        if (keys->size() < 8) keys->insert(trimmed(t.substr(0, eq)));
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const std::string& dir = fuzzkit::scratch();
    std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    if (text.find('\0') != std::string::npos) return 0;  // a profile file is text
    if (!fuzzkit::write_file(dir + "ANSWERS.INI", text)) return 0;
    std::set<std::string> sectionset = {"992", "992.2", "Options"}, keyset = {"102", "Button", "Delay"};
    std::vector<line> lines = lines_of(text, &sectionset, &keyset);
    std::vector<std::string> sections(sectionset.begin(), sectionset.end()), keys(keyset.begin(), keyset.end());
    const std::string& s = sections[data[0] % sections.size()];
    const std::string& k = keys[(data[1] & 0x3f) % keys.size()];
    const std::size_t rooms[] = {1, 16, 80, TEXTSIZE};
    const std::size_t room = rooms[data[1] >> 6];

    setup_context ctx{};
    UL_copytext(ctx.answerfile, (dir + "ANSWERS.INI").c_str());
    std::vector<char> out(room + 4, '#');
    bool found = INS_answertextin(&ctx, s.c_str(), k.c_str(), out.data(), room);
    fuzzkit::require(std::memchr(out.data(), '\0', room) != nullptr, "an answer ends inside its buffer");
    fuzzkit::require(out[room] == '#', "nothing is written past the buffer");
    if (!found) {
        fuzzkit::require(out[0] == '\0', "no answer leaves an empty text");
    } else {
        // The answer is the start of a value of that key in that section.
        std::string got = out.data();
        bool from_section = false;
        for (const line& l : lines)
            if (l.section == upper(s) && l.key == upper(k) && l.value.compare(0, got.size(), got) == 0)
                from_section = true;
        fuzzkit::require(from_section, "an answer comes from its own section");
    }
    // The section that answers the second showing of a template is that template's.
    if (data[0] & 0x80) {
        char name[16];
        INS_answersection(&ctx, 992, 2, name);
        std::string n = name;
        fuzzkit::require(n == "992" || n == "992.2", "a showing is answered by its template");
        if (n != "992") {
            bool button = false;
            for (const line& l : lines)
                if (l.section == "992.2" && l.key == "BUTTON") button = true;
            fuzzkit::require(button, "a numbered section answers only with a button");
        }
    }
    return 0;
}
