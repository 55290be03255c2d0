#include <QCheckBox>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QTemporaryDir>

#include "plugin/year_graph_widget.h"
#include "plugin_test_support.h"

namespace vane::plugin::testing {
namespace {

std::vector<Session> exampleSessions() {
    // Two sessions at the example site, in reverse order of their dates.
    return {Session{.sampleDate = 1341900000.0,
                    .recordingCount = 120,
                    .latitude = 49.6,
                    .longitude = 11.05},
            Session{.sampleDate = 1339300000.0,
                    .recordingCount = 35,
                    .latitude = 49.6,
                    .longitude = 11.05}};
}

std::vector<QString> filterNames(const VaneYearlyGraph& yearly) {
    std::vector<QString> names;
    for (const yearlyview::ContentFilter& filter : yearly.yearView().view().contentFilters()) {
        names.push_back(filter.name);
    }
    return names;
}

const std::vector<QString> kInversionFilters{QStringLiteral("exposure"),
                                             QStringLiteral("colorControls")};

}  // namespace

class VaneYearlyGraphTest : public QObject {
    Q_OBJECT

  private slots:
    void opensWithBothFlagsOffAndReusesItsController();
    void inversionInstallsAndRemovesExactlyTheTwoFilters();
    void barPictureKeepsOrRestoresTheFiltersAsInversionSays();
    void savesWhatTheViewShowsAtItsPixelSize();
    void saysWhatThePictureCannotShow();
    void writesTheFormatTheFileNameSays();
    void drawsTheChosenYearAndWritesItAndTheSiteOnTheGrid();

