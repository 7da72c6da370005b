// Compression and upgrade: SQLite files are checkpointed and vacuumed, PostgreSQL databases vacuumed.
#include "shell/Maintenance.h"

#include "accountdb/Catalogue.h"
#include "components/Component.h"
#include "components/Registry.h"
#include "db/Connection.h"
#include "startup/LoginContext.h"
#include "startup/ProgramFolder.h"
#include "startup/SettingsStore.h"
#include "ui/Dialogs.h"
#include "ui/Processes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zostore::shell {
namespace {

qint64 sqliteBytes(const QString &file) {
    qint64 total = 0;
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        total += QFileInfo(file + suffix).size();
    return total;
}

qint64 databaseBytes(db::Connection &master, const db::ConnectionString &cs) {
    try {
        if (cs.isSqlite())
            return sqliteBytes(cs.dataSource);
        return db::Recordset::doubleOf(
            master.scalar(QStringLiteral("select pg_database_size(?)"), {cs.database}));
    } catch (...) {
        return 0;
    }
}

class MaxVersionComponent : public components::Component {
public:
    MaxVersionComponent() : Component(QStringLiteral("Zo_GetIP.GetMaxVer")) {
        addMethod(QStringLiteral("getmaxver"), 1, 1, [](const QVariantList &args) -> QVariant {
            const QString folder = updateFolder();
            if (folder.isEmpty())
                return QString();
            QFile f(QDir(folder).filePath(components::argText(args, 0) + QStringLiteral(".ver")));
            if (!f.open(QIODevice::ReadOnly))
                return QString();
            return QString::fromUtf8(f.readAll()).trimmed();
        });
    }
};

} // namespace

CompressionResult compressAccountSets(const QString &masterPromptString) {
    CompressionResult result;
    QList<QString> names;
    std::unique_ptr<db::Connection> master;
    try {
        master = std::make_unique<db::Connection>(masterPromptString);
        db::Recordset rs = master->open(QStringLiteral("select * from Zo_DbList"));
        for (; !rs.eof(); rs.moveNext())
            names << rs.text(QStringLiteral("FDbFileName"));
    } catch (...) {
        return result;
    }
    const accountdb::Catalogue catalogue(masterPromptString);
    for (const QString &name : names) {
        db::ConnectionString cs;
        try {
            cs = db::ConnectionString::parse(catalogue.accountConnectionString(name));
        } catch (...) {
            continue;
        }
        result.bytesBefore += databaseBytes(*master, cs);
        const QStringList statements =
            cs.isSqlite()
                ? QStringList{QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"), QStringLiteral("VACUUM")}
                : QStringList{QStringLiteral("VACUUM")};
        try {
            db::Connection conn(cs);
            for (const QString &sql : statements) {
                result.statements << name + QStringLiteral(": ") + sql;
                try {
                    conn.execute(sql);
                } catch (...) {
                    // a statement the database refuses is passed over
                }
            }
        } catch (...) {
        }
        result.bytesAfter += databaseBytes(*master, cs);
    }
    return result;
}

QString formatBytes(qint64 bytes) {
    if (bytes < 1024 * 1024)
        return QString::number(bytes / 1024.0, 'f', 1) + QStringLiteral(" KB");
    return QString::number(bytes / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MB");
}

QString updateFolder() {
    return startup::SettingsStore::value(QStringLiteral("ZoStore"), QStringLiteral("AutoUpdateExe"),
                                         QStringLiteral("UpdateFolder"));
}

QString upgradeProgramPath() {
    return startup::programFile(QStringLiteral("zostore-update"));
}

void registerVersionService() {
    const QString progId = QStringLiteral("Zo_GetIP.GetMaxVer");
    if (!components::Registry::instance().isInstalled(progId))
        components::Registry::instance().registerFactory(
            progId, [] { return std::make_shared<MaxVersionComponent>(); });
}

UpgradeOutcome upgradeProgram() {
    auto service = components::createObject(QStringLiteral("Zo_GetIP.GetMaxVer"));
    const QString v =
        service->invoke(QStringLiteral("getmaxver"), {QString::fromLatin1(UpgradeEdition)}).toString();
    if (v.isEmpty()) {
        ui::dialogs().message(QStringLiteral("连接远程服务器失败!"), ui::Icon::Information);
        return UpgradeOutcome::Stopped;
    }
    auto fileVersion = components::createObject(QStringLiteral("zo_getip.getip"));
    const QString running =
        fileVersion->invoke(QStringLiteral("GetFileVer"), {startup::programExecutable()}).toString();
    if (v <= running) {
        ui::dialogs().message(QStringLiteral("当前版本已经是最高版本，不需要升级！"), ui::Icon::Information);
        return UpgradeOutcome::Stopped;
    }
    if (ui::dialogs().question(QStringLiteral("是否现在将软件升级到版本“") + v + QStringLiteral("”？"),
                               ui::Icon::Question, ui::Answer::Yes) != ui::Answer::Yes)
        return UpgradeOutcome::Stopped;
    startup::SettingsStore::setValue(QStringLiteral("ZoStore"), QStringLiteral("AutoUpdateExe"),
                                     QStringLiteral("ExeVer"), v + QStringLiteral("mkt\\"));
    startup::SettingsStore::setValue(QStringLiteral("ZoStroe"), QStringLiteral("DefaultValue"),
                                     QStringLiteral("UPdateProg"), QStringLiteral("Main"));
    const QString program = upgradeProgramPath();
    if (!QFileInfo::exists(program)) {
        ui::dialogs().message(QStringLiteral("找不到升级主程序“") + program + QStringLiteral("”，无法升级"),
                              ui::Icon::None);
        return UpgradeOutcome::Stopped;
    }
    db::Connection conn(startup::loginContext().cnstr());
    conn.execute(QStringLiteral("Update t_SystemProfile set FValue=?,FEditTime=getdate() where FKey in "
                                "('ExeVer','PosExe')"),
                 {v});
    if (!ui::processes().start(program, ui::WindowStyle::NormalFocus))
        return UpgradeOutcome::Stopped;
    return UpgradeOutcome::HandedOver;
}

} // namespace zostore::shell
