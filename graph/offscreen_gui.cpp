#include "graph/offscreen_gui.h"

#include <QGuiApplication>
#include <QHashFunctions>
#include <QString>
#include <QtGlobal>
#include <cstdio>

namespace vane::graph {
namespace {

void withoutRuntimeFolderNote(QtMsgType type, const QMessageLogContext& context,
                              const QString& message) {
    if (message.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set"))) {
        return;
    }
    // As Qt's own handler writes them.
    std::fputs(qPrintable(qFormatLogMessage(type, context, message) + QLatin1Char('\n')), stderr);
}

}  // namespace

OffscreenGui::OffscreenGui() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    previousHandler_ = qInstallMessageHandler(withoutRuntimeFolderNote);
    // Qt's hashes decide the order in which a PDF embeds its fonts: seeded anew by each process,
    // two runs on the same inputs would write different files.
    QHashSeed::setDeterministicGlobalSeed();
    application_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

OffscreenGui::~OffscreenGui() {
    if (application_) {
        application_.reset();
        qInstallMessageHandler(previousHandler_);
    }
}

}  // namespace vane::graph
