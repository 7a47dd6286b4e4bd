// Whatever the set builder compresses must expand to the same bytes, both by
// the installer's expander and by the plain reference expander below, which
// shares no code with either; compression never costs more than storing
// every byte as a literal; and the matches found for a piece of the input (as
// the set builder's threads search them) are those of the whole.
#include <cstdint>
#include <cstring>
#include <vector>

#include "files/szdd.h"
#include "tests/fuzz/fuzzkit.h"

namespace {

// The format written the slow, obvious way: a 14-byte header ("SZDD", 88 F0
// 27 33, 'A', the missing character, the expanded length), then groups of a
// flag byte and eight items, read from the flag's lowest bit up: 1 = one
// literal byte, 0 = two bytes naming a ring position (12 bits: the first byte
// and the high nibble of the second) and a length (low nibble + 3). The
// 4096-byte ring starts as blanks, and writing starts at position 4080.
bool reference_expand(const std::vector<std::uint8_t>& packed, std::vector<std::uint8_t>* out)
{
    out->clear();
    if (packed.size() < 14) return false;
    static const std::uint8_t magic[9] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A'};
    for (int i = 0; i < 9; ++i)
        if (packed[i] != magic[i]) return false;
    std::uint32_t length = 0;
    for (int i = 3; i >= 0; --i) length = length * 256 + packed[10 + i];

    std::uint8_t ring[4096];
    for (std::uint8_t& c : ring) c = ' ';
    std::size_t write = 4080;
    std::size_t in = 14;
    while (in < packed.size()) {
        std::uint8_t flags = packed[in];
        in = in + 1;
        for (int item = 0; item < 8; ++item) {
            if (in >= packed.size()) break;
            bool literal = (flags >> item) & 1;
            if (literal) {
                std::uint8_t c = packed[in];
                in = in + 1;
                out->push_back(c);
                ring[write] = c;
                write = (write + 1) % 4096;
            } else {
                if (in + 2 > packed.size()) return false;
                std::size_t position = packed[in] + 256 * (packed[in + 1] / 16);
                std::size_t count = packed[in + 1] % 16 + 3;
                in = in + 2;
                for (std::size_t k = 0; k < count; ++k) {
                    std::uint8_t c = ring[(position + k) % 4096];
                    out->push_back(c);
                    ring[write] = c;
                    write = (write + 1) % 4096;
                }
            }
        }
    }
    // The LZ service copies every item it decodes, whatever the header says.
    return out->size() == length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> original(data, data + size);
    std::vector<std::uint8_t> packed, back;
    szdd_compress(data, size, 'F', &packed);

    fuzzkit::require(szdd_iscompressed(packed.data(), packed.size()), "the output is recognised as compressed");
    fuzzkit::require(packed[9] == 'F', "the missing character is kept in byte 9");
    std::uint32_t stated = packed[10] | packed[11] << 8 | packed[12] << 16 | std::uint32_t(packed[13]) << 24;
    fuzzkit::require(stated == size, "the header states the original length");
    fuzzkit::require(packed.size() <= SZDD_HEADER + size + (size + 7) / 8,
                     "no larger than the header plus every byte as a literal");

    fuzzkit::require(szdd_expand(packed.data(), packed.size(), &back), "the installer's expander accepts it");
    fuzzkit::require(back == original, "the installer's expander gives back the input");
    fuzzkit::require(reference_expand(packed, &back), "the reference expander accepts it");
    fuzzkit::require(back == original, "the reference expander gives back the input");

    if (size > 1) {
        std::size_t cut = (std::size_t(data[0]) << 8 | data[1]) % size;
        std::vector<szdd_match> whole(size), piece(size);
        szdd_find_matches(data, size, 0, size, whole.data());
        szdd_find_matches(data, size, 0, cut, piece.data());
        szdd_find_matches(data, size, cut, size, piece.data() + cut);
        for (std::size_t i = 0; i < size; ++i)
            fuzzkit::require(whole[i].length == piece[i].length && whole[i].distance == piece[i].distance,
                             "a piece's matches are those of the whole");
    }
    return 0;
}
