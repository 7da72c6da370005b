// Opening balances: stock per item and store with the items' totals and today's stock kept with them,
// partners' openings, and the end of initialisation with what it refuses.
#include "accountdb/Schema.h"
#include "accountdb/StoreStock.h"
#include "accountdb/SystemProfile.h"
#include "components/Builtins.h"
#include "components/Registry.h"
#include "components/export/SheetReader.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "modules/InstalledModules.h"
#include "modules/init/InitState.h"
#include "modules/init/OpeningPartners.h"
#include "modules/init/OpeningStock.h"
#include "modules/init/StockTransfer.h"
#include "modules/init/frmInitStock.h"
#include "modules/init/frmInitWL.h"
#include "startup/LoginContext.h"
#include "ModuleTest.h"
#include "support/TestDatabase.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <optional>

namespace zostore::test {

using namespace modules::init;

namespace {

class InitModuleTest : public ModuleTest {
protected:
    void seed() override {
        exec("insert into t_Stock(FItemID,FNumber,FName,FVirtual) values(1,'01','门市',0),(2,'02','仓库',0)");
        exec("insert into t_ICItem(FItemID,FNumber,FName,FUnit,FDel) values(1,'A1','茶叶','斤',0),"
             "(2,'A2','茶杯','个',0),(3,'A3','旧茶壶','个',1)");
        exec("insert into t_Organization(FItemID,FNumber,FName) values(1,'C1','东街饭店')");
        exec("insert into t_Supplier(FItemID,FNumber,FName) values(1,'S1','茶厂'),(2,'S2','瓷厂')");
    }
    static OpeningLine line(int item, const char *number, double qty, double amount) {
        OpeningLine l;
        l.itemId = item;
        l.number = QString::fromUtf8(number);
        l.qty = qty;
        l.amount = amount;
        return l;
    }
    QString books() {
        QStringList rows;
        for (const char *q : {"select FItemID,FStockID,FBegQty,FBegBal from icstockbal order by 1,2",
                              "select FItemID,FBegQty,FBegPrice,FBegBal from icbal order by 1",
                              "select FStockID,FItemID,FQty from ICInventory order by 1,2",
                              "select FOrgaType,FOrgaID,FAmount from t_WLBegBal order by 1,2"})
            for (auto rs = conn->open(QString::fromUtf8(q)); !rs.eof(); rs.moveNext()) {
                QStringList cells;
                for (int i = 0; i < rs.fieldCount(); ++i)
                    cells << QString::number(db::Recordset::doubleOf(rs.value(i)), 'f', 4);
                rows << cells.join(u',');
            }
        return rows.join(u'|');
    }

};

} // namespace

TEST_P(InitModuleTest, openings_per_store_add_up_to_the_items_and_keep_todays_stock) {
    OpeningStock stock(*conn);
    stock.save(1, {line(1, "A1", 10, 100), line(2, "A2", 5, 12.5)});
    stock.save(2, {line(1, "A1", 4, 42)});
    EXPECT_DOUBLE_EQ(scalar("select FBegQty from icbal where FItemID=1 and FYear=2026 and FPeriod=12"), 14);
    EXPECT_DOUBLE_EQ(scalar("select FBegBal from icbal where FItemID=1"), 142);
    EXPECT_NEAR(scalar("select FBegPrice from icbal where FItemID=1"), 10.1429, 1e-9);
    EXPECT_DOUBLE_EQ(scalar("select FQty from ICInventory where FItemID=1 and FStockID=2"), 4);
    EXPECT_TRUE(accountdb::storeStockDifferences(*conn).isEmpty());
    // A change replaces the store's row, and zero removes it.
    stock.save(1, {line(1, "A1", 6, 60), line(2, "A2", 0, 0)});
    EXPECT_DOUBLE_EQ(scalar("select FBegQty from icbal where FItemID=1"), 10);
    EXPECT_EQ(scalar("select count(*) from icstockbal where FItemID=2"), 0);
    EXPECT_DOUBLE_EQ(scalar("select coalesce(sum(FQty),0) from ICInventory where FItemID=2"), 0);
    EXPECT_TRUE(accountdb::storeStockDifferences(*conn).isEmpty());
    const QList<OpeningLine> listed = stock.lines(2);
    ASSERT_EQ(listed.size(), 2); // the removed item is not offered
    EXPECT_EQ(listed[0].number, QStringLiteral("A1"));
    EXPECT_DOUBLE_EQ(listed[0].amount, 42);

    // Bad lines name the item and the field, and the good lines before them are not written either.
    const QString before = books();
    const auto refused = [&](QList<OpeningLine> lines, const QString &part) {
        try {
            stock.save(1, lines);
            ADD_FAILURE() << "saved: " << part.toStdString();
        } catch (const Error &e) {
            EXPECT_TRUE(e.description().contains(part)) << e.description().toStdString();
        }
        EXPECT_EQ(books(), before);
    };
    refused({line(2, "A2", 1, 1), line(1, "A1", -1, 0)}, QStringLiteral("商品 A1 ：期初数量不能是负数"));
    refused({line(1, "A1", 0, 5)}, QStringLiteral("数量为零时金额也必须为零"));
    refused({line(2, "A2", 1, 1), line(3, "A3", 1, 1)}, QStringLiteral("A3  已被删除"));
    refused({line(1, "A1", std::nan(""), 1)}, QStringLiteral("必须是数字"));

    OpeningPartners payables(*conn, PartnerKind::Suppliers), receivables(*conn, PartnerKind::Customers);
    payables.save({{2, QStringLiteral("S2"), {}, 350.555}});
    receivables.save({{1, QStringLiteral("C1"), {}, -20}});
    EXPECT_DOUBLE_EQ(scalar("select FAmount from t_WLBegBal where FOrgaType=1 and FOrgaID=2"), 350.56);
    EXPECT_DOUBLE_EQ(scalar("select FAmount from t_WLBegBal where FOrgaType=2 and FOrgaID=1"), -20);
    EXPECT_EQ(payables.lines().size(), 2);

    // Closed or past the start month, nothing is written.
    exec("update t_systemprofile set FValue='1' where FKey='Closed'");
    const QString closed = books();
    EXPECT_THROW(stock.save(1, {line(1, "A1", 9, 90)}), Error);
    EXPECT_THROW(payables.save({{1, QStringLiteral("S1"), {}, 1}}), Error);
    exec("update t_systemprofile set FValue='0' where FKey='Closed'");
    exec("update t_systemprofile set FValue='2027' where FKey='CurrentYear'");
    EXPECT_THROW(stock.save(1, {line(1, "A1", 9, 90)}), Error);
    EXPECT_EQ(books(), closed);
}

TEST_P(InitModuleTest, initialisation_closes_only_when_complete_and_reopens_until_later_bills_exist) {
    OpeningStock stock(*conn);
    stock.save(1, {line(1, "A1", 10, 100)});
    exec("insert into icstockbal(FYear,FPeriod,FItemID,FStockID,FBegQty,FBegBal) values(2026,12,2,2,3,0)");
    try {
        closeInitialisation(*conn);
        ADD_FAILURE() << "closed with a quantity that has no value";
    } catch (const Error &e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("A2 茶杯（仓库）：有数量没有金额"))) << e.description().toStdString();
    }
    EXPECT_EQ(accountdb::readProfile(*conn, QStringLiteral("Closed")), QStringLiteral("0"));
    exec("delete from icstockbal where FItemID=2");
    closeInitialisation(*conn);
    EXPECT_EQ(accountdb::readProfile(*conn, QStringLiteral("Closed")), QStringLiteral("1"));

    // A bill of the start month does not hold it; one of a later month does.
    exec("insert into ICStockBill(FInterID,FBillNo,FDate,FYear,FPeriod,FTranType) "
         "values(1,'B1','2026-12-05 00:00:00',2026,12,12)");
    reopenInitialisation(*conn);
    EXPECT_EQ(accountdb::readProfile(*conn, QStringLiteral("Closed")), QStringLiteral("0"));
    closeInitialisation(*conn);
    exec("insert into ICStockBill(FInterID,FBillNo,FDate,FYear,FPeriod,FTranType) "
         "values(2,'B2','2027-01-05 00:00:00',2027,1,12)");
    try {
        reopenInitialisation(*conn);
        ADD_FAILURE() << "reopened with a later bill";
    } catch (const Error &e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("已有2026年12月以后的单据 1 张"))) << e.description().toStdString();
    }
    EXPECT_EQ(accountdb::readProfile(*conn, QStringLiteral("Closed")), QStringLiteral("1"));

    // Through the component the shell creates, with its question first.
    modules::registerInstalledModules();
    auto c = components::createObject(QStringLiteral("nuvo_Init.RunInit"));
    c->invoke(QStringLiteral("init"), {cnstr(), 2026, 12, 1, true});
    dialogs.queueAnswer(ui::Answer::Yes);
    EXPECT_THROW(c->invoke(QStringLiteral("CloseInit")), Error);
    EXPECT_EQ(dialogs.entries().first().text, QStringLiteral("返回初始化以后可以重新修改期初数据。是否返回初始化？"));
    try {
        c->invoke(QStringLiteral("initacct"), {11});
        ADD_FAILURE() << "cash accounts pretended";
    } catch (const Error &e) {
        EXPECT_EQ(e.number(), Error::NotInstalled);
        EXPECT_TRUE(e.description().contains(QStringLiteral("未安装组件 nuvo_Init.RunInit"))) << e.description().toStdString();
    }
}

