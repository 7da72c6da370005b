// zostore-update: copies the new program files from the update folder over the program folder, then restarts.
#include "shell/Maintenance.h"
#include "startup/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cstdio>

namespace {

// A running program's file cannot be overwritten in place, so the old file is unlinked first.
bool replaceFile(const QString &from, const QString &to) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (QFile::exists(to))
            QFile::remove(to);
        if (QFile::copy(from, to))
            return true;
        QThread::msleep(200);
    }
    return false;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString folder = zostore::shell::updateFolder();
    const QString source = QDir(folder).filePath(QString::fromLatin1(zostore::shell::UpgradeEdition));
    if (folder.isEmpty() || !QFileInfo(source).isDir()) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QStringLiteral("找不到升级文件夹：") + QDir::toNativeSeparators(source)));
        return 1;
    }
    // Give the shell a moment to end before its files are replaced
    QThread::msleep(500);
    int failures = 0;
    QDirIterator it(source, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = QDir(programDir).filePath(QDir(source).relativeFilePath(from));
        QDir().mkpath(QFileInfo(to).path());
        if (!replaceFile(from, to)) {
            std::fprintf(stderr, "%s\n",
                         qPrintable(QStringLiteral("无法替换文件：") + QDir::toNativeSeparators(to)));
            ++failures;
        }
    }
    const QString shell = QDir(programDir).filePath(QStringLiteral("zostore"));
    if (!QProcess::startDetached(shell, {})) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QStringLiteral("无法启动程序：") + QDir::toNativeSeparators(shell)));
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
