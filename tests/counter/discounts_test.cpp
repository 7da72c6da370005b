// Discount groups: keys and texts, batch-rate rounding, saving, lookups and clashing spans on both backends;
// the window's saving and closing question.
#include "accountdb/Schema.h"
#include "components/items/ItemLookup.h"
#include "components/items/ItemPicker.h"
#include "components/items/ItemSearch.h"
#include "counter/DiscountGroups.h"
#include "counter/PosDiscounts.h"
#include "counter/frmSdyh_Set_Pos.h"
#include "db/Error.h"
#include "startup/LoginContext.h"
#include "support/TestDatabase.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace zostore::test {

using namespace counter;

TEST(DiscountGroups, keys_texts_and_batch_rate_rounding) {
    const DiscountSpan midnight{QDateTime(QDate(2013, 3, 1), QTime(0, 0)),
                                QDateTime(QDate(2013, 3, 8), QTime(0, 0))};
    EXPECT_EQ(groupText(midnight), QStringLiteral("2013-03-01～2013-03-08"));
    EXPECT_EQ(groupKey(midnight), QStringLiteral("T_2013-03-01_2013-03-08"));
    const DiscountSpan evening{QDateTime(QDate(2013, 3, 1), QTime(22, 0)),
                               QDateTime(QDate(2013, 3, 2), QTime(6, 30))};
    EXPECT_EQ(groupKey(evening), QStringLiteral("T_2013-03-01 22:00:00_2013-03-02 06:30:00"));
    EXPECT_EQ(spanOfKey(groupKey(evening)), evening);
    EXPECT_EQ(spanOfText(groupText(midnight)), midnight);
    EXPECT_FALSE(spanOfKey(QStringLiteral("T_x_y")));

    EXPECT_EQ(batchRatePrice(QStringLiteral("12.35"), QStringLiteral("90")), QStringLiteral("11.10"));
    EXPECT_EQ(batchRatePrice(QStringLiteral("9.99"), QStringLiteral("85")), QStringLiteral("8.50"));
    EXPECT_EQ(batchRatePrice(QStringLiteral("10.50"), QStringLiteral("50")),
              QStringLiteral("5.20")); // tie to even
    EXPECT_EQ(batchRatePrice(QStringLiteral("10.70"), QStringLiteral("50")), QStringLiteral("5.40"));
    EXPECT_TRUE(batchRatePrice(QStringLiteral("abc"), QStringLiteral("90")).isEmpty());
}

class DiscountStoreTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        conn = std::make_unique<db::Connection>(cnstr());
        accountdb::createAccountSchema(*conn);
        conn->execute(QStringLiteral(
            "insert into t_Stock(FItemID,FNumber,FName,FPriceStyleID) values(1,'01','人民''路店',1)"));
        conn->execute(
            QStringLiteral("insert into t_ICItem(FItemID,FNumber,FName,FQuickNum,FBar_Code,FDel,FPrice_1) "
                           "values(1,'A01','可乐','kl','6900000000011',0,5),(2,'A02','雪碧','xb',null,0,4.5),"
                           "(3,'A03','已删','ys',null,1,1)"));
        conn->execute(
            QStringLiteral("insert into t_icitem_barcode(FItemID,FBarCode,FPriceStyleID,FPrice,FExchange) "
                           "values(1,'6900000000066',1,30,6)"));
    }
    std::unique_ptr<db::Connection> conn;
};

TEST_P(DiscountStoreTest, lookup_finds_codes_and_package_barcodes_and_search_matches_every_field) {
    components::items::ItemLookup lookup(*conn, 1);
    const auto pack = lookup.find(QStringLiteral("6900000000066"));
    ASSERT_TRUE(pack);
    EXPECT_TRUE(pack->isPackage());
    EXPECT_EQ(pack->barcodePrice, 30);
    EXPECT_EQ(pack->barcodeExchange, 6);
    const auto plain = lookup.find(QStringLiteral("A01"));
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->isPackage());
    EXPECT_EQ(plain->price, 5);
    EXPECT_FALSE(lookup.find(QStringLiteral("A03")));
    EXPECT_FALSE(lookup.find(QStringLiteral("x' or '1'='1")));

    using components::items::searchItems;
    EXPECT_EQ(searchItems(*conn, QStringLiteral("KL")).size(), 1);
    EXPECT_EQ(searchItems(*conn, QStringLiteral("雪")).size(), 1);
    EXPECT_EQ(searchItems(*conn, QStringLiteral("0066")).size(), 1);
    EXPECT_EQ(searchItems(*conn, QStringLiteral("%")).size(), 0);
    EXPECT_EQ(searchItems(*conn, QString()).size(), 2);
}

