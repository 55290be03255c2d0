#include "host/desk/library_alerts.h"

#include <QObject>

#include "plugin_api/user_dialogs.h"

namespace vane {

QString cannotReadText(const QString& location, const std::exception& error) {
    // A library's own errors name the file; SQLite's do not.
    const QString what = QString::fromStdString(error.what());
    return what.contains(location) ? what
                                   : QObject::tr("\"%1\" cannot be read: %2").arg(location, what);
}

void sayRefusedRows(AlertPresenter& alerts, QWidget* parent,
                    const std::vector<std::string>& refused) {
    if (refused.empty()) {
        return;
    }
    QString lines;
    for (const std::string& line : refused) {
        lines += QStringLiteral("\n") + QString::fromStdString(line);
    }
    alerts.showAlert(
        parent, QObject::tr("Damaged rows left out"),
        QObject::tr("These rows of the library hold values out of range and are not shown:%1")
            .arg(lines));
}

}  // namespace vane
