#include "host/desk/main_window.h"

#include <unicode/timezone.h>

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cstdlib>

#include "host/desk/import_dialog.h"
#include "host/desk/import_runner.h"
#include "host/library/postgres_connection.h"
#include "host/library/recording_library.h"
#include "host/library/sqlite_database.h"
#include "tests/core/recordings/wav_fixture.h"
#include "tests/plugin_api/recording_dialogs.h"

namespace vane {

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void hostAnswersWhatIsSelectedInTheTables();
    void refusesAForeignFileAndKeepsTheOpenLibrary();
    void damagedLibrariesAreMessagesNamingTheFile();
    void menuCommandsAskThroughTheDialogs();
    void importsRunOffTheUserInterfaceThreadAndPassFailuresBack();
    void importDialogOffersTheGuessedColumnsAndANewSession();
    void importDialogTakesTheSystemZoneHoweverTheListSpellsIt();
    void importReportsWhatWentIntoWhichSessionAndWhatWasSkipped();
    void importsWithNothingToAddOrCancelledLeaveTheLibraryAsItWas();
    void refreshShowsWhatOthersImportedAndKeepsTheSelection();
    void opensASharedLibraryByItsAddress();

  private:
    static void select(QTableView* view, const std::vector<int>& rows);
    static QByteArray contentOf(const QString& file);
    static void trigger(const MainWindow& window, const QString& menuText);
    std::filesystem::path newLibrary(const QString& name) const;

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
    auto recorder = std::make_unique<RecordingAlerts>();
    const RecordingAlerts& recorded = *recorder;
    MainWindow window(UserDialogs{std::move(recorder), std::make_unique<ScriptedPanels>(),
                                  std::make_unique<RecordingPasteboard>()});
    QVERIFY(window.openLibrary(file_));
    const QString foreign = QDir(folder_.path()).filePath(QStringLiteral("notes.txt"));
    QFile text(foreign);
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("Bats seen at dusk: many.\n");
    text.close();

    QVERIFY(!window.openLibrary(foreign));
    QCOMPARE(recorded.shown.size(), std::size_t{1});
    QCOMPARE(recorded.shown.front().title, QStringLiteral("Cannot open library"));
    QVERIFY(recorded.shown.front().message.contains(QStringLiteral("is not a Vane library")));
    QCOMPARE(window.findChild<QTableView*>(QStringLiteral("sessions"))->model()->rowCount(), 3);
    QVERIFY(text.open(QIODevice::ReadOnly));
    QCOMPARE(text.readAll(), QByteArray("Bats seen at dusk: many.\n"));
}

void MainWindowTest::trigger(const MainWindow& window, const QString& menuText) {
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->text() == menuText) {
            action->trigger();
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no menu item ") + menuText));
}

