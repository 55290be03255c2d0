#include "host/desk/main_window.h"

#include <unicode/timezone.h>

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>
#include <algorithm>
#include <cstdlib>
#include <deque>

#include "host/desk/desk_dialogs.h"
#include "host/desk/dropped_sources.h"
#include "host/desk/import_dialog.h"
#include "host/desk/import_runner.h"
#include "host/desk/library_editor.h"
#include "host/desk/session_dialog.h"
#include "library/postgres_connection.h"
#include "library/recording_library.h"
#include "library/sqlite_database.h"
#include "tests/core/recordings/wav_fixture.h"
#include "tests/plugin_api/recording_dialogs.h"

namespace vane {

// Answers the questions before a removal from a script, noting what was asked.
class ScriptedQuestions final : public Questions {
  public:
    bool confirm(QWidget*, const QString& title, const QString& message,
                 const QString& action) override {
        asked.push_back({title, message + QStringLiteral(" [") + action + QStringLiteral("]")});
        const bool answer = !answers.empty() && answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return answer;
    }
    std::deque<bool> answers;
    std::vector<RecordedAlert> asked;
};

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
    void importDialogShowsTheSiteANewSessionGets();
    void importReportsWhatWentIntoWhichSessionAndWhatWasSkipped();
    void importsWithNothingToAddOrCancelledLeaveTheLibraryAsItWas();
    void importingTheSameFolderAgainAddsOnlyWhatIsNew();
    void deletionsAndEditsAreUndoneToTheLastRow();
    void aCsvListWithBadLinesImportsTheGoodOnesAndListsTheBad();
    void droppedFoldersAndListsAreImported();
    void sessionDialogTakesBothCoordinatesOrNeither();
    void anEditedSessionIsOneStepToUndo();
    void refreshShowsWhatOthersImportedAndKeepsTheSelection();
    void opensASharedLibraryByItsAddress();
    void aStartOpensTheLastLibraryStillThereElseTheDefaultOne();

  private:
    static void select(QTableView* view, const std::vector<int>& rows);
    static QByteArray contentOf(const QString& file);
    static void trigger(const MainWindow& window, const QString& menuText);
    static void press(const MainWindow& window, const QKeySequence& keys);
    static QString rowsOf(const QString& file);
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
    QCOMPARE(chosen[0].sampleDate, 1340229600.0);
    QCOMPARE(chosen[0].recordingCount, std::int64_t{3});
    QCOMPARE(chosen[0].latitude.value(), 49.6);
    QCOMPARE(chosen[1].recordingCount, std::int64_t{4});
    QCOMPARE(chosen[1].longitude.value(), 12.0);
    QCOMPARE(recordings->model()->rowCount(), 7);
    // Sessions chosen without any of their recordings stand for all of them, so that a plug-in
    // starts from a session alone.
    QCOMPARE(host.selectedRecordings().size(), std::size_t{7});

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
    QCOMPARE(host.selectedRecordings().size(), std::size_t{2});
    window.selectSessions({});
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
    QCOMPARE(panels.saveOptions.size(), std::size_t{1});
    press(window, QKeySequence::New);  // cancelled
    QCOMPARE(panels.saveOptions.size(), std::size_t{2});
    QCOMPARE(panels.saveOptions.back().title, QStringLiteral("New Library"));
    QCOMPARE(panels.saveOptions.back().fileTypes, QStringList{QStringLiteral("vanelib")});
    QVERIFY(!panels.saveOptions.back().confirmOverwrite);  // the library refuses an existing file
    QVERIFY(QFile::exists(created));
    QCOMPARE(window.windowTitle(), QStringLiteral("new.vanelib - Vane"));

    trigger(window, QStringLiteral("&Open Library..."));  // cancelled
    QCOMPARE(panels.openOptions.back().title, QStringLiteral("Open Library"));
    QCOMPARE(window.windowTitle(), QStringLiteral("new.vanelib - Vane"));

