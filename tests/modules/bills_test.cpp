// Stock bills: kept stock per store after saves, edits and deletes; numbering under two workstations;
// what a bill must pass; orders and their receipts; the bill window driven by keys; the search; labels;
// printing by a print format.
#include "accountdb/Schema.h"
#include "accountdb/StoreStock.h"
#include "accountdb/SystemProfile.h"
#include "components/Builtins.h"
#include "components/Registry.h"
#include "components/Component.h"
#include "components/labels/BillPages.h"
#include "components/labels/LabelDesigner.h"
#include "components/labels/LabelFormatStore.h"
#include "components/labels/LabelList.h"
#include "components/labels/PrinterSetup.h"
#include "counter/frmPrintLabel.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "db/Transaction.h"
#include "modules/InstalledModules.h"
#include "modules/bills/BillPrint.h"
#include "modules/bills/BillSearch.h"
#include "modules/bills/BillStore.h"
#include "modules/bills/Stocktake.h"
#include "modules/bills/frmBill.h"
#include "modules/bills/frmBillSearch.h"
#include "modules/bills/frmPd.h"
#include "period/PeriodProcedures.h"
#include "reminders/ReminderPages.h"
#include "startup/LoginContext.h"
#include "ModuleTest.h"
#include "support/TestDatabase.h"
#include "ui/DateTimePickers.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <optional>
#include <set>
#include <thread>

