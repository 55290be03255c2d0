#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <iostream>
#include <optional>

namespace vane::yearlyview {

// The grid picture "YearGrid", built into the library.
inline constexpr const char* kYearGridResource = ":/vane/yearlyview/YearGrid.png";

// The first image of an image file. Writes "Image source is NULL." to `diagnostics` when the file
// cannot be opened and "Image not created from image source." when it holds no readable image,
// both without a line end, and returns nothing.
std::optional<QImage> MyCreateCGImageFromFile(const QString& path,
                                              std::ostream& diagnostics = std::cerr);

// The image format that a file name's extension names ("png" without one), in the lower case
// QImageWriter uses; empty when Qt cannot write it.
QByteArray imageFormatForPath(const QString& path);

// Writes `image` in `format` through a temporary file that replaces `path` only once complete, so
// a failed write leaves an existing file untouched. Answers why it failed, or nothing.
std::optional<QString> saveImageFile(const QImage& image, const QString& path,
                                     const QByteArray& format);

}  // namespace vane::yearlyview
