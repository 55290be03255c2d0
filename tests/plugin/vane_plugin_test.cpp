#include <unicode/strenum.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <sstream>

#include "cli/analyse_command.h"
#include "core/analysis/bat_events.h"
#include "core/import/text_encodings.h"
#include "core/time/utc_offset.h"
#include "graph/activity_graph.h"
#include "graph/plot_styles.h"
#include "host/plugins/plugin_loader.h"
#include "plugin/time_zone_titles.h"
#include "plugin_test_support.h"

namespace vane::plugin::testing {

// What `vane analyse` prints for the example pair, with the panel's guesses.
QString commandLineTable(bool temperature, const char* stateColumn = nullptr) {
    cli::AnalyseOptions options;
    options.recordingList = sourcePath("examples/recordings.txt").toStdString();
    options.windFile = sourcePath("examples/wind.csv").toStdString();
    options.temperature = temperature;
    options.decimal.emplace(1, ',');
    if (stateColumn != nullptr) {
        options.stateColumn.emplace(stateColumn);
    }
    std::ostringstream err;
    const cli::AnalyseOutcome outcome = cli::analyseFiles(options, *processTimeZone(), err);
    if (!outcome.result || outcome.result->pasteboardText.empty()) {
        qWarning("vane analyse gave no table: %s", err.str().c_str());
        return QStringLiteral("(no table)");
    }
    return QString::fromStdString(outcome.result->pasteboardText);
}

class VanePluginTest : public QObject {
    Q_OBJECT

  private slots:
    void loadsAsAPluginUnderItsTitle();
    void refusesToRunWithoutRecordingsAndKeepsTheLastRun();
    void windRunPutsTheCommandLinesTableOnTheClipboardAndShowsTheGraph();
    void temperatureRunNeedsAChosenColumnAndClassesTemperatures();
    void cancelDiscardsTheTextAndRunsNoAnalysis();
    void stateColumnGivesOneCurvePerStateWithALegend();
    void secondRunResetsTheRunStateButKeepsTheChoices();
    void lineEndingChangeSplitsOneTenthOfASecondLater();
    void sheetEndedBeforeTheDeferredSplitAnalysesTheChosenSplit();
    void rereadsTheFileInAnotherEncoding();
    void unreadableFileShowsTheAlertAndOpensNothing();
    void graphIsSavedAsPdfOnlyWhenConfirmed();
    void activityTimesGoToTheClipboard();
    void flagsNotifyTheirObservers();
    void guessesSelectColumnsButLeaveTheFlagsToTheUser();
    void encodingChooserShowsTheEncodingReadAndThePreviewIsCut();
    void aFailedLoadKeepsTheLastFileAndTable();
    void timeZoneChooserOffersEveryOffsetInUse();