namespace zostore::test {

using namespace modules::bills;

namespace {

const QDate Day(2026, 12, 10);

class BillsTest : public ModuleTest {
protected:
    void seed() override {
        exec("insert into t_Stock(FItemID,FNumber,FName,FVirtual) values(1,'01','门市',0),(2,'02','仓库',0)");
        exec("insert into "
             "t_ICItem(FItemID,FNumber,FName,FUnit,FExchange,FPurPrice,FPjCost,FBar_Code,FQuickNum,FDel) "
             "values(1,'A1','茶叶','斤',10,5,4.5,'6901','CY',0),(2,'A2','茶杯','个',1,2,1.5,'6902','CB',0),"
             "(3,'A3','旧茶壶','个',1,9,9,'6903','JC',1)");
        exec("insert into t_icitem_barcode(FItemID,FBarCode,FExchange) values(1,'69010',10)");
        exec("insert into t_Supplier(FItemID,FNumber,FName) values(1,'S1','茶厂'),(2,'S2','瓷厂')");
        exec("insert into t_Emp(FItemID,FNumber,FName) values(1,'E1','张三')");
    }
    double stock(int store, int item) {
        return db::Recordset::doubleOf(conn->scalar(
            QStringLiteral("select FQty from ICInventory where FStockID=? and FItemID=?"), {store, item}));
    }
    void setProfile(const char *key, const char *value) {
        accountdb::writeProfile(*conn, QString::fromLatin1(key), QString::fromLatin1(value));
    }
    static BillLine line(int item, double qty, double price = 1, const char *name = "") {
        BillLine l;
        l.itemId = item;
        l.qty = qty;
        l.price = price;
        l.name = QString::fromUtf8(name);
        l.due = Day.addDays(5);
        return l;
    }
    static Bill bill(int kind, QList<BillLine> lines, int in = 0, int out = 0, int supplier = 0) {
        Bill b;
        b.kind = kind;
        b.date = Day;
        b.inStockId = in;
        b.outStockId = out;
        b.orgaId = supplier;
        b.lines = std::move(lines);
        return b;
    }
    QString books() {
        QStringList rows;
        for (const char *q : {"select FInterID,FBillNo,FDeleted from ICStockBill order by 1",
                              "select FInterID,FEntryID,FItemID,FQty from ICStockBillEntry order by 1,2",
                              "select FStockID,FItemID,FQty from ICInventory order by 1,2",
                              "select FInterID,FEntryID,FCompleteQty from ICOrderEntry order by 1,2"})
            for (auto rs = conn->open(QString::fromUtf8(q)); !rs.eof(); rs.moveNext()) {
                QStringList cells;
                for (int i = 0; i < rs.fieldCount(); ++i)
                    cells << rs.text(rs.fieldName(i));
                rows << cells.join(u',');
            }
        return rows.join(u'|');
    }
    void expectBooksKept() {
        const auto diff = accountdb::storeStockDifferences(*conn);
        EXPECT_TRUE(diff.isEmpty()) << "item " << (diff.isEmpty() ? 0 : diff[0].itemId) << " store "
                                    << (diff.isEmpty() ? 0 : diff[0].stockId);
    }

};

} // namespace

TEST_P(BillsTest, saves_edits_and_deletes_keep_the_stock_of_every_store) {
    BillStore store(*conn, 1);
    Bill receipt = bill(12, {line(1, 30, 5.5), line(2, 12, 2)}, 1, 0, 1);
    ASSERT_TRUE(store.save(receipt).saved);
    EXPECT_EQ(receipt.billNo, QStringLiteral("CGRK202612-0001"));
    EXPECT_DOUBLE_EQ(scalar("select FSumAmount from ICStockBill where FTranType=12"), 189);
    // the item's purchase price follows the receipt; the next line starts from it
    EXPECT_DOUBLE_EQ(scalar("select FPurPrice from t_ICItem where FItemID=1"), 5.5);
    EXPECT_DOUBLE_EQ(store.startPrice(12, 1), 5.5);
    EXPECT_DOUBLE_EQ(store.startPrice(25, 1), 4.5);

    Bill transfer = bill(31, {line(1, 8)}, 2, 1);
    ASSERT_TRUE(store.save(transfer).saved);
    Bill issue = bill(25, {line(2, 5)}, 0, 1);
    ASSERT_TRUE(store.save(issue).saved);
    Bill other = bill(15, {line(2, 1)}, 2);
    ASSERT_TRUE(store.save(other).saved);
    Bill request = bill(9, {line(1, 100)}, 1, 2); // asks, moves nothing
    ASSERT_TRUE(store.save(request).saved);
    EXPECT_DOUBLE_EQ(stock(1, 1), 22);
    EXPECT_DOUBLE_EQ(stock(2, 1), 8);
    EXPECT_DOUBLE_EQ(stock(1, 2), 7);
    EXPECT_DOUBLE_EQ(stock(2, 2), 1);
    expectBooksKept();

    // an edit moves the stock from the old store to the new one
    Bill edited = store.load(31, transfer.interId);
    EXPECT_EQ(edited.lines.size(), 1);
    edited.lines[0].qty = 3;
    edited.inStockId = 1;
    edited.outStockId = 2;
    EXPECT_FALSE(store.save(edited).saved); // store 2 holds none once the old transfer is taken back
    ASSERT_TRUE(store.save(edited, true).saved);
    EXPECT_EQ(edited.billNo, transfer.billNo);
    EXPECT_DOUBLE_EQ(stock(1, 1), 33);
    EXPECT_DOUBLE_EQ(stock(2, 1), -3);
    expectBooksKept();

    store.remove(12, receipt.interId);
    EXPECT_EQ(scalar("select FDeleted from ICStockBill where FTranType=12"), 1);
    EXPECT_THROW(store.load(12, receipt.interId), Error);
    expectBooksKept();
    // numbers are not given again after a delete
    Bill again = bill(12, {line(2, 1)}, 1, 0, 1);
    ASSERT_TRUE(store.save(again).saved);
    EXPECT_EQ(again.billNo, QStringLiteral("CGRK202612-0002"));

    // transfers per issuing store when the profile asks
    setProfile("DbdDiffBillNoForInStock", "1");
    Bill fromShop = bill(31, {line(2, 1)}, 2, 1);
    ASSERT_TRUE(store.save(fromShop, true).saved);
    EXPECT_EQ(fromShop.billNo, QStringLiteral("CKDB01-202612-0001"));
    expectBooksKept();

    // a closed month's bills are read only
    setProfile("CurrentPeriod", "1");
    setProfile("CurrentYear", "2027");
    EXPECT_TRUE(store.load(12, again.interId).readOnly);
    const QString closed = books();
    Bill late = store.load(12, again.interId);
    late.date = QDate(2027, 1, 3);
    EXPECT_THROW(store.save(late), Error);
    EXPECT_THROW(store.remove(12, again.interId), Error);
    EXPECT_EQ(books(), closed);
}

TEST_P(BillsTest, bad_bills_are_refused_with_the_field_named_and_nothing_saved) {
    BillStore store(*conn, 1);
    Bill bought = bill(12, {line(1, 10, 5)}, 1, 0, 1);
    ASSERT_TRUE(store.save(bought).saved);
    const QString before = books();
    const auto refused = [&](Bill b, const QString &part) {
        try {
            store.save(b, true);
            ADD_FAILURE() << "saved: " << part.toStdString();
        } catch (const Error &e) {
            EXPECT_TRUE(e.description().contains(part)) << e.description().toStdString();
        }
        EXPECT_EQ(books(), before) << part.toStdString();
    };
    refused(bill(12, {}, 1, 0, 1), QStringLiteral("没有商品"));
    refused(bill(12, {line(2, 1), line(1, 0, 1, "茶叶")}, 1, 0, 1), QStringLiteral("第 2 行（茶叶）的数量"));
    refused(bill(12, {line(1, std::nan(""), 1, "茶叶")}, 1, 0, 1), QStringLiteral("数量必须是大于零的数字"));
    refused(bill(12, {line(1, -2, 1, "茶叶")}, 1, 0, 1), QStringLiteral("数量必须是大于零的数字"));
    refused(bill(12, {line(2, 1), line(3, 1, 1, "旧茶壶")}, 1, 0, 1), QStringLiteral("“旧茶壶”已经删除"));
    refused(bill(12, {line(1, 1)}, 1, 0, 0), QStringLiteral("供应商"));
    refused(bill(15, {line(1, 1)}), QStringLiteral("请选择仓库"));
    refused(bill(31, {line(1, 1)}, 1, 1), QStringLiteral("调出仓库和调入仓库不能相同"));
    Bill early = bill(12, {line(1, 1)}, 1, 0, 1);
    early.date = QDate(2026, 11, 30);
    refused(early, QStringLiteral("不在当前会计期间（2026年12月）"));
    // returns: no more than was bought from that supplier, less what went back already
    refused(bill(14, {line(1, 11, 5, "茶叶")}, 0, 1, 1), QStringLiteral("超过从这个供应商购进未退的数量 10"));
    refused(bill(14, {line(1, 1, 5, "茶叶")}, 0, 1, 2), QStringLiteral("超过从这个供应商购进未退的数量 0"));
    Bill back = bill(14, {line(1, 4, 5)}, 0, 1, 1);
    ASSERT_TRUE(store.save(back).saved);
    Bill more = bill(14, {line(1, 7, 5, "茶叶")}, 0, 1, 1);
    EXPECT_THROW(store.save(more, true), Error);
    // an edit of the return itself does not count its own old quantity
    Bill edit = store.load(14, back.interId);
    edit.lines[0].qty = 6;
    EXPECT_TRUE(store.save(edit).saved);
    expectBooksKept();
}

TEST_P(BillsTest, short_stock_is_ignored_asked_or_refused_as_the_profile_says) {
    BillStore store(*conn, 1);
    Bill in = bill(15, {line(1, 5)}, 1);
    ASSERT_TRUE(store.save(in).saved);
    const QString before = books();
    Bill out = bill(25, {line(1, 3), line(1, 3), line(2, 1)}, 0, 1);
    // default 2: unsaved with the list until confirmed; the same item's lines add up
    SaveOutcome o = store.save(out);
    EXPECT_FALSE(o.saved);
    ASSERT_EQ(o.shortages.size(), 2);
    EXPECT_DOUBLE_EQ(o.shortages[0].onHand, 5);
    EXPECT_DOUBLE_EQ(o.shortages[0].needed, 6);
    EXPECT_EQ(o.shortages[0].store, QStringLiteral("门市"));
    EXPECT_EQ(books(), before);
    setProfile("ActionWhenShortStock", "3");
    try {
        store.save(out, true);
        ADD_FAILURE() << "refused stock went out";
    } catch (const Error &e) {
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("仓库“门市”库存不足，不能开单")))
            << e.description().toStdString();
    }
    EXPECT_EQ(books(), before);
    // enough in the store the bill issues from is no shortage, whatever the other store holds
    Bill fits = bill(25, {line(1, 5)}, 0, 1);
    EXPECT_TRUE(store.save(fits).saved);
    setProfile("ActionWhenShortStock", "1");
    EXPECT_TRUE(store.save(out).saved);
    EXPECT_DOUBLE_EQ(stock(1, 1), -6);
    expectBooksKept();
}

