#include "plugin/curtailment_plugin.h"

#include <unicode/timezone.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>
#include <functional>
#include <utility>

#include "core/analysis/bat_events.h"
#include "core/curtailment/coverage_calendar.h"
#include "core/curtailment/turbine_intervals.h"
#include "core/files/input_file.h"
#include "core/import/column_guesses.h"
#include "core/recordings/imported_recording.h"
#include "core/recordings/recording_filter.h"
#include "core/recordings/species_groups.h"
#include "core/time/local_time.h"
#include "graph/curtailment_report.h"
#include "graph/whole_file.h"
#include "plugin_api/counted_text.h"
#include "plugin_api/window_sizes.h"

namespace vane::plugin {
namespace {

constexpr const char* kPowerColumnKey = "curtailment/powerColumn";  // empty: none

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A picture drawn in points by `paint` and scaled to the widget, so it keeps its layout. It asks
// for its size in points but shrinks to half of it, so that the panel fits a small screen.
class PointsView final : public QWidget {
  public:
    PointsView(QSizeF points, std::function<void(QPainter&)> paint, QWidget* parent)
        : QWidget(parent), points_(points), paint_(std::move(paint)) {
        setMinimumSize(static_cast<int>(points.width() / 2), static_cast<int>(points.height() / 2));
    }
    QSize sizeHint() const override { return points_.toSize(); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        const double scale = std::min(width() / points_.width(), height() / points_.height());
        painter.scale(scale, scale);
        paint_(painter);
    }

