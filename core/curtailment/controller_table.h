#pragma once

#include <string>

#include "core/curtailment/curtailment_result.h"

namespace vane {

// The tailored plan as the table an operator loads into a turbine's controller, CSV with a
// header: "month,reference,start_min,end_min,cut_in_ms,temperature_floor_c". One row per month
// with data and window of neighbouring night parts sharing a cut-in, covering the whole night.
// Windows are minutes after sunset (reference "sunset"; negative: before it), except the one
// holding the night's last part, which is minutes before sunrise (reference "sunrise"; negative:
// after it), so that it reaches sunrise however long the night. Part boundaries are placed by
// the month's mean night length in the data. Cut-in 0: never stopped; the floor is empty without
// one.
std::string controllerTable(const CurtailmentResult& result);

}  // namespace vane
