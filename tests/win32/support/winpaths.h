// Helpers for the tests that run under Wine.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <string>

namespace winpaths {

// A unix path given by the build, as Wine sees it.
inline std::string from_unix(const std::string& path)
{
    std::string out = "Z:" + path;
    for (char& c : out)
        if (c == '/') c = '\\';
    return out;
}

inline std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

// Removes a directory (named with its trailing backslash) and all it holds,
// read-only files too; a directory link is removed as the link, never entered.
// The one remove of the Windows tests' scratch trees.
inline void remove_tree(const std::string& dir)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string full = dir + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA(full.c_str());
            else if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) RemoveDirectoryA(full.c_str());
            else remove_tree(full + "\\");
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

// A fresh directory under the system's temporary directory, removed with its files.
class tempdir {
public:
    tempdir()
    {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        static int counter = 0;
        path_ = std::string(base) + "setuptest" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++counter) + "\\";
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~tempdir() { remove_tree(path_); }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }
    std::string write(const std::string& name, const std::string& bytes) const
    {
        std::string full = file(name);
        HANDLE h = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD put = 0;
        WriteFile(h, bytes.data(), DWORD(bytes.size()), &put, nullptr);
        CloseHandle(h);
        return full;
    }

private:
    std::string path_;
};

inline std::string read(const std::string& name)
{
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return "";
    std::string out;
    char block[4096];
    DWORD got = 0;
    while (ReadFile(h, block, sizeof block, &got, nullptr) && got > 0) out.append(block, got);
    CloseHandle(h);
    return out;
}

}  // namespace winpaths
