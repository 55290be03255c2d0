#include "plugin/vane_plugin.h"

#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <QAbstractButton>
#include <QListWidget>
#include <QLocale>
#include <map>
#include <utility>

#include "core/analysis/activity_analysis.h"
#include "core/analysis/bat_events.h"
#include "core/analysis/event_time_text.h"
#include "core/analysis/series_activity_analysis.h"
#include "core/recordings/recording_filter.h"
#include "core/time/local_time.h"
#include "plugin/activity_graph_sheet.h"
#include "plugin/vane_yearly_graph.h"
#include "ui_vane_panel.h"

namespace vane::plugin {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QDateTime dateOf(const Recording& recording) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(recording.recordingTime * 1000.0));
}

}  // namespace

VanePlugin::VanePlugin() : VanePlugin(UserDialogs::onScreen()) {}

VanePlugin::VanePlugin(UserDialogs dialogs) : SelectionPlugin(std::move(dialogs)) {}

VanePlugin::~VanePlugin() {
    // The yearly window and the sheets hang off the panel; they go before the graph they show.
    yearlyGraph_.reset();
    delete panel_.data();
}

QString VanePlugin::name() const {
    return tr("Bat/Environmental activity");
}

void VanePlugin::fire() {
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
        loadPanel();
    }
    preview_->startOver();
    setWeighByRecordingCount(false);
    plotData_ = PlotData{};
    setFirstRecordingDate(dateOf(recordings_.front()));
    setLastRecordingDate(dateOf(recordings_.back()));
    setRecordingCount(static_cast<int>(recordings_.size()));
    listLabels();
    panelUi_->statusMessage->clear();

    panel_->show();
    panel_->raise();
    panel_->activateWindow();
    panel_->exec();
}

void VanePlugin::loadPanel() {
    // The host may have deleted the last panel, and with it the sheets.
    yearlyGraph_.reset();
    graphSheet_.reset();
    preview_.reset();

    panel_ = new QDialog(parentWindow_);
    panel_->setWindowModality(Qt::ApplicationModal);
    panelUi_ = std::make_unique<Ui::VanePanel>();
    panelUi_->setupUi(panel_);
    panel_->setWindowTitle(name());
    preview_ = std::make_unique<WindFilePreview>(*dialogs_.alerts, *dialogs_.panels, panel_);
    graphSheet_ =
        std::make_unique<ActivityGraphSheet>(*dialogs_.alerts, *dialogs_.panels, plotTemp_, panel_);
    connectControls();
    showRecordingsSummary();
}

void VanePlugin::connectControls() {
    connect(panel_, &QDialog::finished, this, [this] { recordings_.clear(); });
    connect(panelUi_->closePanelButton, &QAbstractButton::clicked, panel_, &QDialog::reject);
    connect(panelUi_->chooseWindFileButton, &QAbstractButton::clicked, this, [this] {
        preview_->chooseFile(recordings_.empty() ? 0.0 : recordings_.front().recordingTime);
    });
    connect(panelUi_->fireOldButton, &QAbstractButton::clicked, this,
            &VanePlugin::copyActivityTimes);
    connect(panelUi_->plotYearlyGraphButton, &QAbstractButton::clicked, this,
            &VanePlugin::plotYearlyGraph);
    connect(panelUi_->useRecCount, &QAbstractButton::toggled, this,
            &VanePlugin::setWeighByRecordingCount);
    connect(this, &VanePlugin::weighByRecordingCountChanged, panelUi_->useRecCount,
            &QAbstractButton::setChecked);
    for (const auto signal :
         {&VanePlugin::firstRecordingDateChanged, &VanePlugin::lastRecordingDateChanged}) {
        connect(this, signal, this, &VanePlugin::showRecordingsSummary);
    }
    connect(this, &VanePlugin::recordingCountChanged, this, &VanePlugin::showRecordingsSummary);
    connect(preview_.get(), &WindFilePreview::ended, this, &VanePlugin::analyse);
}

void VanePlugin::showRecordingsSummary() {
    if (panelUi_ == nullptr) {
        return;
    }
    const QLocale locale;
    const QString first = locale.toString(firstRecordingDate_, QLocale::ShortFormat);
    const QString last = locale.toString(lastRecordingDate_, QLocale::ShortFormat);
    panelUi_->recordingsSummary->setText(
        recordingCount_ == 0 ? tr("No recordings selected")
        : recordingCount_ == 1
            ? tr("1 recording, %1").arg(first)
            : tr("%1 recordings from %2 to %3").arg(recordingCount_).arg(first, last));
}

