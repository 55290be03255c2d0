#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/analysis/plot_data.h"
#include "graph/plot_model.h"
#include "graph/plot_styles.h"

namespace vane::graph {

// Looks up the translation of a text shown to the user; the key itself serves when there is none.
using TranslationLookup = std::function<std::string(std::string)>;

// A translation key: translations and saved graphs are made for this exact text.
inline constexpr const char* kActivityAxisTitleKey = "cum. percentage of bat activity";
inline constexpr const char* kLegendTitle = "Legend";

// The x and y range lengths an analysis sets after scaling the plot space to its data.
struct RangeLengths {
    double x = 25.0;
    double y = 1.0;
};

// The data source of legend plots: entry i is a short line at height i from x = 13 to x = 11.
class LegendSource final : public PlotDataSource {
  public:
    std::size_t numberOfRecordsForPlot(const ScatterPlot& plot) const override;
    double numberForPlot(const ScatterPlot& plot, int field,
                         std::size_t recordIndex) const override;
};

// The range rule of the default plot space: an x range is shifted, keeping its length, until its
// end and then its location lie within -1 to 5; a y range passes unchanged.
PlotRange constrainedPlotRange(PlotRange proposed, Coordinate coordinate);

// The cumulative activity graph: one XY graph, the style table handed out in order to the data
// plots of an analysis, the legend, and the plot data that feeds the plots.
class ActivityGraph final : public PlotDataSource, public PlotSpaceDelegate {
  public:
    explicit ActivityGraph(bool plotTemp = false, TranslationLookup translate = {});
    // Plots point back at the graph as their data source, so it stays where it was made.
    ActivityGraph(const ActivityGraph&) = delete;
    ActivityGraph& operator=(const ActivityGraph&) = delete;

    const XYGraph& graph() const { return graph_; }
    XYGraph& graph() { return graph_; }

    std::uint64_t plotStyleIndex() const { return plotStyleIndex_; }
    void setPlotStyleIndex(std::uint64_t index);

    // The x-axis title follows the reading of the analysis.
    void setPlotTemp(bool plotTemp);

    const PlotData& plotData() const { return plotData_; }
    void setPlotData(PlotData plotData) { plotData_ = std::move(plotData); }

    // A new scatter plot in the next style, fed from the plot data under `name`; the caller adds
    // it with addPlot.
    ScatterPlot dataPlotWithName(const std::string& name);
    void addPlot(ScatterPlot plot);
    // Removes every plot, and with them the legend, so that analyses never stack legends.
    void removeAllPlots();

    // Adds the legend for the data plots made since plotStyleIndex was last set to 0.
    void addLegendPlot();

    // What an analysis does with its result: empties the graph, makes one data plot per series
    // in `seriesOrder`, scales the default plot space to each in turn and sets the range lengths,
    // and adds the legend when asked.
    void showAnalysis(PlotData plotData, std::span<const std::string> seriesOrder, bool plotTemp,
                      RangeLengths lengths, bool withLegend);

    std::size_t numberOfRecordsForPlot(const ScatterPlot& plot) const override;
    double numberForPlot(const ScatterPlot& plot, int field,
                         std::size_t recordIndex) const override;

    // The analysis sets its ranges directly; only changes the user drives come here, and user
    // interaction is off, so the analysis' own ranges stand.
    PlotRange plotSpace(const PlotSpace& space, PlotRange proposed,
                        Coordinate coordinate) const override;

  private:
    ScatterPlot styledPlot(std::size_t styleIndex) const;

    XYGraph graph_;
    TranslationLookup translationLookup_;
    std::uint64_t plotStyleIndex_ = 0;
    std::vector<std::string> dataPlotNames_;  // identifiers of the data plots, in style order
    PlotData plotData_;
    LegendSource legendSource_;
};

}  // namespace vane::graph
