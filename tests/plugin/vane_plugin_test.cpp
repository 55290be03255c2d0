#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <sstream>

#include "cli/analyse_command.h"
#include "core/analysis/bat_events.h"
#include "core/recordings/classifier_table.h"
#include "core/recordings/recording_filter.h"
#include "core/recordings/species_label.h"
#include "graph/activity_graph.h"
#include "graph/plot_styles.h"
#include "host/plugins/plugin_loader.h"
#include "plugin/time_zone_titles.h"
#include "plugin_test_support.h"

namespace vane::plugin::testing {

// What `vane analyse --header` prints for the example pair, with the panel's guesses.
QString commandLineTable(bool temperature, const char* stateColumn = nullptr) {
    cli::AnalyseOptions options;
    options.recordingList = sourcePath("examples/recordings.txt").toStdString();
    options.windFile = sourcePath("examples/wind.csv").toStdString();
    options.temperature = temperature;
    options.decimal.emplace(1, ',');
    options.header = true;
    if (stateColumn != nullptr) {
        options.stateColumn.emplace(stateColumn);
    }
    std::ostringstream out;
    std::ostringstream err;
    if (cli::runAnalyse(options, *processTimeZone(), out, err) != cli::kExitSuccess ||
        out.str().empty()) {
        qWarning("vane analyse gave no table: %s", err.str().c_str());
        return QStringLiteral("(no table)");
    }
    return QString::fromStdString(out.str());
}

// The example season's classifier table, as a host that keeps labels hands it over.
FixedSelectionHost exampleLabelledHost() {
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    QFile file(sourcePath("examples/id.csv"));
    file.open(QIODevice::ReadOnly);
    const QByteArray text = file.readAll();
    const Outcome<ClassifierTable> table = readClassifierTable(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())), "id.csv", *zone);
    Outcome<LabelledRecordings> labelled = toLabelledRecordings(table->recordings);
    return FixedSelectionHost::withLabels(std::move(labelled->recordings),
                                          labelled->labels.names());
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
    void sheetEndedBeforeTheDeferredSplitAnalysesTheChosenSplit();
    void unreadableFileShowsTheAlertAndOpensNothing();
    void graphIsSavedAsPdfOnlyWhenConfirmed();
    void activityTimesGoToTheClipboard();
    void flagsNotifyTheirObservers();
    void labelsAreListedAndTheGraphSplitsByGroup();
    void closeButtonEndsTheRun();

  private:
    vane::testing::TemporarySettings settings_;  // before any QSettings
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
    const std::size_t rows = run.plugin->preview()->table().rowCount();
    QVERIFY(rows > 1);
    QVERIFY(run.plugin->preview()->windColumnPicked());

    const FixedSelectionHost nothingSelected{{}};
    run.plugin->attach(nothingSelected, nullptr);
    run.plugin->fire();
    QCOMPARE(run.alerts->shown.size(), std::size_t{1});
    QCOMPARE(run.alerts->shown.front().title, QStringLiteral("No recordings selected"));
    QCOMPARE(run.alerts->shown.front().message,
             QStringLiteral("The plugin needs selected recordings to work with. Please select "
                            "recordings and start the plugin again."));
    QVERIFY(!run.plugin->mainPanel()->isVisible());
    QCOMPARE(run.plugin->preview()->table().rowCount(), rows);
    QVERIFY(!run.plugin->plotData().empty());
    QVERIFY(run.plugin->preview()->windColumnPicked());
    QVERIFY(run.plugin->preview()->dateColumnPicked());
}