  private:
    const FixedSelectionHost host_{exampleRecordings()};
};

void VanePluginTest::loadsAsAPluginUnderItsTitle() {
    PluginLoader loader;
    loader.loadFrom({QStringLiteral(VANE_PLUGIN_DIR)});
    QVERIFY2(loader.failures().isEmpty(), qPrintable(loader.failures().join(QLatin1Char('\n'))));
    const auto found = std::find_if(
        loader.plugins().begin(), loader.plugins().end(), [](const LoadedPlugin& loaded) {
            return loaded.file.endsWith(QStringLiteral("libvane_plugin.so"));
        });
    QVERIFY(found != loader.plugins().end());
    QCOMPARE(found->plugin->name(), QStringLiteral("Bat/Environmental activity"));
}

void VanePluginTest::refusesToRunWithoutRecordingsAndKeepsTheLastRun() {
    PluginUnderTest run(host_);
    run.run([&] {
        run.chooseWindFile(sourcePath("examples/wind.csv"));
        run.choose("date_timeColumn", 1);
        run.choose("windColumn", 2);
        run.choose("decimal_Sep", 1);  // the file's readings have a decimal comma
        run.click("okayButton");
    });
    const std::size_t rows = run.plugin->tableData().rows.size();
    QVERIFY(rows > 1);
    QVERIFY(run.plugin->windCol());

    const FixedSelectionHost nothingSelected{{}};
    run.plugin->attach(nothingSelected, nullptr);
    run.plugin->fire();
    QCOMPARE(run.alerts->shown.size(), std::size_t{1});
    QCOMPARE(run.alerts->shown.front().title, QStringLiteral("No recordings selected"));
    QCOMPARE(run.alerts->shown.front().message,
             QStringLiteral("The plugin needs selected recordings to work with. Please select "
                            "recordings and start the plugin again."));
    QVERIFY(!run.plugin->mainPanel()->isVisible());
    QCOMPARE(run.plugin->tableData().rows.size(), rows);
    QVERIFY(!run.plugin->plotData().empty());
    QVERIFY(run.plugin->windCol());
    QVERIFY(run.plugin->dateCol());
}

void VanePluginTest::windRunPutsTheCommandLinesTableOnTheClipboardAndShowsTheGraph() {
    PluginUnderTest run(host_);
    run.run([&] {
        QCOMPARE(run.plugin->recCount(), static_cast<int>(host_.selectedRecordings().size()));
        QVERIFY(run.control<QLabel>("recordingsSummary")
                    ->text()
                    .contains(QString::number(run.plugin->recCount())));
        QVERIFY(!run.plugin->recordings().empty());
        QVERIFY(std::is_sorted(run.plugin->recordings().begin(), run.plugin->recordings().end(),
                               [](const Recording& a, const Recording& b) {
                                   return a.recordingTime < b.recordingTime;
                               }));

        run.chooseWindFile(sourcePath("examples/wind.csv"));
        QCOMPARE(run.panels->openOptions.back().fileTypes, QStringList{QStringLiteral("csv")});
        QVERIFY(run.plugin->previewSheet()->isVisible());
        QVERIFY(run.control<QPlainTextEdit>("windPreviewText")
                    ->toPlainText()
                    .startsWith(QStringLiteral("Date/Time;Wind speed")));
        QCOMPARE(run.control<QComboBox>("date_timeColumn")->currentText(),
                 QStringLiteral("Date/Time"));
        QCOMPARE(run.control<QComboBox>("windColumn")->currentText(),
                 QStringLiteral("Wind speed (m/s)"));
        QCOMPARE(run.control<QComboBox>("tempColumn")->currentIndex(), 0);
        QCOMPARE(run.control<QComboBox>("stateColumn")->currentText(), QStringLiteral("Optional"));
        QCOMPARE(run.control<QComboBox>("date_Format")->currentText(),
                 QStringLiteral("dd.MM.yyyy HH:mm"));
        auto* zones = run.control<QComboBox>("timeZone");
        QCOMPARE(zones->currentText(), QStringLiteral("+0200"));
        QCOMPARE(zones->itemText(0), QStringLiteral("-1200"));
        QCOMPARE(zones->itemText(zones->count() - 1), QStringLiteral("+1400"));
        for (const char* offset : {"-0930", "+0530", "+0545", "+1245"}) {
            QVERIFY2(zones->findText(QString::fromLatin1(offset)) >= 0, offset);
        }
        QCOMPARE(run.control<QComboBox>("lineEnd")->currentIndex(), 1);  // CR LF
        QVERIFY(run.control<QAbstractButton>("okayButton")->isEnabled());
        QVERIFY(!run.control<QAbstractButton>("tempButton")->isEnabled());

        run.choose("decimal_Sep", 1);
        run.click("okayButton");
        QVERIFY(!run.plugin->previewSheet()->isVisible());
        QVERIFY(!run.plugin->rawWindContent().has_value());
        QVERIFY(!run.plugin->plotTemp());
        QCOMPARE(run.pasteboard->strings.size(), std::size_t{1});
        QCOMPARE(run.pasteboard->strings.front(), commandLineTable(false));
        QVERIFY(run.plugin->graphSheet()->isVisible());

        const graph::XYGraph& graph = run.plugin->activityGraph()->graph();
        QCOMPARE(graph.plots.size(), std::size_t{1});
        const graph::ScatterPlot& plot = graph.plots.front();
        QCOMPARE(plot.identifier, std::string("single"));
        QVERIFY(plot.dataLineStyle.colour == *graph::colourNamed("greenColor"));
        QVERIFY(plot.plotSymbol.has_value());
        QVERIFY(plot.plotSymbol->shape == graph::SymbolShape::ellipse);
        QVERIFY(!graph.legendPlotSpace.has_value());
        QVERIFY(run.control<QLabel>("activitySummary")->text().contains(QStringLiteral("m/s")));

        run.click("closeButton");
        QVERIFY(!run.plugin->graphSheet()->isVisible());
    });
    QVERIFY(run.plugin->recordings().empty());
    QVERIFY(run.alerts->shown.empty());
}

void VanePluginTest::temperatureRunNeedsAChosenColumnAndClassesTemperatures() {
    PluginUnderTest run(host_);
    run.run([&] {
        run.chooseWindFile(sourcePath("examples/wind.csv"));
        QVERIFY(!run.control<QAbstractButton>("tempButton")->isEnabled());
        QSignalSpy tempCol(run.plugin.get(), &VanePlugin::tempColChanged);
        run.choose("tempColumn", 3);
        QCOMPARE(tempCol.size(), 1);
        QVERIFY(run.plugin->tempCol());
        run.choose("decimal_Sep", 1);
        run.click("tempButton");
        QVERIFY(run.plugin->plotTemp());
        QCOMPARE(run.pasteboard->strings.size(), std::size_t{1});
        QCOMPARE(run.pasteboard->strings.front(), commandLineTable(true));
        QVERIFY(QString::fromStdString(run.plugin->activityGraph()->graph().xAxis.title)
                    .startsWith(QStringLiteral("Temperature")));
    });
}

void VanePluginTest::cancelDiscardsTheTextAndRunsNoAnalysis() {
    PluginUnderTest run(host_);
    run.run([&] {
        run.chooseWindFile(sourcePath("examples/wind.csv"));
        QVERIFY(run.plugin->rawWindContent().has_value());
        run.click("cancelButton");
        QVERIFY(!run.plugin->previewSheet()->isVisible());
        QVERIFY(!run.plugin->rawWindContent().has_value());
        QVERIFY(run.plugin->tableData().rows.size() > 1);
        QVERIFY(!run.plugin->graphSheet()->isVisible());
    });
    QVERIFY(run.pasteboard->strings.empty());
    QVERIFY(run.plugin->plotData().empty());
    QVERIFY(run.alerts->shown.empty());
}

void VanePluginTest::stateColumnGivesOneCurvePerStateWithALegend() {
    PluginUnderTest run(host_);
    run.run([&] {
        run.chooseWindFile(sourcePath("examples/wind.csv"));
        run.choose("stateColumn", 4);
        run.choose("decimal_Sep", 1);
        run.click("okayButton");
        QCOMPARE(run.pasteboard->strings.size(), std::size_t{1});
        QCOMPARE(run.pasteboard->strings.front(), commandLineTable(false, "Operating state"));
        const graph::XYGraph& graph = run.plugin->activityGraph()->graph();
        std::vector<std::string> curves;
        for (const graph::ScatterPlot& plot : graph.plots) {
            if (plot.plotSpaceIndex == 0) {
                curves.push_back(plot.identifier);
            }
        }
        QCOMPARE(curves.size(), std::size_t{3});
        QCOMPARE(run.plugin->plotData().size(), std::size_t{3});
        QVERIFY(run.plugin->plotData().contains("bat stop"));
        QVERIFY(graph.legendPlotSpace.has_value());
        QVERIFY(run.plugin->graphSheet()->isVisible());
    });
}

void VanePluginTest::secondRunResetsTheRunStateButKeepsTheChoices() {
    PluginUnderTest run(host_);
    run.run([&] {
        run.chooseWindFile(sourcePath("examples/wind.csv"));
        run.choose("decimal_Sep", 1);
    });
    QDialog* const panel = run.plugin->mainPanel();
    run.run([&] {
        run.control<QAbstractButton>("useRecCount")->click();
        QVERIFY(run.plugin->useRecCount());
        run.chooseWindFile(sourcePath("examples/wind.csv"));
        run.choose("windColumn", 2);
        run.choose("tempColumn", 3);
        run.click("tempButton");
    });
    QSignalSpy windCol(run.plugin.get(), &VanePlugin::windColChanged);
    QSignalSpy useRecCount(run.plugin.get(), &VanePlugin::useRecCountChanged);
    run.run([&] {
        QCOMPARE(run.plugin->mainPanel(), panel);
        QVERIFY(run.plugin->tableData().rows.empty());
        QCOMPARE(run.plugin->tableData().startAt, std::size_t{0});
        QVERIFY(run.plugin->plotData().empty());
        QVERIFY(!run.plugin->windCol() && !run.plugin->dateCol() && !run.plugin->tempCol());
        QVERIFY(!run.plugin->useRecCount());
        QVERIFY(!run.control<QAbstractButton>("useRecCount")->isChecked());
        QVERIFY(run.plugin->plotTemp());
        QCOMPARE(run.control<QComboBox>("decimal_Sep")->currentText(), QStringLiteral(","));
        QCOMPARE(run.plugin->windFile(), sourcePath("examples/wind.csv"));
    });
    QCOMPARE(windCol.size(), 1);
    QCOMPARE(useRecCount.size(), 1);
}

void VanePluginTest::lineEndingChangeSplitsOneTenthOfASecondLater() {
    PluginUnderTest run(host_);
    run.run([&] {
        run.chooseWindFile(sourcePath("tests/core/import/fixtures/utf8_comma_lf.csv"));
        QCOMPARE(run.control<QComboBox>("lineEnd")->currentIndex(), 0);
        run.choose("fieldSep", 1);
        QCOMPARE(run.control<QComboBox>("windColumn")->currentText(), QStringLiteral("Wind speed"));
        const std::size_t rows = run.plugin->tableData().rows.size();
        QVERIFY(rows > 1);
        run.choose("lineEnd", 2);  // CR: the file has none
        QCOMPARE(run.plugin->tableData().rows.size(), rows);
        QTRY_VERIFY_WITH_TIMEOUT(run.plugin->tableData().rows.empty(), 1000);
        // The preview keeps the last columns; the choosers are guessed again from them.
        QCOMPARE(run.control<QComboBox>("windColumn")->currentText(), QStringLiteral("Wind speed"));
        run.choose("lineEnd", 0);
        QTRY_COMPARE_WITH_TIMEOUT(run.plugin->tableData().rows.size(), rows, 1000);
    });
}

void VanePluginTest::sheetEndedBeforeTheDeferredSplitAnalysesTheChosenSplit() {
    PluginUnderTest run(host_);
    run.run([&] {
        run.chooseWindFile(sourcePath("examples/wind.csv"));  // CR LF
        const std::size_t rows = run.plugin->tableData().rows.size();
        run.choose("lineEnd", 0);
        run.click("okayButton");
        const WindTable& table = run.plugin->tableData();
        QVERIFY(table.rows.size() > 1 && table.rows[1].back().ends_with('\r'));
        QTest::qWait(200);
        QCOMPARE(run.plugin->tableData().rows.size(), rows);
        QCOMPARE(run.pasteboard->strings.size(), std::size_t{1});
    });
}

void VanePluginTest::rereadsTheFileInAnotherEncoding() {
    PluginUnderTest run(host_);
    run.run([&] {
        run.chooseWindFile(sourcePath("tests/core/import/fixtures/windows1252_umlauts_lf.csv"));
        auto* encodings = run.control<QComboBox>("windEncodings");
        QVERIFY(encodings->count() > 10);
        const QString firstTitle = run.control<QComboBox>("date_timeColumn")->itemText(2);
        QVERIFY(firstTitle.startsWith(QStringLiteral("Außentemperatur")));

        run.choose("windEncodings", encodings->findData(static_cast<int>(kMacOSRomanEncoding)));
        QVERIFY(run.plugin->rawWindContent().has_value());
        const QString macTitle = run.control<QComboBox>("date_timeColumn")->itemText(2);
        QVERIFY(macTitle.startsWith(QStringLiteral("Au")));
        QVERIFY(macTitle != firstTitle);
        QVERIFY(!run.control<QPlainTextEdit>("windPreviewText")
                     ->toPlainText()
                     .contains(QStringLiteral("Außen")));

        // Not valid UTF-8: no text, no rows, and the preview keeps what it showed.
        const QString shownBefore = run.control<QPlainTextEdit>("windPreviewText")->toPlainText();
        run.choose("windEncodings", encodings->findData(static_cast<int>(kUtf8Encoding)));
        QVERIFY(!run.plugin->rawWindContent().has_value());
        QVERIFY(run.plugin->tableData().rows.empty());
        QCOMPARE(run.control<QPlainTextEdit>("windPreviewText")->toPlainText(), shownBefore);
        QVERIFY(run.plugin->previewSheet()->isVisible());
    });
    QVERIFY(run.alerts->shown.empty());
}

void VanePluginTest::unreadableFileShowsTheAlertAndOpensNothing() {
    PluginUnderTest run(host_);
    const QTemporaryDir folder;
    run.run([&] {
        run.chooseWindFile(folder.filePath(QStringLiteral("missing.csv")));
        QCOMPARE(run.alerts->shown.size(), std::size_t{1});
        QCOMPARE(run.alerts->shown.front().title, QStringLiteral("Problem with file"));
        QVERIFY(!run.plugin->previewSheet()->isVisible());
        QVERIFY(run.plugin->windFile().isEmpty());
        QVERIFY(!run.plugin->rawWindContent().has_value());

        // A cancelled panel changes nothing either.
        run.click("chooseWindFileButton");
        QCOMPARE(run.alerts->shown.size(), std::size_t{1});
        QVERIFY(!run.plugin->previewSheet()->isVisible());
    });
    QVERIFY(shouldEnablePath(folder.path(), {QStringLiteral("csv")}));
    QVERIFY(shouldEnablePath(QStringLiteral("/nowhere/WIND.CSV"), {QStringLiteral("csv")}));
    QVERIFY(!shouldEnablePath(QStringLiteral("/nowhere/wind.txt"), {QStringLiteral("csv")}));
}

void VanePluginTest::graphIsSavedAsPdfOnlyWhenConfirmed() {
    PluginUnderTest run(host_);
    const QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("graph.pdf"));
    run.run([&] {
        run.chooseWindFile(sourcePath("examples/wind.csv"));
        run.choose("decimal_Sep", 1);  // the file's readings have a decimal comma
        run.click("okayButton");
        run.click("pdfButton");  // cancelled
        QVERIFY(!QFile::exists(pdf));
        run.panels->saveAnswers.push_back(SavePanelChoice{pdf, QStringLiteral("pdf")});
        run.click("pdfButton");
        QCOMPARE(run.panels->saveOptions.back().fileTypes, QStringList{QStringLiteral("pdf")});
        run.panels->saveAnswers.push_back(SavePanelChoice{
            folder.filePath(QStringLiteral("no/such/folder/graph.pdf")), QStringLiteral("pdf")});
        run.click("pdfButton");
    });
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    QCOMPARE(run.alerts->shown.size(), std::size_t{1});
    QCOMPARE(run.alerts->shown.front().title, QStringLiteral("Graph not saved"));
}

