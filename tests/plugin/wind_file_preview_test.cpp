#include "plugin/wind_file_preview.h"

#include <unicode/strenum.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "cli/analyse_command.h"
#include "core/import/text_encodings.h"
#include "core/time/local_time.h"
#include "core/time/utc_offset.h"
#include "plugin/time_zone_titles.h"
#include "plugin_test_support.h"
#include "tests/plugin_api/recording_dialogs.h"
#include "tests/wind_file_choices_text.h"
#include "tests/wind_file_shapes.h"

namespace vane::plugin::testing {

// The preview on its own, as any plug-in that reads a wind file holds it: over a window of the
// plug-in's, with a recorder in place of each dialog.
struct PreviewUnderTest {
    template <typename Widget>
    Widget* control(const char* name) const {
        return preview.sheet()->findChild<Widget*>(QString::fromLatin1(name));
    }

    void choose(const char* chooserName, int index) const {
        chooseItem(control<QComboBox>(chooserName), index);
    }
    void click(const char* buttonName) const { clickButton(control<QAbstractButton>(buttonName)); }

    // Answers the open panel with `file`; the zone's offset is taken at the first recording.
    void open(const QString& file) {
        panels.openAnswers.push_back(file);
        preview.chooseFile(exampleRecordings().front().recordingTime);
    }

    QWidget window;
    RecordingAlerts alerts;
    ScriptedPanels panels;
    WindFilePreview preview{alerts, panels, &window};
};

class WindFilePreviewTest : public QObject {
    Q_OBJECT

  private slots:
    void endsWithTheButtonPressedAndKeepsTheTableAndChoices();
    void guessesSelectColumnsButLeaveTheFlagsToTheUser();
    void lineEndingChangeSplitsOneTenthOfASecondLater();
    void rereadsTheFileInAnotherEncoding();
    void encodingChooserShowsTheEncodingReadAndThePreviewIsCut();
    void aFailedLoadKeepsTheLastFileAndTable();
    void anEmptyFileShowsNoColumnsOfTheFileBefore();
    void timeZoneChooserOffersEveryOffsetInUse();
    void systemZoneIsOfferedOnlyWhenItHasARegionName();
    void findsTheHeaderBelowAPreambleAndPairsATimeColumn();
    void staysOpenAndSaysWhyWhileTheChoicesGiveNoTable();
    void guessesTheDecimalSeparatorUntilTheUserPicksOne();
    void aGreyedButtonAlwaysHasALineSayingWhy();
    void aSeparatorPickedByHandIsNotCarriedToTheNextFile();
    void choosesAsTheCommandLineDoesForEveryWindFile();
    void theStampConventionIsShownWithItsReasonAndChosenByHandForOneFile();
    void theDayOfYearColumnIsGuessedOrPickedByHandAsOnTheCommandLine();

  private:
    vane::testing::TemporarySettings settings_;  // before any QSettings
};

void WindFilePreviewTest::endsWithTheButtonPressedAndKeepsTheTableAndChoices() {
    const std::pair<const char*, WindFilePreview::Ending> buttons[] = {
        {"okayButton", WindFilePreview::Ending::wind},
        {"tempButton", WindFilePreview::Ending::temperature},
        {"cancelButton", WindFilePreview::Ending::cancelled},
    };
    for (const auto& [button, ending] : buttons) {
        PreviewUnderTest run;
        QSignalSpy ended(&run.preview, &WindFilePreview::ended);
        run.open(sourcePath("examples/wind.csv"));
        QVERIFY(run.preview.sheet()->isVisible());
        QCOMPARE(run.preview.file(), sourcePath("examples/wind.csv"));
        run.choose("tempColumn", 3);
        run.choose("decimal_Sep", 1);
        run.click(button);

        QVERIFY2(!run.preview.sheet()->isVisible(), button);
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.front().front().value<WindFilePreview::Ending>(), ending);
        QVERIFY(!run.preview.holdsText());
        QVERIFY(run.preview.table().rowCount() > 1000);
        const WindFileChoices choices = run.preview.choices();
        QCOMPARE(*choices.dateTimeColumn, 1);
        QCOMPARE(*choices.windColumn, 2);
        QCOMPARE(*choices.temperatureColumn, 3);
        QCOMPARE(*choices.stateColumn, 0);
        QCOMPARE(*choices.dateFormat, std::string("dd.MM.yyyy HH:mm"));
        QCOMPARE(*choices.timeZone, std::string("+0200"));
        QCOMPARE(*choices.decimalSeparator, std::string(","));
        QCOMPARE(*choices.timeOffsetMinutes, 0);

        run.preview.startOver();
        QVERIFY(run.preview.table().empty());
        QVERIFY(!run.preview.temperatureColumnPicked());
        QCOMPARE(*run.preview.choices().decimalSeparator, std::string(","));
        QVERIFY(run.alerts.shown.empty());
    }
}

