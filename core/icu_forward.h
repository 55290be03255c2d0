#pragma once

// Forward declarations of the ICU classes that Vane's headers name, so that those headers stay
// light. ICU's namespace is versioned, hence its own macros.
#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class BasicTimeZone;
class Locale;
class TimeZone;
U_NAMESPACE_END
