#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

#include "host/desk/main_window.h"
#include "host/plugins/plugin_loader.h"
#include "plugin_api/plugin.h"
#include "tests/plugin_api/fixed_selection_host.h"

namespace vane {

// A folder holding only the example plug-in: other plug-ins are built beside it.
class ExamplePluginFolder {
  public:
    ExamplePluginFolder() {
        QFile::copy(QDir(QStringLiteral(VANE_TEST_PLUGIN_DIR))
                        .filePath(QStringLiteral("libselection_count_plugin.so")),
                    QDir(folder_.path()).filePath(QStringLiteral("libselection_count_plugin.so")));
    }
    QString path() const { return folder_.path(); }

  private:
    QTemporaryDir folder_;
};

class PluginLoadingTest : public QObject {
    Q_OBJECT
  private slots:
    void loadsTheExamplePluginAndItSeesTheHostsSelection();
    void reportsAFileThatIsNoPluginOnceAndSkipsIt();
    void theWindowListsPluginsByName();
};

void PluginLoadingTest::loadsTheExamplePluginAndItSeesTheHostsSelection() {
    const ExamplePluginFolder folder;
    PluginLoader loader;
    loader.loadFrom({folder.path()});
    QCOMPARE(loader.plugins().size(), std::size_t{1});
    QVERIFY(loader.failures().isEmpty());
    AbstractPlugin* plugin = loader.plugins().front().plugin;
    QCOMPARE(plugin->name(), QStringLiteral("Count Selected Recordings"));

    const FixedSelectionHost host({{3.0}, {1.0}, {2.0}});
    plugin->attach(host, nullptr);
    QString message;
    QVERIFY(QMetaObject::invokeMethod(dynamic_cast<QObject*>(plugin), "message",
                                      Q_RETURN_ARG(QString, message)));
    QCOMPARE(message, QStringLiteral("3 recordings selected."));
}

void PluginLoadingTest::reportsAFileThatIsNoPluginOnceAndSkipsIt() {
    QTemporaryDir folder;
    QFile broken(QDir(folder.path()).filePath(QStringLiteral("libbroken.so")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a shared library");
    broken.close();
    QFile::copy(QDir(QStringLiteral(VANE_TEST_PLUGIN_DIR))
                    .filePath(QStringLiteral("libselection_count_plugin.so")),
                QDir(folder.path()).filePath(QStringLiteral("libcopy.so")));

    PluginLoader loader;
    loader.loadFrom({folder.path(), folder.path(), QStringLiteral("/nonexistent")});
    QCOMPARE(loader.failures().size(), 1);
    QVERIFY(loader.failures().front().contains(QStringLiteral("libbroken.so")));
    QCOMPARE(loader.plugins().size(), std::size_t{1});
    loader.loadFrom({folder.path()});
    QCOMPARE(loader.failures().size(), 1);
    QCOMPARE(loader.plugins().size(), std::size_t{1});
}

void PluginLoadingTest::theWindowListsPluginsByName() {
    const ExamplePluginFolder folder;
    MainWindow window;
    window.loadPlugins({folder.path()});
    auto* menu = window.findChild<QMenu*>(QStringLiteral("pluginMenu"));
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().front()->text(), QStringLiteral("Count Selected Recordings"));
    QVERIFY(menu->actions().front()->isEnabled());
}

}  // namespace vane

QTEST_MAIN(vane::PluginLoadingTest)
#include "plugin_loading_test.moc"
