#pragma once

#include <QColor>
#include <QPen>

#include "graph/plot_model.h"

namespace vane::graph {

inline QColor toQColor(const Colour& colour) {
    return QColor::fromRgbF(static_cast<float>(colour.red), static_cast<float>(colour.green),
                            static_cast<float>(colour.blue), static_cast<float>(colour.alpha));
}

inline QPen toPen(const LineStyle& style) {
    QPen pen(toQColor(style.colour), style.width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

}  // namespace vane::graph
