// The file policy, once, on the host: open kinds, keeping an existing file,
// what a failing open leaves behind, and a failing write of the log itself.
#include <gtest/gtest.h>

#include "files/fileutil.h"
#include "tests/native/doubles/shell_doubles.h"
#include "tests/native/files_testkit.h"

namespace {

TEST(FilePolicy, KindsDecideBetweenKeepingCreatingAndRefusing)
{
    kit::scratch s;
    kit::logged_context lc(s);
    doubles::boxes.clear();
    const std::string keep = s / "keep.dat";
    kit::write_text(keep, "12345");
    ul_file h = 0;
    ASSERT_EQ(UL_createfile(lc.ctx, keep.c_str(), UL_SHARED | UL_KEEPEXISTING, &h), ST_OK);
    UL_closefile(lc.ctx, h);
    EXPECT_EQ(kit::read_bytes(keep).size(), 5u) << "kept";
    ASSERT_EQ(UL_createfile(lc.ctx, keep.c_str(), UL_EXCLUSIVE, &h), ST_OK);
    UL_closefile(lc.ctx, h);
    EXPECT_EQ(kit::read_bytes(keep).size(), 0u) << "emptied";

    // A kind no caller may pass fails with the name recorded; the read-write
    // open shows it in a box as well.
    EXPECT_EQ(UL_createfile(lc.ctx, (s / "k.dat").c_str(), 7, &h), ST_BAD_REQUEST);
    EXPECT_FALSE(kit::exists(s / "k.dat"));
    EXPECT_EQ(UL_openreadfile(lc.ctx, keep.c_str(), UL_EXCLUSIVE, &h), ST_BAD_REQUEST);
    EXPECT_TRUE(doubles::boxes.empty());
    EXPECT_EQ(UL_openfile(lc.ctx, keep.c_str(), UL_EXCLUSIVE, &h), ST_BAD_REQUEST);
    ASSERT_EQ(doubles::boxes.size(), 1u);
    EXPECT_EQ(doubles::boxes[0], std::make_pair(std::string("2"), keep));
    EXPECT_EQ(lc.ctx->lasterror, ST_BAD_REQUEST);
    EXPECT_EQ(std::string(lc.ctx->lasterrortext), keep);

    const std::string missing = s / "none/x.txt";
    EXPECT_EQ(UL_createfile(lc.ctx, missing.c_str(), UL_SHARED, &h), ST_CREATE_FAILED);
    EXPECT_EQ(std::string(lc.ctx->lasterrortext), missing);
    std::uint32_t size = 7;
    EXPECT_EQ(UL_filesize(lc.ctx, s.dir().c_str(), &size), ST_OPEN_FAILED) << "a directory has no size";
    EXPECT_EQ(size, 0u);
    EXPECT_TRUE(lc.logged("Error in UL_openreadfile = 13102"));
}

TEST(FilePolicy, FailingWriteIsTracedExceptWhenTheLogItselfFails)
{
    kit::scratch s;
    kit::logged_context lc(s);
    const std::string name = s / "ro.dat";
    kit::write_text(name, "abc");
    ul_file h = 0;
    ASSERT_EQ(UL_openreadfile(lc.ctx, name.c_str(), UL_SHARED, &h), ST_OK);
    EXPECT_EQ(UL_writedata(lc.ctx, h, "x", 1), ST_WRITE_SHORT);
    EXPECT_TRUE(lc.logged("len=1"));

    // The log file itself on a handle that takes no writes: its failure is not
    // written to it again (that would fail and report again, without end), and
    // the flag is down afterwards.
    ul_file logfile = lc.ctx->logfile;
    lc.ctx->logfile = h;
    EXPECT_EQ(UL_writedata(lc.ctx, h, "y", 1), ST_WRITE_SHORT);
    EXPECT_EQ(lc.ctx->logfailing, 0);
    lc.ctx->logfile = logfile;
    UL_closefile(lc.ctx, h);
}

}  // namespace
