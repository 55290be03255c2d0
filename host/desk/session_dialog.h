#pragma once

#include <QDialog>
#include <optional>

#include "host/library/recording_library.h"

class QDialogButtonBox;
class QLineEdit;

namespace vane {

// Asks for a session's name and site. Latitude and longitude are given both or neither, in the
// user's locale or with a point.
class SessionDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SessionDialog(const library::LibrarySession& session, QWidget* parent = nullptr);
    ~SessionDialog() override;

    // The session as edited, or nothing while the fields do not make one.
    std::optional<library::LibrarySession> edited() const;

  private:
    library::LibrarySession session_;
    QLineEdit* name_;
    QLineEdit* latitude_;
    QLineEdit* longitude_;
    QDialogButtonBox* buttons_;
};

// A coordinate as typed: nothing for an empty field; a number within ±`limit`, in the user's
// locale or with a point; any other text is refused.
std::optional<std::optional<double>> typedCoordinate(const QString& text, double limit);

}  // namespace vane
