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

}  // namespace vane
