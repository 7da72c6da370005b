// Qt's own texts (standard buttons, file, page-setup and print dialogs) in Chinese.
#pragma once

#include <QString>

class QCoreApplication;

namespace zostore::ui {

inline const QString QtTranslationName = QStringLiteral("qtbase_zh_CN");

struct QtTranslationResult {
    bool loaded = false;
    QString file;     // the file loaded
    QString searched; // folders looked in, for the message when nothing was found
};

// Loads Qt's Chinese catalogue from Qt's translations folder, else from "translations" beside the
// executable, and installs it on the application.
QtTranslationResult installQtTranslation(QCoreApplication &app);

// What to tell the user when the catalogue is missing.
QString missingQtTranslationMessage(const QtTranslationResult &result);

} // namespace zostore::ui
