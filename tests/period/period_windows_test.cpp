// The month-end and cost windows driven offscreen with scripted answers.
#include "PeriodFixture.h"

#include "components/Builtins.h"
#include "components/printer/PrintComponent.h"
#include "period/frmCacuCost.h"
#include "period/frmClosePeriod.h"
#include "app/WindowRegistrations.h"
#include "shell/WindowTable.h"
#include "startup/FormServices.h"
#include "startup/LoginContext.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"
#include "ui/StatusBar.h"

#include <QCheckBox>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTabWidget>

using namespace zostore;
using namespace zostore::test;

namespace {

class PeriodWindowsTest : public PeriodFixture {
protected:
    void SetUp() override {
        PeriodFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        components::registerBuiltinComponents();
        startup::resetFormComponents();
        auto &ctx = startup::loginContext();
        ctx.reset();
        ctx.setLogin(7, QStringLiteral("王'小明"), cnstr(), QString(), QStringLiteral("演示帐套"));
        ctx.setIsManager(true);
        ctx.setCurrentPeriod(2024, 1);
        ctx.setStartPeriod(2023, 1);
        m_status.addPanel(QStringLiteral("handletip"));
        m_status.addPanel(QStringLiteral("currentperiod"), QStringLiteral("当前月份：2024年1月"));
        addItem(1, QStringLiteral("001"), QStringLiteral("奶粉'金装"));
        addItem(2, QStringLiteral("002"));
        conn().execute(QStringLiteral("update t_ICItem set FBrand='雀巢' where FItemID=1"));
        conn().execute(QStringLiteral("insert into t_ItemDetail (FItemClassID,FFieldID,FFieldName,FFieldDesc,FSystem) "
                                      "values (4,1,'FBrand','品牌',0),(4,2,'FOrigin','产地',1)"));
        addBalance(1, 2024, 1, 10, 100);
        addBill(1, 12, QDate(2024, 1, 2), {{1, 5, 12, 60}, {2, 3}});
        addBill(2, 22, QDate(2024, 1, 3), {{1, 4, 20, 80}});
        addBill(3, 25, QDate(2024, 1, 4), {{1, 4}});
        addBill(4, 99, QDate(2024, 1, 5), {{1, 1, 20, 20}});
    }
    void TearDown() override {
        startup::loginContext().reset();
        startup::resetFormComponents();
        PeriodFixture::TearDown();
    }
    ui::ScriptedDialogs m_dialogs;
    ui::StatusBar m_status;
};

TEST_P(PeriodWindowsTest, closing_asks_about_missing_costs_and_moves_the_month) {
    ui::DialogsScope scope(m_dialogs);
    setProfile(QStringLiteral("GenLimitStockWhenClosePeriod"), QStringLiteral("0"));
    const auto before = dumpAll();
    {
        period::frmClosePeriod w(nullptr, &m_status);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("月末结账"));
        EXPECT_TRUE(w.chkAutoBill->isChecked());
        EXPECT_FALSE(w.chkAutoStockLimit->isChecked());
        EXPECT_EQ(w.cmdStart->text(), QStringLiteral("开始结账"));
        EXPECT_EQ(w.cmdReClose->text(), QStringLiteral("开始反结账"));
        EXPECT_EQ(w.Command1->text(), QStringLiteral("重算成本"));
        EXPECT_EQ(w.cmdCancel->text(), QStringLiteral("取消(&C)"));

        m_dialogs.queueAnswer(ui::Answer::No);
        w.cmdStart->click();
        ASSERT_EQ(m_dialogs.entries().size(), 1);
        EXPECT_EQ(m_dialogs.entries()[0].kind, ui::ScriptedDialogs::Kind::Question);
        EXPECT_TRUE(m_dialogs.entries()[0].text.startsWith(QStringLiteral("注意，本期存在销售成本无法计算的商品")));
        EXPECT_EQ(m_dialogs.entries()[0].icon, ui::Icon::Question);
        EXPECT_EQ(w.result(), QDialog::Rejected);
        EXPECT_EQ(startup::loginContext().currentPeriod(), 1);
        EXPECT_EQ(dumpAll(), before);

        m_dialogs.clear();
        m_dialogs.queueAnswer(ui::Answer::Yes);
        w.cmdStart->click();
        EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("操作成功！")});
        EXPECT_EQ(w.result(), QDialog::Accepted);
    }
    EXPECT_EQ(startup::loginContext().currentYear(), 2024);
    EXPECT_EQ(startup::loginContext().currentPeriod(), 2);
    EXPECT_EQ(m_status.panelText(QStringLiteral("currentperiod")), QStringLiteral("当前月份：2024年2月"));
    EXPECT_EQ(m_status.panelText(QStringLiteral("handletip")), QString());
    // biller of the automatic bill is the logged-in user: item 2 was received without amount, so none here
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from icbal where FYear=2024 and FPeriod=2")).toInt(), 2);

    m_dialogs.clear();
    {
        period::frmClosePeriod w(nullptr, &m_status);
        w.cmdReClose->click();
        EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("操作成功！")});
    }
    EXPECT_EQ(startup::loginContext().currentPeriod(), 1);
    EXPECT_EQ(m_status.panelText(QStringLiteral("currentperiod")), QStringLiteral("当前月份：2024年1月"));
    EXPECT_EQ(dumpAll(), before);

    // the start month cannot be reopened: the error is shown and the month stays
    setCurrent(2024, 1, 2024, 1);
    m_dialogs.clear();
    {
        period::frmClosePeriod w(nullptr, &m_status);
        w.cmdReClose->click();
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_TRUE(m_dialogs.messages()[0].contains(QStringLiteral("不能反结账")));
        EXPECT_EQ(m_dialogs.last()->icon, ui::Icon::Information);
        EXPECT_EQ(w.result(), QDialog::Rejected);
    }
    EXPECT_EQ(startup::loginContext().currentPeriod(), 1);
    EXPECT_EQ(m_status.panelText(QStringLiteral("handletip")), QString());
}