void VanePluginTest::activityTimesGoToTheClipboard() {
    PluginUnderTest run(host_);
    run.run([&] { run.click("fireOldButton"); });
    QCOMPARE(run.pasteboard->strings.size(), std::size_t{1});
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    const BatEventList events =
        batEvents(sortedByRecordingTime(host_.selectedRecordings()), batEventGridOrigin(*zone));
    QCOMPARE(static_cast<std::size_t>(run.pasteboard->strings.front().count(QLatin1Char('\n'))),
             events.size());
}

void VanePluginTest::flagsNotifyTheirObservers() {
    PluginUnderTest run(host_);
    for (const char* flag : {"windCol", "dateCol", "tempCol", "useRecCount"}) {
        const QMetaProperty property =
            run.plugin->metaObject()->property(run.plugin->metaObject()->indexOfProperty(flag));
        QVERIFY(property.hasNotifySignal());
        QSignalSpy spy(run.plugin.get(), property.notifySignal());
        QVERIFY(property.write(run.plugin.get(), true));
        QVERIFY(property.read(run.plugin.get()).toBool());
        QVERIFY(property.write(run.plugin.get(), false));
        QCOMPARE(spy.size(), 2);
    }
}

void VanePluginTest::guessesSelectColumnsButLeaveTheFlagsToTheUser() {
    PluginUnderTest run(host_);
    run.run([&] {
        QSignalSpy dateCol(run.plugin.get(), &VanePlugin::dateColChanged);
        QSignalSpy windCol(run.plugin.get(), &VanePlugin::windColChanged);
        run.chooseWindFile(sourcePath("examples/wind.csv"));
        auto* wind = run.control<QComboBox>("windColumn");
        QCOMPARE(run.control<QComboBox>("date_timeColumn")->currentIndex(), 1);
        QCOMPARE(wind->currentIndex(), 2);
        QVERIFY(!run.plugin->dateCol() && !run.plugin->windCol() && !run.plugin->tempCol());
        QCOMPARE(dateCol.size(), 0);
        QCOMPARE(windCol.size(), 0);
        // The buttons follow the choosers, so guessed columns need no second pick.
        QVERIFY(run.control<QAbstractButton>("okayButton")->isEnabled());
        QVERIFY(!run.control<QAbstractButton>("tempButton")->isEnabled());

        run.choose("windColumn", 0);
        QVERIFY(!run.plugin->windCol());
        QVERIFY(!run.control<QAbstractButton>("okayButton")->isEnabled());
        run.choose("windColumn", 3);
        QVERIFY(run.plugin->windCol());
        run.choose("stateColumn", 4);
        QVERIFY(run.plugin->windCol() && !run.plugin->dateCol() && !run.plugin->tempCol());

        // A rebuild guesses again and leaves the hand-made flag as it was.
        run.choose("fieldSep", 0);
        QCOMPARE(wind->currentIndex(), 2);
        QCOMPARE(run.control<QComboBox>("stateColumn")->currentIndex(), 0);
        QVERIFY(run.plugin->windCol() && !run.plugin->dateCol());
        QCOMPARE(windCol.size(), 1);
        QVERIFY(run.control<QAbstractButton>("okayButton")->isEnabled());
    });
}

