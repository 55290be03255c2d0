#include "core/outcome/outcome.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vane {
namespace {

TEST(Outcome, HoldsEitherTheValueOrTheProblem) {
    Outcome<std::unique_ptr<int>> made = std::make_unique<int>(7);
    ASSERT_TRUE(made);
    EXPECT_EQ(**made, 7);
    const std::unique_ptr<int> taken = std::move(made).value();
    EXPECT_EQ(*taken, 7);

    const Outcome<int> failed = Problem{"Problem with file", "It is empty.", "wind.csv", 0, ""};
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().title, "Problem with file");
    EXPECT_EQ(failed.value_or(3), 3);
    EXPECT_EQ(Outcome<int>(5).value_or(3), 5);

    Outcome<void> written;
    EXPECT_TRUE(written);
    written = Problem{"Could not save", "Disk full.", "", 0, "ENOSPC"};
    EXPECT_FALSE(written);
    EXPECT_EQ(written.error().detail, "ENOSPC");
}

TEST(Outcome, DescribesTheProblemWithItsPlace) {
    EXPECT_EQ((Problem{"t", "not a time stamp", "rec.txt", 12, ""}).describe(),
              "rec.txt:12: not a time stamp");
    EXPECT_EQ((Problem{"t", "is missing", "rec.txt", 0, ""}).describe(), "rec.txt: is missing");
    EXPECT_EQ((Problem{"t", "No time overlap", "", 3, ""}).describe(), "No time overlap");
}

}  // namespace
}  // namespace vane
