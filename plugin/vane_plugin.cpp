#include "plugin/vane_plugin.h"

#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLocale>
#include <QTimer>
#include <QtDebug>

#include "core/analysis/activity_analysis.h"
#include "core/analysis/bat_events.h"
#include "core/analysis/event_time_text.h"
#include "core/import/column_guesses.h"
#include "core/import/date_format_items.h"
#include "core/import/preview_text.h"
#include "core/import/wind_file.h"
#include "core/import/wind_table_split.h"
#include "core/time/local_time.h"
#include "core/time/utc_offset.h"
#include "graph/activity_graph.h"
#include "graph/graph_file.h"
#include "plugin/activity_graph_view.h"
#include "plugin/time_zone_titles.h"
#include "plugin/vane_yearly_graph.h"
#include "plugin/wind_table_model.h"
#include "ui_graph_sheet.h"
#include "ui_preview_sheet.h"
#include "ui_vane_panel.h"

namespace vane::plugin {
namespace {

// Preview sheet buttons carry 0, the graph sheet's close button 1.
constexpr int kPreviewSheetTag = 0;
constexpr int kGraphSheetTag = 1;
constexpr int kCancelCode = 0;
constexpr int kWindCode = 1;
constexpr int kTemperatureCode = 2;
constexpr int kDeferredSplitMilliseconds = 100;

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void selectItemTitled(QComboBox& chooser, const QString& title) {
    const int index = chooser.findText(title);
    if (index >= 0) {
        chooser.setCurrentIndex(index);
    }
}

void refill(QComboBox& chooser, const std::vector<std::string>& items) {
    chooser.clear();
    for (const std::string& item : items) {
        chooser.addItem(fromUtf8(item));
    }
}

QDateTime dateOf(const Recording& recording) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(recording.recordingTime * 1000.0));
}

FieldSeparatorChoice fieldSeparatorChoice(const QComboBox& chooser) {
    return FieldSeparatorChoice{chooser.currentIndex(), chooser.currentText().toStdString()};
}

}  // namespace

VanePlugin::VanePlugin() : VanePlugin(UserDialogs::onScreen()) {}

VanePlugin::VanePlugin(UserDialogs dialogs) : dialogs_(std::move(dialogs)) {}

VanePlugin::~VanePlugin() {
    // The yearly window and the sheets hang off the panel; they go before the graph they show.
    yearWiseGraph.reset();
    delete vanePanel.data();
}

void VanePlugin::attach(const Host& host, QWidget* parentWindow) {
    host_ = &host;
    parentWindow_ = parentWindow;
}

QString VanePlugin::name() const {
    return tr("Bat/Environmental activity");
}

void VanePlugin::fire() {
    _recArray = host_ != nullptr ? sortedByRecordingTime(host_->selectedRecordings())
                                 : std::vector<Recording>{};
    if (_recArray.empty()) {
        dialogs_.alerts->showAlert(parentWindow_, tr("No recordings selected"),
                                   tr("The plugin needs selected recordings to work with. Please "
                                      "select recordings and start the plugin again."));
        return;
    }
    setWindCol(false);
    setDateCol(false);
    setTempCol(false);
    setUseRecCount(false);
    _tableData = WindTable{};
    _plotData = PlotData{};
    setRecStartDate(dateOf(_recArray.front()));
    setRecEndDate(dateOf(_recArray.back()));
    setRecCount(static_cast<int>(_recArray.size()));

    if (vanePanel == nullptr) {
        awakeFromNib();
    }
    vanePanel->show();
    vanePanel->raise();
    vanePanel->activateWindow();
    vanePanel->exec();
}

