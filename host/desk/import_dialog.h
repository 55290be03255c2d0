#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <vector>

#include "core/recordings/guano.h"
#include "core/recordings/recording_csv.h"
#include "library/recording_library.h"

class QComboBox;
class QDialogButtonBox;
class QFormLayout;
class QLineEdit;
class QRadioButton;

namespace vane {

// Asks how to import: the time zone of times written without an offset, the session to import
// into with the site of a new one (proposed from the files), and for a CSV file which columns
// hold the time, the label and its probability (with a preview and guessed columns). A table an
// identification program wrote is given without `csv`: its header says where everything is.
class ImportDialog : public QDialog {
    Q_OBJECT
  public:
    ImportDialog(const QString& sourceName, const std::vector<library::LibrarySession>& sessions,
                 const CsvTable* csv, const std::optional<GeoPosition>& site,
                 QWidget* parent = nullptr);
    ~ImportDialog() override;

    std::unique_ptr<icu::TimeZone> timeZone() const;
    library::ImportTarget target() const;
    RecordingColumns columns() const;

  private:
    void updateAcceptable();
    void showSiteOfChosenSession();
    // The site typed for a new session: nothing while the fields do not make one.
    std::optional<std::pair<std::optional<double>, std::optional<double>>> typedSite() const;
    QComboBox* addColumnChooser(const QString& label, std::optional<std::size_t> guess);

    const CsvTable* csv_;
    std::vector<library::LibrarySession> sessions_;
    QComboBox* zone_ = nullptr;
    QRadioButton* newSession_ = nullptr;
    QLineEdit* sessionName_ = nullptr;
    QComboBox* existingSession_ = nullptr;
    QLineEdit* latitude_ = nullptr;
    QLineEdit* longitude_ = nullptr;
    QString newLatitude_;  // as typed for a new session while an existing one is shown
    QString newLongitude_;
    QComboBox* timestampColumn_ = nullptr;
    QComboBox* dateColumn_ = nullptr;
    QComboBox* timeColumn_ = nullptr;
    QComboBox* fileColumn_ = nullptr;
    QComboBox* labelColumn_ = nullptr;
    QComboBox* probabilityColumn_ = nullptr;
    QFormLayout* form_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace vane
