#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "graph/plot_model.h"

namespace vane::graph {

// How one data plot looks, by the names of ready-made colours and plot symbols.
struct PlotStyle {
    std::string lineColor;
    std::string symbolColor;
    std::string symbol;
    friend bool operator==(const PlotStyle&, const PlotStyle&) = default;
};

// The styles handed out in order to the data plots of one analysis.
std::span<const PlotStyle> plotStyleTable();

// The style of data plot `index`: the table's row, and past its end further styles whose line
// colour and symbol never repeat a pair already given out, so every curve stays distinguishable.
PlotStyle plotStyleAt(std::size_t index);

// The ready-made colours ("greenColor", "blackColor", ...) and "hue DEGREES" for generated ones.
std::optional<Colour> colourNamed(std::string_view name);

// The ready-made symbols ("ellipsePlotSymbol", "crossPlotSymbol", ...).
std::optional<SymbolShape> plotSymbolNamed(std::string_view name);

}  // namespace vane::graph