void VanePlugin::awakeFromNib() {
    graph_ = std::make_unique<graph::ActivityGraph>(plotTemp_, [](std::string key) {
        return QCoreApplication::translate("VanePlugin", key.c_str()).toStdString();
    });

    vanePanel = new QDialog(parentWindow_);
    vanePanel->setWindowModality(Qt::ApplicationModal);
    panelUi_ = std::make_unique<Ui::VanePanel>();
    panelUi_->setupUi(vanePanel);
    vanePanel->setWindowTitle(name());

    windPreviewSheet = new QDialog(vanePanel);
    previewUi_ = std::make_unique<Ui::PreviewSheet>();
    previewUi_->setupUi(windPreviewSheet);
    windPreviewSheet->setWindowModality(Qt::WindowModal);
    previewModel_ = new WindTableModel(windPreviewSheet);
    previewUi_->windPreviewTable->setModel(previewModel_);
    for (const std::string_view format : kDateFormatItems) {
        previewUi_->date_Format->addItem(QString::fromUtf8(format.data(), format.size()));
    }
    previewUi_->timeZone->addItems(timeZoneTitles());
    selectItemTitled(*previewUi_->timeZone, QStringLiteral("+0000"));
    refill(*previewUi_->date_timeColumn, columnChooserItems(ColumnChooser::dateTime, {}));
    refill(*previewUi_->windColumn, columnChooserItems(ColumnChooser::wind, {}));
    refill(*previewUi_->tempColumn, columnChooserItems(ColumnChooser::temperature, {}));
    refill(*previewUi_->stateColumn, columnChooserItems(ColumnChooser::state, {}));

    graphPanel = new QDialog(vanePanel);
    graphUi_ = std::make_unique<Ui::GraphSheet>();
    graphUi_->setupUi(graphPanel);
    graphPanel->setWindowModality(Qt::WindowModal);
    hostView = new ActivityGraphView(graphUi_->hostViewFrame);
    graphUi_->hostViewLayout->addWidget(hostView);
    graphUi_->graphLayout->setStretch(0, 1);  // the graph takes what the window gains
    hostView->setGraph(&graph_->graph());

    connectControls();
    showRecordingsSummary();
    updateSheetButtons();
}

void VanePlugin::connectControls() {
    connect(vanePanel, &QDialog::finished, this, &VanePlugin::windowWillClose);
    connect(panelUi_->chooseWindFileButton, &QAbstractButton::clicked, this,
            &VanePlugin::chooseWindFile);
    connect(panelUi_->fireOldButton, &QAbstractButton::clicked, this, &VanePlugin::fireOld);
    connect(panelUi_->plotYearlyGraphButton, &QAbstractButton::clicked, this,
            &VanePlugin::plotYearlyGraph);
    connect(panelUi_->useRecCount, &QAbstractButton::toggled, this, &VanePlugin::setUseRecCount);
    connect(this, &VanePlugin::useRecCountChanged, panelUi_->useRecCount,
            &QAbstractButton::setChecked);
    for (const auto signal : {&VanePlugin::recStartDateChanged, &VanePlugin::recEndDateChanged}) {
        connect(this, signal, this, &VanePlugin::showRecordingsSummary);
    }
    connect(this, &VanePlugin::recCountChanged, this, &VanePlugin::showRecordingsSummary);

    // Only what the user does sends actions; the controller's own selections stay quiet.
    connect(previewUi_->windEncodings, &QComboBox::activated, this,
            &VanePlugin::changeFileEncoding);
    connect(previewUi_->lineEnd, &QComboBox::activated, this, &VanePlugin::setLineEnding);
    connect(previewUi_->fieldSep, &QComboBox::activated, this, &VanePlugin::updateTableData);
    connect(previewUi_->startingLine, &QLineEdit::editingFinished, this,
            &VanePlugin::updateTableData);
    for (QComboBox* chooser : {previewUi_->date_timeColumn, previewUi_->windColumn,
                               previewUi_->tempColumn, previewUi_->stateColumn}) {
        connect(chooser, &QComboBox::activated, this,
                [this, chooser] { setOutputColumns(chooser); });
    }
    for (QAbstractButton* button : {static_cast<QAbstractButton*>(previewUi_->okayButton),
                                    static_cast<QAbstractButton*>(previewUi_->tempButton),
                                    static_cast<QAbstractButton*>(previewUi_->cancelButton),
                                    static_cast<QAbstractButton*>(graphUi_->closeButton)}) {
        connect(button, &QAbstractButton::clicked, this, [this, button] { closeSheet(button); });
    }
    connect(graphUi_->pdfButton, &QAbstractButton::clicked, this, &VanePlugin::pdfOfWindGraph);
    for (QDialog* sheet : {windPreviewSheet, graphPanel}) {
        connect(sheet, &QDialog::finished, this,
                [this, sheet](int code) { didEndSheet(sheet, code); });
    }
}

void VanePlugin::windowWillClose() {
    _recArray.clear();
}

