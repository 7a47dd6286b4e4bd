// What the modem tests share: a fresh context tracing into the painted log,
// the scripted port reset, and the modem profiles of media/modems.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "modem/serialport.h"
#include "shell/context.h"
#include "tests/native/doubles/modem_doubles.h"
#include "tests/native/doubles/shell_doubles.h"
#include "tests/support/logcheck.h"

inline std::string modem_source_dir()
{
    const char* dir = std::getenv("TEST_SOURCE_DIR");
    return dir ? dir : ".";
}

inline std::string profile_path(const std::string& name) { return modem_source_dir() + "/media/modems/" + name; }

// The simulated modems' profiles whose names start with prefix, sorted.
inline std::vector<std::string> profiles(const std::string& prefix)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(modem_source_dir() + "/media/modems")) {
        std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && entry.path().extension() == ".modem") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}
// The profiles that each give one vendor code ("vendor<code>-<what>.modem").
inline std::vector<std::string> vendor_profiles() { return profiles("vendor"); }

// A profile's test name: its file name without ".modem", other characters as '_'.
inline std::string profile_test_name(const ::testing::TestParamInfo<std::string>& info)
{
    std::string n = info.param.substr(0, info.param.size() - 6);
    for (char& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return n;
}

class ModemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
        INS_context = ctx;
        ctx->debuglevel = 1;
        ctx->logwindow = reinterpret_cast<ul_window>(1);  // trace lines land in doubles::painted
        doubles::painted.clear();
        doubles::serialreset();
        doubles::clock_ms = 100000;
        // Short: INSTALL.INI's path must fit the installer's 79 characters.
        static int serial = 0;
        dir = std::filesystem::temp_directory_path() /
              ("mdm" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        std::string d = dir.string() + "/";
        std::snprintf(ctx->moduledir, sizeof ctx->moduledir, "%s", d.c_str());
        std::snprintf(ctx->sourcedir, sizeof ctx->sourcedir, "%s", d.c_str());
    }

    void TearDown() override
    {
        CM_closecomm(ctx);
        INS_context = nullptr;
        INS_destroycontext(ctx);
        std::filesystem::remove_all(dir);
    }

    void attach(const std::string& profilename, int port = 2)
    {
        std::string error;
        ASSERT_TRUE(doubles::serialattach(port, profile_path(profilename), error)) << error;
    }

    void attach_text(const std::string& text, int port = 2)
    {
        modemsim::profile p;
        std::string error;
        std::istringstream in(text);
        ASSERT_TRUE(modemsim::parse_profile(in, p, error)) << error;
        doubles::serialattach(port, p);
    }

    void write_ini(const std::string& text, const std::filesystem::path& where)
    {
        std::ofstream(where / "INSTALL.INI") << text;
    }

    std::vector<std::string> commands(int port = 2) { return doubles::modems.at(port).commands; }

    bool sent(const std::string& command, int port = 2)
    {
        auto c = commands(port);
        return std::find(c.begin(), c.end(), command) != c.end();
    }

    std::vector<std::string> log() const
    {
        std::vector<std::string> lines;
        for (const auto& p : doubles::painted) lines.push_back(p.text);
        return lines;
    }

    ::testing::AssertionResult logged(const std::string& line) const { return logcheck::contains_line(log(), line); }

    ::testing::AssertionResult loggedstart(const std::string& start) const
    {
        return logcheck::starts_line(log(), start);
    }

    int logcount(const std::string& line) const
    {
        auto l = log();
        return int(std::count(l.begin(), l.end(), line));
    }

    std::string logtext() const
    {
        std::string all;
        for (const auto& l : log()) all += l + "\n";
        return all;
    }

    setup_context* ctx = nullptr;
    std::filesystem::path dir;
};
