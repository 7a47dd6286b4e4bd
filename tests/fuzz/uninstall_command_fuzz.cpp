// Any bytes as the uninstaller's command line (the uninstall entry's command
// lies in the registry, where a program may have changed it). Every path is
// whole or refused: what was read is exactly what the line gave for it.
#include <cstdint>
#include <cstring>
#include <string>

#include "companions/uninstall/command.h"
#include "tests/fuzz/fuzzkit.h"
#include "tests/support/initext.h"

// The uninstaller is built apart from the installer's core: its portable
// source comes in here.
#include "companions/uninstall/command.cpp"

namespace {

using initext::upper;

// The value of the last token /NAME= (or -NAME=) of the line's options, its
// quotes removed, as the reader's rules say; has: whether there is one.
std::string reference(const std::string& line, const std::string& name, bool* has)
{
    *has = false;
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i < line.size() && line[i] == '"') {
        std::size_t close = line.find('"', i + 1);
        i = close == std::string::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    }
    std::string value;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        std::size_t end = i;
        bool quoted = false;
        while (end < line.size() && (quoted || (line[end] != ' ' && line[end] != '\t'))) {
            if (line[end] == '"') quoted = !quoted;
            ++end;
        }
        std::string token = line.substr(i, end - i);
        if (token.size() > 1 && token[0] == '"' && (token[1] == '/' || token[1] == '-')) token.erase(0, 1);
        if (token.size() > name.size() + 1 && (token[0] == '/' || token[0] == '-') &&
            upper(token.substr(1, name.size())) == name) {
            value.clear();
            for (char c : token.substr(1 + name.size()))
                if (c != '"') value += c;
            *has = true;
        }
        i = end;
    }
    return value;
}

void check(const char* field, const std::string& line, const char* name, bool path)
{
    fuzzkit::require(std::memchr(field, '\0', UC_PATHSIZE) != nullptr, "a value ends inside its field");
    bool has = false;
    std::string want = reference(line, name, &has);
    std::string got = field;
    if (path && want.size() == 2 && want[1] == ':') want += '\\';
    fuzzkit::require(got == (has ? want : std::string()), "a value is whole, exactly as given");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string line(reinterpret_cast<const char*>(data), size);
    line = line.c_str();  // a command line ends at its NUL
    uninstall_command c;
    bool read = UC_parsecommand(line.c_str(), &c);
    fuzzkit::require(c.userdata >= -1 && c.userdata <= 1, "the user's data is asked, kept or deleted");
    if (!read) {
        return 0;
    }
    check(c.path, line, "PATH=", true);
    check(c.log, line, "LOG=", false);
    check(c.result, line, "RESULT=", false);
    fuzzkit::require(c.haspath == (c.path[0] != '\0'), "a path is there when it is named");

    // What the reader accepts as the program a file type's command starts.
    char program[UC_PATHSIZE];
    if (UC_commandprogram(line.c_str(), "C:\\INST\\", program, sizeof program))
        fuzzkit::require(program[0] != '\0' && std::strlen(program) < sizeof program &&
                             line.find(program) != std::string::npos,
                         "the program is a whole piece of the command");
    return 0;
}
