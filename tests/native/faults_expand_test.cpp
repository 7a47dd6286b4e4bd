// One file's copy meeting a full disk, a damaged medium or a stop: the failure
// names the file, and no cut or empty file is left to pass for an installed one.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "files/expand.h"
#include "files/szdd.h"
#include "shell/status.h"
#include "tests/native/doubles/shell_doubles.h"
#include "tests/native/files_testkit.h"
#include "tests/support/logcheck.h"

namespace {

struct copyfault : ::testing::Test {
    kit::scratch s;
    kit::logged_context log{s};
    void SetUp() override
    {
        doubles::stop_at_call = 0;
        doubles::checkabort_calls = 0;
        doubles::boxes.clear();
    }
    void TearDown() override { doubles::stop_at_call = 0; }
};

// The process may write files of at most `bytes` while it lives: a full disk
// for every write, as the system reports it (a short write, no signal).
class filesize_limit {
public:
    explicit filesize_limit(rlim_t bytes)
    {
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit small = old_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~filesize_limit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }

private:
    rlimit old_{};
    void (*old_handler_)(int) = nullptr;
};

}  // namespace

TEST_F(copyfault, FullDiskIsAWriteErrorNamingTheTargetAndLeavesNoCutFile)
{
    const std::string source = s / "BIG.FAX", target = s / "OUT.FAX";
    kit::write_bytes(source, kit::noise(200000, 3));
    status_t st;
    {
        filesize_limit full(65536);
        st = INS_expandfile(log.ctx, target.c_str(), source.c_str());
    }
    EXPECT_EQ(st, ST_WRITE_SHORT);
    EXPECT_EQ(log.ctx->lasterror, ST_WRITE_SHORT) << "the failure notice names the file";
    EXPECT_EQ(std::string(log.ctx->lasterrortext), target);
    EXPECT_FALSE(kit::exists(target)) << "64 KB of a 200 KB file must not stay as if installed";
    EXPECT_EQ(log.ctx->INS_currentfilesize, 0);
}

TEST_F(copyfault, DamagedCompressedSourceNamesTheSourceAndReplacesNoTargetWithACutOne)
{
    std::vector<std::uint8_t> original = kit::noise(5000, 9), packed;
    szdd_compress(original.data(), original.size(), 'L', &packed);
    packed.resize(packed.size() / 2);
    const std::string source = s / "MODEMS.IN_", target = s / "MODEMS.INI";
    kit::write_bytes(source, packed);
    kit::write_text(target, "the previous installation's file");
    log.ctx->debuglevel = 2;  // the removal is a detail line
    status_t st = INS_expandfile(log.ctx, target.c_str(), source.c_str());
    EXPECT_NE(st, ST_OK);
    EXPECT_EQ(log.ctx->lasterror, st);
    EXPECT_EQ(std::string(log.ctx->lasterrortext), source);
    EXPECT_FALSE(kit::exists(target));
    EXPECT_TRUE(log.logged("removed unfinished " + target));
    EXPECT_FALSE(logcheck::contains(log.log(), "\nfilesize=")) << "the label of a finished copy";
    EXPECT_TRUE(logcheck::contains(log.log(), "\nlzcopy="));
}

TEST_F(copyfault, StopBeforeTheCopyLeavesNoEmptyFileStopAfterItKeepsTheWholeFile)
{
    const std::string source = s / "A.TXT";
    kit::write_text(source, "a complete little file of the suite\r\n");

    doubles::stop_at_call = 1;
    EXPECT_EQ(INS_expandfile(log.ctx, (s / "EARLY.TXT").c_str(), source.c_str()), ST_CANCELLED);
    EXPECT_FALSE(kit::exists(s / "EARLY.TXT")) << "the target was only created, never written";

    doubles::checkabort_calls = 0;
    doubles::stop_at_call = 2;
    EXPECT_EQ(INS_expandfile(log.ctx, (s / "LATE.TXT").c_str(), source.c_str()), ST_CANCELLED);
    EXPECT_EQ(kit::read_bytes(s / "LATE.TXT"), kit::read_bytes(source)) << "a finished copy is kept";
    EXPECT_NE(log.ctx->lasterror, ST_CANCELLED) << "a stop names no file";
}

TEST_F(copyfault, CompressedFileCutInsideItsHeaderIsAReadErrorNotAPlainFile)
{
    std::vector<std::uint8_t> original = kit::noise(800, 4), packed;
    szdd_compress(original.data(), original.size(), 'L', &packed);
    for (std::size_t keep : {std::size_t(8), std::size_t(9), std::size_t(13)}) {
        std::vector<std::uint8_t> cut(packed.begin(), packed.begin() + std::ptrdiff_t(keep));
        kit::write_bytes(s / "CUT.DL_", cut);
        EXPECT_EQ(INS_expandfile(log.ctx, (s / "CUT.DLL").c_str(), (s / "CUT.DL_").c_str()), ST_EXPAND_READ)
            << keep << " bytes of header";
        EXPECT_FALSE(kit::exists(s / "CUT.DLL"));
    }
    // A plain file that merely starts like a compressed one's first bytes is copied as it is.
    kit::write_text(s / "NOTES.TXT", "SZDD notes, not compressed");
    EXPECT_EQ(INS_expandfile(log.ctx, (s / "NOTES.OUT").c_str(), (s / "NOTES.TXT").c_str()), ST_OK);
    EXPECT_EQ(kit::read_bytes(s / "NOTES.OUT"), kit::read_bytes(s / "NOTES.TXT"));
    // A whole compressed file still expands to its original.
    kit::write_bytes(s / "WHOLE.DL_", packed);
    EXPECT_EQ(INS_expandfile(log.ctx, (s / "WHOLE.DLL").c_str(), (s / "WHOLE.DL_").c_str()), ST_OK);
    EXPECT_EQ(kit::read_bytes(s / "WHOLE.DLL"), original);
}
