// The GSM 06.10 coder against frames and samples that libgsm's toast and
// untoast made from the same inputs (tests/native/voice_vectors/gsm_vectors.sh),
// and the US Robotics stream around it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/voice_vectorkit.h"
#include "voice/gsm610.h"

namespace {

using namespace vectorkit;

std::string lengths(std::size_t got, std::size_t want)
{
    return "length " + std::to_string(got) + " != " + std::to_string(want);
}

// Where two frame sequences first differ, as "frame f byte b: x != y".
std::string first_difference(const bytes& got, const bytes& want, std::size_t framebytes)
{
    for (std::size_t i = 0; i < std::min(got.size(), want.size()); ++i)
        if (got[i] != want[i])
            return "frame " + std::to_string(i / framebytes) + " byte " + std::to_string(i % framebytes) + ": " +
                   std::to_string(got[i]) + " != " + std::to_string(want[i]);
    return got.size() == want.size() ? "" : lengths(got.size(), want.size());
}

std::string first_difference(const samples& got, const samples& want)
{
    for (std::size_t i = 0; i < std::min(got.size(), want.size()); ++i)
        if (got[i] != want[i])
            return "sample " + std::to_string(i) + ": " + std::to_string(got[i]) + " != " + std::to_string(want[i]);
    return got.size() == want.size() ? "" : lengths(got.size(), want.size());
}

bytes encode_plain(const samples& x)
{
    vc::gsm_state s;
    vc::gsm_reset(&s);
    bytes out(x.size() / 160 * 33);
    for (std::size_t f = 0; f < x.size() / 160; ++f) vc::gsm_encode_frame(&s, &x[160 * f], &out[33 * f]);
    return out;
}

samples decode_plain(const bytes& frames)
{
    vc::gsm_decoder d;
    vc::gsm_reset(&d);
    samples y(frames.size() / 33 * 160);
    for (std::size_t f = 0; f < frames.size() / 33; ++f) vc::gsm_decode_frame(&d, &frames[33 * f], &y[160 * f]);
    return y;
}

// The modem's stream of x with the start flag, fed in pieces of 1 to 399
// samples so that partial frames are carried from call to call.
bytes encode_usr(const samples& x, int startflag)
{
    vc::gsm_usr_coder c;
    vc::gsm_usr_start(&c, startflag);
    bytes out((x.size() / 160 + 1) * 38);
    std::size_t written = 0;
    for (std::size_t i = 0, piece = 1; i < x.size(); i += piece, piece = piece * 7 % 400) {
        piece = std::min(piece, x.size() - i);
        written += vc::gsm_usr_encode(&c, &x[i], piece, &out[written]);
    }
    written += vc::gsm_usr_flush(&c, &out[written]);
    out.resize(written);
    return out;
}

// Decodes a stream given `piece` bytes at a time into an area of `room` samples per call.
samples decode_usr(const bytes& stream, std::size_t piece, std::size_t room, std::uint32_t* bad = nullptr)
{
    vc::gsm_usr_decoder d;
    vc::gsm_usr_decode_start(&d);
    samples y, area(room);
    for (std::size_t i = 0; i < stream.size();) {
        std::size_t n = std::min(piece, stream.size() - i), used = 0;
        std::size_t got = vc::gsm_usr_decode(&d, &stream[i], n, &used, area.data(), area.size());
        y.insert(y.end(), area.begin(), area.begin() + long(got));
        if (used == 0 && got == 0) break;  // no room: the caller's fault, not an endless loop
        i += used;
    }
    if (bad) *bad = d.badframes;
    return y;
}

TEST(GsmCoder, EncodesFramesIdenticalToTheStandardsCoder)
{
    for (const char* name : {"gsm_speech", "gsm_edge"}) {
        bytes got = encode_plain(sample_file(std::string(name) + ".s16"));
        EXPECT_EQ(first_difference(got, vector_file(std::string(name) + ".gsm"), 33), "") << name;
    }
}

TEST(GsmCoder, DecodesAnyFrameAsTheStandardsDecoder)
{
    // The random frames carry lags outside 40..120, which repeat the last valid one.
    for (const char* name : {"gsm_speech", "gsm_edge", "gsm_random"}) {
        samples got = decode_plain(vector_file(std::string(name) + ".gsm"));
        EXPECT_EQ(first_difference(got, sample_file(std::string(name) + ".dec")), "") << name;
    }
}

TEST(GsmUsrStream, FramedStreamWrapsTheStandardFramesAndMarksSilence)
{
    samples x = sample_file("gsm_edge.s16");  // five frames of silence, later two more
    bytes want = vector_file("gsm_edge.gsm");
    bytes got = encode_usr(x, 0);
    ASSERT_EQ(got.size(), x.size() / 160 * 38);
    for (std::size_t f = 0; f < got.size() / 38; ++f) {
        const std::uint8_t* frame = &got[38 * f];
        bool silent = f < 5 || f == 26 || f == 27;
        EXPECT_EQ(frame[0], silent ? 0xB6 : 0xFE) << "opening of frame " << f;
        EXPECT_EQ(frame[1], frame[0]) << "opening of frame " << f;
        EXPECT_EQ(frame[2], want[33 * f] & 0x0F) << "signature nibble of frame " << f;
        EXPECT_EQ(bytes(frame + 3, frame + 35), bytes(&want[33 * f + 1], &want[33 * f + 33])) << "frame " << f;
        EXPECT_EQ(bytes(frame + 35, frame + 38), (bytes{0x00, 0xA5, 0xA5})) << "closing of frame " << f;
    }
    // The player reads it in odd pieces into small areas, silence frames decoded as the frames they carry.
    std::uint32_t bad = 99;
    EXPECT_EQ(first_difference(decode_usr(got, 37, 170, &bad), sample_file("gsm_edge.dec")), "");
    EXPECT_EQ(bad, 0u);
}

TEST(GsmUsrStream, OtherStartFlagsWriteBareFramesWithTheNibbleZero)
{
    samples x = sample_file("gsm_speech.s16");
    bytes want = vector_file("gsm_speech.gsm");
    for (std::size_t i = 0; i < want.size(); i += 33) want[i] &= 0x0F;
    for (int flag : {1, 2, -1}) {
        vc::gsm_usr_coder c;
        vc::gsm_usr_start(&c, flag);
        EXPECT_EQ(vc::gsm_usr_frame_bytes(&c), 33u) << "flag " << flag;
        EXPECT_EQ(first_difference(encode_usr(x, flag), want, 33), "") << "flag " << flag;
    }
    EXPECT_EQ(first_difference(decode_usr(want, 1, 160), sample_file("gsm_speech.dec")), "");
}

TEST(GsmUsrStream, EndOfPromptCompletesTheLastFrameWithSilence)
{
    samples x = sample_file("gsm_speech.s16");
    samples head(x.begin(), x.end() - 100);
    samples padded = head;
    padded.resize(x.size(), 0);
    bytes want = encode_plain(padded);
    bytes got = encode_usr(head, 1);
    ASSERT_EQ(got.size(), want.size());
    EXPECT_EQ(bytes(got.end() - 32, got.end()), bytes(want.end() - 32, want.end()));

    vc::gsm_usr_coder c;
    vc::gsm_usr_start(&c, 0);
    std::uint8_t out[38];
    EXPECT_EQ(vc::gsm_usr_encode(&c, x.data(), 159, out), 0u) << "no frame before 160 samples";
    EXPECT_EQ(vc::gsm_usr_flush(&c, out), 38u);
    EXPECT_EQ(vc::gsm_usr_flush(&c, out), 0u) << "a second flush has nothing left";
}

TEST(GsmUsrStream, ReaderPlaysBadFramesAsSilenceAndStopsWhenItsAreaIsFull)
{
    samples x = sample_file("gsm_speech.s16");
    bytes stream = encode_usr(samples(x.begin(), x.begin() + 3 * 160), 0);
    stream[38] = 0x12;  // the second frame loses its opening
    std::uint32_t bad = 0;
    samples y = decode_usr(stream, stream.size(), 480, &bad);
    ASSERT_EQ(y.size(), 480u);
    EXPECT_EQ(bad, 1u);
    for (std::size_t k = 160; k < 320; ++k) ASSERT_EQ(y[k], 0) << "sample " << k << " of the bad frame";

    vc::gsm_usr_decoder d;
    vc::gsm_usr_decode_start(&d);
    std::int16_t area[200];
    std::size_t used = 0;
    EXPECT_EQ(vc::gsm_usr_decode(&d, stream.data(), stream.size(), &used, area, 200), 160u);
    EXPECT_EQ(used, 38u) << "only the frame that fitted is taken";
    EXPECT_EQ(vc::gsm_usr_decode(&d, stream.data() + 38, stream.size() - 38, &used, area, 159), 0u);
    EXPECT_EQ(used, 0u);
}

}  // namespace
