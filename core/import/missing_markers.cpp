#include "core/import/missing_markers.h"

#include "core/text/ascii.h"

namespace vane {

std::vector<std::string> commonMissingMarkers() {
    return {"-9999", "-7999", "-999", "9999", "NaN", "NA", "---", ""};
}

std::vector<std::string> missingMarkersFromList(std::string_view list) {
    std::vector<std::string> markers;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = list.find(',', start);
        markers.emplace_back(trimmed(list.substr(start, end - start)));
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return markers;
}

}  // namespace vane
