#include "core/import/column_guesses.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <initializer_list>

namespace vane {
namespace {

constexpr std::size_t kSampleRow = 3;

bool titleContainsAny(const std::string& title, std::initializer_list<const char*> keywords) {
    icu::UnicodeString lowered = icu::UnicodeString::fromUTF8(title);
    lowered.toLower(icu::Locale::getRoot());
    for (const char* keyword : keywords) {
        if (lowered.indexOf(icu::UnicodeString(keyword, -1, icu::UnicodeString::kInvariant)) >= 0) {
            return true;
        }
    }
    return false;
}

std::size_t firstItemContaining(const std::vector<std::string>& columnTitles,
                                std::initializer_list<const char*> keywords) {
    for (std::size_t k = 0; k < columnTitles.size(); ++k) {
        if (titleContainsAny(columnTitles[k], keywords)) {
            return k + 1;
        }
    }
    return 0;
}

}  // namespace

std::vector<std::string> columnChooserItems(ColumnChooser chooser,
                                            const std::vector<std::string>& columnTitles) {
    std::vector<std::string> items;
    items.reserve(columnTitles.size() + 1);
    items.emplace_back(chooser == ColumnChooser::state ? "Optional" : "choose column");
    items.insert(items.end(), columnTitles.begin(), columnTitles.end());
    return items;
}

std::size_t countString(std::string_view needle, std::string_view text) {
    icu::UnicodeString foldedNeedle = icu::UnicodeString::fromUTF8(
        icu::StringPiece(needle.data(), static_cast<int32_t>(needle.size())));
    icu::UnicodeString foldedText = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    foldedNeedle.foldCase();
    foldedText.foldCase();
    if (foldedNeedle.isEmpty()) {
        return 0;
    }
    std::size_t count = 0;
    for (int32_t at = foldedText.indexOf(foldedNeedle); at >= 0;
         at = foldedText.indexOf(foldedNeedle, at + foldedNeedle.length())) {
        ++count;
    }
    return count;
}

std::size_t guessDateTimeItem(const std::vector<std::string>& columnTitles) {
    return firstItemContaining(columnTitles, {"datum", "date", "time"});
}

std::size_t guessWindItem(const std::vector<std::string>& columnTitles) {
    return firstItemContaining(columnTitles, {"wind", "speed"});
}

std::optional<std::string_view> dateSampleField(const WindTable& table, std::size_t dateTimeItem) {
    if (dateTimeItem == 0 || dateTimeItem - 1 >= table.fieldCount(kSampleRow)) {
        return std::nullopt;
    }
    return table.field(kSampleRow, dateTimeItem - 1);
}

std::optional<std::size_t> dateFormatIndexForSample(std::string_view sample,
                                                    DateFormatRules rules) {
    const std::size_t colons = countString(":", sample);
    const std::size_t slashes = countString("/", sample);
    const std::size_t dots = countString(".", sample);
    if (colons == 1 && slashes == 2) {
        return 0;
    }
    if (colons == 2 && slashes == 2) {
        return 1;
    }
    if (colons == 1 && dots == 2) {
        return 2;
    }
    if (colons == 2 && dots == 2 && rules == DateFormatRules::afterSplit) {
        return 3;
    }
    return std::nullopt;
}

namespace {

std::optional<std::size_t> dateFormatGuessFor(const WindTable& table, std::size_t dateTimeItem,
                                              DateFormatRules rules) {
    const std::optional<std::string_view> sample = dateSampleField(table, dateTimeItem);
    if (!sample) {
        return std::nullopt;
    }
    return dateFormatIndexForSample(*sample, rules);
}

}  // namespace

ColumnGuesses guessColumns(const std::vector<std::string>& columnTitles, const WindTable& table) {
    ColumnGuesses guesses;
    guesses.dateTimeItem = guessDateTimeItem(columnTitles);
    guesses.dateFormatIndex =
        dateFormatGuessFor(table, guesses.dateTimeItem, DateFormatRules::afterSplit);
    guesses.windItem = guessWindItem(columnTitles);
    return guesses;
}

std::optional<std::size_t> guessDateFormat(const WindTable& table, std::size_t dateTimeItem) {
    return dateFormatGuessFor(table, dateTimeItem, DateFormatRules::alone);
}

ColumnFlags setOutputColumns(ColumnFlags flags, ColumnChooser sender, std::size_t selectedItem) {
    const bool picked = selectedItem > 0;
    switch (sender) {
        case ColumnChooser::dateTime:
            flags.dateTimePicked = picked;
            break;
        case ColumnChooser::wind:
            flags.windPicked = picked;
            break;
        case ColumnChooser::temperature:
            flags.temperaturePicked = picked;
            break;
        case ColumnChooser::state:
            break;
    }
    return flags;
}

}  // namespace vane
