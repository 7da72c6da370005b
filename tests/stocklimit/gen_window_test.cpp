// The generation window driven offscreen: fields, refusals, the exchange file and the copy into another set.
#include "StockFixture.h"

#include "accountdb/Catalogue.h"
#include "components/Builtins.h"
#include "components/Registry.h"
#include "components/supertextbox/SuperTextbox.h"
#include "db/ConnectionString.h"
#include "db/Error.h"
#include "startup/LoginContext.h"
#include "stocklimit/TargetServer.h"
#include "stocklimit/frmGenMinMaxStock.h"
#include "ui/DateTimePickers.h"
#include "ui/ScriptedDialogs.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>

namespace zostore::test {

using stocklimit::frmGenMinMaxStock;

class GenWindowTest : public StockFixture {
protected:
    void SetUp() override {
        StockFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        qputenv("ZOSTORE_WORKDIR", work.path().toUtf8());
        startup::loginContext().reset();
        startup::loginContext().setLogin(1, QStringLiteral("管理员"), cnstr(), QString(), QStringLiteral("测试"));
        scope = std::make_unique<ui::DialogsScope>(dialogs);
        bill(1, at(5), 22, 1, {{1, 7}, {2, 3}});
        bill(2, at(6), 99, 2, {{1, 4}});
    }
    void TearDown() override {
        scope.reset();
        StockFixture::TearDown();
    }
    static void chooseStore(frmGenMinMaxStock &w, const QString &number) {
        for (int i = 0; i < w.txtStock->listCount(); ++i)
            if (w.txtStock->listText(i).startsWith(number + QLatin1Char(' ')))
                w.txtStock->choose(i);
    }
    void span(frmGenMinMaxStock &w) {
        w.dtpFromDate->setDate(first);
        w.dtpToDate->setDate(last);
    }
    QByteArray exchangeFile() {
        QFile f(frmGenMinMaxStock::exchangeFilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir work;
    ui::ScriptedDialogs dialogs;
    std::unique_ptr<ui::DialogsScope> scope;
};

TEST_P(GenWindowTest, opens_with_today_own_sales_and_the_target_disabled) {
    frmGenMinMaxStock w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("生成库存上下限"));
    EXPECT_EQ(w.dtpFromDate->date(), QDate::currentDate());
    EXPECT_EQ(w.dtpToDate->date(), QDate::currentDate());
    EXPECT_TRUE(w.opt[0]->isChecked());
    EXPECT_FALSE(w.chkExp->isChecked());
    EXPECT_FALSE(w.txtServer->isEnabled());
    EXPECT_EQ(w.txtStock->listCount(), 4) << "no store, then the three stores";
    EXPECT_EQ(w.request().stockId, 0);
    chooseStore(w, QStringLiteral("02"));
    EXPECT_EQ(w.request().stockId, 2);
    w.txt_MinStock->setText(QStringLiteral("1.5倍"));
    EXPECT_DOUBLE_EQ(w.request().minF, 1.5);
    EXPECT_EQ(w.request().rangeTo(), QStringLiteral("z"));
    w.chkExp->click();
    EXPECT_TRUE(w.txtServer->isEnabled());
    EXPECT_TRUE(w.txtAccount->isEnabled());
    w.chkExp->click();
    EXPECT_FALSE(w.txtPwd->isEnabled());
    EXPECT_TRUE(dialogs.entries().isEmpty());

    // The same control by its ProgID, as other windows host it.
    components::registerBuiltinComponents();
    auto box = components::createObject(QStringLiteral("VnSuperControl.SuperTextbox"));
    box->invoke(QStringLiteral("AddItem"), {QStringLiteral("01 一店"), 7});
    box->invoke(QStringLiteral("SetText"), {QStringLiteral("01 一店")});
    EXPECT_EQ(box->invoke(QStringLiteral("Key")).toLongLong(), 7);
    box->invoke(QStringLiteral("SetText"), {QStringLiteral("01")});
    EXPECT_EQ(box->invoke(QStringLiteral("Key")).toLongLong(), 0) << "a typed text that names no entry";
    EXPECT_EQ(box->invoke(QStringLiteral("ListCount")).toInt(), 1);
}

TEST_P(GenWindowTest, generates_for_a_store_and_writes_the_exchange_file) {
    frmGenMinMaxStock w;
    span(w);
    chooseStore(w, QStringLiteral("01"));
    w.txt_MinStock->setText(QStringLiteral("1.5"));
    w.txt_MaxStock->setText(QStringLiteral("2"));
    w.txtToItem->setText(QStringLiteral("A002"));
    w.cmdOK->click();
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("OK!")});
    EXPECT_EQ(store(1, 1), limits(11, 14, 0));
    EXPECT_EQ(exchangeFile(), QByteArray("1,1,11,14,0\r\n1,2,5,6,0\r\n"));

