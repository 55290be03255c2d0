#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

#include "host/desk/main_window.h"
#include "host/plugins/plugin_loader.h"
#include "plugin_api/plugin.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vane-desk"));
    QApplication::setOrganizationName(QStringLiteral("Vane"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QApplication::tr(
        "Vane's desktop: a library of bat recording sessions and their recordings, import of "
        "WAV files (GUANO metadata or recorder file names) and CSV lists, and the plug-ins that "
        "analyse the selected recordings. Without LIBRARY it opens the library last used, or "
        "the default library in the user's data folder."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("LIBRARY"),
                                 QApplication::tr("A library file (.vanelib) to open."));
    // Not "--session": QGuiApplication takes that for X11 session management.
    const QCommandLineOption sessionOption(
        QStringLiteral("select"),
        QApplication::tr("Select the session NAME once the library is open (repeatable)."),
        QApplication::tr("NAME"));
    parser.addOption(sessionOption);
    const QCommandLineOption listOption(
        QStringLiteral("list-plugins"),
        QApplication::tr("Print the menu name of every plug-in found, a line each, and each file "
                         "that fails to load on standard error; exit 1 if any fails."));
    parser.addOption(listOption);
    parser.process(app);

    if (parser.isSet(listOption)) {
        vane::PluginLoader loader;
        loader.loadFrom(vane::PluginLoader::defaultFolders());
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

    vane::MainWindow window;
    window.loadPlugins(vane::PluginLoader::defaultFolders());
    const QStringList arguments = parser.positionalArguments();
    if (!arguments.isEmpty()) {
        window.openLibrary(arguments.front());
    } else {
        window.openAtStart();
    }
    window.selectSessions(parser.values(sessionOption));
    window.show();
    return QApplication::exec();
}