void WindFilePreviewTest::guessesSelectColumnsButLeaveTheFlagsToTheUser() {
    PreviewUnderTest run;
    QSignalSpy dateCol(&run.preview, &WindFilePreview::dateColumnPickedChanged);
    QSignalSpy windCol(&run.preview, &WindFilePreview::windColumnPickedChanged);
    run.open(sourcePath("examples/wind.csv"));
    auto* wind = run.control<QComboBox>("windColumn");
    QCOMPARE(run.control<QComboBox>("date_timeColumn")->currentIndex(), 1);
    QCOMPARE(wind->currentIndex(), 2);
    QVERIFY(!run.preview.dateColumnPicked() && !run.preview.windColumnPicked() &&
            !run.preview.temperatureColumnPicked());
    QCOMPARE(dateCol.size(), 0);
    QCOMPARE(windCol.size(), 0);
    // The buttons follow the choosers, so guessed columns need no second pick.
    QVERIFY(run.control<QAbstractButton>("okayButton")->isEnabled());
    QVERIFY(!run.control<QAbstractButton>("tempButton")->isEnabled());

    run.choose("windColumn", 0);
    QVERIFY(!run.preview.windColumnPicked());
    QVERIFY(!run.control<QAbstractButton>("okayButton")->isEnabled());
    run.choose("windColumn", 3);
    QVERIFY(run.preview.windColumnPicked());
    run.choose("stateColumn", 4);
    QVERIFY(run.preview.windColumnPicked() && !run.preview.dateColumnPicked() &&
            !run.preview.temperatureColumnPicked());

    // A rebuild guesses again and leaves the hand-made flag as it was.
    run.choose("fieldSep", 0);
    QCOMPARE(wind->currentIndex(), 2);
    QCOMPARE(run.control<QComboBox>("stateColumn")->currentIndex(), 0);
    QVERIFY(run.preview.windColumnPicked() && !run.preview.dateColumnPicked());
    QCOMPARE(windCol.size(), 1);
    QVERIFY(run.control<QAbstractButton>("okayButton")->isEnabled());
}

void WindFilePreviewTest::lineEndingChangeSplitsOneTenthOfASecondLater() {
    PreviewUnderTest run;
    run.open(sourcePath("tests/core/import/fixtures/utf8_comma_lf.csv"));
    QCOMPARE(run.control<QComboBox>("lineEnd")->currentIndex(), 0);
    run.choose("fieldSep", 1);
    QCOMPARE(run.control<QComboBox>("windColumn")->currentText(), QStringLiteral("Wind speed"));
    const std::size_t rows = run.preview.table().rowCount();
    QVERIFY(rows > 1);
    run.choose("lineEnd", 2);  // CR: the file has none
    QCOMPARE(run.preview.table().rowCount(), rows);
    QTRY_VERIFY_WITH_TIMEOUT(run.preview.table().empty(), 1000);
    // The preview keeps the last columns; the choosers are guessed again from them.
    QCOMPARE(run.control<QComboBox>("windColumn")->currentText(), QStringLiteral("Wind speed"));
    run.choose("lineEnd", 0);
    QTRY_COMPARE_WITH_TIMEOUT(run.preview.table().rowCount(), rows, 1000);
}

