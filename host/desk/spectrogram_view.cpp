#include "host/desk/spectrogram_view.h"

#include <QLocale>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

namespace vane {
namespace {

constexpr int kLeft = 56;
constexpr int kBottom = 40;
constexpr int kTop = 12;
constexpr int kKeyWidth = 14;
constexpr int kRight = 70;  // the colour key and its numbers

// A round step that puts about `count` ticks over `span`.
double tickStep(double span, int count) {
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (raw <= factor * power) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

}  // namespace

QRgb spectrogramColour(double share) {
    // Stops of a perceptually even map from dark to light.
    static constexpr std::array<std::array<double, 3>, 5> kStops = {
        {{68, 1, 84}, {59, 82, 139}, {33, 145, 140}, {94, 201, 98}, {253, 231, 37}}};
    const double at = std::clamp(share, 0.0, 1.0) * (kStops.size() - 1);
    const auto low = static_cast<std::size_t>(std::min(at, static_cast<double>(kStops.size() - 2)));
    const double t = at - static_cast<double>(low);
    const auto mix = [&](std::size_t c) {
        return static_cast<int>(
            std::lround(kStops[low][c] + t * (kStops[low + 1][c] - kStops[low][c])));
    };
    return qRgb(mix(0), mix(1), mix(2));
}

SpectrogramView::SpectrogramView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 200);
    setAccessibleName(tr("Spectrogram"));
}

void SpectrogramView::showSpectrogram(const Spectrogram& spectrogram) {
    message_.clear();
    image_ = QImage();
    seconds_ = spectrogram.columns * spectrogram.secondsPerColumn;
    if (spectrogram.columns == 0 || spectrogram.rows == 0) {
        showMessage(tr("The recording holds no sound."));
        return;
    }
    loudestDb_ = *std::max_element(spectrogram.decibels.begin(), spectrogram.decibels.end());
    const float quietest = loudestDb_ - kShownRangeDb;
    const int width = static_cast<int>(spectrogram.columns);
    const int height = static_cast<int>(spectrogram.rows);
    imageTopKilohertz_ = spectrogram.rows * spectrogram.hertzPerRow / 1000.0;
    image_ = QImage(width, height, QImage::Format_RGB32);
    for (int row = 0; row < height; ++row) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(height - 1 - row));
        for (int column = 0; column < width; ++column) {
            const float db =
                spectrogram.at(static_cast<std::size_t>(column), static_cast<std::size_t>(row));
            line[column] = spectrogramColour((db - quietest) / kShownRangeDb);
        }
    }
    update();
}

void SpectrogramView::showMessage(const QString& message) {
    image_ = QImage();
    message_ = message;
    update();
}

void SpectrogramView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRect plot(kLeft, kTop, std::max(1, width() - kLeft - kRight),
                     std::max(1, height() - kTop - kBottom));
    painter.fillRect(plot, QColor(spectrogramColour(0.0)));
    if (image_.isNull()) {
        painter.setPen(palette().color(QPalette::Text));
        painter.fillRect(plot, palette().base());
        painter.drawText(plot, Qt::AlignCenter | Qt::TextWordWrap, message_);
        return;
    }
    // The image reaches only as high as half the rate; 150 kHz is the top whatever the rate.
    const double imageShare = std::min(1.0, imageTopKilohertz_ / kHighestKilohertz);
    const int imageHeight = static_cast<int>(std::lround(plot.height() * imageShare));
    const QRect imageRect(plot.left(), plot.bottom() + 1 - imageHeight, plot.width(), imageHeight);
    const int shownRows = static_cast<int>(
        std::lround(image_.height() * std::min(1.0, kHighestKilohertz / imageTopKilohertz_)));
    painter.drawImage(imageRect, image_,
                      QRect(0, image_.height() - shownRows, image_.width(), shownRows));
    if (imageShare < 1.0) {
        painter.fillRect(QRect(plot.left(), plot.top(), plot.width(), plot.height() - imageHeight),
                         palette().base());
    }

    const QLocale locale;
    painter.setPen(palette().color(QPalette::Text));
    painter.drawRect(plot.adjusted(0, 0, -1, -1));
    const QFontMetrics metrics(font());
    for (double khz = 0.0; khz <= kHighestKilohertz + 1e-9; khz += 25.0) {
        const int y =
            plot.bottom() - static_cast<int>(std::lround(plot.height() * khz / kHighestKilohertz));
        painter.drawLine(plot.left() - 4, y, plot.left(), y);
        painter.drawText(QRect(0, y - metrics.height() / 2, kLeft - 8, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, locale.toString(khz, 'f', 0));
    }
    painter.save();
    painter.translate(12, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRect(-100, -10, 200, 20), Qt::AlignCenter, tr("Frequency (kHz)"));
    painter.restore();

    const double step = tickStep(std::max(seconds_, 1e-3), 8);
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step))));
    for (double t = 0.0; t <= seconds_ + 1e-9; t += step) {
        const int x = plot.left() + static_cast<int>(std::lround(plot.width() * t / seconds_));
        painter.drawLine(x, plot.bottom(), x, plot.bottom() + 4);
        painter.drawText(QRect(x - 40, plot.bottom() + 6, 80, metrics.height()), Qt::AlignHCenter,
                         locale.toString(t, 'f', decimals));
    }
    painter.drawText(
        QRect(plot.left(), plot.bottom() + 6 + metrics.height(), plot.width(), metrics.height()),
        Qt::AlignHCenter, tr("Time (s)"));

    // The colour key: the loudest level at the top, kShownRangeDb below it at the bottom.
    const QRect key(plot.right() + 12, plot.top(), kKeyWidth, plot.height());
    for (int y = 0; y < key.height(); ++y) {
        painter.setPen(QColor(spectrogramColour(1.0 - static_cast<double>(y) / key.height())));
        painter.drawLine(key.left(), key.top() + y, key.right(), key.top() + y);
    }
    painter.setPen(palette().color(QPalette::Text));
    painter.drawRect(key);
    for (int part = 0; part <= 7; ++part) {
        const float db = loudestDb_ - kShownRangeDb * part / 7.0f;
        const int y = key.top() + key.height() * part / 7;
        painter.drawText(QRect(key.right() + 4, y - metrics.height() / 2, kRight, metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, locale.toString(db, 'f', 0));
    }
    painter.drawText(QRect(key.left() - 6, plot.bottom() + 6, kRight, metrics.height()),
                     Qt::AlignLeft, tr("dB"));
}

}  // namespace vane
