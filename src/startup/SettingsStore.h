// Per-user settings: text values under an application name, a section and a key.
#pragma once

#include <QString>

namespace zostore::startup {

class SettingsStore {
public:
    // A missing value yields defaultValue.
    static QString value(const QString &application, const QString &section, const QString &key,
                         const QString &defaultValue = {});
    static void setValue(const QString &application, const QString &section, const QString &key,
                         const QString &value);
    static bool contains(const QString &application, const QString &section, const QString &key);
    // The file of one application's store (INI files on this platform).
    static QString fileName(const QString &application);
};

} // namespace zostore::startup
