#include "yearlyview/image_files.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

namespace vane::yearlyview {

std::optional<QImage> MyCreateCGImageFromFile(const QString& path, std::ostream& diagnostics) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        diagnostics << "Image source is NULL." << std::flush;
        return std::nullopt;
    }
    QImageReader reader(&file);
    QImage image = reader.read();
    if (image.isNull()) {
        diagnostics << "Image not created from image source." << std::flush;
        return std::nullopt;
    }
    return image;
}

QByteArray imageFormatForPath(const QString& path) {
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toUtf8();
    if (suffix.isEmpty()) {
        return "png";
    }
    return QImageWriter::supportedImageFormats().contains(suffix) ? suffix : QByteArray();
}

std::optional<QString> saveImageFile(const QImage& image, const QString& path,
                                     const QByteArray& format) {
    if (image.isNull()) {
        return QStringLiteral("there is no image to write");
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("cannot be written: ") + file.errorString();
    }
    QImageWriter writer(&file, format);
    if (!writer.write(image)) {
        file.cancelWriting();
        return QStringLiteral("cannot be written as %1: %2")
            .arg(QString::fromUtf8(format).toUpper(), writer.errorString());
    }
    if (!file.commit()) {
        return QStringLiteral("cannot be written: ") + file.errorString();
    }
    return std::nullopt;
}

}  // namespace vane::yearlyview
