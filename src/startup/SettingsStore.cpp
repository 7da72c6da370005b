// Settings store over QSettings, one file per application name.
#include "startup/SettingsStore.h"

#include <QSettings>

namespace zostore::startup {

namespace {

// Each application name is a store of its own, so near-identical names never share values.
QSettings settingsOf(const QString &application) {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ZoStore-Settings"), application);
}

QString pathOf(const QString &section, const QString &key) { return section + QLatin1Char('/') + key; }

} // namespace

QString SettingsStore::value(const QString &application, const QString &section, const QString &key,
                             const QString &defaultValue) {
    return settingsOf(application).value(pathOf(section, key), defaultValue).toString();
}

void SettingsStore::setValue(const QString &application, const QString &section, const QString &key,
                             const QString &value) {
    QSettings s = settingsOf(application);
    s.setValue(pathOf(section, key), value);
    s.sync();
}

bool SettingsStore::contains(const QString &application, const QString &section, const QString &key) {
    return settingsOf(application).contains(pathOf(section, key));
}

QString SettingsStore::fileName(const QString &application) { return settingsOf(application).fileName(); }

} // namespace zostore::startup
