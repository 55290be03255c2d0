#pragma once

#include <QtGlobal>
#include <memory>

class QGuiApplication;

namespace vane::graph {

// Drawing text needs a QGuiApplication. Makes one on the `offscreen` platform (unless
// QT_QPA_PLATFORM says otherwise) when none exists, for as long as this object lives; when one
// exists already, does nothing. While it lives, Qt's note that it made up a runtime folder is
// kept off standard error: a command-line run has no session to have one. Qt's hashes are seeded
// the same in every process, so that the same drawing gives the same file.
class OffscreenGui {
  public:
    OffscreenGui();
    ~OffscreenGui();
    OffscreenGui(const OffscreenGui&) = delete;
    OffscreenGui& operator=(const OffscreenGui&) = delete;

  private:
    // QGuiApplication keeps references to its argument count and vector.
    int argc_ = 1;
    char programName_[5] = "vane";
    char* argv_[2] = {programName_, nullptr};
    QtMessageHandler previousHandler_ = nullptr;
    std::unique_ptr<QGuiApplication> application_;
};

}  // namespace vane::graph
