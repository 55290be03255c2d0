#include "host/desk/zone_names.h"

#include <unicode/strenum.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

namespace vane {

QString zoneId(const icu::TimeZone& zone) {
    icu::UnicodeString id;
    zone.getID(id);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(id.getBuffer()), id.length());
}

QStringList canonicalZoneIds() {
    QStringList ids;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::StringEnumeration> zones(icu::TimeZone::createTimeZoneIDEnumeration(
        UCAL_ZONE_TYPE_CANONICAL_LOCATION, nullptr, nullptr, status));
    while (U_SUCCESS(status) && zones) {
        const icu::UnicodeString* id = zones->snext(status);
        if (!id) {
            break;
        }
        ids.append(
            QString::fromUtf16(reinterpret_cast<const char16_t*>(id->getBuffer()), id->length()));
    }
    ids.append(QStringLiteral("UTC"));
    ids.sort();
    return ids;
}

bool isKnownZone(const QString& id) {
    const std::u16string text = id.toStdU16String();
    icu::UnicodeString canonical;
    UBool isSystemId = false;
    UErrorCode status = U_ZERO_ERROR;
    icu::TimeZone::getCanonicalID(icu::UnicodeString(text.data(), static_cast<int>(text.size())),
                                  canonical, isSystemId, status);
    return U_SUCCESS(status) && isSystemId;
}

std::unique_ptr<icu::TimeZone> zoneNamed(const QString& id) {
    const std::u16string text = id.toStdU16String();
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone(
        icu::UnicodeString(text.data(), static_cast<int>(text.size()))));
}

}  // namespace vane
