// What the fuzz targets share: a scratch directory in memory, whole files
// written and read back, and a check that says which promise was broken.
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fuzzkit {

// A directory of its own for this process, removed at exit; ends with '/'.
inline const std::string& scratch()
{
    // The name outlives every static object, so the removal at exit can still read it.
    static char name[64];
    static const std::string* dir = [] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::snprintf(name, sizeof name, "%s/setupfuzz.XXXXXX", base);
        if (!mkdtemp(name)) std::abort();
        std::atexit([] { std::filesystem::remove_all(name); });
        return new std::string(std::string(name) + "/");
    }();
    return *dir;
}

inline bool write_file(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

inline bool write_file(const std::string& path, const std::string& text)
{
    return write_file(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

inline bool read_file(const std::string& path, std::vector<std::uint8_t>* out)
{
    out->clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::uint8_t buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) out->insert(out->end(), buffer, buffer + n);
    std::fclose(f);
    return true;
}

inline bool exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// A broken promise: names it on stderr (kept with the crashing input) and stops.
[[noreturn]] inline void broken(const char* promise)
{
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

inline void require(bool holds, const char* promise)
{
    if (!holds) broken(promise);
}

}  // namespace fuzzkit
