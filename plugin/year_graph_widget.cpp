#include "plugin/year_graph_widget.h"

#include <QPainter>

namespace vane::plugin {

YearGraphWidget::YearGraphWidget(QWidget* parent) : QWidget(parent) {
    setFixedSize(yearlyview::kYearViewWidth, yearlyview::kYearViewHeight);
}

void YearGraphWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.drawImage(0, 0, view_.render());
}

}  // namespace vane::plugin
