#pragma once

#include <QSize>
#include <QString>

class QWidget;

namespace vane {

// The size a window opens at: `wanted` (a remembered size, or what its content asks for), no
// smaller than `minimum`, within `available` (the screen less its panels) with a margin, so that
// a window never opens larger than a scaled screen. `minimum` gives way to the screen.
QSize fittedWindowSize(QSize wanted, QSize minimum, QSize available);

// Opens `window` at its remembered size (QSettings group "windowSizes", `key`), or at
// `preferred` grown to its layout's size hint, fitted to its screen; remembers the size when the
// window is hidden at another size than it opened at, so that a size fitted to a small screen is
// not kept for a large one. The window stays resizable; the keeper is the window's child.
void keepWindowSize(QWidget& window, const QString& key, QSize preferred);

}  // namespace vane
