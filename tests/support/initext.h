// How the profile double and the fuzzers' own readers take a name: in upper
// case (ASCII letters only, as sections, keys and options compare), and
// without the blanks, tabs and CR around it (INI lines, names and values).
#pragma once
#include <string>

namespace initext {

inline std::string upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

inline std::string trimmed(const std::string& s)
{
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

}  // namespace initext
