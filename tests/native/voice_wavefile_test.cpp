// Reading and writing mono WAV files.
#include "tests/native/voice_testkit.h"
#include "voice/wavefile.h"

namespace {

using namespace voicetest;

class WaveFile : public VoiceTest {
protected:
    wave_file_record rec = {};

    status_t open(const std::string& name) { return UL_wfreadopen(ctx, (dir + name).c_str(), &rec); }

    bytes read_all()
    {
        bytes out;
        std::uint8_t buf[7];
        std::int16_t n = 0;
        do {
            EXPECT_EQ(UL_wfreaddata(ctx, &rec, buf, sizeof buf, &n), ST_OK);
            if (n > 0) out.insert(out.end(), buf, buf + n);
        } while (n == sizeof buf);
        return out;
    }

    bytes write(std::int16_t bits, std::int16_t tag, std::int32_t rate, const bytes& data)
    {
        wave_file_record w = {};
        w.bitspersample = bits;
        w.formattag = tag;
        w.samplerate = rate;
        EXPECT_EQ(UL_wfwriteopen(ctx, (dir + "OUT.WAV").c_str(), &w), ST_OK);
        if (!data.empty()) {
            EXPECT_EQ(UL_wfwritedata(ctx, &w, data.data(), std::int16_t(data.size())), ST_OK);
        }
        EXPECT_EQ(UL_wfwriteclose(ctx, &w), ST_OK);
        EXPECT_EQ(w.handle, nullptr);
        return readfile(dir + "OUT.WAV");
    }
};

TEST_F(WaveFile, ReadsFormatAndDataOfAPlainMonoFile)
{
    bytes data = pcm16({1, -2, 3, 300});
    writefile(dir + "A.WAV", wave(1, 11025, 16, data));
    ASSERT_EQ(open("A.WAV"), ST_OK);
    EXPECT_EQ(rec.bitspersample, 16);
    EXPECT_EQ(rec.formattag, 1);
    EXPECT_EQ(rec.samplerate, 11025);
    EXPECT_EQ(rec.datasize, 8u);
    EXPECT_NE(rec.handle, nullptr);
    EXPECT_EQ(read_all(), data);
    EXPECT_EQ(UL_wfreadclose(ctx, &rec), ST_OK);
    EXPECT_EQ(rec.handle, nullptr);
    EXPECT_TRUE(logged("datasize = 16\r\nsamplepersec = 11025\r\nwformattag = 1\r\ncksize=8\r\n")) << log();
}

TEST_F(WaveFile, AnyExtensionOpensTheWavFileOfTheSameStem)
{
    writefile(dir + "P.WAV", wave(1, 8000, 8, {1, 2}));
    EXPECT_EQ(open("P.VOX"), ST_OK);
    UL_wfreadclose(ctx, &rec);
    EXPECT_EQ(open("P"), ST_OK) << "a name without extension gets .WAV";
    UL_wfreadclose(ctx, &rec);
    // The last "." of the whole name counts, also in a directory name.
    ASSERT_EQ(mkdir((dir + "D.X").c_str(), 0755), 0);
    writefile(dir + "D.X/FILE.WAV", wave(1, 8000, 8, {1, 2}));
    writefile(dir + "D.WAV", wave(1, 8000, 8, {7}));
    ASSERT_EQ(open("D.X\\FILE"), ST_OK);
    EXPECT_EQ(rec.datasize, 1u) << "D.X\\FILE must open D.WAV";
    UL_wfreadclose(ctx, &rec);
}

TEST_F(WaveFile, EighteenByteFormatAndChunksBeforeAndBetweenAreSkipped)
{
    bytes list = chunk("LIST", bytes(13, 'x'));  // odd size: a pad byte follows
    bytes junk = chunk("JUNK", bytes(4, 0));
    bytes data = {10, 20, 30};
    writefile(dir + "L.WAV", riff({junk, chunk("fmt ", fmt(1, 1, 8000, 8, 18)), list, chunk("data", data)}));
    ASSERT_EQ(open("L.WAV"), ST_OK);
    EXPECT_EQ(rec.datasize, 3u);
    EXPECT_EQ(read_all(), data);
    UL_wfreadclose(ctx, &rec);
    EXPECT_TRUE(logged("datasize = 18")) << log();
}

TEST_F(WaveFile, ReadingStopsAtTheEndOfTheDataChunk)
{
    bytes data = {1, 2, 3, 4};
    writefile(dir + "T.WAV", riff({chunk("fmt ", fmt(1, 1, 8000, 8)), chunk("data", data), chunk("LIST", bytes(40, 'm'))}));
    ASSERT_EQ(open("T.WAV"), ST_OK);
    EXPECT_EQ(read_all(), data) << "a chunk after the data is no sample data";
    UL_wfreadclose(ctx, &rec);
}

TEST_F(WaveFile, RefusedFilesGiveTheirTraceAnd13013)
{
    struct bad {
        const char* name;
        bytes file;
        const char* line;
    };
    bytes fmt16 = chunk("fmt ", fmt(1, 1, 8000, 16));
    bytes data = chunk("data", {0, 0});
    bytes shortfmt = chunk("fmt ", bytes(14, 1));
    bytes notwave = riff({fmt16, data});
    std::memcpy(&notwave[8], "AVI ", 4);
    const bad cases[] = {
        {"E1", {'R', 'I', 'F'}, "err in chunk"},
        {"E2", notwave, "err in type"},
        {"E3", riff({data}), "err in fmt"},
        {"E4", riff({shortfmt, data}), "err in fmt size"},
        {"E6", riff({chunk("fmt ", fmt(1, 2, 8000, 16)), data}), "not mono file 1"},
        {"E7", riff({data, fmt16}), "err in data"},
        {"E8", riff({fmt16}), "err in data"},
    };
    for (const bad& c : cases) {
        writefile(dir + c.name + ".WAV", c.file);
        rec = {};
        EXPECT_EQ(open(std::string(c.name) + ".WAV"), ST_WAVE_BAD_FORMAT) << c.name;
        EXPECT_EQ(rec.handle, nullptr) << c.name;
        std::string expected = std::string(c.line) + "\r\nError in UL_wfreadopen = 13013\r\n";
        EXPECT_TRUE(logged(expected)) << c.name << ": " << log();
    }
}

TEST_F(WaveFile, FormatBytesCutShortAreRefused)
{
    bytes b;
    puttext(b, "RIFF");
    put32(b, 4 + 8 + 16);
    puttext(b, "WAVE");
    puttext(b, "fmt ");
    put32(b, 16);
    put32(b, 0x00010001);  // 4 of the 16 format bytes, then the file ends
    writefile(dir + "C.WAV", b);
    EXPECT_EQ(open("C.WAV"), ST_WAVE_BAD_FORMAT);
    EXPECT_TRUE(logged("err in read fmt\r\nError in UL_wfreadopen = 13013")) << log();
}

TEST_F(WaveFile, MissingFileGives13011WithTheNameAsPassed)
{
    EXPECT_EQ(open("NONE.VOX"), ST_WAVE_NOT_OPENED);
    EXPECT_TRUE(logged("voicefile=" + dir + "NONE.VOX")) << log();
    EXPECT_TRUE(logged("Error in UL_wfreadopen = 13011"));
    EXPECT_EQ(rec.handle, nullptr);
    EXPECT_EQ(ctx->lasterror, ST_WAVE_NOT_OPENED);
    EXPECT_STREQ(ctx->lasterrortext, (dir + "NONE.WAV").c_str());
    EXPECT_EQ(UL_wfreadclose(ctx, &rec), ST_OK) << "a close after a failed open is harmless";
}

TEST_F(WaveFile, NullHandlesAreRefused)
{
    wave_file_record none = {};
    std::uint8_t buf[4];
    std::int16_t n = 55;
    EXPECT_EQ(UL_wfreaddata(ctx, &none, buf, 4, &n), ST_GENERAL);
    EXPECT_EQ(n, 55) << "the count is not stored";
    EXPECT_TRUE(logged("UL_wfreaddata handle 0"));
    std::string before = log();
    EXPECT_EQ(UL_wfwritedata(ctx, &none, buf, 4), ST_GENERAL);
    EXPECT_EQ(log(), before) << "no trace for a write without handle";
    EXPECT_EQ(UL_wfwriteclose(ctx, &none), ST_OK);
}

TEST_F(WaveFile, EmptyWrittenFileIsA46ByteHeader)
{
    bytes f = write(8, 1, 8000, {});
    ASSERT_EQ(f.size(), 46u);
    EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "RIFF");
    EXPECT_EQ(get32(f, 4), 38u);
    EXPECT_EQ(std::string(f.begin() + 8, f.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(get32(f, 16), 18u);
    EXPECT_EQ(get16(f, 20), 1);
    EXPECT_EQ(get16(f, 22), 1);
    EXPECT_EQ(get32(f, 24), 8000u);
    EXPECT_EQ(get32(f, 28), 8000u);
    EXPECT_EQ(get16(f, 32), 1);
    EXPECT_EQ(get16(f, 34), 8);
    EXPECT_EQ(get16(f, 36), 0);
    EXPECT_EQ(std::string(f.begin() + 38, f.begin() + 42), "data");
    EXPECT_EQ(get32(f, 42), 0u);
    EXPECT_TRUE(logged("ul bps=8\r\nul format=1\r\n")) << log();
}

TEST_F(WaveFile, HeaderFieldsFollowTheRecord)
{
    bytes f = write(16, 0x11, 11025, {1, 2});
    EXPECT_EQ(get16(f, 20), 0x11);
    EXPECT_EQ(get32(f, 28), 22050u);
    EXPECT_EQ(get16(f, 32), 2) << "16-bit samples: alignment 2";
    f = write(4, 0x11, 8000, {1, 2});
    EXPECT_EQ(get32(f, 28), 4000u);
    EXPECT_EQ(get16(f, 32), 1);
}

TEST_F(WaveFile, OddDataGetsAPadByteCountedOnlyInTheRiffSize)
{
    bytes odd = write(8, 1, 8000, {1, 2, 3});
    ASSERT_EQ(odd.size(), 46u + 3 + 1);
    EXPECT_EQ(get32(odd, 42), 3u);
    EXPECT_EQ(get32(odd, 4), 38u + 3 + 1);
    EXPECT_EQ(odd.back(), 0);
    bytes even = write(8, 1, 8000, {1, 2, 3, 4});
    ASSERT_EQ(even.size(), 50u);
    EXPECT_EQ(get32(even, 42), 4u);
    EXPECT_EQ(get32(even, 4), 42u);
}

TEST_F(WaveFile, ManyWritesLargerThanTheBufferAreKeptInOrder)
{
    wave_file_record w = {};
    w.bitspersample = 8;
    w.formattag = 1;
    w.samplerate = 8000;
    ASSERT_EQ(UL_wfwriteopen(ctx, (dir + "BIG.WAV").c_str(), &w), ST_OK);
    bytes all;
    for (int i = 0; i < 40; ++i) {
        bytes part(999, std::uint8_t(i));
        all.insert(all.end(), part.begin(), part.end());
        ASSERT_EQ(UL_wfwritedata(ctx, &w, part.data(), std::int16_t(part.size())), ST_OK);
    }
    ASSERT_EQ(UL_wfwriteclose(ctx, &w), ST_OK);
    // What was written reads back through the reader.
    ASSERT_EQ(open("BIG.WAV"), ST_OK);
    EXPECT_EQ(rec.datasize, all.size());
    EXPECT_EQ(read_all(), all);
    UL_wfreadclose(ctx, &rec);
}

TEST_F(WaveFile, UncreatableFileGives13011)
{
    wave_file_record w = {};
    EXPECT_EQ(UL_wfwriteopen(ctx, (dir + "NODIR/OUT.WAV").c_str(), &w), ST_WAVE_NOT_OPENED);
    EXPECT_EQ(w.handle, nullptr);
    EXPECT_EQ(ctx->lasterror, ST_WAVE_NOT_OPENED) << "the failure notice names the file";
    EXPECT_STREQ(ctx->lasterrortext, (dir + "NODIR/OUT.WAV").c_str());
}

}  // namespace
