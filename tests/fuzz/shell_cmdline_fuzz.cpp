// Any bytes as the installer's command line. Its path options (/ANSWERS=,
// /RECORD=, /LOG=, /RESULT=, /DIR=) may be quoted to hold blanks and commas; a
// value that does not fit its field is refused, never cut: when the line is
// taken, each field holds exactly what an independent reading of the
// documented rules gives for the last such option.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "shell/cmdline.h"
#include "shell/context.h"
#include "tests/fuzz/fuzzkit.h"
#include "tests/support/initext.h"

namespace {

using initext::upper;

// Tokens at blanks and commas; a token starting with "/" (or a quote and "/")
// may quote parts of itself, its quotes dropped. unclosed: a quote left open.
std::vector<std::string> tokens(const std::string& line, bool* unclosed)
{
    std::vector<std::string> out;
    *unclosed = false;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == ',') {
            ++i;
            continue;
        }
        bool quoting = line[i] == '/' || (line[i] == '"' && i + 1 < line.size() && line[i + 1] == '/');
        bool inside = false;
        std::string t;
        for (; i < line.size(); ++i) {
            if (quoting && line[i] == '"') {
                inside = !inside;
                continue;
            }
            if (!inside && (line[i] == ' ' || line[i] == ',')) break;
            t += line[i];
        }
        if (inside) *unclosed = true;
        out.push_back(t);
    }
    return out;
}

std::string trimmed(const std::string& s)
{
    std::size_t a = 0, b = s.size();
    while (a < b && s[a] == ' ') ++a;
    while (b > a && s[b - 1] == ' ') --b;
    return s.substr(a, b - a);
}

struct option {
    const char* name;
    bool directory;
    char (setup_context::*field)[TEXTSIZE];
};
const option OPTIONS[] = {
    {"/ANSWERS=", false, &setup_context::answerfile}, {"/RECORD=", false, &setup_context::recordfile},
    {"/LOG=", false, &setup_context::logname},        {"/RESULT=", false, &setup_context::resultfile},
    {"/DIR=", true, &setup_context::destinationarg},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string line(reinterpret_cast<const char*>(data), size);
    line = line.c_str();
    setup_context ctx{};
    std::int16_t level = 0;
    status_t st = INS_parsecommandline(&ctx, line.c_str(), &level);
    for (const option& o : OPTIONS)
        fuzzkit::require(std::memchr(ctx.*o.field, '\0', TEXTSIZE) != nullptr, "a field ends inside itself");
    if (line.size() > CMDLINE_MAX) {
        fuzzkit::require(st != ST_OK, "a line longer than the limit is refused");
        return 0;
    }
    bool unclosed = false;
    std::vector<std::string> all = tokens(line, &unclosed);
    bool toolong = false;
    for (const std::string& t : all)
        for (const option& o : OPTIONS) {
            if (upper(t.substr(0, std::strlen(o.name))) != o.name) continue;
            std::string v = trimmed(t.substr(std::strlen(o.name)));
            bool needslash = o.directory && (v.empty() || v.back() != '\\');
            if (v.size() > TEXTSIZE - 1 - (needslash ? 1 : 0)) toolong = true;
            break;
        }
    if (unclosed) fuzzkit::require(st != ST_OK, "an unclosed quote is refused");
    // Options are applied in order: one that does not fit ends the reading there.
    if (st != ST_OK) return 0;
    fuzzkit::require(!toolong, "a value that does not fit is refused, never cut");
    for (const option& o : OPTIONS) {
        std::string want;
        for (const std::string& t : all) {
            if (upper(t.substr(0, std::strlen(o.name))) != o.name) continue;
            bool other = false;  // a longer name that starts the same ("/DIR=" is no prefix of another)
            for (const option& p : OPTIONS)
                if (&p != &o && std::strlen(p.name) > std::strlen(o.name) &&
                    upper(t.substr(0, std::strlen(p.name))) == p.name)
                    other = true;
            if (other) continue;
            want = trimmed(t.substr(std::strlen(o.name)));
            if (o.directory && !want.empty() && want.back() != '\\') want += '\\';
        }
        fuzzkit::require(std::string(ctx.*o.field) == want, "a path option holds exactly its last value");
    }
    if (ctx.silent != SILENT_NONE) fuzzkit::require(ctx.answerfile[0] != '\0', "a silent run has its answers");
    return 0;
}