  private:
    vane::testing::TemporarySettings settings_;  // before any QSettings
    const FixedSelectionHost host_{exampleRecordings(), exampleSessions()};
};

void VaneYearlyGraphTest::opensWithBothFlagsOffAndReusesItsController() {
    PluginUnderTest run(host_);
    VaneYearlyGraph* first = nullptr;
    run.run([&] {
        run.click("plotYearlyGraphButton");
        first = run.plugin->yearlyGraph();
        QVERIFY(first != nullptr);
        QVERIFY(first->window()->isVisible());
        QVERIFY(!first->invertGraph() && !first->barGraph());
        const QImage picture = first->yearView().view().graphImage();
        QCOMPARE(picture.size(), QSize(720, 408));
        QVERIFY(!first->yearView().view().gridImage().isNull());
        first->setInvertGraph(true);
        first->setBarGraph(true);
        first->closeSheet();
        QVERIFY(!first->window()->isVisible());

        run.click("plotYearlyGraphButton");
        QCOMPARE(run.plugin->yearlyGraph(), first);
        QVERIFY(!first->invertGraph() && !first->barGraph());
        QVERIFY(filterNames(*first).empty());
        QCOMPARE(first->yearView().view().graphImage(), picture);
        QVERIFY(
            !first->window()->findChild<QCheckBox*>(QStringLiteral("invertGraph"))->isChecked());
    });
}

void VaneYearlyGraphTest::inversionInstallsAndRemovesExactlyTheTwoFilters() {
    PluginUnderTest run(host_);
    run.run([&] {
        run.click("plotYearlyGraphButton");
        VaneYearlyGraph& yearly = *run.plugin->yearlyGraph();
        const QImage plain = yearly.yearView().view().graphImage();
        yearly.window()->findChild<QCheckBox*>(QStringLiteral("invertGraph"))->click();
        QVERIFY(yearly.invertGraph());
        QCOMPARE(filterNames(yearly), kInversionFilters);
        QCOMPARE(yearly.yearView().view().contentFilters(), yearlyview::inversionFilters());
        QVERIFY(yearly.yearView().view().graphImage() != plain);
        yearly.setInvertGraph(false);
        QVERIFY(filterNames(yearly).empty());
        QCOMPARE(yearly.yearView().view().graphImage(), plain);
    });
}

void VaneYearlyGraphTest::barPictureKeepsOrRestoresTheFiltersAsInversionSays() {
    PluginUnderTest run(host_);
    run.run([&] {
        run.click("plotYearlyGraphButton");
        VaneYearlyGraph& yearly = *run.plugin->yearlyGraph();
        const QImage activity = yearly.yearView().view().graphImage();
        yearly.setInvertGraph(true);
        yearly.setBarGraph(true);
        QCOMPARE(filterNames(yearly), kInversionFilters);
        const QImage invertedBars = yearly.yearView().view().graphImage();
        QVERIFY(!invertedBars.isNull());
        yearly.setBarGraph(false);
        QCOMPARE(filterNames(yearly), kInversionFilters);

        yearly.setInvertGraph(false);
        yearly.setBarGraph(true);
        const QImage bars = yearly.yearView().view().graphImage();
        QVERIFY(bars != activity);
        // A new bin width redraws the bars, which do not depend on it.
        run.choose("binWidth", 4);
        QCOMPARE(yearly.yearView().view().graphImage(), bars);
        yearly.setBarGraph(false);
        QVERIFY(filterNames(yearly).empty());
        QVERIFY(yearly.yearView().view().graphImage() != activity);  // now in 60-minute bins
    });
}

void VaneYearlyGraphTest::savesWhatTheViewShowsAtItsPixelSize() {
    PluginUnderTest run(host_);
    const QTemporaryDir folder;
    const QString png = folder.filePath(QStringLiteral("year.png"));
    run.run([&] {
        run.click("plotYearlyGraphButton");
        VaneYearlyGraph& yearly = *run.plugin->yearlyGraph();
        run.panels->saveAnswers.push_back(SavePanelChoice{png, QStringLiteral("png")});
        yearly.saveImage();
        const SavePanelOptions& options = run.panels->saveOptions.back();
        QCOMPARE(options.fileTypes.front(), QStringLiteral("png"));
        QVERIFY(options.fileTypes.contains(QStringLiteral("jpg")));
        QCOMPARE(options.proposedName, QStringLiteral("Yearly activity"));
        QCOMPARE(options.title, QStringLiteral("Save Graph to image file"));

        run.panels->saveAnswers.push_back(SavePanelChoice{
            folder.filePath(QStringLiteral("missing/year.png")), QStringLiteral("png")});
        yearly.saveImage();
        yearly.saveImage();  // cancelled
    });
    const QImage saved(png);
    QCOMPARE(saved.size(), QSize(yearlyview::kYearViewWidth, yearlyview::kYearViewHeight));
    QCOMPARE(run.panels->saveOptions.size(), std::size_t{3});
    QCOMPARE(run.alerts->shown.size(), std::size_t{1});
    QVERIFY(run.alerts->shown.front().title.contains(QStringLiteral("year.png")));
}

void VaneYearlyGraphTest::saysWhatThePictureCannotShow() {
    std::vector<Recording> recordings = exampleRecordings();
    // After the picture's last night, in the same year: another year would be chosen instead.
    recordings.push_back({localInstant({{2012, 12, 28}, 22, 0, 0}, *processTimeZone())});
    const FixedSelectionHost withLateNight{recordings, exampleSessions()};
    PluginUnderTest run(withLateNight);
    run.run([&] {
        run.click("plotYearlyGraphButton");
        const auto* notes =
            run.plugin->yearlyGraph()->window()->findChild<QLabel*>(QStringLiteral("pictureNotes"));
        QVERIFY(notes != nullptr);
        QVERIFY(!notes->isHidden());
        QCOMPARE(notes->text(),
                 QStringLiteral("Recordings left out: 1 of 4942 come after the picture's last "
                                "night, 24 to 25 December 2012"));
        run.plugin->yearlyGraph()->setBarGraph(true);
        QVERIFY(notes->isHidden());
    });
}

void VaneYearlyGraphTest::drawsTheChosenYearAndWritesItAndTheSiteOnTheGrid() {
    std::vector<Recording> recordings = exampleRecordings();
    const std::size_t firstYear = recordings.size();
    const double nextYear = localInstant({{2013, 7, 1}, 23, 0, 0}, *processTimeZone());
    for (int night = 0; night < 30; ++night) {
        recordings.push_back({nextYear + night * 86400.0});
    }
    const FixedSelectionHost twoYears{recordings, exampleSessions()};
    PluginUnderTest run(twoYears);
    const QTemporaryDir folder;
    run.run([&] {
        run.click("plotYearlyGraphButton");
        VaneYearlyGraph& yearly = *run.plugin->yearlyGraph();
        auto* years = yearly.window()->findChild<QComboBox*>(QStringLiteral("yearChooser"));
        QCOMPARE(years->count(), 2);
        QCOMPARE(years->itemText(0), QStringLiteral("2012"));
        QCOMPARE(years->itemText(1), QStringLiteral("2013"));
        QCOMPARE(years->currentIndex(), 0);
        const QImage first = yearly.yearView().view().graphImage();
        QCOMPARE(yearly.yearView().view().caption(),
                 QString::fromUtf8("2012 \u00b7 49.60\u00b0 N, 11.05\u00b0 E"));
        const auto* notes = yearly.window()->findChild<QLabel*>(QStringLiteral("pictureNotes"));
        QVERIFY(notes->isHidden());  // the other year is not left out: it can be chosen

        run.choose("yearChooser", 1);
        QVERIFY(yearly.yearView().view().graphImage() != first);
        QCOMPARE(yearly.yearView().view().caption(),
                 QString::fromUtf8("2013 \u00b7 49.60\u00b0 N, 11.05\u00b0 E"));
        // The saved picture carries the line; without it the grid's top margin stays empty.
        yearlyview::YearGraphView withoutCaption = yearly.yearView().view();
        withoutCaption.setCaption({});
        QVERIFY(withoutCaption.render() != yearly.yearView().view().render());

        yearly.setBarGraph(true);
        QVERIFY(yearly.yearView().view().caption().startsWith(
            QStringLiteral("Recordings per session: full height ")));
        yearly.setBarGraph(false);

        // A redraw for the same selection keeps the year chosen.
        yearly.showWindow();
        QCOMPARE(years->currentText(), QStringLiteral("2013"));
    });
    QCOMPARE(firstYear, std::size_t{4941});
}

void VaneYearlyGraphTest::writesTheFormatTheFileNameSays() {
    PluginUnderTest run(host_);
    const QTemporaryDir folder;
    const struct {
        const char* name;
        const char* type;  // as the panel answered it
        const char* format;
    } cases[] = {
        {"year.jpg", "png", "jpeg"},
        {"year.tiff", "tiff", "tiff"},
        {"year.bmp", "bmp", "bmp"},
        {"year", "jpg", "jpeg"},
    };
    run.run([&] {
        run.click("plotYearlyGraphButton");
        VaneYearlyGraph& yearly = *run.plugin->yearlyGraph();
        for (const auto& [name, type, format] : cases) {
            run.panels->saveAnswers.push_back(SavePanelChoice{
                folder.filePath(QString::fromLatin1(name)), QString::fromLatin1(type)});
            yearly.saveImage();
        }
    });
    QVERIFY(run.alerts->shown.empty());
    for (const auto& [name, type, format] : cases) {
        QImageReader reader(folder.filePath(QString::fromLatin1(name)));
        QCOMPARE(reader.format(), QByteArray(format));
    }
    const QStringList offered = run.panels->saveOptions.front().fileTypes;
    QVERIFY(offered.contains(QStringLiteral("tiff")));
    for (const char* exotic : {"cur", "ico", "icns"}) {
        QVERIFY2(!offered.contains(QString::fromLatin1(exotic)), exotic);
    }
}

}  // namespace vane::plugin::testing

QTEST_MAIN(vane::plugin::testing::VaneYearlyGraphTest)
#include "vane_yearly_graph_test.moc"
