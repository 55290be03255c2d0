#include "host/desk/library_alerts.h"

#include <QObject>

#include "plugin_api/user_dialogs.h"

namespace vane {

void sayLeftOutRows(AlertPresenter& alerts, QWidget* parent,
                    const std::vector<std::string>& leftOut) {
    if (leftOut.empty()) {
        return;
    }
    QString lines;
    for (const std::string& line : leftOut) {
        lines += QStringLiteral("\n") + QString::fromStdString(line);
    }
    alerts.showAlert(
        parent, QObject::tr("Damaged rows left out"),
        QObject::tr("These rows of the library hold values out of range and are not shown:%1")
            .arg(lines));
}

}  // namespace vane
