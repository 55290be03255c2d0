#pragma once

#include <memory>

#include "plugin_api/user_dialogs.h"

namespace vane {

// The desktop window's own look for the dialogs seam: the platform's standard message boxes and
// file dialogs, with an "All files" choice beside the offered types.
UserDialogs deskDialogs();

// A question before a change the user may regret, such as a removal.
class Questions {
  public:
    virtual ~Questions() = default;
    // True when the user chose `action` (such as "Delete"), false when they cancelled.
    virtual bool confirm(QWidget* parent, const QString& title, const QString& message,
                         const QString& action) = 0;
};

// A message box with the action and Cancel, Cancel the default.
std::unique_ptr<Questions> deskQuestions();

}  // namespace vane
