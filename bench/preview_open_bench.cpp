// How long the wind-file preview takes to show a file: from the chosen file to the sheet painted
// with its table, guesses and choosers, on the offscreen platform.
//
//   preview_open_bench WIND_FILE [RUNS]   prints the best of RUNS (default 5) in milliseconds

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "plugin/wind_file_preview.h"
#include "tests/plugin_api/recording_dialogs.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s WIND_FILE [RUNS]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    const int runs = argc == 3 ? std::max(1, std::atoi(argv[2])) : 5;
    QApplication application(argc, argv);
    double best = std::numeric_limits<double>::infinity();
    for (int run = 0; run < runs; ++run) {
        QWidget window;
        window.show();
        vane::RecordingAlerts alerts;
        vane::ScriptedPanels panels;
        vane::plugin::WindFilePreview preview(alerts, panels, &window);
        panels.openAnswers.push_back(file);
        QElapsedTimer timer;
        timer.start();
        preview.chooseFile(0.0);
        QApplication::processEvents();
        if (preview.sheet() == nullptr || !preview.sheet()->isVisible() || !alerts.shown.empty()) {
            std::fprintf(stderr, "%s: the preview did not show %s\n", argv[0], argv[1]);
            return 1;
        }
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("%.1f\n", best);
    return 0;
}
