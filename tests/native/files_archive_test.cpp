// Unpacking "txt.pck" written by our archive writer: sizes, block copies,
// the end entry, archives cut short, failures and the log lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "files/archive.h"
#include "files/pckformat.h"
#include "tests/native/files_testkit.h"
#include "tests/support/logcheck.h"

namespace {

std::vector<std::uint8_t> build(const std::vector<pck_entry>& entries)
{
    std::vector<std::uint8_t> out;
    std::string why;
    EXPECT_TRUE(pck_build(entries, &out, &why)) << why;
    return out;
}

void append_header(std::vector<std::uint8_t>* v, std::int32_t length, const char* name)
{
    for (int i = 0; i < 4; ++i) v->push_back(std::uint8_t(std::uint32_t(length) >> (8 * i)));
    std::uint8_t field[PCK_NAME] = {};
    std::memcpy(field, name, std::min<std::size_t>(std::strlen(name), PCK_NAME));
    v->insert(v->end(), field, field + PCK_NAME);
}

struct unpack : ::testing::Test {
    kit::scratch s;
    kit::logged_context log{s};
    std::string archive = s / "txt.pck";
    std::string out;
    void SetUp() override
    {
        s.mkdir("SCRIPT1");
        out = s / "SCRIPT1";
    }
    status_t run(const std::string& outdir) { return INS_unpackfile(log.ctx, archive.c_str(), outdir.c_str()); }
};

TEST_F(unpack, EmptyArchiveCreatesNothingAndSaysSo)
{
    kit::write_bytes(archive, {});
    EXPECT_EQ(run(out), ST_OK);
    EXPECT_TRUE(log.logged("Unpack completed - created 0 files for a total of 0 bytes"));
    EXPECT_EQ(log.ctx->INS_currentfilesize, 0);
}

TEST_F(unpack, TwoEntriesOfTenAndFiveThousandBytesAreCopiedExactly)
{
    std::vector<std::uint8_t> a = kit::noise(10, 1), b = kit::noise(5000, 2);
    kit::write_bytes(archive, build({{"A.TXT", a}, {"LONGNAME.SCR", b}}));
    log.ctx->INS_currentfilesize = 100;
    EXPECT_EQ(run(out), ST_OK);
    EXPECT_EQ(kit::read_bytes(out + "/A.TXT"), a);
    EXPECT_EQ(kit::read_bytes(out + "/LONGNAME.SCR"), b);
    EXPECT_EQ(log.ctx->INS_currentfilesize, 5110);
    EXPECT_TRUE(log.logged("Unpack completed - created 2 files for a total of 5010 bytes"));
    EXPECT_TRUE(log.logged("INS_unpackfile infil" + archive)) << "label cut to 20 characters";
    EXPECT_TRUE(log.logged(" length=5000"));
}

TEST_F(unpack, OutputDirectoryWithOrWithoutBackslashGivesTheSamePath)
{
    kit::write_bytes(archive, build({{"X.TXT", {'x'}}}));
    EXPECT_EQ(run(out), ST_OK);
    EXPECT_TRUE(log.logged(" unpacking " + out + "\\X.TXT"));
    EXPECT_EQ(run(out + "\\"), ST_OK);
    EXPECT_FALSE(logcheck::contains(log.log(), " unpacking " + out + "\\\\X.TXT"));
}

TEST_F(unpack, EndEntryStopsTheUnpackingAndLaterEntriesAreIgnored)
{
    std::vector<std::uint8_t> v = build({{"FIRST.TXT", {'1', '2'}}});
    append_header(&v, 0, "STOP.TXT");
    std::vector<std::uint8_t> rest = build({{"AFTER.TXT", {'a'}}});
    v.insert(v.end(), rest.begin(), rest.end());
    kit::write_bytes(archive, v);
    EXPECT_EQ(run(out), ST_OK);
    EXPECT_TRUE(kit::exists(out + "/FIRST.TXT"));
    EXPECT_FALSE(kit::exists(out + "/STOP.TXT"));
    EXPECT_FALSE(kit::exists(out + "/AFTER.TXT"));
    EXPECT_TRUE(log.logged("Unpack completed - created 1 files for a total of 2 bytes"));
}

TEST_F(unpack, NegativeLengthOrEmptyNameEndsTheArchive)
{
    std::vector<std::uint8_t> v;
    append_header(&v, -5, "NEG.TXT");
    kit::write_bytes(archive, v);
    EXPECT_EQ(run(out), ST_OK);
    EXPECT_FALSE(kit::exists(out + "/NEG.TXT"));
    v.clear();
    append_header(&v, 3, "");
    v.insert(v.end(), {'a', 'b', 'c'});
    kit::write_bytes(archive, v);
    EXPECT_EQ(run(out), ST_OK);
    EXPECT_TRUE(log.logged("Unpack completed - created 0 files for a total of 0 bytes"));
}

TEST_F(unpack, DataCutShortFailsTheUnpackingAndNamesTheEntry)
{
    // Cut in the second block of the second entry, and cut right after a header.
    for (std::size_t keep : {std::size_t(4500), std::size_t(0)}) {
        SCOPED_TRACE(keep);
        kit::scratch own;
        own.mkdir("OUT");
        kit::logged_context l{own};
        std::vector<std::uint8_t> v = build({{"FIRST.TXT", {'1', '2'}}, {"CUT.TXT", kit::noise(6000, 4)}});
        v.resize(PCK_HEADER + 2 + PCK_HEADER + keep);
        kit::write_bytes(own / "txt.pck", v);
        l.ctx->debuglevel = 2;
        EXPECT_EQ(INS_unpackfile(l.ctx, (own / "txt.pck").c_str(), (own / "OUT").c_str()), ST_CREATE_FAILED)
            << "a damaged archive is no success\n"
            << l.log();
        EXPECT_EQ(std::string(l.ctx->lasterrortext), "CUT.TXT") << "the failure notice names the entry";
        EXPECT_EQ(l.ctx->lasterror, ST_CREATE_FAILED);
        EXPECT_TRUE(l.logged(" entry cut short CUT.TXT"));
        EXPECT_TRUE(l.logged("Error in INS_unpackfile = 13103"));
        EXPECT_TRUE(l.logged("Unpack failed - after creating 1 files for a total of 2 bytes"));
        EXPECT_FALSE(l.logged("Unpack completed - created 2 files for a total of 6002 bytes"));
        EXPECT_EQ(l.ctx->INS_currentfilesize, 2) << "the cut entry is not counted";
        EXPECT_EQ(kit::read_bytes(own / "OUT" + "/CUT.TXT").size(), keep) << "left as far as it was written";
    }
    // Below debug level 2 the failure has the lines of every failure, and no more.
    std::vector<std::uint8_t> v = build({{"CUT.TXT", kit::noise(100, 4)}});
    v.resize(PCK_HEADER + 50);
    kit::write_bytes(archive, v);
    EXPECT_EQ(run(out), ST_CREATE_FAILED);
    EXPECT_FALSE(log.logged(" entry cut short CUT.TXT"));
    EXPECT_TRUE(log.logged("Unpack failed - after creating 0 files for a total of 0 bytes"));
}

TEST_F(unpack, HeaderCutShortEndsTheUnpacking)
{
    std::vector<std::uint8_t> v = build({{"ONE.TXT", {'1'}}, {"TWO.TXT", {'2'}}});
    v.resize(v.size() - 1 - 5);  // the second header keeps 12 of its 17 bytes
    kit::write_bytes(archive, v);
    EXPECT_EQ(run(out), ST_OK);
    EXPECT_TRUE(kit::exists(out + "/ONE.TXT"));
    EXPECT_FALSE(kit::exists(out + "/TWO.TXT"));
}

TEST_F(unpack, ExistingFileIsReplaced)
{
    kit::write_text(out + "/OLD.TXT", std::string(9000, 'o'));
    kit::write_bytes(archive, build({{"OLD.TXT", {'n', 'e', 'w'}}}));
    EXPECT_EQ(run(out), ST_OK);
    EXPECT_EQ(kit::read_bytes(out + "/OLD.TXT"), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
}

TEST_F(unpack, MissingArchiveIsNoErrorAndTracesNothingMore)
{
    EXPECT_EQ(run(out), ST_OK);
    EXPECT_FALSE(logcheck::contains(log.log(), "out dir="));
}

TEST_F(unpack, MissingOutputDirectoryFailsWithCreateStatus)
{
    kit::write_bytes(archive, build({{"A.TXT", {'a'}}}));
    EXPECT_EQ(run(s / "NOWHERE"), ST_CREATE_FAILED);
    EXPECT_TRUE(log.logged("Error in INS_unpackfile = 13103"));
    EXPECT_TRUE(log.logged("Unpack failed - after creating 0 files for a total of 0 bytes"));
}

TEST_F(unpack, UnreadableArchiveFailsWithOpenStatus)
{
    kit::write_bytes(s / "real.pck", build({{"A.TXT", {'a'}}}));
    archive = s / "real.pck";
    chmod(archive.c_str(), 0);
    if (access(archive.c_str(), R_OK) == 0) GTEST_SKIP() << "running with rights that read anything";
    EXPECT_EQ(run(out), ST_OPEN_FAILED);
    EXPECT_TRUE(log.logged("Unpack failed - after creating 0 files for a total of 0 bytes"));
}

TEST_F(unpack, EntryThatIsNotAPlainFileNameFailsTheUnpackingAndIsNamed)
{
    for (const char* name : {"..\\EVIL.TXT", "C:EVIL.TXT", "A/EVIL.TXT", "..", "CON", "aux.txt", "Com7", "LPT1.PRN"}) {
        SCOPED_TRACE(name);
        kit::scratch own;
        own.mkdir("OUT");
        kit::logged_context l{own};
        std::vector<std::uint8_t> v = build({{"OK.TXT", {'k'}}, {"TWO.TXT", {'2', '2'}}});
        append_header(&v, 1, name);
        v.push_back('e');
        std::vector<std::uint8_t> after = build({{"AFTER.TXT", {'a'}}});
        v.insert(v.end(), after.begin(), after.end());
        kit::write_bytes(own / "txt.pck", v);
        l.ctx->debuglevel = 2;  // the refused name is a detail line
        EXPECT_EQ(INS_unpackfile(l.ctx, (own / "txt.pck").c_str(), (own / "OUT").c_str()), ST_CREATE_FAILED);
        EXPECT_EQ(kit::read_bytes(own / "OUT" + "/OK.TXT"), (std::vector<std::uint8_t>{'k'}));
        EXPECT_TRUE(kit::exists(own / "OUT" + "/TWO.TXT"));
        EXPECT_FALSE(kit::exists(own / "OUT" + "/AFTER.TXT")) << "nothing after the damaged entry";
        EXPECT_FALSE(kit::exists(own / "EVIL.TXT"));
        EXPECT_EQ(std::string(l.ctx->lasterrortext), name) << "the failure notice names the entry";
        EXPECT_EQ(l.ctx->lasterror, ST_CREATE_FAILED);
        EXPECT_TRUE(l.logged(std::string(" refused name ") + name));
        EXPECT_TRUE(l.logged("Error in INS_unpackfile = 13103"));
        EXPECT_TRUE(l.logged("Unpack failed - after creating 2 files for a total of 3 bytes"));
        EXPECT_FALSE(logcheck::contains(l.log(), " unpacking " + own / "OUT" + "\\" + name));
        EXPECT_EQ(l.ctx->INS_currentfilesize, 3);
    }
}

TEST(PckBuild, RefusesEntriesTheFormatCannotCarry)
{
    std::vector<std::uint8_t> out{1, 2, 3};
    std::string why;
    EXPECT_FALSE(pck_build({{"EMPTY.TXT", {}}}, &out, &why));
    EXPECT_NE(why.find("empty file"), std::string::npos);
    EXPECT_FALSE(pck_build({{"THIRTEENCHARS", {1}}}, &out, &why));
    EXPECT_FALSE(pck_build({{"A\\B.TXT", {1}}}, &out, &why));
    EXPECT_FALSE(pck_build({{"", {1}}}, &out, &why));
    EXPECT_FALSE(pck_build({{"AUX.TXT", {1}}}, &out, &why)) << "the installer refuses device names";
    EXPECT_NE(why.find("AUX.TXT"), std::string::npos);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{1, 2, 3})) << "output untouched on refusal";
    EXPECT_TRUE(pck_build({{"TWELVECHARS1", {9}}}, &out, &why));
    EXPECT_EQ(out.size(), std::size_t(PCK_HEADER + 1));
    EXPECT_EQ(out[16], 0) << "name NUL-terminated within 13 bytes";
}

}  // namespace