TEST_P(InitModuleTest, a_clerk_types_opening_stock_into_the_window_store_by_store) {
    frmInitStock w(cnstr());
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_EQ(w.cmbStock->count(), 2);
    ui::Grid *g = w.Flex;
    ASSERT_EQ(g->rows() - g->fixedRows(), 2);
    const auto type = [&](int row, const char *key, const char *text) {
        g->setFocus();
        g->setCurrentIndex(g->model()->index(row - g->fixedRows(), g->colIndex(QString::fromLatin1(key))));
        QTest::keyClick(g, Qt::Key_F2);
        QWidget *editor = QApplication::focusWidget();
        ASSERT_TRUE(editor && editor != g) << "no editor opened";
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, QString::fromUtf8(text));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate commits on a queued call
    };
    const int a1 = g->fixedRows();
    type(a1, "FQty", "12");
    type(a1, "FPrice", "2.5");
    EXPECT_EQ(g->text(a1, QStringLiteral("FAmount")), QStringLiteral("30.00"));
    type(a1 + 1, "FQty", "abc");
    EXPECT_EQ(dialogs.messages().value(0), QStringLiteral("期初数量必须是不小于零的数字。"));
    EXPECT_EQ(g->text(a1 + 1, QStringLiteral("FQty")), QString());
    type(a1 + 1, "FQty", "4");
    type(a1 + 1, "FAmount", "10");
    EXPECT_EQ(g->text(a1 + 1, QStringLiteral("FPrice")), QStringLiteral("2.5"));

    // Another store with changes unsaved: Cancel stays, Yes saves first.
    dialogs.queueAnswer(ui::Answer::Cancel);
    w.cmbStock->setCurrentIndex(1);
    EXPECT_EQ(w.cmbStock->currentIndex(), 0);
    EXPECT_TRUE(w.hasChanges());
    dialogs.queueAnswer(ui::Answer::Yes);
    w.cmbStock->setCurrentIndex(1);
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("期初库存已保存。"));
    EXPECT_DOUBLE_EQ(scalar("select FBegBal from icstockbal where FStockID=1 and FItemID=1"), 30);
    EXPECT_DOUBLE_EQ(scalar("select FQty from ICInventory where FStockID=1 and FItemID=2"), 4);
    EXPECT_EQ(g->text(a1, QStringLiteral("FQty")), QString()); // the second store has none yet
    type(a1, "FQty", "1.5");
    type(a1, "FAmount", "3");
    w.cmdSave->click();
    EXPECT_DOUBLE_EQ(scalar("select FBegQty from icbal where FItemID=1"), 13.5);
    EXPECT_FALSE(w.hasChanges());

    // The payables window shows both suppliers and refuses text.
    frmInitWL p(cnstr(), PartnerKind::Suppliers);
    EXPECT_EQ(p.windowTitle(), QStringLiteral("应付帐款余额初始化"));
    ASSERT_EQ(p.Flex->rows() - p.Flex->fixedRows(), 2);
    auto *m = p.Flex->gridModel();
    m->setData(m->index(0, 3), QStringLiteral("12,5"), Qt::EditRole);
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("期初余额必须是数字。"));
    m->setData(m->index(1, 3), QStringLiteral("88.8"), Qt::EditRole);
    p.cmdSave->click();
    EXPECT_DOUBLE_EQ(scalar("select FAmount from t_WLBegBal where FOrgaType=1 and FOrgaID=2"), 88.8);
    EXPECT_EQ(scalar("select count(*) from t_WLBegBal"), 1);
}

