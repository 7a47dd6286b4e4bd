// Whatever we compress must expand to the same bytes.
#include <cstdint>
#include <vector>

#include "files/szdd.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> packed, back;
    szdd_compress(data, size, 'F', &packed);
    if (!szdd_expand(packed.data(), packed.size(), &back)) __builtin_trap();
    if (back != std::vector<std::uint8_t>(data, data + size)) __builtin_trap();
    return 0;
}