void VanePlugin::showRecordingsSummary() {
    if (panelUi_ == nullptr) {
        return;
    }
    const QLocale locale;
    const QString first = locale.toString(recStartDate_, QLocale::ShortFormat);
    const QString last = locale.toString(recEndDate_, QLocale::ShortFormat);
    panelUi_->recordingsSummary->setText(
        recCount_ == 0   ? tr("No recordings selected")
        : recCount_ == 1 ? tr("1 recording, %1").arg(first)
                         : tr("%1 recordings from %2 to %3").arg(recCount_).arg(first, last));
}

// The buttons follow what the choosers show, guessed or picked: the flags record only the
// user's own picks and may be stale after a rebuild of the choosers.
void VanePlugin::updateSheetButtons() {
    if (previewUi_ == nullptr) {
        return;
    }
    const bool dateChosen = previewUi_->date_timeColumn->currentIndex() > 0;
    previewUi_->okayButton->setEnabled(dateChosen && previewUi_->windColumn->currentIndex() > 0);
    previewUi_->tempButton->setEnabled(dateChosen && previewUi_->tempColumn->currentIndex() > 0);
}

// Sheets are window-modal over the main panel and end through didEndSheet.
void VanePlugin::beginSheet(QDialog* sheet) {
    sheet->open();
}

void VanePlugin::chooseWindFile() {
    const std::optional<QString> path =
        dialogs_.panels->chooseFileToOpen(vanePanel, OpenPanelOptions{{QStringLiteral("csv")}});
    if (!path) {
        return;
    }
    WindFileSettings settings;
    settings.fieldSeparator = fieldSeparatorChoice(*previewUi_->fieldSep);
    settings.startingLineText = previewUi_->startingLine->text().toStdString();
    const Outcome<WindFileView> load = loadWindFile(path->toStdString(), settings);
    if (!load) {
        _rawWindContent.reset();
        dialogs_.alerts->showAlert(vanePanel, fromUtf8(load.error().title),
                                   fromUtf8(load.error().message));
        qWarning().noquote() << "error" << fromUtf8(load.error().detail);
        return;
    }
    const WindFileView& view = *load;
    _windFile = *path;
    _rawWindContent = view.text;

    QComboBox& encodings = *previewUi_->windEncodings;
    encodings.clear();
    for (const EncodingEntry& entry : allAvailableEncodings()) {
        encodings.addItem(fromUtf8(entry.displayName), entry.number);
    }
    encodings.setCurrentIndex(encodings.findData(static_cast<std::int32_t>(view.encoding)));
    previewUi_->windPreviewText->setPlainText(fromUtf8(view.previewText));
    previewUi_->lineEnd->setCurrentIndex(view.lineEndingIndex);
    updateTableData();
    beginSheet(windPreviewSheet);
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    selectItemTitled(
        *previewUi_->timeZone,
        fromUtf8(utcOffsetText(_recArray.empty() ? 0.0 : _recArray.front().recordingTime, *zone)));
}

void VanePlugin::changeFileEncoding() {
    _rawWindContent.reset();
    // The item's own number, so that encodings sharing a display name stay apart.
    const auto encoding =
        static_cast<StringEncoding>(previewUi_->windEncodings->currentData().toInt());
    TextRead read = readTextInEncoding(_windFile.toStdString(), encoding);
    _rawWindContent = std::move(read.text);
    previewUi_->windPreviewText->selectAll();
    if (_rawWindContent) {
        previewUi_->windPreviewText->setPlainText(
            fromUtf8(std::string(previewText(*_rawWindContent, kPreviewLengthAfterReread))));
    }
    updateTableData();
}

void VanePlugin::setLineEnding() {
    ++pendingSplits_;
    QTimer::singleShot(kDeferredSplitMilliseconds, this, [this] {
        --pendingSplits_;
        // Once the sheet has ended the text is gone: a split now would empty the table.
        if (_rawWindContent) {
            updateTableData();
        }
    });
}

void VanePlugin::updateTableData() {
    const SplitChoices choices{
        .lineEndingIndex = previewUi_->lineEnd->currentIndex(),
        .fieldSeparator = fieldSeparatorChoice(*previewUi_->fieldSep),
        .startingLineText = previewUi_->startingLine->text().toStdString(),
    };
    _tableData = splitWindText(_rawWindContent.value_or(std::string()), choices);
    // An empty table shows no rows under the previous split's columns.
    if (_tableData.hasHeaderRow()) {
        columnTitles_ = previewColumnTitles(_tableData);
    }
    previewModel_->setTable(_tableData, columnTitles_);
    updateColumnChoosers();
}

