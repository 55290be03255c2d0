#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/icu_forward.h"
#include "core/recordings/recording.h"
#include "core/time/local_time_converter.h"

namespace vane {

// A recording list read piece by piece, so that a file of millions of lines is never held whole
// and no line is copied. The rules are parseRecordingList's; line numbers run on across pieces.
class RecordingListParser {
  public:
    // The first line of the list that is not a time stamp, and why.
    struct BadLine {
        std::size_t line = 0;
        std::string message;
    };

    // `zone` must outlive the parser.
    explicit RecordingListParser(const icu::TimeZone& zone);

    // Reads the lines of `piece`, which ends at a line break or is the list's last piece. Nothing
    // is read after the first bad line; answers whether the list is still good.
    bool read(std::string_view piece);
    // Room for as many recordings as a list of `bytes` can hold, so that the list is never moved
    // while it grows (which would hold it twice); pages never written take no memory.
    void reserveFor(std::uintmax_t bytes);

    const std::optional<BadLine>& badLine() const { return badLine_; }
    // The recordings in list order; none once a line was bad, so that a partly read list is never
    // mistaken for the whole.
    std::vector<Recording> takeRecordings();

  private:
    void readLine(std::string_view line);

    LocalTimeConverter converter_;
    std::vector<Recording> recordings_;
    std::optional<BadLine> badLine_;
    std::size_t lineNumber_ = 0;
    bool atStart_ = true;
    bool firstContentLine_ = true;
};

}  // namespace vane
