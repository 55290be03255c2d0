#include "yearlyview/image_files.h"

#include <QBuffer>
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
    // A device or pipe (/dev/null, /dev/full) is written to directly: renaming a temporary file
    // over it would replace the device with a file.
    const QFileInfo target(path);
    const bool direct = target.exists() && !target.isFile() && !target.isDir();
    QSaveFile saveFile(path);
    QFile directFile(path);
    QFileDevice& file = direct ? static_cast<QFileDevice&>(directFile) : saveFile;
    // Encoded in memory first: an image library that meets a failing write (a full disk)
    // leaves its own state behind, and a checked write of the whole sees every failure.
    QBuffer encoded;
    encoded.open(QIODevice::WriteOnly);
    QImageWriter writer(&encoded, format);
    if (!writer.write(image)) {
        return QStringLiteral("cannot be written as %1: %2")
            .arg(QString::fromUtf8(format).toUpper(), writer.errorString());
    }
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("cannot be written: ") + file.errorString();
    }
    // The last buffered bytes are written by flush(), so that their failure is seen too.
    if (file.write(encoded.data()) != encoded.data().size() || !file.flush() ||
        file.error() != QFileDevice::NoError || (!direct && file.size() != file.pos())) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QStringLiteral("the file could not be written whole");
        if (!direct) {
            saveFile.cancelWriting();
        }
        return QStringLiteral("cannot be written: ") + reason;
    }
    if (direct) {
        directFile.close();
        if (directFile.error() != QFileDevice::NoError) {
            return QStringLiteral("cannot be written: ") + directFile.errorString();
        }
    } else if (!saveFile.commit()) {
        return QStringLiteral("cannot be written: ") + saveFile.errorString();
    }
    return std::nullopt;
}

}  // namespace vane::yearlyview
