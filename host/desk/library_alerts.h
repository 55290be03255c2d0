#pragma once

#include <QString>
#include <exception>
#include <string>
#include <vector>

class QWidget;

namespace vane {

class AlertPresenter;

// What an alert says when a library could not be read: the error names `location`, or is said
// of it.
QString cannotReadText(const QString& location, const std::exception& error);

// The rows a read left out because their stored values are out of range, in one alert; nothing
// when there are none.
void sayRefusedRows(AlertPresenter& alerts, QWidget* parent,
                    const std::vector<std::string>& refused);

}  // namespace vane
