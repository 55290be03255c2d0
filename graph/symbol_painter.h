#pragma once

#include "graph/plot_model.h"

class QPainter;
class QPointF;

namespace vane::graph {

// Draws `symbol` centred on `centre`; painter coordinates are points.
void paintPlotSymbol(QPainter& painter, const PlotSymbol& symbol, const QPointF& centre);

}  // namespace vane::graph
