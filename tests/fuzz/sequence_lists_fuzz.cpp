// Any bytes as the modem list FAX.LST or the country list COUNTRY.LST: the
// readers stay within their tables and buffers, and a modem list is either
// fully usable or empty.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "install/dialogs.h"
#include "tests/fuzz/fuzzkit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string file = fuzzkit::scratch() + "LIST.LST";
    if (!fuzzkit::write_file(file, data, size)) return 0;
    const char* name = file.c_str();

    static setup_context ctx;
    static char texts[MODEMLIST_MAX][TEXTSIZE];
    std::int16_t numbers[MODEMLIST_MAX];
    std::int16_t count = -1;
    status_t st = INS_getselection(&ctx, MODEMLIST_MAX, name, texts, numbers, &count);
    if (count < 0 || count > MODEMLIST_MAX) __builtin_trap();
    if (st != ST_OK && count != 0) __builtin_trap();
    for (int i = 0; i < MODEMLIST_MAX; ++i)
        if (std::memchr(texts[i], '\0', TEXTSIZE) == nullptr) __builtin_trap();

    static char extensions[COUNTRY_MAX][COUNTRYEXT_SIZE];
    static char names[COUNTRY_MAX][TEXTSIZE];
    std::int16_t countries = -1;
    if (INS_readcountrylist(&ctx, name, extensions, names, &countries) == ST_OK) {
        if (countries < 0 || countries > COUNTRY_MAX) __builtin_trap();
        for (int i = 0; i < countries; ++i) {
            if (std::strlen(extensions[i]) > COUNTRYEXT_SIZE - 1) __builtin_trap();
            if (std::strchr(extensions[i], ',') != nullptr) __builtin_trap();
            if (std::strlen(names[i]) > TEXTSIZE - 1) __builtin_trap();
        }
    }
    return 0;
}
