#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <thread>

#include "core/icu_forward.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace vane {

class AlertPresenter;
class FilePanels;

// Shows a finished document (the farm report) with the program the desktop has for it.
using DocumentOpener = std::function<void(const QString& path)>;

// A wind farm's project file: its turbines as `vane project check` finds them (recordings, wind
// file, what was found and any problem), and its run into a results folder, as `vane project
// run` makes it, off the user interface thread with a progress bar and Cancel. The farm report
// is opened when a run is done.
class ProjectWindow : public QDialog {
    Q_OBJECT
  public:
    ProjectWindow(const QString& projectFile, FilePanels& panels, DocumentOpener openDocument,
                  QWidget* parent = nullptr);
    ~ProjectWindow() override;  // a run still going is stopped and waited for

    QString resultsFolder() const;
    void setResultsFolder(const QString& folder);
    // Starts the run (the Run button); Cancel stops it between turbines.
    void run();
    void cancel();
    bool isRunning() const;

  signals:
    // The run's exit status as `vane project run` would give it (4: cancelled).
    void runFinished(int status);

  private:
    void showCheck();
    void finish(int status, const QString& said);

    QString projectFile_;
    FilePanels& panels_;
    DocumentOpener openDocument_;
    std::unique_ptr<icu::TimeZone> zone_;
    QTableWidget* turbines_;
    QLabel* problems_;
    QLineEdit* folder_;
    QProgressBar* progress_;
    QPushButton* runButton_;
    QPushButton* cancelButton_;
    QPlainTextEdit* log_;
    bool runnable_ = false;
    bool running_ = false;
    std::jthread worker_;
};

}  // namespace vane
