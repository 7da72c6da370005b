// Item and partner files: what a save refuses, in-store codes, removal, groups and small files, two
// workstations adding one code, and the window as a clerk drives it.
#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "components/Builtins.h"
#include "components/Registry.h"
#include "components/export/SheetReader.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "modules/InstalledModules.h"
#include "modules/items/Ean.h"
#include "modules/items/FileStore.h"
#include "modules/items/ItemGroups.h"
#include "modules/items/ItemStore.h"
#include "modules/items/ItemTransfer.h"
#include "modules/items/frmFileEdit.h"
#include "modules/items/frmItemEdit.h"
#include "modules/items/frmViewItem.h"
#include "startup/LoginContext.h"
#include "ModuleTest.h"
#include "support/TestDatabase.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <optional>
#include <thread>

namespace zostore::test {

using namespace modules::items;

namespace {

class ItemsModuleTest : public ModuleTest {
protected:
    void seed() override {
        exec("insert into t_PriceStyle(FItemID,FNumber,FName) values(1,'01','零售价'),(2,'02','会员价')");
        exec("insert into t_ItemGroup(FItemID,FNumber,FName,FParentID) "
             "values(1,'01','茶叶',0),(2,'0101','绿茶',1)");
        exec("insert into t_ItemDetail(FItemClassID,FFieldID,FFieldName,FFieldDesc,FSystem) values"
             "(4,1,'FBrand','品牌',0),(4,2,'FShelfLife','保质期',0)");
        exec("insert into t_ICItem(FItemID,FNumber,FName,FBar_Code,FDel,FParentID) values"
             "(1,'A1','龙井','6901234567892',0,2),(2,'A2','旧茶壶','',1,1)");
        exec("insert into t_icitem_barcode(FItemID,FBarCode,FExchange) values(1,'16901234567899',10)");
    }
    static ItemInput tea(const char *number) {
        ItemInput in;
        in.number = QString::fromUtf8(number);
        in.name = QStringLiteral("碧螺春");
        in.unit = QStringLiteral("盒");
        in.groupId = 2;
        in.barcode = QStringLiteral("6901234567885");
        in.purPrice = QStringLiteral("30");
        in.prices = {{1, QStringLiteral("48")}, {2, QStringLiteral("45.5")}};
        in.extra = {{QStringLiteral("FBrand"), QStringLiteral("东山")},
                    {QStringLiteral("FShelfLife"), QStringLiteral("18")}};
        in.barcodes = {{QStringLiteral("96901234567883"), 2, QStringLiteral("440"), QStringLiteral("10")}};
        return in;
    }
};

} // namespace

TEST_P(ItemsModuleTest, a_bad_field_is_refused_by_name_and_nothing_is_saved) {
    ItemStore store(*conn);
    auto with = [](auto change) {
        ItemInput in = tea("B1");
        change(in);
        return in;
    };
    EXPECT_REFUSED(store.save(with([](ItemInput &i) { i.number = QStringLiteral("A1"); })),
                   "商品代码“A1”已经存在");
    EXPECT_REFUSED(store.save(with([](ItemInput &i) { i.number = QStringLiteral("A2"); })),
                   "已删除的商品不能再选用");
    EXPECT_REFUSED(store.save(with([](ItemInput &i) { i.barcode = QStringLiteral("6901234567892"); })),
                   "已经是商品“龙井”的条形码");
    EXPECT_REFUSED(
        store.save(with([](ItemInput &i) { i.barcodes[0].barcode = QStringLiteral("16901234567899"); })),
        "已经是商品“龙井”的条形码");
    EXPECT_REFUSED(store.save(with([](ItemInput &i) { i.barcodes[0].barcode = i.barcode; })),
                   "在本商品中重复");
    EXPECT_REFUSED(store.save(with([](ItemInput &i) { i.barcode = QStringLiteral("6901234567881"); })),
                   "条形码“6901234567881”的校验位不对（应为 5）");
    EXPECT_REFUSED(store.save(with([](ItemInput &i) { i.prices[2] = QStringLiteral("12元"); })),
                   "会员价必须是数字");
    EXPECT_REFUSED(store.save(with([](ItemInput &i) { i.purPrice = QStringLiteral("-1"); })),
                   "进价不能是负数");
    EXPECT_REFUSED(store.save(with([](ItemInput &i) { i.exchange = QStringLiteral("0"); })),
                   "包装数必须大于 0");
    EXPECT_REFUSED(store.save(with([](ItemInput &i) { i.barcodes[0].exchange = QStringLiteral("0"); })),
                   "的包装数必须大于 0");
    EXPECT_REFUSED(store.save(with([](ItemInput &i) { i.name = QString(101, QChar(u'茶')); })),
                   "商品名称最长 100 个字符");
    EXPECT_REFUSED(store.save(with(
                       [](ItemInput &i) { i.extra[QStringLiteral("FShelfLife")] = QStringLiteral("一年"); })),
                   "保质期必须是整数");
    EXPECT_REFUSED(store.save(with([](ItemInput &i) { i.groupId = 99; })), "商品类别（编号 99）不存在");
    EXPECT_EQ(count("select count(*) from t_ICItem"), 2);
    EXPECT_EQ(count("select count(*) from t_icitem_barcode"), 1);

    // The good one, read back as saved; a purchase price stamps its time, sale prices theirs.
    const int id = store.save(tea("B1"));
    ItemInput back = store.item(id);
    EXPECT_EQ(back.name, QStringLiteral("碧螺春"));
    EXPECT_EQ(back.prices.value(2), QStringLiteral("45.5"));
    EXPECT_EQ(back.extra.value(QStringLiteral("FBrand")), QStringLiteral("东山"));
    ASSERT_EQ(back.barcodes.size(), 1);
    EXPECT_EQ(back.barcodes[0].priceStyleId, 2);
    EXPECT_EQ(back.barcodes[0].exchange, QStringLiteral("10"));
    const QString stamp = QStringLiteral("2020-01-01 00:00:00");
    conn->execute(QStringLiteral("update t_ICItem set FJjEditDate=?,FSjEditDate=? where FItemID=?"),
                  {stamp, stamp, id});
    back.prices[1] = QStringLiteral("50");
    store.save(back);
    auto dates = [&] {
        auto rs =
            conn->open(QStringLiteral("select FJjEditDate,FSjEditDate from t_ICItem where FItemID=?"), {id});
        return std::pair(rs.text(QStringLiteral("FJjEditDate")), rs.text(QStringLiteral("FSjEditDate")));
    };
    EXPECT_EQ(dates().first, QStringLiteral("2020-01-01"));
    EXPECT_NE(dates().second, QStringLiteral("2020-01-01"));
    back.purPrice = QStringLiteral("31");
    conn->execute(QStringLiteral("update t_ICItem set FSjEditDate=? where FItemID=?"), {stamp, id});
    store.save(back);
    EXPECT_NE(dates().first, QStringLiteral("2020-01-01"));
    EXPECT_EQ(dates().second, QStringLiteral("2020-01-01"));
}

TEST_P(ItemsModuleTest, in_store_codes_are_made_when_the_profile_asks_with_a_right_check_digit) {
    EXPECT_EQ(eanCheckDigit(QStringLiteral("690123456789")), QLatin1Char('2'));
    EXPECT_TRUE(eanValid(QStringLiteral("96385074")));
    EXPECT_FALSE(eanValid(QStringLiteral("96385075")));
    ItemStore store(*conn);
    ItemInput plain = tea("B0");
    plain.barcode.clear();
    plain.barcodes.clear();
    EXPECT_TRUE(store.item(store.save(plain)).shopNumber.isEmpty());
    accountdb::writeProfile(*conn, QStringLiteral("SysGenShopNum"), QStringLiteral("1"));
    accountdb::writeProfile(*conn, QStringLiteral("ShopNumberLen"), QStringLiteral("1"));
    QStringList made;
    for (const char *n : {"B1", "B2"}) {
        ItemInput in = plain;
        in.number = QString::fromLatin1(n);
        made << store.item(store.save(in)).shopNumber;
    }
    EXPECT_EQ(made, QStringList({QStringLiteral("2000000000015"), QStringLiteral("2000000000022")}));
    accountdb::writeProfile(*conn, QStringLiteral("ShopNumberLen"), QStringLiteral("0"));
    ItemInput in = plain;
    in.number = QStringLiteral("B3");
    const QString ean8 = store.item(store.save(in)).shopNumber;
    EXPECT_EQ(ean8.size(), 8);
    EXPECT_TRUE(eanValid(ean8));
    // A typed one is kept, but must be right and unused.
    in.number = QStringLiteral("B4");
    in.shopNumber = ean8;
    EXPECT_REFUSED(store.save(in), "已经是商品“碧螺春”的店内码");
    in.shopNumber = QStringLiteral("20000000000099");
    in.shopNumber.chop(1);
    EXPECT_REFUSED(store.save(in), "店内码“2000000000009”的校验位不对");
}

TEST_P(ItemsModuleTest, a_used_item_is_only_marked_removed_and_cannot_be_chosen_again) {
    ItemStore store(*conn);
    const int unused = store.save(tea("B1"));
    exec("insert into ICStockBillEntry(FInterID,FEntryID,FItemID,FQty) values(1,1,1,5)");
    EXPECT_EQ(store.remove(1), ItemStore::Removal::Marked);
    EXPECT_EQ(store.remove(unused), ItemStore::Removal::Deleted);
    EXPECT_EQ(count("select count(*) from t_ICItem where FItemID=1 and FDel=1"), 1);
    EXPECT_EQ(count("select count(*) from t_icitem_barcode where FItemID=1"), 1);
    EXPECT_EQ(count("select count(*) from t_ICItem where FItemID=3"), 0);
    EXPECT_EQ(count("select count(*) from t_icitem_barcode where FItemID=3"), 0);
    for (const char *typed : {"A1", "6901234567892", "16901234567899"})
        EXPECT_REFUSED(store.choose(QString::fromLatin1(typed)), "商品“A1 龙井”已经删除，不能再选用");
    EXPECT_FALSE(store.choose(QStringLiteral("ZZ")).has_value());
    EXPECT_REFUSED(store.save(store.item(1)), "已经删除，不能再修改");
}

TEST_P(ItemsModuleTest, groups_and_small_files_keep_their_rules) {
    ItemGroups groups(*conn);
    const int black = groups.add(QStringLiteral("0102"), QStringLiteral("红茶"), 1);
    EXPECT_REFUSED(groups.add(QStringLiteral("0101"), QStringLiteral("花茶"), 1), "类别代码“0101”已经存在");
    EXPECT_REFUSED(groups.move(1, 2), "不能把类别“茶叶”移到它自己或它的下级类别下面");
    EXPECT_REFUSED(groups.move(1, 1), "它自己");
    groups.move(black, 2);
    EXPECT_REFUSED(groups.remove(2), "下面还有类别");
    groups.move(black, 0);
    EXPECT_REFUSED(groups.remove(2), "类别“绿茶”中有 1 种商品");
    EXPECT_REFUSED(groups.remove(1), "下面还有类别");
    groups.remove(black);
    EXPECT_EQ(count("select count(*) from t_ItemGroup"), 2);

    // A new price style brings its price column, in the same save.
    FileStore styles(*conn, FileKind::PriceStyle);
    const int wholesale = styles.save({0, QStringLiteral("03"), QStringLiteral("批发价"), {}, {}, false, 0});
    EXPECT_TRUE(
        accountdb::hasColumn(*conn, QStringLiteral("t_ICItem"), accountdb::priceColumnName(wholesale)));
    ItemStore items(*conn);
    ItemInput in = tea("B1");
    in.prices[wholesale] = QStringLiteral("40");
    EXPECT_EQ(items.item(items.save(in)).prices.value(wholesale), QStringLiteral("40"));

    FileStore stores(*conn, FileKind::Stock);
    FileRow shop{0, QStringLiteral("02"), QStringLiteral("门市"), {}, {}, false, wholesale};
    const int shopId = stores.save(shop);
    stores.save({0, QStringLiteral("01"), QStringLiteral("总仓"), {}, {}, true, 0});
    EXPECT_REFUSED(stores.save({0, QStringLiteral("01"), QStringLiteral("分仓"), {}, {}, false, 0}),
                   "仓库代码“01”已经存在");
    EXPECT_REFUSED(styles.remove(wholesale), "已经用在仓库的零售价格类型中");
    QStringList order;
    for (const FileRow &r : stores.rows())
        order << r.number + (r.isVirtual ? QStringLiteral("*") : QString());
    EXPECT_EQ(order, QStringList({QStringLiteral("01*"), QStringLiteral("02")}));
    exec("insert into ICSafeStock(FStockID,FItemID,FMin) values(1,1,2)");
    EXPECT_REFUSED(stores.remove(shopId), "仓库“门市”已经用在库存上下限中");

    FileStore suppliers(*conn, FileKind::Supplier);
    const int tea1 = suppliers.save({0, QStringLiteral("S1"), QStringLiteral("茶厂"),
                                     QStringLiteral("0571-1"), QStringLiteral("杭州"), false, 0});
    EXPECT_REFUSED(suppliers.save({0, QStringLiteral(" S1 "), QStringLiteral("瓷厂"), {}, {}, false, 0}),
                   "供应商代码“S1”已经存在");
    EXPECT_REFUSED(suppliers.save({0, QStringLiteral("S2"), QString(101, QChar(u'厂')), {}, {}, false, 0}),
                   "供应商名称最长 100 个字符");
    exec("insert into t_WLBegBal(FOrgaType,FOrgaID,FAmount) values(1,1,100)");
    EXPECT_REFUSED(suppliers.remove(tea1), "期初应付");
    FileStore employees(*conn, FileKind::Employee);
    const int emp = employees.save({0, QStringLiteral("E1"), QStringLiteral("小王"), {}, {}, false, 0});
    employees.remove(emp);
    EXPECT_EQ(count("select count(*) from t_Emp"), 0);
}

TEST_P(ItemsModuleTest, two_workstations_adding_the_same_code_end_with_one_item) {
    for (int round = 0; round < 3; ++round) {
        const QString code = QStringLiteral("R%1").arg(round);
        std::atomic<int> saved{0};
        QStringList why[2];
        std::thread t[2];
        for (int w = 0; w < 2; ++w)
            t[w] = std::thread([&, w] {
                try {
                    db::Connection c(cnstr());
                    ItemInput in;
                    in.number = code;
                    in.name = QStringLiteral("工作站%1").arg(w);
                    ItemStore(c).save(in);
                    ++saved;
                } catch (const Error &e) {
                    why[w] << e.description();
                }
            });
        for (auto &x : t)
            x.join();
        EXPECT_EQ(saved.load(), 1);
        EXPECT_EQ(
            conn->scalar(QStringLiteral("select count(*) from t_ICItem where FNumber=?"), {code}).toInt(), 1);
        const QString message = (why[0] + why[1]).join(u'|');
        EXPECT_TRUE(message.contains(QStringLiteral("商品代码“%1”已经存在").arg(code)))
            << message.toStdString();
    }
}

TEST_P(ItemsModuleTest, the_item_window_finds_as_the_clerk_types_and_saves_through_its_forms) {
    auto component = components::Registry::instance().create(QStringLiteral("VnitemGy.ViewItem"));
    dialogs.queueWindow([](QDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("档案资料"));
        return QDialog::Accepted;
    });
    component->invoke(QStringLiteral("ShowItem"),
                      {QVariant::fromValue<qint16>(0), cnstr(), QVariant(), QVariant(), true, QVariant(), 1});

