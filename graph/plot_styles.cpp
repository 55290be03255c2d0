#include "graph/plot_styles.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

namespace vane::graph {
namespace {

const std::array<PlotStyle, 3> kStyleTable{{
    {"greenColor", "blackColor", "ellipsePlotSymbol"},
    {"redColor", "blackColor", "crossPlotSymbol"},
    {"blueColor", "blackColor", "starPlotSymbol"},
}};

constexpr std::array<std::pair<std::string_view, Colour>, 12> kColours{{
    {"blackColor", {0.0, 0.0, 0.0, 1.0}},
    {"whiteColor", {1.0, 1.0, 1.0, 1.0}},
    {"redColor", {1.0, 0.0, 0.0, 1.0}},
    {"greenColor", {0.0, 1.0, 0.0, 1.0}},
    {"blueColor", {0.0, 0.0, 1.0, 1.0}},
    {"orangeColor", {1.0, 0.5, 0.0, 1.0}},
    {"purpleColor", {0.5, 0.0, 0.5, 1.0}},
    {"brownColor", {0.6, 0.4, 0.2, 1.0}},
    {"magentaColor", {1.0, 0.0, 1.0, 1.0}},
    {"cyanColor", {0.0, 1.0, 1.0, 1.0}},
    {"darkGrayColor", {1.0 / 3.0, 1.0 / 3.0, 1.0 / 3.0, 1.0}},
    {"grayColor", {0.5, 0.5, 0.5, 1.0}},
}};

constexpr std::array<std::pair<std::string_view, SymbolShape>, 8> kSymbols{{
    {"ellipsePlotSymbol", SymbolShape::ellipse},
    {"crossPlotSymbol", SymbolShape::cross},
    {"starPlotSymbol", SymbolShape::star},
    {"rectanglePlotSymbol", SymbolShape::rectangle},
    {"diamondPlotSymbol", SymbolShape::diamond},
    {"trianglePlotSymbol", SymbolShape::triangle},
    {"plusPlotSymbol", SymbolShape::plus},
    {"pentagonPlotSymbol", SymbolShape::pentagon},
}};

// Line colours after the table's: none of them is one of its three, so no pair can repeat one of
// the table's rows; all are dark enough to read on white.
constexpr std::array<std::string_view, 6> kFurtherLineColours{
    "orangeColor", "purpleColor", "brownColor", "magentaColor", "cyanColor", "darkGrayColor"};
constexpr std::array<std::string_view, 8> kFurtherSymbols{
    "rectanglePlotSymbol", "diamondPlotSymbol", "trianglePlotSymbol", "plusPlotSymbol",
    "pentagonPlotSymbol",  "ellipsePlotSymbol", "crossPlotSymbol",    "starPlotSymbol"};

// Hue steps of the golden angle never come back to the same hue.
constexpr double kGoldenAngleDegrees = 137.50776405003785;

Colour colourFromHue(double hueDegrees) {
    // Saturation 1, value 0.7: strong but readable on white.
    constexpr double kValue = 0.7;
    const double h = std::fmod(hueDegrees, 360.0) / 60.0;
    const double x = kValue * (1.0 - std::fabs(std::fmod(h, 2.0) - 1.0));
    switch (static_cast<int>(h)) {
        case 0:
            return {kValue, x, 0.0, 1.0};
        case 1:
            return {x, kValue, 0.0, 1.0};
        case 2:
            return {0.0, kValue, x, 1.0};
        case 3:
            return {0.0, x, kValue, 1.0};
        case 4:
            return {x, 0.0, kValue, 1.0};
        default:
            return {kValue, 0.0, x, 1.0};
    }
}

}  // namespace

std::span<const PlotStyle> plotStyleTable() {
    return kStyleTable;
}

PlotStyle plotStyleAt(std::size_t index) {
    if (index < kStyleTable.size()) {
        return kStyleTable[index];
    }
    const std::size_t j = index - kStyleTable.size();
    const std::size_t colours = kFurtherLineColours.size();
    const std::size_t symbols = kFurtherSymbols.size();
    if (j < colours * symbols) {
        // Within one round of colours the symbol moves on by one more each round, so a colour
        // meets every symbol once before any pair comes back.
        return {std::string(kFurtherLineColours[j % colours]), "blackColor",
                std::string(kFurtherSymbols[(j % colours + j / colours) % symbols])};
    }
    char hue[32];
    std::snprintf(hue, sizeof hue, "hue %.6f",
                  std::fmod(static_cast<double>(j) * kGoldenAngleDegrees, 360.0));
    return {hue, "blackColor", std::string(kFurtherSymbols[j % symbols])};
}

std::optional<Colour> colourNamed(std::string_view name) {
    for (const auto& [colourName, colour] : kColours) {
        if (colourName == name) {
            return colour;
        }
    }
    constexpr std::string_view kHuePrefix = "hue ";
    if (name.starts_with(kHuePrefix)) {
        const std::string_view number = name.substr(kHuePrefix.size());
        double degrees = 0.0;
        const auto [end, error] =
            std::from_chars(number.data(), number.data() + number.size(), degrees);
        if (error == std::errc() && end == number.data() + number.size() &&
            std::isfinite(degrees) && degrees >= 0.0) {
            return colourFromHue(degrees);
        }
    }
    return std::nullopt;
}

std::optional<SymbolShape> plotSymbolNamed(std::string_view name) {
    for (const auto& [symbolName, shape] : kSymbols) {
        if (symbolName == name) {
            return shape;
        }
    }
    return std::nullopt;
}

}  // namespace vane::graph
