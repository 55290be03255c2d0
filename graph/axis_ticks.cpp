#include "graph/axis_ticks.h"

#include <QChar>
#include <algorithm>
#include <cmath>

namespace vane::graph {
namespace {

// Ticks so many ticks apart would be unreadable; past that many, only major ticks are drawn.
constexpr double kMaximumTicks = 500.0;

}  // namespace

AxisTicks ticksOf(const Axis& axis, const PlotRange& range) {
    AxisTicks ticks;
    const double interval = axis.majorIntervalLength;
    const double low = range.minimum();
    const double high = range.maximum();
    if (!(interval > 0.0) || !std::isfinite(low) || !std::isfinite(high) ||
        (high - low) / interval > kMaximumTicks) {
        return ticks;
    }
    const double epsilon = interval * 1e-9;
    const int minorPerInterval = std::clamp(axis.minorTicksPerInterval, 0, 100);
    const bool withMinor = (high - low) / interval * (minorPerInterval + 1) <= kMaximumTicks;
    const double first = std::floor(low / interval) * interval;
    for (long k = 0;; ++k) {
        const double major = first + static_cast<double>(k) * interval;
        if (major > high + epsilon) {
            break;
        }
        if (major >= low - epsilon) {
            ticks.major.push_back(major);
        }
        for (int m = 1; withMinor && m <= minorPerInterval; ++m) {
            const double minor = major + interval * m / (minorPerInterval + 1);
            if (minor >= low - epsilon && minor <= high + epsilon) {
                ticks.minor.push_back(minor);
            }
        }
    }
    return ticks;
}

double crossingOf(const Axis& axis, const PlotRange& otherRange) {
    if (axis.positionedRelativeToPlotArea) {
        return otherRange.minimum();
    }
    return std::clamp(0.0, otherRange.minimum(), otherRange.maximum());
}

QString tickLabel(double value, const NumberFormat& format) {
    const int maximum = std::clamp(format.maximumFractionDigits, 0, 12);
    const int minimum = std::clamp(format.minimumFractionDigits, 0, maximum);
    QString text = QString::number(value, 'f', maximum);
    if (text.contains(QLatin1Char('.'))) {
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        while (text.size() - point - 1 > minimum && text.endsWith(QLatin1Char('0'))) {
            text.chop(1);
        }
        if (text.endsWith(QLatin1Char('.'))) {
            text.chop(1);
        }
    }
    if (text.startsWith(QLatin1Char('-'))) {
        const bool zero = text.mid(1).toDouble() == 0.0;
        text = zero ? text.mid(1) : QString(QChar(0x2212)) + text.mid(1);
    }
    return text;
}

}  // namespace vane::graph