TEST_P(PeriodWindowsTest, december_closes_into_january_with_stock_limits_regenerated) {
    ui::DialogsScope scope(m_dialogs);
    conn().execute(QStringLiteral("update ICStockBillEntry set FUnitCost=1"));
    conn().execute(QStringLiteral("update ICStockBill set FYear=2024, FPeriod=12, FDate=?"),
                   {QDateTime(QDate(2024, 12, 20), QTime(0, 0))});
    conn().execute(QStringLiteral("update icbal set FPeriod=12"));
    setCurrent(2024, 12);
    startup::loginContext().setCurrentPeriod(2024, 12);
    setProfile(QStringLiteral("GenLimitStockWhenClosePeriod"), QStringLiteral("1"));
    setProfile(QStringLiteral("MaxStock"), QStringLiteral("2"));
    setProfile(QStringLiteral("StockLimitDays"), QStringLiteral("30"));
    period::frmClosePeriod w(nullptr, &m_status);
    EXPECT_TRUE(w.chkAutoStockLimit->isChecked());
    w.cmdStart->click();
    EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("操作成功！")});
    EXPECT_EQ(startup::loginContext().currentYear(), 2025);
    EXPECT_EQ(startup::loginContext().currentPeriod(), 1);
    // 4 sold on 20 December, within the 30 days before the 31st
    EXPECT_DOUBLE_EQ(conn().scalar(QStringLiteral("select FMaxStock from t_ICItem where FItemID=1")).toDouble(), 8);
}

TEST_P(PeriodWindowsTest, cost_window_grids_edit_rule_and_calculation) {
    ui::DialogsScope scope(m_dialogs);
    setProfile(QStringLiteral("CostStyle"), QStringLiteral("1"));
    period::frmCacuCost w(nullptr, &m_status);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("商品成本表"));
    EXPECT_FALSE(w.SSTab1->isTabEnabled(0));
    EXPECT_EQ(w.SSTab1->tabText(2), QStringLiteral("无法计算成本单据清单"));
    ui::Grid *g2 = w.Flex[2];
    EXPECT_EQ(g2->rows(), 1); // empty until refreshed
    EXPECT_EQ(g2->textMatrix(0, 6), QStringLiteral("品牌"));
    EXPECT_EQ(g2->colKey(6), QStringLiteral("FBrand"));
    EXPECT_TRUE(g2->colHidden(g2->cols() - 1));
    EXPECT_TRUE(g2->colHidden(g2->cols() - 2));

    w.SSTab1->setCurrentIndex(2);
    ASSERT_EQ(g2->rows(), 4);
    EXPECT_EQ(g2->text(1, QStringLiteral("FTranType")), QStringLiteral("销售出库单"));
    EXPECT_EQ(g2->text(1, QStringLiteral("FName")), QStringLiteral("奶粉'金装"));
    EXPECT_EQ(g2->text(1, QStringLiteral("FBrand")), QStringLiteral("雀巢"));
    EXPECT_EQ(g2->text(1, QStringLiteral("FPrice")), QStringLiteral("20.00"));
    EXPECT_EQ(g2->text(3, QStringLiteral("FTranType")), QString()); // counter sale

    // only the unit cost can be edited
    auto *model = g2->gridModel();
    const int unitCost = g2->colIndex(QStringLiteral("FUnitCost"));
    for (int c = 0; c < g2->cols(); ++c)
        EXPECT_EQ(bool(model->flags(model->index(0, c)) & Qt::ItemIsEditable), c == unitCost) << c;
    for (int i = 0; i < 2; ++i)
        EXPECT_FALSE(model->flags(w.Flex[i]->gridModel()->index(0, 0)) & Qt::ItemIsEditable);

    // 12.5 typed into the other issue: cost and price follow; into the sale: the price stays
    ASSERT_TRUE(model->setData(model->index(1, unitCost), QStringLiteral("12.5"), Qt::EditRole));
    EXPECT_EQ(g2->text(2, QStringLiteral("FCost")), QStringLiteral("50.00"));
    EXPECT_DOUBLE_EQ(entryField(3, 1, QStringLiteral("FPrice")), 12.5);
    ASSERT_TRUE(model->setData(model->index(0, unitCost), QStringLiteral("300"), Qt::EditRole));
    EXPECT_EQ(g2->text(1, QStringLiteral("FCost")), QStringLiteral("1,200.00"));
    EXPECT_DOUBLE_EQ(entryField(2, 1, QStringLiteral("FCost")), 1200);
    EXPECT_DOUBLE_EQ(entryField(2, 1, QStringLiteral("FPrice")), 20);

    // No, or Enter on the default, changes nothing
    const auto before = dumpAll();
    m_dialogs.clear();
    w.runTool(QStringLiteral("cacu"));
    EXPECT_EQ(m_dialogs.entries().size(), 1);
    EXPECT_EQ(m_dialogs.last()->text, QStringLiteral("是否现在重新计算成本？"));
    EXPECT_EQ(m_dialogs.last()->defaultButton, ui::Answer::No);
    EXPECT_EQ(dumpAll(), before);

    m_dialogs.queueAnswer(ui::Answer::Yes);
    w.runTool(QStringLiteral("cacu"));
    EXPECT_EQ(m_dialogs.last()->text, QStringLiteral("计算成本完成！"));
    EXPECT_DOUBLE_EQ(entryField(2, 1, QStringLiteral("FUnitCost")), 12);
    EXPECT_EQ(w.Flex[0]->rows(), 3);
    w.runTool(QStringLiteral("refresh"));
    EXPECT_EQ(g2->rows(), 1);
}

