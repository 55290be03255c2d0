#pragma once

#include <QUrl>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library/library_types.h"

class QComboBox;
class QLabel;
class QTableWidget;
class QTemporaryDir;
class QUndoStack;

namespace vane {

class AlertPresenter;
class SpectrogramView;

// What the review window needs of the library's window.
struct ReviewedRecordings {
    // The recordings selected there, in the order shown, read anew on every call.
    std::function<std::vector<library::LibraryRecording>()> selected;
    std::function<std::vector<std::string>()> labelNames;  // every label the library knows
    // Gives the recording a person's label, as one step of `undoStack`.
    std::function<void(const library::LibraryRecording&, const std::string&)> label;
    QUndoStack* undoStack = nullptr;
};

// One recording at a time out of those selected: its spectrogram, its GUANO fields and its
// label, which a person sets or corrects here. The arrow keys step through the recordings, the
// digits 1 to 9 give the label of that place in the list, Enter the label typed.
class ReviewWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr std::uint32_t kSlowDown = 10;
    using Player = std::function<bool(const QUrl&)>;

    ReviewWindow(ReviewedRecordings recordings, AlertPresenter& alerts, QWidget* parent = nullptr);
    ~ReviewWindow() override;

    // Reads the library's labels and the selection again, staying with the recording shown while
    // it is still selected.
    void refresh();
    // Reads the selection again, as refresh() does, but not the labels.
    void followSelection();
    void step(int by);
    // Labels the recording shown; nothing for a blank label.
    void labelShown(const QString& label);
    // Writes the recording slowed down kSlowDown times to a temporary file and hands it to the
    // player (the system's, unless a test puts another).
    void playSlowed();
    void setPlayer(Player player) { player_ = std::move(player); }

    std::int64_t shownRecordingId() const;
    const SpectrogramView& spectrogram() const { return *spectrogram_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void showRecording(std::size_t index);
    void showFields(const library::LibraryRecording& recording, const QString& soundLine);

    ReviewedRecordings source_;
    AlertPresenter& alerts_;
    Player player_;
    std::vector<library::LibraryRecording> recordings_;
    std::size_t shown_ = 0;
    std::int64_t drawnId_ = 0;  // the recording whose sound and fields are shown
    std::vector<std::string> labelNames_;
    SpectrogramView* spectrogram_;
    QLabel* title_;
    QComboBox* labelChooser_;
    QTableWidget* fields_;
    std::unique_ptr<QTemporaryDir> slowedFiles_;
};

}  // namespace vane
