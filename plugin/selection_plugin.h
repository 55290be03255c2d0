#pragma once

#include <vector>

#include "core/recordings/recording.h"
#include "plugin_api/plugin.h"
#include "plugin_api/user_dialogs.h"

namespace vane::plugin {

// What every plug-in of this folder does first: it keeps the host and window it is attached to
// and reaches people through its dialogs, and each run starts from the selected recordings.
class SelectionPlugin : public AbstractPlugin {
  public:
    void attach(const Host& host, QWidget* parentWindow) final;

  protected:
    explicit SelectionPlugin(UserDialogs dialogs);

    // The selected recordings in time order; none, after the alert that says so, when nothing
    // is selected.
    std::vector<Recording> selectedRecordingsOrAlert() const;

    UserDialogs dialogs_;
    const Host* host_ = nullptr;
    QWidget* parentWindow_ = nullptr;
};

}  // namespace vane::plugin