void MainWindowTest::menuCommandsAskThroughTheDialogs() {
    auto alertRecorder = std::make_unique<RecordingAlerts>();
    auto panelScript = std::make_unique<ScriptedPanels>();
    const RecordingAlerts& alerts = *alertRecorder;
    ScriptedPanels& panels = *panelScript;
    MainWindow window(UserDialogs{std::move(alertRecorder), std::move(panelScript),
                                  std::make_unique<RecordingPasteboard>()});

    trigger(window, QStringLiteral("Import &CSV File..."));
    QCOMPARE(alerts.shown.size(), std::size_t{1});
    QCOMPARE(alerts.shown.back(),
             (RecordedAlert{QStringLiteral("No library"),
                            QStringLiteral("Open or create a library first.")}));
    QVERIFY(panels.openOptions.empty());

    const QString created = QDir(folder_.path()).filePath(QStringLiteral("new.vanelib"));
    panels.saveAnswers.push_back(SavePanelChoice{created, QStringLiteral("vanelib")});
    trigger(window, QStringLiteral("&New Library..."));
    QCOMPARE(panels.saveOptions.back().title, QStringLiteral("New Library"));
    QCOMPARE(panels.saveOptions.back().fileTypes, QStringList{QStringLiteral("vanelib")});
    QVERIFY(!panels.saveOptions.back().confirmOverwrite);  // the library refuses an existing file
    QVERIFY(QFile::exists(created));
    QCOMPARE(window.windowTitle(), QStringLiteral("new.vanelib - Vane"));

    trigger(window, QStringLiteral("&Open Library..."));  // cancelled
    QCOMPARE(panels.openOptions.back().title, QStringLiteral("Open Library"));
    QCOMPARE(window.windowTitle(), QStringLiteral("new.vanelib - Vane"));

    const QString missing = QDir(folder_.path()).filePath(QStringLiteral("missing.csv"));
    panels.openAnswers.push_back(missing);
    trigger(window, QStringLiteral("Import &CSV File..."));
    QCOMPARE(panels.openOptions.back().fileTypes,
             (QStringList{QStringLiteral("csv"), QStringLiteral("txt")}));
    QCOMPARE(alerts.shown.size(), std::size_t{2});
    QCOMPARE(alerts.shown.back(),
             (RecordedAlert{QStringLiteral("Cannot read file"),
                            QStringLiteral("\"%1\" cannot be read.").arg(missing)}));

    trigger(window, QStringLiteral("Import &Folder of WAV Files..."));  // cancelled
    QCOMPARE(panels.folderTitles.back(), QStringLiteral("Import Folder"));
    QCOMPARE(alerts.shown.size(), std::size_t{2});
    QVERIFY(alerts.reports.empty());
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

QByteArray MainWindowTest::contentOf(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

std::filesystem::path MainWindowTest::newLibrary(const QString& name) const {
    const std::filesystem::path file = QDir(folder_.path()).filePath(name).toStdString();
    library::RecordingLibrary::create(file);
    return file;
}

void MainWindowTest::importDialogTakesTheSystemZoneHoweverTheListSpellsIt() {
    // Debian's default zone; the list of locations does not spell it this way.
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("Etc/UTC"));
    ImportDialog dialog(QStringLiteral("Pond"), {}, nullptr);
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("Europe/Berlin"));
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QVERIFY(ok->isEnabled());
    QCOMPARE(timeZoneId(*dialog.timeZone()), std::string("Etc/UTC"));

    auto* zone = dialog.findChild<QComboBox*>();
    zone->setCurrentText(QStringLiteral("Asia/Kolkata"));
    QVERIFY(ok->isEnabled());
    QCOMPARE(timeZoneId(*dialog.timeZone()), std::string("Asia/Kolkata"));
    zone->setCurrentText(QStringLiteral("Europe/Atlantis"));
    QVERIFY(!ok->isEnabled());
}

