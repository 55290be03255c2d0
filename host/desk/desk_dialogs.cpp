#include "host/desk/desk_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QObject>
#include <QPushButton>

namespace vane {
namespace {

class StandardMessageBoxes final : public AlertPresenter {
  public:
    void showAlert(QWidget* parent, const QString& title, const QString& message) override {
        QMessageBox::warning(parent, title, message, QMessageBox::Ok);
    }

    void showReport(QWidget* parent, const QString& title, const QString& message,
                    const QString& details) override {
        QMessageBox box(QMessageBox::Information, title, message, QMessageBox::Ok, parent);
        box.setDetailedText(details);
        box.exec();
    }
};

// "Vane libraries (*.vanelib);;All files (*)"
QString nameFilter(const QString& typesName, const QStringList& fileTypes) {
    QStringList patterns;
    for (const QString& type : fileTypes) {
        patterns << QStringLiteral("*.") + type;
    }
    return QStringLiteral("%1 (%2);;").arg(typesName, patterns.join(QLatin1Char(' '))) +
           QObject::tr("All files (*)");
}

class StandardFileDialogs final : public FilePanels {
  public:
    std::optional<QString> chooseFileToOpen(QWidget* parent,
                                            const OpenPanelOptions& options) override {
        const QString file =
            QFileDialog::getOpenFileName(parent, options.title, panelStartFolder(options.directory),
                                         nameFilter(options.typesName, options.fileTypes));
        if (file.isEmpty()) {
            return std::nullopt;
        }
        rememberPanelFolder(file);
        return file;
    }

    // The path as the user typed it; the type is the first offered.
    std::optional<SavePanelChoice> chooseFileToSave(QWidget* parent,
                                                    const SavePanelOptions& options) override {
        QString proposed = panelStartFolder(options.directory);
        if (!options.proposedName.isEmpty()) {
            proposed += QLatin1Char('/') + options.proposedName;
            if (!options.fileTypes.isEmpty()) {
                proposed += QLatin1Char('.') + options.fileTypes.front();
            }
        }
        const QString file = QFileDialog::getSaveFileName(
            parent, options.title, proposed, nameFilter(options.typesName, options.fileTypes),
            nullptr,
            options.confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite);
        if (file.isEmpty()) {
            return std::nullopt;
        }
        rememberPanelFolder(file);
        return SavePanelChoice{file, options.fileTypes.value(0)};
    }

    std::optional<QString> chooseFolder(QWidget* parent, const QString& title) override {
        const QString folder =
            QFileDialog::getExistingDirectory(parent, title, panelStartFolder({}));
        if (folder.isEmpty()) {
            return std::nullopt;
        }
        rememberPanelFolder(folder);
        return folder;
    }
};

class MessageBoxQuestions final : public Questions {
  public:
    bool confirm(QWidget* parent, const QString& title, const QString& message,
                 const QString& action) override {
        QMessageBox box(QMessageBox::Question, title, message, QMessageBox::Cancel, parent);
        QAbstractButton* chosen = box.addButton(action, QMessageBox::DestructiveRole);
        box.setDefaultButton(QMessageBox::Cancel);
        box.exec();
        return box.clickedButton() == chosen;
    }
};

class TypedAddress final : public LibraryAddressQuestion {
  public:
    std::optional<QString> askLibraryAddress(QWidget* parent) override {
        bool accepted = false;
        const QString address = QInputDialog::getText(
            parent, QObject::tr("Open Shared Library"),
            QObject::tr("The library's database, such as postgresql://me@server/bats\n"
                        "(the password comes from your password file, ~/.pgpass):"),
            QLineEdit::Normal, QStringLiteral("postgresql://"), &accepted);
        return accepted && !address.trimmed().isEmpty() ? std::optional<QString>(address.trimmed())
                                                        : std::nullopt;
    }
};

}  // namespace

std::unique_ptr<Questions> deskQuestions() {
    return std::make_unique<MessageBoxQuestions>();
}

std::unique_ptr<LibraryAddressQuestion> deskLibraryAddressQuestion() {
    return std::make_unique<TypedAddress>();
}

UserDialogs deskDialogs() {
    return UserDialogs{std::make_unique<StandardMessageBoxes>(),
                       std::make_unique<StandardFileDialogs>(), UserDialogs::onScreen().pasteboard};
}

}  // namespace vane