void WindFilePreviewTest::rereadsTheFileInAnotherEncoding() {
    PreviewUnderTest run;
    run.open(sourcePath("tests/core/import/fixtures/windows1252_umlauts_lf.csv"));
    auto* encodings = run.control<QComboBox>("windEncodings");
    QVERIFY(encodings->count() > 10);
    const QString firstTitle = run.control<QComboBox>("date_timeColumn")->itemText(2);
    QVERIFY(firstTitle.startsWith(QStringLiteral("Außentemperatur")));

    run.choose("windEncodings", encodings->findData(static_cast<int>(kMacOSRomanEncoding)));
    QVERIFY(run.preview.holdsText());
    const QString macTitle = run.control<QComboBox>("date_timeColumn")->itemText(2);
    QVERIFY(macTitle.startsWith(QStringLiteral("Au")));
    QVERIFY(macTitle != firstTitle);
    QVERIFY(!run.control<QPlainTextEdit>("windPreviewText")
                 ->toPlainText()
                 .contains(QStringLiteral("Außen")));

    // Not valid UTF-8: no text, no rows, and the preview keeps what it showed.
    const QString shownBefore = run.control<QPlainTextEdit>("windPreviewText")->toPlainText();
    run.choose("windEncodings", encodings->findData(static_cast<int>(kUtf8Encoding)));
    QVERIFY(!run.preview.holdsText());
    QVERIFY(run.preview.table().empty());
    QCOMPARE(run.control<QPlainTextEdit>("windPreviewText")->toPlainText(), shownBefore);
    QVERIFY(run.preview.sheet()->isVisible());
    QVERIFY(run.alerts.shown.empty());
}

void WindFilePreviewTest::encodingChooserShowsTheEncodingReadAndThePreviewIsCut() {
    PreviewUnderTest run;
    auto* encodings = run.control<QComboBox>("windEncodings");
    auto* preview = run.control<QPlainTextEdit>("windPreviewText");
    const QString utf8File = sourcePath("tests/core/import/fixtures/utf8_comma_lf.csv");
    run.open(utf8File);
    QCOMPARE(encodings->currentData().toInt(), static_cast<int>(kUtf8Encoding));
    QCOMPARE(encodings->currentText(), QStringLiteral("UTF-8"));
    QFile file(utf8File);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(preview->toPlainText(), QString::fromUtf8(file.readAll()));
    for (int k = 0; k < encodings->count(); ++k) {
        QVERIFY(encodings->itemData(k).toInt() > 0 && encodings->itemData(k).toInt() < 256);
    }
    run.click("cancelButton");

    run.open(sourcePath("tests/core/import/fixtures/macroman_cr.csv"));
    QCOMPARE(encodings->currentData().toInt(), static_cast<int>(kMacOSRomanEncoding));
    QCOMPARE(run.control<QComboBox>("lineEnd")->currentIndex(), 2);
    run.click("cancelButton");

    // The view shows each CR LF as one line break.
    const QString windFile = sourcePath("examples/wind.csv");
    QFile wind(windFile);
    QVERIFY(wind.open(QIODevice::ReadOnly));
    const QString beginning = QString::fromLatin1(wind.read(1024));
    const auto shownAs = [](QString text) {
        return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    };
    run.open(windFile);
    QCOMPARE(preview->toPlainText(), shownAs(beginning));
    run.choose("windEncodings", encodings->findData(static_cast<int>(kMacOSRomanEncoding)));
    QCOMPARE(preview->toPlainText(), shownAs(beginning.left(512)));
    // The line ending is not guessed again, and the table is split anew.
    QCOMPARE(run.control<QComboBox>("lineEnd")->currentIndex(), 1);
    QVERIFY(run.preview.table().rowCount() > 1000);
}