TEST_P(BillsTest, a_receipt_from_an_order_fills_its_open_lines_and_gives_them_back_when_deleted) {
    BillStore store(*conn, 1);
    Bill order = bill(11, {line(1, 20, 5), line(2, 10, 2), line(1, 5, 5)}, 0, 0, 2);
    order.lines[1].due = QDate();
    EXPECT_THROW(store.save(order), Error); // a line without its due date
    order.lines[1].due = Day.addDays(3);
    ASSERT_TRUE(store.save(order).saved);
    EXPECT_EQ(order.billNo, QStringLiteral("CGDD202612-0001"));
    EXPECT_DOUBLE_EQ(scalar("select count(*) from ICStockBill"), 0);

    Bill r = store.receiptFromOrder(order.interId);
    EXPECT_EQ(r.orgaId, 2);
    ASSERT_EQ(r.lines.size(), 3);
    r.date = Day;
    r.inStockId = 2;
    r.lines[0].qty = 12; // part of the first line
    r.lines.removeAt(2); // the third comes later
    ASSERT_TRUE(store.save(r).saved);
    EXPECT_DOUBLE_EQ(scalar("select FCompleteQty from ICOrderEntry where FEntryID=1"), 12);
    EXPECT_DOUBLE_EQ(scalar("select FCompleteQty from ICOrderEntry where FEntryID=2"), 10);
    EXPECT_THROW(store.remove(11, order.interId), Error); // received from already

    // the rest: over the open quantity asks first
    Bill rest = store.receiptFromOrder(order.interId);
    ASSERT_EQ(rest.lines.size(), 2);
    EXPECT_DOUBLE_EQ(rest.lines[0].qty, 8);
    rest.date = Day;
    rest.inStockId = 2;
    rest.lines[0].qty = 9;
    SaveOutcome o = store.save(rest);
    EXPECT_FALSE(o.saved);
    ASSERT_EQ(o.overReceipts.size(), 1);
    EXPECT_DOUBLE_EQ(o.overReceipts[0].open, 8);
    EXPECT_DOUBLE_EQ(scalar("select FCompleteQty from ICOrderEntry where FEntryID=1"), 12);
    ASSERT_TRUE(store.save(rest, true).saved);
    EXPECT_DOUBLE_EQ(scalar("select FCompleteQty from ICOrderEntry where FEntryID=1"), 21);
    EXPECT_THROW(store.receiptFromOrder(order.interId), Error); // nothing open

    // deleting and editing receipts give the order its open quantity back
    store.remove(12, rest.interId);
    EXPECT_DOUBLE_EQ(scalar("select FCompleteQty from ICOrderEntry where FEntryID=1"), 12);
    EXPECT_DOUBLE_EQ(scalar("select FCompleteQty from ICOrderEntry where FEntryID=3"), 0);
    Bill first = store.load(12, r.interId);
    first.lines[1].qty = 4;
    ASSERT_TRUE(store.save(first).saved);
    EXPECT_DOUBLE_EQ(scalar("select FCompleteQty from ICOrderEntry where FEntryID=2"), 4);
    EXPECT_DOUBLE_EQ(stock(2, 2), 4);
    expectBooksKept();

    // a transfer request is fulfilled by transfers the same way, its open part computed from them
    Bill request = bill(9, {line(2, 3), line(1, 6)}, 1, 2);
    ASSERT_TRUE(store.save(request).saved);
    Bill t = store.transferFromRequest(request.interId);
    EXPECT_EQ(t.outStockId, 2);
    EXPECT_EQ(t.inStockId, 1);
    t.date = Day;
    t.lines[1].qty = 2;
    ASSERT_TRUE(store.save(t, true).saved);
    EXPECT_THROW(store.remove(9, request.interId), Error);
    Bill rest2 = store.transferFromRequest(request.interId);
    ASSERT_EQ(rest2.lines.size(), 1);
    EXPECT_DOUBLE_EQ(rest2.lines[0].qty, 4);
    rest2.date = Day;
    rest2.lines[0].qty = 5;
    EXPECT_EQ(store.save(rest2, false).overReceipts.size(), 1);
    store.remove(31, t.interId);
    EXPECT_EQ(store.transferFromRequest(request.interId).lines.size(), 2);
    expectBooksKept();
}