    // Typed without its type, the library gets it, so that Open Library can show it.
    const QString typeless = QDir(folder_.path()).filePath(QStringLiteral("typed"));
    panels.saveAnswers.push_back(SavePanelChoice{typeless, QStringLiteral("vanelib")});
    trigger(window, QStringLiteral("&New Library..."));
    QVERIFY(QFile::exists(typeless + QStringLiteral(".vanelib")));
    QVERIFY(!QFile::exists(typeless));
    QCOMPARE(window.windowTitle(), QStringLiteral("typed.vanelib - Vane"));

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
    ImportDialog dialog(QStringLiteral("Pond"), {}, &table, std::nullopt);
    const RecordingColumns columns = dialog.columns();
    QVERIFY(!columns.timestamp);
    QCOMPARE(columns.date, std::optional<std::size_t>{1});
    QCOMPARE(columns.time, std::optional<std::size_t>{2});
    QCOMPARE(columns.file, std::optional<std::size_t>{0});
    const auto target = dialog.target();
    QCOMPARE(std::get<library::NewSession>(target).name, std::string("Pond"));
    QVERIFY(dialog.timeZone() != nullptr);

    // A table of its own kind: the time, label and probability columns are chosen in the dialog,
    // over a preview of the first rows; without a time the import cannot start.
    std::string text = "when;what;certainty;note\n";
    for (int row = 0; row < 20; ++row) {
        text += "2012-06-21 21:" + std::to_string(10 + row) + ":00;NYCNOC;0.9;\n";
    }
    const CsvTable own = splitRecordingCsv(text);
    ImportDialog chooser(QStringLiteral("Own"), {}, &own, std::nullopt);
    QPushButton* ok = chooser.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    auto* preview = chooser.findChild<QTableWidget*>(QStringLiteral("preview"));
    QCOMPARE(preview->rowCount(), 8);
    QCOMPARE(preview->horizontalHeaderItem(1)->text(), QStringLiteral("what"));
    QCOMPARE(preview->item(0, 0)->text(), QStringLiteral("2012-06-21 21:10:00"));
    QCOMPARE(chooser.columns().timestamp, std::optional<std::size_t>{0});
    QVERIFY(!chooser.columns().label);
    chooser.findChild<QComboBox*>(QStringLiteral("labelColumn"))->setCurrentText("what");
    chooser.findChild<QComboBox*>(QStringLiteral("probabilityColumn"))->setCurrentText("certainty");
    QCOMPARE(chooser.columns().label, std::optional<std::size_t>{1});
    QCOMPARE(chooser.columns().probability, std::optional<std::size_t>{2});
    QVERIFY(ok->isEnabled());
    chooser.findChild<QComboBox*>(QStringLiteral("timestampColumn"))->setCurrentIndex(0);
    QVERIFY(!ok->isEnabled());

    // Named as people name them, label and probability are guessed.
    const CsvTable named =
        splitRecordingCsv("Time,Species,Probability\n2012-06-21 21:03,NYCNOC,1\n");
    const RecordingColumns guessed =
        ImportDialog(QStringLiteral("N"), {}, &named, std::nullopt).columns();
    QCOMPARE(guessed.label, std::optional<std::size_t>{1});
    QCOMPARE(guessed.probability, std::optional<std::size_t>{2});
}

