// Pictures of the plug-in's windows for the README: runs the real controller over a recording
// list and a wind file, the file choice answered by script, and saves each window as it looks.
#include <unicode/timezone.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTimer>
#include <iostream>

#include "core/recordings/recording_list.h"
#include "core/time/local_time.h"
#include "plugin/recording_dialogs.h"
#include "plugin/vane_plugin.h"
#include "plugin/vane_yearly_graph.h"

namespace {

template <typename Widget>
Widget& control(const vane::plugin::VanePlugin& plugin, const char* name) {
    auto* widget = plugin.mainPanel()->findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        throw std::runtime_error(std::string("no control ") + name);
    }
    return *widget;
}

bool savePicture(QWidget& window, const QDir& folder, const char* name) {
    QApplication::processEvents();
    const QString path = folder.filePath(QString::fromLatin1(name));
    if (!window.grab().save(path)) {
        std::cerr << "Could not write " << path.toStdString() << '\n';
        return false;
    }
    std::cout << "Wrote " << path.toStdString() << '\n';
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 6) {
        std::cerr << "usage: make_plugin_screenshots RECORDINGS WIND_CSV LATITUDE LONGITUDE "
                     "OUTPUT_FOLDER\n";
        return 2;
    }
    const vane::RecordingListResult list =
        vane::readRecordingList(argv[1], *vane::processTimeZone());
    if (list.error || list.recordings.empty()) {
        std::cerr << "No recordings in " << argv[1] << '\n';
        return 2;
    }
    const vane::Session site{.sampledate = list.recordings.front().recordingTime,
                             .recordingCount = static_cast<std::int64_t>(list.recordings.size()),
                             .latitude = QString::fromLocal8Bit(argv[3]).toDouble(),
                             .longitude = QString::fromLocal8Bit(argv[4]).toDouble()};
    const vane::FixedSelectionHost host(list.recordings, {site});
    const QDir folder(QString::fromLocal8Bit(argv[5]));

    auto panels = std::make_unique<vane::plugin::ScriptedPanels>();
    panels->openAnswers.push_back(QString::fromLocal8Bit(argv[2]));
    vane::plugin::VanePlugin plugin(vane::plugin::UserDialogs{
        std::make_unique<vane::plugin::RecordingAlerts>(), std::move(panels),
        std::make_unique<vane::plugin::RecordingPasteboard>()});
    plugin.attach(host, nullptr);

    bool written = true;
    QTimer::singleShot(300, &plugin, [&] {
        try {
            QDialog& panel = *plugin.mainPanel();
            written = savePicture(panel, folder, "plugin-panel.png") && written;
            control<QAbstractButton>(plugin, "chooseWindFileButton").click();
            plugin.previewSheet()->resize(980, 640);
            QComboBox& decimal = control<QComboBox>(plugin, "decimal_Sep");
            decimal.setCurrentIndex(decimal.findText(QStringLiteral(",")));
            written = savePicture(*plugin.previewSheet(), folder, "plugin-preview.png") && written;
            control<QAbstractButton>(plugin, "okayButton").click();
            plugin.graphSheet()->resize(720, 560);
            written = savePicture(*plugin.graphSheet(), folder, "plugin-graph.png") && written;
            plugin.graphSheet()->reject();
            control<QAbstractButton>(plugin, "plotYearlyGraphButton").click();
            QDialog& yearly = *plugin.yearlyGraph()->window();
            written = savePicture(yearly, folder, "plugin-yearly.png") && written;
            yearly.reject();
        } catch (const std::exception& problem) {
            std::cerr << problem.what() << '\n';
            written = false;
        }
        plugin.mainPanel()->close();
    });
    plugin.fire();
    return written ? 0 : 1;
}
