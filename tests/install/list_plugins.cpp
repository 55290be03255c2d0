// Loads the plug-ins of one folder as vane-desk does and prints each one's menu name, a line
// each; a file that fails to load is printed on standard error and fails the run. The install
// check runs it on the installed folder, so that a plug-in shipped but unloadable is caught.
#include <QApplication>
#include <QTextStream>

#include "host/plugins/plugin_loader.h"
#include "plugin_api/plugin.h"

int main(int argc, char** argv) {
    const QApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: list_plugins FOLDER\n";
        return 2;
    }
    vane::PluginLoader loader;
    loader.loadFrom({QString::fromLocal8Bit(argv[1])});
    QTextStream out(stdout);
    for (const vane::LoadedPlugin& loaded : loader.plugins()) {
        out << loaded.plugin->name() << '\n';
    }
    QTextStream err(stderr);
    for (const QString& failure : loader.failures()) {
        err << failure << '\n';
    }
    return loader.failures().isEmpty() ? 0 : 1;
}
