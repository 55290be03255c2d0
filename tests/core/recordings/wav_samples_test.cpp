#include "core/recordings/wav_samples.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/recordings/guano.h"
#include "tests/core/recordings/wav_fixture.h"
#include "tests/temp_path.h"

namespace vane {
namespace {

using testing::WavFixture;

std::string le16(std::uint16_t value) {
    return WavFixture::littleEndian16(value);
}
std::string le32(std::uint32_t value) {
    return WavFixture::littleEndian32(value);
}

// A file of two channels whose first channel holds `first` (as stored) and second the bytes
// 0x7F: the reader must take the first and skip the second.
std::string twoChannelWav(std::uint16_t format, std::uint16_t bits, const std::string& first,
                          std::size_t frames, bool extensible = false) {
    const std::uint16_t width = bits / 8;
    std::string fmt = le16(extensible ? 0xFFFE : format) + le16(2) + le32(250000) +
                      le32(250000u * 2 * width) + le16(static_cast<std::uint16_t>(2 * width)) +
                      le16(bits);
    if (extensible) {
        fmt += le16(22) + le16(bits) + le32(3) + le16(format) + std::string(14, '\0');
    }
    std::string data;
    for (std::size_t frame = 0; frame < frames; ++frame) {
        data += first.substr(frame * width, width) + std::string(width, '\x7F');
    }
    const std::string body =
        "WAVE" + WavFixture::chunk("fmt ", fmt) + WavFixture::chunk("data", data);
    return "RIFF" + le32(static_cast<std::uint32_t>(body.size())) + body;
}

std::string floatBytes(float a, float b) {
    std::string bytes(8, '\0');
    std::memcpy(bytes.data(), &a, 4);
    std::memcpy(bytes.data() + 4, &b, 4);
    return bytes;
}

std::string doubleBytes(double a, double b) {
    std::string bytes(16, '\0');
    std::memcpy(bytes.data(), &a, 8);
    std::memcpy(bytes.data() + 8, &b, 8);
    return bytes;
}

struct FormatCase {
    const char* name;
    std::string bytes;
    std::vector<float> expected;
};

TEST(WavSamplesTest, ReadsTheFirstChannelOfEveryCommonSampleFormat) {
    const std::vector<FormatCase> cases = {
        {"8-bit, unsigned",
         twoChannelWav(1, 8, std::string("\x80\xC0\x00", 3), 3),
         {0.0f, 0.5f, -1.0f}},
        {"16-bit", twoChannelWav(1, 16, std::string("\x00\x40\x00\x80", 4), 2), {0.5f, -1.0f}},
        {"24-bit",
         twoChannelWav(1, 24, std::string("\x00\x00\xC0\xFF\xFF\x7F", 6), 2),
         {-0.5f, 8388607.0f / 8388608.0f}},
        {"32-bit",
         twoChannelWav(1, 32, std::string("\x00\x00\x00\x40\x00\x00\x00\x80", 8), 2),
         {0.5f, -1.0f}},
        {"32-bit float", twoChannelWav(3, 32, floatBytes(0.25f, -2.0f), 2), {0.25f, -1.0f}},
        {"64-bit float", twoChannelWav(3, 64, doubleBytes(-0.125, 0.75), 2), {-0.125f, 0.75f}},
        {"extensible 16-bit",
         twoChannelWav(1, 16, std::string("\x00\xC0\xFF\x7F", 4), 2, true),
         {-0.5f, 32767.0f / 32768.0f}},
    };
    for (const FormatCase& format : cases) {
        const Outcome<WavSamples> wav = parseWavSamples(format.bytes, "two.wav");
        ASSERT_TRUE(wav) << format.name << ": " << wav.error().message;
        EXPECT_EQ(wav->sampleRate, 250000u) << format.name;
        EXPECT_EQ(wav->channels, 2) << format.name;
        EXPECT_FALSE(wav->truncated) << format.name;
        EXPECT_EQ(wav->samples, format.expected) << format.name;
    }
}

TEST(WavSamplesTest, DamagedAndForeignFilesAreRefusedOrReadAsFarAsTheyGo) {
    const std::string good = WavFixture::soundWav(384000, std::vector<float>(100, 0.5f));
    // A recorder whose battery ran out: the data chunk promises more than the file holds.
    const Outcome<WavSamples> cut = parseWavSamples(good.substr(0, good.size() - 51), "cut.wav");
    ASSERT_TRUE(cut);
    EXPECT_TRUE(cut->truncated);
    EXPECT_EQ(cut->samples.size(), 74u);

    const auto withFormat = [&](std::size_t at, std::string bytes) {
        std::string changed = good;
        changed.replace(20 + at, bytes.size(), bytes);
        return changed;
    };
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"", "is not a RIFF/WAVE file"},
        {std::string("RIFF\x04\x00\x00\x00WAVE", 12), "has no format chunk"},
        {withFormat(4, le32(0)), "sample rate of 0"},
        {withFormat(2, le16(0)), "0 channels"},
        {withFormat(14, le16(12)), "format 1, 12 bits"},
        {withFormat(0, le16(2)), "format 2, 16 bits"},
        {good.substr(0, 36), "has no sound"},
    };
    for (const auto& [bytes, why] : refused) {
        const Outcome<WavSamples> wav = parseWavSamples(bytes, "bad.wav");
        ASSERT_FALSE(wav) << why;
        EXPECT_THAT(wav.error().describe(), ::testing::StartsWith("bad.wav: "));
        EXPECT_THAT(wav.error().message, ::testing::HasSubstr(why));
    }
}

