// Upgrade notes once per program file version.
#include "startup/UpgradeNotes.h"

#include "startup/ProgramFolder.h"
#include "startup/SettingsStore.h"
#include "ui/Processes.h"

namespace zostore::startup {

bool showUpgradeNotesIfNew(const QString &fileVersion) {
    const QString app = QStringLiteral("carvex");
    const QString section = QStringLiteral("softver");
    const QString key = QStringLiteral("smls.ver");
    const QString shown = SettingsStore::value(app, section, key);
    // Plain text comparison by design: the version texts are built so that it orders them.
    if (QString::compare(fileVersion, shown, Qt::CaseSensitive) <= 0)
        return false;
    SettingsStore::setValue(app, section, key, fileVersion);
    ui::processes().start(QStringLiteral("notepad.exe ") + programFile(QStringLiteral("升级说明.txt")),
                          ui::WindowStyle::NormalFocus);
    return true;
}

} // namespace zostore::startup
