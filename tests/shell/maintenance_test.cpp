// Compression of every listed account set and the upgrade hand-over.
#include "ShellFixture.h"
#include "shell/Maintenance.h"
#include "startup/SettingsStore.h"

#include <QProcess>
#include <QSaveFile>

using namespace zostore::shell;
using shelltest::ShellFixture;
using zostore::startup::SettingsStore;

namespace {

class MaintenanceTest : public ShellFixture {};

TEST_P(MaintenanceTest, compression_visits_every_listed_set_in_order_and_skips_what_fails) {
    zostore::accountdb::Catalogue(cnstr()).create();
    QStringList names;
    for (const char *suffix : {"a1", "a2", "a3"}) {
        const QString cs = db().createSibling(suffix);
        zostore::db::Connection conn(cs);
        conn.execute("create table filler (x text)");
        for (int i = 0; i < 200; ++i)
            conn.execute("insert into filler values (?)", {QString(500, QLatin1Char('x'))});
        conn.execute("delete from filler");
        const QString name = zostore::db::ConnectionString::parse(cs).databaseName();
        names << (isSqlite() ? QFileInfo(name).completeBaseName() : name);
    }
    for (const QString &n : names)
        m_conn->execute("insert into Zo_DbList (FDbName, FDbFileName) values (?, ?)", {n, n});
    // a listed set whose database is gone is passed over
    m_conn->execute("insert into Zo_DbList (FDbName, FDbFileName) values ('missing', 'zs_missing_set')");

    const CompressionResult r = compressAccountSets(cnstr());
    QStringList expected;
    for (const QString &n : names) {
        if (isSqlite())
            expected << n + ": PRAGMA wal_checkpoint(TRUNCATE)";
        expected << n + ": VACUUM";
    }
    EXPECT_EQ(r.statements, expected);
    EXPECT_GT(r.bytesBefore, 0);
    if (isSqlite()) {
        EXPECT_LT(r.bytesAfter, r.bytesBefore);
    }

    EXPECT_TRUE(
        compressAccountSets("Provider=SQLite;Data Source=/nonexistent/dir/cat.db").statements.isEmpty());
}

class UpgradeTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_fakes =
            std::make_unique<shelltest::FakeComponents>(QStringList{"Zo_GetIP.GetMaxVer", "zo_getip.getip"});
        m_fakes->log->results.insert("getfilever", "7.1.0005");
        setProfile("ExeVer", "7.1.0005");
        setProfile("PosExe", "7.1.0005");
    }
    void TearDown() override {
        m_fakes.reset();
        ShellFixture::TearDown();
    }
    QString profile(const QString &key) {
        return m_conn->scalar("select FValue from t_systemprofile where FKey=?", {key}).toString();
    }
    std::unique_ptr<shelltest::FakeComponents> m_fakes;
};

TEST_P(UpgradeTest, no_newer_version_stops_with_its_message_and_writes_nothing) {
    for (const auto &[offered, message] : {std::pair{"", "连接远程服务器失败!"},
                                           {"7.1.0005", "当前版本已经是最高版本，不需要升级！"},
                                           {"7.1.0004", "当前版本已经是最高版本，不需要升级！"}}) {
        m_dialogs.clear();
        m_fakes->log->results.insert("getmaxver", QString::fromUtf8(offered));
        EXPECT_EQ(upgradeProgram(), UpgradeOutcome::Stopped);
        EXPECT_EQ(m_dialogs.messages(), QStringList{QString::fromUtf8(message)});
        EXPECT_EQ(m_dialogs.last()->icon, zostore::ui::Icon::Information);
    }
    EXPECT_FALSE(SettingsStore::contains("ZoStore", "AutoUpdateExe", "ExeVer"));
    EXPECT_TRUE(m_processes.started.isEmpty());
}