TEST_P(InitModuleTest, a_spreadsheet_of_openings_is_checked_row_by_row_and_reads_back) {
    OpeningStock(*conn).save(2, {line(1, "A1", 3, 30)}); // a store the file leaves alone
    const QString csv = db().dir() + QStringLiteral("/stock.csv");
    {
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\xEF\xBB\xBF仓库,商品代码,商品名称,期初数量,单价,期初金额\r\n"
                "01,A1,茶叶,10,2.5,\r\n"
                "门市,A2,,\"1,200\",,600\r\n"
                "01,A1,,1,,1\r\n"
                "03,A2,,1,,1\r\n"
                "02,A3,,1,,1\r\n"
                "02,A9,,1,,1\r\n"
                "02,A2,,十,,1\r\n"
                "02,A2,,0,,5\r\n"
                "\r\n"
                "02,A2,,-1,,0\r\n");
    }
    const QList<QStringList> rows = components::sheet::readCsv(csv);
    const QString before = books();
    ImportReport r = importOpeningStock(*conn, rows, false);
    EXPECT_EQ(r.text(), QStringLiteral("第 4 行：商品 A1 在仓库“门市”的期初库存与第 2 行重复。\n"
                                       "第 5 行：仓库“03”不存在。\n"
                                       "第 6 行：商品 A3 旧茶壶 已被删除，不能录入期初库存。\n"
                                       "第 7 行：商品代码“A9”不存在。\n"
                                       "第 8 行：期初数量必须是数字（现在是“十”）。\n"
                                       "第 9 行：商品 A2 茶杯：期初数量为零时金额也必须为零。\n"
                                       "第 11 行：商品 A2 茶杯：期初数量不能是负数。"));
    EXPECT_EQ(books(), before);
    r = importOpeningStock(*conn, rows, true);
    EXPECT_EQ(r.imported, 2);
    // The same books as the window's save of those lines would leave.
    EXPECT_DOUBLE_EQ(scalar("select FBegBal from icstockbal where FStockID=1 and FItemID=1"), 25);
    EXPECT_DOUBLE_EQ(scalar("select FBegQty from icbal where FItemID=1"), 13);
    EXPECT_DOUBLE_EQ(scalar("select FBegQty from icbal where FItemID=2"), 1200);
    EXPECT_DOUBLE_EQ(scalar("select FQty from ICInventory where FStockID=1 and FItemID=2"), 1200);
    EXPECT_TRUE(accountdb::storeStockDifferences(*conn).isEmpty());
    // Importing the same figures again changes nothing, today's stock included.
    const QString imported = books();
    EXPECT_EQ(importOpeningStock(*conn, rows, true).imported, 2);
    EXPECT_EQ(books(), imported);

    // Out and in again: the file replaces the same pairs with the same figures.
    const components::sheet::Sheet out = exportOpeningStock(*conn);
    ASSERT_EQ(out.rows.size(), 3);
    EXPECT_EQ(out.rows[0], (QStringList{QStringLiteral("01"), QStringLiteral("A1"), QStringLiteral("茶叶"), {},
                                        QStringLiteral("斤"), QStringLiteral("10"), QStringLiteral("2.5"),
                                        QStringLiteral("25.00")}));
    const QString xlsx = db().dir() + QStringLiteral("/stock.xlsx");
    components::sheet::writeXlsx(out, xlsx);
    exec("delete from icstockbal");
    exec("delete from icbal");
    exec("delete from ICInventory");
    EXPECT_EQ(importOpeningStock(*conn, components::sheet::readXlsx(xlsx), false).text(), QString());
    EXPECT_EQ(books(), imported);
    EXPECT_EQ(exportOpeningStock(*conn).rows, out.rows);

    // A header the window does not show, and a closed initialisation, stop the whole file.
    EXPECT_THROW(importOpeningStock(*conn, {{QStringLiteral("商品代码"), QStringLiteral("数量")}}, true), Error);
    exec("update t_SystemProfile set FValue='1' where FKey='Closed'");
    try {
        importOpeningStock(*conn, rows, true);
        ADD_FAILURE() << "imported while closed";
    } catch (const Error &e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("初始化已经结束"))) << e.description().toStdString();
    }
    EXPECT_EQ(books(), imported);
}

TEST_P(InitModuleTest, the_window_imports_a_file_and_shows_the_store_again) {
    const QString csv = db().dir() + QStringLiteral("/w.csv");
    {
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("仓库,商品代码,期初数量,期初金额\n01,A2,4,8\n01,A9,1,1\n");
    }
    frmInitStock w(cnstr());
    dialogs.queueFile(csv);
    dialogs.queueAnswer(ui::Answer::No); // the bad row: import nothing
    w.cmdImport->click();
    EXPECT_EQ(scalar("select count(*) from icstockbal"), 0);
    dialogs.queueFile(csv);
    dialogs.queueAnswer(ui::Answer::Yes);
    w.cmdImport->click();
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("已导入 1 行，跳过有错的 1 行。"));
    EXPECT_EQ(w.Flex->text(w.Flex->fixedRows() + 1, QStringLiteral("FAmount")), QStringLiteral("8.00"));
}

ZOSTORE_BACKENDS(InitModuleTest);

} // namespace zostore::test
