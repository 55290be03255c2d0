#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "library/recording_library.h"

class QComboBox;
class QDialogButtonBox;
class QLineEdit;

namespace vane {

// Asks for a session's name and site: latitude and longitude (both or neither, in the user's
// locale or with a point) and the zone its local times were read in, given as `zones` (none when
// every time carries its own offset; then the zone cannot be chosen).
class SessionDialog : public QDialog {
    Q_OBJECT
  public:
    SessionDialog(const library::LibrarySession& session, const std::vector<std::string>& zones,
                  QWidget* parent = nullptr);
    ~SessionDialog() override;

    // The session as edited, or nothing while the fields do not make one.
    std::optional<library::LibrarySession> edited() const;
    // The zone to read the local times in again, when another than theirs was chosen.
    std::optional<QString> changedZone() const;

  private:
    library::LibrarySession session_;
    QLineEdit* name_;
    QLineEdit* latitude_;
    QLineEdit* longitude_;
    QComboBox* zone_;
    QString zoneShown_;
    QDialogButtonBox* buttons_;
};

// A coordinate as typed: nothing for an empty field; a number within ±`limit`, in the user's
// locale or with a point; any other text is refused.
std::optional<std::optional<double>> typedCoordinate(const QString& text, double limit);

}  // namespace vane
