#include "plugin_api/window_sizes.h"

#include <QEvent>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <utility>

namespace vane {
namespace {

constexpr double kLargestScreenShare = 0.9;

QString settingsKey(const QString& key) {
    return QStringLiteral("windowSizes/") + key;
}

// Sizes the window on its first showing and notes its size whenever it is hidden.
class WindowSizeKeeper final : public QObject {
  public:
    WindowSizeKeeper(QWidget& window, QString key, QSize preferred)
        : QObject(&window), window_(window), key_(std::move(key)), preferred_(preferred) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Show && !sized_) {
            sized_ = true;
            const QSize remembered = QSettings().value(settingsKey(key_)).toSize();
            const QSize wanted =
                remembered.isValid() ? remembered : preferred_.expandedTo(window_.sizeHint());
            const QScreen* screen = window_.screen();
            const QSize available = screen != nullptr ? screen->availableGeometry().size() : wanted;
            opened_ = fittedWindowSize(wanted, window_.minimumSizeHint(), available);
            window_.resize(opened_);
        } else if (watched == &window_ && event->type() == QEvent::Hide && sized_ &&
                   window_.size() != opened_) {
            // Only a size the user chose is kept: one fitted to a small screen would otherwise
            // follow the window onto a large one.
            QSettings().setValue(settingsKey(key_), window_.size());
        }
        return false;
    }

  private:
    QWidget& window_;
    QString key_;
    QSize preferred_;
    bool sized_ = false;
    QSize opened_;  // as fitted on the first showing
};

}  // namespace

QSize fittedWindowSize(QSize wanted, QSize minimum, QSize available) {
    const QSize largest(static_cast<int>(available.width() * kLargestScreenShare),
                        static_cast<int>(available.height() * kLargestScreenShare));
    return wanted.expandedTo(minimum).boundedTo(largest).expandedTo(QSize(1, 1));
}

void keepWindowSize(QWidget& window, const QString& key, QSize preferred) {
    new WindowSizeKeeper(window, key, preferred);
}

}  // namespace vane
