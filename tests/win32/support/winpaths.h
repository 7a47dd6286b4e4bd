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
    ~tempdir() { remove(path_); }
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
    static void remove(const std::string& dir)
    {
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA((dir + "*").c_str(), &data);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string name = data.cFileName;
                if (name == "." || name == "..") continue;
                std::string full = dir + name;
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    remove(full + "\\");
                } else {
                    SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(full.c_str());
                }
            } while (FindNextFileA(h, &data));
            FindClose(h);
        }
        RemoveDirectoryA(dir.c_str());
    }
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
