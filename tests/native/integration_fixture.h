// A setup context over a scratch directory tree, with the debug log in a
// file the tests read back.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/fileutil.h"
#include "install/install.h"
#include "install/state.h"
#include "shell/context.h"
#include "shell/text.h"
#include "tests/native/doubles/integration_doubles.h"
#include "tests/native/doubles/shell_doubles.h"
#include "tests/native/support/testfiles.h"

class IntegrationTest : public ::testing::Test {
protected:
    setup_context* ctx = nullptr;
    std::string root;

    void SetUp() override
    {
        char pattern[] = "/tmp/integrationXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        for (const char* dir : {"/src", "/dest/PROGRAM", "/dest/DATA", "/windows/system"})
            std::filesystem::create_directories(root + dir);
        ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
        INS_attachdriver(ctx);  // as start-up does
        dir(ctx->sourcedir, "/src/");
        dir(ctx->pathname, "/dest/");
        dir(ctx->programdir, "/dest/PROGRAM/");
        dir(ctx->datadir, "/dest/DATA/");
        dir(ctx->windowsdir, "/windows/");
        dir(ctx->systemdir, "/windows/system/");
        UL_copytext(ctx->producttitle, "ZeltaFax");
        UL_copytext(ctx->productname, "ZELTAFAX");
        ASSERT_EQ(UL_createfile(ctx, (root + "/setup.deb").c_str(), UL_EXCLUSIVE, &ctx->logfile), ST_OK);
        ctx->logtofile = 1;
        integration_doubles::reset();
        doubles::strings.clear();
        doubles::clock_ms = 0;
        doubles::checkabort_calls = 0;
        doubles::stop_at_call = 0;
    }

    void TearDown() override
    {
        INS_destroycontext(ctx);
        std::filesystem::remove_all(root);
    }

    void dir(char* field, const char* sub) { UL_copytext(field, TEXTSIZE, (root + sub).c_str()); }

    static std::string read(const std::string& path) { return testfiles::read(path); }

    static void write(const std::string& path, const std::string& text)
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }

    std::string log() const { return read(root + "/setup.deb"); }
};
