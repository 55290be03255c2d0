#include "plugin/wind_file_preview.h"

#include <unicode/timezone.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtDebug>
#include <algorithm>
#include <utility>

#include "core/analysis/reading_values.h"
#include "core/import/analysis_guesses.h"
#include "core/import/column_guesses.h"
#include "core/import/date_format_items.h"
#include "core/import/preview_text.h"
#include "core/import/wind_file.h"
#include "core/import/wind_table_split.h"
#include "core/time/local_time.h"
#include "core/time/utc_offset.h"
#include "plugin/time_zone_titles.h"
#include "plugin/wind_table_model.h"
#include "plugin_api/window_sizes.h"
#include "ui_preview_sheet.h"

namespace vane::plugin {
namespace {

// The sheet's result codes; rejecting it (Escape, or its window closed) cancels.
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

FieldSeparatorChoice fieldSeparatorChoice(const QComboBox& chooser) {
    return FieldSeparatorChoice{chooser.currentIndex(), chooser.currentText().toStdString()};
}

}  // namespace

WindFilePreview::WindFilePreview(AlertPresenter& alerts, FilePanels& panels, QWidget* parent)
    : alerts_(alerts),
      panels_(panels),
      sheet_(new QDialog(parent)),
      ui_(std::make_unique<Ui::PreviewSheet>()) {
    ui_->setupUi(sheet_);
    sheet_->setWindowModality(Qt::WindowModal);
    // Room for a screenful of rows beside the text; the table takes whatever the user adds.
    keepWindowSize(*sheet_, QStringLiteral("windFilePreview"), QSize(1100, 800));
    model_ = new WindTableModel(sheet_);
    ui_->windPreviewTable->setModel(model_);
    // One line a row, so that a screenful shows as many rows as it can.
    ui_->windPreviewTable->setWordWrap(false);
    ui_->windPreviewTable->verticalHeader()->setDefaultSectionSize(
        ui_->windPreviewTable->fontMetrics().height() * 3 / 2);
    for (const std::string_view format : kDateFormatItems) {
        ui_->date_Format->addItem(QString::fromUtf8(format.data(), format.size()));
    }
    if (const std::optional<QString> systemZone = systemZoneTitle(*processTimeZone())) {
        ui_->timeZone->addItem(*systemZone);
    }
    ui_->timeZone->addItems(timeZoneTitles());
    // Any offset or zone name may be typed, such as the logger's "Europe/Berlin".
    ui_->timeZone->setEditable(true);
    ui_->timeZone->setInsertPolicy(QComboBox::NoInsert);
    selectItemTitled(*ui_->timeZone, QStringLiteral("+0000"));
    refill(*ui_->date_timeColumn, columnChooserItems(ColumnChooser::dateTime, {}));
    refill(*ui_->windColumn, columnChooserItems(ColumnChooser::wind, {}));
    refill(*ui_->tempColumn, columnChooserItems(ColumnChooser::temperature, {}));
    refill(*ui_->stateColumn, columnChooserItems(ColumnChooser::state, {}));
    refill(*ui_->timeColumn, columnChooserItems(ColumnChooser::state, {}));
    connectControls();
    updateSheetButtons();
}

WindFilePreview::~WindFilePreview() = default;

void WindFilePreview::connectControls() {
    // Only what the user does sends actions; the controller's own selections stay quiet.
    connect(ui_->windEncodings, &QComboBox::activated, this, &WindFilePreview::changeFileEncoding);
    connect(ui_->lineEnd, &QComboBox::activated, this, &WindFilePreview::setLineEnding);
    connect(ui_->fieldSep, &QComboBox::activated, this, &WindFilePreview::updateTableData);
    connect(ui_->decimal_Sep, &QComboBox::activated, this,
            [this] { decimalSeparatorPicked_ = true; });
    connect(ui_->startingLine, &QLineEdit::editingFinished, this, [this] {
        startingLineEdited_ = true;
        updateTableData();
    });
    for (QComboBox* chooser :
         {ui_->date_timeColumn, ui_->windColumn, ui_->tempColumn, ui_->stateColumn}) {
        connect(chooser, &QComboBox::activated, this,
                [this, chooser] { setOutputColumns(chooser); });
    }
    const std::pair<QAbstractButton*, int> buttons[] = {
        {ui_->okayButton, kWindCode},
        {ui_->tempButton, kTemperatureCode},
        {ui_->cancelButton, kCancelCode},
    };
    for (const auto& [button, code] : buttons) {
        connect(button, &QAbstractButton::clicked, sheet_, [this, code] { sheet_->done(code); });
    }
    connect(sheet_, &QDialog::finished, this, [this](int code) {
        end(code == kTemperatureCode ? Ending::temperature
            : code == kWindCode      ? Ending::wind
                                     : Ending::cancelled);
    });
}

void WindFilePreview::chooseFile(double zoneInstant) {
    const std::optional<QString> path =
        panels_.chooseFileToOpen(sheet_->parentWidget(), OpenPanelOptions{{QStringLiteral("csv")}});
    if (!path) {
        return;
    }
    WindFileSettings settings;
    settings.fieldSeparator = fieldSeparatorChoice(*ui_->fieldSep);
    if (startingLineEdited_) {
        settings.startingLineText = ui_->startingLine->text().toStdString();
    }
    Outcome<WindFileView> load = loadWindFile(path->toStdString(), settings);
    if (!load) {
        rawText_.reset();
        alerts_.showAlert(sheet_->parentWidget(), fromUtf8(load.error().title),
                          fromUtf8(load.error().message));
        qWarning().noquote() << "error" << fromUtf8(load.error().detail);
        return;
    }
    WindFileView& view = *load;
    file_ = *path;
    decimalSeparatorPicked_ = false;
    rawText_ = view.text;

    QComboBox& encodings = *ui_->windEncodings;
    encodings.clear();
    for (const EncodingEntry& entry : allAvailableEncodings()) {
        encodings.addItem(fromUtf8(entry.displayName), entry.number);
    }
    encodings.setCurrentIndex(encodings.findData(static_cast<std::int32_t>(view.encoding)));
    ui_->windPreviewText->setPlainText(fromUtf8(view.previewText));
    ui_->lineEnd->setCurrentIndex(view.lineEndingIndex);
    ui_->startingLine->setText(QString::number(view.startingLine));
    // The load split the text with the choices the sheet now shows; no second split.
    showTable(std::move(view.table));
    sheet_->open();
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    selectItemTitled(*ui_->timeZone, fromUtf8(utcOffsetText(zoneInstant, *zone)));
}

WindFileChoices WindFilePreview::choices() const {
    const int windItem = ui_->windColumn->currentIndex();
    std::string windUnit;
    if (windItem > 0 && static_cast<std::size_t>(windItem) <= columnTitles_.size()) {
        windSpeedFactor(columnTitles_[static_cast<std::size_t>(windItem) - 1], &windUnit);
    }
    return WindFileChoices{
        .dateTimeColumn = ui_->date_timeColumn->currentIndex(),
        .timeColumn = std::max(0, ui_->timeColumn->currentIndex()),
        .windColumn = ui_->windColumn->currentIndex(),
        .temperatureColumn = ui_->tempColumn->currentIndex(),
        .stateColumn = ui_->stateColumn->currentIndex(),
        .dateFormat = ui_->date_Format->currentText().toStdString(),
        .timeZone = ui_->timeZone->currentText().toStdString(),
        .decimalSeparator = ui_->decimal_Sep->currentText().toStdString(),
        .timeOffset = integerValue(ui_->timeOffset->text().toStdString()),
        .missingMarkers = missingMarkersFromList(ui_->missingMarkers->text().toStdString()),
        .windUnit = windUnit,
    };
}

void WindFilePreview::startOver() {
    setWindColumnPicked(false);
    setDateColumnPicked(false);
    setTemperatureColumnPicked(false);
    table_ = std::make_shared<const WindTable>();
}

void WindFilePreview::changeFileEncoding() {
    rawText_.reset();
    // The item's own number, so that encodings sharing a display name stay apart.
    const auto encoding = static_cast<StringEncoding>(ui_->windEncodings->currentData().toInt());
    Outcome<DecodedText> read = readTextInEncoding(file_.toStdString(), encoding);
    if (read) {
        rawText_ = std::make_shared<const std::string>(std::move(read->text));
    }
    ui_->windPreviewText->selectAll();
    if (rawText_) {
        ui_->windPreviewText->setPlainText(
            fromUtf8(std::string(previewText(*rawText_, kPreviewLengthAfterReread))));
    }
    updateTableData();
}

void WindFilePreview::setLineEnding() {
    ++pendingSplits_;
    QTimer::singleShot(kDeferredSplitMilliseconds, this, [this] {
        --pendingSplits_;
        // Once the sheet has ended the text is gone: a split now would empty the table.
        if (rawText_) {
            updateTableData();
        }
    });
}

void WindFilePreview::updateTableData() {
    const SplitChoices choices{
        .lineEndingIndex = ui_->lineEnd->currentIndex(),
        .fieldSeparator = fieldSeparatorChoice(*ui_->fieldSep),
        .startingLineText = ui_->startingLine->text().toStdString(),
    };
    showTable(rawText_ ? splitWindText(rawText_, choices)
                       : splitWindText(std::string_view(), choices));
}

void WindFilePreview::showTable(WindTable table) {
    table_ = std::make_shared<const WindTable>(std::move(table));
    // An empty table shows no rows under the previous split's columns.
    if (table_->hasHeaderRow()) {
        columnTitles_ = previewColumnTitles(*table_);
    }
    model_->setTable(table_, columnTitles_);
    // Qt measures the first thousand rows, however long the file.
    ui_->windPreviewTable->resizeColumnsToContents();
    updateColumnChoosers();
}

void WindFilePreview::updateColumnChoosers() {
    refill(*ui_->date_timeColumn, columnChooserItems(ColumnChooser::dateTime, columnTitles_));
    refill(*ui_->windColumn, columnChooserItems(ColumnChooser::wind, columnTitles_));
    refill(*ui_->tempColumn, columnChooserItems(ColumnChooser::temperature, columnTitles_));
    refill(*ui_->stateColumn, columnChooserItems(ColumnChooser::state, columnTitles_));
    refill(*ui_->timeColumn, columnChooserItems(ColumnChooser::state, columnTitles_));
    const WindFileGuesses found = guessWindFileColumns(columnTitles_, *table_);
    const ColumnGuesses& guesses = found.columns;
    ui_->timeColumn->setCurrentIndex(static_cast<int>(found.timeItem));
    ui_->date_timeColumn->setCurrentIndex(static_cast<int>(guesses.dateTimeItem));
    ui_->windColumn->setCurrentIndex(static_cast<int>(guesses.windItem));
    ui_->tempColumn->setCurrentIndex(static_cast<int>(guesses.temperatureItem));
    ui_->stateColumn->setCurrentIndex(static_cast<int>(guesses.stateItem));
    if (guesses.dateFormatIndex) {
        ui_->date_Format->setCurrentIndex(static_cast<int>(*guesses.dateFormatIndex));
    }
    guessDecimalSeparator();
    // Guesses are the controller's own selections: the flags keep the user's last picks.
    updateSheetButtons();
}

void WindFilePreview::setOutputColumns(QComboBox* sender) {
    const std::pair<QComboBox*, ColumnChooser> choosers[] = {
        {ui_->date_timeColumn, ColumnChooser::dateTime},
        {ui_->windColumn, ColumnChooser::wind},
        {ui_->tempColumn, ColumnChooser::temperature},
        {ui_->stateColumn, ColumnChooser::state},
    };
    for (const auto& [chooser, which] : choosers) {
        if (chooser != sender) {
            continue;
        }
        const auto item = static_cast<std::size_t>(std::max(0, sender->currentIndex()));
        const ColumnFlags flags =
            vane::setOutputColumns(ColumnFlags{.dateTimePicked = dateColumnPicked_,
                                               .windPicked = windColumnPicked_,
                                               .temperaturePicked = temperatureColumnPicked_},
                                   which, item);
        setDateColumnPicked(flags.dateTimePicked);
        setWindColumnPicked(flags.windPicked);
        setTemperatureColumnPicked(flags.temperaturePicked);
        if (which == ColumnChooser::dateTime) {
            if (const auto format = guessDateFormat(*table_, item)) {
                ui_->date_Format->setCurrentIndex(static_cast<int>(*format));
            }
        }
    }
    guessDecimalSeparator();
    updateSheetButtons();
}

// As the command line does, from the column the analysis will read; the wind column when both
// are chosen, since the buttons are pressed only after.
void WindFilePreview::guessDecimalSeparator() {
    if (decimalSeparatorPicked_) {
        return;
    }
    const int windItem = ui_->windColumn->currentIndex();
    const int valueItem = windItem > 0 ? windItem : ui_->tempColumn->currentIndex();
    selectItemTitled(*ui_->decimal_Sep, fromUtf8(vane::guessDecimalSeparator(*table_, valueItem)));
}

// The buttons follow what the choosers show, guessed or picked: the flags record only the
// user's own picks and may be stale after a rebuild of the choosers.
void WindFilePreview::updateSheetButtons() {
    const std::string tableProblem =
        startingLineProblem(*table_, integerValue(ui_->startingLine->text().toStdString()));
    const int dateItem = ui_->date_timeColumn->currentIndex();
    const int windItem = ui_->windColumn->currentIndex();
    const int temperatureItem = ui_->tempColumn->currentIndex();
    const int stateItem = ui_->stateColumn->currentIndex();
    // What keeps a button from giving a table, as the analysis would refuse it.
    const auto problemReading = [&](int valueItem, int alsoNeeded) -> QString {
        if (!tableProblem.empty()) {
            return fromUtf8(tableProblem);
        }
        if (dateItem <= 0) {
            return tr("Choose the date/time column.");
        }
        if (valueItem <= 0) {
            return tr("Choose the wind speed or the temperature column.");
        }
        const auto fieldsNeeded =
            static_cast<std::size_t>(std::max({dateItem, valueItem, alsoNeeded}));
        return holdsDataRowWithFields(*table_, fieldsNeeded)
                   ? QString()
                   : tr("No data row after the header row holds all the chosen columns.");
    };
    // The per-state analysis reads the wind speed whichever button ends the sheet.
    const QString windProblem = problemReading(windItem, stateItem);
    const QString temperatureProblem =
        stateItem > 0 ? windProblem : problemReading(temperatureItem, 0);
    ui_->okayButton->setEnabled(windProblem.isEmpty());
    ui_->tempButton->setEnabled(temperatureItem > 0 && temperatureProblem.isEmpty());
    // Said in the sheet while neither button can go on, so that the user puts the choices right
    // without choosing the file again.
    const QString reason =
        windProblem.isEmpty() || (temperatureItem > 0 && temperatureProblem.isEmpty()) ? QString()
        : windItem > 0 || temperatureItem <= 0                                         ? windProblem
                                               : temperatureProblem;
    ui_->tableProblem->setText(reason);
    ui_->tableProblem->setVisible(!reason.isEmpty());
}

void WindFilePreview::end(Ending ending) {
    sheet_->hide();
    // Whoever analyses reads the table as the choices stand, even when the sheet ends before a
    // deferred split has run.
    if (pendingSplits_ > 0) {
        updateTableData();
    }
    // The table stays for the analysis; the whole file's text is no longer needed.
    rawText_.reset();
    emit ended(ending);
}

void WindFilePreview::setWindColumnPicked(bool on) {
    if (std::exchange(windColumnPicked_, on) != on) {
        emit windColumnPickedChanged(on);
    }
}

void WindFilePreview::setDateColumnPicked(bool on) {
    if (std::exchange(dateColumnPicked_, on) != on) {
        emit dateColumnPickedChanged(on);
    }
}

void WindFilePreview::setTemperatureColumnPicked(bool on) {
    if (std::exchange(temperatureColumnPicked_, on) != on) {
        emit temperatureColumnPickedChanged(on);
    }
}

}  // namespace vane::plugin
