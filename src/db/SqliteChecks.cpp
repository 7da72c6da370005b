// One SQLite library in the process, and the header of an opened file.
#include "db/SqliteChecks.h"

#include "db/Error.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <cstring>
#include <mutex>
#include <sqlite3.h>

namespace zostore::db {

namespace {

// The soft heap limit is a global of the library: set through the driver, it is seen here only when the
// driver's library is this one.
bool driverSharesOurLibrary() {
    const QString name = QStringLiteral("zostore_sqlite_probe");
    bool shared = false;
    {
        QSqlDatabase probe = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        probe.setDatabaseName(QStringLiteral(":memory:"));
        if (probe.open()) {
            QSqlQuery q(probe);
            const auto limit = [&q](const QString &sql) {
                return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
            };
            const qint64 was = limit(QStringLiteral("pragma soft_heap_limit"));
            constexpr qint64 Mark = 0x7A5F0DB1;
            const qint64 mark = was == Mark ? Mark + 1 : Mark;
            limit(QStringLiteral("pragma soft_heap_limit=%1").arg(mark));
            shared = was >= 0 && sqlite3_soft_heap_limit64(-1) == mark;
            limit(QStringLiteral("pragma soft_heap_limit=%1").arg(was < 0 ? 0 : was));
            probe.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return shared;
}

} // namespace

void requireOneSqliteLibrary() {
    static std::once_flag once;
    static bool shared = false;
    std::call_once(once, [] { shared = driverSharesOurLibrary(); });
    if (!shared)
        throw Error(
            QStringLiteral("本程序和 SQLite 数据库驱动（Qt 的 QSQLITE 插件）用的不是同一份 SQLite 库。"
                           "两份同时打开帐套文件会弄乱文件锁，另一个程序打开同一帐套后，这里的保存会出错，"
                           "修改会丢失，所以不打开 SQLite 帐套。请安装使用系统 SQLite 库的 QSQLITE 插件"
                           "（Debian 软件包 libqt6sql6-sqlite），本程序也链接同一个系统 SQLite 库。"));
}

bool hasSqliteHeader(sqlite3 *handle) {
    sqlite3_file *file = nullptr;
    if (sqlite3_file_control(handle, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        return false;
    static const char magic[] = "SQLite format 3"; // with its terminating zero: 16 bytes
    char head[sizeof magic] = {};
    return file->pMethods->xRead(file, head, sizeof head, 0) == SQLITE_OK &&
           std::memcmp(head, magic, sizeof magic) == 0;
}

} // namespace zostore::db
