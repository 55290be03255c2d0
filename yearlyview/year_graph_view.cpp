#include "yearlyview/year_graph_view.h"

#include <QFont>
#include <QPainter>

#include "core/yearly/raster.h"

namespace vane::yearlyview {
namespace {

constexpr int kCaptionPixelSize = 11;

}  // namespace

QRect graphImageRect() {
    return {kGraphImageLeft, kYearViewHeight - kGraphImageBottom - kRasterHeight, kRasterWidth,
            kRasterHeight};
}

QImage YearGraphView::render() const {
    QImage canvas(kYearViewWidth, kYearViewHeight, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        const QRect frame = graphImageRect();
        if (!graphImage_.isNull()) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(frame, graphImage_);
        }
        // The border lies inside the frame, over the picture's outermost pixels.
        constexpr int kBorder = 1;
        painter.fillRect(frame.x(), frame.y(), frame.width(), kBorder, Qt::black);
        painter.fillRect(frame.x(), frame.bottom(), frame.width(), kBorder, Qt::black);
        painter.fillRect(frame.x(), frame.y(), kBorder, frame.height(), Qt::black);
        painter.fillRect(frame.right(), frame.y(), kBorder, frame.height(), Qt::black);
        if (!gridImage_.isNull()) {
            painter.drawImage(QPoint(0, 0), gridImage_);
        }
        if (!caption_.isEmpty()) {
            // Above the frame's right end, where the grid has no labels.
            QFont font = painter.font();
            font.setPixelSize(kCaptionPixelSize);
            painter.setFont(font);
            painter.setPen(QColor(64, 64, 64));
            painter.drawText(QRect(frame.x(), 0, frame.width(), frame.y()),
                             Qt::AlignRight | Qt::AlignVCenter, caption_);
        }
    }
    if (contentFilters_.empty()) {
        return canvas;
    }
    return applyContentFilters(canvas, contentFilters_)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void exposureAdjust(YearGraphView& view) {
    view.setContentFilters(inversionFilters());
}

}  // namespace vane::yearlyview