void VanePlugin::listLabels() {
    std::map<std::uint16_t, int> counts;
    for (const Recording& recording : recordings_) {
        ++counts[recording.label];
    }
    QListWidget* list = panelUi_->speciesList;
    list->clear();
    for (const auto& [index, count] : counts) {
        if (index == 0 || index >= labels_.names().size()) {
            continue;
        }
        const std::string& label = labels_.name(index);
        auto* item = new QListWidgetItem(tr("%1 (%2)").arg(fromUtf8(label)).arg(count), list);
        item->setData(Qt::UserRole, fromUtf8(label));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        // Every bat is counted unless the user says otherwise; noise and no-ID are not bats.
        item->setCheckState(isNoBatLabel(label) ? Qt::Unchecked : Qt::Checked);
    }
    panelUi_->speciesBox->setVisible(list->count() > 0);
}

std::vector<Recording> VanePlugin::recordingsToAnalyse() const {
    if (panelUi_ == nullptr || panelUi_->speciesList->count() == 0) {
        return recordings_;
    }
    RecordingFilter filter;
    filter.batsOnly = false;  // the list says which labels count
    filter.minProbability = panelUi_->minProbability->value();
    // Recordings without a label stay in; the species test passes them.
    for (int row = 0; row < panelUi_->speciesList->count(); ++row) {
        const QListWidgetItem* item = panelUi_->speciesList->item(row);
        if (item->checkState() == Qt::Checked) {
            filter.species.push_back(item->data(Qt::UserRole).toString().toStdString());
        }
    }
    if (filter.species.empty()) {
        return {};
    }
    return filterRecordings(recordings_, labels_, SpeciesGroups(), filter).kept;
}

void VanePlugin::analyse(WindFilePreview::Ending ending) {
    if (ending == WindFilePreview::Ending::cancelled) {
        return;
    }
    plotTemp_ = ending == WindFilePreview::Ending::temperature;
    const ActivityAnalysisOptions options =
        analysisOptions(preview_->choices(), plotTemp_, weighByRecordingCount_);
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    const std::vector<Recording> counted = recordingsToAnalyse();
    const SpeciesGroups groups = defaultSpeciesGroups();
    const ActivityAnalysisResult result =
        panelUi_->speciesList->count() > 0 && panelUi_->splitByGroup->isChecked()
            ? analyseActivityPerSeries(splitIntoSeries(counted, labels_, &groups),
                                       batEventGridOrigin(*zone), preview_->table(), options, *zone)
            : analyseActivityAndWind(batEvents(counted, batEventGridOrigin(*zone)),
                                     preview_->table(), options, *zone);
    graphSheet_->clear();
    for (const AnalysisAlert& alert : result.alerts) {
        dialogs_.alerts->showAlert(panel_, fromUtf8(alert.title), fromUtf8(alert.message));
    }
    if (!result.hasTable()) {
        return;
    }
    // The plain table goes as it always went; column pairs are named, since a pasted table
    // cannot say otherwise which state or group each pair is.
    dialogs_.pasteboard->setString(fromUtf8(columnPairHeader(result) + result.pasteboardText));
    plotData_ = result.plotData;
    // The per-state curves are always over the wind speed, whichever button ended the preview.
    const bool temperatureAxis = plotTemp_ && !result.legend;
    graphSheet_->show(result, temperatureAxis, options.decimalSeparator);
}

void VanePlugin::plotYearlyGraph() {
    if (host_ == nullptr) {
        return;
    }
    if (yearlyGraph_ == nullptr) {
        yearlyGraph_ =
            std::make_unique<VaneYearlyGraph>(*host_, *dialogs_.alerts, *dialogs_.panels, panel_);
        connect(yearlyGraph_->window(), &QDialog::finished, yearlyGraph_->window(), &QWidget::hide);
    }
    yearlyGraph_->window()->open();
    yearlyGraph_->showWindow();
}

void VanePlugin::copyActivityTimes() {
    const std::vector<Recording> recordings =
        host_ != nullptr ? host_->selectedRecordings() : std::vector<Recording>{};
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    const QString text = fromUtf8(eventTimeText(recordings, *zone, icu::Locale::getDefault()));
    dialogs_.pasteboard->setString(text);
    // One line a time; said so that the user knows the copy happened and what it held.
    panelUi_->statusMessage->setText(
        tr("Copied %1 activity times").arg(QLocale().toString(text.count(QLatin1Char('\n')))));
}

void VanePlugin::setWeighByRecordingCount(bool on) {
    if (std::exchange(weighByRecordingCount_, on) != on) {
        emit weighByRecordingCountChanged(on);
    }
}

void VanePlugin::setFirstRecordingDate(const QDateTime& date) {
    if (std::exchange(firstRecordingDate_, date) != date) {
        emit firstRecordingDateChanged(date);
    }
}

void VanePlugin::setLastRecordingDate(const QDateTime& date) {
    if (std::exchange(lastRecordingDate_, date) != date) {
        emit lastRecordingDateChanged(date);
    }
}

void VanePlugin::setRecordingCount(int count) {
    if (std::exchange(recordingCount_, count) != count) {
        emit recordingCountChanged(count);
    }
}

}  // namespace vane::plugin