TEST_P(PeriodWindowsTest, price_style_without_name_warns_and_prints_reach_paper) {
    ui::DialogsScope scope(m_dialogs);
    setProfile(QStringLiteral("CostStyle"), QStringLiteral("3"));
    period::frmCacuCost w(nullptr, &m_status);
    const auto before = dumpAll();
    m_dialogs.queueAnswer(ui::Answer::Yes);
    w.runTool(QStringLiteral("cacu"));
    EXPECT_EQ(m_dialogs.last()->text, QStringLiteral("请先到参数设置中设置成本计价方式！"));
    EXPECT_EQ(m_dialogs.last()->icon, ui::Icon::Warning);
    EXPECT_EQ(dumpAll(), before);

    for (int i = 3; i <= 120; ++i)
        addItem(i, QStringLiteral("%1").arg(i, 3, 10, QChar(u'0')));
    w.SSTab1->setCurrentIndex(0);
    w.runTool(QStringLiteral("refresh"));
    ASSERT_EQ(w.Flex[0]->rows(), 121);
    const QString pdf = db().dir() + QStringLiteral("/商品成本表.pdf");
    m_dialogs.queueFile(pdf);
    components::PrintComponent printer;
    printer.DoPrint(true, cnstr(), QStringLiteral("frmCacuCost.1"), w.SSTab1->tabText(0), {}, w.Flex[0]);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(4).startsWith("%PDF"));
    EXPECT_GE(printer.pageCount(), 2);

    int previewPages = 0;
    m_dialogs.queueWindow([&](QDialog &d) {
        auto *preview = d.findChild<QPrintPreviewWidget *>();
        preview->updatePreview();
        previewPages = preview->pageCount();
        return int(QDialog::Accepted);
    });
    w.runTool(QStringLiteral("preview"));
    EXPECT_EQ(previewPages, printer.pageCount());
    EXPECT_EQ(m_dialogs.last()->kind, ui::ScriptedDialogs::Kind::Exec);
}

TEST_P(PeriodWindowsTest, window_table_opens_both_windows) {
    ui::DialogsScope scope(m_dialogs);
    app::registerSubsystemWindows();
    QString opened;
    m_dialogs.queueWindow([&](QDialog &d) {
        opened = d.objectName();
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(shell::windowTable().open(shell::windows::ClosePeriod, nullptr, shell::WindowMode::Modal),
              int(QDialog::Rejected));
    EXPECT_EQ(opened, QStringLiteral("frmClosePeriod"));
    EXPECT_TRUE(shell::windowTable().isInstalled(QStringLiteral("frmCacuCost")));

    // the cost button closes the month-end window and leaves the cost window open beside the main window
    QWidget host;
    auto *w = new period::frmClosePeriod(&host, &m_status);
    w->Command1->click();
    EXPECT_EQ(w->result(), QDialog::Rejected);
    auto *cost = host.findChild<period::frmCacuCost *>();
    ASSERT_NE(cost, nullptr);
    EXPECT_TRUE(cost->isVisible());
    delete w;
}

ZOSTORE_BACKENDS(PeriodWindowsTest);

} // namespace
