// Program folder and the names derived from it.
#include "startup/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace zostore::startup {

namespace {
QString g_override;
}

QString programFolder() {
    return QDir::toNativeSeparators(g_override.isEmpty() ? QCoreApplication::applicationDirPath() : g_override);
}

void setProgramFolder(const QString &folder) { g_override = folder; }

QString programFile(const QString &name) { return QDir::toNativeSeparators(QDir(programFolder()).filePath(name)); }

QString systemDbConnectionString() {
    return QStringLiteral("Provider=Microsoft.Jet.Oledb.4.0;Data Source=") +
           programFile(QStringLiteral("systemdb.mdb"));
}

QString programExecutable() { return programFile(QStringLiteral("nuvo_main.exe")); }

} // namespace zostore::startup
