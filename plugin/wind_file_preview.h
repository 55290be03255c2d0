#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/import/wind_table.h"
#include "plugin_api/user_dialogs.h"

class QComboBox;
class QDialog;
class QWidget;

namespace Ui {
class PreviewSheet;
}

namespace vane::plugin {

class WindTableModel;

// What the user set on the sheet for reading the table's rows; chooser items count from 1, 0 is
// "no column".
struct WindFileChoices {
    int dateTimeColumn = 0;
    int timeColumn = 0;  // a time of day apart from the date
    int windColumn = 0;
    int temperatureColumn = 0;
    int stateColumn = 0;
    std::string dateFormat;
    std::string timeZone;  // such as "+0200", or a zone name such as "Europe/Berlin"
    std::string decimalSeparator;
    std::int32_t timeOffset = 0;              // minutes
    std::vector<std::string> missingMarkers;  // readings left out; "" for empty fields
    std::string windUnit;                     // "km/h" or "kn" when the wind column's title says so
};

// The wind file's preview sheet: the raw text in the encoding read, the split choices, the table
// they give and the column guesses. Any plug-in that reads a wind file shows it the same way; the
// sheet ends through `ended`, and the table and choices stay for whoever analyses them.
class WindFilePreview final : public QObject {
    Q_OBJECT
    // Whether the user has picked each column; guesses never set these.
    Q_PROPERTY(bool windColumnPicked READ windColumnPicked WRITE setWindColumnPicked NOTIFY
                   windColumnPickedChanged)
    Q_PROPERTY(bool dateColumnPicked READ dateColumnPicked WRITE setDateColumnPicked NOTIFY
                   dateColumnPickedChanged)
    Q_PROPERTY(bool temperatureColumnPicked READ temperatureColumnPicked WRITE
                   setTemperatureColumnPicked NOTIFY temperatureColumnPickedChanged)

  public:
    enum class Ending { cancelled, wind, temperature };
    Q_ENUM(Ending)

    // The sheet is window-modal over `parent`, which owns it; the dialogs outlive the preview.
    WindFilePreview(AlertPresenter& alerts, FilePanels& panels, QWidget* parent);
    ~WindFilePreview() override;
    WindFilePreview(const WindFilePreview&) = delete;
    WindFilePreview& operator=(const WindFilePreview&) = delete;

    // Asks for a wind file and opens the sheet on it; the time zone chooser then shows this
    // process's offset at `zoneInstant` (seconds since 1970). A file that cannot be read is
    // alerted and changes nothing shown.
    void chooseFile(double zoneInstant);

    QDialog* sheet() const { return sheet_; }
    const QString& file() const { return file_; }
    const WindTable& table() const { return *table_; }
    // Whether the whole file's text is still held: from opening until the sheet ends.
    bool holdsText() const { return rawText_ != nullptr; }
    WindFileChoices choices() const;

    // Forgets the table and the user's column picks, keeping every other choice.
    void startOver();

    bool windColumnPicked() const { return windColumnPicked_; }
    bool dateColumnPicked() const { return dateColumnPicked_; }
    bool temperatureColumnPicked() const { return temperatureColumnPicked_; }
    void setWindColumnPicked(bool on);
    void setDateColumnPicked(bool on);
    void setTemperatureColumnPicked(bool on);

  signals:
    void ended(vane::plugin::WindFilePreview::Ending ending);
    void windColumnPickedChanged(bool on);
    void dateColumnPickedChanged(bool on);
    void temperatureColumnPickedChanged(bool on);

  private:
    void connectControls();
    void changeFileEncoding();
    void setLineEnding();
    void updateTableData();
    void showTable(WindTable table);
    void updateColumnChoosers();
    void setOutputColumns(QComboBox* sender);
    void updateSheetButtons();
    void guessDecimalSeparator();
    void end(Ending ending);

    AlertPresenter& alerts_;
    FilePanels& panels_;
    QDialog* sheet_ = nullptr;  // owned by the parent
    std::unique_ptr<Ui::PreviewSheet> ui_;
    WindTableModel* model_ = nullptr;  // owned by the sheet

    std::shared_ptr<const std::string> rawText_;  // shared with the table's fields
    QString file_;
    // Shared with the table model, which shows it without a copy.
    std::shared_ptr<const WindTable> table_ = std::make_shared<const WindTable>();
    std::vector<std::string> columnTitles_;  // of the last split that had a header row
    int pendingSplits_ = 0;                  // deferred splits not yet run
    bool windColumnPicked_ = false;
    bool dateColumnPicked_ = false;
    bool temperatureColumnPicked_ = false;
    bool decimalSeparatorPicked_ = false;  // the user's pick wins over the guess
    bool startingLineEdited_ = false;      // else the header row is found on loading a file
};

}  // namespace vane::plugin
