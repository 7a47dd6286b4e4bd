// The file utilities on real files, as Windows behaves.
#include <gtest/gtest.h>

#include "files/fileutil.h"
#include "tests/win32/support/winpaths.h"

namespace {

class FileUtilities : public ::testing::Test {
protected:
    winpaths::tempdir dir;
    setup_context ctx{};
};

TEST_F(FileUtilities, CreateTruncatesAnExistingFileAndLeavesItOpen)
{
    std::string name = dir.write("big.dat", std::string(5000, 'x'));
    ul_file h = 0;
    ASSERT_EQ(UL_createfile(&ctx, name.c_str(), UL_SHARED, &h), ST_OK);
    ASSERT_EQ(UL_writedata(&ctx, h, "abc", 3), ST_OK);
    UL_closefile(&ctx, h);
    EXPECT_EQ(winpaths::read(name), "abc");
}

TEST_F(FileUtilities, CreateWithKeepExistingOpensWithoutTruncating)
{
    std::string name = dir.write("keep.dat", "12345");
    ul_file h = 0;
    ASSERT_EQ(UL_createfile(&ctx, name.c_str(), UL_SHARED | UL_KEEPEXISTING, &h), ST_OK);
    UL_closefile(&ctx, h);
    EXPECT_EQ(winpaths::read(name), "12345");
}

TEST_F(FileUtilities, SharedLogFileCanBeReadByOthersWhileOpen)
{
    std::string name = dir.file("SETUP.deb");
    ul_file h = 0;
    ASSERT_EQ(UL_createfile(&ctx, name.c_str(), UL_SHARED, &h), ST_OK);
    UL_writedata(&ctx, h, "line\r\n", 6);
    EXPECT_EQ(winpaths::read(name), "line\r\n");
    UL_closefile(&ctx, h);
}

TEST_F(FileUtilities, FailuresRecordTheStatusAndTheFileName)
{
    ul_file h = 0;
    std::string missing = dir.file("missing.txt");
    EXPECT_EQ(UL_openreadfile(&ctx, missing.c_str(), UL_SHARED, &h), ST_OPEN_FAILED);
    EXPECT_EQ(ctx.lasterror, ST_OPEN_FAILED);
    EXPECT_EQ(std::string(ctx.lasterrortext), missing);

    std::string nodir = dir.file("nodir\\x.txt");
    EXPECT_EQ(UL_createfile(&ctx, nodir.c_str(), UL_SHARED, &h), ST_CREATE_FAILED);
    EXPECT_EQ(ctx.lasterror, ST_CREATE_FAILED);
    EXPECT_EQ(std::string(ctx.lasterrortext), nodir);

    EXPECT_EQ(UL_createfile(&ctx, dir.file("k.txt").c_str(), 7, &h), ST_BAD_REQUEST);
    EXPECT_EQ(UL_openreadfile(&ctx, missing.c_str(), 2, &h), ST_BAD_REQUEST);
}

TEST_F(FileUtilities, ReadDataOfMoreThanTheFileHoldsIsAShortRead)
{
    std::string name = dir.write("short.dat", "abc");
    ul_file h = 0;
    ASSERT_EQ(UL_openreadfile(&ctx, name.c_str(), UL_SHARED, &h), ST_OK);
    char buffer[8];
    EXPECT_EQ(UL_readdata(&ctx, h, buffer, 2), ST_OK);
    EXPECT_EQ(UL_readdata(&ctx, h, buffer, 2), ST_READ_SHORT);
    EXPECT_EQ(UL_readraw(h, buffer, 8), 0u) << "at the end of the file";
    UL_closefile(&ctx, h);
}

TEST_F(FileUtilities, WritingToAReadOnlyHandleIsAShortWrite)
{
    std::string name = dir.write("ro.dat", "abc");
    ul_file h = 0;
    ASSERT_EQ(UL_openreadfile(&ctx, name.c_str(), UL_SHARED, &h), ST_OK);
    EXPECT_EQ(UL_writedata(&ctx, h, "x", 1), ST_WRITE_SHORT);
    UL_closefile(&ctx, h);
}

TEST_F(FileUtilities, FileSizeExistsAndMove)
{
    std::string name = dir.write("a.dat", std::string(1234, 'a'));
    std::uint32_t size = 0;
    EXPECT_EQ(UL_filesize(&ctx, name.c_str(), &size), ST_OK);
    EXPECT_EQ(size, 1234u);
    EXPECT_EQ(UL_filesize(&ctx, dir.file("none").c_str(), &size), ST_OPEN_FAILED);
    EXPECT_EQ(size, 0u);

    std::string target = dir.write("b.dat", "old");
    UL_movefile(name.c_str(), target.c_str());
    std::uint16_t exists = 1;
    UL_fileexists(name.c_str(), &exists);
    EXPECT_EQ(exists, 0);
    EXPECT_EQ(winpaths::read(target).size(), 1234u) << "the target was replaced";
    // A target in use stays, and so does what was to replace it.
    name = dir.write("c.dat", "new");
    HANDLE busy = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    EXPECT_EQ(UL_movefile(name.c_str(), target.c_str()), ST_CREATE_FAILED);
    CloseHandle(busy);
    EXPECT_EQ(winpaths::read(target).size(), 1234u) << "the target in use was replaced";
    EXPECT_EQ(winpaths::read(name), "new");
    UL_fileexists(dir.path().c_str(), &exists);
    EXPECT_EQ(exists, 0) << "a directory is not a file";
}

TEST_F(FileUtilities, IsDirectoryAcceptsATrailingBackslashAndRejectsFiles)
{
    std::uint16_t flag = 9;
    UL_isdirectory(&ctx, dir.path().c_str(), &flag);
    EXPECT_EQ(flag, 1);
    UL_isdirectory(&ctx, dir.write("f.txt", "x").c_str(), &flag);
    EXPECT_EQ(flag, 0);
    flag = 9;
    UL_isdirectory(&ctx, "", &flag);
    EXPECT_EQ(flag, 0);
    UL_isdirectory(&ctx, dir.file("absent\\").c_str(), &flag);
    EXPECT_EQ(flag, 0);
}

TEST_F(FileUtilities, CreateDirReportsAFlagAndRemoveDirTakesATrailingBackslash)
{
    std::string sub = dir.file("sub");
    EXPECT_EQ(UL_createdir(sub.c_str()), 0);
    EXPECT_EQ(UL_createdir(sub.c_str()), 1) << "already there";
    UL_removedir((sub + "\\").c_str());
    std::uint16_t flag = 1;
    UL_isdirectory(&ctx, sub.c_str(), &flag);
    EXPECT_EQ(flag, 0);
}

TEST_F(FileUtilities, FindSkipsDirectoriesAndClosesTheSearchAtTheEnd)
{
    UL_createdir(dir.file("d1").c_str());
    UL_createdir(dir.file("d2").c_str());
    find_record record{};
    EXPECT_EQ(UL_findfirst((dir.path() + "*.*").c_str(), 0, &record), 1) << "only directories";
    EXPECT_EQ(record.search, nullptr);

    dir.write("one.txt", "1");
    dir.write("two.txt", "22");
    SetFileAttributesA(dir.file("two.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    int files = 0;
    std::uint32_t bytes = 0;
    for (std::uint16_t r = UL_findfirst((dir.path() + "*.*").c_str(), 0, &record); r == 0; r = UL_findnext(&record)) {
        ++files;
        bytes += record.filesize;
    }
    EXPECT_EQ(files, 2) << "hidden files are found too";
    EXPECT_EQ(bytes, 3u);
    EXPECT_EQ(record.search, nullptr);
}

}  // namespace
