#include "host/desk/main_window.h"

#include <unicode/timezone.h>

#include <QItemSelectionModel>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

#include "host/desk/import_dialog.h"
#include "host/desk/import_runner.h"
#include "host/library/recording_library.h"

namespace vane {

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void hostAnswersWhatIsSelectedInTheTables();
    void refusesAForeignFileAndKeepsTheOpenLibrary();
    void importsRunOffTheUserInterfaceThreadAndPassFailuresBack();
    void importDialogOffersTheGuessedColumnsAndANewSession();

  private:
    static void select(QTableView* view, const std::vector<int>& rows);

    QTemporaryDir folder_;
    QString file_;
    static constexpr double kJune21 = 1340305380.0;  // 2012-06-21 21:03:00 in Berlin
};

void MainWindowTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    file_ = QDir(folder_.path()).filePath(QStringLiteral("bats.vanelib"));
    library::RecordingLibrary library = library::RecordingLibrary::create(file_.toStdString());
    const auto night = [](double start, int count) {
        std::vector<ImportedRecording> recordings;
        for (int i = 0; i < count; ++i) {
            recordings.push_back({start + 600.0 * i, 7200, "Europe/Berlin", ""});
        }
        return recordings;
    };
    library.importRecordings(library::NewSession{"June", 1340229600.0, 49.6, 11.05, ""},
                             night(kJune21, 3));
    library.importRecordings(library::NewSession{"July", 1342821600.0, {}, {}, ""},
                             night(kJune21 + 30 * 86400, 2));
    library.importRecordings(library::NewSession{"August", 1345500000.0, 50.0, 12.0, ""},
                             night(kJune21 + 61 * 86400, 4));
}

void MainWindowTest::select(QTableView* view, const std::vector<int>& rows) {
    view->clearSelection();
    for (const int row : rows) {
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void MainWindowTest::hostAnswersWhatIsSelectedInTheTables() {
    MainWindow window;
    QVERIFY(window.openLibrary(file_));
    const Host& host = window;
    auto* sessions = window.findChild<QTableView*>(QStringLiteral("sessions"));
    auto* recordings = window.findChild<QTableView*>(QStringLiteral("recordings"));
    QCOMPARE(sessions->model()->rowCount(), 3);
    QCOMPARE(recordings->model()->rowCount(), 0);
    QVERIFY(host.selectedSessions().empty());

    // Sorted by sample date: June, July, August. Choose June and August.
    select(sessions, {0, 2});
    const std::vector<Session> chosen = sortedBySampleDate(host.selectedSessions());
    QCOMPARE(chosen.size(), std::size_t{2});
    QCOMPARE(chosen[0].sampledate, 1340229600.0);
    QCOMPARE(chosen[0].recordingCount, std::int64_t{3});
    QCOMPARE(chosen[0].latitude.value(), 49.6);
    QCOMPARE(chosen[1].recordingCount, std::int64_t{4});
    QCOMPARE(chosen[1].longitude.value(), 12.0);
    QCOMPARE(recordings->model()->rowCount(), 7);
    QVERIFY(host.selectedRecordings().empty());

    // Sorting the table by time, newest first, must not change what a row means.
    recordings->sortByColumn(0, Qt::DescendingOrder);
    select(recordings, {0, 6});
    std::vector<Recording> picked = sortedByRecordingTime(host.selectedRecordings());
    QCOMPARE(picked.size(), std::size_t{2});
    QCOMPARE(picked[0].recordingTime, kJune21);
    QCOMPARE(picked[1].recordingTime, kJune21 + 61 * 86400 + 1800);

    // A session without a location answers none.
    window.selectSessions({QStringLiteral("July")});
    QCOMPARE(host.selectedSessions().size(), std::size_t{1});
    QVERIFY(!host.selectedSessions()[0].latitude);
    QCOMPARE(recordings->model()->rowCount(), 2);
    QVERIFY(host.selectedRecordings().empty());
}

void MainWindowTest::refusesAForeignFileAndKeepsTheOpenLibrary() {
    MainWindow window;
    QStringList alerts;
    window.setAlertSink([&alerts](const QString& title, const QString& message) {
        alerts.append(title + QStringLiteral(": ") + message);
    });
    QVERIFY(window.openLibrary(file_));
    const QString foreign = QDir(folder_.path()).filePath(QStringLiteral("notes.txt"));
    QFile text(foreign);
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("Bats seen at dusk: many.\n");
    text.close();

    QVERIFY(!window.openLibrary(foreign));
    QCOMPARE(alerts.size(), 1);
    QVERIFY(alerts.front().startsWith(QStringLiteral("Cannot open library: ")));
    QVERIFY(alerts.front().contains(QStringLiteral("is not a Vane library")));
    QCOMPARE(window.findChild<QTableView*>(QStringLiteral("sessions"))->model()->rowCount(), 3);
    QVERIFY(text.open(QIODevice::ReadOnly));
    QCOMPARE(text.readAll(), QByteArray("Bats seen at dusk: many.\n"));
}

void MainWindowTest::importsRunOffTheUserInterfaceThreadAndPassFailuresBack() {
    QThread* const uiThread = QThread::currentThread();
    const ImportReport report = runImport(
        nullptr, QStringLiteral("Test"),
        [uiThread](std::stop_token stop, const ScanProgress& progress) {
            ImportReport result;
            result.changed = QThread::currentThread() != uiThread && !stop.stop_requested();
            progress(1, 2);
            result.message = QStringLiteral("done");
            return result;
        });
    QVERIFY(report.changed);
    QCOMPARE(report.message, QStringLiteral("done"));

    QVERIFY_THROWS_EXCEPTION(library::LibraryError,
                             runImport(nullptr, QStringLiteral("Test"),
                                       [](std::stop_token, const ScanProgress&) -> ImportReport {
                                           throw library::LibraryError("disk full");
                                       }));
}

void MainWindowTest::importDialogOffersTheGuessedColumnsAndANewSession() {
    const CsvTable table = splitRecordingCsv("IN FILE;DATE;TIME\na.wav;2012-06-21;21:03:00\n");
    ImportDialog dialog(QStringLiteral("Pond"), {}, &table);
    const RecordingColumns columns = dialog.columns();
    QVERIFY(!columns.timestamp);
    QCOMPARE(columns.date, std::optional<std::size_t>{1});
    QCOMPARE(columns.time, std::optional<std::size_t>{2});
    QCOMPARE(columns.file, std::optional<std::size_t>{0});
    const auto target = dialog.target();
    QCOMPARE(std::get<library::NewSession>(target).name, std::string("Pond"));
    QVERIFY(dialog.timeZone() != nullptr);
}

}  // namespace vane

QTEST_MAIN(vane::MainWindowTest)
#include "main_window_test.moc"