TEST_P(UpgradeTest, a_missing_upgrade_program_is_named_and_the_profile_stays) {
    m_fakes->log->results.insert("getmaxver", "7.1.0010");
    m_dialogs.queueAnswer(zostore::ui::Answer::Yes);
    EXPECT_EQ(upgradeProgram(), UpgradeOutcome::Stopped);
    ASSERT_EQ(m_dialogs.entries().size(), 2);
    EXPECT_EQ(m_dialogs.entries()[0].text, QStringLiteral("是否现在将软件升级到版本“7.1.0010”？"));
    EXPECT_EQ(m_dialogs.entries()[0].defaultButton, zostore::ui::Answer::Yes);
    EXPECT_EQ(m_dialogs.entries()[1].text,
              QStringLiteral("找不到升级主程序“") + upgradeProgramPath() + QStringLiteral("”，无法升级"));
    EXPECT_EQ(m_dialogs.entries()[1].icon, zostore::ui::Icon::None);
    EXPECT_EQ(SettingsStore::value("ZoStore", "AutoUpdateExe", "ExeVer"), QStringLiteral("7.1.0010mkt\\"));
    EXPECT_EQ(SettingsStore::value("ZoStroe", "DefaultValue", "UPdateProg"), QStringLiteral("Main"));
    EXPECT_EQ(profile("ExeVer"), QStringLiteral("7.1.0005"));

    // Answering No writes nothing further
    m_dialogs.clear();
    m_dialogs.queueAnswer(zostore::ui::Answer::No);
    m_fakes->log->results.insert("getmaxver", "7.1.0011");
    EXPECT_EQ(upgradeProgram(), UpgradeOutcome::Stopped);
    EXPECT_EQ(SettingsStore::value("ZoStore", "AutoUpdateExe", "ExeVer"), QStringLiteral("7.1.0010mkt\\"));
}

TEST_P(UpgradeTest, a_newer_version_updates_the_profile_starts_the_upgrade_program_and_hands_over) {
    QFile program(upgradeProgramPath());
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.close();
    m_fakes->log->results.insert("getmaxver", "7.1.0010");
    m_dialogs.queueAnswer(zostore::ui::Answer::Yes);
    EXPECT_EQ(upgradeProgram(), UpgradeOutcome::HandedOver);
    EXPECT_EQ(profile("ExeVer"), QStringLiteral("7.1.0010"));
    EXPECT_EQ(profile("PosExe"), QStringLiteral("7.1.0010"));
    EXPECT_FALSE(m_conn->scalar("select FEditTime from t_systemprofile where FKey='PosExe'").isNull());
    ASSERT_EQ(m_processes.started.size(), 1);
    EXPECT_EQ(m_processes.started[0].commandLine, upgradeProgramPath());
    EXPECT_EQ(m_processes.started[0].style, zostore::ui::WindowStyle::NormalFocus);
}

TEST_P(UpgradeTest, the_version_service_reads_the_update_folder) {
    m_fakes.reset();
    registerVersionService();
    auto service = zostore::components::createObject("Zo_GetIP.GetMaxVer");
    EXPECT_EQ(service->invoke("getmaxver", {"mkt"}).toString(), QString()); // no folder configured
    QTemporaryDir folder;
    SettingsStore::setValue("ZoStore", "AutoUpdateExe", "UpdateFolder", folder.path());
    EXPECT_EQ(service->invoke("getmaxver", {"mkt"}).toString(), QString());
    QFile ver(QDir(folder.path()).filePath("mkt.ver"));
    ASSERT_TRUE(ver.open(QIODevice::WriteOnly));
    ver.write("7.1.0042\n");
    ver.close();
    EXPECT_EQ(service->invoke("GetMaxVer", {"mkt"}).toString(), QStringLiteral("7.1.0042"));
}

TEST_P(UpgradeTest, the_upgrade_program_copies_the_new_files_over_the_program_folder) {
    // touches no database; it runs under both backends' fixtures alike, since a skip would fail CI
    QTemporaryDir programFolder, updates;
    const QString updater = QDir(programFolder.path()).filePath("zostore-update");
    ASSERT_TRUE(QFile::copy(ZOSTORE_UPDATE_PROGRAM, updater));
    QDir(updates.path()).mkpath("mkt/picture");
    for (const auto &[name, text] : {std::pair{"mkt/picture/new.txt", "new"}, {"mkt/notes.txt", "v2"}}) {
        QFile f(QDir(updates.path()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QFile old(QDir(programFolder.path()).filePath("notes.txt"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("v1");
    old.close();
    SettingsStore::setValue("ZoStore", "AutoUpdateExe", "UpdateFolder", updates.path());
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", m_settings.path());
    p.setProcessEnvironment(env);
    p.start(updater, {});
    ASSERT_TRUE(p.waitForFinished(20000));
    // the copy is complete; restarting fails here because no shell is installed in the folder
    QFile notes(QDir(programFolder.path()).filePath("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_EQ(notes.readAll(), QByteArray("v2"));
    EXPECT_TRUE(QFile::exists(QDir(programFolder.path()).filePath("picture/new.txt")));
    EXPECT_NE(p.exitCode(), 0);
}

ZOSTORE_BACKENDS(MaintenanceTest);
ZOSTORE_BACKENDS(UpgradeTest);

} // namespace
