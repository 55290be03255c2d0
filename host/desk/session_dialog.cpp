#include "host/desk/session_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <cmath>

#include "host/desk/zone_names.h"

namespace vane {
namespace {

QString coordinateText(const std::optional<double>& value) {
    return value ? QLocale().toString(*value, 'f', 6) : QString();
}

}  // namespace

std::optional<std::optional<double>> typedCoordinate(const QString& text, double limit) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return std::optional<double>();
    }
    bool ok = false;
    double value = QLocale().toDouble(trimmed, &ok);
    if (!ok) {
        value = QLocale::c().toDouble(trimmed, &ok);
    }
    if (!ok || !std::isfinite(value) || std::abs(value) > limit) {
        return std::nullopt;
    }
    return std::optional<double>(value);
}

SessionDialog::SessionDialog(const library::LibrarySession& session,
                             const std::vector<std::string>& zones, QWidget* parent)
    : QDialog(parent),
      session_(session),
      name_(new QLineEdit(QString::fromStdString(session.name))),
      latitude_(new QLineEdit(coordinateText(session.latitude))),
      longitude_(new QLineEdit(coordinateText(session.longitude))),
      zone_(new QComboBox),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel)) {
    setWindowTitle(tr("Edit Session"));
    name_->setObjectName(QStringLiteral("name"));
    latitude_->setObjectName(QStringLiteral("latitude"));
    longitude_->setObjectName(QStringLiteral("longitude"));
    latitude_->setPlaceholderText(tr("degrees north, such as 49.6"));
    longitude_->setPlaceholderText(tr("degrees east, such as 11.05"));
    auto* form = new QFormLayout(this);
    form->addRow(tr("Name:"), name_);
    form->addRow(tr("Latitude:"), latitude_);
    form->addRow(tr("Longitude:"), longitude_);
    zone_->setObjectName(QStringLiteral("zone"));
    zone_->setEditable(true);
    zone_->addItems(canonicalZoneIds());
    zoneShown_ = zones.size() == 1 ? QString::fromStdString(zones.front()) : QString();
    zone_->setCurrentText(zoneShown_);
    zone_->setEnabled(!zones.empty());
    zone_->setToolTip(
        zones.empty()
            ? tr("Every time of this session was written with its own offset from UTC.")
            : tr("The zone the recorder's clock was read in; another one moves every time read "
                 "as local time, keeping the clock time."));
    if (zones.size() > 1) {
        zone_->lineEdit()->setPlaceholderText(tr("several; choose one for all"));
    }
    form->addRow(tr("Time zone:"), zone_);
    form->addRow(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto update = [this] {
        const bool zoneKnown = zone_->currentText() == zoneShown_ || !zone_->isEnabled() ||
                               isKnownZone(zone_->currentText());
        buttons_->button(QDialogButtonBox::Ok)->setEnabled(edited().has_value() && zoneKnown);
    };
    for (QLineEdit* field : {name_, latitude_, longitude_}) {
        connect(field, &QLineEdit::textChanged, this, update);
    }
    connect(zone_, &QComboBox::currentTextChanged, this, update);
}

SessionDialog::~SessionDialog() = default;

std::optional<QString> SessionDialog::changedZone() const {
    const QString chosen = zone_->currentText().trimmed();
    if (!zone_->isEnabled() || chosen == zoneShown_ || !isKnownZone(chosen)) {
        return std::nullopt;
    }
    return chosen;
}

std::optional<library::LibrarySession> SessionDialog::edited() const {
    const QString name = name_->text().trimmed();
    const auto latitude = typedCoordinate(latitude_->text(), 90.0);
    const auto longitude = typedCoordinate(longitude_->text(), 180.0);
    if (name.isEmpty() || !latitude || !longitude ||
        latitude->has_value() != longitude->has_value()) {
        return std::nullopt;
    }
    library::LibrarySession session = session_;
    session.name = name.toStdString();
    // A coordinate left as shown keeps every digit it had, not just the six shown.
    if (latitude_->text() != coordinateText(session_.latitude)) {
        session.latitude = *latitude;
    }
    if (longitude_->text() != coordinateText(session_.longitude)) {
        session.longitude = *longitude;
    }
    if (session.latitude.has_value() != session.longitude.has_value()) {
        return std::nullopt;
    }
    return session;
}

}  // namespace vane
