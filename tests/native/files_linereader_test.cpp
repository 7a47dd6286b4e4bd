#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/fileutil.h"
#include "tests/native/support/testfiles.h"

namespace {

struct line {
    std::string text;
    std::uint16_t flag;
    bool operator==(const line& o) const { return text == o.text && flag == o.flag; }
};

std::ostream& operator<<(std::ostream& os, const line& l) { return os << "{\"" << l.text << "\", " << l.flag << "}"; }

// Reads the whole file the way the list readers do.
std::vector<line> read_all(const std::string& bytes, std::uint16_t size = 80)
{
    testfiles::tempdir dir;
    std::string name = dir.write("list.txt", bytes);
    setup_context ctx{};
    line_reader reader;
    EXPECT_EQ(UL_readlineopen(&ctx, &reader, name.c_str()), ST_OK);
    std::vector<line> lines;
    std::uint16_t flag = 0;
    do {
        std::vector<char> buffer(size);
        std::uint16_t length = 0;
        EXPECT_EQ(UL_readline(&ctx, &reader, buffer.data(), size, &flag, &length), ST_OK);
        EXPECT_EQ(length, std::string(buffer.data()).size());
        lines.push_back({buffer.data(), flag});
    } while (flag == 0);
    UL_readlineclose(&ctx, &reader);
    EXPECT_EQ(reader.file, 0);
    return lines;
}

TEST(LineReader, CrLfAndLfEndsReadAlikeAndTheLastLineCarriesFlag2)
{
    EXPECT_EQ(read_all("A\r\nB\r\n"), (std::vector<line>{{"A", 0}, {"B", 2}}));
    EXPECT_EQ(read_all("A\nB"), (std::vector<line>{{"A", 0}, {"B", 2}}));
}

TEST(LineReader, EmptyFileGivesOneEmptyLastLine)
{
    EXPECT_EQ(read_all(""), (std::vector<line>{{"", 2}}));
}

TEST(LineReader, EndOfFileMarkStopsReading)
{
    EXPECT_EQ(read_all(std::string("A\x1a" "B\n")), (std::vector<line>{{"A", 2}}));
    EXPECT_EQ(read_all(std::string("A\n\x1a" "B\n")), (std::vector<line>{{"A", 2}}));
}

TEST(LineReader, FormFeedAfterALineIsConsumedAndFlagsAPageBreak)
{
    EXPECT_EQ(read_all("A\n\fB\n"), (std::vector<line>{{"A", 1}}));
    EXPECT_EQ(read_all("A\fB\n"), (std::vector<line>{{"A", 1}}));
}

TEST(LineReader, ReadingOnAfterAPageBreakGivesTheNextLine)
{
    testfiles::tempdir dir;
    std::string name = dir.write("list.txt", "A\n\fB\n");
    setup_context ctx{};
    line_reader reader;
    ASSERT_EQ(UL_readlineopen(&ctx, &reader, name.c_str()), ST_OK);
    char text[80];
    std::uint16_t flag = 0, length = 0;
    UL_readline(&ctx, &reader, text, sizeof text, &flag, &length);
    EXPECT_EQ(flag, 1);
    UL_readline(&ctx, &reader, text, sizeof text, &flag, &length);
    EXPECT_STREQ(text, "B");
    EXPECT_EQ(flag, 2);
    UL_readlineclose(&ctx, &reader);
}

TEST(LineReader, TabsExpandToTheNextMultipleOfEight)
{
    EXPECT_EQ(read_all("\tX"), (std::vector<line>{{"        X", 2}}));
    EXPECT_EQ(read_all("AB\tX"), (std::vector<line>{{"AB      X", 2}}));
}

TEST(LineReader, OverlongLineIsCutAndTheNextCallStartsAtTheFollowingLine)
{
    std::string longline(100, 'x');
    auto lines = read_all(longline + "\nnext\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, std::string(79, 'x'));
    EXPECT_EQ(lines[1], (line{"next", 2}));
}

TEST(LineReader, TabNearTheLimitStaysWithinTheBuffer)
{
    auto lines = read_all(std::string(76, 'a') + "\t\tZ\n", 80);
    EXPECT_EQ(lines[0].text, std::string(76, 'a') + "   ");
}

TEST(LineReader, LinesAcrossABufferRefillReadLikeAnyOther)
{
    std::string first(4094, 'a');  // its LF is the 4095th byte, the look-ahead crosses the refill
    std::string content = first + "\nsecond\n" + std::string(4100, 'b') + "\nlast";
    auto lines = read_all(content, 5000);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, first);
    EXPECT_EQ(lines[1].text, "second");
    EXPECT_EQ(lines[2].text, std::string(4100, 'b'));
    EXPECT_EQ(lines[3], (line{"last", 2}));
}

TEST(LineReader, LookAheadAtTheExactEndOfABufferPutsTheCharacterBack)
{
    std::string first(4095, 'a');  // LF is byte 4096: the look-ahead refills, then steps back
    auto lines = read_all(first + "\nZ\n", 5000);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], (line{"Z", 2}));
}

TEST(LineReader, NulAndControlBytesAreStored)
{
    auto lines = read_all(std::string("a\x01" "b\n", 4));
    EXPECT_EQ(lines[0].text, "a\x01" "b");
}

TEST(LineReader, MissingFileFailsWithOpenStatusAndLeavesAClearedRecord)
{
    setup_context ctx{};
    line_reader reader;
    EXPECT_EQ(UL_readlineopen(&ctx, &reader, "/nonexistent/list.txt"), ST_OPEN_FAILED);
    EXPECT_EQ(reader.file, 0);
    EXPECT_EQ(reader.block, nullptr);
    EXPECT_EQ(ctx.lasterror, ST_OPEN_FAILED);
    EXPECT_STREQ(ctx.lasterrortext, "/nonexistent/list.txt");
}

}  // namespace
