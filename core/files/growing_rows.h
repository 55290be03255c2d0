#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "core/files/huge_pages.h"

namespace vane {

// Rows that come one at a time, millions of them, with no count known beforehand (a server's
// stream). A vector growing by doubling copies every row again at each growth and faults in each
// new 4 KiB page twice; here they go into blocks that never move and ask for huge pages, and
// take() copies them once into a vector of the exact size, freeing each block as it goes, so
// that the peak stays near one copy of the rows.
template <typename Row>
class GrowingRows {
  public:
    void push_back(const Row& row) {
        if (blocks_.empty() || blocks_.back().size() == blocks_.back().capacity()) {
            startBlock();
        }
        blocks_.back().push_back(row);
        ++size_;
    }

    std::size_t size() const { return size_; }

    // Every row in the order they came; leaves this empty.
    std::vector<Row> take() {
        std::vector<Row> rows;
        rows.reserve(size_);
        adviseHugePages(rows.data(), rows.capacity() * sizeof(Row));
        for (std::vector<Row>& block : blocks_) {
            rows.insert(rows.end(), block.begin(), block.end());
            std::vector<Row>().swap(block);
        }
        blocks_.clear();
        size_ = 0;
        return rows;
    }

  private:
    // Small reads stay small; large ones reach blocks of 16 MiB, big enough for huge pages.
    static constexpr std::size_t kFirstBlockRows = 4096;
    static constexpr std::size_t kLargestBlockRows =
        std::max<std::size_t>(kFirstBlockRows, (std::size_t{16} << 20) / sizeof(Row));

    void startBlock() {
        const std::size_t rows = blocks_.empty()
                                     ? kFirstBlockRows
                                     : std::min(blocks_.back().capacity() * 2, kLargestBlockRows);
        blocks_.emplace_back();
        blocks_.back().reserve(rows);
        adviseHugePages(blocks_.back().data(), rows * sizeof(Row));
    }

    std::vector<std::vector<Row>> blocks_;
    std::size_t size_ = 0;
};

}  // namespace vane
