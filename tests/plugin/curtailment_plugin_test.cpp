#include "plugin/curtailment_plugin.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "tests/plugin/plugin_test_support.h"

namespace vane::plugin {
namespace {

using testing::exampleRecordings;
using testing::sourcePath;

// The site of the example season, where the sun sets its nights.
Session exampleSite() {
    Session site;
    site.latitude = 49.60;
    site.longitude = 11.05;
    return site;
}

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

    // Chooses the example wind file, which writes decimal commas, on the preview sheet with the
    // temperature column (or none, -1) and ends it with Wind.
    void chooseExampleWind(int temperatureColumn = -1) const {
        panels->openAnswers.push_back(sourcePath("examples/wind.csv"));
        click("chooseWindFileButton");
        QDialog* sheet = plugin->preview()->sheet();
        QVERIFY(sheet->isVisible());
        testing::chooseItem(sheet->findChild<QComboBox*>("decimal_Sep"), 1);
        if (temperatureColumn >= 0) {
            testing::chooseItem(sheet->findChild<QComboBox*>("tempColumn"), temperatureColumn);
        }
        testing::clickButton(sheet->findChild<QAbstractButton*>("okayButton"));
    }

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
    void aChangedSettingSetsThePlanAsideUntilPlanMakesItsOwn();
    void thePanelFitsASmallScreen();
    void guessesThePowerColumnAndRemembersTheOneChosen();
    void withoutRecordingsItSaysSoAndShowsNothing();
    void aTableOfSeveralPowerCurvesWaitsForTheTurbineChosen();
    void countsTheBatsOfTheSpeciesAndProbabilityAskedAsTheCommandLineDoes();