void MainWindowTest::importReportsWhatWentIntoWhichSessionAndWhatWasSkipped() {
    using testing::WavFixture;
    const std::filesystem::path file = newLibrary(QStringLiteral("report.vanelib"));
    const std::filesystem::path recordings =
        QDir(folder_.path()).filePath(QStringLiteral("night")).toStdString();
    WavFixture::write(recordings / "guano.wav",
                      WavFixture::guanoWav("GUANO|Version: 1.0\nLoc Position: 49.6 11.05\n"
                                           "Timestamp: 2012-06-21 21:03:00.1234567+0200\n"));
    WavFixture::write(recordings / "deep" / "SM4_20120621$210400.wav", WavFixture::wav(""));
    WavFixture::write(recordings / "unnamed.wav", WavFixture::wav(""));
    const std::unique_ptr<icu::TimeZone> berlin(icu::TimeZone::createTimeZone("Europe/Berlin"));

    std::size_t lastDone = 0;
    const ImportReport report =
        importFolder(file, recordings, *berlin, library::NewSession{"Night"}, {},
                     [&lastDone](std::size_t done, std::size_t) { lastDone = done; });
    QVERIFY(report.changed);
    QCOMPARE(lastDone, std::size_t{3});
    QVERIFY2(report.message.contains(QStringLiteral("Imported 2 recordings into the session "
                                                    "\"Night\"")),
             qPrintable(report.message));
    QVERIFY(report.message.contains(QStringLiteral("Skipped 1 files")));
    QVERIFY2(report.details.contains(QStringLiteral("unnamed.wav: no GUANO Timestamp")),
             qPrintable(report.details));

    const library::RecordingLibrary library = library::RecordingLibrary::open(file);
    const std::vector<library::LibrarySession> sessions = library.sessions();
    QCOMPARE(sessions.size(), std::size_t{1});
    QCOMPARE(sessions[0].latitude.value(), 49.6);
    QCOMPARE(sessions[0].sampledate, 1340229600.0);  // 2012-06-21 00:00 +02:00
    const auto stored = library.recordings({sessions[0].id});
    QCOMPARE(stored.size(), std::size_t{2});
    QCOMPARE(stored[0].recordingTime, kJune21 + 0.1234567);
    QCOMPARE(stored[1].recordingTime, kJune21 + 60);

    // An identification program's table brings its labels, and the host hands them on.
    const ImportReport table = importClassifierTable(
        file,
        "IN FILE,DATE,TIME,AUTO ID*,MATCH RATIO,MANUAL ID\n"
        "S.wav,2012-06-21,21:05:00,NYCNOC,0.8,\nS.wav,2012-06-21,21:06:00,PIPPIP,0.3,PIPNAT\n",
        *berlin, "id.csv", library::NewSession{"Labelled"}, {});
    QVERIFY2(table.changed, qPrintable(table.message));
    MainWindow window;
    QVERIFY(window.openLibrary(QString::fromStdString(file.string())));
    window.selectSessions({QStringLiteral("Labelled")});
    auto* recordingView = window.findChild<QTableView*>(QStringLiteral("recordings"));
    select(recordingView, {0, 1});
    const Host& host = window;
    const std::vector<Recording> picked = host.selectedRecordings();
    const std::vector<std::string> labels = host.recordingLabels();
    QCOMPARE(picked.size(), std::size_t{2});
    std::vector<std::string> pickedLabels;
    for (const Recording& recording : picked) {
        pickedLabels.push_back(labels.at(recording.label));
        QCOMPARE(recording.manualLabel, labels.at(recording.label) == "PIPNAT");
    }
    std::sort(pickedLabels.begin(), pickedLabels.end());
    QCOMPARE(pickedLabels, (std::vector<std::string>{"NYCNOC", "PIPNAT"}));
}

void MainWindowTest::importsWithNothingToAddOrCancelledLeaveTheLibraryAsItWas() {
    using testing::WavFixture;
    const std::filesystem::path file = newLibrary(QStringLiteral("unchanged.vanelib"));
    const QString fileName = QString::fromStdString(file.string());
    const QByteArray before = contentOf(fileName);
    const std::filesystem::path recordings =
        QDir(folder_.path()).filePath(QStringLiteral("unreadable")).toStdString();
    WavFixture::write(recordings / "unnamed.wav", WavFixture::wav(""));
    const std::unique_ptr<icu::TimeZone> berlin(icu::TimeZone::createTimeZone("Europe/Berlin"));

    // A folder without a single time stamp adds no empty session dated 1970.
    const ImportReport nothing =
        importFolder(file, recordings, *berlin, library::NewSession{"Empty"}, {}, {});
    QVERIFY(!nothing.changed);
    QVERIFY2(nothing.message.contains(QStringLiteral("No recordings were found")),
             qPrintable(nothing.message));
    QVERIFY(nothing.details.contains(QStringLiteral("unnamed.wav")));

    const CsvTable table = splitRecordingCsv("timestamp\n2012-06-21 21:03:00\n21.06.2012\n");
    const ImportReport badRow = importCsv(file, table, guessRecordingColumns(table), *berlin,
                                          "bats.csv", library::NewSession{"Csv"}, {});
    QVERIFY(!badRow.changed);
    QVERIFY2(badRow.message.contains(QStringLiteral("bats.csv:3:")), qPrintable(badRow.message));

    std::stop_source stop;
    stop.request_stop();
    const CsvTable good = splitRecordingCsv("timestamp\n2012-06-21 21:03:00\n");
    const ImportReport cancelled =
        importCsv(file, good, guessRecordingColumns(good), *berlin, "bats.csv",
                  library::NewSession{"Csv"}, stop.get_token());
    QVERIFY(!cancelled.changed);
    QCOMPARE(cancelled.title, QStringLiteral("Import cancelled"));

    QVERIFY(library::RecordingLibrary::open(file).sessions().empty());
    QCOMPARE(contentOf(fileName), before);
}

