#pragma once

#include <QWidget>

#include "yearlyview/year_graph_view.h"

namespace vane::plugin {

// Puts a YearGraphView on screen at its own size: picture, grid on top, filters over both.
class YearGraphWidget final : public QWidget {
    Q_OBJECT

  public:
    explicit YearGraphWidget(QWidget* parent = nullptr);

    yearlyview::YearGraphView& view() { return view_; }
    const yearlyview::YearGraphView& view() const { return view_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    yearlyview::YearGraphView view_;
};

}  // namespace vane::plugin