  private:
    vane::testing::TemporarySettings settings_;  // before any QSettings
};

void CurtailmentPluginTest::plansFromTheSessionsSiteAndThePreviewAndSavesReportAndJson() {
    const Session site = exampleSite();
    const FixedSelectionHost host(exampleRecordings(), {Session{}, site});
    CurtailmentUnderTest run(host);
    QCOMPARE(run.plugin->name(), QStringLiteral("Bat/Curtailment plan"));
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    run.run([&] {
        QCOMPARE(run.control<QDoubleSpinBox>("latitude")->value(), 49.60);
        QCOMPARE(run.control<QDoubleSpinBox>("longitude")->value(), 11.05);
        run.chooseExampleWind();
        // The file's power column is guessed, so the plan weighs energy.
        QVERIFY(run.plugin->result().has_value());
        QCOMPARE(run.control<QComboBox>("powerColumn")->currentText(),
                 QStringLiteral("Power (kW)"));
        QVERIFY(run.plugin->result()->energyKnown);
        QCOMPARE(run.plugin->result()->data.activityInNights, 1471);
        // The estimate, its interval and how it was made, beside each plan.
        const QString summary = run.control<QLabel>("summary")->text();
        QVERIFY(summary.contains(QStringLiteral("Tailored (activity model): a cut-in in")));
        QVERIFY(summary.contains(
            QRegularExpression(QStringLiteral("Tailored: expected \\d+ % \\(\\d+-\\d+ %\\) "
                                              "on nights it was not made from"))));
        QVERIFY(summary.contains(QStringLiteral("Estimate: 5-fold cross-validation")));
        // Which nights the plan saw, as vane curtail prints them.
        QVERIFY(run.control<QLabel>("coverage")
                    ->text()
                    .contains(QStringLiteral("2012-06  ##############################")));
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

// A plan on screen or on disk that answers other settings than those shown is a wrong result
// handed on: every change sets it aside, and saving waits for Plan.
void CurtailmentPluginTest::aChangedSettingSetsThePlanAsideUntilPlanMakesItsOwn() {
    const Session site = exampleSite();
    const FixedSelectionHost host(exampleRecordings(), {site});
    CurtailmentUnderTest run(host);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    run.run([&] {
        run.chooseExampleWind(3);  // the temperature, for the floor
        QVERIFY(run.plugin->result().has_value());
        const struct {
            const char* what;
            std::function<void()> change;
        } changes[] = {
            {"protect", [&] { run.control<QDoubleSpinBox>("target")->setValue(80.0); }},
            {"no power column", [&] { run.control<QComboBox>("powerColumn")->setCurrentIndex(0); }},
            {"power column", [&] { run.control<QComboBox>("powerColumn")->setCurrentIndex(5); }},
            {"night parts", [&] { run.control<QSpinBox>("nightParts")->setValue(6); }},
            {"latitude", [&] { run.control<QDoubleSpinBox>("latitude")->setValue(49.5); }},
            {"floor", [&] { run.control<QCheckBox>("floorOn")->setChecked(true); }},
            {"floor value",
             [&] { run.control<QDoubleSpinBox>("temperatureFloor")->setValue(8.0); }},
        };
        for (const auto& [what, change] : changes) {
            change();
            QVERIFY2(!run.plugin->result().has_value(), what);
            QVERIFY2(!run.control<QAbstractButton>("saveJsonButton")->isEnabled(), what);
            QVERIFY2(!run.control<QAbstractButton>("saveReportButton")->isEnabled(), what);
            QVERIFY2(run.control<QLabel>("summary")->text().contains(QStringLiteral("press Plan")),
                     what);
            run.click("planButton");
            QVERIFY2(run.plugin->result().has_value(), what);
        }
        QCOMPARE(run.plugin->result()->protectPercent, 80.0);
        QVERIFY(run.plugin->result()->energyKnown);
        run.panels->saveAnswers.push_back({folder.filePath("plan.json"), "json"});
        run.click("saveJsonButton");
    });
    QVERIFY(run.alerts->shown.empty());
    QFile file(folder.filePath("plan.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(file.readAll(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(json[QStringLiteral("target")].toDouble(), 80.0);
    const QJsonObject settings = json[QStringLiteral("settings")].toObject();
    QCOMPARE(settings[QStringLiteral("latitude")].toDouble(), 49.5);
    QCOMPARE(settings[QStringLiteral("longitude")].toDouble(), 11.05);
    QCOMPARE(settings[QStringLiteral("night_parts")].toInt(), 6);
    QCOMPARE(settings[QStringLiteral("temperature_floor")].toDouble(), 8.0);
    QCOMPARE(settings[QStringLiteral("power")].toString(), QStringLiteral("column Power (kW)"));
    QCOMPARE(settings[QStringLiteral("wind_file")].toString(), QStringLiteral("wind.csv"));
    QCOMPARE(settings[QStringLiteral("zone")].toString(), QStringLiteral("Europe/Berlin"));
}

void CurtailmentPluginTest::thePanelFitsASmallScreen() {
    // The offscreen screen is 800 x 600, smaller than 1024 x 700.
    const FixedSelectionHost host(exampleRecordings());
    CurtailmentUnderTest run(host);
    run.run([&] {
        const QSize available = run.plugin->panel()->screen()->availableGeometry().size();
        const QSize opened = run.plugin->panel()->size();
        QVERIFY2(opened.width() <= available.width() && opened.height() <= available.height(),
                 qPrintable(QStringLiteral("%1 x %2").arg(opened.width()).arg(opened.height())));
    });
}

void CurtailmentPluginTest::guessesThePowerColumnAndRemembersTheOneChosen() {
    const FixedSelectionHost host(exampleRecordings());
    // Each run a new plug-in, as after a restart of the desk; `pick` is the user's choice.
    const auto planWith = [&](int pick) {
        CurtailmentUnderTest run(host);
        QString shown;
        run.run([&] {
            run.chooseExampleWind();
            auto* power = run.control<QComboBox>("powerColumn");
            shown = power->currentText();
            QCOMPARE(run.plugin->result()->energyKnown, power->currentIndex() > 0);
            if (pick >= 0) {
                testing::chooseItem(power, pick);
            }
        });
        return shown;
    };
    QSettings().remove(QStringLiteral("curtailment/powerColumn"));
    QCOMPARE(planWith(0), QStringLiteral("Power (kW)"));  // guessed; the user picks none
    QCOMPARE(planWith(5), QStringLiteral("none"));        // remembered; the user picks the column
    QCOMPARE(planWith(-1), QStringLiteral("Power (kW)"));
}

// Another turbine's curve would weigh the wrong energy: a table of several waits for the pick,
// as `vane curtail` waits for --turbine, and the plan names the row.
void CurtailmentPluginTest::aTableOfSeveralPowerCurvesWaitsForTheTurbineChosen() {
    const Session site = exampleSite();
    const FixedSelectionHost host(exampleRecordings(), {site});
    CurtailmentUnderTest run(host);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString curves = folder.filePath(QStringLiteral("curves.csv"));
    QFile file(curves);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        "turbine_type,0,3,12,25\r\nE-82,0,0,2300000,2300000\r\n"
        "V90,0,0,2000000,2000000\r\n");
    file.close();
    run.run([&] {
        run.chooseExampleWind();
        testing::chooseItem(run.control<QComboBox>("powerColumn"), 0);
        run.panels->openAnswers.push_back(curves);
        run.click("powerCurveButton");
        auto* turbine = run.control<QComboBox>("powerCurveTurbine");
        QVERIFY(turbine->isVisibleTo(run.plugin->panel()));
        QCOMPARE(turbine->count(), 3);
        QCOMPARE(turbine->itemText(2), QStringLiteral("V90"));
        QVERIFY(!run.plugin->result().has_value());
        run.click("planButton");
        QVERIFY(!run.plugin->result().has_value());
        QCOMPARE(run.alerts->shown.size(), std::size_t{1});
        QCOMPARE(run.alerts->shown.front().title, QStringLiteral("No turbine chosen"));

        testing::chooseItem(turbine, 2);
        QVERIFY(run.plugin->result().has_value());
        QVERIFY(run.plugin->result()->energyKnown);
        QVERIFY(run.control<QLabel>("powerCurveLabel")
                    ->text()
                    .endsWith(QStringLiteral(": W, as no title names the unit, and the highest "
                                             "value, 2300000, is above 30000 (more than any "
                                             "turbine's kW)")));
        run.panels->saveAnswers.push_back({folder.filePath("plan.json"), "json"});
        run.click("saveJsonButton");

        // A curve of two columns hides the chooser again.
        const QString single = folder.filePath(QStringLiteral("v90.csv"));
        QFile two(single);
        QVERIFY(two.open(QIODevice::WriteOnly));
        two.write("wind,kW\n3,0\n12,2000\n25,2000\n");
        two.close();
        run.panels->openAnswers.push_back(single);
        run.click("powerCurveButton");
        QVERIFY(!turbine->isVisibleTo(run.plugin->panel()));
        QVERIFY(run.plugin->result().has_value());
    });
    QFile json(folder.filePath("plan.json"));
    QVERIFY(json.open(QIODevice::ReadOnly));
    QVERIFY(json.readAll().contains("\"power\":\"curve curves.csv, V90\""));
}

void CurtailmentPluginTest::withoutRecordingsItSaysSoAndShowsNothing() {
    const FixedSelectionHost host({});
    CurtailmentUnderTest run(host);
    run.plugin->fire();
    QCOMPARE(run.alerts->shown.size(), std::size_t{1});
    QCOMPARE(run.alerts->shown.front().title, QStringLiteral("No recordings selected"));
    QVERIFY(run.plugin->panel() == nullptr);
}

// Noise and improbable labels are no bat activity: counted, they would stop the turbine for
// nothing. The panel counts as `vane curtail` does, and its species and probability say which.
void CurtailmentPluginTest::countsTheBatsOfTheSpeciesAndProbabilityAskedAsTheCommandLineDoes() {
    const std::vector<std::string> labels = {"", "Noise", "PIPPIP", "NYCNOC"};
    std::vector<Recording> labelled = exampleRecordings();
    std::vector<Recording> pippip;
    std::vector<Recording> nycnoc;
    for (std::size_t i = 0; i < labelled.size(); ++i) {
        Recording& recording = labelled[i];
        recording.label = static_cast<std::uint16_t>(1 + i % 3);
        recording.probability = recording.label == 2 ? 0.9f : 0.3f;
        if (recording.label == 2) {
            pippip.push_back({recording.recordingTime});
        } else if (recording.label == 3) {
            nycnoc.push_back({recording.recordingTime});
        }
    }
    std::vector<Recording> both = pippip;
    both.insert(both.end(), nycnoc.begin(), nycnoc.end());
    // The activity a plan counts for `host` with the species and least probability given.
    const auto activity = [](const Host& host, const QString& species, double minProbability) {
        CurtailmentUnderTest run(host);
        std::int64_t counted = -1;
        run.run([&] {
            run.control<QDoubleSpinBox>("latitude")->setValue(49.60);
            run.control<QDoubleSpinBox>("longitude")->setValue(11.05);
            run.control<QLineEdit>("species")->setText(species);
            run.control<QDoubleSpinBox>("minProbability")->setValue(minProbability);
            run.chooseExampleWind();
            if (run.plugin->result()) {
                counted = run.plugin->result()->data.activityInNights;
            }
        });
        return counted;
    };
    const auto withLabels = FixedSelectionHost::withLabels(labelled, labels);
    const std::int64_t pippipOnly = activity(FixedSelectionHost(pippip), {}, 0.5);
    QVERIFY(pippipOnly > 0);
    QCOMPARE(activity(withLabels, {}, 0.5), pippipOnly);
    QCOMPARE(activity(withLabels, {}, 0.2), activity(FixedSelectionHost(both), {}, 0.5));
    QCOMPARE(activity(withLabels, QStringLiteral(" NYCNOC "), 0.2),
             activity(FixedSelectionHost(nycnoc), {}, 0.5));
    QCOMPARE(activity(withLabels, QStringLiteral("NYCNOC"), 0.5), -1);  // none counted: refused
}

}  // namespace vane::plugin

QTEST_MAIN(vane::plugin::CurtailmentPluginTest)
#include "curtailment_plugin_test.moc"
