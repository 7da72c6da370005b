// The reminder window offscreen: default page, grants, price corrections, the store chooser and set-default.
#include "ReminderFixture.h"

#include "components/Builtins.h"
#include "reminders/frmActionList.h"
#include "reminders/frmActionList_1.h"
#include "startup/LoginContext.h"
#include "startup/SettingsStore.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"

#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

using namespace zostore;
using namespace zostore::reminders;

namespace zostore::test {
namespace {

class ActionListWindowTest : public ReminderFixture {
protected:
    void SetUp() override {
        ReminderFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        conn->execute(QStringLiteral("insert into t_User(FUserID,FName) values(2,'王丽')"));
        auto &ctx = startup::loginContext();
        ctx.reset();
        ctx.setLogin(2, QStringLiteral("王丽"), cnstr(), QString(), QStringLiteral("演示帐套"));
        ui::setDialogs(&m_dialogs);
        components::registerBuiltinComponents();
        stockAndLimits();
        orders();
    }
    void TearDown() override {
        ui::setDialogs(nullptr);
        startup::loginContext().reset();
        ReminderFixture::TearDown();
    }
    void grant(const char *code) {
        conn->execute(QStringLiteral("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(2,?,1)"),
                      {QString::fromLatin1(code)});
    }
    static bool editable(ui::Grid *g, int row, const QString &key) {
        auto *m = g->gridModel();
        return m->flags(m->index(row - g->fixedRows(), g->colIndex(key))) & Qt::ItemIsEditable;
    }
    static void edit(ui::Grid *g, int row, const QString &key, const QString &text) {
        auto *m = g->gridModel();
        m->setData(m->index(row - g->fixedRows(), g->colIndex(key)), text, Qt::EditRole);
    }
    int rowOf(ui::Grid *g, const QString &number) {
        for (int r = g->fixedRows(); r < g->rows(); ++r)
            if (g->text(r, QStringLiteral("FNumber")) == number)
                return r;
        return -1;
    }

