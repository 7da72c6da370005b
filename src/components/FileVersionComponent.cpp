// Version text of the program file.
#include "components/FileVersionComponent.h"

#include "db/Error.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace zostore::components {

FileVersionComponent::FileVersionComponent() : Component(ProgId) {
    addMethod(QStringLiteral("GetFileVer"), 1, 1, [this](const QVariantList &a) { return GetFileVer(argText(a, 0)); });
}

QString FileVersionComponent::versionText(int major, int minor, int build) {
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor, 2, 10, QLatin1Char('0')).arg(build, 5, 10, QLatin1Char('0'));
}

QString FileVersionComponent::programVersion() {
    return versionText(ZOSTORE_VERSION_MAJOR, ZOSTORE_VERSION_MINOR, ZOSTORE_BUILD_NUMBER);
}

QString FileVersionComponent::programVersionLabel() {
    return QStringLiteral("%1.%2.%3").arg(ZOSTORE_VERSION_MAJOR).arg(ZOSTORE_VERSION_MINOR).arg(ZOSTORE_BUILD_NUMBER);
}

QString FileVersionComponent::GetFileVer(const QString &path) const {
    const QFileInfo fi(QString(path).replace(QLatin1Char('\\'), QLatin1Char('/')));
    // The program keeps the executable name the installations have always asked for.
    if (fi.fileName().compare(QLatin1String("nuvo_main.exe"), Qt::CaseInsensitive) == 0 ||
        fi.absoluteFilePath() == QFileInfo(QCoreApplication::applicationFilePath()).absoluteFilePath())
        return programVersion();
    if (!fi.exists())
        throw Error(QStringLiteral("文件不存在：") + fi.absoluteFilePath());
    // Other files carry no version resource on this platform.
    return QString();
}

} // namespace zostore::components
