#include "plugin/activity_graph_sheet.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>
#include <sstream>

#include "cli/analyse_command.h"
#include "core/time/local_time.h"
#include "graph/activity_graph.h"
#include "plugin_test_support.h"
#include "tests/plugin_api/recording_dialogs.h"

namespace vane::plugin::testing {
namespace {

// The example pair analysed as `vane analyse` does, over the wind or the temperature, with or
// without the state column.
ActivityAnalysisResult exampleAnalysis(bool temperature, bool byState) {
    cli::AnalyseOptions options;
    options.recordingList = sourcePath("examples/recordings.txt").toStdString();
    options.windFile = sourcePath("examples/wind.csv").toStdString();
    options.temperature = temperature;
    options.decimal.emplace(1, ',');
    if (byState) {
        options.stateColumn.emplace("Operating state");
    }
    std::ostringstream err;
    cli::AnalyseOutcome outcome = cli::analyseFiles(options, *processTimeZone(), err);
    if (!outcome.result) {
        qWarning("vane analyse gave no result: %s", err.str().c_str());
        return {};
    }
    return std::move(*outcome.result);
}

}  // namespace

// The sheet with a recorder in place of each dialog, over a window of the plug-in's.
struct SheetUnderTest {
    template <typename Widget>
    Widget* control(const char* name) const {
        return sheet.sheet()->findChild<Widget*>(QString::fromLatin1(name));
    }

    QWidget window;
    RecordingAlerts alerts;
    ScriptedPanels panels;
    ActivityGraphSheet sheet{alerts, panels, false, &window};
};

class ActivityGraphSheetTest : public QObject {
    Q_OBJECT

  private slots:
    void showsTheCurvesAndTheirSummaryOverTheChosenAxis();
    void savesInTheFormatTheNameSaysOnlyWhenConfirmed();

  private:
    vane::testing::TemporarySettings settings_;  // before any QSettings
};

void ActivityGraphSheetTest::showsTheCurvesAndTheirSummaryOverTheChosenAxis() {
    struct Case {
        const char* name;
        bool temperature;
        bool byState;
        std::size_t curves;
        const char* axisTitleStart;
        const char* summaryUnit;
    };
    const Case cases[] = {
        {"wind", false, false, 1, "Wind", "m/s"},
        {"temperature", true, false, 1, "Temperature", "°C"},
        {"states", false, true, 3, "Wind", "m/s"},
    };
    for (const Case& c : cases) {
        SheetUnderTest run;
        const ActivityAnalysisResult result = exampleAnalysis(c.temperature, c.byState);
        QVERIFY2(result.hasTable(), c.name);
        run.sheet.show(result, c.temperature && !result.legend, ",");
        QVERIFY2(run.sheet.sheet()->isVisible(), c.name);

        const graph::XYGraph& graph = run.sheet.graph().graph();
        std::size_t curves = 0;
        for (const graph::ScatterPlot& plot : graph.plots) {
            curves += plot.plotSpaceIndex == 0 ? 1 : 0;
        }
        QCOMPARE(curves, c.curves);
        QCOMPARE(graph.legendPlotSpace.has_value(), c.byState);
        QVERIFY2(QString::fromStdString(graph.xAxis.title)
                     .startsWith(QString::fromUtf8(c.axisTitleStart)),
                 c.name);
        const QString summary = run.control<QLabel>("activitySummary")->text();
        QVERIFY2(summary.contains(QString::fromUtf8(c.summaryUnit)), c.name);
        QCOMPARE(summary.count(QLatin1Char('\n')) + 1, static_cast<int>(c.curves));

        run.sheet.clear();
        QVERIFY(run.sheet.graph().graph().plots.empty());
        run.control<QAbstractButton>("closeButton")->click();
        QVERIFY(!run.sheet.sheet()->isVisible());
    }
}

void ActivityGraphSheetTest::savesInTheFormatTheNameSaysOnlyWhenConfirmed() {
    SheetUnderTest run;
    run.sheet.show(exampleAnalysis(false, false), false, ",");
    const QTemporaryDir folder;
    auto* save = run.control<QAbstractButton>("saveGraphButton");

    save->click();  // cancelled
    QVERIFY(QDir(folder.path()).isEmpty());
    QCOMPARE(run.panels.saveOptions.back().title, QStringLiteral("Save the graph"));
    QCOMPARE(run.panels.saveOptions.back().proposedName, QStringLiteral("Activity graph"));
    const QStringList offered = run.panels.saveOptions.back().fileTypes;
    QCOMPARE(offered.mid(0, 3), (QStringList{"pdf", "png", "svg"}));
    QVERIFY(offered.contains(QStringLiteral("tiff")));

    const struct {
        const char* name;
        QByteArray start;
    } files[] = {
        {"graph.pdf", "%PDF-"}, {"graph.png", "\x89PNG"}, {"graph.PNG", "\x89PNG"},
        {"graph.tiff", "II*"},  {"graph.svg", "<?xml"},
    };
    for (const auto& [name, start] : files) {
        const QString path = folder.filePath(QString::fromLatin1(name));
        run.panels.saveAnswers.push_back(SavePanelChoice{path, QFileInfo(path).suffix()});
        save->click();
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), name);
        QVERIFY2(file.read(start.size()) == start, name);
    }
    QVERIFY(run.alerts.shown.empty());

    const struct {
        const char* name;
        const char* reason;
    } refused[] = {
        {"graph.xyz", "unknown picture format 'xyz'"},
        {"no/such/folder/graph.pdf", "no/such/folder"},
    };
    for (const auto& [name, reason] : refused) {
        run.alerts.shown.clear();
        run.panels.saveAnswers.push_back(
            SavePanelChoice{folder.filePath(QString::fromLatin1(name)), QStringLiteral("pdf")});
        save->click();
        QCOMPARE(run.alerts.shown.size(), std::size_t{1});
        QCOMPARE(run.alerts.shown.front().title, QStringLiteral("Graph not saved"));
        QVERIFY2(run.alerts.shown.front().message.contains(QString::fromLatin1(reason)),
                 qPrintable(run.alerts.shown.front().message));
        QVERIFY(!QFile::exists(folder.filePath(QString::fromLatin1(name))));
    }
}

}  // namespace vane::plugin::testing

QTEST_MAIN(vane::plugin::testing::ActivityGraphSheetTest)
#include "activity_graph_sheet_test.moc"