void VanePluginTest::windRunPutsTheCommandLinesTableOnTheClipboardAndShowsTheGraph() {
    PluginUnderTest run(host_);
    run.run([&] {
        QCOMPARE(run.plugin->recordingCount(), static_cast<int>(host_.selectedRecordings().size()));
        QVERIFY(run.control<QLabel>("recordingsSummary")
                    ->text()
                    .contains(QString::number(run.plugin->recordingCount())));
        QVERIFY(!run.plugin->recordings().empty());
        QVERIFY(std::is_sorted(run.plugin->recordings().begin(), run.plugin->recordings().end(),
                               [](const Recording& a, const Recording& b) {
                                   return a.recordingTime < b.recordingTime;
                               }));

        run.chooseWindFile(sourcePath("examples/wind.csv"));
        // Loggers write .txt, .dat and .tsv as well; a file must not need renaming to be read.
        QCOMPARE(run.panels->openOptions.back().fileTypes,
                 (QStringList{QStringLiteral("csv"), QStringLiteral("txt"), QStringLiteral("dat"),
                              QStringLiteral("tsv")}));
        QVERIFY(run.plugin->preview()->sheet()->isVisible());
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
        // The system's named zone, when it has one, comes before the offsets.
        const std::optional<QString> systemZone = systemZoneTitle(*processTimeZone());
        if (systemZone) {
            QCOMPARE(zones->itemText(0), *systemZone);
        }
        QCOMPARE(zones->itemText(systemZone ? 1 : 0), QStringLiteral("-1200"));
        QCOMPARE(zones->itemText(zones->count() - 1), QStringLiteral("+1400"));
        for (const char* offset : {"-0930", "+0530", "+0545", "+1245"}) {
            QVERIFY2(zones->findText(QString::fromLatin1(offset)) >= 0, offset);
        }
        QCOMPARE(run.control<QComboBox>("lineEnd")->currentIndex(), 1);  // CR LF
        QVERIFY(run.control<QAbstractButton>("okayButton")->isEnabled());
        QVERIFY(!run.control<QAbstractButton>("tempButton")->isEnabled());

        // A first run counts as the command line does: the readings' decimal comma is guessed.
        QCOMPARE(run.control<QComboBox>("decimal_Sep")->currentText(), QStringLiteral(","));
        run.click("okayButton");
        QVERIFY(!run.plugin->preview()->sheet()->isVisible());
        QVERIFY(!run.plugin->preview()->holdsText());
        QVERIFY(!run.plugin->plotTemp());
        QCOMPARE(run.pasteboard->strings.size(), std::size_t{1});
        QCOMPARE(run.pasteboard->strings.front(), commandLineTable(false));
        QVERIFY(run.plugin->graphSheet()->sheet()->isVisible());

        const graph::XYGraph& graph = run.plugin->graphSheet()->graph().graph();
        QCOMPARE(graph.plots.size(), std::size_t{1});
        const graph::ScatterPlot& plot = graph.plots.front();
        QCOMPARE(plot.identifier, std::string("single"));
        QVERIFY(plot.dataLineStyle.colour == *graph::colourNamed("greenColor"));
        QVERIFY(plot.plotSymbol.has_value());
        QVERIFY(plot.plotSymbol->shape == graph::SymbolShape::ellipse);
        QVERIFY(!graph.legendPlotSpace.has_value());
        QVERIFY(run.control<QLabel>("activitySummary")->text().contains(QStringLiteral("m/s")));

        run.click("closeButton");
        QVERIFY(!run.plugin->graphSheet()->sheet()->isVisible());
    });
    QVERIFY(run.plugin->recordings().empty());
    QVERIFY(run.alerts->shown.empty());
}

void VanePluginTest::temperatureRunNeedsAChosenColumnAndClassesTemperatures() {
    PluginUnderTest run(host_);
    run.run([&] {
        run.chooseWindFile(sourcePath("examples/wind.csv"));
        QVERIFY(!run.control<QAbstractButton>("tempButton")->isEnabled());
        QSignalSpy tempCol(run.plugin->preview(), &WindFilePreview::temperatureColumnPickedChanged);
        run.choose("tempColumn", 3);
        QCOMPARE(tempCol.size(), 1);
        QVERIFY(run.plugin->preview()->temperatureColumnPicked());
        run.choose("decimal_Sep", 1);
        run.click("tempButton");
        QVERIFY(run.plugin->plotTemp());
        QCOMPARE(run.pasteboard->strings.size(), std::size_t{1});
        QCOMPARE(run.pasteboard->strings.front(), commandLineTable(true));
        QVERIFY(QString::fromStdString(run.plugin->graphSheet()->graph().graph().xAxis.title)
                    .startsWith(QStringLiteral("Temperature")));
    });
}

