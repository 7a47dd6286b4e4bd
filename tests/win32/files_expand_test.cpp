// Copy and expand through the system's LZ service: plain files, files of the
// reference compressor and of ours, read-only sources, whole directories.
#include "modem/vendors.h"
#include "tests/win32/files_winkit.h"

#include "files/copyplan.h"
#include "files/diskspace.h"
#include "files/expand.h"
#include "files/szdd.h"
#include "shell/text.h"

namespace {

std::vector<std::uint8_t> noise(std::size_t n, std::uint32_t seed)
{
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) {
        seed = seed * 1103515245u + 12345u;
        b = std::uint8_t(seed >> 16);
    }
    return v;
}

std::vector<std::uint8_t> ours(const std::vector<std::uint8_t>& data)
{
    std::vector<std::uint8_t> packed;
    szdd_compress(data.data(), data.size(), 'T', &packed);
    return packed;
}

struct expand : ::testing::Test {
    winkit::scratch s;
    setup_context* ctx = nullptr;
    void SetUp() override { ASSERT_EQ(INS_createcontext(&ctx), ST_OK); }
    void TearDown() override { INS_destroycontext(ctx); }
    status_t copy(const std::string& to, const std::string& from)
    {
        return INS_expandfile(ctx, (s / to).c_str(), from.c_str());
    }
};

TEST_F(expand, PlainFileIsCopiedUnchangedAndCounted)
{
    std::vector<std::uint8_t> data = noise(5000, 1);
    ASSERT_TRUE(winkit::write_bytes(s / "PLAIN.BIN", data));
    ctx->INS_currentfilesize = 10;
    EXPECT_EQ(copy("OUT.BIN", s / "PLAIN.BIN"), ST_OK);
    EXPECT_EQ(winkit::read_bytes(s / "OUT.BIN"), data);
    EXPECT_EQ(ctx->INS_currentfilesize, 5010);
    EXPECT_EQ(std::string(ctx->expandsource), s / "PLAIN.BIN") << "source shown by the progress window";
}

TEST_F(expand, FileOfTheReferenceCompressorIsExpanded)
{
    std::string ref = winkit::source_tree() + "tests\\win32\\data\\";
    std::vector<std::uint8_t> original = winkit::read_bytes(ref + "files_ref.txt");
    ASSERT_FALSE(original.empty()) << "fixture missing under " << ref;
    EXPECT_EQ(copy("REF.TXT", ref + "files_ref.tx_"), ST_OK);
    EXPECT_EQ(winkit::read_bytes(s / "REF.TXT"), original);
    EXPECT_EQ(ctx->INS_currentfilesize, std::int32_t(original.size()));
}

TEST_F(expand, FilesOfOurCompressorAreExpandedForEveryLength)
{
    for (std::size_t n : {0, 1, 15, 16, 4096, 4097, 70000}) {
        std::vector<std::uint8_t> data = noise(n, std::uint32_t(n) + 3);
        for (std::size_t i = 0; i < n / 2; ++i) data[i] = std::uint8_t("voice mail "[i % 11]);
        ASSERT_TRUE(winkit::write_bytes(s / "PACKED.LZ", ours(data)));
        ctx->INS_currentfilesize = 0;
        EXPECT_EQ(copy("UNPACKED.BIN", s / "PACKED.LZ"), ST_OK) << n;
        EXPECT_EQ(winkit::read_bytes(s / "UNPACKED.BIN"), data) << n << " bytes";
        EXPECT_EQ(ctx->INS_currentfilesize, std::int32_t(n)) << n;
    }
}

TEST_F(expand, ReadOnlySourceGivesAWritableTarget)
{
    ASSERT_TRUE(winkit::write_bytes(s / "RO.TXT", {'r', 'o'}));
    SetFileAttributesA((s / "RO.TXT").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(copy("RW.TXT", s / "RO.TXT"), ST_OK);
    DWORD attributes = GetFileAttributesA((s / "RW.TXT").c_str());
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u) << std::hex << attributes;
    // A second copy over the now existing target replaces it.
    ASSERT_TRUE(winkit::write_bytes(s / "NEW.TXT", {'n', 'e', 'w'}));
    EXPECT_EQ(copy("RW.TXT", s / "NEW.TXT"), ST_OK);
    EXPECT_EQ(winkit::read_bytes(s / "RW.TXT").size(), 3u);
}

