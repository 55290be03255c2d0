#include "host/plugins/plugin_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QLoggingCategory>
#include <QPluginLoader>
#include <QStandardPaths>

#include "plugin_api/plugin.h"

namespace vane {
namespace {

Q_LOGGING_CATEGORY(pluginLog, "vane.plugins")

}  // namespace

PluginLoader::PluginLoader() = default;

PluginLoader::~PluginLoader() {
    // Drop our pointers before the libraries go; the instances are deleted by Qt with them.
    plugins_.clear();
}

QStringList PluginLoader::defaultFolders() {
    const QDir programs(QCoreApplication::applicationDirPath());
    return {programs.filePath(QStringLiteral("plugins")),
            QDir::cleanPath(programs.filePath(QStringLiteral(VANE_INSTALLED_PLUGINS))),
            QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                .filePath(QStringLiteral("plugins"))};
}

void PluginLoader::loadFrom(const QStringList& folders) {
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QFileInfo& entry : dir.entryInfoList(QDir::Files, QDir::Name)) {
            const QString file = entry.canonicalFilePath();
            if (!QLibrary::isLibrary(file)) {
                continue;
            }
            if (attempted_.contains(file)) {
                continue;
            }
            attempted_.append(file);
            auto loader = std::make_unique<QPluginLoader>(file);
            QObject* instance = loader->instance();
            auto* plugin = qobject_cast<AbstractPlugin*>(instance);
            if (!plugin) {
                const QString reason =
                    instance ? QStringLiteral("not a Vane plug-in") : loader->errorString();
                failures_.append(file + QStringLiteral(": ") + reason);
                qCWarning(pluginLog).noquote() << "Plug-in skipped:" << failures_.back();
                loader->unload();
                continue;
            }
            plugins_.push_back({file, plugin});
            loaders_.push_back(std::move(loader));
        }
    }
}

}  // namespace vane
