#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <vector>

#include "core/recordings/recording_csv.h"
#include "host/library/recording_library.h"

class QComboBox;
class QDialogButtonBox;
class QFormLayout;
class QLineEdit;
class QRadioButton;

namespace vane {

// Asks how to import: the time zone of times written without an offset, the session to import
// into, and for a CSV file which columns hold the time (with a preview and guessed columns).
class ImportDialog : public QDialog {
    Q_OBJECT
  public:
    ImportDialog(const QString& sourceName, const std::vector<library::LibrarySession>& sessions,
                 const CsvTable* csv, QWidget* parent = nullptr);
    ~ImportDialog() override;

    std::unique_ptr<icu::TimeZone> timeZone() const;
    library::ImportTarget target() const;  // the location of a new session is filled later
    RecordingColumns columns() const;

  private:
    void updateAcceptable();
    QComboBox* addColumnChooser(const QString& label, std::optional<std::size_t> guess);

    const CsvTable* csv_;
    std::vector<library::LibrarySession> sessions_;
    QComboBox* zone_ = nullptr;
    QRadioButton* newSession_ = nullptr;
    QLineEdit* sessionName_ = nullptr;
    QComboBox* existingSession_ = nullptr;
    QComboBox* timestampColumn_ = nullptr;
    QComboBox* dateColumn_ = nullptr;
    QComboBox* timeColumn_ = nullptr;
    QComboBox* fileColumn_ = nullptr;
    QFormLayout* form_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace vane
