// Qt's Chinese catalogue, loaded once per process.
#include "ui/QtTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace zostore::ui {

QtTranslationResult installQtTranslation(QCoreApplication &app) {
    QtTranslationResult r;
    const QStringList folders = {
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
    for (const QString &folder : folders) {
        auto *translator = new QTranslator(&app);
        if (translator->load(QtTranslationName, folder) && QCoreApplication::installTranslator(translator)) {
            r.loaded = true;
            r.file = translator->filePath();
            return r;
        }
        delete translator;
    }
    r.searched = QDir::toNativeSeparators(folders.join(QStringLiteral("、")));
    return r;
}

QString missingQtTranslationMessage(const QtTranslationResult &result) {
    return QStringLiteral(
               "找不到 Qt 的中文翻译 %1.qm（查找了 %2），文件、页面设置和打印对话框中 Qt 自带的文字将显示为"
               "英文。请安装 Debian 软件包 qt6-translations-l10n。")
        .arg(QtTranslationName, result.searched);
}

} // namespace zostore::ui
