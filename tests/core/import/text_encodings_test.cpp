#include "core/import/text_encodings.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <set>

namespace vane {
namespace {

TEST(TextEncodingsTest, OffersOnlyNumbersBelow256EachWithAWorkingConverter) {
    const std::vector<EncodingEntry> entries = allAvailableEncodings();
    ASSERT_FALSE(entries.empty());
    for (const EncodingEntry& entry : entries) {
        EXPECT_GT(entry.number, 0);
        EXPECT_LT(entry.number, 256) << entry.displayName;
        const std::optional<std::string> converter =
            encodingConverterName(static_cast<StringEncoding>(entry.number));
        ASSERT_TRUE(converter) << entry.displayName;
        UErrorCode status = U_ZERO_ERROR;
        UConverter* opened = ucnv_open(converter->c_str(), &status);
        EXPECT_TRUE(U_SUCCESS(status)) << *converter;
        ucnv_close(opened);
    }
}

TEST(TextEncodingsTest, KeepsThePlatformNumbers) {
    EXPECT_EQ(numberFromLocalizedStringEncodingName("ASCII"), 1);
    EXPECT_EQ(numberFromLocalizedStringEncodingName("UTF-8"), 4);
    EXPECT_EQ(numberFromLocalizedStringEncodingName("ISO Latin 1"), 5);
    EXPECT_EQ(numberFromLocalizedStringEncodingName("UTF-16"), 10);
    EXPECT_EQ(numberFromLocalizedStringEncodingName("Windows Latin 1"), 12);
    EXPECT_EQ(numberFromLocalizedStringEncodingName("Windows Latin 2"), 15);
    EXPECT_EQ(numberFromLocalizedStringEncodingName("Mac OS Roman"), 30);
}

TEST(TextEncodingsTest, NameToNumberNeedsTheExactName) {
    EXPECT_EQ(numberFromLocalizedStringEncodingName(""), 0);
    EXPECT_EQ(numberFromLocalizedStringEncodingName("utf-8"), 0);
    EXPECT_EQ(numberFromLocalizedStringEncodingName("UTF-8 "), 0);
    // Known to the table but not offered: the chooser cannot name it.
    EXPECT_EQ(numberFromLocalizedStringEncodingName("UTF-16 little-endian"), 0);
}

TEST(TextEncodingsTest, NamesAreUniqueSoEveryItemReadsItsOwnEncoding) {
    std::set<std::string> names;
    for (const EncodingEntry& entry : allAvailableEncodings()) {
        EXPECT_TRUE(names.insert(entry.displayName).second) << entry.displayName;
        EXPECT_EQ(numberFromLocalizedStringEncodingName(entry.displayName), entry.number);
    }
}

TEST(TextEncodingsTest, TheLastOfEqualNamesWins) {
    const std::vector<EncodingEntry> entries = {{"Western", 5}, {"UTF-8", 4}, {"Western", 12}};
    EXPECT_EQ(numberFromLocalizedStringEncodingName(entries, "Western"), 12);
    EXPECT_EQ(numberFromLocalizedStringEncodingName(entries, "Eastern"), 0);
}

}  // namespace
}  // namespace vane