void VanePlugin::updateColumnChoosers() {
    refill(*previewUi_->date_timeColumn,
           columnChooserItems(ColumnChooser::dateTime, columnTitles_));
    refill(*previewUi_->windColumn, columnChooserItems(ColumnChooser::wind, columnTitles_));
    refill(*previewUi_->tempColumn, columnChooserItems(ColumnChooser::temperature, columnTitles_));
    refill(*previewUi_->stateColumn, columnChooserItems(ColumnChooser::state, columnTitles_));
    const ColumnGuesses guesses = guessColumns(columnTitles_, _tableData);
    previewUi_->date_timeColumn->setCurrentIndex(static_cast<int>(guesses.dateTimeItem));
    previewUi_->windColumn->setCurrentIndex(static_cast<int>(guesses.windItem));
    previewUi_->tempColumn->setCurrentIndex(static_cast<int>(guesses.temperatureItem));
    previewUi_->stateColumn->setCurrentIndex(static_cast<int>(guesses.stateItem));
    if (guesses.dateFormatIndex) {
        previewUi_->date_Format->setCurrentIndex(static_cast<int>(*guesses.dateFormatIndex));
    }
    // Guesses are the controller's own selections: the flags keep the user's last picks.
    updateSheetButtons();
}

void VanePlugin::setOutputColumns(QComboBox* sender) {
    const std::pair<QComboBox*, ColumnChooser> choosers[] = {
        {previewUi_->date_timeColumn, ColumnChooser::dateTime},
        {previewUi_->windColumn, ColumnChooser::wind},
        {previewUi_->tempColumn, ColumnChooser::temperature},
        {previewUi_->stateColumn, ColumnChooser::state},
    };
    for (const auto& [chooser, which] : choosers) {
        if (chooser != sender) {
            continue;
        }
        const auto item = static_cast<std::size_t>(std::max(0, sender->currentIndex()));
        const ColumnFlags flags = vane::setOutputColumns(
            ColumnFlags{
                .dateTimePicked = dateCol_, .windPicked = windCol_, .temperaturePicked = tempCol_},
            which, item);
        setDateCol(flags.dateTimePicked);
        setWindCol(flags.windPicked);
        setTempCol(flags.temperaturePicked);
        if (which == ColumnChooser::dateTime) {
            if (const auto format = guessDateFormat(_tableData, item)) {
                previewUi_->date_Format->setCurrentIndex(static_cast<int>(*format));
            }
        }
    }
    updateSheetButtons();
}

void VanePlugin::closeSheet(QAbstractButton* sender) {
    switch (sender->property("tag").toInt()) {
        case kPreviewSheetTag: {
            const int code = sender == previewUi_->okayButton   ? kWindCode
                             : sender == previewUi_->tempButton ? kTemperatureCode
                                                                : kCancelCode;
            windPreviewSheet->done(code);
            break;
        }
        case kGraphSheetTag:
            graphPanel->done(kCancelCode);
            break;
        default:
            break;
    }
}

void VanePlugin::didEndSheet(QDialog* sheet, int returnCode) {
    sheet->hide();
    if (sheet != windPreviewSheet) {
        return;
    }
    // The analysis reads the table as the choices stand, even when the sheet ends before a
    // deferred split has run.
    if (pendingSplits_ > 0) {
        updateTableData();
    }
    // The table stays for the analysis; the whole file's text is no longer needed.
    _rawWindContent.reset();
    if (returnCode == kTemperatureCode || returnCode == kWindCode) {
        plotTemp_ = returnCode == kTemperatureCode;
        analyseActivityAndWind();
    }
}

