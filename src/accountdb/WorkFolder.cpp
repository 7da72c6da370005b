// The writable work folder and the SQLite data folder inside it.
#include "accountdb/WorkFolder.h"

#include "db/Error.h"

#include <QDir>
#include <QStandardPaths>

namespace zostore::accountdb {

namespace {
QString ensure(const QString &path) {
    if (!QDir().mkpath(path))
        throw Error(QStringLiteral("无法创建文件夹：%1").arg(QDir::toNativeSeparators(path)));
    return QDir::cleanPath(path);
}
} // namespace

QString workFolder() {
    const QString env = qEnvironmentVariable("ZOSTORE_WORKDIR");
    if (!env.isEmpty())
        return ensure(QDir(env).absolutePath());
    return ensure(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString dataFolder() {
    return ensure(workFolder() + QStringLiteral("/data"));
}

} // namespace zostore::accountdb
