#include "files/pckformat.h"

#include <cstring>

#include "files/plainname.h"

std::string pck_refusal(const pck_entry& e)
{
    if (e.name.empty()) return "empty name";
    if (e.name.size() > PCK_NAME - 1) return "name longer than 12 characters: " + e.name;
    if (e.name.find_first_of("\\/:") != std::string::npos) return "name with a directory part: " + e.name;
    if (std::memchr(e.name.data(), 0, e.name.size())) return "name with a NUL character";
    if (!UL_isplainname(e.name.c_str())) return "not a plain file name (the installer refuses it): " + e.name;
    if (e.data.empty()) return "empty file (a length of 0 would end the archive): " + e.name;
    if (e.data.size() > 0x7FFFFFFFu) return "file too large: " + e.name;
    return "";
}

bool pck_build(const std::vector<pck_entry>& entries, std::vector<std::uint8_t>* out, std::string* why)
{
    std::vector<std::uint8_t> result;
    for (const auto& e : entries) {
        std::string refusal = pck_refusal(e);
        if (!refusal.empty()) {
            if (why) *why = refusal;
            return false;
        }
        std::uint32_t length = std::uint32_t(e.data.size());
        for (int i = 0; i < 4; ++i) result.push_back(std::uint8_t(length >> (8 * i)));
        std::uint8_t name[PCK_NAME] = {};
        std::memcpy(name, e.name.data(), e.name.size());
        result.insert(result.end(), name, name + PCK_NAME);
        result.insert(result.end(), e.data.begin(), e.data.end());
    }
    out->swap(result);
    return true;
}
