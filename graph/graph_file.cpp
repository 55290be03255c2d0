#include "graph/graph_file.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QString>
#include <QSvgGenerator>

#include "graph/graph_renderer.h"

namespace vane::graph {
namespace {

constexpr double kPixelsPerPoint = 2.0;
constexpr int kLargestSide = 20000;  // pixels; a bigger image would need gigabytes

std::string pathText(const std::filesystem::path& path) {
    return path.string();
}

// The message names the path itself, so the problem carries no file of its own.
Problem problem(const std::filesystem::path& path, const std::string& what) {
    return {.title = "Graph not saved",
            .message = "Cannot write graph file " + pathText(path) + ": " + what};
}

bool paintPdf(const XYGraph& graph, QIODevice& file, double width, double height) {
    QPdfWriter pdf(&file);
    pdf.setCreator(QStringLiteral("Vane"));
    pdf.setTitle(QStringLiteral("Cumulative bat activity"));
    pdf.setResolution(72);  // device units are points
    pdf.setPageSize(
        QPageSize(QSizeF(width, height), QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&pdf)) {
        return false;
    }
    renderGraph(graph, painter, width, height);
    return painter.end();
}

bool drawSvg(const XYGraph& graph, QIODevice& file, double width, double height) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setResolution(72);
    svg.setSize(QSize(static_cast<int>(width), static_cast<int>(height)));
    svg.setViewBox(QRectF(0.0, 0.0, width, height));
    svg.setTitle(QStringLiteral("Cumulative bat activity"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    renderGraph(graph, painter, width, height);
    return painter.end();
}

// The SVG writer streams text and drops a short write without a word, so the drawing is made in
// memory and written in one checked piece.
bool paintSvg(const XYGraph& graph, QIODevice& file, double width, double height) {
    QBuffer drawing;
    if (!drawing.open(QIODevice::WriteOnly) || !drawSvg(graph, drawing, width, height)) {
        return false;
    }
    return file.write(drawing.data()) == drawing.data().size();
}

bool paintImage(const XYGraph& graph, QIODevice& file, const QByteArray& format, PictureSize size) {
    QImage image(size.widthPixels, size.heightPixels, QImage::Format_RGB32);
    if (image.isNull()) {
        return false;
    }
    image.fill(Qt::white);
    // Records the resolution the figure was drawn for (144 dpi), so that it prints at its size.
    constexpr int kDotsPerMeter = static_cast<int>(72.0 * kPixelsPerPoint / 0.0254 + 0.5);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(kPixelsPerPoint, kPixelsPerPoint);
        renderGraph(graph, painter, size.widthPixels / kPixelsPerPoint,
                    size.heightPixels / kPixelsPerPoint);
    }
    // Encoded in memory first: libpng leaves its own state behind when a write fails (a full
    // disk), and a checked write of the whole sees every failure.
    QBuffer encoded;
    encoded.open(QIODevice::WriteOnly);
    QImageWriter writer(&encoded, format);
    return writer.write(image) && file.write(encoded.data()) == encoded.data().size();
}

}  // namespace

Outcome<void> writeGraphFile(const XYGraph& graph, const std::filesystem::path& path,
                             PictureSize size, std::optional<std::string> format) {
    if (size.widthPixels < 1 || size.heightPixels < 1 || size.widthPixels > kLargestSide ||
        size.heightPixels > kLargestSide) {
        return problem(path, "the picture size must be 1 to " + std::to_string(kLargestSide) +
                                 " pixels each way, not " + std::to_string(size.widthPixels) +
                                 " by " + std::to_string(size.heightPixels));
    }
    const QString name = format ? QString::fromStdString(*format)
                                : QString::fromStdString(path.extension().string()).mid(1);
    const QByteArray formatName = name.toLower().toLatin1();
    const bool isPdf = formatName == "pdf";
    const bool isSvg = formatName == "svg";
    if (!isPdf && !isSvg && !QImageWriter::supportedImageFormats().contains(formatName)) {
        return problem(path, formatName.isEmpty()
                                 ? std::string("the name has no extension (use .pdf, .svg or .png)")
                                 : "unknown picture format '" + formatName.toStdString() +
                                       "' (use .pdf, .svg, .png or another image format)");
    }

    // A device or pipe (/dev/null, /dev/full) is written to directly: renaming a temporary file
    // over it would replace the device with a file.
    const QString fileName = QString::fromStdString(path.string());
    const QFileInfo target(fileName);
    const bool direct = target.exists() && !target.isFile() && !target.isDir();
    QSaveFile saveFile(fileName);
    QFile directFile(fileName);
    QFileDevice& file = direct ? static_cast<QFileDevice&>(directFile) : saveFile;
    if (!file.open(QIODevice::WriteOnly)) {
        return problem(path, file.errorString().toStdString());
    }
    const double width = size.widthPixels / kPixelsPerPoint;
    const double height = size.heightPixels / kPixelsPerPoint;
    const bool painted = isPdf   ? paintPdf(graph, file, width, height)
                         : isSvg ? paintSvg(graph, file, width, height)
                                 : paintImage(graph, file, formatName, size);
    // The last buffered bytes are written here; QSaveFile's commit would not notice their
    // failure on a full disk and put a truncated file in place of the earlier one.
    // A write that went short without an error shows as fewer bytes in the file than written.
    const bool flushed = painted && file.flush() && (direct || file.size() == file.pos());
    if (!painted || !flushed || file.error() != QFileDevice::NoError) {
        const std::string reason =
            file.error() != QFileDevice::NoError ? file.errorString().toStdString()
            : painted || file.pos() > 0 ? std::string("the file could not be written whole")
                                        : std::string("the picture could not be drawn");
        if (!direct) {
            saveFile.cancelWriting();
        }
        return problem(path, reason);
    }
    if (direct) {
        directFile.close();
        if (directFile.error() != QFileDevice::NoError) {
            return problem(path, directFile.errorString().toStdString());
        }
    } else if (!saveFile.commit()) {
        return problem(path, saveFile.errorString().toStdString());
    }
    return {};
}

}  // namespace vane::graph
