// Any bytes of a list file, read line by line with every buffer size the
// installer uses, must give bounded lines and an end.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "files/fileutil.h"
#include "tests/fuzz/fuzzkit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string name = fuzzkit::scratch() + "LIST.TXT";
    if (!fuzzkit::write_file(name, data, size)) return 0;
    for (std::uint16_t bufsize : {std::uint16_t(1), std::uint16_t(80), std::uint16_t(256)}) {
        setup_context ctx{};
        line_reader reader;
        if (UL_readlineopen(&ctx, &reader, name.c_str()) != ST_OK) return 0;
        char line[256];
        std::uint16_t flag = 0, length = 0;
        std::size_t lines = 0;
        do {
            if (UL_readline(&ctx, &reader, line, bufsize, &flag, &length) != ST_OK) break;
            if (length >= bufsize || line[length] != '\0') __builtin_trap();
            if (++lines > size + 1) __builtin_trap();  // every line consumes at least one byte
        } while (flag == 0);
        UL_readlineclose(&ctx, &reader);
    }
    return 0;
}
