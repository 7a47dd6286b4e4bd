// Helpers of the files/ tests under Wine: a scratch directory below the
// system's temporary path, removed with its contents, and whole-file access.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/win32/support/winpaths.h"

namespace winkit {

inline std::vector<std::uint8_t> read_bytes(const std::string& path)
{
    std::vector<std::uint8_t> data;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return data;
    DWORD size = GetFileSize(h, nullptr), got = 0;
    data.resize(size);
    if (size && !ReadFile(h, data.data(), size, &got, nullptr)) got = 0;
    data.resize(got);
    CloseHandle(h);
    return data;
}

inline bool write_bytes(const std::string& path, const std::vector<std::uint8_t>& data)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    BOOL ok = data.empty() || WriteFile(h, data.data(), DWORD(data.size()), &put, nullptr);
    CloseHandle(h);
    return ok && put == data.size();
}

inline bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The checkout's path as Wine shows it (Z:\...).
inline std::string source_tree()
{
    const char* unix_path = std::getenv("TEST_SOURCE_DIR");
    std::string p = std::string("Z:") + (unix_path ? unix_path : "");
    for (char& c : p)
        if (c == '/') c = '\\';
    return p + "\\";
}

using winpaths::remove_tree;

// A fresh directory (ending with a backslash) below the temporary path.
class scratch {
public:
    scratch()
    {
        char temp[MAX_PATH] = {}, name[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        GetTempFileNameA(temp, "fls", 0, name);
        DeleteFileA(name);
        CreateDirectoryA(name, nullptr);
        dir_ = std::string(name) + "\\";
    }
    ~scratch() { remove_tree(dir_); }
    const std::string& dir() const { return dir_; }
    std::string operator/(const std::string& name) const { return dir_ + name; }
    void mkdir(const std::string& name) const { CreateDirectoryA((dir_ + name).c_str(), nullptr); }

private:
    std::string dir_;
};

}  // namespace winkit
