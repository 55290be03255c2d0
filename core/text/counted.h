#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vane {

// "1 recording", "2 recordings": a count with its noun in the number it needs.
inline std::string counted(std::size_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + ' ' + std::string(count == 1 ? one : many);
}

}  // namespace vane
