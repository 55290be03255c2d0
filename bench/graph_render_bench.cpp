// How long drawing the cumulative activity graph takes: the desktop redraws it on every resize.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <string>
#include <vector>

#include "graph/activity_graph.h"
#include "graph/graph_renderer.h"
#include "graph/offscreen_gui.h"

namespace {

// One curve per state, 0.5 classes from 0 to 30 m/s: a large per-state analysis.
vane::PlotData curves(int states, std::vector<std::string>& order) {
    vane::PlotData data;
    for (int s = 0; s < states; ++s) {
        const std::string name = "state " + std::to_string(s);
        order.push_back(name);
        std::vector<vane::PlotPoint> points;
        for (int k = 0; k <= 60; ++k) {
            points.push_back({k * 0.5, std::min(1.0, k / (20.0 + s))});
        }
        data[name] = points;
    }
    return data;
}

void BM_RenderGraph1200x800(benchmark::State& state) {
    const vane::graph::OffscreenGui gui;
    std::vector<std::string> order;
    vane::graph::ActivityGraph activity;
    activity.showAnalysis(curves(static_cast<int>(state.range(0)), order), order, false,
                          {25.0, 1.0}, true);
    QImage image(1200, 800, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(2.0, 2.0);
        vane::graph::renderGraph(activity.graph(), painter, 600.0, 400.0);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_RenderGraph1200x800)->Arg(1)->Arg(3)->Arg(12)->Unit(benchmark::kMillisecond);

}  // namespace