TEST_P(DiscountStoreTest, save_replaces_lines_in_order_and_clashing_spans_are_refused) {
    PosDiscounts store(*conn);
    const DiscountSpan a{QDateTime(QDate(2026, 1, 1), QTime(22, 0)),
                         QDateTime(QDate(2026, 1, 2), QTime(2, 0))};
    const DiscountSpan b{QDateTime(QDate(2026, 2, 1), QTime(0, 0)),
                         QDateTime(QDate(2026, 2, 8), QTime(0, 0))};
    QList<DiscountLine> lines(600);
    for (int i = 0; i < lines.size(); ++i) {
        lines[i].number = QStringLiteral("A01");
        lines[i].barcode = QStringLiteral("条码'%1").arg(i);
        lines[i].itemId = 1;
        lines[i].rate = 90;
    }
    store.save(1, a, lines);
    store.save(1, a, lines.mid(0, 2));
    const auto back = store.lines(1, a);
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back[1].barcode, QStringLiteral("条码'1"));
    EXPECT_EQ(back[0].name, QStringLiteral("可乐"));
    store.save(1, b, lines.mid(0, 1));
    EXPECT_EQ(store.groups(1), (QList<DiscountSpan>{a, b}));
    try {
        store.moveGroup(1, a, b);
        ADD_FAILURE() << "moved onto an existing group";
    } catch (const Error &e) {
        EXPECT_EQ(e.description(), GroupExistsMessage);
    }
    lines[0].barcode = QString(60, QLatin1Char('9'));
    EXPECT_THROW(store.save(1, a, lines.mid(0, 1)), Error);
    EXPECT_EQ(store.lines(1, a).size(), 2);
    EXPECT_EQ(store.store(QStringLiteral("人民'路店"))->priceStyleId, 1);
}

ZOSTORE_BACKENDS(DiscountStoreTest);

class DiscountWindowTest : public DiscountStoreTest {
protected:
    void SetUp() override {
        DiscountStoreTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        auto &ctx = startup::loginContext();
        ctx.reset();
        ctx.setLogin(1, QStringLiteral("admin"), cnstr(), QString(), QStringLiteral("测试帐套"));
        scope = std::make_unique<ui::DialogsScope>(dialogs);
        DiscountLine first;
        first.number = QStringLiteral("A01");
        first.barcode = QStringLiteral("6900000000011");
        first.itemId = 1;
        first.rate = 100;
        PosDiscounts(*conn).save(1, span, {first});
    }
    void TearDown() override {
        scope.reset();
        startup::loginContext().reset();
        DiscountStoreTest::TearDown();
    }
    // The window on the store, its one group loaded; closing it asks before it goes.
    std::unique_ptr<counter::frmSdyh_Set_Pos> openStore() {
        auto w = std::make_unique<counter::frmSdyh_Set_Pos>();
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        w->chooseStore(1);
        return w;
    }
    // What the cell editor commits when the user types into a line (1 = the first line under the header).
    static void type(counter::frmSdyh_Set_Pos &w, int line, const char *key, const QString &text) {
        ui::Grid &g = *w.Flex;
        if (g.fixedRows() + line - 1 >= g.rows())
            g.setRows(g.fixedRows() + line);
        g.model()->setData(g.model()->index(line - 1, g.colIndex(QString::fromLatin1(key))), text,
                           Qt::EditRole);
    }
    QList<DiscountLine> stored() { return PosDiscounts(*conn).lines(1, span); }

    const DiscountSpan span{QDateTime(QDate(2026, 3, 6), QTime(18, 0)),
                            QDateTime(QDate(2026, 3, 8), QTime(0, 0))};
    ui::ScriptedDialogs dialogs;
    std::unique_ptr<ui::DialogsScope> scope;
};

TEST_P(DiscountWindowTest, save_stores_the_lines_before_the_first_without_an_item_code) {
    auto w = openStore();
    ASSERT_EQ(w->tvwGroup->topLevelItemCount(), 1);
    EXPECT_FALSE(w->changed());
    type(*w, 1, "FZkRate", QStringLiteral("90"));
    type(*w, 2, "FBarCode", QStringLiteral("6900000000066")); // the package barcode
    type(*w, 4, "FBarCode", QStringLiteral("A02"));           // after the empty line 3: never stored
    EXPECT_EQ(w->Flex->text(w->Flex->fixedRows() + 3, QStringLiteral("FNumber")), QStringLiteral("A02"));
    type(*w, 5, "FBarCode", QStringLiteral("无此商品"));
    EXPECT_TRUE(w->Flex->text(w->Flex->fixedRows() + 4, QStringLiteral("FNumber")).isEmpty());
    EXPECT_TRUE(w->changed());

    w->runTool(QStringLiteral("save"));
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("保存数据成功！"));
    EXPECT_FALSE(w->changed());
    const auto lines = stored();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].rate, 90);
    EXPECT_EQ(lines[1].barcode, QStringLiteral("6900000000066"));
    EXPECT_EQ(lines[1].number, QStringLiteral("A01"));
    EXPECT_EQ(lines[1].retailPrice, 30);
    EXPECT_EQ(lines[1].mExchange, 6);
    w->close();
}