void MainWindowTest::importDialogShowsTheSiteANewSessionGets() {
    library::LibrarySession june{1, "June", 1340229600.0, 50.25, 12.5, "", 3};
    ImportDialog dialog(QStringLiteral("Pond"), {june}, nullptr, GeoPosition{49.6, 11.05});
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    auto* latitude = dialog.findChild<QLineEdit*>(QStringLiteral("latitude"));
    auto* longitude = dialog.findChild<QLineEdit*>(QStringLiteral("longitude"));
    QCOMPARE(latitude->text(), QStringLiteral("49.600000"));
    QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("siteNote"))
                ->text()
                .contains(QStringLiteral("GUANO Loc Position")));
    auto session = std::get<library::NewSession>(dialog.target());
    QCOMPARE(session.latitude, std::optional<double>(49.6));
    QCOMPARE(session.longitude, std::optional<double>(11.05));

    // Edited: the new session takes what was typed; half a site is refused, none is allowed.
    latitude->setText(QStringLiteral("49.7"));
    QCOMPARE(std::get<library::NewSession>(dialog.target()).latitude, std::optional<double>(49.7));
    longitude->clear();
    QVERIFY(!ok->isEnabled());
    latitude->clear();
    QVERIFY(ok->isEnabled());
    QVERIFY(!std::get<library::NewSession>(dialog.target()).latitude);

    // An existing session shows its own site, not to be edited here; back to a new one, the
    // typed site returns.
    latitude->setText(QStringLiteral("1"));
    longitude->setText(QStringLiteral("2"));
    dialog.findChildren<QRadioButton*>().at(1)->setChecked(true);
    QCOMPARE(latitude->text(), QStringLiteral("50.250000"));
    QVERIFY(!latitude->isEnabled());
    QCOMPARE(std::get<std::int64_t>(dialog.target()), std::int64_t{1});
    dialog.findChildren<QRadioButton*>().at(0)->setChecked(true);
    QCOMPARE(latitude->text(), QStringLiteral("1"));
    QCOMPARE(std::get<library::NewSession>(dialog.target()).longitude, std::optional<double>(2.0));

    // Files that give no site, or disagree: the fields start empty and say why.
    ImportDialog none(QStringLiteral("Pond"), {}, nullptr, std::nullopt);
    QVERIFY(none.findChild<QLineEdit*>(QStringLiteral("latitude"))->text().isEmpty());
    QVERIFY(none.findChild<QLabel*>(QStringLiteral("siteNote"))
                ->text()
                .contains(QStringLiteral("disagree")));
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
    ImportDialog dialog(QStringLiteral("Pond"), {}, nullptr, std::nullopt);
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

    // The dialog proposes the site the files give, and the new session takes it.
    ImportDialog dialog(QStringLiteral("Night"), {}, nullptr, agreedGuanoPosition(recordings));
    std::size_t lastDone = 0;
    const ImportReport report =
        importFolder(file, recordings, *berlin, dialog.target(), {},
                     [&lastDone](std::size_t done, std::size_t) { lastDone = done; });
    QVERIFY(report.changed);
    QCOMPARE(lastDone, std::size_t{3});
    QVERIFY2(report.message.contains(QStringLiteral("Imported 2 recordings into the session "
                                                    "\"Night\"")),
             qPrintable(report.message));
    QVERIFY(report.message.contains(QStringLiteral("Skipped 1 file;")));
    QVERIFY2(report.details.contains(QStringLiteral("unnamed.wav: no GUANO Timestamp")),
             qPrintable(report.details));

    const library::RecordingLibrary library = library::RecordingLibrary::open(file);
    const std::vector<library::LibrarySession> sessions = library.sessions().rows;
    QCOMPARE(sessions.size(), std::size_t{1});
    QCOMPARE(sessions[0].latitude.value(), 49.6);
    QCOMPARE(sessions[0].longitude.value(), 11.05);
    QCOMPARE(sessions[0].sampleDate, 1340229600.0);  // 2012-06-21 00:00 +02:00
    const auto stored = library.recordings({sessions[0].id}).rows;
    QCOMPARE(stored.size(), std::size_t{2});
    QCOMPARE(stored[0].recordingTime, kJune21 + 0.1234567);
    QCOMPARE(stored[1].recordingTime, kJune21 + 60);

    // An identification program's table brings its labels, and the host hands them on.
    const ImportReport table = importClassifierTable(
        file,
        "IN FILE,DATE,TIME,AUTO ID*,MATCH RATIO,MANUAL ID\n"
        "S.wav,2012-06-21,21:05:00,NYCNOC,0.8,\nS.wav,2012-06-21,21:06:00,PIPPIP,0.3,PIPNAT\n"
        "T.wav,2012-06-21,21:07:00,PIPPIP,high,\n",
        *berlin, "id.csv", library::NewSession{"Labelled"}, {});
    QVERIFY2(table.changed, qPrintable(table.message));
    // A row that cannot be read is listed, the others are imported.
    QCOMPARE(table.message, QStringLiteral("Imported 2 recordings into the session \"Labelled\". "
                                           "Left out 1 row that could not be read; see the "
                                           "details."));
    QCOMPARE(table.details, QStringLiteral("id.csv:4: expected a probability from 0 to 1 in "
                                           "\"MATCH RATIO\", found \"high\"\n"));
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
    // The table shows them, a person's label marked, the probability as a number.
    const QAbstractItemModel* shown = recordingView->model();
    QCOMPARE(shown->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Label"));
    QCOMPARE(shown->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Probability"));
    QCOMPARE(shown->index(0, 1).data().toString(), QStringLiteral("NYCNOC"));
    QCOMPARE(shown->index(0, 2).data().toString(), QStringLiteral("0.80"));
    QCOMPARE(shown->index(1, 1).data().toString(), QStringLiteral("PIPNAT \u2713"));
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

    const CsvTable table = splitRecordingCsv("timestamp\n21.06.2012\n");
    const ImportReport badRow = importCsv(file, table, {.timestamp = 0}, *berlin, "bats.csv",
                                          library::NewSession{"Csv"}, {});
    QVERIFY(!badRow.changed);
    QVERIFY2(badRow.message.contains(QStringLiteral("No recordings were found")),
             qPrintable(badRow.message));
    QVERIFY2(badRow.details.startsWith(QStringLiteral("bats.csv:2: expected a date and time")),
             qPrintable(badRow.details));

    std::stop_source stop;
    stop.request_stop();
    const CsvTable good = splitRecordingCsv("timestamp\n2012-06-21 21:03:00\n");
    const ImportReport cancelled =
        importCsv(file, good, guessRecordingColumns(good), *berlin, "bats.csv",
                  library::NewSession{"Csv"}, stop.get_token());
    QVERIFY(!cancelled.changed);
    QCOMPARE(cancelled.title, QStringLiteral("Import cancelled"));

    QVERIFY(library::RecordingLibrary::open(file).sessions().rows.empty());
    QCOMPARE(contentOf(fileName), before);
}

void MainWindowTest::importingTheSameFolderAgainAddsOnlyWhatIsNew() {
    using testing::WavFixture;
    const std::filesystem::path file = newLibrary(QStringLiteral("twice.vanelib"));
    const std::filesystem::path folder =
        QDir(folder_.path()).filePath(QStringLiteral("twice")).toStdString();
    WavFixture::write(folder / "SM4_20120621_210300.wav", WavFixture::wav(""));
    WavFixture::write(folder / "SM4_20120621_210400.wav", WavFixture::wav(""));
    const std::unique_ptr<icu::TimeZone> berlin(icu::TimeZone::createTimeZone("Europe/Berlin"));
    const auto import = [&](const library::ImportTarget& target) {
        return importFolder(file, folder, *berlin, target, {}, {});
    };

    QVERIFY(import(library::NewSession{"Night"}).changed);
    // Into a new session, as the dialog proposes, or into the same one: nothing is added twice.
    const ImportReport again = import(library::NewSession{"Night again"});
    QVERIFY(!again.changed);
    QCOMPARE(again.title, QStringLiteral("Nothing imported"));
    QCOMPARE(again.message,
             QStringLiteral("All 2 recordings are in the library already; it is unchanged."));
    const std::int64_t night = library::RecordingLibrary::open(file).sessions().rows.at(0).id;
    QVERIFY(!import(night).changed);

    WavFixture::write(folder / "SM4_20120621_210500.wav", WavFixture::wav(""));
    const ImportReport more = import(night);
    QVERIFY(more.changed);
    QCOMPARE(more.message, QStringLiteral("Imported 1 recording into the session \"Night\". "
                                          "Skipped 2 recordings already in the library."));
    const library::RecordingLibrary library = library::RecordingLibrary::open(file);
    QCOMPARE(library.sessions().rows.size(), std::size_t{1});
    QCOMPARE(library.recordings({night}).rows.size(), std::size_t{3});
}

void MainWindowTest::aCsvListWithBadLinesImportsTheGoodOnesAndListsTheBad() {
    const std::filesystem::path file = newLibrary(QStringLiteral("partial.vanelib"));
    const std::unique_ptr<icu::TimeZone> berlin(icu::TimeZone::createTimeZone("Europe/Berlin"));
    const CsvTable table = splitRecordingCsv(
        "time,file,species,p\n"
        "2012-06-21 21:03:00,a.wav,NYCNOC,0.9\n"
        "2012-06-21 25:00:00,b.wav,NYCNOC,0.9\n"
        "2012-06-21 21:05:00,c.wav,PIPPIP,0.4\n"
        "2012-06-21 21:06:00,d.wav,PIPPIP,40\n");
    RecordingColumns columns{0, {}, {}, 1, 2, 3};
    const ImportReport report =
        importCsv(file, table, columns, *berlin, "list.csv", library::NewSession{"Csv"}, {});
    QVERIFY(report.changed);
    QCOMPARE(report.message,
             QStringLiteral("Imported 2 recordings into the session \"Csv\". Left out 2 rows "
                            "that could not be read; see the details."));
    QCOMPARE(report.details,
             QStringLiteral("list.csv:3: expected a date and time such as 2012-06-21 21:03:00, "
                            "found time \"2012-06-21 25:00:00\"\n"
                            "list.csv:5: expected a probability from 0 to 1 in p, found \"40\"\n"));
    const library::RecordingLibrary library = library::RecordingLibrary::open(file);
    const auto stored = library.recordings({library.sessions().rows.at(0).id}).rows;
    QCOMPARE(stored.size(), std::size_t{2});
    // The list is no file on disk: its names are taken in the working folder.
    QCOMPARE(stored[0].filePath,
             (std::filesystem::canonical(std::filesystem::current_path()) / "a.wav").string());
    QCOMPARE(stored[1].label, std::string("PIPPIP"));
    QCOMPARE(stored[1].probability, std::optional<double>(0.4));

    // Again: the good rows are there already, the bad ones are still listed.
    const ImportReport again =
        importCsv(file, table, columns, *berlin, "list.csv", library::NewSession{"Csv"}, {});
    QVERIFY(!again.changed);
    QVERIFY2(again.message.startsWith(QStringLiteral("All 2 recordings are in the library")),
             qPrintable(again.message));
    QVERIFY(again.details.contains(QStringLiteral("list.csv:5:")));
}

void MainWindowTest::droppedFoldersAndListsAreImported() {
    using testing::WavFixture;
    const std::filesystem::path file = newLibrary(QStringLiteral("dropped.vanelib"));
    const QDir dir(folder_.path());
    const std::filesystem::path wavs = dir.filePath(QStringLiteral("drop-night")).toStdString();
    WavFixture::write(wavs / "SM4_20120621_210300.wav", WavFixture::wav(""));
    const QString list = dir.filePath(QStringLiteral("drop-list.csv"));
    {
        QFile out(list);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("time\n2012-06-22 22:00:00\n");
    }
    const QString single = QString::fromStdString((wavs / "SM4_20120621_210300.wav").string());
    const QList<QUrl> urls = {QUrl::fromLocalFile(QString::fromStdString(wavs.string())),
                              QUrl::fromLocalFile(list), QUrl::fromLocalFile(single)};
    const DroppedSources sources = droppedSources(urls);
    QCOMPARE(sources.folders, QStringList{QString::fromStdString(wavs.string())});
    QCOMPARE(sources.lists, QStringList{list});
    QCOMPARE(sources.refused, QStringList{single});

    auto alertRecorder = std::make_unique<RecordingAlerts>();
    const RecordingAlerts& alerts = *alertRecorder;
    MainWindow window(UserDialogs{std::move(alertRecorder), std::make_unique<ScriptedPanels>(),
                                  std::make_unique<RecordingPasteboard>()});
    QVERIFY(window.openLibrary(QString::fromStdString(file.string())));
    // Each import asks with its dialog; here the user takes what it proposes.
    QTimer accepter;
    connect(&accepter, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<ImportDialog*>(QApplication::activeModalWidget())) {
            dialog->accept();
        }
    });
    accepter.start(10);
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    accepter.stop();

    QCOMPARE(alerts.shown.size(), std::size_t{1});
    QVERIFY(alerts.shown[0].message.contains(single));
    QCOMPARE(alerts.reports.size(), std::size_t{2});
    QVERIFY2(alerts.reports[0].message.startsWith(
                 QStringLiteral("Imported 1 recording into the session \"drop-night\"")),
             qPrintable(alerts.reports[0].message));
    QVERIFY2(alerts.reports[1].message.startsWith(
                 QStringLiteral("Imported 1 recording into the session \"drop-list\"")),
             qPrintable(alerts.reports[1].message));
    QCOMPARE(window.findChild<QTableView*>(QStringLiteral("sessions"))->model()->rowCount(), 2);

    // Nothing to import: the drop is not taken.
    QMimeData other;
    other.setUrls({QUrl::fromLocalFile(single)});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
    refused.ignore();
    QApplication::sendEvent(&window, &refused);
    QVERIFY(!refused.isAccepted());
}

