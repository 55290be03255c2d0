#include <QAction>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "host/desk/library_models.h"
#include "host/desk/main_window.h"
#include "library/recording_library.h"
#include "tests/plugin_api/recording_dialogs.h"
#include "tests/plugin_api/temporary_settings.h"
#include "vane_version.h"

namespace vane {

// The main window's comforts: what it says about itself, how it shows long paths, and the size
// it opens at.
class DeskComfortsTest : public QObject {
    Q_OBJECT
  private slots:
    void aboutNamesTheVersionAndEachLibrarysLicence();
    void recordingPathsKeepTheirFileNameInSight();
    void theWindowFitsTheScreenAndOpensAtTheSizeItWasLeftAt();

  private:
    static QAction* menuItem(const MainWindow& window, const QString& text);
    static UserDialogs recorders(RecordingAlerts*& alerts);

    testing::TemporarySettings settings_;  // before any QSettings
    QTemporaryDir folder_;
};

QAction* DeskComfortsTest::menuItem(const MainWindow& window, const QString& text) {
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

UserDialogs DeskComfortsTest::recorders(RecordingAlerts*& alerts) {
    auto recorder = std::make_unique<RecordingAlerts>();
    alerts = recorder.get();
    return UserDialogs{std::move(recorder), std::make_unique<ScriptedPanels>(),
                       std::make_unique<RecordingPasteboard>()};
}

void DeskComfortsTest::aboutNamesTheVersionAndEachLibrarysLicence() {
    RecordingAlerts* alerts = nullptr;
    MainWindow window(recorders(alerts));
    QAction* about = menuItem(window, QStringLiteral("&About Vane"));
    QVERIFY(about != nullptr);
    about->trigger();
    QCOMPARE(alerts->reports.size(), std::size_t{1});
    const RecordedReport& shown = alerts->reports.front();
    QCOMPARE(shown.title, QStringLiteral("About Vane"));
    QVERIFY(shown.message.startsWith(QStringLiteral("Vane " VANE_VERSION "\n")));
    for (const char* library : {"Qt 6.", "GNU Lesser General Public License", "ICU ",
                                "Unicode License", "SQLite 3.", "public domain"}) {
        QVERIFY2(shown.message.contains(QString::fromLatin1(library)), library);
    }
}

void DeskComfortsTest::recordingPathsKeepTheirFileNameInSight() {
    const QString file = QDir(folder_.path()).filePath(QStringLiteral("paths.vanelib"));
    const std::string path =
        "/media/recorder/" + std::string(200, 'x') + "/2012-06-21/BAT_20120621_210300.wav";
    {
        library::RecordingLibrary library = library::RecordingLibrary::create(file.toStdString());
        library.importRecordings(library::NewSession{"June", 1340229600.0, 49.6, 11.05, ""},
                                 {{1340305380.0, 7200, "Europe/Berlin", path}});
    }
    RecordingAlerts* alerts = nullptr;
    MainWindow window(recorders(alerts));
    QVERIFY(window.openLibrary(file));
    window.selectSessions({QStringLiteral("June")});
    auto* recordings = window.findChild<QTableView*>(QStringLiteral("recordings"));
    QCOMPARE(recordings->textElideMode(), Qt::ElideMiddle);
    const QModelIndex cell = recordings->model()->index(0, RecordingTableModel::File);
    QCOMPARE(cell.data(Qt::DisplayRole).toString(), QString::fromStdString(path));
    QCOMPARE(cell.data(Qt::ToolTipRole).toString(), QString::fromStdString(path));
}

void DeskComfortsTest::theWindowFitsTheScreenAndOpensAtTheSizeItWasLeftAt() {
    const QSize available = QGuiApplication::primaryScreen()->availableGeometry().size();
    QSize left;
    {
        RecordingAlerts* alerts = nullptr;
        MainWindow window(recorders(alerts));
        window.show();
        QVERIFY(window.width() <= available.width() && window.height() <= available.height());
        left = window.size() - QSize(40, 30);
        window.resize(left);
        window.close();
    }
    RecordingAlerts* alerts = nullptr;
    MainWindow again(recorders(alerts));
    again.show();
    QCOMPARE(again.size(), left);
}

}  // namespace vane

QTEST_MAIN(vane::DeskComfortsTest)
#include "desk_comforts_test.moc"
