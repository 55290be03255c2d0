#pragma once

#include <QDateTime>
#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

#include "core/analysis/plot_data.h"
#include "core/recordings/recording.h"
#include "core/recordings/species_label.h"
#include "plugin/selection_plugin.h"
#include "plugin/wind_file_preview.h"

namespace Ui {
class VanePanel;
}

namespace vane::plugin {

class ActivityGraphSheet;
class VaneYearlyGraph;

// The plug-in "Bat/Environmental activity" and the controller of its main panel: the selected
// recordings, the wind file's preview, the analysis, and the sheets and windows that show it.
class VanePlugin : public QObject, public SelectionPlugin {
    Q_OBJECT
    Q_INTERFACES(vane::AbstractPlugin)
    Q_PROPERTY(bool weighByRecordingCount READ weighByRecordingCount WRITE setWeighByRecordingCount
                   NOTIFY weighByRecordingCountChanged)
    Q_PROPERTY(QDateTime firstRecordingDate READ firstRecordingDate WRITE setFirstRecordingDate
                   NOTIFY firstRecordingDateChanged)
    Q_PROPERTY(QDateTime lastRecordingDate READ lastRecordingDate WRITE setLastRecordingDate NOTIFY
                   lastRecordingDateChanged)
    Q_PROPERTY(
        int recordingCount READ recordingCount WRITE setRecordingCount NOTIFY recordingCountChanged)

  public:
    VanePlugin();  // message boxes, file dialogs and the clipboard
    explicit VanePlugin(UserDialogs dialogs);
    ~VanePlugin() override;
    VanePlugin(const VanePlugin&) = delete;
    VanePlugin& operator=(const VanePlugin&) = delete;

    QString name() const override;
    // Runs the main panel application-modally; returns when it closes.
    void fire() override;

    bool weighByRecordingCount() const { return weighByRecordingCount_; }
    QDateTime firstRecordingDate() const { return firstRecordingDate_; }
    QDateTime lastRecordingDate() const { return lastRecordingDate_; }
    int recordingCount() const { return recordingCount_; }
    void setWeighByRecordingCount(bool on);
    void setFirstRecordingDate(const QDateTime& date);
    void setLastRecordingDate(const QDateTime& date);
    void setRecordingCount(int count);

    // The run's recordings, sorted by time; empty once the panel has closed.
    const std::vector<Recording>& recordings() const { return recordings_; }
    // The labels they point into; the panel lists those that some recording carries.
    const LabelTable& labels() const { return labels_; }
    // Of the run's recordings, those the species list and the probability let through.
    std::vector<Recording> recordingsToAnalyse() const;
    // The last analysis's curves, and whether they classed the temperature.
    const PlotData& plotData() const { return plotData_; }
    bool plotTemp() const { return plotTemp_; }

    // Empty until the first run has loaded the panel; the yearly graph until it is first shown.
    QDialog* mainPanel() const { return panel_; }
    WindFilePreview* preview() const { return preview_.get(); }
    ActivityGraphSheet* graphSheet() const { return graphSheet_.get(); }
    VaneYearlyGraph* yearlyGraph() const { return yearlyGraph_.get(); }

  signals:
    void weighByRecordingCountChanged(bool on);
    void firstRecordingDateChanged(const QDateTime& date);
    void lastRecordingDateChanged(const QDateTime& date);
    void recordingCountChanged(int count);

  private:
    void loadPanel();
    void connectControls();
    void showRecordingsSummary();
    void listLabels();
    void analyse(WindFilePreview::Ending ending);
    void plotYearlyGraph();
    void copyActivityTimes();

    QPointer<QDialog> panel_;  // parented to the host's window, which may delete it first
    std::unique_ptr<Ui::VanePanel> panelUi_;
    // Their sheets and windows are the panel's children.
    std::unique_ptr<WindFilePreview> preview_;
    std::unique_ptr<ActivityGraphSheet> graphSheet_;
    std::unique_ptr<VaneYearlyGraph> yearlyGraph_;

    std::vector<Recording> recordings_;
    LabelTable labels_;
    PlotData plotData_;
    bool plotTemp_ = false;
    bool weighByRecordingCount_ = false;
    QDateTime firstRecordingDate_;
    QDateTime lastRecordingDate_;
    int recordingCount_ = 0;
};

}  // namespace vane::plugin
