// Receipt templates: one row per store, a failed save keeps the old one, the printed widths and the window.
#include "accountdb/Schema.h"
#include "counter/ReceiptPreviewView.h"
#include "counter/ReceiptTemplateStore.h"
#include "counter/frmDefPrint.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "startup/LoginContext.h"
#include "startup/SettingsStore.h"
#include "support/TestDatabase.h"
#include "ui/ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace zostore;
using namespace zostore::counter;

namespace {

const QString Apostrophe = QStringLiteral("王府井'店");

class ReceiptTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        conn = std::make_unique<db::Connection>(cnstr());
        accountdb::createAccountSchema(*conn);
        conn->execute(QStringLiteral("insert into t_Stock(FItemID,FNumber,FName,FVirtual,FPriceStyleID) values"
                                     "(1,'01','一店',0,2),(2,'02',?,0,null)"),
                      {Apostrophe});
        for (const auto &[id, name, p1, p2] :
             {std::tuple{1, "康师傅红烧牛肉面", 4.5, 4.2}, {2, "可口可乐", 3.0, 2.8}, {3, "大米", 5.0, 4.6}})
            conn->execute(QStringLiteral("insert into t_ICItem(FItemID,FNumber,FName,FShopNumber,FPrice_1,FPrice_2) "
                                         "values(?,?,?,?,?,?)"),
                          {id, QStringLiteral("0%1").arg(id), QString::fromUtf8(name), QStringLiteral("10%1").arg(id),
                           p1, p2});
        for (const auto &[var, caption] : {std::pair{"FCashier", "$收银员$"}, {"FBillNo", "$单号$"},
                                          {"FPrice_1", "$零售价一$"}})
            conn->execute(QStringLiteral("insert into tdvariant(ftrantype,fvarname,FVarCaption) values(99,?,?)"),
                          {QString::fromLatin1(var), QString::fromUtf8(caption)});
        startup::loginContext().reset();
        startup::loginContext().setLogin(1, QStringLiteral("王丽"), cnstr(), QString(), QStringLiteral("测试帐套"));
        scope = std::make_unique<ui::DialogsScope>(dialogs);
    }
    void TearDown() override {
        scope.reset();
        conn.reset();
        BackendTest::TearDown();
    }
    int rows(const QString &store) {
        return conn->scalar(QStringLiteral("select count(*) from TDPosBill where FStockName=?"), {store}).toInt();
    }
    QString stored(const QString &column, const QString &store) {
        return conn->open(QStringLiteral("select %1 from TDPosBill where FStockName=?").arg(column), {store})
            .text(column);
    }
    // Every insert into the template table fails from now on, as a full disk would.
    void breakInserts() {
        if (isSqlite()) {
            conn->execute(QStringLiteral("create trigger no_insert before insert on TDPosBill "
                                         "begin select raise(abort, '磁盘空间不足'); end"));
        } else {
            conn->execute(QStringLiteral("create function no_insert() returns trigger language plpgsql as "
                                         "$$ begin raise exception '磁盘空间不足'; end $$"));
            conn->execute(QStringLiteral("create trigger no_insert before insert on TDPosBill "
                                         "for each row execute function no_insert()"));
        }
    }

    QTemporaryDir m_settings;
    std::unique_ptr<db::Connection> conn;
    ui::ScriptedDialogs dialogs;
    std::unique_ptr<ui::DialogsScope> scope;
};

} // namespace

