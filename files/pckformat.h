// Writing the packed archive "txt.pck": 17-byte headers (32-bit little-endian
// length, 13-byte NUL-terminated name) each followed by the file's bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum { PCK_HEADER = 17, PCK_NAME = 13 };

struct pck_entry {
    std::string name;               // 8.3 name, 1 to 12 characters, no directory
    std::vector<std::uint8_t> data; // at least one byte: a length of 0 ends an archive
};

// Why an entry cannot be stored; empty when it can.
std::string pck_refusal(const pck_entry& entry);
// The archive of the entries in order; false (out untouched) when one is refused.
bool pck_build(const std::vector<pck_entry>& entries, std::vector<std::uint8_t>* out, std::string* why);
