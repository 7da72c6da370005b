// A new shop set up through the menus and windows alone, as its owner would, and the clerk it makes
// logging in to exactly the buttons he was given.
#include "ModuleTest.h"
#include "accountdb/PasswordHash.h"
#include "accountdb/SystemProfile.h"
#include "components/LoginService.h"
#include "modules/init/frmInitStock.h"
#include "modules/items/frmFileEdit.h"
#include "modules/items/frmItemEdit.h"
#include "modules/items/frmViewItem.h"
#include "modules/members/frmVipEdit.h"
#include "modules/members/frmVipMan.h"
#include "modules/users/frmUserEdit.h"
#include "modules/users/frmUserMan.h"
#include "shell/CommandDispatch.h"
#include "shell/Permissions.h"
#include "startup/LoginContext.h"
#include "startup/MainWindowLoad.h"
#include "ui/Grid.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

namespace zostore::test {

using namespace modules;

namespace {

class Host : public shell::CommandHost {
public:
    QWidget *hostWindow() override { return nullptr; }
    void userChanged() override {}
    void toggleSmallScreen() override {}
    void periodPanelClick() override {}
    void trunCate() override {}
    void upgradeProgram() override {}
    void closeMainWindow() override {}
    void showHelp() override {}
    void showBillPopup() override {}
    void setInitClosed(bool closed, const QString &caption) override {
        initClosed = closed;
        closedCaption = caption;
    }
    bool initClosed = false;
    QString closedCaption;
};

class ShopWalkTest : public ModuleTest {
protected:
    // What add-user leaves in a new set: its first manager.
    void seed() override {
        conn->execute(QStringLiteral("insert into t_User(FUserID,FName,FPassword,FManager,FDisabled) "
                                     "values(1,'店主',?,1,0)"),
                      {accountdb::hashPassword(QStringLiteral("boss123"))});
    }
    // A form filled by the script, then its OK button; the form's own answer is the result.
    template <class Form, class Fill>
    static ui::ScriptedDialogs::WindowScript form(QPushButton *Form::*ok, Fill fill) {
        return [ok, fill](QDialog &d) {
            auto &f = static_cast<Form &>(d);
            fill(f);
            (f.*ok)->click();
            return f.result();
        };
    }
    QString rows(const char *sql) {
        static const QRegularExpression decimal(QStringLiteral(R"(^-?\d+\.\d+$)"));
        QStringList out;
        for (auto rs = conn->open(QString::fromUtf8(sql)); !rs.eof(); rs.moveNext()) {
            QStringList cells;
            for (int i = 0; i < rs.fieldCount(); ++i) {
                // 10, 10.0 and 10.0000 alike on both backends; codes and barcodes as they are
                QString v = rs.value(i).toString();
                if (decimal.match(v).hasMatch())
                    v = QString::number(v.toDouble(), 'g', 15);
                cells << v;
            }
            out << cells.join(u',');
        }
        return out.join(u'|');
    }
    Host host;
    shell::CommandDispatch menu{host};
};

} // namespace

TEST_P(ShopWalkTest, an_owner_sets_up_a_new_shop_in_the_windows_and_the_clerk_sees_his_buttons) {
    // Users and rights: a clerk who may buy in.
    const QStringList granted{"181", "101", "102", "111", "112", "132"};
    dialogs.queueWindow([&](QDialog &d) {
        auto &w = static_cast<users::frmUserMan &>(d);
        w.show();
        dialogs.queueWindow([](QDialog &e) {
            auto &f = static_cast<users::frmUserEdit &>(e);
            f.txtName->insert(QStringLiteral("张敏"));
            QTest::keyClicks(f.txtPassword, QStringLiteral("zm12345"));
            QTest::keyClicks(f.txtConfirm, QStringLiteral("zm12345"));
            return int(QDialog::Accepted);
        });
        w.cmdAdd->click();
        EXPECT_NE(w.selectedUser(), 1);
        EXPECT_TRUE(w.tvwRight->isEnabled());
        for (const QString &code : granted) {
            QTreeWidgetItem *item = w.rightItem(code);
            if (!item) {
                ADD_FAILURE() << "no box for " << code.toStdString();
                continue;
            }
            for (QTreeWidgetItem *p = item->parent(); p; p = p->parent())
                p->setExpanded(true);
            w.tvwRight->setCurrentItem(item);
            QTest::keyClick(w.tvwRight, Qt::Key_Space);
        }
        EXPECT_EQ(w.tickedCodes(), QSet<QString>(granted.begin(), granted.end()));
        w.cmdSave->click();
        w.cmdClose->click();
        return w.result();
    });
    menu.RunFunction(505);

    // Item files: two price styles, a group, three items, two stores and a supplier.
    struct Item {
        const char *number, *name, *barcode, *retail, *member;
    };
    const Item items[] = {{"A01", "可乐", "6901234567007", "3.5", "3.2"},
                          {"A02", "雪碧", "6901234567014", "3.5", "3"},
                          {"A03", "矿泉水", "6901234567021", "2", "1.8"}};
    dialogs.queueWindow([&](QDialog &d) {
        auto &w = static_cast<items::frmViewItem &>(d);
        const auto file = [&](items::FileKind kind, const char *number, const char *name,
                              std::function<void(items::frmFileEdit &)> more = {}) {
            w.lstFiles->setCurrentRow(int(items::FileStore::kinds().indexOf(kind)) + 1);
            dialogs.queueWindow(form(&items::frmFileEdit::cmdOK, [=](items::frmFileEdit &f) {
                QTest::keyClicks(f.txtNumber, QString::fromLatin1(number));
                f.txtName->insert(QString::fromUtf8(name));
                if (more)
                    more(f);
            }));
            w.pages.value(kind)->cmdNew->click();
        };
        file(items::FileKind::PriceStyle, "01", "零售价");
        file(items::FileKind::PriceStyle, "02", "会员价");

        w.lstFiles->setCurrentRow(0);
        dialogs.queueInput(QStringLiteral("01"));
        dialogs.queueInput(QStringLiteral("饮料"));
        w.cmdAddGroup->click();
        for (const Item &it : items)
            dialogs.queueWindow(form(&items::frmItemEdit::cmdOK, [&](items::frmItemEdit &f) {
                EXPECT_EQ(f.txtPrice.size(), 2);
                QTest::keyClicks(f.txtNumber, QString::fromLatin1(it.number));
                f.txtName->insert(QString::fromUtf8(it.name));
                f.txtUnit->insert(QStringLiteral("瓶"));
                QTest::keyClicks(f.txtBarcode, QString::fromLatin1(it.barcode));
                QTest::keyClicks(f.txtPurPrice, QStringLiteral("1.5"));
                QTest::keyClicks(f.txtPrice.first(), QString::fromLatin1(it.retail));
                QTest::keyClicks(f.txtPrice.last(), QString::fromLatin1(it.member));
            }));
        for (int i = 0; i < 3; ++i)
            w.cmdNew->click();
        EXPECT_EQ(w.FlexItem->rows() - w.FlexItem->fixedRows(), 3);

        const auto retail = [](items::frmFileEdit &f) {
            f.cmbPriceStyle->setCurrentIndex(f.cmbPriceStyle->findText(QStringLiteral("零售价")));
        };
        file(items::FileKind::Stock, "01", "门市", retail);
        file(items::FileKind::Stock, "02", "仓库", retail);
        file(items::FileKind::Supplier, "S01", "饮料批发部",
             [](items::frmFileEdit &f) { QTest::keyClicks(f.txtPhone, QStringLiteral("0571-8800")); });
        w.cmdClose->click();
        return w.result();
    });
    menu.RunFunction(501);

    // Members.
    dialogs.queueWindow([&](QDialog &d) {
        auto &w = static_cast<members::frmVipMan &>(d);
        dialogs.queueWindow(form(&members::frmVipEdit::cmdSave, [](members::frmVipEdit &f) {
            QTest::keyClicks(f.txtCardNo, QStringLiteral("880001"));
            f.txtOwner->insert(QStringLiteral("王芳"));
            QTest::keyClicks(f.txtPhone, QStringLiteral("13900002222"));
            QTest::keyClicks(f.txtBirthDate, QStringLiteral("1990-05-20"));
        }));
        w.cmdAdd->click();
        EXPECT_EQ(w.shownCount(), 1);
        w.cmdClose->click();
        return w.result();
    });
    menu.RunFunction(204);

    // Opening stock in both stores, typed into the grid, then initialisation closed from the menu.
    dialogs.queueWindow([&](QDialog &d) {
        auto &w = static_cast<init::frmInitStock &>(d);
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        ui::Grid *g = w.Flex;
        EXPECT_EQ(w.cmbStock->count(), 2);
        EXPECT_EQ(g->rows() - g->fixedRows(), 3);
        const auto type = [&](int row, const char *key, const char *text) {
            g->setFocus();
            g->setCurrentIndex(g->model()->index(row, g->colIndex(QString::fromLatin1(key))));
            QTest::keyClick(g, Qt::Key_F2);
            QWidget *editor = QApplication::focusWidget();
            ASSERT_TRUE(editor && editor != g) << "no editor opened";
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor, QString::fromUtf8(text));
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents(); // the delegate commits on a queued call
        };
        type(0, "FQty", "10");
        type(0, "FPrice", "2.5");
        type(1, "FQty", "4");
        type(1, "FAmount", "10");
        type(2, "FQty", "6");
        type(2, "FAmount", "18");
        w.cmdSave->click();
        w.cmbStock->setCurrentIndex(1);
        type(0, "FQty", "20");
        type(0, "FAmount", "50");
        w.cmdSave->click();
        w.cmdClose->click();
        return w.result();
    });
    menu.DispatchTool(QStringLiteral("MnuInitStock"));
    dialogs.queueAnswer(ui::Answer::Yes);
    menu.DispatchTool(QStringLiteral("MnuCloseInit"));
    EXPECT_TRUE(host.initClosed);
    EXPECT_EQ(host.closedCaption, QStringLiteral("返回初始化"));
    EXPECT_EQ(dialogs.messages(),
              (QStringList{QStringLiteral("期初库存已保存。"), QStringLiteral("期初库存已保存。"),
                           QStringLiteral("初始化已结束。")}));

