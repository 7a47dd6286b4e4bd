// The demo set as the installer reads it: FILESIZE.txt, txt.pck and the copy
// plan run by the installer's own operations (disk by disk for diskettes)
// install exactly the bytes that FILESIZE.txt announces, and the files that
// arrive equal their sources.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/archive.h"
#include "files/copyplan.h"
#include "shell/text.h"

namespace {

std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::vector<char> read_all(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool is_dir(const std::string& p)
{
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

struct installation : ::testing::Test {
    std::string work;
    setup_context* ctx = nullptr;
    void SetUp() override
    {
        ASSERT_FALSE(env("MKMEDIA").empty()) << "MKMEDIA not given";
        char templ[] = "/tmp/mkiXXXXXX";
        work = std::string(mkdtemp(templ)) + "/";
        ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
    }
    void TearDown() override
    {
        INS_destroycontext(ctx);
        (void)std::system(("rm -rf '" + work + "'").c_str());
    }
    void build(const std::string& args)
    {
        std::string cmd = env("MKMEDIA") + " '" + env("DEMO_MANIFEST") + "' '" + work + "set' " + args + " >/dev/null";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }
    // The voice product's destination tree, as the installer makes it.
    void make_destination()
    {
        for (const char* d : {"", "TEMP", "RECEIVE", "SEND", "PROGRAM", "DATA", "SCRIPT1", "MBOX000", "MBOX000/DSEND",
                              "MBOX000/DRECV", "MBOX000/FOD"})
            mkdir((work + "dest/" + d).c_str(), 0755);
        UL_copytext(ctx->pathname, (work + "dest/").c_str());
    }
    void use_source(const std::string& dir) { UL_copytext(ctx->sourcedir, (work + "set/" + dir + "/").c_str()); }
    void unpack()
    {
        std::string archive = std::string(ctx->sourcedir) + "txt.pck";
        ASSERT_EQ(INS_unpackfile(ctx, archive.c_str(), (std::string(ctx->pathname) + "SCRIPT1").c_str()), ST_OK);
    }
    void expect_installed(const std::string& demo_relative, const std::string& dest_relative)
    {
        std::string demo = env("DEMO_MANIFEST");
        demo = demo.substr(0, demo.rfind('/') + 1);
        std::vector<char> source = read_all(demo + demo_relative);
        ASSERT_FALSE(source.empty()) << demo_relative;
        EXPECT_EQ(read_all(work + "dest/" + dest_relative), source) << dest_relative;
    }
};

TEST_F(installation, CdromSetInstallsWhatFilesizeAnnounces)
{
    build("--cdrom");
    make_destination();
    use_source("SETUP");
    ctx->INS_cdrom = 1;
    ctx->INS_vendor = 8;
    ASSERT_EQ(INS_getfilesize(ctx), ST_OK);
    unpack();
    ASSERT_EQ(INS_expandall(ctx), ST_OK);
    EXPECT_EQ(ctx->INS_currentfilesize, ctx->totalfilesize);
    EXPECT_NE(ctx->totalfilesize, 6341000) << "FILESIZE.txt was not read";
    expect_installed("PROGRAM/PROGRAM.TXT", "PROGRAM/PROGRAM.TXT");
    expect_installed("MBPG/MBLASTER.INI", "PROGRAM/MBLASTER.INI");
    expect_installed("FOD/DOC1.TXT", "MBOX000/FOD/DOC1.TXT");
    expect_installed("txt/GREETING.WAV", "SCRIPT1/GREETING.WAV");
}

TEST_F(installation, DisketteSetInstallsWhatFilesizeAnnouncesDiskByDisk)
{
    // Disks 200 bytes short of holding the whole set, so that the last plan files spill over.
    build("--diskettes --listing '" + work + "one.lst'");
    std::ifstream listing(work + "one.lst");
    unsigned long long used = 0;
    for (std::string line; std::getline(listing, line);) {
        std::size_t tab3 = line.find('\t', line.find('\t', line.find('\t') + 1) + 1);
        used += std::stoull(line.substr(tab3 + 1));
    }
    (void)std::system(("rm -rf '" + work + "set'").c_str());
    build("--diskettes --disksize " + std::to_string(used - 200 + 64));
    ASSERT_TRUE(is_dir(work + "set/DISK2")) << "the small disk size should need a second disk";
    make_destination();
    ctx->INS_cdrom = 0;
    ctx->INS_vendor = 8;
    use_source("DISK1");
    ASSERT_EQ(INS_getfilesize(ctx), ST_OK);
    unpack();
    // The installer's diskette loop: the plan for each disk until lastdisk.txt.
    for (int disk = 1; disk <= 9; ++disk) {
        use_source("DISK" + std::to_string(disk));
        ASSERT_TRUE(is_dir(ctx->sourcedir)) << "no disk " << disk << " before lastdisk.txt";
        ASSERT_EQ(INS_expandall(ctx), ST_OK);
        if (disk > 1) {
            EXPECT_FALSE(read_all(std::string(ctx->sourcedir) + std::to_string(disk) + ".txt").empty());
        }
        if (!read_all(std::string(ctx->sourcedir) + "lastdisk.txt").empty()) break;
    }
    EXPECT_EQ(ctx->INS_currentfilesize, ctx->totalfilesize);
    expect_installed("ROCKSC1/ROCKANS.SCR", "SCRIPT1/ROCKANS.SCR");
    expect_installed("DATA/COVER.TPL", "DATA/COVER.TPL");
}

}  // namespace
