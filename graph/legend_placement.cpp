#include "graph/legend_placement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace vane::graph {
namespace {

// Length of the part of the segment a-b inside `box` (Liang-Barsky clipping).
double lengthInside(CanvasPoint a, CanvasPoint b, const CanvasRect& box) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    double enter = 0.0;
    double leave = 1.0;
    const std::array<double, 4> p{-dx, dx, -dy, dy};
    const std::array<double, 4> q{a.x - box.left, box.right() - a.x, a.y - box.top,
                                  box.bottom() - a.y};
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return 0.0;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
    }
    return leave > enter ? (leave - enter) * std::hypot(dx, dy) : 0.0;
}

bool finite(CanvasPoint p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// A symbol weighs like a stretch of line as long as a legend row is high.
constexpr double kSymbolWeight = 12.0;

double coverage(const CanvasRect& box, std::span<const std::vector<CanvasPoint>> curves) {
    double covered = 0.0;
    for (const std::vector<CanvasPoint>& curve : curves) {
        for (std::size_t i = 0; i < curve.size(); ++i) {
            const CanvasPoint p = curve[i];
            if (!finite(p)) {
                continue;
            }
            if (p.x >= box.left && p.x <= box.right() && p.y >= box.top && p.y <= box.bottom()) {
                covered += kSymbolWeight;
            }
            if (i + 1 < curve.size() && finite(curve[i + 1])) {
                covered += lengthInside(p, curve[i + 1], box);
            }
        }
    }
    return covered;
}

}  // namespace

CanvasRect placeLegend(CanvasRect plotArea, double boxWidth, double boxHeight, double margin,
                       std::span<const std::vector<CanvasPoint>> curves) {
    const double left = plotArea.left + margin;
    const double right = plotArea.right() - margin - boxWidth;
    const double top = plotArea.top + margin;
    const double bottom = plotArea.bottom() - margin - boxHeight;
    const std::array<CanvasRect, 4> corners{{
        {right, bottom, boxWidth, boxHeight},
        {left, top, boxWidth, boxHeight},
        {right, top, boxWidth, boxHeight},
        {left, bottom, boxWidth, boxHeight},
    }};
    CanvasRect best = corners.front();
    double bestCoverage = std::numeric_limits<double>::infinity();
    for (const CanvasRect& corner : corners) {
        const double covered = coverage(corner, curves);
        if (covered < bestCoverage) {
            best = corner;
            bestCoverage = covered;
        }
    }
    return best;
}

}  // namespace vane::graph