    // The books.
    EXPECT_EQ(
        rows("select u.FName,u.FManager,g.FSubSystemID from t_User u join t_Grant g on g.FUserID=u.FUserID "
             "where g.FGrant=1 order by g.FSubSystemID"),
        QStringLiteral("张敏,0,101|张敏,0,102|张敏,0,111|张敏,0,112|张敏,0,132|张敏,0,181"));
    EXPECT_EQ(
        rows("select i.FNumber,i.FName,i.FUnit,i.FBar_Code,i.FPrice_1,i.FPrice_2,g.FName from t_ICItem i "
             "join t_ItemGroup g on g.FItemID=i.FParentID where i.FDel=0 order by i.FNumber"),
        QStringLiteral("A01,可乐,瓶,6901234567007,3.5,3.2,饮料|A02,雪碧,瓶,6901234567014,3.5,3,饮料|"
                       "A03,矿泉水,瓶,6901234567021,2,1.8,饮料"));
    EXPECT_EQ(rows("select FNumber,FName from t_PriceStyle order by FNumber"),
              QStringLiteral("01,零售价|02,会员价"));
    EXPECT_EQ(rows("select s.FNumber,s.FName,p.FName from t_Stock s join t_PriceStyle p on "
                   "p.FItemID=s.FPriceStyleID "
                   "order by s.FNumber"),
              QStringLiteral("01,门市,零售价|02,仓库,零售价"));
    EXPECT_EQ(rows("select FNumber,FName,FPhone from t_Supplier"),
              QStringLiteral("S01,饮料批发部,0571-8800"));
    EXPECT_EQ(rows("select FCardNo,FOwner,FPhone from Vip"), QStringLiteral("880001,王芳,13900002222"));
    EXPECT_EQ(
        rows("select i.FNumber,s.FNumber,b.FBegQty,b.FBegBal from icstockbal b join t_ICItem i on "
             "i.FItemID=b.FItemID join t_Stock s on s.FItemID=b.FStockID where b.FYear=2026 and b.FPeriod=12 "
             "order by i.FNumber,s.FNumber"),
        QStringLiteral("A01,01,10,25|A01,02,20,50|A02,01,4,10|A03,01,6,18"));
    EXPECT_EQ(
        rows("select i.FNumber,s.FNumber,v.FQty from ICInventory v join t_ICItem i on i.FItemID=v.FItemID "
             "join t_Stock s on s.FItemID=v.FStockID order by i.FNumber,s.FNumber"),
        QStringLiteral("A01,01,10|A01,02,20|A02,01,4|A03,01,6"));
    EXPECT_EQ(rows("select i.FNumber,b.FBegQty,b.FBegBal from icbal b join t_ICItem i on i.FItemID=b.FItemID "
                   "order by i.FNumber"),
              QStringLiteral("A01,30,75|A02,4,10|A03,6,18"));
    EXPECT_EQ(accountdb::readProfile(*conn, QStringLiteral("Closed")), QStringLiteral("1"));

