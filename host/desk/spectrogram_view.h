#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include "core/signal/spectrogram.h"

namespace vane {

// A spectrogram drawn with time across and 0 to 150 kHz up, in colours from quiet to loud with
// their key in decibels beside it; or a line saying why there is none.
class SpectrogramView : public QWidget {
    Q_OBJECT
  public:
    static constexpr double kHighestKilohertz = 150.0;
    static constexpr float kShownRangeDb = 70.0f;  // below the loudest cell: the key's span

    explicit SpectrogramView(QWidget* parent = nullptr);

    void showSpectrogram(const Spectrogram& spectrogram);
    void showMessage(const QString& message);

    // The loudest cell's level, the key's top.
    float loudestDb() const { return loudestDb_; }
    const QImage& image() const { return image_; }

    QSize sizeHint() const override { return {900, 420}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;  // a pixel per column and row, row 0 at the bottom; above the rate: none
    double seconds_ = 0.0;
    double imageTopKilohertz_ = 0.0;
    float loudestDb_ = 0.0f;
    QString message_;
};

// The colour of a level `share` of the way from quiet (0) to loud (1): dark blue through green
// to yellow, readable in grey print too.
QRgb spectrogramColour(double share);

}  // namespace vane
