#include "plugin_api/user_dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QSettings>
#include <QSortFilterProxyModel>

namespace vane {
namespace {

// Where the last panel was left, so that the next one starts there.
constexpr const char* kLastFolderKey = "lastFolder";

class MessageBoxAlerts final : public AlertPresenter {
  public:
    void showAlert(QWidget* parent, const QString& title, const QString& message) override {
        QMessageBox box(QMessageBox::Warning, title, message, QMessageBox::NoButton, parent);
        box.addButton(QObject::tr("Ok"), QMessageBox::AcceptRole);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    }

    void showReport(QWidget* parent, const QString& title, const QString& message,
                    const QString& details) override {
        QMessageBox box(QMessageBox::Information, title, message, QMessageBox::NoButton, parent);
        box.addButton(QObject::tr("Ok"), QMessageBox::AcceptRole);
        box.setDetailedText(details);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    }
};

// Greys out what the panel must not offer; Qt's name filters cannot ignore case on every platform.
class EnabledFilesProxy final : public QSortFilterProxyModel {
  public:
    explicit EnabledFilesProxy(QStringList fileTypes, QObject* parent)
        : QSortFilterProxyModel(parent), fileTypes_(std::move(fileTypes)) {}

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags flags = QSortFilterProxyModel::flags(index);
        const auto* model = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (model != nullptr &&
            !shouldEnablePath(model->filePath(mapToSource(index)), fileTypes_)) {
            flags &= ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
        return flags;
    }

  private:
    QStringList fileTypes_;
};

class FileDialogPanels final : public FilePanels {
  public:
    std::optional<QString> chooseFileToOpen(QWidget* parent,
                                            const OpenPanelOptions& options) override {
        QFileDialog dialog(parent, options.title, panelStartFolder(options.directory));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setProxyModel(new EnabledFilesProxy(options.fileTypes, &dialog));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        const QString path = dialog.selectedFiles().front();
        if (!shouldEnablePath(path, options.fileTypes) || QFileInfo(path).isDir()) {
            return std::nullopt;
        }
        rememberPanelFolder(path);
        return path;
    }

    std::optional<SavePanelChoice> chooseFileToSave(QWidget* parent,
                                                    const SavePanelOptions& options) override {
        QFileDialog dialog(parent, options.title, panelStartFolder(options.directory));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QStringList filters;
        for (const QString& type : options.fileTypes) {
            filters << QStringLiteral("%1 (*.%2)").arg(type.toUpper(), type);
        }
        dialog.setNameFilters(filters);
        if (!options.fileTypes.isEmpty()) {
            dialog.setDefaultSuffix(options.fileTypes.front());
        }
        // A name typed without an extension takes that of the type selected last, not the first.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, &filters, &options](const QString& filter) {
                             const auto index = filters.indexOf(filter);
                             if (index >= 0) {
                                 dialog.setDefaultSuffix(options.fileTypes.at(index));
                             }
                         });
        if (!options.proposedName.isEmpty()) {
            dialog.selectFile(options.proposedName);
        }
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        const auto typeIndex = filters.indexOf(dialog.selectedNameFilter());
        const QString type = typeIndex >= 0 ? options.fileTypes.at(typeIndex) : QString();
        rememberPanelFolder(dialog.selectedFiles().front());
        return chosenSavePath(dialog.selectedFiles().front(), type, options.fileTypes);
    }

    std::optional<QString> chooseFolder(QWidget* parent, const QString& title) override {
        QFileDialog dialog(parent, title, panelStartFolder({}));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        // The folder that holds the one imported, where its neighbours are.
        rememberPanelFolder(dialog.selectedFiles().front());
        return dialog.selectedFiles().front();
    }
};

class ClipboardPasteboard final : public Pasteboard {
  public:
    void setString(const QString& text) override { QApplication::clipboard()->setText(text); }
};

}  // namespace

UserDialogs UserDialogs::onScreen() {
    return UserDialogs{std::make_unique<MessageBoxAlerts>(), std::make_unique<FileDialogPanels>(),
                       std::make_unique<ClipboardPasteboard>()};
}

QString panelStartFolder(const QString& asked) {
    return !asked.isEmpty() ? asked
                            : QSettings().value(kLastFolderKey, QDir::homePath()).toString();
}

void rememberPanelFolder(const QString& chosen) {
    QSettings().setValue(kLastFolderKey, QFileInfo(chosen).absolutePath());
}

SavePanelChoice chosenSavePath(const QString& typedPath, const QString& selectedType,
                               const QStringList& fileTypes) {
    const QString typed = QFileInfo(typedPath).suffix();
    for (const QString& type : fileTypes) {
        if (!typed.isEmpty() && typed.compare(type, Qt::CaseInsensitive) == 0) {
            return SavePanelChoice{typedPath, type};
        }
    }
    if (selectedType.isEmpty()) {
        return SavePanelChoice{typedPath, selectedType};
    }
    return SavePanelChoice{typedPath + QLatin1Char('.') + selectedType, selectedType};
}

bool shouldEnablePath(const QString& path, const QStringList& fileTypes) {
    const QFileInfo info(path);
    if (info.exists() && info.isDir()) {
        return true;
    }
    return fileTypes.contains(info.suffix(), Qt::CaseInsensitive);
}

}  // namespace vane