void MainWindowTest::press(const MainWindow& window, const QKeySequence& keys) {
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->shortcut() == keys && action->isEnabled()) {
            action->trigger();
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("nothing enabled under ") + keys.toString()));
}

// Every row of both tables with the type of each value.
QString MainWindowTest::rowsOf(const QString& file) {
    const library::Database database(file.toStdString(), library::Database::Mode::ReadOnly);
    QString rows;
    for (const char* sql :
         {"SELECT quote(id) || quote(name) || quote(sample_date) || quote(latitude) || "
          "quote(longitude) || quote(notes) FROM sessions ORDER BY id",
          "SELECT quote(id) || quote(session_id) || quote(recording_time) || quote(utc_offset) || "
          "quote(time_zone) || quote(file_path) || quote(label) || quote(probability) || "
          "quote(manual_label) FROM recordings ORDER BY id"}) {
        library::Statement select(database, sql);
        while (select.step()) {
            rows += QString::fromStdString(select.textAt(0)) + '\n';
        }
    }
    return rows;
}

void MainWindowTest::deletionsAndEditsAreUndoneToTheLastRow() {
    const QString file = QDir(folder_.path()).filePath(QStringLiteral("edit.vanelib"));
    QFile::remove(file);
    QVERIFY(QFile::copy(file_, file));
    auto questionScript = std::make_unique<ScriptedQuestions>();
    ScriptedQuestions& questions = *questionScript;
    auto alertRecorder = std::make_unique<RecordingAlerts>();
    const RecordingAlerts& alerts = *alertRecorder;
    MainWindow window(UserDialogs{std::move(alertRecorder), std::make_unique<ScriptedPanels>(),
                                  std::make_unique<RecordingPasteboard>()},
                      std::move(questionScript));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(window.openLibrary(file));
    auto* sessions = window.findChild<QTableView*>(QStringLiteral("sessions"));
    auto* recordings = window.findChild<QTableView*>(QStringLiteral("recordings"));
    const QString before = rowsOf(file);

    // Cancelled, nothing goes; confirmed, both sessions go with their recordings.
    window.selectSessions({QStringLiteral("June"), QStringLiteral("August")});
    sessions->setFocus();
    questions.answers = {false, true};
    press(window, QKeySequence::Delete);
    QCOMPARE(rowsOf(file), before);
    press(window, QKeySequence::Delete);
    QCOMPARE(questions.asked.size(), std::size_t{2});
    QCOMPARE(questions.asked.back(),
             (RecordedAlert{QStringLiteral("Delete Sessions"),
                            QStringLiteral("Delete 2 sessions with their 7 recordings from the "
                                           "library? Edit > Undo brings them back until the "
                                           "library is closed. [Delete]")}));
    QCOMPARE(sessions->model()->rowCount(), 1);
    QCOMPARE(library::RecordingLibrary::open(file.toStdString()).sessions().rows.size(),
             std::size_t{1});

    // With the focus in the recordings table, Delete takes the selected recordings.
    window.selectSessions({QStringLiteral("July")});
    select(recordings, {1});
    recordings->setFocus();
    QVERIFY(recordings->hasFocus());
    questions.answers = {true};
    press(window, QKeySequence::Delete);
    QVERIFY2(questions.asked.back().message.startsWith(QStringLiteral("Delete 1 recording from")),
             qPrintable(questions.asked.back().message));
    QCOMPARE(recordings->model()->rowCount(), 1);

    // Renamed and given a site; the table shows it at once.
    auto* editor = window.findChild<LibraryEditor*>();
    library::LibrarySession july =
        library::RecordingLibrary::open(file.toStdString()).sessions().rows[0];
    library::LibrarySession renamed = july;
    renamed.name = "July at the pond";
    renamed.latitude = 49.61;
    renamed.longitude = 11.04;
    editor->changeSession(july, renamed);
    QCOMPARE(sessions->model()->index(0, 0).data().toString(), QStringLiteral("July at the pond"));
    // Read in London instead: the recorder's clock stays, the instants move an hour.
    const double wasAt = library::RecordingLibrary::open(file.toStdString())
                             .recordings({july.id})
                             .rows.at(0)
                             .recordingTime;
    editor->changeSessionZone(renamed, QStringLiteral("Europe/London"));
    QCOMPARE(library::RecordingLibrary::open(file.toStdString())
                 .recordings({july.id})
                 .rows.at(0)
                 .recordingTime,
             wasAt + 3600);
    const QString edited = rowsOf(file);

    for (int step = 0; step < 4; ++step) {
        press(window, QKeySequence::Undo);
    }
    QCOMPARE(rowsOf(file), before);
    QCOMPARE(sessions->model()->rowCount(), 3);
    for (int step = 0; step < 4; ++step) {
        press(window, QKeySequence::Redo);
    }
    QCOMPARE(rowsOf(file), edited);
    QVERIFY(alerts.shown.empty());

    // Another library starts a new history.
    QVERIFY(window.openLibrary(file_));
    QVERIFY(!editor->undoStack()->canUndo());
}

