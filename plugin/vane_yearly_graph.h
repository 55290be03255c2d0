#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <memory>

#include "plugin_api/host.h"
#include "plugin_api/user_dialogs.h"

class QWidget;

namespace Ui {
class YearlyGraph;
}

namespace vane::plugin {

class YearGraphWidget;

// The yearly graph window: the activity picture (or the bar picture of recordings per session)
// under the grid, built afresh from the host's selections on every redraw.
class VaneYearlyGraph final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool invertGraph READ invertGraph WRITE setInvertGraph NOTIFY invertGraphChanged)
    Q_PROPERTY(bool barGraph READ barGraph WRITE setBarGraph NOTIFY barGraphChanged)

  public:
    // The host, the dialogs and the parent outlive the controller.
    VaneYearlyGraph(const Host& host, AlertPresenter& alerts, FilePanels& panels, QWidget* parent);
    ~VaneYearlyGraph() override;
    VaneYearlyGraph(const VaneYearlyGraph&) = delete;
    VaneYearlyGraph& operator=(const VaneYearlyGraph&) = delete;

    QDialog* window() const { return window_; }
    const YearGraphWidget& yearView() const { return *yearView_; }

    bool invertGraph() const { return invertGraph_; }
    bool barGraph() const { return barGraph_; }
    void setInvertGraph(bool on);
    void setBarGraph(bool on);

  public slots:
    // Builds the picture with both flags off; the caller has opened the window.
    void showWindow();
    void adjustBinWidth();
    void saveImage();
    void closeSheet();

  signals:
    void invertGraphChanged(bool on);
    void barGraphChanged(bool on);

  private:
    void listYears();
    void redraw();
    void applyInversionFilters(bool on);

    const Host& host_;
    AlertPresenter& alerts_;
    FilePanels& panels_;
    QPointer<QDialog> window_;  // a sheet of the parent, which may delete it first
    std::unique_ptr<Ui::YearlyGraph> ui_;
    YearGraphWidget* yearView_ = nullptr;  // owned by the window
    bool invertGraph_ = false;
    bool barGraph_ = false;
};

}  // namespace vane::plugin