    // The clerk logs in, and the main window's own reading of his grants shows the purchase module only.
    const auto clerk =
        components::LoginService::authenticate(cnstr(), QStringLiteral("张敏"), QStringLiteral("zm12345"));
    ASSERT_TRUE(clerk.has_value());
    auto &ctx = startup::loginContext();
    ctx.setLogin(clerk->id, clerk->name, cnstr(), QString(), QStringLiteral("测试"));
    startup::MainWindowState state;
    startup::MainWindowLoad load(state);
    load.readManagerFlag();
    load.readProfile();
    EXPECT_FALSE(ctx.isManager());
    EXPECT_TRUE(state.initClosed);
    const shell::Permissions p(ctx.cnstr(), ctx.userId(), ctx.isManager());
    EXPECT_EQ(p.moduleImages(), (std::array<bool, 5>{true, false, false, false, true}));
    // Purchase orders, receipts and returns; payments, other payables, settling and freight not.
    EXPECT_EQ(p.moduleButtons(1), (std::array<bool, 9>{true, true, false, true, false, false}));
    // The basic-files module is everyone's, its price and parameter buttons are not his.
    EXPECT_EQ(p.moduleButtons(5), (std::array<bool, 9>{true, true, false, false, false}));
    const shell::SystemMenuState m =
        p.systemMenu(ctx.currentYear(), ctx.currentPeriod(), ctx.startYear(), ctx.startPeriod());
    EXPECT_EQ(m.tools, (std::array<bool, 10>{}));
    EXPECT_FALSE(m.mnuInit);
    // The users window is not his either.
    dialogs.clear();
    menu.RunFunction(505);
    EXPECT_EQ(dialogs.entries().size(), 1);
    EXPECT_EQ(count("select count(*) from t_User"), 2);
}

ZOSTORE_BACKENDS(ShopWalkTest);

} // namespace zostore::test
