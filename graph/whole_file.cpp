#include "graph/whole_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

namespace vane::graph {

Outcome<void> writeWholeFile(const std::filesystem::path& path,
                             const std::function<bool(QIODevice&)>& write,
                             const std::function<Problem(const std::string&)>& problem) {
    // A device or pipe (/dev/null, /dev/full) is written to directly: renaming a temporary file
    // over it would replace the device with a file.
    const QString fileName = QString::fromStdString(path.string());
    const QFileInfo target(fileName);
    const bool direct = target.exists() && !target.isFile() && !target.isDir();
    QSaveFile saveFile(fileName);
    QFile directFile(fileName);
    QFileDevice& file = direct ? static_cast<QFileDevice&>(directFile) : saveFile;
    if (!file.open(QIODevice::WriteOnly)) {
        return problem(file.errorString().toStdString());
    }
    const bool painted = write(file);
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
        return problem(reason);
    }
    if (direct) {
        directFile.close();
        if (directFile.error() != QFileDevice::NoError) {
            return problem(directFile.errorString().toStdString());
        }
    } else if (!saveFile.commit()) {
        return problem(saveFile.errorString().toStdString());
    }
    return {};
}

Outcome<void> writeWholeTextFile(const std::filesystem::path& path, const std::string& text,
                                 const std::string& title, const std::string& what) {
    return writeWholeFile(
        path,
        [&text](QIODevice& file) {
            return file.write(text.data(), static_cast<qint64>(text.size())) ==
                   static_cast<qint64>(text.size());
        },
        [&](const std::string& reason) {
            return Problem{.title = title,
                           .message = "Cannot write " + what + " " + path.string() + ": " + reason,
                           .kind = ProblemKind::notSaved};
        });
}

}  // namespace vane::graph
