#include "core/recordings/recording_source_file.h"

#include "core/recordings/list_file.h"
#include "core/recordings/recording_csv.h"
#include "core/recordings/recording_list.h"
#include "core/time/local_time.h"

namespace vane {
namespace {

// A list of bare time stamps: the stamps as read, each with the offset in force.
std::vector<ImportedRecording> fromList(const std::vector<Recording>& recordings,
                                        const icu::TimeZone& zone) {
    std::vector<ImportedRecording> imported;
    imported.reserve(recordings.size());
    const std::string zoneName = timeZoneId(zone);
    for (const Recording& recording : recordings) {
        imported.push_back({recording.recordingTime,
                            utcOffsetSeconds(recording.recordingTime, zone),
                            zoneName,
                            {}});
    }
    return imported;
}

}  // namespace

Outcome<RecordingSourceRead> readRecordingText(std::string_view text, const std::string& fileName,
                                               const icu::TimeZone& zone,
                                               const NamedColumns& named) {
    RecordingSourceRead read;
    if (named.given() || looksLikeClassifierTable(text) || looksLikeUnknownLabelledTable(text)) {
        Outcome<ClassifierTable> table = readClassifierTable(text, fileName, zone, named);
        if (!table) {
            return std::move(table).error();
        }
        read.recordings = std::move(table->recordings);
        read.hasProbability = table->hasProbability;
        return read;
    }
    // The CSV reader keeps the offset each stamp was written with; the list reader takes what
    // the CSV reader cannot, such as a list under a header line of its own.
    // The first rows tell the columns; the rest is read without holding a table of millions.
    const CsvTable table = splitRecordingCsv(text, 2);
    const RecordingColumns columns = guessRecordingColumns(table);
    if (columns.isComplete()) {
        CsvRecordingsResult rows = readCsvRecordings(text, columns, zone, fileName);
        if (rows) {
            read.recordings = std::move(rows).value();
            return read;
        }
    }
    RecordingListResult list = parseRecordingList(text, fileName, zone);
    if (list) {
        read.recordings = fromList(*list, zone);
        return read;
    }
    // A table with several named columns is more likely a program's table than a broken list:
    // say what it has and how to name its columns.
    if (table.hasHeader && !table.rows.empty() && table.rows.front().size() > 1) {
        Outcome<ClassifierTable> refused = readClassifierTable(text, fileName, zone);
        if (!refused) {
            return std::move(refused).error();
        }
    }
    return std::move(list).error();
}

Outcome<RecordingSourceRead> readRecordingSource(const std::filesystem::path& path,
                                                 const icu::TimeZone& zone,
                                                 const NamedColumns& named) {
    std::error_code ec;
    RecordingSourceRead read;
    if (std::filesystem::is_directory(path, ec)) {
        FolderScan scan = scanRecordingFolder(path, zone);
        read.recordings = std::move(scan.recordings);
        read.skipped = std::move(scan.skipped);
        read.site = scan.site;
        return read;
    }
    if (isRecordingFileName(path)) {
        Outcome<RecordingFile> file = readRecordingFile(path, zone);
        if (file) {
            read.recordings.push_back(std::move(file->recording));
            read.site.add(file->position);
        } else {
            read.skipped.push_back({path.string(), std::move(file).error().message});
        }
        return read;
    }
    Outcome<std::string> text = readListFile(path, kClassifierTableKind);
    if (!text) {
        return std::move(text).error();
    }
    return readRecordingText(*text, path.string(), zone, named);
}

}  // namespace vane