void VanePluginTest::cancelDiscardsTheTextAndRunsNoAnalysis() {
    PluginUnderTest run(host_);
    run.run([&] {
        run.chooseWindFile(sourcePath("examples/wind.csv"));
        QVERIFY(run.plugin->preview()->holdsText());
        run.click("cancelButton");
        QVERIFY(!run.plugin->preview()->sheet()->isVisible());
        QVERIFY(!run.plugin->preview()->holdsText());
        QVERIFY(run.plugin->preview()->table().rowCount() > 1);
        QVERIFY(!run.plugin->graphSheet()->sheet()->isVisible());
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
        // The states over their pairs of columns, as the rows lay the pairs out.
        QVERIFY(run.pasteboard->strings.front().startsWith(
            QStringLiteral("bat stop\t\tidle\t\tproduction\t\t\n0\t")));
        const graph::XYGraph& graph = run.plugin->graphSheet()->graph().graph();
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
        QVERIFY(run.plugin->graphSheet()->sheet()->isVisible());
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
        QVERIFY(run.plugin->weighByRecordingCount());
        run.chooseWindFile(sourcePath("examples/wind.csv"));
        run.choose("windColumn", 2);
        run.choose("tempColumn", 3);
        run.click("tempButton");
    });
    QSignalSpy windCol(run.plugin->preview(), &WindFilePreview::windColumnPickedChanged);
    QSignalSpy useRecCount(run.plugin.get(), &VanePlugin::weighByRecordingCountChanged);
    run.run([&] {
        QCOMPARE(run.plugin->mainPanel(), panel);
        QVERIFY(run.plugin->preview()->table().empty());
        QCOMPARE(run.plugin->preview()->table().startAt, std::size_t{0});
        QVERIFY(run.plugin->plotData().empty());
        QVERIFY(!run.plugin->preview()->windColumnPicked() &&
                !run.plugin->preview()->dateColumnPicked() &&
                !run.plugin->preview()->temperatureColumnPicked());
        QVERIFY(!run.plugin->weighByRecordingCount());
        QVERIFY(!run.control<QAbstractButton>("useRecCount")->isChecked());
        QVERIFY(run.plugin->plotTemp());
        QCOMPARE(run.control<QComboBox>("decimal_Sep")->currentText(), QStringLiteral(","));
        QCOMPARE(run.plugin->preview()->file(), sourcePath("examples/wind.csv"));
    });
    QCOMPARE(windCol.size(), 1);
    QCOMPARE(useRecCount.size(), 1);
}

void VanePluginTest::sheetEndedBeforeTheDeferredSplitAnalysesTheChosenSplit() {
    PluginUnderTest run(host_);
    run.run([&] {
        run.chooseWindFile(sourcePath("examples/wind.csv"));  // CR LF
        const std::size_t rows = run.plugin->preview()->table().rowCount();
        run.choose("lineEnd", 0);
        run.click("okayButton");
        const WindTable& table = run.plugin->preview()->table();
        QVERIFY(table.rowCount() > 1 && table.field(1, table.fieldCount(1) - 1).ends_with('\r'));
        QTest::qWait(200);
        QCOMPARE(run.plugin->preview()->table().rowCount(), rows);
        QCOMPARE(run.pasteboard->strings.size(), std::size_t{1});
    });
}

void VanePluginTest::unreadableFileShowsTheAlertAndOpensNothing() {
    PluginUnderTest run(host_);
    const QTemporaryDir folder;
    run.run([&] {
        run.chooseWindFile(folder.filePath(QStringLiteral("missing.csv")));
        QCOMPARE(run.alerts->shown.size(), std::size_t{1});
        QCOMPARE(run.alerts->shown.front().title, QStringLiteral("Problem with file"));
        QVERIFY(!run.plugin->preview()->sheet()->isVisible());
        QVERIFY(run.plugin->preview()->file().isEmpty());
        QVERIFY(!run.plugin->preview()->holdsText());

        // A cancelled panel changes nothing either.
        run.click("chooseWindFileButton");
        QCOMPARE(run.alerts->shown.size(), std::size_t{1});
        QVERIFY(!run.plugin->preview()->sheet()->isVisible());
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
        run.click("saveGraphButton");  // cancelled
        QVERIFY(!QFile::exists(pdf));
        run.panels->saveAnswers.push_back(SavePanelChoice{pdf, QStringLiteral("pdf")});
        run.click("saveGraphButton");
        QCOMPARE(run.panels->saveOptions.back().fileTypes.front(), QStringLiteral("pdf"));
        run.panels->saveAnswers.push_back(SavePanelChoice{
            folder.filePath(QStringLiteral("no/such/folder/graph.pdf")), QStringLiteral("pdf")});
        run.click("saveGraphButton");
    });
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    QCOMPARE(run.alerts->shown.size(), std::size_t{1});
    QCOMPARE(run.alerts->shown.front().title, QStringLiteral("Graph not saved"));
}

void VanePluginTest::activityTimesGoToTheClipboard() {
    PluginUnderTest run(host_);
    // The count in the status line is written as the user's locale writes numbers.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QString status;
    run.run([&] {
        run.click("fireOldButton");
        status = run.control<QLabel>("statusMessage")->text();
    });
    QLocale::setDefault(QLocale::c());
    QCOMPARE(run.pasteboard->strings.size(), std::size_t{1});
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    const BatEventList events =
        batEvents(sortedByRecordingTime(host_.selectedRecordings()), batEventGridOrigin(*zone));
    QCOMPARE(static_cast<std::size_t>(run.pasteboard->strings.front().count(QLatin1Char('\n'))),
             events.size());
    QCOMPARE(events.size(), std::size_t{1488});
    QCOMPARE(status, QStringLiteral("Copied 1,488 activity times"));
}

