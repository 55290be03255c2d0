#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "plugin_api/user_dialogs.h"

namespace vane::testing {

// The save panel as people meet it: the type chooser and the typed name decide the file's name
// together, and the extension typed wins where it is one of the types offered.
class SavePanelTest : public QObject {
    Q_OBJECT

  private slots:
    void typedExtensionWinsAndTheTypeFollowsIt();
    void thePanelNamesTheFileAsTypedOrAsTheTypeChosen();
};

void SavePanelTest::typedExtensionWinsAndTheTypeFollowsIt() {
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

void SavePanelTest::thePanelNamesTheFileAsTypedOrAsTheTypeChosen() {
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

}  // namespace vane::testing

QTEST_MAIN(vane::testing::SavePanelTest)
#include "save_panel_test.moc"