void WindFilePreviewTest::aFailedLoadKeepsTheLastFileAndTable() {
    PreviewUnderTest run;
    const QTemporaryDir folder;
    const QString windFile = sourcePath("examples/wind.csv");
    run.open(windFile);
    run.click("cancelButton");
    const std::size_t rows = run.preview.table().rowCount();
    const QString shown = run.control<QPlainTextEdit>("windPreviewText")->toPlainText();
    const int encoding = run.control<QComboBox>("windEncodings")->currentIndex();

    run.open(folder.filePath(QStringLiteral("gone.csv")));
    QCOMPARE(run.alerts.shown.size(), std::size_t{1});
    QCOMPARE(run.alerts.shown.front().title, QStringLiteral("Problem with file"));
    QCOMPARE(run.alerts.shown.front().message,
             QStringLiteral("The csv file couldn't be read properly. Please send it to "
                            "Fenmark for further examination."));
    QCOMPARE(run.preview.file(), windFile);
    QCOMPARE(run.preview.table().rowCount(), rows);
    QVERIFY(!run.preview.holdsText());
    QCOMPARE(run.control<QPlainTextEdit>("windPreviewText")->toPlainText(), shown);
    QCOMPARE(run.control<QComboBox>("windEncodings")->currentIndex(), encoding);
    QVERIFY(!run.preview.sheet()->isVisible());
}

void WindFilePreviewTest::findsTheHeaderBelowAPreambleAndPairsATimeColumn() {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("met.csv"));
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(
            "Met mast 3\nSite: Hof, Bavaria\n\nDate;Time;Wind speed (km/h);Temp\n"
            "01.07.2012;18:00:00;12,6;14,2\n01.07.2012;18:10:00;-9999;14,1\n"
            "01.07.2012;18:20:00;14,4;14,0\n");
    }
    PreviewUnderTest run;
    run.open(file);
    QCOMPARE(run.control<QLineEdit>("startingLine")->text(), QStringLiteral("4"));
    auto* time = run.control<QComboBox>("timeColumn");
    QCOMPARE(time->itemText(0), QStringLiteral("Optional"));
    QCOMPARE(time->currentText(), QStringLiteral("Time"));
    QCOMPARE(run.control<QComboBox>("date_Format")->currentText(),
             QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    QVERIFY(run.control<QAbstractButton>("okayButton")->isEnabled());
    WindFileChoices choices = run.preview.choices();
    QCOMPARE(*choices.dateTimeColumn, 1);
    QCOMPARE(*choices.timeColumn, 2);
    QCOMPARE(*choices.windColumn, 3);
    QCOMPARE(*choices.windUnit, std::string("km/h"));
    QVERIFY(choices.missingMarkers->size() >= 6);

    run.choose("timeColumn", 0);
    run.control<QLineEdit>("missingMarkers")->setText(QStringLiteral("-9999"));
    auto* zone = run.control<QComboBox>("timeZone");
    zone->setEditText(QStringLiteral("Europe/Berlin"));
    choices = run.preview.choices();
    QCOMPARE(*choices.timeColumn, 0);
    QCOMPARE(*choices.missingMarkers, std::vector<std::string>{"-9999"});
    QCOMPARE(*choices.timeZone, std::string("Europe/Berlin"));
    QCOMPARE(run.preview.table().startAt, std::size_t{3});
    QVERIFY(run.alerts.shown.empty());
}

