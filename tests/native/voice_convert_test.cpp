// The file converters: ADPCM WAV decoding, headed ADPCM prompts to companded
// voice files, resampling; and the rate chunk table with decimation.
#include "tests/native/voice_testkit.h"
#include "voice/adpcm.h"
#include "voice/voicecoder.h"
#include "voice/wavefile.h"

namespace {

using namespace voicetest;

std::vector<std::int16_t> ima_decode(const bytes& codes)
{
    vc::adpcm_state s;
    vc::adpcm_reset(&s);
    std::vector<std::int16_t> out;
    for (std::uint8_t b : codes) {
        out.push_back(vc::adpcm_decode4(&s, b >> 4));
        out.push_back(vc::adpcm_decode4(&s, b & 15));
    }
    return out;
}

bytes random_bytes(std::size_t n, unsigned seed)
{
    bytes b(n);
    for (std::size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        b[i] = std::uint8_t(seed >> 16);
    }
    return b;
}

typedef VoiceTest RateConversion;

TEST_F(RateConversion, ChunkTableHasSixPairsAndRefusesOthers)
{
    struct row {
        std::int32_t in, out;
        std::int16_t chunk;
    };
    const row rows[] = {{7200, 7200, 2048}, {8000, 7200, 1800}, {8000, 8000, 2048},  {11025, 7200, 1980},
                        {11025, 8000, 1760}, {11025, 11025, 2048}, {22050, 8000, 0}, {7200, 8000, 0}};
    for (const row& r : rows) {
        std::int16_t chunk = -1;
        EXPECT_EQ(UL_wfratechunk(ctx, r.in, r.out, &chunk), r.chunk ? ST_OK : ST_NOT_AVAILABLE) << r.in << ">" << r.out;
        EXPECT_EQ(chunk, r.chunk);
    }
    EXPECT_TRUE(logged("len=1760\r\n")) << log();
}

TEST_F(RateConversion, DecimationKeepsNMinusOneTimesTheRatio)
{
    bytes src(2048);
    for (std::size_t i = 0; i < src.size(); ++i) src[i] = std::uint8_t(i);
    bytes dst(2048, 0xEE);
    std::int16_t kept = 0;
    UL_wfdecimate(ctx, 11025, 8000, src.data(), 1760, dst.data(), &kept);
    EXPECT_EQ(kept, 1276);
    const int first[] = {1, 2, 4, 5, 6, 8, 9, 11, 12, 13, 15, 16};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(dst[i], first[i]) << "output " << i;
    EXPECT_EQ(dst[1276], 0xEE) << "nothing written past the kept samples";
    UL_wfdecimate(ctx, 11025, 7200, src.data(), 1980, dst.data(), &kept);
    EXPECT_EQ(kept, 1292);
    UL_wfdecimate(ctx, 8000, 8000, src.data(), 2048, dst.data(), &kept);
    EXPECT_EQ(kept, 2047);
    EXPECT_EQ(dst[2046], 2046 & 0xFF) << "equal rates keep the first 2047";
    UL_wfdecimate(ctx, 8000, 8000, src.data(), 1, dst.data(), &kept);
    EXPECT_EQ(kept, 0);
    UL_wfdecimate(ctx, 0, 8000, src.data(), 100, dst.data(), &kept);
    EXPECT_EQ(kept, 0) << "a zero rate keeps nothing rather than dividing by it";
}

class Converters : public VoiceTest {
protected:
    std::string path(const char* name) const { return dir + name; }
};

TEST_F(Converters, AdpcmWaveOf200BytesBecomesTwoBlocksOf8BitPcmInPlace)
{
    bytes codes = random_bytes(200, 3);
    writefile(path("P.WAV"), wave(0x11, 8000, 4, codes));
    ASSERT_EQ(LV_decodewavefile(ctx, path("P.WAV").c_str(), path("p.wav").c_str(), 8), ST_OK) << log();
    bytes f = readfile(path("P.WAV"));
    ASSERT_EQ(f.size(), 46u + 320);
    EXPECT_EQ(get16(f, 20), 1) << "format tag becomes PCM";
    EXPECT_EQ(get16(f, 34), 8);
    EXPECT_EQ(get32(f, 24), 8000u);
    EXPECT_EQ(get32(f, 42), 320u);
    std::vector<std::int16_t> pcm = ima_decode(bytes(codes.begin(), codes.begin() + 160));
    for (std::size_t i = 0; i < 320; ++i) ASSERT_EQ(f[46 + i], vc::pcm16to8(pcm[i])) << "sample " << i;
    EXPECT_FALSE(exists(path("P.XXX"))) << "the temporary is moved onto the source";
    EXPECT_TRUE(logged("bps=4\r\nformat=11\r\n")) << log();
    EXPECT_TRUE(logged("outlen=320\r\n")) << log();
}

TEST_F(Converters, AdpcmWaveTo16BitIntoAnotherFile)
{
    bytes codes = random_bytes(170, 5);
    bytes src = wave(0x11, 11025, 4, codes);
    writefile(path("S.WAV"), src);
    ASSERT_EQ(LV_decodewavefile(ctx, path("S.WAV").c_str(), path("T.WAV").c_str(), 16), ST_OK);
    bytes f = readfile(path("T.WAV"));
    ASSERT_EQ(f.size(), 46u + 640);
    EXPECT_EQ(get16(f, 34), 16);
    EXPECT_EQ(get16(f, 32), 2);
    std::vector<std::int16_t> pcm = ima_decode(bytes(codes.begin(), codes.begin() + 160));
    for (std::size_t i = 0; i < 320; ++i) ASSERT_EQ(std::int16_t(get16(f, 46 + 2 * i)), pcm[i]) << i;
    EXPECT_EQ(readfile(path("S.WAV")), src) << "the source stays";
}

TEST_F(Converters, DecodingAMissingSourceFailsWithoutOutput)
{
    EXPECT_EQ(LV_decodewavefile(ctx, path("NO.WAV").c_str(), path("NO.WAV").c_str(), 8), ST_WAVE_NOT_OPENED);
    EXPECT_FALSE(exists(path("NO.XXX")));
}

// A disk that fails in the middle of a prompt: every converter tells the failing read
// from the end of the prompt, returns the read status and leaves the prompt as it was.
TEST_F(Converters, ReadFailingInTheMiddleKeepsThePromptAndRemovesTheTemporary)
{
    bytes adpcm = wave(0x11, 8000, 4, random_bytes(10000, 7));
    writefile(path("P.WAV"), adpcm);
    doubles::readchecked_budget = 4096;
    EXPECT_EQ(LV_decodewavefile(ctx, path("P.WAV").c_str(), path("P.WAV").c_str(), 8), ST_READ_SHORT) << log();
    EXPECT_EQ(readfile(path("P.WAV")), adpcm);
    EXPECT_FALSE(exists(path("P.XXX")));

    std::vector<std::int16_t> samples;
    for (int i = 0; i < 10000; ++i) samples.push_back(std::int16_t(i * 13));
    bytes pcm = wave(1, 11025, 16, pcm16(samples));
    writefile(path("R.WAV"), pcm);
    doubles::readchecked_budget = 8192;
    EXPECT_EQ(UL_wfresample(ctx, path("R.WAV").c_str(), path("R.WAV").c_str(), 8000, 8), ST_READ_SHORT) << log();
    EXPECT_EQ(readfile(path("R.WAV")), pcm);
    EXPECT_FALSE(exists(path("R.XXX")));

    // Into another file: the same status, the source untouched.
    doubles::readchecked_budget = 8192;
    EXPECT_EQ(UL_wfresample(ctx, path("R.WAV").c_str(), path("T.WAV").c_str(), 8000, 8), ST_READ_SHORT);
    EXPECT_EQ(readfile(path("R.WAV")), pcm);
}

class VoxFile : public Converters {
protected:
    void SetUp() override
    {
        Converters::SetUp();
        UL_copytext(ctx->pathname, dir.c_str());
        ASSERT_EQ(mkdir(path("SCRIPT1").c_str(), 0755), 0);
    }
};

TEST_F(VoxFile, SixteenPlus1500BytesBecomeHeaderAnd3000CompandedBytes)
{
    bytes header(16, 0xC3), codes = random_bytes(1500, 11);
    bytes src = header;
    src.insert(src.end(), codes.begin(), codes.end());
    writefile(path("SCRIPT1/GREET.VOX"), src);
    ctx->INS_vendor = 21;
    ASSERT_EQ(LV_convertvoxfile(ctx, path("SCRIPT1/GREET.VOX").c_str()), ST_OK) << log();
    bytes f = readfile(path("SCRIPT1/GREET.VOX"));
    ASSERT_EQ(f.size(), 16u + 3000);
    const std::uint8_t expected_header[16] = {'S', 'I', 'E', 'R', 'R', 2, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0};
    EXPECT_EQ(bytes(f.begin(), f.begin() + 16), bytes(expected_header, expected_header + 16));
    std::vector<std::int16_t> pcm = ima_decode(codes);
    for (std::size_t i = 0; i < 3000; ++i) ASSERT_EQ(f[16 + i], vc::compand8(pcm[i], false)) << i;
    EXPECT_EQ(ctx->INS_currentfilesize, 1500 + 3000);
    EXPECT_FALSE(exists(path("SCRIPT1/x")));
    EXPECT_GE(doubles::checkabort_calls, 2) << "one cancel check per block of 1024";
}

TEST_F(VoxFile, Vendor41WritesTheAttTagAndInvertedCodes)
{
    bytes src(16, 0);
    src.push_back(0x00);
    writefile(path("SCRIPT1/A.VOX"), src);
    ctx->INS_vendor = 41;
    ASSERT_EQ(LV_convertvoxfile(ctx, path("SCRIPT1/A.VOX").c_str()), ST_OK);
    bytes f = readfile(path("SCRIPT1/A.VOX"));
    ASSERT_EQ(f.size(), 18u);
    EXPECT_EQ(std::string(f.begin(), f.begin() + 5), "AT&T ");
    EXPECT_EQ(f[16], 0x7F) << "silence is 0x7F for vendor 41";
    EXPECT_EQ(f[17], 0x7F);
}

TEST_F(VoxFile, ShortHeaderAndCancelLeaveTheSourceAsItWas)
{
    bytes tiny(10, 1);
    writefile(path("SCRIPT1/T.VOX"), tiny);
    EXPECT_EQ(LV_convertvoxfile(ctx, path("SCRIPT1/T.VOX").c_str()), ST_READ_SHORT);
    EXPECT_EQ(readfile(path("SCRIPT1/T.VOX")), tiny);

    bytes src(16 + 3000, 0x42);
    writefile(path("SCRIPT1/C.VOX"), src);
    doubles::checkabort_calls = 0;
    doubles::stop_at_call = 2;
    EXPECT_EQ(LV_convertvoxfile(ctx, path("SCRIPT1/C.VOX").c_str()), ST_CANCELLED);
    EXPECT_EQ(readfile(path("SCRIPT1/C.VOX")), src);
    EXPECT_FALSE(exists(path("SCRIPT1/x"))) << "no half-converted copy is left";
}

TEST_F(VoxFile, ReadFailingInTheMiddleIsNoEndOfThePrompt)
{
    bytes src(16 + 5000, 0x42);
    writefile(path("SCRIPT1/F.VOX"), src);
    doubles::readchecked_budget = 2048;  // two blocks, then the disk fails
    EXPECT_EQ(LV_convertvoxfile(ctx, path("SCRIPT1/F.VOX").c_str()), ST_READ_SHORT);
    EXPECT_EQ(readfile(path("SCRIPT1/F.VOX")), src);
    EXPECT_FALSE(exists(path("SCRIPT1/x")));
}

// A prompt is never lost to its conversion: one in use stays unconverted, and
// a replacement that cannot take its place leaves it too, on both families
// (the 95 family moves it aside first); the conversion fails naming it.
TEST_F(VoxFile, PromptThatCannotBeReplacedStaysAndTheFailureNamesIt)
{
    bytes src(16 + 100, 0x42);
    const std::string prompt = path("SCRIPT1/GREET.VOX");
    for (bool nt : {false, true}) {
        doubles::replace_in_one_step = nt;
        for (const std::string& busy : {prompt, path("SCRIPT1/x")}) {
            writefile(prompt, src);
            doubles::file_in_use = busy;
            ctx->lasterror = 0;
            EXPECT_EQ(LV_convertvoxfile(ctx, prompt.c_str()), ST_CREATE_FAILED) << busy << (nt ? " NT" : " 95");
            EXPECT_EQ(readfile(prompt), src) << busy << (nt ? " NT" : " 95");
            EXPECT_EQ(ctx->lasterror, ST_CREATE_FAILED);
            EXPECT_NE(std::strstr(ctx->lasterrortext, "GREET.VOX"), nullptr) << ctx->lasterrortext;
            EXPECT_FALSE(exists(path("SCRIPT1/GREET.OLD"))) << "the prompt moved aside is put back";
            if (busy == prompt) {
                EXPECT_FALSE(exists(path("SCRIPT1/x"))) << "the temporary is removed";
            }
        }
        doubles::file_in_use.clear();
        ASSERT_EQ(LV_convertvoxfile(ctx, prompt.c_str()), ST_OK) << log();
        EXPECT_EQ(readfile(prompt).size(), 16u + 200);
        EXPECT_FALSE(exists(path("SCRIPT1/GREET.OLD")));
        EXPECT_FALSE(exists(path("SCRIPT1/x")));
    }
}

class Resample : public Converters {
protected:
    std::vector<std::int16_t> ramp(int n)
    {
        std::vector<std::int16_t> s;
        for (int i = 0; i < n; ++i) s.push_back(std::int16_t((i * 37) % 65536 - 32768));
        return s;
    }
};

TEST_F(Resample, ThreeThousandSamplesGiveOneChunkOf1276Bytes)
{
    std::vector<std::int16_t> s = ramp(3000);
    writefile(path("R.WAV"), wave(1, 11025, 16, pcm16(s)));
    ASSERT_EQ(UL_wfresample(ctx, path("R.WAV").c_str(), path("R.WAV").c_str(), 8000, 8), ST_OK) << log();
    bytes f = readfile(path("R.WAV"));
    ASSERT_EQ(f.size(), 46u + 1276);
    EXPECT_EQ(get32(f, 24), 8000u);
    EXPECT_EQ(get16(f, 34), 8);
    EXPECT_EQ(get32(f, 28), 8000u);
    EXPECT_EQ(f[46], vc::pcm16to8(s[1]));
    EXPECT_EQ(f[47], vc::pcm16to8(s[2]));
    EXPECT_EQ(f[48], vc::pcm16to8(s[4]));
    EXPECT_TRUE(logged("inbps=16\r\n"));
    EXPECT_TRUE(logged("outlen=1276\r\ntotallen=1276\r\noutbps=8\r\noutrate=8000\r\n")) << log();
    EXPECT_FALSE(exists(path("R.XXX")));
}

TEST_F(Resample, SixteenBitTargetsHold16BitSamples)
{
    std::vector<std::int16_t> s = ramp(1980 * 2 + 5);
    writefile(path("R.WAV"), wave(1, 11025, 16, pcm16(s)));
    ASSERT_EQ(UL_wfresample(ctx, path("R.WAV").c_str(), path("R.WAV").c_str(), 7200, 16), ST_OK);
    bytes f = readfile(path("R.WAV"));
    ASSERT_EQ(f.size(), 46u + 2 * 2 * 1292);
    EXPECT_EQ(get16(f, 34), 16);
    EXPECT_EQ(get32(f, 28), 14400u);
    EXPECT_EQ(std::int16_t(get16(f, 46)), s[1]);
    // The second chunk starts over at its own first samples.
    EXPECT_EQ(std::int16_t(get16(f, 46 + 2 * 1292)), s[1980 + 1]);
}

TEST_F(Resample, EightBitSourceIsDecimatedAsIs)
{
    bytes s(1760);
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = std::uint8_t(i * 7);
    writefile(path("E.WAV"), wave(1, 11025, 8, s));
    ASSERT_EQ(UL_wfresample(ctx, path("E.WAV").c_str(), path("E.WAV").c_str(), 8000, 8), ST_OK);
    bytes f = readfile(path("E.WAV"));
    ASSERT_EQ(f.size(), 46u + 1276);
    EXPECT_EQ(f[46], s[1]);
    EXPECT_EQ(f[48], s[4]);
}

TEST_F(Resample, OtherRatesAreRefusedBeforeAnyOutputExists)
{
    for (std::uint32_t rate : {22050u, 8000u}) {
        bytes src = wave(1, rate, 16, pcm16(ramp(4000)));
        writefile(path("Q.WAV"), src);
        EXPECT_EQ(UL_wfresample(ctx, path("Q.WAV").c_str(), path("Q.WAV").c_str(), 8000, 8), ST_WAVE_NOT_11025);
        EXPECT_EQ(readfile(path("Q.WAV")), src);
        EXPECT_FALSE(exists(path("Q.XXX")));
    }
    bytes src = wave(1, 11025, 16, pcm16(ramp(4000)));
    writefile(path("Q.WAV"), src);
    EXPECT_EQ(UL_wfresample(ctx, path("Q.WAV").c_str(), path("Q.WAV").c_str(), 9600, 8), ST_NOT_AVAILABLE);
    EXPECT_EQ(readfile(path("Q.WAV")), src);
    EXPECT_FALSE(exists(path("Q.XXX")));
}

}  // namespace