  private:
    QSizeF points_;
    std::function<void(QPainter&)> paint_;
};

}  // namespace

CurtailmentPlugin::CurtailmentPlugin() : CurtailmentPlugin(UserDialogs::onScreen()) {}
CurtailmentPlugin::CurtailmentPlugin(UserDialogs dialogs) : SelectionPlugin(std::move(dialogs)) {}

CurtailmentPlugin::~CurtailmentPlugin() {
    preview_.reset();
    delete panel_.data();
}

QString CurtailmentPlugin::name() const {
    return tr("Bat/Curtailment plan");
}

void CurtailmentPlugin::fire() {
    recordings_ = selectedRecordingsOrAlert();
    labels_ = LabelTable();
    if (host_ != nullptr) {
        for (const std::string& label : host_->recordingLabels()) {
            labels_.indexOf(label);
        }
    }
    if (recordings_.empty()) {
        return;
    }
    if (panel_ == nullptr) {
        makePanel();
    }
    preview_->startOver();
    windChosen_ = false;
    result_.reset();
    recordingsLabel_->setText(tr("%1 selected")
                                  .arg(counted(static_cast<qsizetype>(recordings_.size()),
                                               tr("recording"), tr("recordings"))));
    // The site of the first selected session that has one.
    for (const Session& session : host_->selectedSessions()) {
        if (session.latitude && session.longitude) {
            latitude_->setValue(*session.latitude);
            longitude_->setValue(*session.longitude);
            break;
        }
    }
    summary_->setText(tr("Choose the wind file to make a plan."));
    planButton_->setEnabled(false);
    reportButton_->setEnabled(false);
    jsonButton_->setEnabled(false);
    grid_->update();
    tradeoff_->update();
    panel_->show();
    panel_->exec();
}

void CurtailmentPlugin::makePanel() {
    preview_.reset();
    panel_ = new QDialog(parentWindow_);
    panel_->setWindowModality(Qt::ApplicationModal);
    panel_->setWindowTitle(name());
    auto* layout = new QVBoxLayout(panel_);
    recordingsLabel_ = new QLabel(panel_);
    layout->addWidget(recordingsLabel_);

    auto* form = new QFormLayout;
    const auto spin = [this](const char* objectName, double low, double high, double value,
                             int decimals) {
        auto* box = new QDoubleSpinBox(panel_);
        box->setObjectName(QString::fromLatin1(objectName));
        box->setRange(low, high);
        box->setDecimals(decimals);
        box->setValue(value);
        return box;
    };
    latitude_ = spin("latitude", -90.0, 90.0, 0.0, 4);
    longitude_ = spin("longitude", -180.0, 180.0, 0.0, 4);
    target_ = spin("target", 1.0, 100.0, 90.0, 1);
    target_->setSuffix(QStringLiteral(" %"));
    parts_ = new QSpinBox(panel_);
    parts_->setObjectName(QStringLiteral("nightParts"));
    parts_->setRange(1, 48);
    parts_->setValue(10);
    powerColumn_ = new QComboBox(panel_);
    powerColumn_->setObjectName(QStringLiteral("powerColumn"));
    auto* curveRow = new QHBoxLayout;
    auto* curveButton = new QPushButton(tr("Power curve…"), panel_);
    curveButton->setObjectName(QStringLiteral("powerCurveButton"));
    powerCurveLabel_ = new QLabel(tr("none"), panel_);
    powerCurveLabel_->setObjectName(QStringLiteral("powerCurveLabel"));
    powerCurveLabel_->setWordWrap(true);
    powerCurveTurbine_ = new QComboBox(panel_);
    powerCurveTurbine_->setObjectName(QStringLiteral("powerCurveTurbine"));
    powerCurveTurbine_->setVisible(false);
    curveRow->addWidget(curveButton);
    curveRow->addWidget(powerCurveTurbine_);
    curveRow->addWidget(powerCurveLabel_, 1);
    auto* floorRow = new QHBoxLayout;
    floorOn_ = new QCheckBox(tr("only at or above"), panel_);
    floorOn_->setObjectName(QStringLiteral("floorOn"));
    floor_ = spin("temperatureFloor", -30.0, 40.0, 10.0, 1);
    floor_->setSuffix(QStringLiteral(" °C"));
    floorRow->addWidget(floorOn_);
    floorRow->addWidget(floor_, 1);
    form->addRow(tr("Latitude (° N)"), latitude_);
    form->addRow(tr("Longitude (° E)"), longitude_);
    form->addRow(tr("Protect"), target_);
    form->addRow(tr("Parts of the night"), parts_);
    form->addRow(tr("Power column (kW)"), powerColumn_);
    form->addRow(tr("Or power curve"), curveRow);
    form->addRow(tr("Temperature floor"), floorRow);
    species_ = new QLineEdit(panel_);
    species_->setObjectName(QStringLiteral("species"));
    species_->setPlaceholderText(tr("every bat; or labels and groups, separated by commas"));
    minProbability_ = spin("minProbability", 0.0, 1.0, kDefaultMinProbability, 2);
    minProbability_->setSingleStep(0.05);
    form->addRow(tr("Species"), species_);
    form->addRow(tr("Least probability of an automatic label"), minProbability_);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    auto* windButton = new QPushButton(tr("Wind file…"), panel_);
    windButton->setObjectName(QStringLiteral("chooseWindFileButton"));
    planButton_ = new QPushButton(tr("Plan"), panel_);
    planButton_->setObjectName(QStringLiteral("planButton"));
    reportButton_ = new QPushButton(tr("Save report…"), panel_);
    reportButton_->setObjectName(QStringLiteral("saveReportButton"));
    jsonButton_ = new QPushButton(tr("Save JSON…"), panel_);
    jsonButton_->setObjectName(QStringLiteral("saveJsonButton"));
    for (QPushButton* button : {windButton, planButton_, reportButton_, jsonButton_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    summary_ = new QLabel(panel_);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(summary_);
    coverage_ = new QLabel(panel_);
    coverage_->setObjectName(QStringLiteral("coverage"));
    coverage_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    coverage_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(coverage_);
    grid_ = new PointsView(
        QSizeF(515.0, 340.0),
        [this](QPainter& painter) {
            if (result_) {
                graph::paintCutInGrid(*result_, painter, 0.0, 0.0, 515.0, 340.0);
            }
        },
        panel_);
    grid_->setObjectName(QStringLiteral("cutInGrid"));
    tradeoff_ = new PointsView(
        QSizeF(515.0, 260.0),
        [this](QPainter& painter) {
            if (result_) {
                graph::paintTradeoffGraph(*result_, painter, 0.0, 0.0, 515.0, 260.0);
            }
        },
        panel_);
    tradeoff_->setObjectName(QStringLiteral("tradeoffGraph"));
    auto* pictures = new QHBoxLayout;
    pictures->addWidget(grid_, 1);
    pictures->addWidget(tradeoff_, 1);
    layout->addLayout(pictures, 1);

    keepWindowSize(*panel_, QStringLiteral("curtailment"), QSize(1100, 800));

    preview_ = std::make_unique<WindFilePreview>(*dialogs_.alerts, *dialogs_.panels, panel_);
    connect(windButton, &QPushButton::clicked, this,
            [this] { preview_->chooseFile(recordings_.front().recordingTime); });
    connect(preview_.get(), &WindFilePreview::ended, this, [this](WindFilePreview::Ending ending) {
        if (ending == WindFilePreview::Ending::cancelled) {
            return;
        }
        windChosen_ = true;
        showPowerColumns();
        plan();
    });
    // Planning on every keystroke of a number would flash alerts for half-typed values, so a
    // change sets the plan aside instead and Plan makes the one for the settings shown.
    connect(species_, &QLineEdit::textEdited, this, &CurtailmentPlugin::setPlanAside);
    for (QDoubleSpinBox* box : {latitude_, longitude_, target_, floor_, minProbability_}) {
        connect(box, &QDoubleSpinBox::valueChanged, this, &CurtailmentPlugin::setPlanAside);
    }
    connect(parts_, &QSpinBox::valueChanged, this, &CurtailmentPlugin::setPlanAside);
    connect(powerColumn_, &QComboBox::currentIndexChanged, this, &CurtailmentPlugin::setPlanAside);
    connect(floorOn_, &QCheckBox::toggled, this, &CurtailmentPlugin::setPlanAside);
    // Only the user's own choice is remembered ("none" too), never a guess.
    connect(powerColumn_, &QComboBox::activated, this, [this](int item) {
        QSettings().setValue(kPowerColumnKey, item > 0 ? powerColumn_->itemText(item) : QString());
    });
    connect(curveButton, &QPushButton::clicked, this, &CurtailmentPlugin::choosePowerCurve);
    connect(powerCurveTurbine_, &QComboBox::activated, this,
            &CurtailmentPlugin::choosePowerCurveTurbine);
    connect(planButton_, &QPushButton::clicked, this, &CurtailmentPlugin::plan);
    connect(reportButton_, &QPushButton::clicked, this, &CurtailmentPlugin::saveReport);
    connect(jsonButton_, &QPushButton::clicked, this, &CurtailmentPlugin::saveJson);
}

// Item 0 is no column, item k the table's column k - 1, as in every column chooser. The column
// the user chose last, in this run or an earlier one, wins over the guess from the titles.
void CurtailmentPlugin::showPowerColumns() {
    const WindTable& table = preview_->table();
    powerColumn_->clear();
    powerColumn_->addItem(tr("none"));
    std::vector<std::string> titles;
    // Below a logger's units rows the titles are in the header row, not the row data starts at.
    const std::size_t header = table.headerRow();
    if (header < table.rowCount()) {
        for (std::size_t k = 0; k < table.fieldCount(header); ++k) {
            titles.emplace_back(table.field(header, k));
            powerColumn_->addItem(fromUtf8(titles.back()));
        }
    }
    int item = static_cast<int>(guessPowerItem(titles));
    if (const QVariant chosen = QSettings().value(kPowerColumnKey); chosen.isValid()) {
        const QString title = chosen.toString();
        const int found = title.isEmpty() ? 0 : powerColumn_->findText(title);
        item = found >= 0 ? found : item;
    }
    powerColumn_->setCurrentIndex(item);
}

void CurtailmentPlugin::choosePowerCurve() {
    const std::optional<QString> file = dialogs_.panels->chooseFileToOpen(
        panel_, {.fileTypes = {QStringLiteral("csv"), QStringLiteral("txt")},
                 .typesName = tr("Power curves (wind_speed,power or a row per turbine)"),
                 .title = tr("Power curve")});
    if (!file) {
        return;
    }
    Outcome<std::string> text = readInputFile(file->toStdString(), "power curve");
    if (!text) {
        showPowerCurveProblem(text.error());
        return;
    }
    // Several turbines' curves: the plan waits for the user's pick, as the command line does
    // for --turbine; a guess could weigh another turbine's energy.
    std::vector<std::string> turbines = powerCurveTurbines(*text);
    std::optional<PowerCurve> curve;
    if (turbines.size() <= 1) {
        Outcome<PowerCurve> read = parsePowerCurve(*text, file->toStdString());
        if (!read) {
            showPowerCurveProblem(read.error());  // the curve chosen before stays
            return;
        }
        curve = std::move(*read);
        turbines.clear();
    }
    powerCurveFile_ = *file;
    powerCurve_ = std::move(curve);
    powerCurveText_ = turbines.empty() ? std::string() : std::move(*text);
    powerCurveTurbines_ = std::move(turbines);
    powerCurveTurbine_->clear();
    powerCurveTurbine_->setVisible(!powerCurveTurbines_.empty());
    if (!powerCurve_) {
        powerCurveTurbine_->addItem(tr("choose the turbine"));
        for (const std::string& name : powerCurveTurbines_) {
            powerCurveTurbine_->addItem(fromUtf8(name));
        }
        powerCurveLabel_->setText(*file);
        setPlanAside();
        return;
    }
    powerCurveLabel_->setText(*file + QStringLiteral(": ") + fromUtf8(powerCurve_->unit));
    if (windChosen_) {
        plan();
    }
}

void CurtailmentPlugin::choosePowerCurveTurbine(int item) {
    powerCurve_.reset();
    powerCurveLabel_->setText(powerCurveFile_);
    setPlanAside();
    if (item <= 0 || static_cast<std::size_t>(item) > powerCurveTurbines_.size()) {
        return;
    }
    Outcome<PowerCurve> curve =
        parsePowerCurve(powerCurveText_, powerCurveFile_.toStdString(),
                        powerCurveTurbines_[static_cast<std::size_t>(item) - 1]);
    if (!curve) {
        powerCurveTurbine_->setCurrentIndex(0);
        showPowerCurveProblem(curve.error());
        return;
    }
    powerCurve_ = std::move(*curve);
    powerCurveLabel_->setText(powerCurveFile_ + QStringLiteral(": ") + fromUtf8(powerCurve_->unit));
    if (windChosen_) {
        plan();
    }
}

void CurtailmentPlugin::showPowerCurveProblem(const Problem& problem) {
    dialogs_.alerts->showAlert(
        panel_, fromUtf8(problem.title.empty() ? "Problem with file" : problem.title),
        fromUtf8(problem.describe()));
}

void CurtailmentPlugin::plan() {
    if (!windChosen_) {
        return;
    }
    setPlanAside();
    const ActivityAnalysisOptions analysis = analysisOptions(preview_->choices(), false, false);
    planButton_->setEnabled(true);
    const auto refuse = [this](const QString& title, const QString& text) {
        summary_->setText(text);
        dialogs_.alerts->showAlert(panel_, title, text);
    };
    if (analysis.windColumn <= 0 || analysis.dateTimeColumn <= 0) {
        refuse(tr("No wind speed column"),
               tr("Choose the date/time and wind speed columns on the preview."));
        return;
    }
    if (floorOn_->isChecked() && analysis.temperatureColumn <= 0) {
        refuse(tr("No temperature column"),
               tr("A temperature floor needs the temperature column; choose it on the preview."));
        return;
    }
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    PowerSource power;
    power.powerColumn = powerColumn_->currentIndex() > 0 ? powerColumn_->currentIndex() : 0;
    if (power.powerColumn == 0 && powerCurve_) {
        power.curve = &*powerCurve_;
    }
    if (power.powerColumn == 0 && !powerCurve_ && !powerCurveTurbines_.empty()) {
        refuse(tr("No turbine chosen"),
               tr("The power curve holds several turbines' curves: choose the turbine."));
        return;
    }
    std::string curveSource;
    if (power.curve != nullptr) {
        curveSource = "curve " + QFileInfo(powerCurveFile_).fileName().toStdString() +
                      (power.curve->turbine.empty() ? "" : ", " + power.curve->turbine);
    }
    sources_ = {.windFile = QFileInfo(preview_->file()).fileName().toStdString(),
                .power = power.powerColumn > 0
                             ? "column " + powerColumn_->currentText().toStdString()
                             : curveSource,
                .zoneName = timeZoneId(*zone)};
    const std::vector<Recording> counted = countedRecordings();
    if (counted.empty()) {
        refuse(tr("No recordings counted"),
               tr("None of the selected recordings is a bat of the species asked for with a label "
                  "probable enough."));
        return;
    }
    sources_.recordings =
        vane::counted(static_cast<qsizetype>(counted.size()), tr("recording"), tr("recordings"))
            .toStdString() +
        " chosen in vane-desk";
    const TurbineIntervalScan scan = turbineIntervals(batEvents(counted, batEventGridOrigin(*zone)),
                                                      preview_->table(), analysis, power, *zone);
    CurtailmentOptions options;
    options.protectPercent = target_->value();
    options.night.parts = parts_->value();
    options.energyKnown = power.powerColumn > 0 || power.curve != nullptr;
    if (floorOn_->isChecked()) {
        options.temperatureFloor = floor_->value();
    }
    result_ = curtailmentResult(scan.intervals, {latitude_->value(), longitude_->value()}, options,
                                *zone);
    const bool planned = result_->data.activityInNights > 0;
    if (!planned) {
        dialogs_.alerts->showAlert(
            panel_, tr("Nothing to plan"),
            tr("No activity in the nights matched a row of the wind file with a readable date "
               "and wind speed (%1 outside the nights).")
                .arg(result_->data.activityOutsideNights));
    }
    reportButton_->setEnabled(planned);
    jsonButton_->setEnabled(planned);
    QString text = fromUtf8(curtailmentSummary(*result_));
    text += tr("Activity: %1 in the nights, %2 outside them; %3 nights with data.")
                .arg(result_->data.activityInNights)
                .arg(result_->data.activityOutsideNights)
                .arg(result_->data.nightsWithData);
    if (result_->data.effortFromRecordings) {
        text += tr(" Every night from the first to the last night with activity counts.");
    }
    if (result_->data.daysWithoutNight > 0) {
        text += tr(" %1 days without a night.").arg(result_->data.daysWithoutNight);
    }
    summary_->setText(text);
    coverage_->setText(fromUtf8(coverageCalendar(result_->data.coverage)).trimmed());
    grid_->update();
    tradeoff_->update();
}

std::vector<Recording> CurtailmentPlugin::countedRecordings() const {
    RecordingFilter filter;
    filter.minProbability = minProbability_->value();
    for (const QString& name : species_->text().split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (!name.trimmed().isEmpty()) {
            filter.species.push_back(name.trimmed().toStdString());
        }
    }
    return filterRecordings(recordings_, labels_, defaultSpeciesGroups(), filter).kept;
}

void CurtailmentPlugin::setPlanAside() {
    if (!result_) {
        return;
    }
    result_.reset();
    reportButton_->setEnabled(false);
    jsonButton_->setEnabled(false);
    summary_->setText(tr("The settings changed: press Plan to make the plan for them."));
    coverage_->clear();
    grid_->update();
    tradeoff_->update();
}

void CurtailmentPlugin::saveReport() {
    if (!result_) {
        return;
    }
    const std::optional<SavePanelChoice> choice = dialogs_.panels->chooseFileToSave(
        panel_, {.title = tr("Save the curtailment report"),
                 .proposedName = QStringLiteral("curtailment-plan"),
                 .fileTypes = {QStringLiteral("pdf"), QStringLiteral("png")},
                 .typesName = tr("Reports")});
    if (!choice) {
        return;
    }
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    const graph::CurtailmentReportContent content{
        .result = *result_,
        .sources = sources_,
        .zone = zone.get(),
    };
    const std::string format =
        choice->path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) ? "png" : "pdf";
    if (const Outcome<void> written =
            graph::writeCurtailmentReport(content, choice->path.toStdString(), format);
        !written) {
        dialogs_.alerts->showAlert(panel_, fromUtf8(written.error().title),
                                   fromUtf8(written.error().message));
    }
}

void CurtailmentPlugin::saveJson() {
    if (!result_) {
        return;
    }
    const std::optional<SavePanelChoice> choice = dialogs_.panels->chooseFileToSave(
        panel_, {.title = tr("Save the plan as JSON"),
                 .proposedName = QStringLiteral("curtailment-plan"),
                 .fileTypes = {QStringLiteral("json")},
                 .typesName = tr("JSON files")});
    if (!choice) {
        return;
    }
    if (const Outcome<void> written = graph::writeWholeTextFile(choice->path.toStdString(),
                                                                curtailmentJson(*result_, sources_),
                                                                "Plan not saved", "JSON file");
        !written) {
        dialogs_.alerts->showAlert(panel_, fromUtf8(written.error().title),
                                   fromUtf8(written.error().message));
    }
}

}  // namespace vane::plugin