void WindFilePreviewTest::systemZoneIsOfferedOnlyWhenItHasARegionName() {
    const struct {
        const char* zone;
        const char* title;  // nullptr: not offered
    } cases[] = {
        {"Europe/Berlin", "Europe/Berlin"},
        {"America/Argentina/Buenos_Aires", "America/Argentina/Buenos_Aires"},
        {"UTC", nullptr},
        {"GMT", nullptr},
        {"Etc/GMT-1", nullptr},
        {"Etc/Unknown", nullptr},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<icu::TimeZone> zone(
            icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(c.zone)));
        const std::optional<QString> title = systemZoneTitle(*zone);
        QVERIFY2(title.has_value() == (c.title != nullptr), c.zone);
        if (c.title != nullptr) {
            QCOMPARE(*title, QString::fromLatin1(c.title));
        }
    }
}

void WindFilePreviewTest::timeZoneChooserOffersEveryOffsetInUse() {
    const QStringList titles = timeZoneTitles();
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::StringEnumeration> zones(icu::TimeZone::createTimeZoneIDEnumeration(
        UCAL_ZONE_TYPE_CANONICAL_LOCATION, nullptr, nullptr, status));
    QVERIFY(U_SUCCESS(status));
    int checked = 0;
    for (const icu::UnicodeString* id = zones->snext(status); id != nullptr && U_SUCCESS(status);
         id = zones->snext(status)) {
        const std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(*id));
        for (int year = 2000; year <= 2030; ++year) {
            for (int month : {1, 7}) {
                const std::string offset =
                    utcOffsetText(utcInstant({{year, month, 15}, 12, 0, 0}), *zone);
                std::string name;
                id->toUTF8String(name);
                QVERIFY2(titles.contains(QString::fromStdString(offset)),
                         (name + " " + std::to_string(year) + ": " + offset).c_str());
                ++checked;
            }
        }
    }
    QVERIFY(checked > 1000);
}

void WindFilePreviewTest::anEmptyFileShowsNoColumnsOfTheFileBefore() {
    const QTemporaryDir folder;
    const QString empty = folder.filePath(QStringLiteral("empty.csv"));
    QFile(empty).open(QIODevice::WriteOnly);
    PreviewUnderTest run;
    run.open(sourcePath("examples/wind.csv"));
    const QAbstractItemModel& shown = *run.control<QTableView>("windPreviewTable")->model();
    QVERIFY(shown.columnCount() > 2);
    run.open(empty);
    QCOMPARE(shown.columnCount(), 0);
    QCOMPARE(shown.rowCount(), 0);
    QVERIFY(!shown.headerData(0, Qt::Horizontal).isValid());
    for (const char* name : {"date_timeColumn", "windColumn", "tempColumn"}) {
        const QComboBox& chooser = *run.control<QComboBox>(name);
        for (int item = 0; item < chooser.count(); ++item) {
            QVERIFY2(!chooser.itemText(item).contains(QStringLiteral("Wind speed")), name);
        }
    }
}

void WindFilePreviewTest::staysOpenAndSaysWhyWhileTheChoicesGiveNoTable() {
    const QTemporaryDir folder;
    const auto written = [&](const char* name, const QByteArray& content) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return file.fileName();
    };
    const struct {
        QString file;
        QString startingLine;
        QString reason;  // the start of the line under the table
    } cases[] = {
        {sourcePath("examples/wind.csv"), QStringLiteral("99999"),
         QStringLiteral("The starting line 99999 lies beyond the last line of the file")},
        {written("empty.csv", ""), QStringLiteral("1"), QStringLiteral("The wind table is empty")},
        {written("header.csv", "Date/Time;Wind speed\n"), QStringLiteral("1"),
         QStringLiteral("No data row after the header row holds all the chosen columns.")},
        {written("nodate.csv", "a;b\n1;2\n"), QStringLiteral("1"),
         QStringLiteral("Choose the date/time column.")},
    };
    for (const auto& [file, startingLine, reason] : cases) {
        PreviewUnderTest run;
        QSignalSpy ended(&run.preview, &WindFilePreview::ended);
        auto* line = run.control<QLineEdit>("startingLine");
        run.open(file);
        line->setText(startingLine);
        emit line->editingFinished();
        const auto* why = run.control<QLabel>("tableProblem");
        QVERIFY2(why->isVisible() && why->text().startsWith(reason), qPrintable(why->text()));
        for (const char* button : {"okayButton", "tempButton"}) {
            auto* pressed = run.control<QAbstractButton>(button);
            QVERIFY2(!pressed->isEnabled(), button);
            pressed->click();
        }
        QVERIFY(run.preview.sheet()->isVisible());
        QCOMPARE(ended.size(), 0);
        QVERIFY(run.alerts.shown.empty());

        // Put right in the sheet itself, the choices give a table and the line goes.
        if (file.endsWith(QStringLiteral("wind.csv"))) {
            line->setText(QStringLiteral("1"));
            emit line->editingFinished();
            QVERIFY(!why->text().startsWith(reason));
            run.click("okayButton");
            QCOMPARE(ended.size(), 1);
        }
    }
}

