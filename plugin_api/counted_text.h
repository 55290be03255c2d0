#pragma once

#include <QString>

namespace vane {

// "1 recording", "2 recordings", for the windows' messages; the nouns come translated.
inline QString counted(qsizetype count, const QString& one, const QString& many) {
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? one : many);
}

}  // namespace vane
