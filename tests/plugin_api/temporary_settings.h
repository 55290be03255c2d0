#pragma once

#include <QSettings>
#include <QTemporaryDir>

namespace vane::testing {

// Points every QSettings of the process at a folder of its own for as long as it lives, so that
// tests never read or write the user's settings. Make it before the first QSettings.
class TemporarySettings {
  public:
    TemporarySettings() {
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
            QSettings::setPath(format, QSettings::UserScope, folder_.path());
        }
    }
    QString path() const { return folder_.path(); }

  private:
    QTemporaryDir folder_;
};

}  // namespace vane::testing
