#include "plugin/selection_plugin.h"

#include <QCoreApplication>
#include <utility>

namespace vane::plugin {

SelectionPlugin::SelectionPlugin(UserDialogs dialogs) : dialogs_(std::move(dialogs)) {}

void SelectionPlugin::attach(const Host& host, QWidget* parentWindow) {
    host_ = &host;
    parentWindow_ = parentWindow;
}

std::vector<Recording> SelectionPlugin::selectedRecordingsOrAlert() const {
    std::vector<Recording> recordings = host_ != nullptr
                                            ? sortedByRecordingTime(host_->selectedRecordings())
                                            : std::vector<Recording>{};
    if (recordings.empty()) {
        dialogs_.alerts->showAlert(
            parentWindow_, QCoreApplication::translate("SelectionPlugin", "No recordings selected"),
            QCoreApplication::translate("SelectionPlugin",
                                        "The plugin needs selected recordings to work with. "
                                        "Please select recordings and start the plugin again."));
    }
    return recordings;
}

}  // namespace vane::plugin