TEST_P(BillsTest, a_month_of_bills_closes_to_the_stock_and_value_a_hand_calculation_gives) {
    period::registerPeriodProcedures();
    exec("insert into t_ICItem(FItemID,FNumber,FName,FUnit,FExchange,FPurPrice,FPjCost,FDel) "
         "values(4,'A4','茶盘','个',1,10,10,0)");
    // openings in the first store, at prices unlike the month's receipts
    exec("insert into icbal(FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) "
         "values(1,2026,12,10,4,40),(2,2026,12,20,1.5,30)");
    exec("insert into icstockbal(FYear,FPeriod,FItemID,FStockID,FBegQty,FBegBal) "
         "values(2026,12,1,1,10,40),(2026,12,2,1,20,30)");
    accountdb::rebuildStoreStock(*conn);
    BillStore store(*conn, 1);
    Bill order = bill(11, {line(1, 20, 5), line(2, 10, 2), line(4, 4, 10)}, 0, 0, 1);
    ASSERT_TRUE(store.save(order).saved);
    Bill receipt = store.receiptFromOrder(order.interId);
    receipt.date = Day;
    receipt.inStockId = 1;
    receipt.lines[0].qty = 12;
    receipt.lines[1].price = 2.6;
    receipt.lines.removeAt(2);
    ASSERT_TRUE(store.save(receipt).saved);
    // what is still due shows on the overdue-order reminder once its day has come
    reminders::PageOptions when;
    when.today = Day.addDays(5);
    const reminders::ReminderPage due = reminders::buildPage(*conn, reminders::OverdueOrders, when);
    const int open = due.colIndex(QStringLiteral("FUnCompleteQty")),
              name = due.colIndex(QStringLiteral("FName"));
    ASSERT_GE(open, 0);
    QStringList rows;
    for (const QStringList &r : due.rows)
        rows << r.value(name) + QLatin1Char(' ') + r.value(open);
    EXPECT_EQ(rows.mid(0, 2).join(u'|'), QStringLiteral("茶叶 8|茶盘 4"));
    when.today = Day.addDays(4);
    for (const QStringList &r : reminders::buildPage(*conn, reminders::OverdueOrders, when).rows)
        EXPECT_FALSE(r.value(name).startsWith(QStringLiteral("茶")))
            << "due too early: " << r.value(name).toStdString();

    Bill back = bill(14, {line(1, 2, 5)}, 0, 1, 1);
    ASSERT_TRUE(store.save(back).saved);
    Bill move = bill(31, {line(2, 6)}, 2, 1);
    ASSERT_TRUE(store.save(move).saved);
    // counted in the first store: tea 20 on the book, 23 on the shelf; cups 24 and 23
    Stocktake counts(*conn, 1);
    const int pd = counts.freeze(1);
    counts.saveCounts(pd, {{1, 23}, {2, 23}});
    const CountResult counted = counts.generate(pd, Day);
    EXPECT_EQ(counted.gains, 1);
    EXPECT_EQ(counted.losses, 1);

    // Average over opening and receipts: tea 100/22 = 4.5455, cups 56/30 = 1.8667. Tea: 40 + 60 - return
    // 2 x 4.5455 (9.09) + gain 3 x 4.5455 (13.64) = 104.55. Cups: 30 + 26 - loss 1.87 = 54.13, of which
    // the transfer carried 6 x 1.8667 = 11.20 to the second store. Bills valued at the old cost price, or
    // the return at its own price, would give 104.50 or 103.64 and 54.50.
    conn->callProcedure(QStringLiteral("sp_CacuCost"), db::ProcArgs(), 3000);
    db::ProcArgs args;
    args.add(QStringLiteral("@BillerID"), db::ParamType::Integer, 1)
        .add(QStringLiteral("@BillDate"), db::ParamType::Date, QDateTime(QDate(2026, 12, 31), QTime(0, 0)));
    conn->callProcedure(QStringLiteral("sp_ClosePeriod"), args, 3000);
    const auto listed = [&](const char *sql) {
        QStringList out;
        for (auto rs = conn->open(QString::fromUtf8(sql)); !rs.eof(); rs.moveNext()) {
            QStringList cells;
            for (int i = 0; i < rs.fieldCount(); ++i)
                cells << QString::number(rs.toDouble(rs.fieldName(i)), 'f', i + 1 == rs.fieldCount() ? 2 : 0);
            out << cells.join(u'/');
        }
        return out.join(u' ');
    };
    EXPECT_EQ(listed("select FItemID,FBegQty,FBegBal from icbal where FYear=2027 and FPeriod=1 and FBegQty<>0 "
                     "order by FItemID"),
              QStringLiteral("1/23/104.55 2/29/54.13"));
    EXPECT_EQ(listed("select FItemID,FStockID,FBegQty,FBegBal from icstockbal where FYear=2027 and FPeriod=1 "
                     "and FBegQty<>0 order by FItemID,FStockID"),
              QStringLiteral("1/1/23/104.55 2/1/23/42.93 2/2/6/11.20"));
    EXPECT_EQ(listed("select FStockID,FItemID,FQty from ICInventory where FQty<>0 order by 1,2"),
              QStringLiteral("1/1/23.00 1/2/23.00 2/2/6.00"));
    EXPECT_DOUBLE_EQ(scalar("select FPjCost from t_ICItem where FItemID=1"), 4.5455);
    expectBooksKept();
    // the closed month's bills can no longer change
    EXPECT_THROW(store.remove(31, move.interId), Error);
}

TEST_P(BillsTest, two_workstations_saving_at_once_draw_distinct_numbers_and_keep_the_stock) {
    constexpr int PerWorkstation = 12;
    std::vector<QString> numbers[2];
    std::string failures[2];
    const auto run = [&](int w) {
        try {
            db::Connection own(cnstr());
            BillStore store(own, 1);
            for (int i = 0; i < PerWorkstation; ++i) {
                Bill b = bill(i % 2 ? 15 : 31, {line(1 + i % 2, 1 + w), line(2, 1)}, 1 + w, 2 - w);
                if (!store.save(b, true).saved)
                    throw Error(QStringLiteral("not saved"));
                numbers[w].push_back(b.billNo);
            }
        } catch (const Error &e) {
            failures[w] = e.description().toStdString();
        }
    };
    std::thread a(run, 0), b(run, 1);
    a.join();
    b.join();
    EXPECT_EQ(failures[0], "");
    EXPECT_EQ(failures[1], "");
    std::set<QString> all(numbers[0].begin(), numbers[0].end());
    all.insert(numbers[1].begin(), numbers[1].end());
    EXPECT_EQ(all.size(), size_t(2 * PerWorkstation));
    EXPECT_EQ(scalar("select count(distinct FInterID) from ICStockBill"), 2 * PerWorkstation);
    expectBooksKept();
}

