#include "core/signal/spectrogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "core/recordings/wav_samples.h"
#include "tests/core/recordings/wav_fixture.h"

namespace vane {
namespace {

// A linear sweep from `from` to `to` Hz over `seconds`, at half of full scale.
std::vector<float> sweep(double rate, double seconds, double from, double to) {
    std::vector<float> samples(static_cast<std::size_t>(rate * seconds));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double phase =
            2.0 * std::numbers::pi * (from * t + (to - from) * t * t / (2 * seconds));
        samples[i] = static_cast<float>(0.5 * std::sin(phase));
    }
    return samples;
}

struct SweepCase {
    std::uint32_t rate;
    double from;
    double to;
    std::size_t maxColumns;
};

class SpectrogramSweepTest : public ::testing::TestWithParam<SweepCase> {};

// The sweep goes through a WAV file as a recorder writes it, so the reader's scaling counts too;
// the loudest row of every column must be the sweep's frequency at that time.
TEST_P(SpectrogramSweepTest, TheRidgeFollowsTheSweep) {
    const SweepCase sweepCase = GetParam();
    const double seconds = 0.2;
    const auto wav = parseWavSamples(
        testing::WavFixture::soundWav(sweepCase.rate,
                                      sweep(sweepCase.rate, seconds, sweepCase.from, sweepCase.to)),
        "sweep.wav");
    ASSERT_TRUE(wav) << wav.error().message;
    EXPECT_DOUBLE_EQ(wav->seconds(), seconds);
    const Spectrogram picture =
        spectrogram(wav->samples, wav->sampleRate, {512, 150000, sweepCase.maxColumns});
    ASSERT_GT(picture.columns, 10u);
    EXPECT_NEAR(picture.columns * picture.secondsPerColumn, seconds, 512.0 / sweepCase.rate);
    EXPECT_LE((picture.rows - 1) * picture.hertzPerRow, 150000.0);
    const bool merged = sweepCase.maxColumns > 0;
    // Merged columns span a stretch of the sweep: their ridge lies within it.
    const double slope = (sweepCase.to - sweepCase.from) / seconds;
    const double tolerance =
        2 * picture.hertzPerRow + (merged ? std::abs(slope) * picture.secondsPerColumn : 0.0);
    for (std::size_t column = 1; column + 1 < picture.columns; ++column) {
        std::size_t loudest = 0;
        for (std::size_t row = 0; row < picture.rows; ++row) {
            if (picture.at(column, row) > picture.at(column, loudest)) {
                loudest = row;
            }
        }
        // A frame's middle is half a window after its start.
        const double middle =
            (column + (merged ? 0.5 : 0.0)) * picture.secondsPerColumn + 256.0 / sweepCase.rate;
        const double expected = sweepCase.from + slope * middle;
        EXPECT_NEAR(loudest * picture.hertzPerRow, expected, tolerance) << "column " << column;
        // Half of full scale is -6 dB, less what the window's skirt spreads to the neighbours.
        EXPECT_NEAR(picture.at(column, loudest), -6.0, 4.0) << "column " << column;
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, SpectrogramSweepTest,
                         ::testing::Values(SweepCase{250000, 20000, 110000, 0},
                                           SweepCase{384000, 120000, 25000, 0},
                                           SweepCase{500000, 15000, 140000, 0},
                                           SweepCase{500000, 15000, 140000, 40}));

TEST(SpectrogramTest, SilenceIsFiniteAndNothingGivesAnEmptyPicture) {
    const std::vector<float> silence(2000, 0.0f);
    const Spectrogram quiet = spectrogram(silence, 250000);
    ASSERT_FALSE(quiet.decibels.empty());
    for (const float db : quiet.decibels) {
        ASSERT_TRUE(std::isfinite(db));
        ASSERT_LT(db, -100.0f);
    }
    EXPECT_EQ(spectrogram({}, 250000).columns, 0u);
    EXPECT_EQ(spectrogram(silence, 0).columns, 0u);
    // Shorter than one window: one column, padded.
    EXPECT_EQ(spectrogram(std::vector<float>(100, 0.1f), 250000).columns, 1u);
}

}  // namespace
}  // namespace vane
