#include "plugin_api/window_sizes.h"

#include <QDialog>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>
#include <QtTest>

#include "plugin_test_support.h"
#include "tests/plugin_api/temporary_settings.h"

namespace vane::testing {

class WindowSizesTest : public QObject {
    Q_OBJECT

  private slots:
    void sizesFitTheScreenAndTheContent();
    void aWindowOpensAtTheSizeItWasLeftAt();
    void aSizeFittedToASmallScreenIsNotKeptForALargeOne();
    void thePreviewSheetShowsARowsWorthOfTableOnASmallScreen();

  private:
    TemporarySettings settings_;
};

void WindowSizesTest::sizesFitTheScreenAndTheContent() {
    const struct {
        QSize wanted;
        QSize minimum;
        QSize available;
        QSize fitted;
    } cases[] = {
        {{900, 640}, {300, 200}, {1920, 1040}, {900, 640}},
        {{900, 640}, {300, 200}, {853, 568}, {767, 511}},  // 1280 x 900 at 1.5 times
        {{400, 300}, {600, 500}, {1920, 1040}, {600, 500}},
        {{400, 300}, {2000, 500}, {1000, 800}, {900, 500}},  // the screen wins
    };
    for (const auto& [wanted, minimum, available, fitted] : cases) {
        QCOMPARE(fittedWindowSize(wanted, minimum, available), fitted);
    }
}

void WindowSizesTest::aWindowOpensAtTheSizeItWasLeftAt() {
    const QSize available = QGuiApplication::primaryScreen()->availableGeometry().size();
    const QSize preferred(available.width() / 2, available.height() / 2);
    const QSize left(available.width() * 3 / 4, available.height() / 3);
    {
        QDialog window;
        keepWindowSize(window, QStringLiteral("test"), preferred);
        window.show();
        QCOMPARE(window.size(), preferred);
        window.resize(left);
        window.hide();
    }
    QDialog again;
    keepWindowSize(again, QStringLiteral("test"), preferred);
    again.show();
    QCOMPARE(again.size(), left);
    again.hide();
    QDialog other;
    keepWindowSize(other, QStringLiteral("other"), preferred);
    other.show();
    QCOMPARE(other.size(), preferred);
}

void WindowSizesTest::aSizeFittedToASmallScreenIsNotKeptForALargeOne() {
    const QSize large(4000, 3000);  // left so on a large screen
    QSettings().setValue(QStringLiteral("windowSizes/large"), large);
    {
        QDialog window;
        keepWindowSize(window, QStringLiteral("large"), QSize(300, 200));
        window.show();
        QVERIFY(window.width() < large.width() && window.height() < large.height());
        window.hide();
    }
    QCOMPARE(QSettings().value(QStringLiteral("windowSizes/large")).toSize(), large);
}

void WindowSizesTest::thePreviewSheetShowsARowsWorthOfTableOnASmallScreen() {
    // The offscreen screen is 800 x 600, smaller than a 1280 x 900 one at 1.5 times.
    QWidget window;
    RecordingAlerts alerts;
    ScriptedPanels panels;
    plugin::WindFilePreview preview(alerts, panels, &window);
    panels.openAnswers.push_back(plugin::testing::sourcePath("examples/wind.csv"));
    preview.chooseFile(0.0);
    QDialog* sheet = preview.sheet();
    QVERIFY(sheet->isVisible());
    const QSize available = sheet->screen()->availableGeometry().size();
    QVERIFY(sheet->width() <= available.width() && sheet->height() <= available.height());
    const auto* table = sheet->findChild<QTableView*>(QStringLiteral("windPreviewTable"));
    const int rowsShown = table->viewport()->height() / table->rowHeight(0);
    QVERIFY2(rowsShown >= 8, qPrintable(QString::number(rowsShown)));
    QVERIFY(sheet->minimumSize() != sheet->maximumSize());  // resizable
}

}  // namespace vane::testing

QTEST_MAIN(vane::testing::WindowSizesTest)
#include "window_sizes_test.moc"
