// Draws the grid picture "YearGrid" that lies over the yearly picture: month names along the
// nights, the time of night down the side, and faint lines at month starts and whole hours, all at
// the positions of the raster's layout. Run by the build; writes the PNG named by its argument.

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QString>
#include <cstdio>

#include "core/time/civil_date.h"
#include "core/yearly/raster.h"
#include "core/yearly/raster_layout.h"

namespace {

namespace layout = vane::yearly_layout;

constexpr int kWidth = 765;
constexpr int kHeight = 440;
constexpr int kPictureLeft = 42;
constexpr int kPictureTop = kHeight - 18 - vane::kRasterHeight;
// Month starts of a common year; a leap year moves them by one night at most.
constexpr int kLayoutYear = 2013;
constexpr int kHourLabelGap = 5;
constexpr int kTickLength = 3;

const QColor kLabelColour(40, 40, 40);
const QColor kTickColour(90, 90, 90);
// Faint enough to leave the bars readable, visible on the black and the inverted white ground.
const QColor kLineColour(128, 128, 128, 90);

int monthStartColumn(int month) {
    if (month > 12) {
        return vane::kRasterWidth;
    }
    return layout::morningColumn(vane::dayOfYear({kLayoutYear, month, 1}));
}

void drawMonths(QPainter& painter) {
    const int labelTop = kPictureTop + vane::kRasterHeight + 2;
    for (int month = 1; month <= 12; ++month) {
        const int left = kPictureLeft + monthStartColumn(month);
        const int right = kPictureLeft + monthStartColumn(month + 1);
        if (month > 1) {
            painter.fillRect(left, kPictureTop, 1, vane::kRasterHeight, kLineColour);
        }
        painter.fillRect(left, labelTop - 2, 1, kTickLength, kTickColour);
        painter.setPen(kLabelColour);
        painter.drawText(QRect(left, labelTop, right - left, kHeight - labelTop),
                         Qt::AlignHCenter | Qt::AlignTop,
                         QLocale::c().monthName(month, QLocale::ShortFormat));
    }
}

void drawHours(QPainter& painter) {
    const int hours[] = {16, 17, 18, 19, 20, 21, 22, 23, 24, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const QFontMetrics metrics = painter.fontMetrics();
    for (const int hour : hours) {
        const int y = kPictureTop + layout::rowOfHour(hour);
        if (hour != layout::kFirstEveningHour && hour != layout::kLastMorningHour) {
            painter.fillRect(kPictureLeft, y, vane::kRasterWidth, 1, kLineColour);
        }
        painter.fillRect(kPictureLeft - kTickLength, y, kTickLength, 1, kTickColour);
        if (hour % 2 != 0 && hour != layout::kLastMorningHour) {
            continue;
        }
        const QString label = QStringLiteral("%1:00").arg(hour % 24, 2, 10, QLatin1Char('0'));
        const int textHeight = metrics.height();
        painter.setPen(kLabelColour);
        painter.drawText(QRect(0, y - textHeight / 2, kPictureLeft - kHourLabelGap, textHeight),
                         Qt::AlignRight | Qt::AlignVCenter, label);
    }
}

QImage drawYearGrid() {
    QImage grid(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    grid.fill(Qt::white);
    QPainter painter(&grid);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillRect(kPictureLeft, kPictureTop, vane::kRasterWidth, vane::kRasterHeight,
                     Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    painter.setFont(font);
    drawMonths(painter);
    drawHours(painter);
    painter.end();
    return grid;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_year_grid OUTPUT.png\n");
        return 2;
    }
    const QGuiApplication application(argc, argv);
    if (!drawYearGrid().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "make_year_grid: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
