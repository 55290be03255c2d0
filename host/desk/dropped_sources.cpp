#include "host/desk/dropped_sources.h"

#include <QFileInfo>

namespace vane {

DroppedSources droppedSources(const QList<QUrl>& urls) {
    DroppedSources sources;
    for (const QUrl& url : urls) {
        const QString path = url.toLocalFile();
        const QFileInfo info(path);
        const QString suffix = info.suffix().toLower();
        if (!path.isEmpty() && info.isDir()) {
            sources.folders.append(path);
        } else if (!path.isEmpty() && info.isFile() &&
                   (suffix == QStringLiteral("csv") || suffix == QStringLiteral("txt"))) {
            sources.lists.append(path);
        } else {
            sources.refused.append(path.isEmpty() ? url.toDisplayString() : path);
        }
    }
    return sources;
}

}  // namespace vane