void MainWindowTest::anEditedSessionIsOneStepToUndo() {
    const QString file = QDir(folder_.path()).filePath(QStringLiteral("one-step.vanelib"));
    QFile::remove(file);
    QVERIFY(QFile::copy(file_, file));
    MainWindow window(UserDialogs{std::make_unique<RecordingAlerts>(),
                                  std::make_unique<ScriptedPanels>(),
                                  std::make_unique<RecordingPasteboard>()});
    QVERIFY(window.openLibrary(file));
    const QString before = rowsOf(file);
    window.selectSessions({QStringLiteral("June")});
    QTimer editor;
    connect(&editor, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<SessionDialog*>(QApplication::activeModalWidget())) {
            dialog->findChild<QLineEdit*>(QStringLiteral("name"))->setText(QStringLiteral("Juni"));
            dialog->findChild<QComboBox*>(QStringLiteral("zone"))
                ->setCurrentText(QStringLiteral("UTC"));
            dialog->accept();
        }
    });
    editor.start(10);
    press(window, QKeySequence(Qt::Key_F2));
    editor.stop();
    const library::RecordingLibrary library = library::RecordingLibrary::open(file.toStdString());
    const library::LibrarySession juni = library.sessions().rows.at(0);
    QCOMPARE(juni.name, std::string("Juni"));
    QCOMPARE(library.recordings({juni.id}).rows.at(0).recordingTime, kJune21 + 7200);
    QCOMPARE(library.sessionTimeZones(juni.id), std::vector<std::string>{"UTC"});
    press(window, QKeySequence::Undo);
    QCOMPARE(rowsOf(file), before);
}

