#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

#include "yearlyview/content_filters.h"

namespace vane::yearlyview {

inline constexpr int kYearViewWidth = 765;
inline constexpr int kYearViewHeight = 440;
// The picture's frame, measured from the view's bottom left corner.
inline constexpr int kGraphImageLeft = 42;
inline constexpr int kGraphImageBottom = 18;

// The picture's frame in Qt's coordinates (origin at the top left).
QRect graphImageRect();

// The yearly picture as the window shows it: the picture ("GraphImage") in its frame with a
// one-point black border, the grid picture ("GridImage") above it from the top left corner, and
// the content filters over both.
class YearGraphView {
  public:
    // A null image leaves the frame empty (no recording selected).
    void setGraphImage(QImage image) { graphImage_ = std::move(image); }
    void setGridImage(QImage image) { gridImage_ = std::move(image); }
    // A line in the grid's top margin, such as the year and the site; empty for none.
    void setCaption(QString caption) { caption_ = std::move(caption); }
    const QString& caption() const { return caption_; }
    const QImage& graphImage() const { return graphImage_; }
    const QImage& gridImage() const { return gridImage_; }

    const std::vector<ContentFilter>& contentFilters() const { return contentFilters_; }
    void setContentFilters(std::vector<ContentFilter> filters) {
        contentFilters_ = std::move(filters);
    }

    // What the view shows, one pixel a point, transparent where nothing is drawn.
    QImage render() const;

  private:
    QImage graphImage_;
    QImage gridImage_;
    QString caption_;
    std::vector<ContentFilter> contentFilters_;
};

// Installs the inversion filters on the view.
void exposureAdjust(YearGraphView& view);

}  // namespace vane::yearlyview
