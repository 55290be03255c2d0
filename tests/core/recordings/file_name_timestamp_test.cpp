#include "core/recordings/file_name_timestamp.h"

#include <gtest/gtest.h>

namespace vane {
namespace {

LocalDateTime june21(int hour, int minute, int second) {
    return {{2012, 6, 21}, hour, minute, second};
}

TEST(FileNameTimestampTest, ReadsTheRecorderNamingSchemes) {
    for (const char* name :
         {"SM4_20120621_210305.wav", "20120621_210305.wav", "SM4_20120621$210305.WAV",
          "Site_A_mic_2_20120621_210305.wav", "20120621_210305"}) {
        const auto stamp = parseFileNameTimestamp(name);
        ASSERT_TRUE(stamp) << name;
        EXPECT_EQ(stamp->local, june21(21, 3, 5)) << name;
        EXPECT_EQ(stamp->fraction, 0.0) << name;
    }
}

TEST(FileNameTimestampTest, ReadsTheMicrosecondsTail) {
    const auto stamp = parseFileNameTimestamp("PR_20120621_210305_250000.wav");
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->local, june21(21, 3, 5));
    EXPECT_DOUBLE_EQ(stamp->fraction, 0.25);
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