TEST_P(ReceiptTest, saving_twice_leaves_one_row_and_a_failed_save_keeps_the_previous_template) {
    ReceiptTemplateStore store(*conn);
    ReceiptTemplate t = ReceiptTemplate::sample();
    t.stockName = Apostrophe;
    t.conText = QStringLiteral("老板's 店\r\n") + QString(5000, QChar(u'长')) + QStringLiteral("\r\n");
    t.itemNameLen = 20;
    t.jdRowHeight = false;
    t.cmdBeg = QStringLiteral("27,64\r\n27,97,1");
    store.save(t, QDateTime(QDate(2026, 12, 8), QTime(9, 30)));
    t.amountLen = 7;
    store.save(t, QDateTime(QDate(2026, 12, 8), QTime(9, 31)));
    EXPECT_EQ(rows(Apostrophe), 1);
    EXPECT_EQ(stored(QStringLiteral("FConText"), Apostrophe), t.conText);
    EXPECT_EQ(stored(QStringLiteral("FEditTime"), Apostrophe), QStringLiteral("2026-12-08 09:31:00"));

    const auto back = store.load(Apostrophe, ReceiptTemplate::sample());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->conText, t.conText);
    EXPECT_EQ(back->amountLen, 7);
    EXPECT_EQ(back->itemNameLen, 20);
    EXPECT_FALSE(back->jdRowHeight);
    EXPECT_EQ(back->cmdBeg, t.cmdBeg);
    EXPECT_FALSE(store.load(QStringLiteral("一店"), t).has_value());

    // Null columns leave what is shown.
    conn->execute(QStringLiteral("insert into TDPosBill(FStockName,FConText) values('一店','x')"));
    ReceiptTemplate shown = t;
    shown.barCodeLen = 13;
    const auto partial = store.load(QStringLiteral("一店"), shown);
    ASSERT_TRUE(partial.has_value());
    EXPECT_EQ(partial->conText, QStringLiteral("x"));
    EXPECT_EQ(partial->barCodeLen, 13);
    EXPECT_EQ(partial->cmdBeg, t.cmdBeg);

    breakInserts();
    ReceiptTemplate lost = t;
    lost.conText = QStringLiteral("不该留下");
    EXPECT_THROW(store.save(lost, QDateTime::currentDateTime()), Error);
    EXPECT_EQ(rows(Apostrophe), 1);
    EXPECT_EQ(stored(QStringLiteral("FConText"), Apostrophe), t.conText);
}

TEST(ReceiptRender, widths_cut_and_pad_and_lines_wider_than_the_paper_are_marked) {
    EXPECT_EQ(textColumns(QStringLiteral("中a：1")), 6);
    EXPECT_EQ(textColumns(QString::fromUcs4(U"\U00020000x")), 3);

    ReceiptTemplate t = ReceiptTemplate::sample(QStringLiteral("好邻居超市"));
    EXPECT_EQ(t.conText.count(QStringLiteral("\r\n")), 15);
    EXPECT_TRUE(t.conText.endsWith(QStringLiteral("谢谢惠顾欢迎下次光临\r\n")));
    SampleSale sale;
    sale.lines = {{QStringLiteral("康师傅红烧牛肉面"), QStringLiteral("1001"), {}, 2, 4.5, 100},
                  {QStringLiteral("可乐"), QStringLiteral("1002"), {}, 1, 123456.78, 90}};
    Receipt r = renderReceipt(t, sale, 32);
    ASSERT_EQ(r.lines.size(), 7 + 2 * 2 + 6);
    EXPECT_EQ(r.lines[7].text, QStringLiteral("康师傅红烧牛"));     // cut at 12 columns
    EXPECT_EQ(r.lines[8].text, QStringLiteral("1001     2  4.50 100  9.00"));
    EXPECT_EQ(r.lines[9].text, QStringLiteral("可乐        "));     // padded to 12
    EXPECT_EQ(r.lines[10].text, QStringLiteral("1002     1 123456.78 90 111111.10")); // numbers never cut
    EXPECT_EQ(r.lines[11].part, ReceiptPart::Footer);
    EXPECT_EQ(r.lines[11].text, QString(32, QLatin1Char('=')));
    EXPECT_EQ(r.tooWideLines(), QList<int>{11});

    // A name cut on an odd width never splits a Chinese character.
    t.itemNameLen = 5;
    EXPECT_EQ(renderReceipt(t, sale, 32).lines[7].text, QStringLiteral("康师 "));
    // Sixteen Chinese characters fill 32 columns; one more does not fit.
    t.itemNameLen = 0; // no width: printed whole
    sale.lines[0].name = QString(17, QChar(u'宽'));
    r = renderReceipt(t, sale, 32);
    EXPECT_TRUE(r.lines[7].tooWide);
    EXPECT_EQ(r.lines[7].columns, 34);
    sale.lines[0].name.chop(1);
    EXPECT_FALSE(renderReceipt(t, sale, 32).lines[7].tooWide);

    // Counts beyond the text and unknown captions.
    t.conText = QStringLiteral("$会员等级$ $单号$\r\n$商品名称$");
    t.tableHdrRows = 40;
    sale.billNo = QStringLiteral("B1");
    r = renderReceipt(t, sale, 32);
    ASSERT_EQ(r.lines.size(), 2);
    EXPECT_EQ(r.lines[0].text, QStringLiteral("$会员等级$ B1"));
    EXPECT_EQ(r.lines[1].text.trimmed(), QString()); // an item value outside the body
    EXPECT_EQ(r.unknownVariables, QStringList{QStringLiteral("会员等级")});

    EXPECT_EQ(numberValue(QStringLiteral(" 12 ")), 12);
    EXPECT_EQ(numberValue(QStringLiteral("3.6")), 4);
    for (const char *bad : {"abc", "12abc", "", "99999999999"})
        EXPECT_EQ(numberValue(QString::fromLatin1(bad)), 0) << bad;
}

