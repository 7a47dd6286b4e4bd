// Any bytes as the medium's FILESIZE.txt or as the clean-up list VEQCLEAN.BAT:
// the total is the number on the first line, and the clean-up schedules one
// bounded name per line that has a blank, taken from that line.
#include <cstdint>
#include <cstring>
#include <string>

#include "files/cleanup.h"
#include "files/copyplan.h"
#include "shell/context.h"
#include "shell/text.h"
#include "tests/fuzz/fuzzkit.h"
#include "tests/native/doubles/shell_doubles.h"

namespace {

void check_filesize(const std::uint8_t* data, std::size_t size)
{
    const std::string& dir = fuzzkit::scratch();
    // Odd first byte: a real total (the next four bytes) followed by anything.
    std::string text(reinterpret_cast<const char*>(data), size);
    std::int32_t total = 0;
    const bool known = size >= 5 && (data[0] & 1);
    if (known) {
        total = std::int32_t(data[1] | data[2] << 8 | data[3] << 16 | std::uint32_t(data[4]) << 24);
        text = std::to_string(total) + ((data[0] & 2) ? "\r\n" : "\n") + text.substr(5);
    }
    if (!fuzzkit::write_file(dir + "FILESIZE.txt", text)) return;
    setup_context ctx{};
    UL_copytext(ctx.sourcedir, dir.c_str());
    ctx.totalfilesize = -7;
    fuzzkit::require(INS_getfilesize(&ctx) == ST_OK, "an existing FILESIZE.txt is always read");
    if (known) fuzzkit::require(ctx.totalfilesize == total, "the total is the number on the first line");
    if (text.empty() || text[0] == '\n' || text[0] == '\x1a' || text[0] == '\f')
        fuzzkit::require(ctx.totalfilesize == -7, "an empty first line leaves the total alone");
}

void check_cleanup(const std::uint8_t* data, std::size_t size)
{
    const std::string& dir = fuzzkit::scratch();
    const std::string list = dir + "VEQCLEAN.BAT";
    if (!fuzzkit::write_file(list, data, size)) return;
    setup_context ctx{};
    doubles::deletedatrestart.clear();
    doubles::winversion = 2;
    doubles::windowsdir = dir;
    fuzzkit::require(INS_DoCleanUp(&ctx, list.c_str()) == ST_OK, "the clean-up list is always worked through");

    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t lines = 1;
    for (char c : text)
        if (c == '\n' || c == '\f') ++lines;
    fuzzkit::require(doubles::deletedatrestart.size() <= lines, "at most one file a line");
    const bool tabs = text.find('\t') != std::string::npos;
    std::string uncarried;  // the reader drops every CR
    for (char c : text)
        if (c != '\r') uncarried += c;
    for (const std::string& name : doubles::deletedatrestart) {
        fuzzkit::require(name.size() < 255, "a scheduled name fits its line buffer");
        fuzzkit::require(name.find_first_of("\r\n\f\x1a\t") == std::string::npos, "a name holds no control break");
        if (!tabs) fuzzkit::require(uncarried.find(name) != std::string::npos, "a name is text of the list");
    }
    doubles::deletedatrestart.clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    check_filesize(data, size);
    check_cleanup(data, size);
    return 0;
}