void MainWindowTest::sessionDialogTakesBothCoordinatesOrNeither() {
    const library::LibrarySession pond{7, "Pond", 1340229600.0, 49.123456789, 11.05, "dry", 3};
    SessionDialog dialog(pond, {"Europe/Berlin"});
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("name"));
    auto* latitude = dialog.findChild<QLineEdit*>(QStringLiteral("latitude"));
    auto* longitude = dialog.findChild<QLineEdit*>(QStringLiteral("longitude"));
    // Only the name changed: the site keeps every digit, not the six shown.
    name->setText(QStringLiteral(" Pond north "));
    QVERIFY(ok->isEnabled());
    QCOMPARE(dialog.edited()->name, std::string("Pond north"));
    QCOMPARE(dialog.edited()->latitude, std::optional<double>(49.123456789));
    QCOMPARE(dialog.edited()->notes, std::string("dry"));

    const struct {
        const char* latitude;
        const char* longitude;
        bool valid;
    } cases[] = {{"", "", true},      {"50.5", "-3.25", true}, {"50.5", "", false},
                 {"91", "0", false},  {"0", "181", false},     {"north", "0", false},
                 {"-90", "180", true}};
    for (const auto& c : cases) {
        latitude->setText(QString::fromLatin1(c.latitude));
        longitude->setText(QString::fromLatin1(c.longitude));
        QCOMPARE(ok->isEnabled(), c.valid);
        QCOMPARE(dialog.edited().has_value(), c.valid);
    }
    latitude->setText(QStringLiteral("50.5"));
    longitude->setText(QStringLiteral("-3.25"));
    QCOMPARE(dialog.edited()->longitude, std::optional<double>(-3.25));

    // The zone: the one the times were read in, another one chosen, or one that does not exist.
    auto* zone = dialog.findChild<QComboBox*>(QStringLiteral("zone"));
    QCOMPARE(zone->currentText(), QStringLiteral("Europe/Berlin"));
    QVERIFY(!dialog.changedZone());
    zone->setCurrentText(QStringLiteral("Europe/London"));
    QCOMPARE(dialog.changedZone(), std::optional<QString>(QStringLiteral("Europe/London")));
    zone->setCurrentText(QStringLiteral("Europe/Atlantis"));
    QVERIFY(!ok->isEnabled());
    QVERIFY(!dialog.changedZone());
    zone->setCurrentText(QStringLiteral("Europe/Berlin"));
    QVERIFY(ok->isEnabled());
    name->clear();
    QVERIFY(!ok->isEnabled());

    // Times that all carry their own offset have no zone to change.
    const SessionDialog offsets(pond, {});
    QVERIFY(!offsets.findChild<QComboBox*>(QStringLiteral("zone"))->isEnabled());
    QVERIFY(!offsets.changedZone());
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
// machine): Refresh, or coming back to the window, shows it, and the sessions and recordings the
// user chose stay chosen.
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

    const std::int64_t mine = other.sessions().rows.at(0).id;
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

    // Coming back to the window from another one shows what was imported meanwhile.
    window.show();
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    other.importRecordings(mine, evening(kJune21 - 7200, 1));
    QCOMPARE(recordings->model()->rowCount(), 3);
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(recordings->model()->rowCount(), 4);
    QCOMPARE(host.selectedRecordings()[0].recordingTime, kJune21 + 600);
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

