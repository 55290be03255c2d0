#include "plugin/curtailment_plugin.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "tests/plugin/plugin_test_support.h"

namespace vane::plugin {
namespace {

using testing::exampleRecordings;
using testing::sourcePath;

// The real controller over the example season, with recorders in place of the dialogs.
struct CurtailmentUnderTest {
    explicit CurtailmentUnderTest(const Host& host) {
        auto alertRecorder = std::make_unique<RecordingAlerts>();
        auto panelScript = std::make_unique<ScriptedPanels>();
        alerts = alertRecorder.get();
        panels = panelScript.get();
        plugin = std::make_unique<CurtailmentPlugin>(
            UserDialogs{std::move(alertRecorder), std::move(panelScript),
                        std::make_unique<RecordingPasteboard>()});
        plugin->attach(host, nullptr);
    }

    template <typename Widget>
    Widget* control(const char* name) const {
        return plugin->panel()->findChild<Widget*>(QString::fromLatin1(name));
    }
    void click(const char* name) const { testing::clickButton(control<QAbstractButton>(name)); }

    // Runs the plug-in as the host does, plays `steps` inside its modal panel, then closes it.
    void run(const std::function<void()>& steps) const {
        QTimer::singleShot(0, plugin.get(), [this, steps] {
            steps();
            if (plugin->preview()->sheet() != nullptr && plugin->preview()->sheet()->isVisible()) {
                plugin->preview()->sheet()->reject();
            }
            plugin->panel()->close();
        });
        plugin->fire();
    }

    RecordingAlerts* alerts = nullptr;
    ScriptedPanels* panels = nullptr;
    std::unique_ptr<CurtailmentPlugin> plugin;
};

}  // namespace

class CurtailmentPluginTest : public QObject {
    Q_OBJECT

  private slots:
    void plansFromTheSessionsSiteAndThePreviewAndSavesReportAndJson();
    void withoutRecordingsItSaysSoAndShowsNothing();

  private:
    vane::testing::TemporarySettings settings_;  // before any QSettings
};

void CurtailmentPluginTest::plansFromTheSessionsSiteAndThePreviewAndSavesReportAndJson() {
    Session site;
    site.latitude = 49.60;
    site.longitude = 11.05;
    const FixedSelectionHost host(exampleRecordings(), {Session{}, site});
    CurtailmentUnderTest run(host);
    QCOMPARE(run.plugin->name(), QStringLiteral("Bat/Curtailment plan"));
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    run.run([&] {
        QCOMPARE(run.control<QDoubleSpinBox>("latitude")->value(), 49.60);
        QCOMPARE(run.control<QDoubleSpinBox>("longitude")->value(), 11.05);
        run.panels->openAnswers.push_back(sourcePath("examples/wind.csv"));
        run.click("chooseWindFileButton");
        QVERIFY(run.plugin->preview()->sheet()->isVisible());
        // The example writes decimal commas.
        testing::chooseItem(run.plugin->preview()->sheet()->findChild<QComboBox*>("decimal_Sep"),
                            1);
        testing::clickButton(
            run.plugin->preview()->sheet()->findChild<QAbstractButton*>("okayButton"));
        // Without power the plan weighs hours; with the file's power column, energy.
        QVERIFY(run.plugin->result().has_value());
        QVERIFY(!run.plugin->result()->energyKnown);
        auto* power = run.control<QComboBox>("powerColumn");
        QCOMPARE(power->itemText(5), QStringLiteral("Power (kW)"));
        power->setCurrentIndex(5);
        run.click("planButton");
        QVERIFY(run.plugin->result()->energyKnown);
        QCOMPARE(run.plugin->result()->data.activityInNights, 1471);
        // The estimate, its interval and how it was made, beside each plan.
        const QString summary = run.control<QLabel>("summary")->text();
        QVERIFY(summary.contains(QStringLiteral("Tailored (activity model): a cut-in in")));
        QVERIFY(summary.contains(
            QRegularExpression(QStringLiteral("Tailored: expected \\d+ % \\(\\d+-\\d+ %\\) "
                                              "on nights it was not made from"))));
        QVERIFY(summary.contains(QStringLiteral("Estimate: 5-fold cross-validation")));
        QVERIFY(run.plugin->result()->tailored.totals.energyLostKwh <=
                run.plugin->result()->blanket.totals.energyLostKwh);

        run.panels->saveAnswers.push_back({folder.filePath("plan.pdf"), "pdf"});
        run.click("saveReportButton");
        run.panels->saveAnswers.push_back({folder.filePath("plan.json"), "json"});
        run.click("saveJsonButton");
    });
    QVERIFY(run.alerts->shown.empty());
    QFile pdf(folder.filePath("plan.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QFile json(folder.filePath("plan.json"));
    QVERIFY(json.open(QIODevice::ReadOnly));
    QVERIFY(json.readAll().startsWith("{\"target\":90,\"activity_total\":1471,"));
}

void CurtailmentPluginTest::withoutRecordingsItSaysSoAndShowsNothing() {
    const FixedSelectionHost host({});
    CurtailmentUnderTest run(host);
    run.plugin->fire();
    QCOMPARE(run.alerts->shown.size(), std::size_t{1});
    QCOMPARE(run.alerts->shown.front().title, QStringLiteral("No recordings selected"));
    QVERIFY(run.plugin->panel() == nullptr);
}

}  // namespace vane::plugin

QTEST_MAIN(vane::plugin::CurtailmentPluginTest)
#include "curtailment_plugin_test.moc"
