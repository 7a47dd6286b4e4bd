// Helpers of the files/ native tests: a scratch directory, whole-file reads
// and writes, and a setup context whose debug log goes to a file.
#pragma once
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "files/fileutil.h"
#include "install/install.h"
#include "install/state.h"
#include "shell/context.h"
#include "tests/native/support/testfiles.h"
#include "tests/support/logcheck.h"

namespace kit {

inline std::vector<std::uint8_t> read_bytes(const std::string& path)
{
    std::string all = testfiles::read(path);
    return std::vector<std::uint8_t>(all.begin(), all.end());
}

inline void write_bytes(const std::string& path, const std::vector<std::uint8_t>& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

inline void write_text(const std::string& path, const std::string& text)
{
    write_bytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

inline bool exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// Pseudo-random bytes that are the same on every run.
inline std::vector<std::uint8_t> noise(std::size_t n, std::uint32_t seed)
{
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) {
        seed = seed * 1103515245u + 12345u;
        b = std::uint8_t(seed >> 16);
    }
    return v;
}

// A fresh directory (path ends with '/'), removed with everything in it.
class scratch {
public:
    scratch()
    {
        char templ[] = "/tmp/flsXXXXXX";
        dir_ = std::string(mkdtemp(templ)) + "/";
    }
    ~scratch() { (void)std::system(("rm -rf '" + dir_ + "'").c_str()); }
    const std::string& dir() const { return dir_; }
    std::string operator/(const std::string& name) const { return dir_ + name; }
    void mkdir(const std::string& name) const { ::mkdir((dir_ + name).c_str(), 0755); }

private:
    std::string dir_;
};

// A context whose debug log is a file in the scratch directory.
class logged_context {
public:
    explicit logged_context(const scratch& s) : path_(s / "SETUP.deb")
    {
        INS_createcontext(&ctx);
        INS_attachdriver(ctx);  // as start-up does
        ul_file f = 0;
        UL_createfile(ctx, path_.c_str(), UL_SHARED, &f);
        ctx->logfile = f;
        ctx->logtofile = 1;
    }
    ~logged_context() { INS_destroycontext(ctx); }
    std::string log() const { return testfiles::read(path_); }
    // The text ending a line of the log; a failure shows the lines around where it was expected.
    ::testing::AssertionResult logged(const std::string& line) const { return logcheck::contains(log(), line + "\r\n"); }

    setup_context* ctx = nullptr;

private:
    std::string path_;
};

}  // namespace kit
