// The safety-stock editor offscreen: every item with showall, a limit typed in place, the stock column
// refused.
#include "StockFixture.h"

#include "components/Builtins.h"
#include "startup/LoginContext.h"
#include "stocklimit/frmSetSafeStock.h"
#include "ui/ActBar.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"

#include <QAction>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>

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

ZOSTORE_BACKENDS(SafeStockWindowTest);

} // namespace zostore::test
