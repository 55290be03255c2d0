#include "core/recordings/file_name_timestamp.h"

#include <gtest/gtest.h>

#include <utility>

namespace vane {
namespace {

LocalDateTime june21(int hour, int minute, int second) {
    return {{2012, 6, 21}, hour, minute, second};
}

TEST(FileNameTimestampTest, ReadsTheRecorderNamingSchemes) {
    for (const char* name :
         {"SM4_20120621_210305.wav", "20120621_210305.wav", "SM4_20120621$210305.WAV",
          "Site_A_mic_2_20120621_210305.wav", "20120621_210305", "SM4BAT_0_20120621_210305.w4v",
          "20120621_210305.WAC", "SMZC_20120621$210305.zc"}) {
        const auto stamp = parseFileNameTimestamp(name);
        ASSERT_TRUE(stamp) << name;
        EXPECT_EQ(stamp->local, june21(21, 3, 5)) << name;
        EXPECT_EQ(stamp->fraction, 0.0) << name;
    }
}

TEST(FileNameTimestampTest, ReadsTheTailAsTheFractionOfTheSecond) {
    for (const auto& [name, fraction] :
         {std::pair{"PR_20120621_210305_250000.wav", 0.25},
          std::pair{"PR_20120621_210305_000001", 1e-6},
          std::pair{"Car791055-2025-Pass1-Z8-VDN-5_20120621_210305_125", 0.125},
          std::pair{"Car791055-2025-Pass1-Z8-VDN-5_20120621_210305_000", 0.0}}) {
        const auto stamp = parseFileNameTimestamp(name);
        ASSERT_TRUE(stamp) << name;
        EXPECT_EQ(stamp->local, june21(21, 3, 5)) << name;
        EXPECT_DOUBLE_EQ(stamp->fraction, fraction) << name;
        EXPECT_FALSE(stamp->utc);
    }
}

TEST(FileNameTimestampTest, ReadsEightHexadecimalDigitsAsUnixTime) {
    // 0x4FE37241 is 1340305985: 2012-06-21 19:13:05 UTC.
    for (const char* name : {"4FE37241.WAV", "4fe37241.wav", "4FE37241"}) {
        const auto stamp = parseFileNameTimestamp(name);
        ASSERT_TRUE(stamp) << name;
        EXPECT_TRUE(stamp->utc);
        EXPECT_EQ(stamp->local, june21(19, 13, 5)) << name;
    }
    // A bare date, or a time before 2000, is no Unix time.
    for (const char* name : {"20120621.wav", "0000FFFF.wav", "4FE3724G.wav", "4FE372411.wav"}) {
        EXPECT_FALSE(parseFileNameTimestamp(name)) << name;
    }
}

TEST(FileNameTimestampTest, RefusesNamesThatOnlyLookLikeStamps) {
    for (const char* name :
         {"recording.wav", "", "20120621.wav", "20120621_2103.wav", "20121321_210305.wav",
          "20120230_210305.wav", "20120621_250305.wav", "20120621_216005.wav",
          "X20120621_210305.wav", "20120621-210305.wav", "20120621_210305_.wav",
          "20120621_210305_1234567.wav", "20120621_210305_12ab.wav", "20120621_210305x.wav"}) {
        EXPECT_FALSE(parseFileNameTimestamp(name)) << name;
    }
}

}  // namespace
}  // namespace vane
