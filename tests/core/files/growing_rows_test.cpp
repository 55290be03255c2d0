#include "core/files/growing_rows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vane {
namespace {

// Counts that end on, just before and just after block boundaries, and within the 16 MiB blocks.
TEST(GrowingRowsTest, GivesEveryRowOnceInTheOrderTheyCame) {
    for (const std::size_t count :
         {std::size_t{0}, std::size_t{1}, std::size_t{4095}, std::size_t{4096}, std::size_t{4097},
          std::size_t{4096 + 8192}, std::size_t{3'000'001}}) {
        GrowingRows<std::uint64_t> growing;
        for (std::size_t i = 0; i < count; ++i) {
            growing.push_back(i * 7919);
        }
        ASSERT_EQ(growing.size(), count);
        const std::vector<std::uint64_t> rows = growing.take();
        ASSERT_EQ(rows.size(), count);
        EXPECT_EQ(rows.capacity(), count);
        for (std::size_t i = 0; i < count; ++i) {
            ASSERT_EQ(rows[i], i * 7919) << "row " << i << " of " << count;
        }
        EXPECT_EQ(growing.size(), 0u);
        growing.push_back(5);
        EXPECT_EQ(growing.take(), std::vector<std::uint64_t>{5});
    }
}

}  // namespace
}  // namespace vane