    dialogs.clear();
    w.opt[1]->click();
    w.cmdOK->click();
    EXPECT_EQ(store(1, 1), limits(17, 22, 0)) << "counter sales of store 2 count with all stores";

    // Item numbers with an apostrophe and Chinese reach the statements as typed.
    bill(3, at(7), 22, 1, {{6, 4}, {1, 1}});
    w.txtStock->choose(0);
    w.txtFromItem->setText(QStringLiteral("甲'1"));
    w.txtToItem->setText(QStringLiteral("甲'1"));
    w.cmdOK->click();
    EXPECT_EQ(totals(6), limits(6, 8, 0));
    EXPECT_EQ(totals(1), QVariantList({0.0, 0.0, 0.0}));
    EXPECT_EQ(exchangeFile(), QByteArray("0,6,6,8,0\r\n"));
}

TEST_P(GenWindowTest, export_needs_a_listed_account_and_copies_into_it) {
    frmGenMinMaxStock w;
    span(w);
    w.chkExp->click();
    w.cmdOK->click();
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("请选择数据生成帐套！")});
    EXPECT_EQ(dialogs.last()->icon, ui::Icon::Warning);

    // The target server: the SQLite data folder, or the PostgreSQL server of the test.
    QTemporaryDir folder;
    QString server;
    QString user;
    if (isSqlite()) {
        server = folder.path();
    } else {
        const auto admin = db::ConnectionString::parse(postgresAdminString());
        server = admin.server + QLatin1Char(':') + QString::number(admin.port);
        user = admin.userId;
        try {
            db::Connection(postgresAdminString()).execute(QStringLiteral("create database zostore_catalog"));
        } catch (const Error &) {
            // made by an earlier run
        }
    }
    // An unreachable server is reported without the typed password and generates nothing.
    w.txtServer->setText(isSqlite() ? folder.path() + QStringLiteral("/无此目录") : QStringLiteral("127.0.0.1:1"));
    w.txtPwd->setText(QStringLiteral("秘'密"));
    w.txtAccount->setText(QStringLiteral("任意"));
    dialogs.clear();
    w.cmdOK->click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_FALSE(dialogs.messages().first().contains(QStringLiteral("秘'密")));
    EXPECT_EQ(dialogs.last()->icon, ui::Icon::Information);
    EXPECT_TRUE(w.targetConnectionString().isEmpty());

    w.txtServer->setText(server);
    w.txtUser->setText(user);
    const stocklimit::TargetServer target(server, user, QString());
    accountdb::Catalogue catalogue(target.catalogueString());
    catalogue.create();
    const QString dbName = QStringLiteral("d2target_%1").arg(QRandomGenerator::global()->bounded(1000000));
    const QString setName = QStringLiteral("目标'帐套") + dbName;
    const QString targetCnstr = catalogue.createAccountSet(setName, dbName);
    {
        db::Connection t(targetCnstr);
        fillItems(t);
        t.execute(QStringLiteral("insert into ICSafeStock(FStockID,FItemID,FMin,FMax,FSafe) values(1,1,99,99,99),(1,4,99,99,99)"));
    }

    dialogs.clear();
    w.txtAccount->setText(QStringLiteral("无此帐套"));
    w.cmdOK->click();
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("帐套“无此帐套”不存在！")});
    EXPECT_EQ(count(QStringLiteral("select count(*) from ICSafeStock")), 0) << "nothing generated";

    dialogs.clear();
    emit w.txtAccount->dropDown();
    int index = -1;
    for (int i = 0; i < w.txtAccount->listCount(); ++i)
        if (w.txtAccount->listText(i) == setName)
            index = i;
    ASSERT_GE(index, 0);
    w.txtAccount->choose(index);
    EXPECT_EQ(db::ConnectionString::parse(w.targetConnectionString()).databaseName(),
              db::ConnectionString::parse(targetCnstr).databaseName());
    chooseStore(w, QStringLiteral("01"));
    w.txt_MinStock->setText(QStringLiteral("1"));
    w.txtToItem->setText(QStringLiteral("B001"));
    w.cmdOK->click();
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("OK!")});
    for (const QString &m : dialogs.messages())
        EXPECT_FALSE(m.contains(QStringLiteral("秘'密")));
    {
        db::Connection t(targetCnstr);
        EXPECT_EQ(t.scalar(QStringLiteral("select FMin from ICSafeStock where FStockID=1 and FItemID=1")).toDouble(), 7);
        EXPECT_EQ(t.scalar(QStringLiteral("select FMin from ICSafeStock where FStockID=1 and FItemID=4")).toDouble(), 99)
            << "outside the range";
        EXPECT_EQ(t.scalar(QStringLiteral("select count(*) from ICSafeStock")).toInt(), 4);
    }
    catalogue.removeAccountSet(dbName);
}

ZOSTORE_BACKENDS(GenWindowTest);

} // namespace zostore::test
