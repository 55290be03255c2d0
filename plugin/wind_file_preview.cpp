#include "plugin/wind_file_preview.h"

#include <unicode/timezone.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>
#include <QtDebug>
#include <algorithm>
#include <utility>

#include "core/import/column_choosers.h"
#include "core/import/date_format_items.h"
#include "core/import/missing_markers.h"
#include "core/import/wind_table_split.h"
#include "core/time/local_time.h"
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
      ui_(std::make_unique<Ui::PreviewSheet>()),
      view_(std::make_shared<WindFileView>()) {
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
    connectControls();
    // The choices an empty text gives, until a file is chosen; no text is held before.
    WindFileView empty = viewWindText({}, kUtf8Encoding, EncodingSource::detected, {});
    empty.text.reset();
    showView(std::move(empty));
}

WindFilePreview::~WindFilePreview() = default;

void WindFilePreview::connectControls() {
    // Only what the user does sends actions; the controller's own selections stay quiet.
    connect(ui_->windEncodings, &QComboBox::activated, this, &WindFilePreview::changeFileEncoding);
    connect(ui_->lineEnd, &QComboBox::activated, this, &WindFilePreview::setLineEnding);
    connect(ui_->fieldSep, &QComboBox::activated, this, [this] {
        chosen_.text.fieldSeparator = fieldSeparatorChoice(*ui_->fieldSep);
        recut();
    });
    connect(ui_->startingLine, &QLineEdit::editingFinished, this, [this] {
        chosen_.text.startingLine = integerValue(ui_->startingLine->text().toStdString());
        recut();
    });
    const std::pair<QComboBox*, Chosen<int> WindFileChoices::*> columns[] = {
        {ui_->date_timeColumn, &WindFileChoices::dateTimeColumn},
        {ui_->timeColumn, &WindFileChoices::timeColumn},
        {ui_->dayColumn, &WindFileChoices::dayColumn},
        {ui_->windColumn, &WindFileChoices::windColumn},
        {ui_->tempColumn, &WindFileChoices::temperatureColumn},
        {ui_->stateColumn, &WindFileChoices::stateColumn},
    };
    for (const auto& [chooser, column] : columns) {
        connect(chooser, &QComboBox::activated, this,
                [this, chooser, column] { pickColumn(chooser, column); });
    }
    connect(ui_->date_Format, &QComboBox::activated, this, [this] {
        chosen_.dateFormat = ui_->date_Format->currentText().toStdString();
        showChoices();
    });
    connect(ui_->decimal_Sep, &QComboBox::activated, this, [this] {
        chosen_.decimalSeparator = ui_->decimal_Sep->currentText().toStdString();
        showChoices();
    });
    // Typed or picked; the controller's own selection is made with the signals blocked.
    connect(ui_->timeZone, &QComboBox::editTextChanged, this,
            [this](const QString& zone) { chosen_.timeZone = zone.toStdString(); });
    connect(ui_->timeOffset, &QLineEdit::textChanged, this, [this](const QString& minutes) {
        chosen_.timeOffsetMinutes = integerValue(minutes.toStdString());
    });
    connect(ui_->timeStamps, &QComboBox::activated, this, [this](int item) {
        chosen_.stamps = item == 1 ? StampConvention::begin : StampConvention::end;
        showChoices();
    });
    connect(ui_->missingMarkers, &QLineEdit::textChanged, this, [this](const QString& markers) {
        chosen_.missingMarkers = missingMarkersFromList(markers.toStdString());
    });
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

ChoiceContext WindFilePreview::context() const {
    return {.zone = zone_.get(), .firstRecording = zoneInstant_};
}

void WindFilePreview::chooseFile(double zoneInstant) {
    const std::optional<QString> path = panels_.chooseFileToOpen(
        sheet_->parentWidget(), OpenPanelOptions{{QStringLiteral("csv"), QStringLiteral("txt"),
                                                  QStringLiteral("dat"), QStringLiteral("tsv")}});
    if (!path) {
        return;
    }
    // A new file starts from the guesses; only what the user typed of the readings' offset and
    // missing markers stays.
    WindFileChoices chosen;
    chosen.timeOffsetMinutes = chosen_.timeOffsetMinutes;
    chosen.missingMarkers = chosen_.missingMarkers;
    Outcome<WindFileView> load = loadWindFile(path->toStdString(), chosen.text);
    if (!load) {
        view_->text.reset();
        alerts_.showAlert(sheet_->parentWidget(), fromUtf8(load.error().title),
                          fromUtf8(load.error().message));
        qWarning().noquote() << "error" << fromUtf8(load.error().detail);
        return;
    }
    chosen_ = std::move(chosen);
    file_ = *path;
    zone_ = processTimeZone();
    zoneInstant_ = zoneInstant;

    QComboBox& encodings = *ui_->windEncodings;
    encodings.clear();
    for (const EncodingEntry& entry : allAvailableEncodings()) {
        encodings.addItem(fromUtf8(entry.displayName), entry.number);
    }
    ui_->windPreviewText->setPlainText(fromUtf8(load->previewText));
    showView(*std::move(load));
    sheet_->open();
}

WindFileChoices WindFilePreview::choices() const {
    return resolveChoices(*view_, chosen_, context()).choices;
}

void WindFilePreview::startOver() {
    setWindColumnPicked(false);
    setDateColumnPicked(false);
    setTemperatureColumnPicked(false);
    forgetColumnPicks();
    // No rows until the next file, which the choosers are filled for.
    view_->text.reset();
    view_ = std::make_shared<WindFileView>(recutWindFile(*view_, chosen_.text));
}

void WindFilePreview::forgetColumnPicks() {
    for (Chosen<int> WindFileChoices::*column :
         {&WindFileChoices::dateTimeColumn, &WindFileChoices::timeColumn,
          &WindFileChoices::dayColumn, &WindFileChoices::windColumn,
          &WindFileChoices::temperatureColumn, &WindFileChoices::stateColumn}) {
        (chosen_.*column).reset();
    }
}

void WindFilePreview::changeFileEncoding() {
    // The item's own number, so that encodings sharing a display name stay apart.
    chosen_.text.encoding = static_cast<StringEncoding>(ui_->windEncodings->currentData().toInt());
    forgetColumnPicks();
    WindFileView view = rereadWindFile(*view_, chosen_.text);
    ui_->windPreviewText->selectAll();
    if (view.text) {
        ui_->windPreviewText->setPlainText(fromUtf8(view.previewText));
    }
    showView(std::move(view));
}

void WindFilePreview::setLineEnding() {
    chosen_.text.lineEndingIndex = ui_->lineEnd->currentIndex();
    ++pendingSplits_;
    QTimer::singleShot(kDeferredSplitMilliseconds, this, [this] {
        --pendingSplits_;
        // Once the sheet has ended the text is gone: a split now would empty the table.
        if (view_->text) {
            recut();
        }
    });
}

// Another cut gives other columns: the user's column picks are guessed again.
void WindFilePreview::recut() {
    forgetColumnPicks();
    showView(recutWindFile(*view_, chosen_.text));
}

void WindFilePreview::showView(WindFileView view) {
    view_ = std::make_shared<WindFileView>(std::move(view));
    model_->setTable(std::shared_ptr<const WindTable>(view_, &view_->table), view_->columnTitles);
    // Qt measures the first thousand rows, however long the file.
    ui_->windPreviewTable->resizeColumnsToContents();
    const std::vector<std::string>& titles = view_->columnTitles;
    refill(*ui_->date_timeColumn, columnChooserItems(ColumnChooser::dateTime, titles));
    refill(*ui_->windColumn, columnChooserItems(ColumnChooser::wind, titles));
    refill(*ui_->tempColumn, columnChooserItems(ColumnChooser::temperature, titles));
    refill(*ui_->stateColumn, columnChooserItems(ColumnChooser::state, titles));
    refill(*ui_->timeColumn, columnChooserItems(ColumnChooser::state, titles));
    refill(*ui_->dayColumn, columnChooserItems(ColumnChooser::state, titles));
    showChoices();
}

// Every control shows its choice resolved; the flags keep the user's last picks.
void WindFilePreview::showChoices() {
    shown_ = resolveChoices(*view_, chosen_, context());
    const WindFileChoices& shown = shown_.choices;
    const TextChoices& text = shown.text;
    ui_->windEncodings->setCurrentIndex(
        ui_->windEncodings->findData(static_cast<std::int32_t>(*text.encoding)));
    ui_->lineEnd->setCurrentIndex(*text.lineEndingIndex);
    ui_->fieldSep->setCurrentIndex(text.fieldSeparator->index);
    ui_->startingLine->setText(QString::number(*text.startingLine));
    const std::pair<QComboBox*, const Chosen<int>&> columns[] = {
        {ui_->date_timeColumn, shown.dateTimeColumn},
        {ui_->timeColumn, shown.timeColumn},
        {ui_->dayColumn, shown.dayColumn},
        {ui_->windColumn, shown.windColumn},
        {ui_->tempColumn, shown.temperatureColumn},
        {ui_->stateColumn, shown.stateColumn},
    };
    for (const auto& [chooser, column] : columns) {
        chooser->setCurrentIndex(*column);
    }
    ui_->timeStamps->setCurrentIndex(*shown.stamps == StampConvention::begin ? 1 : 0);
    // Why the guess, where the file said so; a row's window depends on it.
    QString stampsWhy = tr("Each row stands for the step before its time stamp, or after it.");
    for (const ChoiceNote& note : shown_.notes) {
        if (note.field == ChoiceField::stamps) {
            stampsWhy = tr("Guessed: %1").arg(fromUtf8(note.why));
        }
    }
    ui_->timeStamps->setToolTip(stampsWhy);
    selectItemTitled(*ui_->date_Format, fromUtf8(*shown.dateFormat));
    selectItemTitled(*ui_->decimal_Sep, fromUtf8(*shown.decimalSeparator));
    {
        const QSignalBlocker quiet(ui_->timeZone);
        selectItemTitled(*ui_->timeZone, fromUtf8(*shown.timeZone));
        ui_->timeZone->setEditText(fromUtf8(*shown.timeZone));
    }
    updateSheetButtons();
}

void WindFilePreview::pickColumn(QComboBox* chooser, Chosen<int> WindFileChoices::*column) {
    const int item = std::max(0, chooser->currentIndex());
    chosen_.*column = item;
    const std::pair<QComboBox*, ColumnChooser> flagged[] = {
        {ui_->date_timeColumn, ColumnChooser::dateTime},
        {ui_->windColumn, ColumnChooser::wind},
        {ui_->tempColumn, ColumnChooser::temperature},
        {ui_->stateColumn, ColumnChooser::state},
    };
    for (const auto& [flaggedChooser, which] : flagged) {
        if (flaggedChooser != chooser) {
            continue;
        }
        const ColumnFlags flags =
            vane::setOutputColumns(ColumnFlags{.dateTimePicked = dateColumnPicked_,
                                               .windPicked = windColumnPicked_,
                                               .temperaturePicked = temperatureColumnPicked_},
                                   which, static_cast<std::size_t>(item));
        setDateColumnPicked(flags.dateTimePicked);
        setWindColumnPicked(flags.windPicked);
        setTemperatureColumnPicked(flags.temperaturePicked);
    }
    showChoices();
}

// The buttons follow what the choosers show, guessed or picked: the flags record only the
// user's own picks and may be stale after a rebuild of the choosers.
void WindFilePreview::updateSheetButtons() {
    const Outcome<void> usable = usableTable(*view_);
    const WindFileChoices& shown = shown_.choices;
    const int dateItem = *shown.dateTimeColumn;
    const int timeItem = *shown.timeColumn;
    const int dayItem = *shown.dayColumn;
    const int windItem = *shown.windColumn;
    const int temperatureItem = *shown.temperatureColumn;
    const int stateItem = *shown.stateColumn;
    // What keeps a button from giving a table, as the analysis would refuse it.
    const auto problemReading = [&](int valueItem, int alsoNeeded) -> QString {
        if (!usable) {
            return fromUtf8(usable.error().message);
        }
        if (dateItem <= 0) {
            return tr("Choose the date/time column.");
        }
        if (valueItem <= 0) {
            return tr("Choose the wind speed or the temperature column.");
        }
        // Most often a wrong field separator, which leaves the whole row in one column.
        if (valueItem == dateItem || valueItem == timeItem || valueItem == dayItem) {
            return tr("The readings and the date/time are the same column \"%1\": choose "
                      "another column, or the field separator that splits the rows.")
                .arg(ui_->windColumn->itemText(valueItem));
        }
        const auto fieldsNeeded =
            static_cast<std::size_t>(std::max({dateItem, valueItem, alsoNeeded}));
        return holdsDataRowWithFields(view_->table, fieldsNeeded)
                   ? QString()
                   : tr("No data row after the header row holds all the chosen columns.");
    };
    // The per-state analysis reads the wind speed whichever button ends the sheet.
    const QString windProblem = problemReading(windItem, stateItem);
    const QString temperatureProblem =
        stateItem > 0 ? windProblem : problemReading(temperatureItem, 0);
    const bool windReady = windProblem.isEmpty();
    const bool temperatureReady = temperatureItem > 0 && temperatureProblem.isEmpty();
    ui_->okayButton->setEnabled(windReady);
    ui_->tempButton->setEnabled(temperatureReady);
    // Said in the sheet whenever a button cannot go on, so that the user puts the choices right
    // without choosing the file again, and a greyed button is never left unexplained.
    QString reason;
    if (!windReady && !temperatureReady) {
        reason = windItem > 0 || temperatureItem <= 0 ? windProblem : temperatureProblem;
    } else if (!windReady) {
        reason = tr("Wind: %1").arg(windProblem);
    } else if (!temperatureReady) {
        reason = temperatureItem <= 0 ? tr("Temperature: choose the temperature column.")
                                      : tr("Temperature: %1").arg(temperatureProblem);
    }
    ui_->tableProblem->setText(reason);
    ui_->tableProblem->setVisible(!reason.isEmpty());
}

void WindFilePreview::end(Ending ending) {
    sheet_->hide();
    // Whoever analyses reads the table as the choices stand, even when the sheet ends before a
    // deferred split has run.
    if (pendingSplits_ > 0) {
        recut();
    }
    // The table stays for the analysis; the whole file's text is no longer needed.
    view_->text.reset();
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
