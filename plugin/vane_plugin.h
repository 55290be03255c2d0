#pragma once

#include <QDateTime>
#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/analysis/plot_data.h"
#include "core/host/host.h"
#include "core/import/wind_table.h"
#include "host/plugins/abstract_plugin.h"
#include "plugin/user_dialogs.h"

class QAbstractButton;
class QComboBox;

namespace vane::graph {
class ActivityGraph;
}

namespace Ui {
class VanePanel;
class PreviewSheet;
class GraphSheet;
}  // namespace Ui

namespace vane::plugin {

class ActivityGraphView;
class VaneYearlyGraph;
class WindTableModel;

// The controller of the main panel, the wind file's preview sheet and the graph sheet. It reads
// the controls, hands them to the core as option structs and shows what comes back.
class VanePlugin : public QObject, public AbstractPlugin {
    Q_OBJECT
    Q_INTERFACES(vane::AbstractPlugin)
    Q_PROPERTY(bool windCol READ windCol WRITE setWindCol NOTIFY windColChanged)
    Q_PROPERTY(bool dateCol READ dateCol WRITE setDateCol NOTIFY dateColChanged)
    Q_PROPERTY(bool tempCol READ tempCol WRITE setTempCol NOTIFY tempColChanged)
    Q_PROPERTY(bool useRecCount READ useRecCount WRITE setUseRecCount NOTIFY useRecCountChanged)
    Q_PROPERTY(
        QDateTime recStartDate READ recStartDate WRITE setRecStartDate NOTIFY recStartDateChanged)
    Q_PROPERTY(QDateTime recEndDate READ recEndDate WRITE setRecEndDate NOTIFY recEndDateChanged)
    Q_PROPERTY(int recCount READ recCount WRITE setRecCount NOTIFY recCountChanged)

  public:
    VanePlugin();  // message boxes, file dialogs and the clipboard
    explicit VanePlugin(UserDialogs dialogs);
    ~VanePlugin() override;
    VanePlugin(const VanePlugin&) = delete;
    VanePlugin& operator=(const VanePlugin&) = delete;

    void attach(const Host& host, QWidget* parentWindow) override;
    QString name() const override;
    // Runs the main panel application-modally; returns when it closes.
    void fire() override;

    bool windCol() const { return windCol_; }
    bool dateCol() const { return dateCol_; }
    bool tempCol() const { return tempCol_; }
    bool useRecCount() const { return useRecCount_; }
    QDateTime recStartDate() const { return recStartDate_; }
    QDateTime recEndDate() const { return recEndDate_; }
    int recCount() const { return recCount_; }
    void setWindCol(bool on);
    void setDateCol(bool on);
    void setTempCol(bool on);
    void setUseRecCount(bool on);
    void setRecStartDate(const QDateTime& date);
    void setRecEndDate(const QDateTime& date);
    void setRecCount(int count);

    // The run state, for whoever drives the panel.
    const std::vector<Recording>& recordings() const { return _recArray; }
    const WindTable& tableData() const { return _tableData; }
    const PlotData& plotData() const { return _plotData; }
    const std::optional<std::string>& rawWindContent() const { return _rawWindContent; }
    const QString& windFile() const { return _windFile; }
    bool plotTemp() const { return plotTemp_; }
    const graph::ActivityGraph* activityGraph() const { return graph_.get(); }
    // Empty until the first run has loaded the panel.
    QDialog* mainPanel() const { return vanePanel; }
    QDialog* previewSheet() const { return windPreviewSheet; }
    QDialog* graphSheet() const { return graphPanel; }
    VaneYearlyGraph* yearlyGraph() const { return yearWiseGraph.get(); }

  public slots:
    void chooseWindFile();
    void changeFileEncoding();
    void setLineEnding();
    void updateTableData();
    void setOutputColumns(QComboBox* sender);
    void closeSheet(QAbstractButton* sender);
    void didEndSheet(QDialog* sheet, int returnCode);
    void analyseActivityAndWind();
    void pdfOfWindGraph();
    void plotYearlyGraph();
    void fireOld();

  signals:
    void windColChanged(bool on);
    void dateColChanged(bool on);
    void tempColChanged(bool on);
    void useRecCountChanged(bool on);
    void recStartDateChanged(const QDateTime& date);
    void recEndDateChanged(const QDateTime& date);
    void recCountChanged(int count);

  private:
    void awakeFromNib();
    void windowWillClose();
    void connectControls();
    void updateColumnChoosers();
    void showRecordingsSummary();
    void updateSheetButtons();
    void beginSheet(QDialog* sheet);

    UserDialogs dialogs_;
    const Host* host_ = nullptr;
    QWidget* parentWindow_ = nullptr;

    QPointer<QDialog> vanePanel;  // parented to the host's window, which may delete it first
    QDialog* windPreviewSheet = nullptr;  // children of the main panel
    QDialog* graphPanel = nullptr;
    ActivityGraphView* hostView = nullptr;
    WindTableModel* previewModel_ = nullptr;
    std::unique_ptr<Ui::VanePanel> panelUi_;
    std::unique_ptr<Ui::PreviewSheet> previewUi_;
    std::unique_ptr<Ui::GraphSheet> graphUi_;
    std::unique_ptr<graph::ActivityGraph> graph_;
    std::unique_ptr<VaneYearlyGraph> yearWiseGraph;

    std::vector<Recording> _recArray;
    WindTable _tableData;
    PlotData _plotData;
    std::optional<std::string> _rawWindContent;
    QString _windFile;
    std::vector<std::string> columnTitles_;  // of the last split that had a header row
    int pendingSplits_ = 0;                  // deferred splits not yet run
    bool plotTemp_ = false;
    bool windCol_ = false;
    bool dateCol_ = false;
    bool tempCol_ = false;
    bool useRecCount_ = false;
    QDateTime recStartDate_;
    QDateTime recEndDate_;
    int recCount_ = 0;
};

}  // namespace vane::plugin