void VanePluginTest::flagsNotifyTheirObservers() {
    PluginUnderTest run(host_);
    run.run([&] {
        const std::pair<QObject*, const char*> flags[] = {
            {run.plugin->preview(), "windColumnPicked"},
            {run.plugin->preview(), "dateColumnPicked"},
            {run.plugin->preview(), "temperatureColumnPicked"},
            {run.plugin.get(), "weighByRecordingCount"}};
        for (const auto& [owner, flag] : flags) {
            const QMetaProperty property =
                owner->metaObject()->property(owner->metaObject()->indexOfProperty(flag));
            QVERIFY(property.hasNotifySignal());
            QSignalSpy spy(owner, property.notifySignal());
            QVERIFY(property.write(owner, true));
            QVERIFY(property.read(owner).toBool());
            QVERIFY(property.write(owner, false));
            QCOMPARE(spy.size(), 2);
        }
    });
}

void VanePluginTest::labelsAreListedAndTheGraphSplitsByGroup() {
    const FixedSelectionHost labelled = exampleLabelledHost();
    PluginUnderTest run(labelled);
    run.run([&] {
        auto* list = run.control<QListWidget>("speciesList");
        QVERIFY(list != nullptr);
        QVERIFY(run.control<QWidget>("speciesBox")->isVisibleTo(run.plugin->mainPanel()));
        QCOMPARE(list->count(), 11);  // nine bats, noise and no ID
        QStringList unchecked;
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->checkState() != Qt::Checked) {
                unchecked << list->item(row)->data(Qt::UserRole).toString();
            }
        }
        QCOMPARE(unchecked, (QStringList{QStringLiteral("Noise"), QStringLiteral("NoID")}));
        // As the command line counts by default: noise and poor matches left out.
        QCOMPARE(run.plugin->recordingsToAnalyse().size(), std::size_t{4457});
        // The least probability is the user's, as --min-probability is; 0 keeps every match
        // and 1 only those a person labelled or the classifier was sure of.
        auto* least = run.control<QDoubleSpinBox>("minProbability");
        QCOMPARE(least->value(), kDefaultMinProbability);
        least->setValue(0.0);
        const std::size_t everyMatch = run.plugin->recordingsToAnalyse().size();
        least->setValue(1.0);
        const std::size_t onlySure = run.plugin->recordingsToAnalyse().size();
        QVERIFY2(onlySure < 4457 && 4457 < everyMatch,
                 qPrintable(QStringLiteral("%1 %2").arg(onlySure).arg(everyMatch)));
        least->setValue(kDefaultMinProbability);
        for (int row = 0; row < list->count(); ++row) {
            QListWidgetItem* item = list->item(row);
            if (item->data(Qt::UserRole).toString() != QStringLiteral("NYCNOC")) {
                item->setCheckState(Qt::Unchecked);
            }
        }
        const std::size_t noctules = run.plugin->recordingsToAnalyse().size();
        QVERIFY(noctules > 0 && noctules < 1000);
        for (int row = 0; row < list->count(); ++row) {
            const bool bat =
                !isNoBatLabel(list->item(row)->data(Qt::UserRole).toString().toStdString());
            list->item(row)->setCheckState(bat ? Qt::Checked : Qt::Unchecked);
        }

        run.control<QAbstractButton>("splitByGroup")->click();
        run.chooseWindFile(sourcePath("examples/wind.csv"));
        run.choose("decimal_Sep", 1);
        run.click("okayButton");
        cli::AnalyseOptions options;
        options.recordingList = sourcePath("examples/id.csv").toStdString();
        options.windFile = sourcePath("examples/wind.csv").toStdString();
        options.decimal.emplace(1, ',');
        options.perGroup = true;
        std::ostringstream err;
        const cli::AnalyseOutcome outcome = cli::analyseFiles(options, *processTimeZone(), err);
        QVERIFY(outcome.result.has_value());
        QCOMPARE(run.pasteboard->strings.size(), std::size_t{1});
        QCOMPARE(run.pasteboard->strings.front(),
                 QString::fromStdString(columnPairHeader(*outcome.result) +
                                        outcome.result->pasteboardText));
        QCOMPARE(run.plugin->plotData().size(), std::size_t{3});
        QVERIFY(run.plugin->plotData().contains("open-space"));
        QVERIFY(run.plugin->graphSheet()->graph().graph().legendPlotSpace.has_value());
    });
}

void VanePluginTest::closeButtonEndsTheRun() {
    PluginUnderTest run(host_);
    run.run([&] {
        QVERIFY(run.plugin->mainPanel()->isVisible());
        run.click("closePanelButton");
        QVERIFY(!run.plugin->mainPanel()->isVisible());
    });
    QVERIFY(run.plugin->recordings().empty());
    QVERIFY(run.pasteboard->strings.empty());
}

}  // namespace vane::plugin::testing

QTEST_MAIN(vane::plugin::testing::VanePluginTest)
#include "vane_plugin_test.moc"
