// A setup context for the Windows tests, over a scratch directory of the
// Wine prefix's drive, with its debug log read back.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "files/fileutil.h"
#include "install/install.h"
#include "install/state.h"
#include "shell/context.h"
#include "shell/text.h"
#include "tests/win32/support/winpaths.h"

class WineIntegrationTest : public ::testing::Test {
protected:
    setup_context* ctx = nullptr;
    std::string root;  // ends with a backslash

    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        char name[MAX_PATH];
        GetTempFileNameA(temp, "veq", 0, name);
        DeleteFileA(name);
        CreateDirectoryA(name, nullptr);
        root = std::string(name) + "\\";
        ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
        INS_attachdriver(ctx);  // as start-up does
        ASSERT_EQ(UL_createfile(ctx, (root + "setup.deb").c_str(), UL_SHARED, &ctx->logfile), ST_OK);
        ctx->logtofile = 1;
        UL_copytext(ctx->producttitle, "VEQ Test Product");
        UL_copytext(ctx->productname, "VEQTEST");
    }

    void TearDown() override
    {
        INS_destroycontext(ctx);
        remove_tree(root);
    }

    static void remove_tree(const std::string& dir) { winpaths::remove_tree(dir); }

    static std::string read(const std::string& path) { return winpaths::read(path); }

    static void write(const std::string& path, const std::string& text)
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }

    std::string log() const { return read(root + "setup.deb"); }

    static std::string regvalue(HKEY root, const std::string& key, const char* name)
    {
        HKEY h;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return "<no key>";
        char value[512] = {};
        DWORD size = sizeof value - 1, type = 0;
        LONG rc = RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
        RegCloseKey(h);
        if (rc != ERROR_SUCCESS) return "<no value>";
        if (type != REG_SZ) return "<not a string>";
        return value;
    }

    static bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
};
