#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QWidget;

// Everything that waits on a person goes through these, so tests can drive the real controllers
// with recorders in their place.
namespace vane {

// A modal alert with one "Ok" button.
class AlertPresenter {
  public:
    virtual ~AlertPresenter() = default;
    virtual void showAlert(QWidget* parent, const QString& title, const QString& message) = 0;
    // An account of finished work, with its details folded away.
    virtual void showReport(QWidget* parent, const QString& title, const QString& message,
                            const QString& details) = 0;
};

struct OpenPanelOptions {
    QStringList fileTypes = {};  // extensions without the dot, matched ignoring case
    QString typesName = {};      // what files of those types are, such as "CSV files"
    QString title = {};
    QString directory = {};  // empty: wherever the panel was last
};

struct SavePanelOptions {
    QString title = {};
    QString directory = {};        // empty: wherever the panel was last
    QString proposedName = {};     // without extension
    QStringList fileTypes = {};    // extensions without the dot; the first is preselected
    QString typesName = {};        // what files of those types are, such as "Vane libraries"
    bool confirmOverwrite = true;  // false where the caller refuses an existing file itself
};

struct SavePanelChoice {
    QString path;      // carries one of the offered extensions
    QString fileType;  // the type the user picked
};

class FilePanels {
  public:
    virtual ~FilePanels() = default;
    // The chosen file, or nothing when the user cancelled.
    virtual std::optional<QString> chooseFileToOpen(QWidget* parent,
                                                    const OpenPanelOptions& options) = 0;
    virtual std::optional<SavePanelChoice> chooseFileToSave(QWidget* parent,
                                                            const SavePanelOptions& options) = 0;
    // The chosen folder, or nothing when the user cancelled.
    virtual std::optional<QString> chooseFolder(QWidget* parent, const QString& title) = 0;
};

// The general clipboard, plain text only.
class Pasteboard {
  public:
    virtual ~Pasteboard() = default;
    virtual void setString(const QString& text) = 0;
};

struct UserDialogs {
    std::unique_ptr<AlertPresenter> alerts;
    std::unique_ptr<FilePanels> panels;
    std::unique_ptr<Pasteboard> pasteboard;

    // Message boxes, file dialogs and the application clipboard.
    static UserDialogs onScreen();
};

// The folder a file panel starts in: `asked`, or else the folder of the last file or folder any
// panel answered (kept across runs), or else the home folder.
QString panelStartFolder(const QString& asked);
// Notes the folder that holds `chosen`, a file or folder a panel answered, for the next panel.
void rememberPanelFolder(const QString& chosen);

// What a save panel answers for the name the user typed with the type selected: an extension
// typed that is one of `fileTypes` (ignoring case) wins and the type follows it; any other name
// gets the selected type's extension added.
SavePanelChoice chosenSavePath(const QString& typedPath, const QString& selectedType,
                               const QStringList& fileTypes);

// Whether an open panel lets the user pick `path`: folders always (to open them), files when
// their extension is one of `fileTypes`, ignoring case. A missing item is judged by its name.
bool shouldEnablePath(const QString& path, const QStringList& fileTypes);

}  // namespace vane
