#include "host/example_plugin/selection_count_plugin.h"

#include <utility>

namespace vane {

SelectionCountPlugin::SelectionCountPlugin() : SelectionCountPlugin(UserDialogs::onScreen()) {}

SelectionCountPlugin::SelectionCountPlugin(UserDialogs dialogs) : dialogs_(std::move(dialogs)) {}

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
    dialogs_.alerts->showReport(parentWindow_, name(), message(), {});
}

}  // namespace vane
