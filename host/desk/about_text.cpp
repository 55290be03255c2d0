#include "host/desk/about_text.h"

#include <sqlite3.h>
#include <unicode/uversion.h>

#include <QCoreApplication>
#include <QtGlobal>

#include "library/postgres_connection.h"
#include "vane_version.h"

namespace vane {

QString aboutText() {
    const auto tr = [](const char* text) { return QCoreApplication::translate("AboutText", text); };
    return tr("Vane %1\n"
              "Relates bat activity in time-stamped recordings to wind speed, temperature and "
              "the operating state of a wind turbine, and shows when in the night bats were "
              "active.\n\n"
              "Libraries used:\n"
              "Qt %2 (Core, Gui, Widgets, Svg): GNU Lesser General Public License v3\n"
              "ICU %3: Unicode License (ICU License)\n"
              "SQLite %4: public domain\n"
              "libpq %5 (PostgreSQL client): PostgreSQL License")
        .arg(QStringLiteral(VANE_VERSION), QString::fromLatin1(qVersion()),
             QStringLiteral(U_ICU_VERSION), QString::fromLatin1(sqlite3_libversion()),
             QString::fromStdString(library::postgresClientVersion()));
}

}  // namespace vane