TEST_P(BillsTest, a_save_waits_for_a_month_end_close_and_gives_up_in_plain_words) {
    db::Connection::setBooksLockWait(150);
    db::Connection saving(cnstr()); // the bound holds for connections opened after it is set
    BillStore store(saving, 1);
    const QString before = books();
    {
        db::Connection closing(cnstr());
        db::Transaction held(closing, db::Transaction::Lock::Books);
        Bill b = bill(15, {line(1, 1)}, 1);
        try {
            store.save(b);
            ADD_FAILURE() << "a bill was saved inside a close";
        } catch (const Error &e) {
            EXPECT_TRUE(e.isLock()) << e.description().toStdString();
        }
        EXPECT_FALSE(saving.inTransaction());
        EXPECT_EQ(b.interId, 0);
        held.commit();
    }
    db::Connection::setBooksLockWait(15000);
    EXPECT_EQ(books(), before);
    Bill b = bill(15, {line(1, 1)}, 1);
    EXPECT_TRUE(store.save(b).saved);
}

TEST_P(BillsTest, the_search_filters_by_date_number_partner_store_and_item) {
    BillStore store(*conn, 1);
    Bill a = bill(12, {line(1, 2, 5)}, 1, 0, 1), b = bill(12, {line(2, 3, 2)}, 2, 0, 2);
    b.date = Day.addDays(2);
    ASSERT_TRUE(store.save(a).saved);
    ASSERT_TRUE(store.save(b).saved);
    const auto found = [&](const std::function<void(BillCriteria &)> &set) {
        BillCriteria c;
        c.kind = 12;
        c.from = QDate(2026, 12, 1);
        c.to = QDate(2026, 12, 31);
        set(c);
        QStringList out;
        for (auto rs = searchBills(*conn, c); !rs.eof(); rs.moveNext())
            out << rs.text(QStringLiteral("FBillNo")) + QLatin1Char('/') +
                       rs.text(QStringLiteral("FPartner")) + QLatin1Char('/') +
                       QString::number(rs.toDouble(QStringLiteral("FSumQty")));
        return out.join(u' ');
    };
    const auto any = [](BillCriteria &) {};
    const QString both = QStringLiteral("CGRK202612-0001/茶厂/2 CGRK202612-0002/瓷厂/3");
    const QString second = QStringLiteral("CGRK202612-0002/瓷厂/3"),
                  first = QStringLiteral("CGRK202612-0001/茶厂/2");
    EXPECT_EQ(found(any), both);
    EXPECT_EQ(found([](BillCriteria &c) { c.from = Day.addDays(1), c.to = Day.addDays(5); }), second);
    EXPECT_EQ(found([](BillCriteria &c) { c.billNo = QStringLiteral("0001"); }), first);
    EXPECT_EQ(found([](BillCriteria &c) { c.orgaId = 2; }), second);
    EXPECT_EQ(found([](BillCriteria &c) { c.stockId = 2; }), second);
    EXPECT_EQ(found([](BillCriteria &c) { c.item = QStringLiteral("茶叶"); }), first);
    EXPECT_EQ(found([](BillCriteria &c) { c.item = QStringLiteral("6902"); }), second);
    EXPECT_EQ(found([](BillCriteria &c) { c.billNo = QStringLiteral("%"); }),
              QString()); // typed, not a wildcard
    store.remove(12, a.interId);
    EXPECT_EQ(found(any), second);
}

TEST_P(BillsTest, a_clerk_scans_and_types_a_bill_and_the_window_saves_it) {
    setProfile("AutoNewBillAfterSave", "1");
    frmBill w(cnstr(), 1, 25);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.cmbOutStock->setCurrentIndex(w.cmbOutStock->findData(1));
    ui::Grid *g = w.Flex;
    const int first = g->fixedRows();
    const auto type = [&](const QString &text) {
        QTest::keyClicks(g, text.left(1)); // the first key opens the editor and lands in it
        QWidget *editor = QApplication::focusWidget();
        ASSERT_TRUE(editor && editor != g) << "no editor opened";
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    };
    EXPECT_EQ(g->currentGridRow(), first);
    type(QStringLiteral("A2")); // code: the line is filled and the quantity is next
    EXPECT_EQ(g->text(first, QStringLiteral("FName")), QStringLiteral("茶杯"));
    EXPECT_EQ(g->colKey(g->currentGridCol()), QStringLiteral("FQty"));
    type(QStringLiteral("3"));
    EXPECT_EQ(g->text(first, QStringLiteral("FAmount")), QStringLiteral("4.50"));
    EXPECT_EQ(g->currentGridRow(), first + 1);
    type(QStringLiteral("69010")); // a package barcode counts one package of ten
    EXPECT_EQ(g->text(first + 1, QStringLiteral("FQty")), QStringLiteral("10"));
    EXPECT_EQ(g->text(first + 1, QStringLiteral("FMainQty")), QStringLiteral("1"));
    QTest::keyClick(g, Qt::Key_Down);
    EXPECT_EQ(g->currentGridRow(), first + 2);
    type(QStringLiteral("cb")); // quick codes are found too
    EXPECT_EQ(g->text(first + 2, QStringLiteral("FNumber")), QString());
    EXPECT_EQ(dialogs.messages().value(0), QStringLiteral("没有找到代码、条码或助记码为“cb”的商品。"));
    type(QStringLiteral("CB"));
    EXPECT_EQ(g->text(first + 2, QStringLiteral("FNumber")), QStringLiteral("A2"));
    type(QStringLiteral("x"));
    EXPECT_EQ(dialogs.messages().value(1), QStringLiteral("数量必须是不小于零的数字。"));
    EXPECT_EQ(g->text(first + 2, QStringLiteral("FQty")), QStringLiteral("1"));
    EXPECT_EQ(w.lblTotal->text(), QStringLiteral("合计：3 种商品  数量 14  金额 51.00"));

    // nothing in stock: the clerk is asked and says no, then yes
    dialogs.queueAnswer(ui::Answer::No);
    EXPECT_FALSE(w.save());
    ASSERT_TRUE(dialogs.last());
    EXPECT_TRUE(dialogs.last()->text.startsWith(
        QStringLiteral("下列商品库存不足：\nA2 茶杯：门市库存 0，本单需要 4")))
        << dialogs.last()->text.toStdString();
    EXPECT_EQ(scalar("select count(*) from ICStockBill"), 0);
    dialogs.queueAnswer(ui::Answer::Yes);
    EXPECT_TRUE(w.save());
    EXPECT_EQ(scalar("select count(*) from ICStockBillEntry"), 3);
    EXPECT_DOUBLE_EQ(stock(1, 2), -4);
    expectBooksKept();
    // a new bill is started, keeping the store
    EXPECT_EQ(w.interId(), 0);
    EXPECT_EQ(g->rows() - g->fixedRows(), 1);
    EXPECT_EQ(w.cmbOutStock->currentData().toInt(), 1);
    EXPECT_EQ(w.lblState->text(), QStringLiteral("单据 QTCK202612-0001 已保存，请录入下一张。"));
}