void VanePluginTest::encodingChooserShowsTheEncodingReadAndThePreviewIsCut() {
    PluginUnderTest run(host_);
    run.run([&] {
        auto* encodings = run.control<QComboBox>("windEncodings");
        auto* preview = run.control<QPlainTextEdit>("windPreviewText");
        const QString utf8File = sourcePath("tests/core/import/fixtures/utf8_comma_lf.csv");
        run.chooseWindFile(utf8File);
        QCOMPARE(encodings->currentData().toInt(), static_cast<int>(kUtf8Encoding));
        QCOMPARE(encodings->currentText(), QStringLiteral("UTF-8"));
        QFile file(utf8File);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(preview->toPlainText(), QString::fromUtf8(file.readAll()));
        for (int k = 0; k < encodings->count(); ++k) {
            QVERIFY(encodings->itemData(k).toInt() > 0 && encodings->itemData(k).toInt() < 256);
        }
        run.click("cancelButton");

        run.chooseWindFile(sourcePath("tests/core/import/fixtures/macroman_cr.csv"));
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
        run.chooseWindFile(windFile);
        QCOMPARE(preview->toPlainText(), shownAs(beginning));
        run.choose("windEncodings", encodings->findData(static_cast<int>(kMacOSRomanEncoding)));
        QCOMPARE(preview->toPlainText(), shownAs(beginning.left(512)));
        // The line ending is not guessed again, and the table is split anew.
        QCOMPARE(run.control<QComboBox>("lineEnd")->currentIndex(), 1);
        QVERIFY(run.plugin->tableData().rows.size() > 1000);
    });
}

