#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A small plotting model: an XY graph with plot spaces, axes, scatter plots and text layers. Plain
// C++ so that everything but the drawing can be tested without a display; graph_renderer draws it.
namespace vane::graph {

struct Colour {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    double alpha = 1.0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

struct LineStyle {
    double width = 1.0;
    Colour colour{};
    friend bool operator==(const LineStyle&, const LineStyle&) = default;
};

struct SolidFill {
    Colour colour{};
    friend bool operator==(const SolidFill&, const SolidFill&) = default;
};

enum class SymbolShape { ellipse, cross, star, rectangle, diamond, triangle, plus, pentagon };

struct PlotSymbol {
    SymbolShape shape = SymbolShape::ellipse;
    double width = 5.0;  // points
    double height = 5.0;
    std::optional<SolidFill> fill{};
    LineStyle outline;
    friend bool operator==(const PlotSymbol&, const PlotSymbol&) = default;
};

// A range of plot coordinates: from location to location + length (length may be negative).
struct PlotRange {
    double location = 0.0;
    double length = 1.0;
    double end() const { return location + length; }
    double minimum() const { return length < 0 ? end() : location; }
    double maximum() const { return length < 0 ? location : end(); }
    friend bool operator==(const PlotRange&, const PlotRange&) = default;
};

enum class Coordinate { x, y };

class PlotSpace;

// May change a range that is about to be set on a plot space.
class PlotSpaceDelegate {
  public:
    virtual PlotRange plotSpace(const PlotSpace& space, PlotRange proposed,
                                Coordinate coordinate) const = 0;

  protected:
    ~PlotSpaceDelegate() = default;
};

// Maps plot coordinates onto the plot area.
class PlotSpace {
  public:
    PlotRange xRange;
    PlotRange yRange;
    bool allowsUserInteraction = false;
    const PlotSpaceDelegate* delegate = nullptr;  // not owned

    PlotRange& range(Coordinate coordinate) {
        return coordinate == Coordinate::x ? xRange : yRange;
    }
    const PlotRange& range(Coordinate coordinate) const {
        return coordinate == Coordinate::x ? xRange : yRange;
    }

    // A change the user drives (scrolling, zooming): refused while interaction is off, otherwise
    // offered to the delegate first. Answers whether the range changed.
    bool userChangesRange(PlotRange proposed, Coordinate coordinate);
};

class ScatterPlot;

// Answers the numbers of a scatter plot while it is drawn.
class PlotDataSource {
  public:
    virtual std::size_t numberOfRecordsForPlot(const ScatterPlot& plot) const = 0;
    virtual double numberForPlot(const ScatterPlot& plot, int field,
                                 std::size_t recordIndex) const = 0;

  protected:
    ~PlotDataSource() = default;
};

inline constexpr int kScatterPlotFieldX = 0;
inline constexpr int kScatterPlotFieldY = 1;

struct ScatterPlot {
    std::string identifier{};
    std::string title{};  // shown beside its legend entry; empty for none
    LineStyle dataLineStyle{.width = 1.0, .colour = {}};
    std::optional<PlotSymbol> plotSymbol;
    const PlotDataSource* dataSource = nullptr;  // not owned
    std::size_t plotSpaceIndex = 0;              // index into XYGraph::plotSpaces
};

// How tick labels are written.
struct NumberFormat {
    int minimumFractionDigits = 0;
    int maximumFractionDigits = 0;
    friend bool operator==(const NumberFormat&, const NumberFormat&) = default;
};

struct Axis {
    Coordinate coordinate = Coordinate::x;
    double majorIntervalLength = 1.0;
    int minorTicksPerInterval = 0;
    int preferredNumberOfMajorTicks = 0;
    std::optional<LineStyle> majorGridLineStyle{};
    std::optional<LineStyle> minorGridLineStyle{};
    std::string title{};
    double titleOffset = 30.0;   // points from the axis line
    double titleLocation = 0.0;  // plot coordinate along the axis
    NumberFormat labelFormatter{.minimumFractionDigits = 1, .maximumFractionDigits = 1};
    // Drawn at the low edge of the plot area instead of where the other coordinate is 0.
    bool positionedRelativeToPlotArea = false;
};

struct TextLayer {
    std::string text;
    double x = 0.0;  // points from the graph's lower left corner
    double y = 0.0;
};

struct Paddings {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
};

enum class Theme { plainWhite };

// The graph: plot space 0 is the default one; plots, axes and text layers are drawn in order.
struct XYGraph {
    Theme theme = Theme::plainWhite;
    Paddings paddings;
    std::vector<PlotSpace> plotSpaces{PlotSpace{}};
    Axis xAxis{.coordinate = Coordinate::x};
    Axis yAxis{.coordinate = Coordinate::y};
    std::vector<ScatterPlot> plots;
    std::vector<TextLayer> textLayers;
    // The plot space that holds the legend entries and the layer that titles them, if any; the
    // renderer lays them out together as one legend box.
    std::optional<std::size_t> legendPlotSpace;
    std::optional<std::size_t> legendTitleLayer;

    PlotSpace& defaultPlotSpace() { return plotSpaces.front(); }
    const PlotSpace& defaultPlotSpace() const { return plotSpaces.front(); }
};

// Sets both ranges of `space` to the smallest ones that hold every finite point of `plots`;
// ranges stay as they are in a coordinate without any finite value.
void scaleToFitPlots(PlotSpace& space, const std::vector<const ScatterPlot*>& plots);

}  // namespace vane::graph
