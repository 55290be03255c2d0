#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "host/desk/main_window.h"
#include "host/library/library_types.h"
#include "host/plugins/plugin_loader.h"

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
    parser.process(app);

    vane::MainWindow window;
    window.loadPlugins(vane::PluginLoader::defaultFolders());
    const QStringList arguments = parser.positionalArguments();
    const QStringList recent = QSettings().value(QStringLiteral("recentLibraries")).toStringList();
    if (!arguments.isEmpty()) {
        window.openLibrary(arguments.front());
    } else if (!recent.isEmpty() &&
               (vane::library::isServerLocation(recent.front().toStdString()) ||
                QFileInfo::exists(recent.front()))) {
        window.openLibrary(recent.front());
    } else if (QFileInfo::exists(vane::MainWindow::defaultLibraryFile())) {
        window.openLibrary(vane::MainWindow::defaultLibraryFile());
    } else {
        QDir().mkpath(QFileInfo(vane::MainWindow::defaultLibraryFile()).absolutePath());
        window.createLibrary(vane::MainWindow::defaultLibraryFile());
    }
    window.selectSessions(parser.values(sessionOption));
    window.show();
    return QApplication::exec();
}
