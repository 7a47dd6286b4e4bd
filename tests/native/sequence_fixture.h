// A setup context over a scratch directory tree, for the sequence's tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "install/install.h"
#include "install/state.h"
#include "shell/context.h"
#include "shell/text.h"
#include "tests/native/doubles/shell_doubles.h"

class SequenceTest : public ::testing::Test {
protected:
    setup_context* ctx = nullptr;
    std::string root;

    void SetUp() override
    {
        char pattern[] = "/tmp/seqtestXXXXXX";
        root = mkdtemp(pattern);
        ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
        INS_attachdriver(ctx);  // as start-up does
        ctx->resourcelib = reinterpret_cast<ul_module>(1);
        doubles::strings.clear();
        doubles::boxes.clear();
        source("/src/");
        mkdir((root + "/src").c_str(), 0755);
    }

    void TearDown() override
    {
        INS_destroycontext(ctx);
        std::string cmd = "rm -rf '" + root + "'";
        (void)std::system(cmd.c_str());
    }

    // Installer-style directory text for a path under the scratch root.
    std::string dir(const std::string& rel) const { return root + rel; }
    void source(const std::string& rel) { UL_copytext(ctx->sourcedir, dir(rel).c_str()); }

    void write(const std::string& rel, const std::string& content)
    {
        std::ofstream out(root + rel, std::ios::binary);
        out << content;
    }

    bool isdir(const std::string& rel) const
    {
        struct stat st;
        return stat((root + rel).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    bool exists(const std::string& rel) const
    {
        struct stat st;
        return stat((root + rel).c_str(), &st) == 0;
    }
};
