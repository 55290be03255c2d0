#pragma once

#include <unicode/timezone.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "core/recordings/recording_list.h"
#include "core/time/local_time.h"
#include "plugin/activity_graph_sheet.h"
#include "plugin/vane_plugin.h"
#include "plugin/vane_yearly_graph.h"
#include "tests/plugin_api/fixed_selection_host.h"
#include "tests/plugin_api/recording_dialogs.h"
#include "tests/plugin_api/temporary_settings.h"

namespace vane::plugin::testing {

inline QString sourcePath(const char* relative) {
    return QStringLiteral(VANE_SOURCE_DIR "/") + QString::fromLatin1(relative);
}

// The example season: the recordings that go with examples/wind.csv.
inline std::vector<Recording> exampleRecordings() {
    const RecordingListResult list =
        readRecordingList(sourcePath("examples/recordings.txt").toStdString(), *processTimeZone());
    return list.value();
}

// The real controller with a recorder in place of each dialog.
// Picks an item of a chooser as the user does, so that its action runs.
inline void chooseItem(QComboBox* chooser, int index) {
    QVERIFY(chooser != nullptr);
    chooser->setCurrentIndex(index);
    emit chooser->activated(index);
}

inline void clickButton(QAbstractButton* button) {
    QVERIFY(button != nullptr);
    QVERIFY(button->isEnabled());
    button->click();
}

struct PluginUnderTest {
    explicit PluginUnderTest(const Host& host) {
        auto alertRecorder = std::make_unique<RecordingAlerts>();
        auto panelScript = std::make_unique<ScriptedPanels>();
        auto pasteboardRecorder = std::make_unique<RecordingPasteboard>();
        alerts = alertRecorder.get();
        panels = panelScript.get();
        pasteboard = pasteboardRecorder.get();
        plugin = std::make_unique<VanePlugin>(UserDialogs{
            std::move(alertRecorder), std::move(panelScript), std::move(pasteboardRecorder)});
        plugin->attach(host, nullptr);
    }

    template <typename Widget>
    Widget* control(const char* name) const {
        return plugin->mainPanel()->findChild<Widget*>(QString::fromLatin1(name));
    }

    void choose(const char* chooserName, int index) const {
        chooseItem(control<QComboBox>(chooserName), index);
    }
    void click(const char* buttonName) const { clickButton(control<QAbstractButton>(buttonName)); }

    // Runs the plug-in as the host does and plays `steps` inside its modal panel, then closes
    // whatever is open, so that a failed step never leaves the run hanging.
    void run(const std::function<void()>& steps) const {
        QTimer::singleShot(0, plugin.get(), [this, steps] {
            steps();
            for (QDialog* sheet :
                 {plugin->preview()->sheet(), plugin->graphSheet()->sheet(),
                  plugin->yearlyGraph() ? plugin->yearlyGraph()->window() : nullptr}) {
                if (sheet != nullptr && sheet->isVisible()) {
                    sheet->reject();
                }
            }
            plugin->mainPanel()->close();
        });
        plugin->fire();
    }

    // Chooses `file` through the main panel.
    void chooseWindFile(const QString& file) const {
        panels->openAnswers.push_back(file);
        click("chooseWindFileButton");
    }

    RecordingAlerts* alerts = nullptr;
    ScriptedPanels* panels = nullptr;
    RecordingPasteboard* pasteboard = nullptr;
    std::unique_ptr<VanePlugin> plugin;
};

}  // namespace vane::plugin::testing
