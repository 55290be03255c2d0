#include "host/desk/import_dialog.h"

#include <unicode/strenum.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/time/local_time.h"
#include "host/desk/session_dialog.h"
#include "host/desk/zone_names.h"

namespace vane {
namespace {

constexpr int kPreviewRows = 8;

}  // namespace

ImportDialog::ImportDialog(const QString& sourceName,
                           const std::vector<library::LibrarySession>& sessions,
                           const CsvTable* csv, const std::optional<GeoPosition>& site,
                           QWidget* parent)
    : QDialog(parent), csv_(csv), sessions_(sessions) {
    setWindowTitle(tr("Import Recordings"));
    auto* layout = new QVBoxLayout(this);
    form_ = new QFormLayout;
    layout->addLayout(form_);

    zone_ = new QComboBox;
    zone_->setEditable(true);
    QStringList zoneIds = canonicalZoneIds();
    const QString systemZone = zoneId(*processTimeZone());
    if (!zoneIds.contains(systemZone) && isKnownZone(systemZone)) {
        zoneIds.append(systemZone);
        zoneIds.sort();
    }
    zone_->addItems(zoneIds);
    zone_->setCurrentText(systemZone);
    zone_->setToolTip(tr("Times written without an offset are read as local time of this zone."));
    form_->addRow(tr("Time zone:"), zone_);

    newSession_ = new QRadioButton(tr("New session:"));
    sessionName_ = new QLineEdit(sourceName);
    form_->addRow(newSession_, sessionName_);
    auto* existing = new QRadioButton(tr("Existing session:"));
    existingSession_ = new QComboBox;
    for (const auto& session : sessions_) {
        existingSession_->addItem(QString::fromStdString(session.name));
    }
    form_->addRow(existing, existingSession_);
    newSession_->setChecked(true);
    existing->setEnabled(!sessions_.empty());
    existingSession_->setEnabled(false);

    const auto coordinate = [](std::optional<double> value) {
        return value ? QLocale().toString(*value, 'f', 6) : QString();
    };
    latitude_ = new QLineEdit(coordinate(site ? std::optional(site->latitude) : std::nullopt));
    longitude_ = new QLineEdit(coordinate(site ? std::optional(site->longitude) : std::nullopt));
    latitude_->setObjectName(QStringLiteral("latitude"));
    longitude_->setObjectName(QStringLiteral("longitude"));
    latitude_->setPlaceholderText(tr("degrees north"));
    longitude_->setPlaceholderText(tr("degrees east"));
    auto* siteFields = new QHBoxLayout;
    siteFields->addWidget(latitude_);
    siteFields->addWidget(longitude_);
    form_->addRow(tr("Site (latitude, longitude):"), siteFields);
    auto* siteNote = new QLabel(site ? tr("As the files' GUANO Loc Position gives it.")
                                     : tr("The files give no site, or their GUANO Loc Positions "
                                          "disagree. Enter one for the sun's times."));
    siteNote->setObjectName(QStringLiteral("siteNote"));
    siteNote->setWordWrap(true);
    form_->addRow(QString(), siteNote);

    connect(existing, &QRadioButton::toggled, existingSession_, &QWidget::setEnabled);
    connect(newSession_, &QRadioButton::toggled, sessionName_, &QWidget::setEnabled);
    connect(newSession_, &QRadioButton::toggled, this, &ImportDialog::showSiteOfChosenSession);
    connect(existingSession_, &QComboBox::currentIndexChanged, this,
            &ImportDialog::showSiteOfChosenSession);
    connect(newSession_, &QRadioButton::toggled, this, &ImportDialog::updateAcceptable);
    connect(sessionName_, &QLineEdit::textChanged, this, &ImportDialog::updateAcceptable);
    connect(latitude_, &QLineEdit::textChanged, this, &ImportDialog::updateAcceptable);
    connect(longitude_, &QLineEdit::textChanged, this, &ImportDialog::updateAcceptable);

    if (csv_) {
        const RecordingColumns guess = withGuessedLabelColumns(*csv_, guessRecordingColumns(*csv_));
        timestampColumn_ = addColumnChooser(tr("Time stamp column:"), guess.timestamp);
        dateColumn_ = addColumnChooser(tr("or date column:"), guess.date);
        timeColumn_ = addColumnChooser(tr("and time column:"), guess.time);
        fileColumn_ = addColumnChooser(tr("File column:"), guess.file);
        labelColumn_ = addColumnChooser(tr("Label column:"), guess.label);
        probabilityColumn_ = addColumnChooser(tr("Probability column:"), guess.probability);
        labelColumn_->setObjectName(QStringLiteral("labelColumn"));
        probabilityColumn_->setObjectName(QStringLiteral("probabilityColumn"));
        timestampColumn_->setObjectName(QStringLiteral("timestampColumn"));
        labelColumn_->setToolTip(tr("The species or other class of each recording"));
        probabilityColumn_->setToolTip(
            tr("How sure the automatic label is, from 0 to 1; analyses leave out recordings "
               "below 0.5 unless a person set the label"));

        const std::vector<std::string> names = csv_->columnNames();
        auto* preview = new QTableWidget(0, static_cast<int>(names.size()));
        preview->setObjectName(QStringLiteral("preview"));
        QStringList headers;
        for (const auto& name : names) {
            headers.append(QString::fromStdString(name));
        }
        preview->setHorizontalHeaderLabels(headers);
        preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
        const std::size_t end =
            std::min(csv_->rows.size(), csv_->firstDataRow() + std::size_t{kPreviewRows});
        for (std::size_t r = csv_->firstDataRow(); r < end; ++r) {
            const int row = preview->rowCount();
            preview->insertRow(row);
            for (std::size_t c = 0; c < csv_->rows[r].size() && c < names.size(); ++c) {
                preview->setItem(row, static_cast<int>(c),
                                 new QTableWidgetItem(QString::fromStdString(csv_->rows[r][c])));
            }
        }
        preview->resizeColumnsToContents();
        layout->addWidget(new QLabel(tr("Preview:")));
        layout->addWidget(preview);
    }

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons_->button(QDialogButtonBox::Ok)->setText(tr("Import"));
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(zone_, &QComboBox::currentTextChanged, this, &ImportDialog::updateAcceptable);
    layout->addWidget(buttons_);
    updateAcceptable();
}

ImportDialog::~ImportDialog() = default;

QComboBox* ImportDialog::addColumnChooser(const QString& label, std::optional<std::size_t> guess) {
    auto* chooser = new QComboBox;
    chooser->addItem(tr("(none)"));
    for (const auto& name : csv_->columnNames()) {
        chooser->addItem(QString::fromStdString(name));
    }
    chooser->setCurrentIndex(guess ? static_cast<int>(*guess) + 1 : 0);
    connect(chooser, &QComboBox::currentIndexChanged, this, &ImportDialog::updateAcceptable);
    form_->addRow(label, chooser);
    return chooser;
}

// An existing session keeps its own site, shown but not edited here; a new one takes the fields.
void ImportDialog::showSiteOfChosenSession() {
    const bool isNew = newSession_->isChecked();
    if (latitude_->isEnabled() && !isNew) {
        newLatitude_ = latitude_->text();
        newLongitude_ = longitude_->text();
    }
    if (isNew) {
        if (!latitude_->isEnabled()) {
            latitude_->setText(newLatitude_);
            longitude_->setText(newLongitude_);
        }
    } else if (const int index = existingSession_->currentIndex(); index >= 0) {
        const library::LibrarySession& session = sessions_.at(static_cast<std::size_t>(index));
        const auto text = [](std::optional<double> value) {
            return value ? QLocale().toString(*value, 'f', 6) : QString();
        };
        latitude_->setText(text(session.latitude));
        longitude_->setText(text(session.longitude));
    }
    latitude_->setEnabled(isNew);
    longitude_->setEnabled(isNew);
}

std::optional<std::pair<std::optional<double>, std::optional<double>>> ImportDialog::typedSite()
    const {
    const auto latitude = typedCoordinate(latitude_->text(), 90.0);
    const auto longitude = typedCoordinate(longitude_->text(), 180.0);
    if (!latitude || !longitude || latitude->has_value() != longitude->has_value()) {
        return std::nullopt;
    }
    return std::pair(*latitude, *longitude);
}

void ImportDialog::updateAcceptable() {
    if (!buttons_) {
        return;
    }
    const bool zoneKnown = isKnownZone(zone_->currentText());
    const bool sessionChosen =
        !newSession_->isChecked() || !sessionName_->text().trimmed().isEmpty();
    const bool columnsChosen = !csv_ || columns().isComplete();
    const bool siteTyped = !newSession_->isChecked() || typedSite().has_value();
    buttons_->button(QDialogButtonBox::Ok)
        ->setEnabled(zoneKnown && sessionChosen && columnsChosen && siteTyped);
}

std::unique_ptr<icu::TimeZone> ImportDialog::timeZone() const {
    return zoneNamed(zone_->currentText());
}

library::ImportTarget ImportDialog::target() const {
    if (newSession_->isChecked()) {
        const auto site = typedSite().value_or(std::pair(std::nullopt, std::nullopt));
        return library::NewSession{sessionName_->text().trimmed().toStdString(), std::nullopt,
                                   site.first, site.second};
    }
    return sessions_.at(static_cast<std::size_t>(existingSession_->currentIndex())).id;
}

RecordingColumns ImportDialog::columns() const {
    const auto column = [](const QComboBox* chooser) -> std::optional<std::size_t> {
        if (!chooser || chooser->currentIndex() <= 0) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(chooser->currentIndex() - 1);
    };
    return {column(timestampColumn_), column(dateColumn_),  column(timeColumn_),
            column(fileColumn_),      column(labelColumn_), column(probabilityColumn_)};
}

}  // namespace vane