TEST_P(BillsTest, the_component_opens_the_windows_of_its_kinds_and_says_what_it_lacks) {
    BillStore store(*conn, 1);
    Bill sale = bill(12, {line(1, 2, 5)}, 1, 0, 1);
    ASSERT_TRUE(store.save(sale).saved);
    exec("update ICStockBill set FTranType=99, FOutStockID=1, FInStockID=0");
    auto c = components::Registry::instance().create(QStringLiteral("nuvo_Bill.RunBill"));
    c->invoke(QStringLiteral("init"), {cnstr(), QString(), 1, QStringLiteral("店主"), 2026, 12});
    try {
        c->invoke(QStringLiteral("NewBill"), {19});
        ADD_FAILURE() << "a sales bill opened";
    } catch (const Error &e) {
        EXPECT_EQ(e.number(), Error::NotInstalled);
        EXPECT_TRUE(e.description().contains(QStringLiteral("nuvo_Bill.RunBill")))
            << e.description().toStdString();
    }
    EXPECT_THROW(c->invoke(QStringLiteral("NewBill"), {99}), Error);
    // counter sales are listed and open read only
    bool opened = false;
    dialogs.queueWindow([&](QDialog &d) -> int {
        auto *search = qobject_cast<frmBillSearch *>(&d);
        EXPECT_TRUE(search);
        if (!search)
            return QDialog::Rejected;
        EXPECT_EQ(search->Flex->rows() - search->Flex->fixedRows(), 1);
        EXPECT_FALSE(search->cmdNew->isVisible());
        search->Flex->setCurrentIndex(search->Flex->model()->index(0, 1));
        dialogs.queueWindow([&](QDialog &b) -> int {
            auto *shown = qobject_cast<frmBill *>(&b);
            EXPECT_TRUE(shown);
            if (!shown)
                return QDialog::Rejected;
            opened = true;
            EXPECT_FALSE(shown->cmdSave->isEnabled());
            EXPECT_EQ(shown->Flex->text(shown->Flex->fixedRows(), QStringLiteral("FName")),
                      QStringLiteral("茶叶"));
            return QDialog::Rejected;
        });
        search->openCurrent();
        return QDialog::Rejected;
    });
    c->invoke(QStringLiteral("SearchBill"), {99});
    EXPECT_TRUE(opened);
}

TEST_P(BillsTest, a_bills_lines_fill_the_label_list_and_print_a_label_for_each) {
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    accountdb::addPriceStyleColumn(*conn, 1);
    exec("update t_ICItem set FBar_Code='6901234567892', FPrice_1=8.8 where FItemID=1");
    exec("update t_ICItem set FBar_Code='6901234567885', FPrice_1=3 where FItemID=2");
    BillStore store(*conn, 1);
    Bill receipt = bill(12, {line(1, 3, 5), line(2, 2.5, 2)}, 1, 0, 1);
    ASSERT_TRUE(store.save(receipt).saved);
    const auto listed = [](counter::frmPrintLabel *w) {
        QStringList rows;
        ui::Grid *g = w->labelList()->grid();
        for (int r = g->fixedRows(); r < g->rows(); ++r)
            rows << QStringList{g->text(r, QStringLiteral("FNumber")), g->text(r, QStringLiteral("FBarCode")),
                                g->text(r, QStringLiteral("FPriceText")), g->text(r, QStringLiteral("FCount"))}
                        .join(u' ');
        return rows.join(u'|');
    };

    // the tool: a receipt picked in the search, a label per unit (a part unit gets one too)
    auto c = components::Registry::instance().create(QStringLiteral("nuvo_Bill.RunBill"));
    c->invoke(QStringLiteral("init"), {cnstr(), QString(), 1, QStringLiteral("店主"), 2026, 12});
    dialogs.queueWindow([&](QDialog &d) -> int {
        auto *search = qobject_cast<frmBillSearch *>(&d);
        EXPECT_TRUE(search && search->cmbKind->isVisibleTo(search));
        if (!search)
            return QDialog::Rejected;
        EXPECT_EQ(search->cmbKind->currentText(), QStringLiteral("采购入库单"));
        search->cmbKind->setCurrentIndex(search->cmbKind->findData(15));
        EXPECT_EQ(search->Flex->rows(), search->Flex->fixedRows());
        search->cmbKind->setCurrentIndex(search->cmbKind->findData(12));
        search->Flex->setCurrentIndex(search->Flex->model()->index(0, 1));
        QTest::mouseClick(search->cmdOpen, Qt::LeftButton);
        return search->result();
    });
    dialogs.queueAnswer(ui::Answer::Yes);
    c->invoke(QStringLiteral("PrintBarcode"));
    counter::frmPrintLabel *tool = nullptr;
    for (QWidget *t : QApplication::topLevelWidgets())
        if (auto *w = qobject_cast<counter::frmPrintLabel *>(t); w && w->isVisible())
            tool = w;
    ASSERT_TRUE(tool);
    EXPECT_EQ(listed(tool), QStringLiteral("A1 6901234567892 8.80 3|A2 6901234567885 3.00 3"));
    EXPECT_TRUE(tool->windowTitle().endsWith(receipt.billNo));
    tool->close();

    // the bill window's button, a label per line, printed: one label a page on paper cut to the label
    components::labels::LabelFormat f;
    f.name = QStringLiteral("入库价签");
    components::labels::LabelElement name, code;
    name.kind = components::labels::LabelElement::Kind::Field;
    name.field = QStringLiteral("FName");
    name.rect = QRectF(2, 2, 56, 8);
    code.kind = components::labels::LabelElement::Kind::Barcode;
    code.field = QStringLiteral("FBarCode");
    code.rect = QRectF(5, 12, 50, 24);
    f.elements = {name, code};
    components::labels::LabelFormatStore(*conn).save(f, {});
    components::labels::LabelFormatStore(*conn).select(f.name);
    components::labels::PrinterSetup paper;
    paper.paperMm = QSizeF(f.marginLeft + f.width, f.marginTop + f.height);
    paper.save(f.name);
    frmBill w(cnstr(), 1, 12, receipt.interId);
    ASSERT_TRUE(w.cmdBarcode->isEnabled());
    dialogs.queueAnswer(ui::Answer::No);
    QTest::mouseClick(w.cmdBarcode, Qt::LeftButton);
    auto *labels = w.findChild<counter::frmPrintLabel *>();
    ASSERT_TRUE(labels);
    EXPECT_EQ(listed(labels), QStringLiteral("A1 6901234567892 8.80 1|A2 6901234567885 3.00 1"));
    ui::Grid *g = labels->labelList()->grid();
    g->setText(g->fixedRows(), QStringLiteral("FCount"), QStringLiteral("4")); // the clerk raises a count
    EXPECT_EQ(labels->cmbPrintFmt->currentText(), f.name);
    const QString pdf = settings.filePath(QStringLiteral("labels.pdf"));
    dialogs.queueWindow([&](QDialog &preview) -> int {
        for (QAction *a : preview.findChildren<QAction *>())
            if (a->text() == QStringLiteral("导出PDF")) {
                dialogs.queueFile(pdf);
                a->trigger();
            }
        return QDialog::Rejected;
    });
    labels->runTool(QStringLiteral("print"));
    EXPECT_TRUE(dialogs.messages().last().startsWith(QStringLiteral("已导出 5 页标签")))
        << dialogs.messages().last().toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(file.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))), 5);
    labels->close();
}

