// The safety-stock editor offscreen: every item with showall, a limit typed in place, the stock column
// refused.
#include "StockFixture.h"

#include "components/Builtins.h"
#include "components/items/ItemFilter.h"
#include "components/items/ItemGroupTree.h"
#include "startup/LoginContext.h"
#include "stocklimit/frmSetSafeStock.h"
#include "ui/ActBar.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace zostore::test {

class SafeStockWindowTest : public StockFixture {
protected:
    void SetUp() override {
        StockFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
        components::registerBuiltinComponents();
        startup::loginContext().reset();
        startup::loginContext().setLogin(1, QStringLiteral("管理员"), cnstr(), QString(),
                                         QStringLiteral("测试"));
        startup::loginContext().setIsManager(true);
        scope = std::make_unique<ui::DialogsScope>(dialogs);
        bill(1, at(5), 22, 1, {{1, 7}});
    }
    void TearDown() override {
        scope.reset();
        startup::loginContext().reset();
        StockFixture::TearDown();
    }
    QTemporaryDir settings;
    ui::ScriptedDialogs dialogs;
    std::unique_ptr<ui::DialogsScope> scope;
};

TEST_P(SafeStockWindowTest, showall_lists_every_item_and_edits_store_at_once_but_never_the_stock) {
    stocklimit::frmSetSafeStock w;
    w.show();
    w.actBar->tool(QStringLiteral("tools"), QStringLiteral("showall"))->setChecked(true);
    w.runTool(QStringLiteral("showall"));
    ui::Grid *g = w.Flex;
    // Five live items, two header rows; the virtual store has no columns.
    EXPECT_EQ(g->rows() - g->fixedRows(), 5);
    EXPECT_EQ(w.lblCount->text(), QStringLiteral("总行数：5"));
    EXPECT_LT(g->colIndex(QStringLiteral("F_3.Min")), 0);
    const int row = g->fixedRows(); // A001
    ASSERT_EQ(g->text(row, QStringLiteral("FNumber")), QStringLiteral("A001"));
    EXPECT_EQ(g->text(row, QStringLiteral("F_1.Qty")), QStringLiteral("-7"));

    auto *m = g->gridModel();
    m->setData(m->index(0, g->colIndex(QStringLiteral("F_2.Max"))), QStringLiteral("12"), Qt::EditRole);
    EXPECT_EQ(store(2, 1), limits(0, 12, 0));

    const QModelIndex qty = m->index(0, g->colIndex(QStringLiteral("F_1.Qty")));
    EXPECT_FALSE(m->flags(qty) & Qt::ItemIsEditable);
    g->edit(qty);
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("现有库存由单据计算得出，不能直接修改！"));
    // Painting asks the same question of every cell: it must not raise the message again.
    const qsizetype shown = dialogs.messages().size();
    g->grab();
    EXPECT_EQ(dialogs.messages().size(), shown);
}

TEST_P(SafeStockWindowTest,
       showall_after_a_group_lists_every_item_and_a_filter_holds_until_a_group_is_chosen) {
    conn->execute(
        QStringLiteral("insert into t_ItemGroup(FItemID,FNumber,FName,FParentID) values(10,'01','饮料',0)"));
    conn->execute(QStringLiteral("update t_ICItem set FParentID=10 where FItemID in (1,2)"));
    stocklimit::frmSetSafeStock w;
    w.show();
    const auto listed = [&w] {
        QStringList codes;
        for (int r = w.Flex->fixedRows(); r < w.Flex->rows(); ++r)
            codes << w.Flex->text(r, QStringLiteral("FNumber"));
        return codes.join(QLatin1Char(' ')).toStdString();
    };
    const std::string everyItem = "A001 A002 B001 zz1 甲'1";
    QAction *all = w.actBar->tool(QStringLiteral("tools"), QStringLiteral("showall"));
    QTreeView *tree = w.ItemGroup->view();
    QTest::keyClick(tree, Qt::Key_Down); // from 全部商品 to the group
    EXPECT_EQ(listed(), "A001 A002");
    all->trigger();
    ASSERT_TRUE(all->isChecked());
    EXPECT_EQ(listed(), everyItem);
    EXPECT_EQ(w.lblCount->text(), QStringLiteral("总行数：5"));
    all->trigger();
    EXPECT_EQ(listed(), "A001 A002");

    dialogs.queueWindow([](QDialog &d) {
        auto &f = dynamic_cast<components::items::ItemFilterDialog &>(d);
        f.optContain->setChecked(true);
        f.txtContain->setText(QStringLiteral("B0"));
        return int(QDialog::Accepted);
    });
    w.runTool(QStringLiteral("filter"));
    EXPECT_EQ(listed(), "B001");
    all->trigger();
    EXPECT_EQ(listed(), "B001");
    QTest::keyClick(tree, Qt::Key_Up); // a group chosen again ends the filter
    EXPECT_EQ(listed(), everyItem);
}

ZOSTORE_BACKENDS(SafeStockWindowTest);

} // namespace zostore::test
