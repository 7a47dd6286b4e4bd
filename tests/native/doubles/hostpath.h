// The installer's paths on the host: backslashes are read as slashes.
#pragma once
#include <string>

namespace doubles {
inline std::string host(const char* name)
{
    std::string s(name);
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}
}  // namespace doubles
