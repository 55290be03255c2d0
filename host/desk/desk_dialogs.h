#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "plugin_api/user_dialogs.h"

class QWidget;

namespace vane {

// Asks for the address of a library on a server; nothing when the user cancelled.
class LibraryAddressQuestion {
  public:
    virtual ~LibraryAddressQuestion() = default;
    virtual std::optional<QString> askLibraryAddress(QWidget* parent) = 0;
};

// A line to type the address into, with an example.
std::unique_ptr<LibraryAddressQuestion> deskLibraryAddressQuestion();

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
