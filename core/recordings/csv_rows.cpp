#include "core/recordings/csv_rows.h"

#include <algorithm>

#include "core/text/ascii.h"

namespace vane {

char detectCsvSeparator(std::string_view text) {
    const std::string_view firstLine = text.substr(0, text.find('\n'));
    char best = ',';
    std::ptrdiff_t bestCount = 0;
    for (const char candidate : {',', ';', '\t'}) {
        const auto count = std::count(firstLine.begin(), firstLine.end(), candidate);
        if (count > bestCount) {
            best = candidate;
            bestCount = count;
        }
    }
    return best;
}

bool CsvRows::next(std::vector<std::string>& fields) {
    while (!rest_.empty()) {
        std::size_t used = 0;
        rowLine_ = nextLine_;
        bool inQuotes = false;
        std::size_t count = 0;
        const auto field = [&]() -> std::string& {
            if (count == fields.size()) {
                fields.emplace_back();
            }
            return fields[count];
        };
        field().clear();
        std::size_t i = 0;
        for (; i < rest_.size(); ++i) {
            const char c = rest_[i];
            if (inQuotes) {
                if (c == '"' && i + 1 < rest_.size() && rest_[i + 1] == '"') {
                    field() += '"';
                    ++i;
                } else if (c == '"') {
                    inQuotes = false;
                } else {
                    nextLine_ += c == '\n' ? 1 : 0;
                    field() += c;
                }
            } else if (c == '"') {
                inQuotes = true;
            } else if (c == separator_) {
                trimInPlace(field(), kLineBlanks);
                ++count;
                field().clear();
            } else if (c == '\n') {
                break;
            } else {
                field() += c;
            }
        }
        used = std::min(i + 1, rest_.size());
        rest_.remove_prefix(used);
        ++nextLine_;
        trimInPlace(field(), kLineBlanks);
        fields.resize(count + 1);
        if (fields.size() > 1 || !fields.front().empty()) {
            return true;
        }
    }
    return false;
}

double CsvRows::progress(std::size_t totalSize) const {
    return totalSize == 0
               ? 1.0
               : 1.0 - static_cast<double>(rest_.size()) / static_cast<double>(totalSize);
}

}  // namespace vane