TEST_P(BillsTest, a_bill_prints_by_its_kinds_format_page_by_page_and_by_the_grid_without_one) {
    namespace L = components::labels;
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    BillStore store(*conn, 1);
    Bill receipt = bill(12, {line(1, 1, 5), line(2, 2, 2), line(1, 3, 5), line(2, 4, 2), line(1, 5, 5)}, 1, 0, 1);
    ASSERT_TRUE(store.save(receipt).saved);
    L::LabelFormat f;
    f.tranType = 12;
    f.name = QStringLiteral("入库单");
    f.width = 200;
    f.height = 100;
    const auto field = [](const char *key, QRectF at) {
        L::LabelElement e;
        e.kind = L::LabelElement::Kind::Field;
        e.field = QString::fromLatin1(key);
        e.rect = at;
        return e;
    };
    L::LabelElement table;
    table.kind = L::LabelElement::Kind::Table;
    table.columns = QStringList{QStringLiteral("FName"), QStringLiteral("FQty"), QStringLiteral("FAmount")};
    table.rect = QRectF(2, 20, 196, 18); // a header row and two lines at 9 points
    f.elements = {field("FBillNo", {2, 2, 100, 6}), field("FPartner", {2, 10, 100, 6}), field("FPage", {120, 2, 78, 6}),
                  table};
    // what a bill format may hold: header fields outside the table, line fields in it
    L::LabelFormat bad = f;
    bad.elements[3].columns << QStringLiteral("FBarCode");
    EXPECT_THROW(L::LabelFormatStore(*conn, 12).save(bad, {}), Error);
    bad = f;
    bad.elements[0].field = QStringLiteral("FName");
    EXPECT_THROW(L::LabelFormatStore(*conn, 12).save(bad, {}), Error);
    EXPECT_THROW(L::LabelFormatStore(*conn, 15).save(f, {}), Error); // another kind's store
    L::LabelFormatStore(*conn, 12).save(f, {});
    L::LabelFormatStore(*conn, 12).select(f.name);
    EXPECT_TRUE(L::LabelFormatStore(*conn).list().isEmpty()); // no label format among them
    // the designer as the tool menu opens it: a kind chosen, its formats, a new one starting laid out
    {
        L::LabelDesigner designer(cnstr(), nullptr, 0);
        EXPECT_EQ(designer.tranType(), 12);
        EXPECT_EQ(designer.format().name, f.name);
        ASSERT_TRUE(designer.switchType(15));
        EXPECT_EQ(designer.lstFormats->count(), 0);
        ASSERT_TRUE(designer.save());
        EXPECT_EQ(L::LabelFormatStore(*conn, 15).load(QStringLiteral("新打印格式")).elements.size(),
                  designer.format().elements.size());
        L::LabelFormatStore(*conn, 15).remove(QStringLiteral("新打印格式"));
    }

    auto records = billPrintRecords(*conn, store.load(12, receipt.interId));
    const QList<L::BillPage> pages = L::billPages(L::LabelFormatStore(*conn, 12).load(f.name), records);
    ASSERT_EQ(pages.size(), 3);
    QStringList second;
    for (const L::LabelValues &r : pages[1].rows)
        second << r.value(QStringLiteral("FName")) + QLatin1Char(' ') + r.value(QStringLiteral("FQty"));
    EXPECT_EQ(second.join(u'|'), QStringLiteral("茶叶 3|茶杯 4"));
    EXPECT_EQ(pages[1].header.value(QStringLiteral("FPage")), QStringLiteral("第 2 页，共 3 页"));
    EXPECT_EQ(pages[1].header.value(QStringLiteral("FPartner")), QStringLiteral("S1 茶厂"));
    EXPECT_EQ(pages[2].header.value(QStringLiteral("FBillNo")), receipt.billNo);
    ASSERT_EQ(pages[2].rows.size(), 1);
    EXPECT_EQ(pages[2].rows[0].value(QStringLiteral("FAmount")), QStringLiteral("25.00"));

    // the window offers the preferred format and prints its pages
    frmBill w(cnstr(), 1, 12, receipt.interId);
    const QString pdf = settings.filePath(QStringLiteral("bill.pdf"));
    dialogs.queueWindow([&](QDialog &choice) -> int {
        auto *formats = choice.findChild<QComboBox *>(QStringLiteral("cmbFormat"));
        EXPECT_TRUE(formats && formats->currentText() == f.name && formats->count() == 2);
        return QDialog::Accepted;
    });
    dialogs.queueWindow([&](QDialog &preview) -> int {
        for (QAction *a : preview.findChildren<QAction *>())
            if (a->text() == QStringLiteral("导出PDF")) {
                dialogs.queueFile(pdf);
                a->trigger();
            }
        return QDialog::Rejected;
    });
    QTest::mouseClick(w.cmdPrint, Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages().last().startsWith(QStringLiteral("已导出 3 页单据")))
        << dialogs.messages().last().toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(file.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))), 3);

    // a kind without formats goes to the grid printer as before
    struct GridPrinter : components::Component {
        explicit GridPrinter(int &calls) : Component(QStringLiteral("VNPrinter.DoPrint")) {
            addMethod(QStringLiteral("DoPrint"), 6, 6, [&calls](const QVariantList &) {
                ++calls;
                return QVariant();
            });
        }
    };
    int gridPrints = 0;
    components::Registry::instance().registerFactory(QStringLiteral("VNPrinter.DoPrint"),
                                                     [&] { return std::make_shared<GridPrinter>(gridPrints); });
    Bill other = bill(15, {line(1, 1)}, 1);
    ASSERT_TRUE(store.save(other).saved);
    frmBill plain(cnstr(), 1, 15, other.interId);
    QTest::mouseClick(plain.cmdPrint, Qt::LeftButton);
    components::Registry::instance().removeFactory(QStringLiteral("VNPrinter.DoPrint"));
    EXPECT_EQ(gridPrints, 1);
}

