// Damaged or hostile LZ files must be refused or expanded within their stated size.
#include <cstdint>
#include <vector>

#include "files/szdd.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> out;
    if (szdd_expand(data, size, &out) && size >= SZDD_HEADER) {
        std::uint32_t stated = data[10] | data[11] << 8 | data[12] << 16 | std::uint32_t(data[13]) << 24;
        if (out.size() != stated) __builtin_trap();
    }
    return 0;
}