void WindFilePreviewTest::guessesTheDecimalSeparatorUntilTheUserPicksOne() {
    PreviewUnderTest run;
    auto* decimal = run.control<QComboBox>("decimal_Sep");
    run.open(sourcePath("examples/wind.csv"));  // readings such as 5,1
    QCOMPARE(decimal->currentText(), QStringLiteral(","));
    run.click("cancelButton");

    run.open(sourcePath("tests/core/import/fixtures/utf8_comma_lf.csv"));
    run.choose("fieldSep", 1);
    QCOMPARE(run.control<QComboBox>("windColumn")->currentText(), QStringLiteral("Wind speed"));
    QCOMPARE(decimal->currentText(), QStringLiteral("."));

    // Once the user has picked, neither another column nor another split changes it.
    run.choose("decimal_Sep", 1);
    run.choose("windColumn", 2);
    run.choose("fieldSep", 0);
    run.choose("fieldSep", 1);
    QCOMPARE(decimal->currentText(), QStringLiteral(","));
    run.click("cancelButton");

    // A new file is guessed afresh.
    run.open(sourcePath("tests/core/import/fixtures/utf8_comma_lf.csv"));
    run.choose("fieldSep", 1);
    QCOMPARE(decimal->currentText(), QStringLiteral("."));
}

void WindFilePreviewTest::aGreyedButtonAlwaysHasALineSayingWhy() {
    const QTemporaryDir folder;
    const QString windOnly = folder.filePath(QStringLiteral("wind_only.csv"));
    {
        QFile file(windOnly);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Date/Time;Wind speed (m/s)\n01.04.2012 00:10;5,1\n01.04.2012 00:20;4,8\n");
    }
    const struct {
        QString file;
        const char* chooser;  // picked by hand, if any
        int item;
        bool wind;
        bool temperature;
        QString reason;  // the start of the line under the table
    } cases[] = {
        // A comma cuts the header into one column, which holds the date and the readings.
        {sourcePath("examples/wind.csv"), "fieldSep", 1, false, false,
         QStringLiteral("The readings and the date/time are the same column \"Date/Time;Wind")},
        {sourcePath("examples/wind.csv"), "tempColumn", 1, true, false,
         QStringLiteral("Temperature: The readings and the date/time are the same column")},
        {sourcePath("examples/wind.csv"), "windColumn", 0, false, false,
         QStringLiteral("Choose the wind speed or the temperature column.")},
        {windOnly, nullptr, 0, true, false,
         QStringLiteral("Temperature: choose the temperature column.")},
        {sourcePath("examples/wind.csv"), "tempColumn", 3, true, true, QString()},
    };
    for (const auto& [file, chooser, item, wind, temperature, reason] : cases) {
        PreviewUnderTest run;
        run.open(file);
        if (chooser != nullptr) {
            run.choose(chooser, item);
        }
        QCOMPARE(run.control<QAbstractButton>("okayButton")->isEnabled(), wind);
        QCOMPARE(run.control<QAbstractButton>("tempButton")->isEnabled(), temperature);
        const auto* why = run.control<QLabel>("tableProblem");
        QCOMPARE(why->isVisible(), !reason.isEmpty());
        QVERIFY2(why->text().startsWith(reason), qPrintable(why->text()));
        run.click("cancelButton");
    }
}