TEST_P(BillsTest, a_count_books_its_gains_and_losses_against_the_frozen_book_at_cost) {
    BillStore store(*conn, 1);
    Bill in = bill(15, {line(1, 10), line(2, 5)}, 1);
    ASSERT_TRUE(store.save(in).saved);
    Stocktake counts(*conn, 1);
    const int pd = counts.freeze(1);
    EXPECT_THROW(counts.freeze(1), Error); // one open count per store
    const int other = counts.freeze(2);
    EXPECT_EQ(counts.openCounts().size(), 2);
    // sold after the freeze: the shelf and the book both lost it, the difference does not
    Bill sold = bill(25, {line(1, 3)}, 0, 1);
    ASSERT_TRUE(store.save(sold).saved);
    EXPECT_THROW(counts.saveCounts(pd, {{1, -1}}), Error);
    counts.saveCounts(pd, {{1, 9}, {2, 6}});
    const QList<CountLine> sheet = counts.sheet(pd);
    ASSERT_EQ(sheet.size(), 2); // the removed item is not on the sheet
    EXPECT_DOUBLE_EQ(sheet[0].bookQty, 10);
    EXPECT_TRUE(sheet[0].counted);
    const CountResult r = counts.generate(pd, Day);
    EXPECT_EQ(r.gainBillNo, QStringLiteral("QTRK202612-0002"));
    EXPECT_EQ(r.lossBillNo, QStringLiteral("QTCK202612-0002"));
    EXPECT_DOUBLE_EQ(
        scalar("select FAmount from ICStockBillEntry e join ICStockBill b on b.FInterID=e.FInterID "
               "where b.FBillNo='QTCK202612-0002' and e.FItemID=1"),
        4.5);
    EXPECT_DOUBLE_EQ(stock(1, 1), 6);
    EXPECT_DOUBLE_EQ(stock(1, 2), 6);
    expectBooksKept();
    EXPECT_THROW(counts.generate(pd, Day), Error);
    ASSERT_EQ(counts.openCounts().size(), 1);
    EXPECT_EQ(counts.openCounts()[0].pdId, other);
    // nothing counted, nothing booked
    const CountResult none = counts.generate(other, Day);
    EXPECT_TRUE(none.gainBillNo.isEmpty() && none.lossBillNo.isEmpty());
}

TEST_P(BillsTest, a_clerk_scans_the_counted_goods_and_books_the_differences) {
    BillStore store(*conn, 1);
    Bill in = bill(15, {line(1, 10), line(2, 5)}, 1);
    ASSERT_TRUE(store.save(in).saved);
    Stocktake(*conn, 1).freeze(1);
    frmPdData w(cnstr(), 1, frmPdData::Mode::Enter);
    w.show();
    ASSERT_EQ(w.cmbCount->count(), 1);
    for (const char *code : {"6901", "6901", "69010", "A2", "nothing"}) {
        QTest::keyClicks(w.txtScan, QString::fromLatin1(code));
        QTest::keyClick(w.txtScan, Qt::Key_Return);
    }
    ui::Grid *g = w.Flex;
    const int a1 = g->fixedRows();
    EXPECT_EQ(g->text(a1, QStringLiteral("FCountQty")), QStringLiteral("12"));
    EXPECT_EQ(g->text(a1, QStringLiteral("FDiff")), QStringLiteral("2"));
    EXPECT_EQ(g->text(a1 + 1, QStringLiteral("FCountQty")), QStringLiteral("1"));
    EXPECT_EQ(dialogs.messages().value(0), QStringLiteral("没有找到代码或条码为“nothing”的商品。"));
    EXPECT_TRUE(w.txtScan->text().isEmpty());
    dialogs.queueAnswer(ui::Answer::Yes);
    w.generate();
    EXPECT_EQ(dialogs.messages().value(1),
              QStringLiteral("盘盈 1 种商品，其他入库单 QTRK202612-0002\n盘亏 1 种商品，其他出库单 "
                             "QTCK202612-0001"));
    EXPECT_DOUBLE_EQ(stock(1, 1), 12);
    EXPECT_DOUBLE_EQ(stock(1, 2), 1);
    expectBooksKept();
}

ZOSTORE_BACKENDS(BillsTest);

} // namespace zostore::test