    frmViewItem w(cnstr(), 1);
    w.show();
    EXPECT_EQ(w.FlexItem->rows() - w.FlexItem->fixedRows(), 1); // the removed tea pot is not listed
    // A new item from the form: the first try has a bad price, the form stays open and tells why.
    dialogs.queueWindow([&](QDialog &d) {
        auto &f = static_cast<frmItemEdit &>(d);
        QTest::keyClicks(f.txtNumber, QStringLiteral("B1"));
        f.txtName->setText(QStringLiteral("碧螺春"));
        QTest::keyClicks(f.txtBarcode, QStringLiteral("6901234567885"));
        f.txtPrice.value(1)->setText(QStringLiteral("4８元"));
        f.cmdOK->click();
        EXPECT_FALSE(f.result() == QDialog::Accepted);
        f.txtPrice.value(1)->setText(QStringLiteral("48"));
        f.FlexBarcode->setTextMatrix(1, 0, QStringLiteral("96901234567883"));
        f.FlexBarcode->setTextMatrix(1, 1, QStringLiteral("会员价"));
        f.FlexBarcode->setTextMatrix(1, 2, QStringLiteral("440"));
        f.FlexBarcode->setTextMatrix(1, 3, QStringLiteral("10"));
        return f.save() ? QDialog::Accepted : QDialog::Rejected;
    });
    w.cmdNew->click();
    EXPECT_TRUE(dialogs.messages().join(u'|').contains(QStringLiteral("零售价必须是数字")));
    EXPECT_EQ(
        count("select count(*) from t_icitem_barcode where FBarCode='96901234567883' and FPriceStyleID=2"),
        1);
    EXPECT_EQ(w.FlexItem->rows() - w.FlexItem->fixedRows(), 2);

