#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "plugin_api/user_dialogs.h"
#include "tests/plugin_api/temporary_settings.h"

namespace vane::testing {

// The file panels as people meet them: the type chooser and the typed name decide a saved file's
// name together, the extension typed winning where it is one of the types offered; every panel
// starts where the last one was left.
class FilePanelsTest : public QObject {
    Q_OBJECT

  private slots:
    void typedExtensionWinsAndTheTypeFollowsIt();
    void thePanelNamesTheFileAsTypedOrAsTheTypeChosen();
    void panelsStartInTheLastFolderUsed();

  private:
    TemporarySettings settings_;
};

void FilePanelsTest::typedExtensionWinsAndTheTypeFollowsIt() {
    const QStringList types{QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("tiff")};
    const struct {
        const char* typed;
        const char* selected;
        const char* path;
        const char* type;
    } cases[] = {
        {"/d/year.jpg", "png", "/d/year.jpg", "jpg"},
        {"/d/year.JPG", "png", "/d/year.JPG", "jpg"},
        {"/d/year.png", "jpg", "/d/year.png", "png"},
        {"/d/year", "tiff", "/d/year.tiff", "tiff"},
        {"/d/year.v2", "jpg", "/d/year.v2.jpg", "jpg"},  // no type of ours: the chosen one
        {"/d/year.png.jpg", "png", "/d/year.png.jpg", "jpg"},
        {"/d/year", "", "/d/year", ""},
    };
    for (const auto& [typed, selected, path, type] : cases) {
        const SavePanelChoice choice =
            chosenSavePath(QString::fromLatin1(typed), QString::fromLatin1(selected), types);
        QCOMPARE(choice.path, QString::fromLatin1(path));
        QCOMPARE(choice.fileType, QString::fromLatin1(type));
    }
}

void FilePanelsTest::thePanelNamesTheFileAsTypedOrAsTheTypeChosen() {
    const QTemporaryDir folder;
    const struct {
        const char* typed;
        int typeItem;  // of the offered types
        const char* written;
    } cases[] = {
        {"year", 1, "year.jpg"},      // the proposed name with another type chosen
        {"year.jpg", 0, "year.jpg"},  // typed over the preselected type
        {"year.bmp", 1, "year.bmp"},
        {"year", 0, "year.png"},
    };
    for (const auto& [typed, typeItem, written] : cases) {
        const UserDialogs dialogs = UserDialogs::onScreen();
        QTimer::singleShot(0, [&, typed = typed, typeItem = typeItem] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            auto* chooser = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QVERIFY(chooser != nullptr);
            chooser->setCurrentIndex(typeItem);
            emit chooser->textActivated(chooser->currentText());
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QString::fromLatin1(typed));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const std::optional<SavePanelChoice> choice = dialogs.panels->chooseFileToSave(
            nullptr, SavePanelOptions{.directory = folder.path(),
                                      .proposedName = QStringLiteral("year"),
                                      .fileTypes = {QStringLiteral("png"), QStringLiteral("jpg"),
                                                    QStringLiteral("bmp")}});
        QVERIFY(choice.has_value());
        QCOMPARE(choice->path, folder.filePath(QString::fromLatin1(written)));
        QCOMPARE(choice->fileType, QFileInfo(choice->path).suffix());
    }
}

void FilePanelsTest::panelsStartInTheLastFolderUsed() {
    QSettings().clear();  // as on a first run
    const QTemporaryDir first;
    const QTemporaryDir second;
    QFile(QDir(first.path()).filePath(QStringLiteral("wind.csv"))).open(QIODevice::WriteOnly);
    const UserDialogs dialogs = UserDialogs::onScreen();
    std::vector<QString> startedIn;
    // Notes where the panel opened, then answers `name` in `folder`.
    const auto answer = [&](const QString& folder, const QString& name) {
        QTimer::singleShot(0, [&, folder, name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            startedIn.push_back(dialog->directory().absolutePath());
            dialog->setDirectory(folder);
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    };
    answer(first.path(), QStringLiteral("wind.csv"));
    QVERIFY(dialogs.panels->chooseFileToOpen(nullptr, {.fileTypes = {QStringLiteral("csv")}}));
    answer(second.path(), QStringLiteral("graph.pdf"));
    QVERIFY(dialogs.panels->chooseFileToSave(nullptr, {.fileTypes = {QStringLiteral("pdf")}}));
    answer(first.path(), QString());
    QVERIFY(dialogs.panels->chooseFolder(nullptr, QStringLiteral("Import Folder")));
    answer(second.path(), QStringLiteral("year.png"));
    QVERIFY(dialogs.panels->chooseFileToSave(nullptr, {.fileTypes = {QStringLiteral("png")}}));
    answer(second.path(), QStringLiteral("year.png"));
    QVERIFY(dialogs.panels->chooseFileToSave(
        nullptr, {.directory = first.path(), .fileTypes = {QStringLiteral("png")}}));

    QCOMPARE(startedIn.size(), std::size_t{5});
    QCOMPARE(startedIn[0], QDir::homePath());  // nothing used yet
    QCOMPARE(startedIn[1], QDir(first.path()).absolutePath());
    QCOMPARE(startedIn[2], QDir(second.path()).absolutePath());
    // After a folder was imported, beside it, where its neighbours are.
    QCOMPARE(startedIn[3], QFileInfo(first.path()).absolutePath());
    QCOMPARE(startedIn[4], QDir(first.path()).absolutePath());  // a folder asked for wins
}

}  // namespace vane::testing

QTEST_MAIN(vane::testing::FilePanelsTest)
#include "file_panels_test.moc"
