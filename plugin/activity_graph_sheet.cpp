#include "plugin/activity_graph_sheet.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialog>
#include <QStringList>
#include <optional>

#include "graph/activity_graph.h"
#include "graph/graph_file.h"
#include "plugin/activity_graph_view.h"
#include "plugin_api/window_sizes.h"
#include "ui_graph_sheet.h"

namespace vane::plugin {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ActivityGraphSheet::ActivityGraphSheet(AlertPresenter& alerts, FilePanels& panels, bool plotTemp,
                                       QWidget* parent)
    : alerts_(alerts),
      panels_(panels),
      graph_(std::make_unique<graph::ActivityGraph>(
          plotTemp,
          [](std::string key) {
              return QCoreApplication::translate("VanePlugin", key.c_str()).toStdString();
          })),
      sheet_(new QDialog(parent)),
      ui_(std::make_unique<Ui::GraphSheet>()) {
    ui_->setupUi(sheet_);
    sheet_->setWindowModality(Qt::WindowModal);
    view_ = new ActivityGraphView(ui_->hostViewFrame);
    ui_->hostViewLayout->addWidget(view_);
    ui_->graphLayout->setStretch(0, 1);  // the graph takes what the window gains
    keepWindowSize(*sheet_, QStringLiteral("activityGraph"), QSize(900, 700));
    view_->setGraph(&graph_->graph());
    connect(ui_->closeButton, &QAbstractButton::clicked, sheet_, &QDialog::reject);
    connect(ui_->saveGraphButton, &QAbstractButton::clicked, this, &ActivityGraphSheet::saveGraph);
    connect(sheet_, &QDialog::finished, sheet_, &QWidget::hide);
}

ActivityGraphSheet::~ActivityGraphSheet() {
    // The sheet may outlive this controller inside its parent; it must not paint a graph gone.
    if (view_ != nullptr) {
        view_->setGraph(nullptr);
    }
}

void ActivityGraphSheet::clear() {
    graph_->removeAllPlots();
    view_->update();
}

void ActivityGraphSheet::show(const ActivityAnalysisResult& result, bool temperatureAxis,
                              const std::string& decimalSeparator) {
    graph_->showAnalysis(result.plotData, result.seriesNames, temperatureAxis,
                         {.x = result.xRangeLength, .y = result.yRangeLength}, result.legend);
    QStringList summary;
    for (const ActivitySummary& series : result.summaries) {
        const QString text =
            fromUtf8(describeActivitySummary(series, temperatureAxis, decimalSeparator));
        summary << (result.legend ? fromUtf8(series.series) + QStringLiteral(": ") + text : text);
    }
    ui_->activitySummary->setText(summary.join(QLatin1Char('\n')));
    view_->update();
    sheet_->open();
}

void ActivityGraphSheet::saveGraph() {
    QStringList types;
    for (const std::string& type : graph::graphFileTypes()) {
        types << QString::fromStdString(type);
    }
    const std::optional<SavePanelChoice> choice =
        panels_.chooseFileToSave(sheet_, SavePanelOptions{.title = tr("Save the graph"),
                                                          .proposedName = tr("Activity graph"),
                                                          .fileTypes = types,
                                                          .typesName = tr("Pictures")});
    if (!choice) {
        return;
    }
    // The extension names the format; writeGraphFile refuses one it cannot write.
    if (const Outcome<void> written =
            graph::writeGraphFile(graph_->graph(), choice->path.toStdString());
        !written) {
        alerts_.showAlert(sheet_, tr("Graph not saved"), fromUtf8(written.error().message));
    }
}

}  // namespace vane::plugin
