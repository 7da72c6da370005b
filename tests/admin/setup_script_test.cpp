// A shop moving in by script: an empty account set, its manager, items, partners and opening stock from
// files, initialisation closed, and every list exported again as it came in.
#include "accountdb/Catalogue.h"
#include "accountdb/SystemProfile.h"
#include "admin/CommandSet.h"
#include "components/export/SheetReader.h"
#include "db/Connection.h"
#include "modules/init/InitState.h"
#include "modules/items/FileStore.h"
#include "support/AdminRun.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

namespace zostore::test {

namespace {

class SetupScriptTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        catalogue = db().createSibling(QStringLiteral("scat"));
        accountdb::Catalogue(catalogue).create();
        dbName = QStringLiteral("zs_setup_%1").arg(QRandomGenerator::global()->bounded(1000000));
    }
    void TearDown() override {
        if (!catalogue.isEmpty() && !isSqlite())
            accountdb::Catalogue(catalogue).removeAccountSet(dbName);
        BackendTest::TearDown();
    }
    QStringList command(const QString &name, const QStringList &rest) const {
        return QStringList{name, dbName, QStringLiteral("--catalog"), catalogue} + rest;
    }
    AdminOutcome run(const QString &name, const QStringList &rest) {
        return runAdminCommand(
            table, command(name, rest + QStringList{QStringLiteral("--user"), QStringLiteral("老板")}),
            AdminTestPassword);
    }
    QString file(const QString &name, const QByteArray &text) {
        const QString path = db().dir() + u'/' + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }
    // The columns the input names, from every row of the export, in its order.
    static QList<QStringList> columns(const QList<QStringList> &from, const QStringList &captions) {
        QList<int> at;
        for (const QString &c : captions)
            at << int(from.value(0).indexOf(c));
        QList<QStringList> out;
        for (const QStringList &row : from) {
            QStringList r;
            for (int c : at)
                r << (c < 0 ? QStringLiteral("(missing)") : row.value(c));
            out << r;
        }
        return out;
    }

    admin::CommandTable table = admin::allCommands();
    QString catalogue, dbName;
};

} // namespace

TEST_P(SetupScriptTest, a_script_sets_up_a_shop_from_files_and_exports_it_back) {
    ASSERT_EQ(runAdminCommand(table,
                              QStringList{QStringLiteral("create-account"), QStringLiteral("新店"), dbName,
                                          QStringLiteral("--catalog"), catalogue},
                              std::nullopt)
                  .code,
              0);
    AdminOutcome r = runAdminCommand(
        table, command(QStringLiteral("add-user"), {QStringLiteral("老板"), QStringLiteral("--manager")}),
        AdminTestPassword);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    db::Connection conn(accountdb::Catalogue(catalogue).accountConnectionString(dbName));
    // No command makes stores: the manager adds them in the item window.
    for (const char *s : {"01", "02"})
        modules::items::FileStore(conn, modules::items::FileKind::Stock)
            .save({0,
                   QString::fromLatin1(s),
                   QStringLiteral("门店") + QString::fromLatin1(s),
                   {},
                   {},
                   false,
                   0});

    const QByteArray itemsHead = "商品代码,商品名称,单位,条形码,进价,条形码2,条形码2包装数\r\n";
    const QByteArray goodItems = "A1,龙井,斤,6901234567892,30,16901234567899,10\r\n"
                                 "A2,茶杯,个,,2.5,,\r\n";
    const QString items =
        file(QStringLiteral("items.csv"), itemsHead + goodItems + "A3,坏条码,个,6901234567893,1,,\r\n");
    r = run(QStringLiteral("import-items"), {QStringLiteral("--file"), items});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("第 4 行：条形码“6901234567893”的校验位不对")))
        << r.err.toStdString();
    EXPECT_EQ(conn.scalar(QStringLiteral("select count(*) from t_ICItem")).toInt(), 0);
    r = run(QStringLiteral("import-items"), {QStringLiteral("--file"), items, QStringLiteral("--skip-bad")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    // A second workstation's import while a large one runs: both finish, neither loses rows.
    QByteArray many = itemsHead;
    for (int i = 0; i < 3000; ++i)
        many += QStringLiteral("B%1,批量商品%1,个,,1,,\r\n").arg(i, 4, 10, QLatin1Char('0')).toUtf8();
    const QString bulk = file(QStringLiteral("bulk.csv"), many);
    const QString suppliers =
        file(QStringLiteral("suppliers.csv"), "供应商代码,供应商名称,电话\r\nS1,茶厂,0571\r\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZOSTORE_PASSWORD"), AdminTestPassword);
    QProcess first, second;
    for (QProcess *p : {&first, &second})
        p->setProcessEnvironment(env);
    const QStringList login{QStringLiteral("--user"), QStringLiteral("老板")};
    first.start(QStringLiteral(ZOSTORE_ADMIN_EXE),
                command(QStringLiteral("import-items"), login + QStringList{QStringLiteral("--file"), bulk}));
    second.start(QStringLiteral(ZOSTORE_ADMIN_EXE),
                 command(QStringLiteral("import-partners"),
                         login + QStringList{QStringLiteral("--kind"), QStringLiteral("supplier"),
                                             QStringLiteral("--file"), suppliers}));
    for (QProcess *p : {&first, &second}) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    EXPECT_EQ(conn.scalar(QStringLiteral("select count(*) from t_ICItem")).toInt(), 3002);

    const QByteArray stockText = "仓库,商品代码,期初数量,期初金额\r\n"
                                 "01,A1,10,300.00\r\n"
                                 "01,A2,48,120.00\r\n"
                                 "02,A1,2.5,75.00\r\n";
    r = run(QStringLiteral("import-stock"),
            {QStringLiteral("--file"), file(QStringLiteral("stock.csv"), stockText)});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    modules::init::closeInitialisation(conn);
    EXPECT_EQ(accountdb::readProfile(conn, QStringLiteral("Closed")), QStringLiteral("1"));
    r = run(QStringLiteral("check-stock"), {});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("一致"))) << r.out.toStdString();
    // Closed, the openings take no more files.
    r = run(QStringLiteral("import-stock"),
            {QStringLiteral("--file"), db().dir() + QStringLiteral("/stock.csv")});
    EXPECT_EQ(r.code, 1);

    // The exports hold what came in, column for column.
    const auto exported = [&](const QString &what, const QStringList &extra) {
        const QString out = db().dir() + QStringLiteral("/out-") + what + QStringLiteral(".csv");
        const AdminOutcome e = run(what, extra + QStringList{QStringLiteral("--file"), out});
        EXPECT_EQ(e.code, 0) << e.err.toStdString();
        return components::sheet::readCsv(out);
    };
    const QList<QStringList> inItems = components::sheet::readCsv(items).mid(0, 3);
    EXPECT_EQ(columns(exported(QStringLiteral("export-items"), {}).mid(0, 3), inItems.first()), inItems);
    const QList<QStringList> inSuppliers = components::sheet::readCsv(suppliers);
    EXPECT_EQ(columns(exported(QStringLiteral("export-partners"),
                               {QStringLiteral("--kind"), QStringLiteral("supplier")}),
                      inSuppliers.first()),
              inSuppliers);
    const QList<QStringList> inStock = components::sheet::readCsv(db().dir() + QStringLiteral("/stock.csv"));
    EXPECT_EQ(columns(exported(QStringLiteral("export-stock"), {}), inStock.first()), inStock);
}

ZOSTORE_BACKENDS(SetupScriptTest);

} // namespace zostore::test
