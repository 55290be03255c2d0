#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QPluginLoader;

namespace vane {

class AbstractPlugin;

struct LoadedPlugin {
    QString file;
    AbstractPlugin* plugin = nullptr;  // owned by the loader's QPluginLoader
};

// Loads every plug-in of the given folders, once each. A file that is not a Vane plug-in, or
// that fails to load, is reported once in the log and skipped. Plug-ins stay loaded as long as
// the loader lives.
class PluginLoader {
  public:
    PluginLoader();
    ~PluginLoader();
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    // The "plugins" folder beside the executable, the installed plug-ins (lib/vane/plugins
    // beside bin/), then the one in the user's data folder.
    static QStringList defaultFolders();

    void loadFrom(const QStringList& folders);

    const std::vector<LoadedPlugin>& plugins() const { return plugins_; }
    const QStringList& failures() const { return failures_; }  // "file: reason"

  private:
    std::vector<std::unique_ptr<QPluginLoader>> loaders_;
    std::vector<LoadedPlugin> plugins_;
    QStringList failures_;
    QStringList attempted_;  // every file tried, so each failure is reported only once
};

}  // namespace vane
