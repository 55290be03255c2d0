#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <string>

#include "core/analysis/activity_analysis.h"
#include "plugin_api/user_dialogs.h"

class QDialog;
class QWidget;

namespace Ui {
class GraphSheet;
}

namespace vane::graph {
class ActivityGraph;
}

namespace vane::plugin {

class ActivityGraphView;

// The graph sheet: the curves of one analysis, the summary under them, and the graph saved in
// the format its file name's extension names.
class ActivityGraphSheet final : public QObject {
    Q_OBJECT

  public:
    // The sheet is window-modal over `parent`, which owns it; the dialogs outlive the sheet.
    ActivityGraphSheet(AlertPresenter& alerts, FilePanels& panels, bool plotTemp, QWidget* parent);
    ~ActivityGraphSheet() override;
    ActivityGraphSheet(const ActivityGraphSheet&) = delete;
    ActivityGraphSheet& operator=(const ActivityGraphSheet&) = delete;

    QDialog* sheet() const { return sheet_; }
    const graph::ActivityGraph& graph() const { return *graph_; }

    // Takes the old curves away, whatever comes of the next run.
    void clear();
    // Draws the analysis's curves, over the temperature or the wind speed, writes the summary
    // with the labels' decimal separator and opens the sheet.
    void show(const ActivityAnalysisResult& result, bool temperatureAxis,
              const std::string& decimalSeparator);

    void saveGraph();

  private:
    AlertPresenter& alerts_;
    FilePanels& panels_;
    std::unique_ptr<graph::ActivityGraph> graph_;  // shown by the view, so it outlives the sheet
    QDialog* sheet_ = nullptr;                     // owned by the parent
    std::unique_ptr<Ui::GraphSheet> ui_;
    QPointer<ActivityGraphView> view_;  // owned by the sheet
};

}  // namespace vane::plugin
