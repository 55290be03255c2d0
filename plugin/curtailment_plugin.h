#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "core/curtailment/curtailment_result.h"
#include "core/curtailment/power_curve.h"
#include "core/recordings/recording.h"
#include "core/recordings/species_label.h"
#include "plugin/selection_plugin.h"
#include "plugin/wind_file_preview.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QWidget;

namespace vane::plugin {

// The plug-in "Bat/Curtailment plan" and the controller of its panel: the site (from the
// selected sessions), the target, the night parts, the power column or curve and the temperature
// floor; the wind file through the same preview sheet as the activity plug-in; the plan's grid,
// summary and trade-off graph; the report and the JSON saved.
class CurtailmentPlugin : public QObject, public SelectionPlugin {
    Q_OBJECT
    Q_INTERFACES(vane::AbstractPlugin)

  public:
    CurtailmentPlugin();  // message boxes and file dialogs
    explicit CurtailmentPlugin(UserDialogs dialogs);
    ~CurtailmentPlugin() override;
    CurtailmentPlugin(const CurtailmentPlugin&) = delete;
    CurtailmentPlugin& operator=(const CurtailmentPlugin&) = delete;

    QString name() const override;
    // Runs the panel application-modally; returns when it closes.
    void fire() override;

    // Empty until the first run has made the panel.
    QDialog* panel() const { return panel_; }
    WindFilePreview* preview() const { return preview_.get(); }
    // The plan shown: none before the first, after one that could not be made and after a
    // change of its settings until Plan makes it again.
    const std::optional<CurtailmentResult>& result() const { return result_; }

  private:
    void makePanel();
    void showPowerColumns();
    void choosePowerCurve();
    // Reads the row `item` of the power curve's table of several turbines (0: none yet).
    void choosePowerCurveTurbine(int item);
    void showPowerCurveProblem(const Problem& problem);
    void plan();
    // The selected recordings that count: bats of the species asked for, their automatic labels
    // at least as probable as asked, as `vane curtail` counts them.
    std::vector<Recording> countedRecordings() const;
    void setPlanAside();
    void saveReport();
    void saveJson();

    QPointer<QDialog> panel_;  // parented to the host's window, which may delete it first
    std::unique_ptr<WindFilePreview> preview_;
    bool windChosen_ = false;
    QLabel* recordingsLabel_ = nullptr;
    QDoubleSpinBox* latitude_ = nullptr;
    QDoubleSpinBox* longitude_ = nullptr;
    QDoubleSpinBox* target_ = nullptr;
    QSpinBox* parts_ = nullptr;
    QComboBox* powerColumn_ = nullptr;
    QLabel* powerCurveLabel_ = nullptr;
    QComboBox* powerCurveTurbine_ = nullptr;  // the rows of a table of several turbines
    QCheckBox* floorOn_ = nullptr;
    QDoubleSpinBox* floor_ = nullptr;
    QLineEdit* species_ = nullptr;
    QDoubleSpinBox* minProbability_ = nullptr;
    QPushButton* planButton_ = nullptr;
    QPushButton* reportButton_ = nullptr;
    QPushButton* jsonButton_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* coverage_ = nullptr;  // the season's calendar of nights
    QWidget* grid_ = nullptr;
    QWidget* tradeoff_ = nullptr;

    std::vector<Recording> recordings_;
    LabelTable labels_;
    std::optional<PowerCurve> powerCurve_;
    QString powerCurveFile_;      // chosen; its curve waits for a turbine when several
    std::string powerCurveText_;  // of a table of several turbines, to read the one picked
    std::vector<std::string> powerCurveTurbines_;
    std::optional<CurtailmentResult> result_;
    PlanSources sources_;  // of result_
};

}  // namespace vane::plugin
