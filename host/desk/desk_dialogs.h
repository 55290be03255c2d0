#pragma once

#include "plugin_api/user_dialogs.h"

namespace vane {

// The desktop window's own look for the dialogs seam: the platform's standard message boxes and
// file dialogs, with an "All files" choice beside the offered types.
UserDialogs deskDialogs();

}  // namespace vane
