// The installer's paths on the host: backslashes are read as slashes.
#pragma once
#include <string>

namespace doubles {
// When set, "C:\X" is <drive_root>/C/X: for the code that takes whole drive paths only.
inline std::string drive_root;

inline std::string host(const char* name)
{
    std::string s(name);
    if (!drive_root.empty() && s.size() >= 3 && s[1] == ':' && s[2] == '\\')
        s = drive_root + "/" + s[0] + "/" + s.substr(3);
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}
}  // namespace doubles