TEST(WavSamplesTest, ATimeExpandedCopyDiffersOnlyInItsRates) {
    const std::string wav =
        WavFixture::soundWav(384000, {0.1f, 0.2f, 0.3f}, WavFixture::chunk("LIST", "INFOISFT"),
                             WavFixture::chunk("guan", "GUANO|Version:1.0\n"));
    const Outcome<std::string> slow = timeExpandedWav(wav, 10, "bat.wav");
    ASSERT_TRUE(slow) << slow.error().message;
    const Outcome<WavSamples> before = parseWavSamples(wav, "bat.wav");
    const Outcome<WavSamples> after = parseWavSamples(*slow, "slow.wav");
    ASSERT_TRUE(before && after);
    EXPECT_EQ(after->sampleRate, 38400u);
    EXPECT_EQ(after->samples, before->samples);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < wav.size(); ++i) {
        differing += wav[i] != (*slow)[i];
    }
    EXPECT_LE(differing, 6u);  // a few bytes of two rates
    EXPECT_FALSE(timeExpandedWav(WavFixture::soundWav(8, {0.0f}), 10, "slow.wav"));
    EXPECT_FALSE(timeExpandedWav("RIFF", 10, "none.wav"));
}

// Two recorder makes: their GUANO fields and where they put their chunks differ; both give their
// metadata and the same sound.
TEST(WavSamplesTest, RecordingsOfTwoMakesGiveTheirFieldsAndSound) {
    std::vector<float> tone(2000);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        tone[i] = static_cast<float>(0.25 * std::sin(0.2 * static_cast<double>(i)));
    }
    const std::string afterData = WavFixture::soundWav(
        384000, tone, {},
        WavFixture::chunk("guan",
                          "GUANO|Version: 1.0\nMake: Wildlife Acoustics, Inc.\nModel: SM4BAT-FS\n"
                          "Samplerate: 384000\nTimestamp: 2012-06-21 21:03:00+02:00\n"
                          "Loc Position: 49.60 11.05\nTemperature Int: 18.25\n"));
    const std::string beforeFormat = WavFixture::soundWav(
        500000, tone,
        WavFixture::chunk("LIST", "INFOICMT") +
            WavFixture::chunk("guan",
                              "GUANO|Version:1.0\nMake:Elekon\nModel:BATLOGGER A+\n"
                              "Timestamp:2012-06-21T21:03:00.125+0200\n"
                              "Species Auto ID:Pippip\nOriginal Filename:BL_0001.wav\n"
                              "Elekon|Trigger:CrestAdv\n"));
    struct Make {
        std::string bytes;
        std::uint32_t rate;
        const char* make;
        const char* ownField;
    };
    for (const Make& make : {Make{afterData, 384000, "Wildlife Acoustics, Inc.", "Temperature Int"},
                             Make{beforeFormat, 500000, "Elekon", "Elekon|Trigger"}}) {
        const std::filesystem::path file = vane::testing::uniqueTempPath("vane-make") += ".wav";
        WavFixture::write(file, make.bytes);
        const GuanoFileResult guano = readGuanoFile(file);
        ASSERT_TRUE(guano && *guano) << make.make;
        EXPECT_EQ((*guano)->fields.at("Make"), make.make);
        EXPECT_TRUE((*guano)->fields.contains(make.ownField)) << make.make;
        EXPECT_TRUE((*guano)->timestamp) << make.make;
        const Outcome<WavSamples> wav = readWavSamples(file);
        std::filesystem::remove(file);
        ASSERT_TRUE(wav) << wav.error().message;
        EXPECT_EQ(wav->sampleRate, make.rate);
        ASSERT_EQ(wav->samples.size(), tone.size());
        EXPECT_NEAR(wav->samples[8], tone[8], 1e-4);
    }
}

}  // namespace
}  // namespace vane