TEST_P(ReceiptTest, window_loads_inserts_at_the_cursor_and_saves_what_it_shows) {
    conn->execute(QStringLiteral("insert into TDPosBill(FStockName,FConText,FHdrRows,FTableHdrRows,FBdyRows,"
                                 "FItemNameLen,FBarCodeLen,FAmountLen,FJdRowHeight) values('一店',?,0,1,1,8,4,5,0)"),
                  {QStringLiteral("一店小票\r\n$商品名称$$零售价$\r\n谢谢\r\n")});
    startup::SettingsStore::setValue(QStringLiteral("ZoStore"), QStringLiteral("Pos.Default"),
                                     QStringLiteral("PrintPort"), QStringLiteral("COM2"));
    frmDefPrint w;
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(w.cmbStock->currentText(), QStringLiteral("一店"));
    EXPECT_EQ(w.cmbPort->currentText(), QStringLiteral("COM2"));
    EXPECT_EQ(w.cmbPort->count(), 8);
    EXPECT_EQ(w.txtConText->toPlainText(), QStringLiteral("一店小票\n$商品名称$$零售价$\n谢谢\n"));
    EXPECT_FALSE(w.chkRowHeight->isChecked());
    ASSERT_EQ(w.lstVariant->count(), 2); // price variables are left out
    EXPECT_TRUE(w.lblPreviewNote->text().isEmpty()) << w.lblPreviewNote->text().toStdString();
    // The store's own price style prices the sample sale.
    EXPECT_EQ(w.preview->receipt().lines[1].text, QStringLiteral("康师傅红 4.20"));

    // Insert at the cursor: after "一店".
    QTextCursor c = w.txtConText->textCursor();
    c.setPosition(2);
    w.txtConText->setTextCursor(c);
    QTest::mouseClick(w.xpcmdbutton2, Qt::LeftButton);
    EXPECT_TRUE(w.lstVariant->isVisible());
    EXPECT_TRUE(w.lstVariant->hasFocus());
    auto *item = w.lstVariant->findItems(QStringLiteral("$收银员$"), Qt::MatchExactly).value(0);
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(w.lstVariant->viewport(), Qt::LeftButton, {}, w.lstVariant->visualItemRect(item).center());
    EXPECT_FALSE(w.lstVariant->isVisible());
    EXPECT_TRUE(w.txtConText->toPlainText().startsWith(QStringLiteral("一店$收银员$小票\n")));
    EXPECT_EQ(w.preview->receipt().lines[0].text, QStringLiteral("一店王丽小票"));
    // Turning back to the text without picking hides the list again.
    QTest::mouseClick(w.xpcmdbutton2, Qt::LeftButton);
    w.txtConText->setFocus();
    EXPECT_FALSE(w.lstVariant->isVisible());
    // With the keys, Down once past the list's end and Enter: the field goes in at the cursor and nothing
    // else, so the header and body lines stay put.
    QTest::mouseClick(w.xpcmdbutton2, Qt::LeftButton);
    QTest::keyClick(w.lstVariant, Qt::Key_Home);
    for (int i = 0; i < w.lstVariant->count(); ++i)
        QTest::keyClick(w.lstVariant, Qt::Key_Down);
    const QString field = w.lstVariant->currentItem()->text();
    QTest::keyClick(w.lstVariant, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.lstVariant->isVisible());
    EXPECT_TRUE(w.txtConText->hasFocus());
    const QString first = QStringLiteral("一店$收银员$") + field + QStringLiteral("小票\n");
    EXPECT_TRUE(w.txtConText->toPlainText().startsWith(first)) << w.txtConText->toPlainText().toStdString();
    EXPECT_EQ(w.txtConText->blockCount(), 4);
    EXPECT_EQ(w.preview->receipt().lines[1].text, QStringLiteral("康师傅红 4.20"));

    // A store without a template keeps what is shown and gets it on save; a non-number box saves 0.
    w.cmbStock->setCurrentIndex(1);
    EXPECT_TRUE(w.txtConText->toPlainText().startsWith(first));
    EXPECT_TRUE(w.lblPreviewNote->text().contains(QStringLiteral("没有设置价格类型")));
    EXPECT_EQ(w.preview->receipt().lines[1].text, QStringLiteral("康师傅红 4.50")); // retail price instead
    w.txtAmountLen->setText(QStringLiteral("五"));
    w.cmbPort->setCurrentText(QStringLiteral("c:\\1.txt"));
    QTest::mouseClick(w.xpcmdbutton1, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages().value(0), QStringLiteral("保存成功,请退出软件重新进入才会生效！"));
    EXPECT_EQ(dialogs.last()->icon, ui::Icon::Information);
    EXPECT_EQ(stored(QStringLiteral("FConText"), Apostrophe),
              QStringLiteral("一店$收银员$") + field +
                  QStringLiteral("小票\r\n$商品名称$$零售价$\r\n谢谢\r\n"));
    EXPECT_EQ(stored(QStringLiteral("FAmountLen"), Apostrophe), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("FItemNameLen"), Apostrophe), QStringLiteral("8"));
    EXPECT_EQ(rows(QStringLiteral("一店")), 1);
    EXPECT_EQ(startup::SettingsStore::value(QStringLiteral("ZoStore"), QStringLiteral("Pos.Default"),
                                            QStringLiteral("PrintPort")),
              QStringLiteral("c:\\1.txt"));

    // A failed save says why and keeps the store's template and the stored port.
    breakInserts();
    w.cmbPort->setCurrentText(QStringLiteral("LPT3"));
    w.txtConText->setPlainText(QStringLiteral("坏的"));
    QTest::mouseClick(w.xpcmdbutton1, Qt::LeftButton);
    EXPECT_TRUE(dialogs.last()->text.contains(QStringLiteral("磁盘空间不足"))) << dialogs.last()->text.toStdString();
    EXPECT_EQ(rows(Apostrophe), 1);
    EXPECT_TRUE(stored(QStringLiteral("FConText"), Apostrophe).startsWith(QStringLiteral("一店$收银员$")));
    EXPECT_EQ(startup::SettingsStore::value(QStringLiteral("ZoStore"), QStringLiteral("Pos.Default"),
                                            QStringLiteral("PrintPort")),
              QStringLiteral("c:\\1.txt"));
}

ZOSTORE_BACKENDS(ReceiptTest);
