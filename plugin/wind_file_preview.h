#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "core/icu_forward.h"
#include "core/import/resolve_choices.h"
#include "core/import/wind_file.h"
#include "plugin_api/user_dialogs.h"

class QComboBox;
class QDialog;
class QWidget;

namespace Ui {
class PreviewSheet;
}

namespace vane::plugin {

class WindTableModel;

// The wind file's preview sheet: the raw text in the encoding read, the split choices, the table
// they give and the column guesses. Its controls edit the user's WindFileChoices and show them
// resolved (resolveChoices()), as the command line resolves its options. Any plug-in that reads a
// wind file shows it the same way; the sheet ends through `ended`, and the table and choices stay
// for whoever analyses them.
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
    const WindTable& table() const { return view_->table; }
    // Whether the whole file's text is still held: from opening until the sheet ends.
    bool holdsText() const { return view_->text != nullptr; }
    // What the sheet shows: the user's choices, and the guesses for the others.
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
    void recut();
    void forgetColumnPicks();
    void showView(WindFileView view);
    void showChoices();
    void pickColumn(QComboBox* chooser, Chosen<int> WindFileChoices::*column);
    void updateSheetButtons();
    void end(Ending ending);
    ChoiceContext context() const;

    AlertPresenter& alerts_;
    FilePanels& panels_;
    QDialog* sheet_ = nullptr;  // owned by the parent
    std::unique_ptr<Ui::PreviewSheet> ui_;
    WindTableModel* model_ = nullptr;  // owned by the sheet

    QString file_;
    // The file as read and cut; its table is shared with the model, which shows it without a
    // copy, and its text is let go when the sheet ends.
    std::shared_ptr<WindFileView> view_;
    WindFileChoices chosen_;               // what the user set; everything else is guessed
    ResolvedChoices shown_;                // what the controls show
    std::unique_ptr<icu::TimeZone> zone_;  // whose offset at zoneInstant_ the zone is guessed as
    double zoneInstant_ = 0.0;
    int pendingSplits_ = 0;  // deferred splits not yet run
    bool windColumnPicked_ = false;
    bool dateColumnPicked_ = false;
    bool temperatureColumnPicked_ = false;
};

}  // namespace vane::plugin
