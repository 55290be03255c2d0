#include "host/desk/review_window.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>
#include <cmath>
#include <numbers>

#include "core/recordings/wav_samples.h"
#include "host/desk/library_editor.h"
#include "host/desk/main_window.h"
#include "host/desk/spectrogram_view.h"
#include "library/recording_library.h"
#include "tests/core/recordings/wav_fixture.h"
#include "tests/plugin_api/recording_dialogs.h"

namespace vane {

class ReviewWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void stepsThroughTheSelectionAndLabelsWithUndo();
    void playsASlowedCopyAndSaysWhyASoundIsMissing();

  private:
    // The labels of the session's recordings, with the manual mark, in time order.
    QStringList labels() const;
    // The library with the session "Pond" selected.
    bool openOnPond(MainWindow& window) const;
    static QAction* action(const QWidget& window, const QString& text);
    // The window's own action under `keys`.
    static QAction* shortcut(const QWidget& window, QKeySequence::StandardKey keys);

    QTemporaryDir folder_;
    QString library_;
    static constexpr double kJune21 = 1340305380.0;  // 2012-06-21 21:03:00 in Berlin
};

void ReviewWindowTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    library_ = QDir(folder_.path()).filePath(QStringLiteral("bats.vanelib"));
    std::vector<ImportedRecording> recordings;
    // A tone each, 30, 45 and 60 kHz; the third file is gone by the time it is reviewed.
    for (int i = 0; i < 3; ++i) {
        std::vector<float> tone(25000);
        for (std::size_t s = 0; s < tone.size(); ++s) {
            tone[s] = static_cast<float>(
                0.3 * std::sin(2 * std::numbers::pi * (30000.0 + 15000.0 * i) * s / 250000.0));
        }
        const std::filesystem::path file = std::filesystem::path(folder_.path().toStdString()) /
                                           ("bat" + std::to_string(i) + ".wav");
        if (i < 2) {
            testing::WavFixture::write(
                file, testing::WavFixture::soundWav(
                          250000, tone, {},
                          testing::WavFixture::chunk("guan", "GUANO|Version:1.0\nMake:Elekon\n")));
        }
        recordings.push_back({kJune21 + 60.0 * i, 7200, "Europe/Berlin", file.string()});
    }
    recordings[0].label = "PIPPIP";
    recordings[0].probability = 0.95;
    recordings[2].label = "NYCNOC";
    library::RecordingLibrary library = library::RecordingLibrary::create(library_.toStdString());
    QVERIFY(library.importRecordings(library::NewSession{"Pond"}, recordings));
}

QStringList ReviewWindowTest::labels() const {
    const library::RecordingLibrary library =
        library::RecordingLibrary::open(library_.toStdString());
    QStringList shown;
    for (const library::LibraryRecording& row :
         library.recordings({library.sessions().rows.at(0).id}).rows) {
        shown << QString::fromStdString(row.label) + (row.manualLabel ? "*" : "");
    }
    return shown;
}

bool ReviewWindowTest::openOnPond(MainWindow& window) const {
    if (!window.openLibrary(library_)) {
        return false;
    }
    window.selectSessions({QStringLiteral("Pond")});
    return true;
}

