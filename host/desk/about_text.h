#pragma once

#include <QString>

namespace vane {

// What Help › About says: the version, what Vane does, and each library the desktop uses with
// the version it runs with and its licence.
QString aboutText();

}  // namespace vane