// A damaged file must never end the program, nor reach the recent list (from which every start
// would open it again); values out of range are left out row by row, with a message.
void MainWindowTest::damagedLibrariesAreMessagesNamingTheFile() {
    auto recorder = std::make_unique<RecordingAlerts>();
    RecordingAlerts& recorded = *recorder;
    MainWindow window(UserDialogs{std::move(recorder), std::make_unique<ScriptedPanels>(),
                                  std::make_unique<RecordingPasteboard>()});
    std::vector<RecordedAlert>& alerts = recorded.shown;
    const auto text = [](const RecordedAlert& alert) {
        return alert.title + QStringLiteral(": ") + alert.message;
    };
    auto* sessions = window.findChild<QTableView*>(QStringLiteral("sessions"));
    auto* recordings = window.findChild<QTableView*>(QStringLiteral("recordings"));
    const auto copy = [this](const QString& name) {
        const QString path = QDir(folder_.path()).filePath(name);
        QFile::remove(path);
        QFile::copy(file_, path);
        return path;
    };

    const QString malformed = copy(QStringLiteral("malformed.vanelib"));
    {
        QFile bytes(malformed);
        QVERIFY(bytes.open(QIODevice::ReadWrite));
        QVERIFY(bytes.seek(1024));
        bytes.write(QByteArray(static_cast<int>(bytes.size()) - 1024, '\0'));
    }
    QVERIFY(!window.openLibrary(malformed));
    QCOMPARE(alerts.size(), std::size_t{1});
    QVERIFY2(text(alerts.front()).startsWith(QStringLiteral("Cannot open library: \"") + malformed),
             qPrintable(text(alerts.front())));
    QVERIFY(!QSettings()
                 .value(QStringLiteral("recentLibraries"))
                 .toStringList()
                 .contains(QFileInfo(malformed).absoluteFilePath()));

    alerts.clear();
    const QString outOfRange = copy(QStringLiteral("out-of-range.vanelib"));
    library::Database(outOfRange.toStdString(), library::Database::Mode::ReadWrite)
        .execute(
            "UPDATE sessions SET sample_date = 1e300 WHERE name = 'July';"
            "UPDATE recordings SET recording_time = -1e300 WHERE id = 2;");
    QVERIFY(window.openLibrary(outOfRange));
    QCOMPARE(sessions->model()->rowCount(), 2);
    QCOMPARE(alerts.size(), std::size_t{1});
    QVERIFY2(
        text(alerts.front()).contains(QStringLiteral("session 2 has a sample date out of range")),
        qPrintable(text(alerts.front())));
    window.selectSessions({QStringLiteral("June")});
    QCOMPARE(recordings->model()->rowCount(), 2);
    QCOMPARE(alerts.size(), std::size_t{2});
    QVERIFY2(text(alerts.back()).contains(QStringLiteral("recording 2 has a time out of range")),
             qPrintable(text(alerts.back())));
}

namespace {

class ScriptedAddress final : public LibraryAddressQuestion {
  public:
    explicit ScriptedAddress(std::optional<QString> answer) : answer_(std::move(answer)) {}
    std::optional<QString> askLibraryAddress(QWidget*) override { return answer_; }

  private:
    std::optional<QString> answer_;
};

std::vector<ImportedRecording> evening(double start, int count) {
    std::vector<ImportedRecording> recordings;
    for (int i = 0; i < count; ++i) {
        recordings.push_back({start + 600.0 * i, 7200, "Europe/Berlin", ""});
    }
    return recordings;
}

}  // namespace

