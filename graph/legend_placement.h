#pragma once

#include <span>
#include <vector>

namespace vane::graph {

// Points and rectangles on the drawing, y growing downwards.
struct CanvasPoint {
    double x = 0.0;
    double y = 0.0;
};

struct CanvasRect {
    double left = 0.0;
    double top = 0.0;
    double width = 0.0;
    double height = 0.0;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
    friend bool operator==(const CanvasRect&, const CanvasRect&) = default;
};

// Where a legend box of the given size goes inside the plot area: the corner (inset by `margin`)
// where it covers the least of the curves, each a polyline with a symbol at every point. On a tie
// the lower right wins, then the upper left: cumulative curves rise from left to right, so those
// corners are usually free.
CanvasRect placeLegend(CanvasRect plotArea, double boxWidth, double boxHeight, double margin,
                       std::span<const std::vector<CanvasPoint>> curves);

}  // namespace vane::graph
