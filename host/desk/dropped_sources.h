#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

namespace vane {

// What of the items dropped on the window can be imported, in the order they were dropped.
struct DroppedSources {
    QStringList folders;  // of recordings
    QStringList lists;    // CSV and text lists, identification programs' tables among them
    QStringList refused;  // anything else, such as a single recording or a remote address

    bool empty() const { return folders.isEmpty() && lists.isEmpty(); }
};

DroppedSources droppedSources(const QList<QUrl>& urls);

}  // namespace vane
