#include "host/example_plugin/selection_count_plugin.h"

#include <QMessageBox>

namespace vane {

void SelectionCountPlugin::attach(const Host& host, QWidget* parentWindow) {
    host_ = &host;
    parentWindow_ = parentWindow;
}

QString SelectionCountPlugin::name() const {
    return tr("Count Selected Recordings");
}

QString SelectionCountPlugin::message() const {
    const auto count = host_ ? static_cast<int>(host_->selectedRecordings().size()) : 0;
    return count == 1 ? tr("1 recording selected.") : tr("%1 recordings selected.").arg(count);
}

void SelectionCountPlugin::fire() {
    QMessageBox::information(parentWindow_, name(), message(), QMessageBox::Ok);
}

}  // namespace vane
