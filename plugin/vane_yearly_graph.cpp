#include "plugin/vane_yearly_graph.h"

#include <unicode/timezone.h>

#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>
#include <QImageWriter>
#include <QLabel>
#include <QStringList>
#include <QtDebug>

#include "core/time/local_time.h"
#include "core/yearly/activity_raster.h"
#include "core/yearly/bar_raster.h"
#include "core/yearly/picture_notes.h"
#include "core/yearly/picture_years.h"
#include "core/yearly/sun_marks.h"
#include "plugin/year_graph_widget.h"
#include "ui_yearly_graph.h"
#include "yearlyview/image_files.h"
#include "yearlyview/raster_image.h"

namespace vane::plugin {
namespace {

// Every picture format Qt writes, PNG first so that the save panel preselects it; cursors,
// icons and phone bitmaps are no way to keep a picture of a year.
QStringList imageFileTypes() {
    const QStringList notOffered{QStringLiteral("cur"), QStringLiteral("ico"),
                                 QStringLiteral("icns"), QStringLiteral("wbmp")};
    QStringList types{QStringLiteral("png")};
    for (const QByteArray& format : QImageWriter::supportedImageFormats()) {
        const QString type = QString::fromLatin1(format).toLower();
        if (!types.contains(type) && !notOffered.contains(type)) {
            types << type;
        }
    }
    return types;
}

}  // namespace

VaneYearlyGraph::VaneYearlyGraph(const Host& host, AlertPresenter& alerts, FilePanels& panels,
                                 QWidget* parent)
    : host_(host),
      alerts_(alerts),
      panels_(panels),
      window_(new QDialog(parent)),
      ui_(std::make_unique<Ui::YearlyGraph>()) {
    ui_->setupUi(window_);
    window_->setWindowModality(Qt::WindowModal);
    yearView_ = new YearGraphWidget(ui_->yearViewFrame);
    ui_->yearViewLayout->addWidget(yearView_);

    connect(ui_->binWidth, &QComboBox::activated, this, &VaneYearlyGraph::adjustBinWidth);
    connect(ui_->yearChooser, &QComboBox::activated, this, &VaneYearlyGraph::redraw);
    connect(ui_->invertGraph, &QAbstractButton::toggled, this, &VaneYearlyGraph::setInvertGraph);
    connect(ui_->barGraph, &QAbstractButton::toggled, this, &VaneYearlyGraph::setBarGraph);
    connect(this, &VaneYearlyGraph::invertGraphChanged, ui_->invertGraph,
            &QAbstractButton::setChecked);
    connect(this, &VaneYearlyGraph::barGraphChanged, ui_->barGraph, &QAbstractButton::setChecked);
    connect(ui_->saveImageButton, &QAbstractButton::clicked, this, &VaneYearlyGraph::saveImage);
    connect(ui_->closeButton, &QAbstractButton::clicked, this, &VaneYearlyGraph::closeSheet);
}

VaneYearlyGraph::~VaneYearlyGraph() {
    delete window_.data();
}

void VaneYearlyGraph::showWindow() {
    listYears();
    setInvertGraph(false);
    applyInversionFilters(false);
    if (yearView_->view().gridImage().isNull()) {
        // A missing grid leaves the picture without it; the reader has said why on stderr.
        if (auto grid = yearlyview::MyCreateCGImageFromFile(yearlyview::kYearGridResource)) {
            yearView_->view().setGridImage(std::move(*grid));
        }
    }
    barGraph_ = true;  // so that the setter below always redraws and clears the filters
    setBarGraph(false);
    window_->show();
}

void VaneYearlyGraph::setInvertGraph(bool on) {
    const bool changed = std::exchange(invertGraph_, on) != on;
    redraw();
    applyInversionFilters(on);
    if (changed) {
        emit invertGraphChanged(on);
    }
}

void VaneYearlyGraph::setBarGraph(bool on) {
    const bool changed = std::exchange(barGraph_, on) != on;
    redraw();
    if (!on) {
        applyInversionFilters(invertGraph_);
    }
    if (changed) {
        emit barGraphChanged(on);
    }
}

void VaneYearlyGraph::adjustBinWidth() {
    redraw();
}

void VaneYearlyGraph::applyInversionFilters(bool on) {
    yearlyview::YearGraphView& view = yearView_->view();
    if (on) {
        yearlyview::exposureAdjust(view);
    } else {
        view.setContentFilters({});
    }
    yearView_->update();
}

// The years of the selected recordings; the year shown stays chosen while the selection holds it.
void VaneYearlyGraph::listYears() {
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    const QString shown = ui_->yearChooser->currentText();
    ui_->yearChooser->clear();
    for (const int year :
         recordingYears(sortedByRecordingTime(host_.selectedRecordings()), *zone)) {
        ui_->yearChooser->addItem(QString::number(year));
    }
    ui_->yearChooser->setCurrentIndex(std::max(0, ui_->yearChooser->findText(shown)));
}

void VaneYearlyGraph::redraw() {
    const std::unique_ptr<icu::TimeZone> zone = processTimeZone();
    const std::vector<Session> sessions = sortedBySampleDate(host_.selectedSessions());
    std::optional<Raster> raster;
    std::vector<std::string> notes;  // what the picture cannot show
    QString caption;
    ui_->yearChooser->setEnabled(!barGraph_);
    if (barGraph_) {
        BarRasterResult bars = generateBarGraphImageData(sessions, *zone);
        for (const std::int64_t length : bars.barLengths) {
            qInfo("count after resolution %lld ", static_cast<long long>(length));
        }
        caption = QString::fromStdString(barPictureCaption(bars.scale));
        raster = std::move(bars.raster);
    } else {
        const std::vector<Recording> recordings = sortedByRecordingTime(host_.selectedRecordings());
        const std::span<const Recording> drawn =
            ui_->yearChooser->count() > 0
                ? recordingsOfYear(recordings, ui_->yearChooser->currentText().toInt(), *zone)
                : std::span<const Recording>(recordings);
        const MarkLocation location = markLocation(sessions);
        Outcome<ActivityRaster> activity =
            generateImageData(drawn, ui_->binWidth->currentText().toDouble(), location, *zone);
        if (activity) {
            notes = activityPictureNotes(*activity, drawn);
            caption = QString::fromStdString(yearPictureCaption(activity->year, location));
            raster = std::move(activity->raster);
        }
    }
    yearView_->view().setCaption(caption);
    QStringList lines;
    for (const std::string& note : notes) {
        lines.append(QString::fromStdString(note));
    }
    ui_->pictureNotes->setText(lines.join(QLatin1Char('\n')));
    ui_->pictureNotes->setVisible(!lines.isEmpty());
    yearView_->view().setGraphImage(
        raster ? yearlyview::createImageFromGrayscaleWithData(*raster, invertGraph_) : QImage());
    yearView_->update();
}

void VaneYearlyGraph::saveImage() {
    const std::optional<SavePanelChoice> choice = panels_.chooseFileToSave(
        window_.data(),
        SavePanelOptions{
            .title = QCoreApplication::translate("VaneYearlyGraph", "Save Graph to image file"),
            .proposedName = QFileInfo(window_->windowTitle()).completeBaseName(),
            .fileTypes = imageFileTypes(),
        });
    if (!choice) {
        return;
    }
    // The file's own extension names the format where Qt writes it, so that name and content
    // agree.
    const QByteArray named = QFileInfo(choice->path).suffix().isEmpty()
                                 ? QByteArray()
                                 : yearlyview::imageFormatForPath(choice->path);
    const QByteArray format = !named.isEmpty()              ? named
                              : !choice->fileType.isEmpty() ? choice->fileType.toLatin1()
                                                            : QByteArray("png");
    const QImage image = yearView_->view().render();
    if (const auto problem = yearlyview::saveImageFile(image, choice->path, format)) {
        const QFileInfo file(choice->path);
        const QFileInfo folder(file.absolutePath());
        const QString title =
            folder.isDir() && !folder.isWritable()
                ? tr("You don’t have permission to save the file “%1” in the folder “%2”.")
                      .arg(file.fileName(), folder.fileName())
                : tr("The file “%1” couldn’t be saved.").arg(file.fileName());
        alerts_.showAlert(window_.data(), title, *problem);
    }
}

void VaneYearlyGraph::closeSheet() {
    window_->done(0);
}

}  // namespace vane::plugin
