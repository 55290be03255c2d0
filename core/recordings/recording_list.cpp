#include "core/recordings/recording_list.h"

#include <filesystem>
#include <system_error>

#include "core/recordings/recording_list_parser.h"

namespace vane {
namespace {

RecordingListResult resultOf(RecordingListParser& parser, const std::string& fileName) {
    if (const std::optional<RecordingListParser::BadLine>& bad = parser.badLine()) {
        return listFileProblem(kRecordingListKind, fileName, bad->line, bad->message);
    }
    return parser.takeRecordings();
}

}  // namespace

RecordingListResult parseRecordingList(std::string_view text, const std::string& fileName,
                                       const icu::TimeZone& zone) {
    RecordingListParser parser(zone);
    parser.read(text);
    return resultOf(parser, fileName);
}

RecordingListResult readRecordingList(const std::filesystem::path& path,
                                      const icu::TimeZone& zone) {
    Outcome<ListInput> input = ListInput::open(path, kRecordingListKind);
    if (!input) {
        return std::move(input).error();
    }
    return readRecordingList(*input, zone);
}

RecordingListResult readRecordingList(ListInput& input, const icu::TimeZone& zone) {
    RecordingListParser parser(zone);
    std::error_code noSize;  // a pipe's is not known
    if (const std::uintmax_t bytes = std::filesystem::file_size(input.path(), noSize); !noSize) {
        parser.reserveFor(bytes);
    }
    Outcome<void> read = input.readInPieces(
        kRecordingListKind, [&parser](std::string_view piece) { return parser.read(piece); });
    if (!read) {
        return std::move(read).error();
    }
    return resultOf(parser, input.path().string());
}

}  // namespace vane