    // Typing narrows the list; a barcode of the package finds its item.
    QTest::keyClicks(w.txtFind, QStringLiteral("969012"));
    ASSERT_EQ(w.FlexItem->rows() - w.FlexItem->fixedRows(), 1);
    EXPECT_EQ(w.FlexItem->text(1, QStringLiteral("FNumber")), QStringLiteral("B1"));
    w.txtFind->clear();
    QTest::keyClicks(w.txtFind, QStringLiteral("A2"));
    QTest::keyClick(w.txtFind, Qt::Key_Return);
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("商品“A2 旧茶壶”已经删除，不能再选用。"));
    w.txtFind->clear();
    QTest::keyClicks(w.txtFind, QStringLiteral("6901234567892"));
    QTest::keyClick(w.txtFind, Qt::Key_Return);
    EXPECT_EQ(w.currentItemId(), 1);

    // The import button: bad rows are listed, and the good ones go in when the clerk says so.
    const QString csv = db().dir() + QStringLiteral("/new.csv");
    {
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("商品代码,商品名称,包装数\nC1,茶盘,1\nC2,茶巾,0\n");
    }
    w.txtFind->clear();
    dialogs.queueFile(csv);
    dialogs.queueAnswer(ui::Answer::Yes);
    w.cmdImport->click();
    EXPECT_TRUE(dialogs.entries()[dialogs.entries().size() - 2].text.contains(
        QStringLiteral("第 3 行：包装数必须大于 0。")));
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("已导入 1 行，跳过有错的 1 行。"));
    EXPECT_EQ(w.FlexItem->rows() - w.FlexItem->fixedRows(), 3);

    // The stores' page from the list on the left.
    w.lstFiles->setCurrentRow(1);
    FilePage *stores = w.pages.value(FileKind::Stock);
    dialogs.queueWindow([](QDialog &d) {
        auto &f = static_cast<frmFileEdit &>(d);
        QTest::keyClicks(f.txtNumber, QStringLiteral("01"));
        f.txtName->setText(QStringLiteral("门市"));
        f.chkVirtual->setChecked(true);
        return f.save() ? QDialog::Accepted : QDialog::Rejected;
    });
    stores->cmdNew->click();
    EXPECT_EQ(stores->Flex->rows() - stores->Flex->fixedRows(), 1);
    EXPECT_EQ(count("select count(*) from t_Stock where FNumber='01' and FVirtual=1"), 1);
}

