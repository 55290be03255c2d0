#include "graph/activity_graph.h"

#include <cerrno>
#include <cstdlib>

#include "core/analysis/bat_events.h"

namespace vane::graph {
namespace {

constexpr Colour kBlack{0.0, 0.0, 0.0, 1.0};
constexpr LineStyle kMajorGridLineStyle{.width = 0.75, .colour = {0.8, 0.8, 0.8, 0.75}};
constexpr LineStyle kMinorGridLineStyle{.width = 0.25, .colour = {0.0, 0.0, 0.0, 0.1}};
constexpr double kDataLineWidth = 2.0;
constexpr double kSymbolSize = 5.0;
constexpr double kLegendBoxSize = 14.0;
constexpr double kLegendLineStart = 13.0;
constexpr double kLegendLineEnd = 11.0;
constexpr TextLayer kLegendLabelAt{.text = kLegendTitle, .x = 140.0, .y = 100.0};

// The range a rule keeps ends and locations in.
constexpr double kAllowedLow = -1.0;
constexpr double kAllowedHigh = 5.0;

Colour resolvedColour(const std::string& name) {
    return colourNamed(name).value_or(kBlack);
}

}  // namespace

std::size_t LegendSource::numberOfRecordsForPlot(const ScatterPlot& /*plot*/) const {
    return 2;
}

double LegendSource::numberForPlot(const ScatterPlot& plot, int field,
                                   std::size_t recordIndex) const {
    if (field == kScatterPlotFieldX) {
        return recordIndex == 0 ? kLegendLineStart : kLegendLineEnd;
    }
    if (field == kScatterPlotFieldY) {
        // The identifier is the entry's decimal index, as addLegendPlot names it.
        const char* text = plot.identifier.c_str();
        char* end = nullptr;
        errno = 0;
        const double height = std::strtod(text, &end);
        return end != text && errno == 0 ? height : 0.0;
    }
    return 0.0;
}

PlotRange constrainedPlotRange(PlotRange proposed, Coordinate coordinate) {
    if (coordinate == Coordinate::y) {
        return proposed;
    }
    PlotRange range = proposed;
    if (range.end() > kAllowedHigh) {
        range.location = kAllowedHigh - range.length;
    } else if (range.end() < kAllowedLow) {
        range.location = kAllowedLow - range.length;
    }
    if (range.location < kAllowedLow) {
        range.location = kAllowedLow;
    } else if (range.location > kAllowedHigh) {
        range.location = kAllowedHigh;
    }
    return range;
}

ActivityGraph::ActivityGraph(bool plotTemp, TranslationLookup translate)
    : translationLookup_(translate ? std::move(translate) : [](std::string key) { return key; }) {
    graph_.theme = Theme::plainWhite;
    graph_.paddings = {.left = 60.0, .top = 20.0, .right = 20.0, .bottom = 60.0};

    PlotSpace& space = graph_.defaultPlotSpace();
    space.allowsUserInteraction = false;
    space.delegate = this;

    Axis& x = graph_.xAxis;
    x.majorIntervalLength = 2.0;
    x.minorTicksPerInterval = 3;
    x.majorGridLineStyle = kMajorGridLineStyle;
    x.minorGridLineStyle = kMinorGridLineStyle;
    x.titleOffset = 30.0;
    x.titleLocation = 13.0;
    x.labelFormatter = {.minimumFractionDigits = 0, .maximumFractionDigits = 0};

    Axis& y = graph_.yAxis;
    y.majorIntervalLength = 0.1;
    y.minorTicksPerInterval = 1;
    y.preferredNumberOfMajorTicks = 8;
    y.majorGridLineStyle = kMajorGridLineStyle;
    y.minorGridLineStyle = kMinorGridLineStyle;
    y.positionedRelativeToPlotArea = true;
    y.title = translationLookup_(kActivityAxisTitleKey);
    y.titleLocation = 0.5;

    setPlotTemp(plotTemp);
    setPlotStyleIndex(0);
}

void ActivityGraph::setPlotStyleIndex(std::uint64_t index) {
    plotStyleIndex_ = index;
    dataPlotNames_.resize(std::min<std::uint64_t>(index, dataPlotNames_.size()));
}

void ActivityGraph::setPlotTemp(bool plotTemp) {
    graph_.xAxis.title = std::string(readingAxisTitle(plotTemp));
}

ScatterPlot ActivityGraph::styledPlot(std::size_t styleIndex) const {
    const PlotStyle style = plotStyleAt(styleIndex);
    ScatterPlot plot;
    plot.dataLineStyle = {.width = kDataLineWidth, .colour = resolvedColour(style.lineColor)};
    plot.plotSymbol = PlotSymbol{
        .shape = plotSymbolNamed(style.symbol).value_or(SymbolShape::ellipse),
        .width = kSymbolSize,
        .height = kSymbolSize,
        .fill = SolidFill{resolvedColour(style.symbolColor)},
        .outline = LineStyle{.width = 1.0, .colour = kBlack},
    };
    return plot;
}

ScatterPlot ActivityGraph::dataPlotWithName(const std::string& name) {
    ScatterPlot plot = styledPlot(plotStyleIndex_);
    plot.identifier = name;
    plot.title = name;
    plot.dataSource = this;
    plot.plotSpaceIndex = 0;
    dataPlotNames_.resize(plotStyleIndex_);
    dataPlotNames_.push_back(name);
    ++plotStyleIndex_;
    return plot;
}

void ActivityGraph::addPlot(ScatterPlot plot) {
    if (plot.plotSpaceIndex >= graph_.plotSpaces.size()) {
        plot.plotSpaceIndex = 0;
    }
    graph_.plots.push_back(std::move(plot));
}

void ActivityGraph::removeAllPlots() {
    graph_.plots.clear();
    if (graph_.legendPlotSpace) {
        graph_.plotSpaces.erase(graph_.plotSpaces.begin() +
                                static_cast<std::ptrdiff_t>(*graph_.legendPlotSpace));
        graph_.legendPlotSpace.reset();
    }
    if (graph_.legendTitleLayer) {
        graph_.textLayers.erase(graph_.textLayers.begin() +
                                static_cast<std::ptrdiff_t>(*graph_.legendTitleLayer));
        graph_.legendTitleLayer.reset();
    }
}

void ActivityGraph::addLegendPlot() {
    // A second legend for the same plots would only lie on top of the first.
    if (graph_.legendPlotSpace) {
        std::erase_if(graph_.plots, [this](const ScatterPlot& plot) {
            return plot.plotSpaceIndex == *graph_.legendPlotSpace;
        });
        graph_.plotSpaces.erase(graph_.plotSpaces.begin() +
                                static_cast<std::ptrdiff_t>(*graph_.legendPlotSpace));
        graph_.legendPlotSpace.reset();
    }
    PlotSpace legendSpace;
    legendSpace.xRange = {.location = 0.0, .length = kLegendBoxSize};
    legendSpace.yRange = {.location = 0.0, .length = kLegendBoxSize};
    graph_.plotSpaces.push_back(legendSpace);
    const std::size_t spaceIndex = graph_.plotSpaces.size() - 1;
    graph_.legendPlotSpace = spaceIndex;

    for (std::uint64_t i = 0; i < plotStyleIndex_; ++i) {
        ScatterPlot entry = styledPlot(i);
        entry.identifier = std::to_string(i);
        entry.title = i < dataPlotNames_.size() ? dataPlotNames_[i] : std::string();
        entry.dataSource = &legendSource_;
        entry.plotSpaceIndex = spaceIndex;
        graph_.plots.push_back(std::move(entry));
    }

    if (!graph_.legendTitleLayer) {
        graph_.textLayers.push_back(kLegendLabelAt);
        graph_.legendTitleLayer = graph_.textLayers.size() - 1;
    }
}

void ActivityGraph::showAnalysis(PlotData plotData, std::span<const std::string> seriesOrder,
                                 bool plotTemp, RangeLengths lengths, bool withLegend) {
    setPlotTemp(plotTemp);
    setPlotStyleIndex(0);
    removeAllPlots();
    setPlotData(std::move(plotData));
    PlotSpace& space = graph_.defaultPlotSpace();
    for (const std::string& name : seriesOrder) {
        addPlot(dataPlotWithName(name));
        scaleToFitPlots(space, {&graph_.plots.back()});
        space.xRange.length = lengths.x;
        space.yRange.length = lengths.y;
    }
    if (withLegend) {
        addLegendPlot();
    }
}

std::size_t ActivityGraph::numberOfRecordsForPlot(const ScatterPlot& plot) const {
    const auto series = plotData_.find(plot.identifier);
    return series == plotData_.end() ? 0 : series->second.size();
}

double ActivityGraph::numberForPlot(const ScatterPlot& plot, int field,
                                    std::size_t recordIndex) const {
    const auto series = plotData_.find(plot.identifier);
    if (series == plotData_.end() || recordIndex >= series->second.size()) {
        return 0.0;
    }
    const PlotPoint& point = series->second[recordIndex];
    return field == kScatterPlotFieldX ? point.x : point.y;
}

PlotRange ActivityGraph::plotSpace(const PlotSpace& /*space*/, PlotRange proposed,
                                   Coordinate coordinate) const {
    return constrainedPlotRange(proposed, coordinate);
}

}  // namespace vane::graph
