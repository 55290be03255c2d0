#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "core/icu_forward.h"

namespace vane {

// The zones a person chooses from: the time zone database's locations and UTC, sorted.
QStringList canonicalZoneIds();

// Any zone of the time zone database, also one that the list spells differently (the system's
// "Etc/UTC" or "Asia/Kolkata"): refusing it would leave the default unusable.
bool isKnownZone(const QString& id);

QString zoneId(const icu::TimeZone& zone);

std::unique_ptr<icu::TimeZone> zoneNamed(const QString& id);

}  // namespace vane
