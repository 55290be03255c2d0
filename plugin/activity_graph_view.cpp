#include "plugin/activity_graph_view.h"

#include <QPainter>

#include "graph/graph_renderer.h"

namespace vane::plugin {

ActivityGraphView::ActivityGraphView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(480, 320);
}

void ActivityGraphView::setGraph(const graph::XYGraph* graph) {
    graph_ = graph;
    update();
}

void ActivityGraphView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    if (graph_ != nullptr) {
        graph::renderGraph(*graph_, painter, width(), height());
    }
}

}  // namespace vane::plugin
