#pragma once

#include <QWidget>

namespace vane::graph {
struct XYGraph;
}

namespace vane::plugin {

// Shows a graph of the plotting model at the widget's size, on white.
class ActivityGraphView final : public QWidget {
    Q_OBJECT

  public:
    explicit ActivityGraphView(QWidget* parent = nullptr);

    // The graph must outlive the view or be replaced before it goes.
    void setGraph(const graph::XYGraph* graph);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const graph::XYGraph* graph_ = nullptr;
};

}  // namespace vane::plugin