void WindFilePreviewTest::aSeparatorPickedByHandIsNotCarriedToTheNextFile() {
    PreviewUnderTest run;
    auto* separator = run.control<QComboBox>("fieldSep");
    run.open(sourcePath("examples/wind.csv"));
    QCOMPARE(separator->currentText(), QStringLiteral(";"));
    run.choose("fieldSep", 1);
    run.click("cancelButton");
    run.open(sourcePath("examples/wind.csv"));
    QCOMPARE(separator->currentText(), QStringLiteral(";"));
    QCOMPARE(run.control<QComboBox>("windColumn")->currentText(),
             QStringLiteral("Wind speed (m/s)"));
    run.preview.startOver();
    run.open(sourcePath("examples/wind.csv"));
    QCOMPARE(separator->currentText(), QStringLiteral(";"));
}

// The panel and `vane analyse` resolve their choices in one place; here is the proof that both
// come to the same for every wind file the tests know, each choice with who made it.
void WindFilePreviewTest::choosesAsTheCommandLineDoesForEveryWindFile() {
    QStringList files{sourcePath("examples/wind.csv")};
    const QDir fixtures(sourcePath("tests/core/import/fixtures"));
    for (const QString& name : fixtures.entryList({QStringLiteral("*.csv")}, QDir::Files)) {
        files << fixtures.filePath(name);
    }
    const QTemporaryDir shapes;
    for (const vane::testing::Shape& shape : vane::testing::shapes()) {
        const std::filesystem::path folder =
            shapes.filePath(QString::fromLatin1(shape.name)).toStdString();
        std::filesystem::create_directories(folder);
        vane::testing::writeShape(shape, folder);
        files << QString::fromStdString((folder / "wind.csv").string());
    }
    QVERIFY(files.size() > 20);

    const double firstRecording = exampleRecordings().front().recordingTime;
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    for (const QString& file : files) {
        PreviewUnderTest run;
        run.open(file);
        const bool panelRead = run.alerts.shown.empty();

        cli::AnalyseOptions options;
        options.windFile = file.toStdString();
        const Outcome<WindFileView> view = cli::readWindFile(
            options.windFile, cli::windFileChoices(options.windFileOptions)->text);
        QVERIFY2(view.has_value() == panelRead, qPrintable(file));
        if (!view) {
            continue;
        }
        const Outcome<ResolvedChoices> commandLine = cli::windChoices(
            options, *view, {.zone = zone.get(), .firstRecording = firstRecording});
        QVERIFY2(commandLine, qPrintable(file));
        const auto described = [&file](const WindFileChoices& choices) {
            return file + QStringLiteral(": ") +
                   QString::fromStdString(vane::testing::describeChoices(choices));
        };
        QCOMPARE(described(run.preview.choices()), described(commandLine->choices));
        QCOMPARE(run.preview.table().rowCount(), view->table.rowCount());
    }
}

