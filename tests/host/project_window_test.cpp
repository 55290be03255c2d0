#include "host/desk/project_window.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "host/desk/main_window.h"
#include "tests/plugin_api/recording_dialogs.h"
#include "tests/plugin_api/temporary_settings.h"

namespace vane {

// File › Open Project with the example farm: its turbines as the check finds them, a run
// cancelled at once, then a run to its end that opens the farm report.
class ProjectWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void theExampleFarmIsCheckedRunCancelledAndRunToTheEnd();

  private:
    testing::TemporarySettings settings_;  // before any QSettings
    QTemporaryDir folder_;
};

namespace {

// The status the run ends with; fails the test when it takes too long.
int runToItsEnd(ProjectWindow& window, const std::function<void()>& meanwhile = {}) {
    QSignalSpy finished(&window, &ProjectWindow::runFinished);
    window.findChild<QPushButton*>(QStringLiteral("run"))->click();
    if (meanwhile) {
        meanwhile();
    }
    if (!finished.wait(120000)) {
        return -1;
    }
    return finished.front().front().toInt();
}

}  // namespace

void ProjectWindowTest::theExampleFarmIsCheckedRunCancelledAndRunToTheEnd() {
    auto panels = std::make_unique<ScriptedPanels>();
    panels->openAnswers.push_back(QStringLiteral(VANE_SOURCE_DIR "/examples/farm.toml"));
    MainWindow window(UserDialogs{std::make_unique<RecordingAlerts>(), std::move(panels),
                                  std::make_unique<RecordingPasteboard>()});
    QStringList opened;
    window.setDocumentOpener([&opened](const QString& path) { opened << path; });
    QAction* openProject = window.findChild<QAction*>(QStringLiteral("openProject"));
    QVERIFY(openProject != nullptr);
    openProject->trigger();
    auto* project = window.findChild<ProjectWindow*>(QStringLiteral("projectWindow"));
    QVERIFY(project != nullptr);
    QVERIFY(project->isVisible());
    QCOMPARE(project->windowTitle(), QStringLiteral("Wind farm Example farm, Franconia"));

    const auto* turbines = project->findChild<QTableWidget*>(QStringLiteral("turbines"));
    QCOMPARE(turbines->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        const QString name = QStringLiteral("WEA %1").arg(row + 1);
        QCOMPARE(turbines->item(row, 0)->text(), name);
        const QString folder = QStringLiteral("wea-%1").arg(row + 1);
        QVERIFY(
            turbines->item(row, 1)->text().endsWith(folder + QStringLiteral("/recordings.txt")));
        QVERIFY(turbines->item(row, 2)->text().endsWith(folder + QStringLiteral("/wind.csv")));
        QVERIFY2(turbines->item(row, 3)->text().contains(QStringLiteral("Coverage: ")),
                 qPrintable(turbines->item(row, 3)->text()));
    }

    const QDir results(folder_.filePath(QStringLiteral("results")));
    project->setResultsFolder(results.path());
    QCOMPARE(
        runToItsEnd(*project,
                    [&] { project->findChild<QPushButton*>(QStringLiteral("cancel"))->click(); }),
        4);
    // A stopped run vouches for nothing: no lock, no farm files, no report opened.
    for (const char* name :
         {"project.lock.json", "farm.pdf", "farm-summary.tsv", "farm-plan.json"}) {
        QVERIFY2(!results.exists(QString::fromUtf8(name)), name);
    }
    QVERIFY(opened.isEmpty());

    QCOMPARE(runToItsEnd(*project), 0);
    for (const char* name :
         {"project.lock.json", "farm.pdf", "farm-summary.tsv", "farm-plan.json", "farm-plan.txt",
          "WEA_1/plan.json", "WEA_3/farm-plan-controller.csv"}) {
        QVERIFY2(results.exists(QString::fromUtf8(name)), name);
    }
    QCOMPARE(opened, QStringList{results.filePath(QStringLiteral("farm.pdf"))});
    const auto* progress = project->findChild<QProgressBar*>(QStringLiteral("progress"));
    QCOMPARE(progress->value(), progress->maximum());
}

}  // namespace vane

QTEST_MAIN(vane::ProjectWindowTest)
#include "project_window_test.moc"