void VanePlugin::analyseActivityAndWind() {
    const ActivityAnalysisOptions options{
        .plotTemp = plotTemp_,
        .windColumn = previewUi_->windColumn->currentIndex(),
        .temperatureColumn = previewUi_->tempColumn->currentIndex(),
        .dateTimeColumn = previewUi_->date_timeColumn->currentIndex(),
        .stateColumn = previewUi_->stateColumn->currentIndex(),
        .dateFormat = previewUi_->date_Format->currentText().toStdString(),
        .timeZone = previewUi_->timeZone->currentText().toStdString(),
        .decimalSeparator = previewUi_->decimal_Sep->currentText().toStdString(),
        .timeOffsetMinutes = integerValue(previewUi_->timeOffset->text().toStdString()),
        .countRecordings = useRecCount_,
    };
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    const BatEventList events = batEvents(_recArray, batEventGridOrigin(*zone));
    const ActivityAnalysisResult result =
        vane::analyseActivityAndWind(events, _tableData, options, *zone);
    // The old curves go whatever comes of this run.
    graph_->removeAllPlots();
    hostView->update();
    for (const AnalysisAlert& alert : result.alerts) {
        dialogs_.alerts->showAlert(vanePanel, fromUtf8(alert.title), fromUtf8(alert.message));
    }
    if (!result.hasTable()) {
        return;
    }
    dialogs_.pasteboard->setString(fromUtf8(result.pasteboardText));
    _plotData = result.plotData;
    // The per-state curves are always over the wind speed, whichever button ended the preview.
    const bool temperatureAxis = plotTemp_ && !result.legend;
    graph_->showAnalysis(_plotData, result.seriesNames, temperatureAxis,
                         {.x = result.xRangeLength, .y = result.yRangeLength}, result.legend);
    QStringList summary;
    for (const ActivitySummary& series : result.summaries) {
        const QString text =
            fromUtf8(describeActivitySummary(series, temperatureAxis, options.decimalSeparator));
        summary << (result.legend ? fromUtf8(series.series) + QStringLiteral(": ") + text : text);
    }
    graphUi_->activitySummary->setText(summary.join(QLatin1Char('\n')));
    hostView->update();
    beginSheet(graphPanel);
}

void VanePlugin::pdfOfWindGraph() {
    const std::optional<SavePanelChoice> choice = dialogs_.panels->chooseFileToSave(
        graphPanel, SavePanelOptions{.title = tr("Save as PDF"),
                                     .proposedName = tr("Activity graph"),
                                     .fileTypes = {QStringLiteral("pdf")}});
    if (!choice) {
        return;
    }
    if (const Outcome<void> written = graph::writeGraphFile(
            graph_->graph(), choice->path.toStdString(), {}, std::string("pdf"));
        !written) {
        dialogs_.alerts->showAlert(graphPanel, tr("Graph not saved"),
                                   fromUtf8(written.error().message));
    }
}

void VanePlugin::plotYearlyGraph() {
    if (host_ == nullptr) {
        return;
    }
    if (yearWiseGraph == nullptr) {
        yearWiseGraph = std::make_unique<VaneYearlyGraph>(*host_, *dialogs_.alerts,
                                                          *dialogs_.panels, vanePanel);
        connect(yearWiseGraph->window(), &QDialog::finished, this,
                [this](int code) { didEndSheet(yearWiseGraph->window(), code); });
    }
    beginSheet(yearWiseGraph->window());
    yearWiseGraph->showWindow();
}

void VanePlugin::fireOld() {
    const std::vector<Recording> recordings =
        host_ != nullptr ? host_->selectedRecordings() : std::vector<Recording>{};
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    dialogs_.pasteboard->setString(
        fromUtf8(eventTimeText(recordings, *zone, icu::Locale::getDefault())));
}

void VanePlugin::setWindCol(bool on) {
    if (std::exchange(windCol_, on) != on) {
        emit windColChanged(on);
    }
}

void VanePlugin::setDateCol(bool on) {
    if (std::exchange(dateCol_, on) != on) {
        emit dateColChanged(on);
    }
}

void VanePlugin::setTempCol(bool on) {
    if (std::exchange(tempCol_, on) != on) {
        emit tempColChanged(on);
    }
}

void VanePlugin::setUseRecCount(bool on) {
    if (std::exchange(useRecCount_, on) != on) {
        emit useRecCountChanged(on);
    }
}

void VanePlugin::setRecStartDate(const QDateTime& date) {
    if (std::exchange(recStartDate_, date) != date) {
        emit recStartDateChanged(date);
    }
}

void VanePlugin::setRecEndDate(const QDateTime& date) {
    if (std::exchange(recEndDate_, date) != date) {
        emit recEndDateChanged(date);
    }
}

void VanePlugin::setRecCount(int count) {
    if (std::exchange(recCount_, count) != count) {
        emit recCountChanged(count);
    }
}

}  // namespace vane::plugin