void VanePluginTest::aFailedLoadKeepsTheLastFileAndTable() {
    PluginUnderTest run(host_);
    const QTemporaryDir folder;
    run.run([&] {
        const QString windFile = sourcePath("examples/wind.csv");
        run.chooseWindFile(windFile);
        run.click("cancelButton");
        const std::size_t rows = run.plugin->tableData().rows.size();
        const QString shown = run.control<QPlainTextEdit>("windPreviewText")->toPlainText();
        const int encoding = run.control<QComboBox>("windEncodings")->currentIndex();

        run.chooseWindFile(folder.filePath(QStringLiteral("gone.csv")));
        QCOMPARE(run.alerts->shown.size(), std::size_t{1});
        QCOMPARE(run.alerts->shown.front().title, QStringLiteral("Problem with file"));
        QCOMPARE(run.alerts->shown.front().message,
                 QStringLiteral("The csv file couldn't be read properly. Please send it to "
                                "Fenmark for further examination."));
        QCOMPARE(run.plugin->windFile(), windFile);
        QCOMPARE(run.plugin->tableData().rows.size(), rows);
        QVERIFY(!run.plugin->rawWindContent().has_value());
        QCOMPARE(run.control<QPlainTextEdit>("windPreviewText")->toPlainText(), shown);
        QCOMPARE(run.control<QComboBox>("windEncodings")->currentIndex(), encoding);
        QVERIFY(!run.plugin->previewSheet()->isVisible());
    });
}

void VanePluginTest::timeZoneChooserOffersEveryOffsetInUse() {
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

}  // namespace vane::plugin::testing

QTEST_MAIN(vane::plugin::testing::VanePluginTest)
#include "vane_plugin_test.moc"