    QTemporaryDir m_settings;
    ui::ScriptedDialogs m_dialogs;
};

TEST_P(ActionListWindowTest, first_activation_opens_the_stored_page_or_page_one) {
    {
        frmActionList w;
        w.show();
        EXPECT_EQ(w.shownPage(), PurchasePriceChanged);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("每日提醒"));
        // Without grant 702 the purchase price stays hidden, also after a page setup.
        EXPECT_TRUE(w.Flex->colHidden(w.Flex->colIndex(QStringLiteral("FPurPrice"))));
        w.runTool(QStringLiteral("pageset"));
        EXPECT_TRUE(w.Flex->colHidden(w.Flex->colIndex(QStringLiteral("FPurPrice"))));

        m_dialogs.queueAnswer(ui::Answer::Yes);
        w.showPage(OverdueOrders);
        w.runTool(QStringLiteral("setdefault"));
        EXPECT_EQ(m_dialogs.last()->text, QStringLiteral("是否将“超期未到货采购订单”设置成默认提醒？"));
        EXPECT_EQ(m_dialogs.last()->icon, ui::Icon::Question);
        EXPECT_EQ(w.Flex->fixedRows(), 2);
        EXPECT_EQ(w.Flex->text(w.Flex->rows() - 1, QStringLiteral("FOrgaName")), QStringLiteral("★合计★"));
        EXPECT_TRUE(w.Flex->text(w.Flex->fixedRows(), QStringLiteral("FAmount")).isEmpty());
    }
    frmActionList again;
    again.show();
    EXPECT_EQ(again.shownPage(), OverdueOrders);
    EXPECT_FALSE(again.BtnPage[OverdueOrders]->isEnabled());
    EXPECT_TRUE(again.BtnPage[PriceBelowCost]->isEnabled());
}

TEST_P(ActionListWindowTest, only_a_user_with_grant_705_corrects_sale_prices_and_only_those) {
    {
        frmActionList w;
        w.show();
        w.showPage(PriceBelowCost);
        EXPECT_FALSE(editable(w.Flex, rowOf(w.Flex, QStringLiteral("A002")), QStringLiteral("FPrice_1")));
    }
    grant("705");
    grant("702");
    frmActionList w;
    w.show();
    w.showPage(PriceBelowCost);
    const int row = rowOf(w.Flex, QStringLiteral("A002"));
    ASSERT_GE(row, 0);
    EXPECT_FALSE(w.Flex->colHidden(w.Flex->colIndex(QStringLiteral("FPurPrice"))));
    EXPECT_TRUE(editable(w.Flex, row, QStringLiteral("FPrice_2")));
    EXPECT_FALSE(editable(w.Flex, row, QStringLiteral("FPurPrice")));
    EXPECT_FALSE(editable(w.Flex, row, QStringLiteral("FName")));

    // Exactly the purchase price turns red; above it black. Both reach the item at once.
    edit(w.Flex, row, QStringLiteral("FPrice_2"), QStringLiteral("10"));
    const int c2 = w.Flex->colIndex(QStringLiteral("FPrice_2"));
    EXPECT_EQ(w.Flex->textMatrix(row, c2), QStringLiteral("10.00"));
    EXPECT_EQ(w.Flex->cellForeColor(row, c2), QColor(255, 0, 0));
    edit(w.Flex, row, QStringLiteral("FPrice_2"), QStringLiteral("10.5"));
    EXPECT_EQ(w.Flex->cellForeColor(row, c2), QColor(0, 0, 0));
    EXPECT_EQ(conn->scalar(QStringLiteral("select FPrice_2 from t_ICItem where FItemID=2")).toDouble(), 10.5);

    // Text instead of a price: a message, the cell back as it was, the item unchanged.
    edit(w.Flex, row, QStringLiteral("FPrice_2"), QStringLiteral("十元"));
    EXPECT_EQ(w.Flex->textMatrix(row, c2), QStringLiteral("10.50"));
    EXPECT_EQ(m_dialogs.messages().last(), QStringLiteral("售价必须是不小于零的数字，未做修改。"));
    EXPECT_EQ(conn->scalar(QStringLiteral("select FPrice_2 from t_ICItem where FItemID=2")).toDouble(), 10.5);

    // Page 1 also stamps the sale-price time in its row.
    w.showPage(PurchasePriceChanged);
    const int a001 = rowOf(w.Flex, QStringLiteral("A001"));
    edit(w.Flex, a001, QStringLiteral("FPrice_1"), QStringLiteral("11"));
    EXPECT_TRUE(w.Flex->text(a001, QStringLiteral("FSjEditDate"))
                    .startsWith(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
}

TEST_P(ActionListWindowTest, the_store_chooser_picks_a_store_and_cancelling_keeps_the_grid) {
    frmActionList w;
    w.show();
    m_dialogs.queueWindow([](QDialog &d) {
        auto &c = dynamic_cast<frmActionList_1 &>(d);
        EXPECT_EQ(c.windowTitle(), QStringLiteral("请选择仓库"));
        EXPECT_EQ(c.cmbStock->itemText(0), QStringLiteral("(全部仓库)"));
        EXPECT_EQ(c.cmbStock->currentIndex(), 0);
        c.cmbStock->setCurrentIndex(c.cmbStock->findText(QStringLiteral("二店")));
        c.cmdOK->click();
        return int(QDialog::Accepted);
    });
    w.showPage(Shortage);
    EXPECT_EQ(w.stockName(), QStringLiteral("二店"));
    ASSERT_EQ(w.Flex->rows(), 3);
    EXPECT_EQ(w.Flex->text(2, QStringLiteral("FResultQty")), QStringLiteral("3"));
    EXPECT_EQ(w.Flex->textMatrix(0, w.Flex->colIndex(QStringLiteral("FStockQty"))),
              QStringLiteral("实际库存"));

    m_dialogs.queueWindow([](QDialog &d) {
        dynamic_cast<frmActionList_1 &>(d).cmdExit->click();
        return int(QDialog::Rejected);
    });
    w.showPage(Shortage);
    EXPECT_EQ(w.Flex->rows(), 3);
    EXPECT_EQ(w.stockName(), QStringLiteral("二店"));
    EXPECT_EQ(w.shownPage(), Shortage);
}

ZOSTORE_BACKENDS(ActionListWindowTest);

} // namespace
} // namespace zostore::test