TEST_P(ItemsModuleTest, an_import_reports_every_bad_row_and_an_export_reads_back_identically) {
    const QString csv = db().dir() + QStringLiteral("/items.csv");
    {
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\xEF\xBB\xBF商品代码,商品名称,类别代码,条形码,进价,零售价,品牌\r\n"
                "B1,\"碧螺春, 特级\",0101,6901234567885,30,48,东山\r\n"
                "B2,毛峰,0101,,三十,40,\r\n"
                "A1,重复的龙井,,,,,\r\n"
                "\r\n"
                "B3,黄山,09,,,,\r\n"
                "B1,又一个,,,,,\r\n"
                "B4,祁门红茶,,6901234567892,,,\r\n"
                "B5,滇红,,,12.5,20,\r\n");
    }
    const auto rows = components::sheet::readCsv(csv);
    ImportReport r = importItems(*conn, rows, false);
    EXPECT_EQ(r.imported, 0);
    EXPECT_EQ(r.text(), QStringLiteral("第 3 行：进价必须是数字（现在是“三十”）。\n"
                                       "第 4 行：商品代码“A1”已经存在（商品“龙井”）。\n"
                                       "第 6 行：类别代码“09”不存在。\n"
                                       "第 7 行：商品代码“B1”与第 2 行重复。\n"
                                       "第 8 行：条形码“6901234567892”已经是商品“龙井”的条形码。"));
    EXPECT_EQ(count("select count(*) from t_ICItem"), 2);
    r = importItems(*conn, rows, true);
    EXPECT_EQ(r.imported, 2);
    EXPECT_EQ(conn->scalar(QStringLiteral("select FName from t_ICItem where FNumber='B1'")).toString(),
              QStringLiteral("碧螺春, 特级"));
    EXPECT_EQ(
        count("select count(*) from t_ICItem where FNumber='B5' and FPrice_1=20 and FSjEditDate is not null"),
        1);
    EXPECT_THROW(importItems(*conn, {{QStringLiteral("商品代码"), QStringLiteral("售价")}}, true), Error);

    // Out to xlsx and in again into an empty set: the second export is the first.
    const QString xlsx = db().dir() + QStringLiteral("/items.xlsx");
    const components::sheet::Sheet first = exportItems(*conn);
    components::sheet::writeXlsx(first, xlsx);
    const QList<QStringList> back = components::sheet::readXlsx(xlsx);
    ASSERT_EQ(back.size(), first.rows.size() + 1);
    db::Connection other(db().createSibling(QStringLiteral("copy")));
    accountdb::createAccountSchema(other);
    accountdb::insertProfileDefaults(other, 2026, 12);
    other.execute(QStringLiteral(
        "insert into t_PriceStyle(FItemID,FNumber,FName) values(1,'01','零售价'),(2,'02','会员价')"));
    other.execute(
        QStringLiteral("insert into t_ItemGroup(FItemID,FNumber,FName,FParentID) values(2,'0101','绿茶',0)"));
    other.execute(
        QStringLiteral("insert into t_ItemDetail(FItemClassID,FFieldID,FFieldName,FFieldDesc,FSystem) values"
                       "(4,1,'FBrand','品牌',0),(4,2,'FShelfLife','保质期',0)"));
    EXPECT_EQ(importItems(other, back, false).text(), QString());
    const components::sheet::Sheet second = exportItems(other);
    EXPECT_EQ(second.header, first.header);
    EXPECT_EQ(second.rows, first.rows);

    // Partners the same way, each row in its own savepoint.
    const QList<QStringList> partners{
        {QStringLiteral("供应商代码"), QStringLiteral("供应商名称"), QStringLiteral("电话")},
        {QStringLiteral("S1"), QStringLiteral("茶厂"), QStringLiteral("0571")},
        {QStringLiteral("S1"), QStringLiteral("瓷厂"), {}},
        {QStringLiteral("S2"), {}, {}}};
    r = importPartners(*conn, FileKind::Supplier, partners, false);
    EXPECT_EQ(r.text(),
              QStringLiteral("第 3 行：供应商代码“S1”已经存在（茶厂）。\n第 4 行：供应商名称不能为空。"));
    EXPECT_EQ(count("select count(*) from t_Supplier"), 0);
    EXPECT_EQ(importPartners(*conn, FileKind::Supplier, partners, true).imported, 1);
    const components::sheet::Sheet out = exportPartners(*conn, FileKind::Supplier);
    EXPECT_EQ(out.rows, QList<QStringList>({{QStringLiteral("S1"), QStringLiteral("茶厂"),
                                             QStringLiteral("0571"), QString()}}));
}