void MainWindowTest::aStartOpensTheLastLibraryStillThereElseTheDefaultOne() {
    const QString key = QStringLiteral("recentLibraries");
    const QVariant recentBefore = QSettings().value(key);
    const QString gone = QDir(folder_.path()).filePath(QStringLiteral("gone.vanelib"));
    const QString fallback = QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                                 .filePath(QStringLiteral("Library.vanelib"));
    const struct {
        QStringList recent;
        QString opened;
    } cases[] = {
        {{file_, gone}, file_},
        {{gone, file_}, fallback},  // the first only counts, and it is gone
        {{}, fallback},
    };
    for (const auto& c : cases) {
        QSettings().setValue(key, c.recent);
        MainWindow window(UserDialogs{std::make_unique<RecordingAlerts>(),
                                      std::make_unique<ScriptedPanels>(),
                                      std::make_unique<RecordingPasteboard>()});
        window.openAtStart();
        QVERIFY(window.library());
        QCOMPARE(QString::fromStdString(window.library()->location().text()), c.opened);
        QCOMPARE(QSettings().value(key).toStringList().value(0), c.opened);
    }
    QVERIFY(!QFileInfo::exists(gone));
    QFile::remove(fallback);
    QSettings().setValue(key, recentBefore);
}

}  // namespace vane

QTEST_MAIN(vane::MainWindowTest)
#include "main_window_test.moc"
