#pragma once

#include <QString>
#include <string>
#include <vector>

class QWidget;

namespace vane {

class AlertPresenter;

// The rows a read left out because their stored values are out of range, in one alert; nothing
// when there are none.
void sayLeftOutRows(AlertPresenter& alerts, QWidget* parent,
                    const std::vector<std::string>& leftOut);

}  // namespace vane