QAction* ReviewWindowTest::action(const QWidget& window, const QString& text) {
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

QAction* ReviewWindowTest::shortcut(const QWidget& window, QKeySequence::StandardKey keys) {
    for (QAction* action : window.actions()) {
        if (action->shortcut() == QKeySequence(keys)) {
            return action;
        }
    }
    return nullptr;
}

void ReviewWindowTest::stepsThroughTheSelectionAndLabelsWithUndo() {
    auto alertRecorder = std::make_unique<RecordingAlerts>();
    const RecordingAlerts& alerts = *alertRecorder;
    MainWindow window(UserDialogs{std::move(alertRecorder), std::make_unique<ScriptedPanels>(),
                                  std::make_unique<RecordingPasteboard>()});
    QVERIFY(openOnPond(window));
    action(window, QStringLiteral("&Review Recordings..."))->trigger();
    auto* review = window.findChild<ReviewWindow*>(QStringLiteral("reviewWindow"));
    QVERIFY(review && review->isVisible());
    const auto* fields = review->findChild<QTableWidget*>(QStringLiteral("guanoFields"));
    const auto fieldText = [&] {
        QStringList texts;
        for (int row = 0; row < fields->rowCount(); ++row) {
            texts << fields->item(row, 0)->text() + ": " + fields->item(row, 1)->text();
        }
        return texts.join('\n');
    };
    QCOMPARE(review->shownRecordingId(), 1);
    QVERIFY(!review->spectrogram().image().isNull());
    QVERIFY(fieldText().contains(QStringLiteral("Make: Elekon")));
    QVERIFY(fieldText().contains(QStringLiteral("Sound: 250.0 kHz, 0.100 s, 16 bits, 1 channel")));

    // The arrow keys step and stop at either end.
    QWidget* keys = const_cast<SpectrogramView*>(&review->spectrogram());
    QTest::keyClick(keys, Qt::Key_Right);
    QCOMPARE(review->shownRecordingId(), 2);
    QTest::keyClick(keys, Qt::Key_Down);
    QTest::keyClick(keys, Qt::Key_Right);
    QCOMPARE(review->shownRecordingId(), 3);
    QVERIFY(review->spectrogram().image().isNull());  // its file is gone, and said so
    QVERIFY(fieldText().contains(QStringLiteral("bat2.wav")));
    QTest::keyClick(keys, Qt::Key_Left);
    QCOMPARE(review->shownRecordingId(), 2);

    // The digits give the labels the library knows, in their order: NYCNOC, PIPPIP.
    const QStringList before = labels();
    QCOMPARE(before, (QStringList{"PIPPIP", "", "NYCNOC"}));
    QTest::keyClick(keys, Qt::Key_1);
    QCOMPARE(labels(), (QStringList{"PIPPIP", "NYCNOC*", "NYCNOC"}));
    QCOMPARE(review->shownRecordingId(), 2);  // the window stays with the recording labelled
    QTest::keyClick(keys, Qt::Key_Left);
    auto* chooser = review->findChild<QComboBox*>(QStringLiteral("labelChooser"));
    QCOMPARE(chooser->currentText(), QStringLiteral("PIPPIP"));
    chooser->setEditText(QStringLiteral(" MYODAU "));
    QTest::keyClick(chooser->lineEdit(), Qt::Key_Return);
    QCOMPARE(labels(), (QStringList{"MYODAU*", "NYCNOC*", "NYCNOC"}));
    QCOMPARE(chooser->itemText(0), QStringLiteral("MYODAU"));  // known now, and PIPPIP no longer

    // Undone from the library's Edit menu, step by step, back to the labels and marks of before.
    QAction* undo = window.findChild<QMenu*>(QStringLiteral("editMenu"))->actions().at(0);
    QCOMPARE(undo->text(), QStringLiteral("&Undo Label Recording as \"MYODAU\""));
    undo->trigger();
    QCOMPARE(labels(), (QStringList{"PIPPIP", "NYCNOC*", "NYCNOC"}));
    undo->trigger();
    QCOMPARE(labels(), before);
    QVERIFY(alerts.shown.empty());
    // And redone from the review window's own.
    shortcut(*review, QKeySequence::Redo)->trigger();
    QCOMPARE(labels(), (QStringList{"PIPPIP", "NYCNOC*", "NYCNOC"}));
    shortcut(*review, QKeySequence::Undo)->trigger();
    QCOMPARE(labels(), before);
}

void ReviewWindowTest::playsASlowedCopyAndSaysWhyASoundIsMissing() {
    auto alertRecorder = std::make_unique<RecordingAlerts>();
    const RecordingAlerts& alerts = *alertRecorder;
    MainWindow window(UserDialogs{std::move(alertRecorder), std::make_unique<ScriptedPanels>(),
                                  std::make_unique<RecordingPasteboard>()});
    QVERIFY(openOnPond(window));
    window.reviewRecordings();
    auto* review = window.findChild<ReviewWindow*>(QStringLiteral("reviewWindow"));
    QUrl played;
    review->setPlayer([&](const QUrl& url) {
        played = url;
        return true;
    });
    review->playSlowed();
    QVERIFY(played.isLocalFile());
    const Outcome<WavSamples> slowed = readWavSamples(played.toLocalFile().toStdString());
    QVERIFY(slowed);
    QCOMPARE(slowed->sampleRate, 25000u);
    QCOMPARE(slowed->samples.size(), std::size_t{25000});
    QVERIFY(alerts.shown.empty());

    review->step(2);
    review->playSlowed();
    QCOMPARE(alerts.shown.size(), std::size_t{1});
    QVERIFY2(alerts.shown[0].message.contains(QStringLiteral("bat2.wav")),
             qPrintable(alerts.shown[0].message));
    // The copies go with the window.
    const QString copy = played.toLocalFile();
    delete review;
    QVERIFY(!QFileInfo::exists(copy));
}

}  // namespace vane

QTEST_MAIN(vane::ReviewWindowTest)
#include "review_window_test.moc"
