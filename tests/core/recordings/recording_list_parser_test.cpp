#include "core/recordings/recording_list_parser.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <memory>
#include <string>
#include <vector>

namespace vane {
namespace {

struct Reading {
    std::vector<double> times;
    std::optional<std::size_t> badLine;
    bool anyLabelled = false;  // a species column of a list is not read as a label
    friend bool operator==(const Reading&, const Reading&) = default;
};

Reading readInPieces(const std::vector<std::string_view>& pieces, const icu::TimeZone& zone) {
    RecordingListParser parser(zone);
    for (const std::string_view piece : pieces) {
        if (!parser.read(piece)) {
            break;
        }
    }
    Reading reading;
    for (const Recording& recording : parser.takeRecordings()) {
        reading.times.push_back(recording.recordingTime);
        reading.anyLabelled = reading.anyLabelled || recording.label != 0 ||
                              recording.hasProbability() || recording.manualLabel;
    }
    if (parser.badLine()) {
        reading.badLine = parser.badLine()->line;
    }
    return reading;
}

// Cut after the line break at every position it may fall on: a file is read in blocks that end
// at line breaks.
std::vector<std::vector<std::string_view>> cutsAtLineBreaks(std::string_view text) {
    std::vector<std::vector<std::string_view>> cuts;
    for (std::size_t at = text.find('\n'); at != std::string_view::npos;
         at = text.find('\n', at + 1)) {
        cuts.push_back({text.substr(0, at + 1), text.substr(at + 1)});
    }
    std::vector<std::string_view> everyLine;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
        everyLine.push_back(text.substr(start, end - start));
        start = end;
    }
    cuts.push_back(everyLine);
    return cuts;
}

TEST(RecordingListParserTest, PiecesCutAtLineBreaksReadLikeTheWholeList) {
    const std::unique_ptr<icu::TimeZone> berlin(icu::TimeZone::createTimeZone("Europe/Berlin"));
    const std::string lists[] = {
        "\xEF\xBB\xBF"
        "recording time,species\r\n# night\r\n\r\n2012-06-21 21:03:00,P\r\n"
        "\"2012-06-21T21:07:00Z\";N\n   \n2012-06-21T21:15:00+01:00\n",
        // Around the changes of 2012: a skipped and a repeated hour, read as ICU reads them.
        "2012-03-25 01:59:59\n2012-03-25 02:30:00\n2012-03-25 03:00:00\n"
        "2012-10-28 01:59:00\n2012-10-28 02:30:00\n2012-10-28 03:00:00\n2012-10-28T01:30:00Z",
        "time\n2012-06-21 21:03:00\n2012-06-31 21:15:00\n2012-06-21 21:20:00\n",
        "time\nstart\n2012-06-21 21:03:00\n",
    };
    for (const std::string& list : lists) {
        const Reading whole = readInPieces({list}, *berlin);
        EXPECT_FALSE(whole.anyLabelled) << list;
        for (const std::vector<std::string_view>& pieces : cutsAtLineBreaks(list)) {
            EXPECT_EQ(readInPieces(pieces, *berlin), whole) << list;
        }
    }
    const Reading changes = readInPieces({lists[1]}, *berlin);
    ASSERT_EQ(changes.times.size(), 7u);
    EXPECT_EQ(changes.times[1], changes.times[0] + 1.0 + 30 * 60) << "skipped: the offset before";
    EXPECT_EQ(changes.times[4], changes.times[6]) << "repeated: the later occurrence";
    EXPECT_EQ(readInPieces({lists[2]}, *berlin).badLine, 3u);
    EXPECT_TRUE(readInPieces({lists[2]}, *berlin).times.empty());
}

}  // namespace
}  // namespace vane
