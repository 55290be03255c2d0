#include "graph/graph_file.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QSvgGenerator>

#include "graph/graph_renderer.h"
#include "graph/whole_file.h"

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
            .message = "Cannot write graph file " + pathText(path) + ": " + what,
            .kind = ProblemKind::notSaved};
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

    const double width = size.widthPixels / kPixelsPerPoint;
    const double height = size.heightPixels / kPixelsPerPoint;
    return writeWholeFile(
        path,
        [&](QIODevice& file) {
            return isPdf   ? paintPdf(graph, file, width, height)
                   : isSvg ? paintSvg(graph, file, width, height)
                           : paintImage(graph, file, formatName, size);
        },
        [&path](const std::string& reason) { return problem(path, reason); });
}

std::vector<std::string> graphFileTypes() {
    std::vector<std::string> types{"pdf", "png", "svg"};
    const QList<QByteArray> installed = QImageWriter::supportedImageFormats();
    for (const char* type : {"tiff", "tif", "jpg", "jpeg", "bmp", "webp"}) {
        if (installed.contains(QByteArray(type))) {
            types.emplace_back(type);
        }
    }
    return types;
}

}  // namespace vane::graph
