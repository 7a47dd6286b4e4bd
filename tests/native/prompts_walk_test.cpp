// The one walk over the prompt directory: a prompt name too long for a pass is
// refused on every road, never cut (a cut name names another file), and said
// only at debug level 2.
#include "modem/vendors.h"
#include "tests/native/voice_testkit.h"
#include "tests/support/logcheck.h"
#include "voice/convertscript.h"

namespace {

using namespace voicetest;

class PromptWalk : public VoiceTest {
protected:
    std::string prompts;
    // Longer than a list slot of 80, and with the prompt folder longer than a full name of 79 characters.
    std::string longname = std::string(86, 'L') + ".WAV";

    void SetUp() override
    {
        VoiceTest::SetUp();
        UL_copytext(ctx->pathname, dir.c_str());
        prompts = dir + "SCRIPT1/";
        ASSERT_EQ(mkdir(prompts.c_str(), 0755), 0);
        ctx->INS_whichprogram = 1;
        ASSERT_GE(prompts.size() + longname.size(), std::size_t(TEXTSIZE));
    }
};

TEST_F(PromptWalk, ResamplingLeavesAnOverlongPromptAsItIsAndConvertsTheRest)
{
    ctx->INS_vendor = 77;  // resampled to 16 bits
    const bytes prompt = wave(1, 11025, 16, pcm16(std::vector<std::int16_t>(1760, 300)));
    writefile(prompts + longname, prompt);
    // What the long name cut to its list slot would read.
    writefile(prompts + longname.substr(0, 79), prompt);
    writefile(prompts + "A.WAV", prompt);
    ASSERT_EQ(INS_convertscript(ctx), ST_OK) << log();
    EXPECT_EQ(readfile(prompts + longname), prompt);
    EXPECT_NE(readfile(prompts + "A.WAV"), prompt) << "the prompt that fits is resampled";
    EXPECT_TRUE(logcheck::contains(log(), "numfiles=1\r\n"));
    EXPECT_FALSE(logcheck::contains(log(), "name too long=")) << "a detail line, not at level 0";
    EXPECT_FALSE(logcheck::contains(log(), "wrong file="));

    ctx->debuglevel = 2;
    ASSERT_EQ(INS_convertscript(ctx), ST_OK);
    EXPECT_TRUE(logcheck::contains(log(), "name too long=" + longname.substr(0, 40)));  // a log piece is cut
}

TEST_F(PromptWalk, VoiceFileRoadNeitherDeletesNorConvertsAnOverlongPrompt)
{
    ctx->INS_vendor = VENDOR_MODEMBLASTER;
    ctx->INS_iniusevoxrock = 1;  // the road deletes the prompts it takes
    const bytes prompt = wave(1, 8000, 16, pcm16(std::vector<std::int16_t>(50, 300)));
    writefile(prompts + longname, prompt);
    writefile(prompts + "A.WAV", prompt);
    ASSERT_EQ(INS_convertscript(ctx), ST_OK) << log();
    EXPECT_TRUE(exists(prompts + longname));
    EXPECT_FALSE(exists(prompts + "A.WAV"));
    EXPECT_TRUE(logcheck::contains(log(), "cannot convert\r\n"));
    EXPECT_FALSE(logcheck::contains(log(), "name too long="));
}

TEST_F(PromptWalk, DecodingPassRefusesAnOverlongPromptBeforeConvertingAny)
{
    ctx->INS_convertvox = 1;
    ctx->debuglevel = 2;
    const bytes adpcm = wave(0x11, 8000, 4, bytes(160, 0x77));
    writefile(prompts + "A.WAV", adpcm);
    writefile(prompts + "ABCDEFGHIJKLMNO.WAV", adpcm);  // 19 characters: the longest a slot holds
    ASSERT_EQ(INS_decodeprompts(ctx), ST_OK) << log();
    writefile(prompts + "ABCDEFGHIJKLMNOP.WAV", adpcm);
    writefile(prompts + "B.WAV", adpcm);
    EXPECT_EQ(INS_decodeprompts(ctx), ST_GENERAL);
    EXPECT_TRUE(logcheck::contains(log(), "name too long=ABCDEFGHIJKLMNOP.WAV\r\n"));
    EXPECT_EQ(readfile(prompts + "B.WAV"), adpcm) << "no prompt of a refused pass is converted";
}

}  // namespace