TEST_P(ItemsModuleTest, further_barcodes_travel_as_column_groups_and_share_one_code_space) {
    exec("update t_ICItem set FShopNumber='2000000000015' where FItemID=1");
    const auto R = [](std::initializer_list<const char *> cells) {
        QStringList r;
        for (const char *c : cells)
            r << QString::fromUtf8(c);
        return r;
    };
    const QList<QStringList> rows{
        R({"商品代码", "商品名称", "条形码", "条形码2", "条形码2价格类型", "条形码2售价", "条形码2包装数",
           "条形码3"}),
        R({"C1", "整箱茶", "6901234567885", "16901234567882", "会员价", "90", "6", "69012341"}),
        R({"C2", "校验错", "", "6901234567880", "", "", "", ""}),
        R({"C3", "撞龙井", "", "16901234567899", "", "", "", ""}),
        R({"C4", "撞店内码", "", "2000000000015", "", "", "", ""}),
        R({"C5", "撞上一行", "", "69012341", "", "", "", ""}),
        R({"C6", "无此价", "", "6901234567908", "批发价", "", "", ""}),
        R({"C7", "空条码", "", "", "", "5", "", ""}),
        R({"C8", "店内码撞条码", "", "", "", "", "", ""})};
    QList<QStringList> withShop = rows;
    withShop[0] << QStringLiteral("店内码");
    for (int i = 1; i < withShop.size(); ++i)
        withShop[i] << (i == 8 ? QStringLiteral("6901234567892") : QString());
    const ImportReport r = importItems(*conn, withShop, false);
    EXPECT_EQ(r.text(), QStringLiteral("第 3 行：多条码“6901234567880”的校验位不对（应为 5）。\n"
                                       "第 4 行：条形码“16901234567899”已经是商品“龙井”的条形码。\n"
                                       "第 5 行：条形码“2000000000015”已经是商品“龙井”的店内码。\n"
                                       "第 6 行：条形码“69012341”与第 2 行重复。\n"
                                       "第 7 行：条形码2价格类型“批发价”不存在。\n"
                                       "第 8 行：条形码2是空的，却填了它的价格类型、售价或包装数。\n"
                                       "第 9 行：店内码“6901234567892”已经是商品“龙井”的条形码。"));
    EXPECT_EQ(count("select count(*) from t_icitem_barcode"), 1);
    EXPECT_EQ(importItems(*conn, withShop, true).imported, 1);
    EXPECT_EQ(
        count("select count(*) from t_icitem_barcode b join t_ICItem i on i.FItemID=b.FItemID where "
              "i.FNumber='C1' and ((b.FBarCode='16901234567882' and b.FPriceStyleID=2 and b.FPrice=90 and "
              "b.FExchange=6) or (b.FBarCode='69012341' and b.FPriceStyleID is null and b.FExchange=1))"),
        2);
    // The form refuses the same clash of a barcode with an in-store code.
    ItemInput in = tea("C9");
    in.barcode = QStringLiteral("2000000000015");
    EXPECT_EQ(refusal([&] { ItemStore(*conn).save(in); }),
              QStringLiteral("条形码“2000000000015”已经是商品“龙井”的店内码。"));

    // Out and in again, through csv this time: the groups come back in the order they went out.
    const components::sheet::Sheet first = exportItems(*conn);
    EXPECT_EQ(first.header.first().mid(first.header.first().size() - 8),
              QStringList({QStringLiteral("条形码2"), QStringLiteral("条形码2价格类型"),
                           QStringLiteral("条形码2售价"), QStringLiteral("条形码2包装数"),
                           QStringLiteral("条形码3"), QStringLiteral("条形码3价格类型"),
                           QStringLiteral("条形码3售价"), QStringLiteral("条形码3包装数")}));
    const QString csv = db().dir() + QStringLiteral("/bars.csv");
    components::sheet::writeCsv(first, csv);
    exec("delete from t_icitem_barcode");
    exec("delete from t_ICItem");
    EXPECT_EQ(importItems(*conn, components::sheet::readCsv(csv), false).text(), QString());
    EXPECT_EQ(exportItems(*conn).rows, first.rows);
}

ZOSTORE_BACKENDS(ItemsModuleTest);

} // namespace zostore::test
