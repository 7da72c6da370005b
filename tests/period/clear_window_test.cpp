// The clearing window offscreen with scripted answers: its opening state, refusals and the call it makes.
#include "PeriodFixture.h"

#include "app/WindowRegistrations.h"
#include "db/Procedure.h"
#include "period/PeriodProcedures.h"
#include "period/frmClearData.h"
#include "shell/WindowTable.h"
#include "startup/LoginContext.h"
#include "startup/SettingsStore.h"
#include "ui/ScriptedDialogs.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>

using namespace zostore;
using namespace zostore::test;

namespace {

class ClearWindowTest : public PeriodFixture {
protected:
    void SetUp() override {
        PeriodFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        auto &ctx = startup::loginContext();
        ctx.reset();
        ctx.setLogin(7, QStringLiteral("店长"), cnstr(), QString(), QStringLiteral("演示帐套"));
        ctx.setIsManager(true);
        ctx.setCurrentPeriod(2024, 1);
        addItem(1, QStringLiteral("001"));
        addBill(1, 12, QDate(2024, 1, 2), {{1, 5, 12, 60, 12, 60}});
        addBill(2, 22, QDate(2024, 1, 20), {{1, 1, 20, 20, 12, 12}});
    }
    void TearDown() override {
        startup::loginContext().reset();
        period::registerPeriodProcedures();
        PeriodFixture::TearDown();
    }
    // Replaces the procedure with one that records what it receives.
    QStringList &spyOnProcedure() {
        db::ProcedureRegistry::instance().add(
            {QStringLiteral("sp_ClsData_1"),
             db::ProcedureRegistry::instance().find(QStringLiteral("sp_ClsData_1"))->params,
             [this](db::Connection &, const db::ProcArgs &args) {
                 for (const auto &[param, value] : args.items())
                     m_received << param.name + u'=' + value.toString();
                 return db::Recordset();
             },
             true});
        return m_received;
    }
    QTemporaryDir m_settings;
    QStringList m_received;
    ui::ScriptedDialogs m_dialogs;
};

TEST_P(ClearWindowTest, opens_on_tomorrow_with_stored_options_and_sends_them_in_order) {
    ui::DialogsScope scope(m_dialogs);
    const QStringList &received = spyOnProcedure();
    {
        period::frmClearData w(nullptr, QDate(2024, 1, 15));
        EXPECT_EQ(w.windowTitle(), QStringLiteral("清除历史数据"));
        EXPECT_EQ(w.dtpDate->date(), QDate(2024, 1, 16));
        EXPECT_EQ(w.lblRemark->text(), QStringLiteral("(不含2024-01-16)"));
        EXPECT_TRUE(w.Check1->isChecked() && w.Check2->isChecked() && w.chkClearOrder->isChecked());
        EXPECT_FALSE(w.chkInit->isChecked() || w.chkDelItem->isChecked());
        EXPECT_TRUE(w.Check1->isEnabled());

        m_dialogs.queueAnswer(ui::Answer::No);
        w.cmdOk->click();
        EXPECT_TRUE(received.isEmpty());
        ASSERT_EQ(m_dialogs.entries().size(), 1);
        EXPECT_EQ(m_dialogs.entries()[0].text, QStringLiteral("清除数据之前最好先备份帐套，是否现在清除数据？"));
        EXPECT_EQ(m_dialogs.entries()[0].icon, ui::Icon::Question);
        EXPECT_EQ(m_dialogs.entries()[0].defaultButton, ui::Answer::No);

        m_dialogs.clear();
        m_dialogs.queueAnswer(ui::Answer::Yes);
        w.cmdOk->click();
        EXPECT_EQ(received, (QStringList{QStringLiteral("@RemainStock=1"), QStringLiteral("@RemainWL=1"),
                                         QStringLiteral("@Reinit=0"),
                                         QStringLiteral("@RemainDate=2024-01-16T00:00:00.000"),
                                         QStringLiteral("@DelItem=0"), QStringLiteral("@DelCplOrder=1")}));
        EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("删除数据成功！")});
        EXPECT_EQ(w.result(), QDialog::Accepted);
    }

    // clearing a box is stored at once; a clerk then sees it and cannot change it
    {
        period::frmClearData w(nullptr, QDate(2024, 1, 15));
        w.Check2->setChecked(false);
    }
    EXPECT_EQ(startup::SettingsStore::value(QStringLiteral("ZoStore"), QStringLiteral("ClearData"),
                                            QStringLiteral("RemainWL")),
              QStringLiteral("0"));
    startup::loginContext().setIsManager(false);
    period::frmClearData clerk(nullptr, QDate(2024, 1, 15));
    EXPECT_TRUE(clerk.Check1->isChecked());
    EXPECT_FALSE(clerk.Check2->isChecked());
    EXPECT_FALSE(clerk.Check1->isEnabled() || clerk.Check2->isEnabled());
}

TEST_P(ClearWindowTest, a_day_of_another_month_is_refused_before_the_question) {
    ui::DialogsScope scope(m_dialogs);
    const QStringList &received = spyOnProcedure();
    // on the month's last day tomorrow is next month
    period::frmClearData w(nullptr, QDate(2024, 1, 31));
    EXPECT_EQ(w.dtpDate->date(), QDate(2024, 2, 1));
    w.cmdOk->click();
    EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("清除截止日期必须在当前期间“2024年1月范围内")});
    EXPECT_EQ(m_dialogs.last()->icon, ui::Icon::Information);
    EXPECT_TRUE(received.isEmpty());
    EXPECT_EQ(w.result(), QDialog::Rejected);

    w.dtpDate->setDate(QDate(2024, 1, 31));
    EXPECT_EQ(w.lblRemark->text(), QStringLiteral("(不含2024-01-31)"));
    m_dialogs.clear();
    m_dialogs.queueAnswer(ui::Answer::Yes);
    w.cmdOk->click();
    EXPECT_EQ(received.size(), 6);
}

TEST_P(ClearWindowTest, backs_up_then_clears_for_real_from_the_window_table) {
    ui::DialogsScope scope(m_dialogs);
    QTemporaryDir work;
    const QByteArray oldWork = qgetenv("ZOSTORE_WORKDIR");
    qputenv("ZOSTORE_WORKDIR", work.path().toUtf8());
    const auto restoreEnv = qScopeGuard([&] { qputenv("ZOSTORE_WORKDIR", oldWork); });
    app::registerSubsystemWindows();
    m_dialogs.queueWindow([&](QDialog &d) {
        auto &w = dynamic_cast<period::frmClearData &>(d);
        w.dtpDate->setDate(QDate(2024, 1, 10));
        w.cmdBackup->click();
        m_dialogs.queueAnswer(ui::Answer::Yes);
        w.cmdOk->click();
        EXPECT_TRUE(QFile::exists(w.lastBackup()));
        EXPECT_EQ(m_dialogs.messages().value(0), QStringLiteral("帐套已备份到：\n") + w.lastBackup());
        return w.result();
    });
    EXPECT_EQ(shell::windowTable().open(shell::windows::ClearData, nullptr, shell::WindowMode::Modal),
              int(QDialog::Accepted));
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from ICStockBill")).toInt(), 1);
    EXPECT_EQ(conn().scalar(QStringLiteral("select FBegQty from icbal where FItemID=1")).toDouble(), 5);
    EXPECT_EQ(startup::loginContext().startYear(), 2024);
}

ZOSTORE_BACKENDS(ClearWindowTest);

} // namespace