void WindFilePreviewTest::theStampConventionIsShownWithItsReasonAndChosenByHandForOneFile() {
    const QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("export.txt"));
    std::ofstream(file.toStdString(), std::ios::binary)
        << "Latitude = N 49.600000\nTime stamps indicate the beginning of the time step.\n\n"
           "Date/Time\tSpeed 80 m [m/s]\n01/07/2012 18:00:00+00:00\t3.1\n"
           "01/07/2012 18:10:00+00:00\t3.4\n";
    PreviewUnderTest run;
    auto* stamps = run.control<QComboBox>("timeStamps");
    run.open(file);
    QCOMPARE(stamps->currentIndex(), 1);
    QVERIFY(stamps->toolTip().contains(QStringLiteral("the preamble says")));
    QVERIFY(!run.preview.choices().stamps.byUser());
    run.choose("timeStamps", 0);
    QCOMPARE(*run.preview.choices().stamps, StampConvention::end);
    QVERIFY(run.preview.choices().stamps.byUser());
    run.click("cancelButton");
    // Each file says what its own stamps mark.
    run.open(file);
    QCOMPARE(stamps->currentIndex(), 1);
    run.click("cancelButton");
    run.open(sourcePath("examples/wind.csv"));
    QCOMPARE(stamps->currentIndex(), 0);
    QVERIFY(!stamps->toolTip().contains(QStringLiteral("Guessed")));
}

// A station file's day of the year under a title no guess knows is picked by hand, as
// --wind-day-column picks it, and the sheet then reads as the command line does.
void WindFilePreviewTest::theDayOfYearColumnIsGuessedOrPickedByHandAsOnTheCommandLine() {
    const QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("station.csv"));
    std::ofstream(file.toStdString(), std::ios::binary)
        << "Year,Tag,Uhrzeit,Wind speed (m/s)\r\n2012,183,1800,3.1\r\n2012,183,1810,3.4\r\n"
           "2012,183,1820,-7999\r\n2012,184,0,2.2\r\n";
    PreviewUnderTest run;
    auto* day = run.control<QComboBox>("dayColumn");
    run.open(file);
    QCOMPARE(day->itemText(0), QStringLiteral("Optional"));
    QCOMPARE(day->itemText(2), QStringLiteral("Tag"));
    QCOMPARE(day->currentIndex(), 0);
    run.choose("date_timeColumn", 1);
    run.choose("dayColumn", 2);
    run.choose("timeColumn", 3);
    WindFileChoices choices = run.preview.choices();
    QCOMPARE(*choices.dayColumn, 2);
    QVERIFY(choices.dayColumn.byUser());
    QCOMPARE(*choices.dateFormat, std::string("yyyy D HHmm"));
    QVERIFY(run.control<QAbstractButton>("okayButton")->isEnabled());

    cli::AnalyseOptions options;
    options.windFile = file.toStdString();
    options.dateColumn = "Year";
    options.windDayColumn = "Tag";
    options.windTimeColumn = "Uhrzeit";
    const Outcome<WindFileView> view =
        cli::readWindFile(options.windFile, cli::windFileChoices(options.windFileOptions)->text);
    QVERIFY(view);
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    const Outcome<ResolvedChoices> commandLine = cli::windChoices(
        options, *view,
        {.zone = zone.get(), .firstRecording = exampleRecordings().front().recordingTime});
    QVERIFY(commandLine);
    QCOMPARE(QString::fromStdString(vane::testing::describeChoices(choices)),
             QString::fromStdString(vane::testing::describeChoices(commandLine->choices)));

    // Back to none by hand; and a file's own DOY column is guessed, not picked.
    run.choose("dayColumn", 0);
    QCOMPARE(*run.preview.choices().dayColumn, 0);
    run.click("cancelButton");
    const QString doy = folder.filePath(QStringLiteral("doy.csv"));
    std::ofstream(doy.toStdString(), std::ios::binary)
        << "Year,DOY,HHMM,Wind speed (m/s)\n2012,183,1800,3.1\n2012,183,1810,3.4\n";
    run.open(doy);
    QCOMPARE(day->currentText(), QStringLiteral("DOY"));
    QVERIFY(!run.preview.choices().dayColumn.byUser());
    QVERIFY(run.alerts.shown.empty());
}

}  // namespace vane::plugin::testing

QTEST_MAIN(vane::plugin::testing::WindFilePreviewTest)
#include "wind_file_preview_test.moc"