TEST_P(DiscountWindowTest, closing_question_cancel_keeps_the_window_no_discards_yes_saves) {
    auto w = openStore();
    type(*w, 1, "FZkRate", QStringLiteral("80"));
    dialogs.queueAnswer(ui::Answer::Cancel);
    EXPECT_FALSE(w->close());
    EXPECT_EQ(dialogs.last()->text, QStringLiteral("数据已经改变，是否保存改变？"));
    EXPECT_TRUE(w->isVisible());

    // Yes with a line that cannot be saved: told why, nothing stored, still open and still changed.
    type(*w, 1, "FSaleQty", QStringLiteral("十"));
    dialogs.queueAnswer(ui::Answer::Yes);
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(dialogs.messages().last().contains(QStringLiteral("不是数字")))
        << dialogs.messages().last().toStdString();
    EXPECT_TRUE(w->changed());
    EXPECT_EQ(stored().first().rate, 100);

    dialogs.queueAnswer(ui::Answer::No);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(stored().first().rate, 100);

    auto again = openStore();
    type(*again, 1, "FZkRate", QStringLiteral("80"));
    dialogs.queueAnswer(ui::Answer::Yes);
    EXPECT_TRUE(again->close());
    EXPECT_EQ(stored().first().rate, 80);

    // Changed with no group selected: Yes keeps the window open and stores nothing.
    conn->execute(QStringLiteral("delete from PosQtZkSet"));
    auto empty = openStore();
    ASSERT_EQ(empty->tvwGroup->topLevelItemCount(), 0);
    dialogs.queueInput(QStringLiteral("90"));
    empty->runTool(QStringLiteral("batchzk"));
    ASSERT_TRUE(empty->changed());
    dialogs.queueAnswer(ui::Answer::Yes);
    EXPECT_FALSE(empty->close());
    EXPECT_EQ(conn->scalar(QStringLiteral("select count(*) from PosQtZkSet")).toInt(), 0);
}

// Keys go where a clerk's would: to the widget with the focus (the cell editor once typing has opened it),
// and what they post is handled before the next one (Enter commits the editor that way).
void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, mods);
    QCoreApplication::processEvents();
}
void scan(const QString &code) {
    for (const QChar ch : code)
        QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
    press(Qt::Key_Return);
}

TEST_P(DiscountWindowTest, lines_scanned_and_picked_go_one_under_another) {
    conn->execute(QStringLiteral("insert into t_ICItem(FItemID,FNumber,FName,FDel,FPrice_1) "
                                 "values(4,'B01','橙汁',0,6),(5,'B02','酸奶',0,7),(6,'B03','面包',0,8),"
                                 "(7,'C01','牛奶',0,9)"));
    auto w = openStore();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    ui::Grid &g = *w->Flex;
    g.setFocus();
    // The scanner on the barcode column from the empty last line: code, Enter, Down, again and again.
    press(Qt::Key_Left);
    press(Qt::Key_Down);
    for (const char *code : {"6900000000066", "A02", "B01"}) {
        scan(QString::fromLatin1(code));
        press(Qt::Key_Down);
    }
    EXPECT_EQ(g.currentGridRow(), g.fixedRows() + 4);

    // The picker from the code cell of line 5: three at once with 选入, one more with 确定 while it is still
    // open, then opened again on the next line.
    const int numberCol = g.colIndex(QStringLiteral("FNumber"));
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {},
                      g.visualRect(g.model()->index(4, numberCol)).center());
    const auto pick = [&](const QString &find, int more, bool closing) {
        if (!w->picker() || !w->picker()->isVisible()) {
            ASSERT_TRUE(w->cmdRefItem->isVisible());
            QTest::mouseClick(w->cmdRefItem, Qt::LeftButton);
        }
        auto *picker = w->picker();
        ASSERT_TRUE(picker && picker->isVisible());
        picker->txtFind->selectAll();
        QTest::keyClicks(picker->txtFind, find);
        for (int i = 0; i < more; ++i)
            QTest::keyClick(picker->grid(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::mouseClick(closing ? picker->cmdOk : picker->cmdSelect, Qt::LeftButton);
    };
    pick(QStringLiteral("B0"), 2, false);
    EXPECT_EQ(g.currentGridRow(), g.fixedRows() + 7);
    pick(QStringLiteral("C01"), 0, true);
    EXPECT_EQ(g.currentGridRow(), g.fixedRows() + 7); // 确定 stays on the line it filled
    QTest::keyClick(&g, Qt::Key_Down);
    pick(QStringLiteral("A01"), 0, true);

    w->runTool(QStringLiteral("save"));
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("保存数据成功！"));
    QStringList codes;
    for (const DiscountLine &l : stored())
        codes << l.number;
    EXPECT_EQ(codes.join(QLatin1Char(' ')).toStdString(), "A01 A01 A02 B01 B01 B02 B03 C01 A01");
    EXPECT_EQ(stored().value(1).barcode, QStringLiteral("6900000000066"));
    EXPECT_EQ(stored().value(1).mExchange, 6);
    w->close();
}

ZOSTORE_BACKENDS(DiscountWindowTest);

} // namespace zostore::test