TEST_F(expand, MissingSourceIs905)
{
    EXPECT_EQ(copy("X.TXT", s / "NONE.TXT"), ST_SOURCE_MISSING);
    EXPECT_FALSE(winkit::exists(s / "X.TXT"));
}

TEST_F(expand, DirectoryIsCopiedWithHiddenFilesButNotSubdirectories)
{
    s.mkdir("SRC");
    s.mkdir("SRC\\SUB");
    s.mkdir("DST");
    std::vector<std::uint8_t> a = noise(300, 5), b = noise(9000, 6);
    ASSERT_TRUE(winkit::write_bytes(s / "SRC\\A.TXT", a));
    ASSERT_TRUE(winkit::write_bytes(s / "SRC\\B.DLL", ours(b)));
    ASSERT_TRUE(winkit::write_bytes(s / "SRC\\H.SYS", {'h'}));
    SetFileAttributesA((s / "SRC\\H.SYS").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(winkit::write_bytes(s / "SRC\\SUB\\INNER.TXT", {'i'}));
    EXPECT_EQ(INS_expanddirectory(ctx, (s / "DST\\").c_str(), (s / "SRC\\").c_str()), ST_OK);
    EXPECT_EQ(winkit::read_bytes(s / "DST\\A.TXT"), a);
    EXPECT_EQ(winkit::read_bytes(s / "DST\\B.DLL"), b);
    EXPECT_TRUE(winkit::exists(s / "DST\\H.SYS"));
    EXPECT_FALSE(winkit::exists(s / "DST\\SUB"));
    EXPECT_EQ(ctx->INS_currentfilesize, 9301);
    EXPECT_EQ(INS_expanddirectory(ctx, (s / "DST\\").c_str(), (s / "NOSUCH\\").c_str()), ST_OK);
}

TEST_F(expand, CopyPlanFromACdromTakesTheDirectoriesBesideTheSource)
{
    for (const char* d : {"CD", "CD\\SRC", "CD\\32PG", "CD\\SRC\\SCRIPT2", "DEST", "DEST\\PROGRAM", "DEST\\SCRIPT1"})
        s.mkdir(d);
    ASSERT_TRUE(winkit::write_bytes(s / "CD\\32PG\\VOICE.EXE", ours(noise(777, 9))));
    ASSERT_TRUE(winkit::write_bytes(s / "CD\\SRC\\SCRIPT2\\S.SCR", {'s'}));
    UL_copytext(ctx->sourcedir, (s / "CD\\SRC\\").c_str());
    UL_copytext(ctx->pathname, (s / "DEST\\").c_str());
    ctx->INS_cdrom = 1;
    ctx->INS_vendor = VENDOR_ZYXEL;
    EXPECT_EQ(INS_expandall(ctx), ST_OK);
    EXPECT_EQ(winkit::read_bytes(s / "DEST\\PROGRAM\\VOICE.EXE"), noise(777, 9));
    EXPECT_TRUE(winkit::exists(s / "DEST\\SCRIPT1\\S.SCR"));
}

TEST(diskspace, SystemDriveAnswersAndANonexistentDriveFails)
{
    setup_context* ctx = nullptr;
    ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
    EXPECT_EQ(UL_checkdiskspace(ctx, "C:\\FAX\\", 1024), ST_OK);
    disk_free d = {};
    ASSERT_TRUE(UL_getdiskfree("C:\\", &d));
    EXPECT_GT(d.bytespersector, 0u);
    bool room_for_2gb = UL_freekilobytes(d) >= 0x7FFFFFFF / 1024;
    EXPECT_EQ(UL_checkdiskspace(ctx, "C:\\FAX\\", 0x7FFFFFFF), room_for_2gb ? ST_OK : ST_NO_DISK_ROOM);
    char missing[] = "Q:\\FAX\\";
    for (char d = 'Q'; d <= 'Y'; ++d) {
        char root[] = {d, ':', '\\', 0};
        if (GetDriveTypeA(root) == DRIVE_NO_ROOT_DIR) {
            missing[0] = d;
            break;
        }
    }
    EXPECT_EQ(UL_checkdiskspace(ctx, missing, 1024), ST_GENERAL);
    INS_destroycontext(ctx);
}

}  // namespace