// Another user imports into the library the window shows (a second connection, as from another
// machine): Refresh shows it, and the sessions and recordings the user chose stay chosen.
void MainWindowTest::refreshShowsWhatOthersImportedAndKeepsTheSelection() {
    const std::filesystem::path shared = newLibrary(QStringLiteral("shared.vanelib"));
    library::RecordingLibrary other = library::RecordingLibrary::open(shared);
    other.importRecordings(library::NewSession{"Mine", 1340229600.0, {}, {}, ""},
                           evening(kJune21, 2));
    MainWindow window(UserDialogs{std::make_unique<RecordingAlerts>(),
                                  std::make_unique<ScriptedPanels>(),
                                  std::make_unique<RecordingPasteboard>()});
    QVERIFY(window.openLibrary(QString::fromStdString(shared.string())));
    auto* sessions = window.findChild<QTableView*>(QStringLiteral("sessions"));
    auto* recordings = window.findChild<QTableView*>(QStringLiteral("recordings"));
    select(sessions, {0});
    select(recordings, {1});
    const Host& host = window;
    QCOMPARE(host.selectedRecordings().at(0).recordingTime, kJune21 + 600);

    const std::int64_t mine = other.sessions().at(0).id;
    other.importRecordings(mine, evening(kJune21 - 3600, 1));
    other.importRecordings(library::NewSession{"Theirs", 1342821600.0, {}, {}, ""},
                           evening(kJune21 + 30 * 86400, 1));
    QCOMPARE(sessions->model()->rowCount(), 1);
    trigger(window, QStringLiteral("Re&fresh"));
    QCOMPARE(sessions->model()->rowCount(), 2);
    QCOMPARE(recordings->model()->rowCount(), 3);
    QCOMPARE(host.selectedSessions().size(), std::size_t{1});
    QCOMPARE(host.selectedSessions()[0].recordingCount, std::int64_t{3});
    QCOMPARE(host.selectedRecordings().size(), std::size_t{1});
    QCOMPARE(host.selectedRecordings()[0].recordingTime, kJune21 + 600);

    // Nothing changed: nothing moves.
    window.refresh();
    QCOMPARE(host.selectedRecordings().size(), std::size_t{1});
    QCOMPARE(recordings->model()->rowCount(), 3);
}

void MainWindowTest::opensASharedLibraryByItsAddress() {
    const char* server = std::getenv("VANE_TEST_POSTGRESQL_URL");
    if (!server || !*server) {
        const char* required = std::getenv("VANE_TEST_POSTGRESQL_REQUIRED");
        if (required && std::string(required) == "1") {
            QFAIL("VANE_TEST_POSTGRESQL_URL is not set");
        }
        QSKIP(
            "No PostgreSQL server: set VANE_TEST_POSTGRESQL_URL, or run the tests through "
            "scripts/with-postgres.sh (scripts/test.sh does).");
    }
    const std::string database =
        "vane_desk_test_" + std::to_string(QCoreApplication::applicationPid());
    library::PostgresConnection(server).execute("CREATE DATABASE " + database);
    const std::string url = std::string(server);
    const std::size_t query = url.find('?');
    const std::size_t path = url.find('/', url.find("://") + 3);
    const std::string address = url.substr(0, std::min(path, query)) + "/" + database +
                                (query == std::string::npos ? "" : url.substr(query));
    {
        library::RecordingLibrary::create(address).importRecordings(
            library::NewSession{"On the server", 1340229600.0, {}, {}, ""}, evening(kJune21, 2));
        MainWindow window(UserDialogs{std::make_unique<RecordingAlerts>(),
                                      std::make_unique<ScriptedPanels>(),
                                      std::make_unique<RecordingPasteboard>()});
        window.setLibraryAddressQuestion(
            std::make_unique<ScriptedAddress>(QString::fromStdString(address)));
        trigger(window, QStringLiteral("Open &Shared Library..."));
        QCOMPARE(window.windowTitle(), QString::fromStdString(address) + QStringLiteral(" - Vane"));
        auto* sessions = window.findChild<QTableView*>(QStringLiteral("sessions"));
        QCOMPARE(sessions->model()->rowCount(), 1);
        QCOMPARE(QSettings().value(QStringLiteral("recentLibraries")).toStringList().value(0),
                 QString::fromStdString(address));
    }
    library::PostgresConnection(server).execute("DROP DATABASE " + database + " WITH (FORCE)");
}

}  // namespace vane

QTEST_MAIN(vane::MainWindowTest)
#include "main_window_test.moc"
