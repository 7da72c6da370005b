// The main window as each user sees it: picture menu, report panel, menus, status bar, layouts.
#include "ShellFixture.h"
#include "shell/MainLayout.h"
#include "shell/Permissions.h"
#include "shell/WindowTable.h"
#include "shell/frmAbout.h"
#include "shell/frmMain.h"
#include "startup/SettingsStore.h"
#include "ui/ActBar.h"
#include "ui/Grid.h"
#include "ui/StatusBar.h"
#include "ui/Twips.h"

#include <QAction>
#include <QDialog>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryFile>
#include <QTest>

using namespace zostore::shell;
using shelltest::ShellFixture;

namespace {

class FrmMainTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_fakes = std::make_unique<shelltest::FakeComponents>(shelltest::AllFakeProgIds);
        m_fakes->log->results.insert("doreceive", 3);
        const QList<std::tuple<int, int, int, QString>> reports = {
            {1, 0, 1, "进货汇总"}, {2, 0, 1, "销售日报"}, {2, 0, 2, "销售月报"},
            {2, 1, 5, "销售明细"}, {2, 2, 9, "毛利分析"}, {3, 0, 1, "库存余额"}};
        for (const auto &[g, t, r, n] : reports)
            m_conn->execute(
                "insert into ReportList (FGroupID, FType, FReportID, FReportName) values (?, ?, ?, ?)",
                {g, t, r, n});
        setProfile("CurrentYear", "2013");
        setProfile("CurrentPeriod", "1");
        setProfile("StartYear", "2013");
        setProfile("StartPeriod", "1");
        setProfile("BirthDay_ActionDays", "7");
    }
    void TearDown() override {
        m_window.reset();
        m_fakes.reset();
        ShellFixture::TearDown();
    }
    frmMain &open(int user) {
        login(user, 2013, 1, 2013, 1);
        m_window = std::make_unique<frmMain>();
        m_window->setEndProcess([this] { m_ended = true; });
        m_window->showMaximized();
        QCoreApplication::processEvents();
        m_window->relayout();
        return *m_window;
    }
    QList<int> visibleImages() const {
        QList<int> out;
        for (int i = 1; i <= 5; ++i)
            if (!m_window->imgMenu(i)->isHidden())
                out << i;
        return out;
    }
    QStringList visibleCaptions() const {
        QStringList out;
        for (int i = 1; i <= 9; ++i)
            if (!m_window->imgButton(i)->isHidden()) {
                EXPECT_FALSE(m_window->lblSubMenu(i)->isHidden()) << i;
                out << m_window->lblSubMenu(i)->text();
            }
        return out;
    }
    bool available(const char *band, const char *tool) const {
        QAction *a = m_window->actBar()->tool(band, tool);
        EXPECT_NE(a, nullptr) << tool;
        return a && a->isEnabled();
    }
    QStringList reportMenu(const char *band) const {
        QStringList out;
        for (QAction *a : m_window->reportTools(band))
            out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }

    std::unique_ptr<shelltest::FakeComponents> m_fakes;
    std::unique_ptr<frmMain> m_window;
    bool m_ended = false;
};

TEST_P(FrmMainTest, manager_sees_every_module_button_tool_and_report) {
    frmMain &w = open(Admin);
    EXPECT_EQ(visibleImages(), (QList<int>{1, 2, 3, 4, 5}));
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(frmMain::topTwips(w.imgMenu(i)), 2600 + 800 * (i - 1));
        EXPECT_EQ(frmMain::leftTwips(w.imgMenu(i)), 225);
        EXPECT_EQ(w.imgMenu(i)->pictureFile(), QStringLiteral("%1-%2.jpg").arg(i).arg(i == 1 ? 2 : 0));
    }
    EXPECT_EQ(w.currentModule(), 1);
    EXPECT_EQ(visibleCaptions(), (QStringList{"采购订货单", "采购入库单", "其他应付单", "采购退货单",
                                              "采购付款单", "核销应付款"}));
    EXPECT_EQ(w.imgButton(3)->pictureFile(), QStringLiteral("1/3.jpg"));
    EXPECT_TRUE(available("mnuMain", "MnuInit"));
    EXPECT_TRUE(available("subMenuTools", "MnuCacuCost"));
    EXPECT_TRUE(available("subMenufzbg", "stocklimit"));
    EXPECT_EQ(reportMenu("subMenuPurReport"), QStringList{"进货汇总"});
    EXPECT_EQ(reportMenu("subMenuSaleReport"),
              (QStringList{"销售日报", "销售月报", "-", "销售明细", "-", "毛利分析"}));
    EXPECT_EQ(w.reportTool("subMenuSaleReport", "SaleReport_5sep")->property("toolNumber").toInt(), 102);
    // Module 1's panel shows group 1
    EXPECT_FALSE(w.reportLabel(0, 0)->isHidden());
    EXPECT_EQ(w.reportLabel(0, 0)->text(), QStringLiteral("进货汇总"));
    EXPECT_TRUE(w.reportLabel(0, 1)->isHidden());
}

TEST_P(FrmMainTest, clerk_without_grants_sees_master_data_only) {
    frmMain &w = open(LiQiang);
    EXPECT_EQ(visibleImages(), QList<int>{5});
    EXPECT_EQ(frmMain::topTwips(w.imgMenu(5)), 2600);
    EXPECT_EQ(w.currentModule(), 5);
    EXPECT_EQ(visibleCaptions(), (QStringList{" 档案资料", " 售价管理"}));
    for (const auto &t : GovernedTools)
        EXPECT_FALSE(available(t.band, t.tool)) << t.tool;
    EXPECT_FALSE(available("mnuMain", "MnuInit"));
    EXPECT_TRUE(reportMenu("subMenuSaleReport").isEmpty());
    for (int i = 0; i < PanelLabels[0]; ++i)
        EXPECT_TRUE(w.reportLabel(0, i)->isHidden());
}

TEST_P(FrmMainTest, clerk_with_grants_gets_packed_buttons_and_granted_reports) {
    for (const char *code : {"181", "281", "151", "908", "922", "R21", "R25", "711"})
        grant(WangLi, code);
    frmMain &w = open(WangLi);
    EXPECT_EQ(visibleImages(), (QList<int>{1, 2, 5}));
    EXPECT_EQ(frmMain::topTwips(w.imgMenu(2)), 3400);
    EXPECT_EQ(frmMain::topTwips(w.imgMenu(5)), 4200);
    EXPECT_TRUE(visibleCaptions().isEmpty()); // module 1 has no granted button
    EXPECT_TRUE(available("subMenuTools", "MnuCacuCost"));
    EXPECT_FALSE(available("subMenuTools", "MnuClosePeriod"));

    w.ClickModule(2);
    EXPECT_EQ(visibleCaptions(),
              (QStringList{"Pos销售清单", " 钱箱取款", " 会员管理", " 会员充值", "称重商品管理"}));
    // buttons 1, 3, 4, 5, 7 close up into slots 1 to 5
    const int visible[] = {1, 3, 4, 5, 7};
    for (int k = 0; k < 5; ++k) {
        PictureBox *b = w.imgButton(visible[k]);
        EXPECT_EQ(frmMain::leftTwips(b), layout::SlotLefts[k % 3]) << k;
        EXPECT_EQ(frmMain::topTwips(b), layout::SlotTops[k / 3]) << k;
        const int length = int(w.lblSubMenu(visible[k])->text().size());
        const int d = length >= 6 ? -150 : 0;
        EXPECT_EQ(frmMain::leftTwips(w.lblSubMenu(visible[k])), frmMain::leftTwips(b) + 120 + d);
        EXPECT_EQ(frmMain::topTwips(w.lblSubMenu(visible[k])), frmMain::topTwips(b) + 1300);
    }
    EXPECT_EQ(w.imgMenu(2)->pictureFile(), QStringLiteral("2-2.jpg"));
    EXPECT_EQ(w.imgMenu(1)->pictureFile(), QStringLiteral("1-0.jpg"));
    // The panel shows the granted reports of group 2, section by section
    EXPECT_EQ(w.reportLabel(0, 0)->text(), QStringLiteral("销售日报"));
    EXPECT_TRUE(w.reportLabel(0, 1)->isHidden());
    EXPECT_EQ(w.reportLabel(1, 0)->text(), QStringLiteral("销售明细"));
    EXPECT_EQ(frmMain::topTwips(w.reportLabel(1, 0)), frmMain::topTwips(w.reportLabel(0, 0)) + 350 + 400);
    EXPECT_EQ(reportMenu("subMenuSaleReport"), (QStringList{"销售日报", "-", "销售明细"}));
    w.ClickReportLabel(1, 0);
    ASSERT_FALSE(m_fakes->log->calls.isEmpty());
    EXPECT_EQ(m_fakes->log->calls.last().member, QStringLiteral("RunReport"));
    EXPECT_EQ(m_fakes->log->calls.last().args.value(2).toInt(), 5);

    // Picture button 1 of module 2 goes straight to the sales search
    m_fakes->log->calls.clear();
    w.ClickButton(1);
    ASSERT_EQ(m_fakes->log->calls.size(), 2);
    EXPECT_EQ(m_fakes->log->calls[1].member, QStringLiteral("SearchBill"));
}

TEST_P(FrmMainTest, relogin_leaves_nothing_of_the_previous_user) {
    frmMain &w = open(Admin);
    m_fakes->log->results.insert("ok", true);
    m_fakes->log->results.insert("userid", 3);
    m_fakes->log->results.insert("username", QStringLiteral("李强"));
    w.dispatch().DispatchTool("MnuReLogin");
    EXPECT_EQ(visibleImages(), QList<int>{5});
    EXPECT_EQ(visibleCaptions(), (QStringList{" 档案资料", " 售价管理"}));
    EXPECT_TRUE(reportMenu("subMenuSaleReport").isEmpty());
    EXPECT_FALSE(available("subMenuTools", "MnuCacuCost"));
    EXPECT_EQ(w.stbMain()->panelText("curuser"), QStringLiteral("操作员：李强"));
}

TEST_P(FrmMainTest, module_images_answer_the_pointer) {
    frmMain &w = open(Admin);
    QEnterEvent enter2(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(w.imgMenu(2), &enter2);
    EXPECT_EQ(w.imgMenu(2)->pictureFile(), QStringLiteral("2-1.jpg"));
    QEnterEvent enter3(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(w.imgMenu(3), &enter3);
    EXPECT_EQ(w.imgMenu(2)->pictureFile(), QStringLiteral("2-0.jpg"));
    EXPECT_EQ(w.imgMenu(3)->pictureFile(), QStringLiteral("3-1.jpg"));
    EXPECT_EQ(w.imgMenu(1)->pictureFile(), QStringLiteral("1-2.jpg"));
    QEnterEvent enter1(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(w.imgMenu(1), &enter1);
    EXPECT_EQ(w.imgMenu(1)->pictureFile(), QStringLiteral("1-2.jpg"));
    QTest::mouseClick(w.imgMenu(4), Qt::LeftButton);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(w.imgMenu(i)->pictureFile(), QStringLiteral("%1-%2.jpg").arg(i).arg(i == 4 ? 2 : 0));
    // Captions light up one at a time and go dark over the background
    QEnterEvent enterCaption(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(w.lblSubMenu(2), &enterCaption);
    EXPECT_TRUE(w.lblSubMenu(2)->isHighlighted());
    EXPECT_EQ(w.lblSubMenu(2)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_FALSE(w.lblSubMenu(1)->isHighlighted());
    QEnterEvent enterBackground(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(w.imgMain(), &enterBackground);
    EXPECT_FALSE(w.lblSubMenu(2)->isHighlighted());
}

TEST_P(FrmMainTest, first_activation_fills_the_status_bar_once_and_opens_the_reminders_when_asked) {
    setProfile("ShowAction", "1");
    grant(WangLi, "723");
    int reminders = 0;
    windowTable().registerWindow(windows::Action, [&](QWidget *) {
        ++reminders;
        return new QDialog;
    });
    frmMain &w = open(WangLi);
    w.FirstActivate();
    w.FirstActivate();
    windowTable().removeWindow(windows::Action);
    EXPECT_EQ(reminders, 1);
    EXPECT_EQ(w.stbMain()->panelText("acctname"), QStringLiteral("账套：测试帐套"));
    EXPECT_EQ(w.stbMain()->panelText("curuser"), QStringLiteral("操作员：王丽"));
    EXPECT_EQ(w.stbMain()->panelText("currentperiod"), QStringLiteral("当前月份：2013年1月"));
    EXPECT_EQ(w.stbMain()->panelText("msgbox"), QStringLiteral("共有3封新消息！"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("测试帐套"));
    EXPECT_EQ(w.lblOrderOrgas()->text(), QStringLiteral("会员生日提醒(共0会员)"));
    // Later resizes no longer reselect the first module
    w.ClickModule(2);
    w.relayout();
    EXPECT_EQ(w.currentModule(), 2);
}

TEST_P(FrmMainTest, the_birthday_strip_shows_every_entry_at_1280_by_800_and_a_refused_maximise_fills_the_screen) {
    for (int i = 1; i <= 9; ++i)
        m_conn->execute("insert into Vip (FVipID, FOwner, FPhone, fbirthdate) values (?, ?, ?, ?)",
                        {i, QStringLiteral("会员%1").arg(i), QStringLiteral("1518298%1").arg(i, 4, 10, QLatin1Char('0')),
                         QDate::currentDate().addYears(-30)});
    login(Admin, 2013, 1, 2013, 1);
    m_window = std::make_unique<frmMain>();
    frmMain &w = *m_window;
    w.fillScreen();
    w.setWindowState(Qt::WindowNoState); // as when no window manager grants the maximise
    w.show();
    QCoreApplication::processEvents();
    const QRect area = w.screen()->availableGeometry();
    EXPECT_EQ(w.size(), area.size());
    EXPECT_EQ(w.pctMenu()->width(), w.width()) << "the picture menu is laid out at the restored size";
    for (int i = 1; i <= 5; ++i)
        EXPECT_TRUE(w.pctMenu()->rect().contains(w.imgMenu(i)->geometry())) << i;

    w.resize(1280, 800);
    w.relayout();
    w.FirstActivate();
    EXPECT_EQ(w.lblOrderOrgas()->text(), QStringLiteral("会员生日提醒(共9会员)"));
    QCoreApplication::processEvents();
    auto *grid = w.flexVip();
    EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
    const QRect strip = grid->parentWidget()->geometry();
    EXPECT_LE(strip.right(), w.pctMenu()->width());
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) {
            const QRect cell = grid->visualRect(grid->model()->index(r, c));
            EXPECT_TRUE(grid->viewport()->rect().contains(cell)) << r << ',' << c;
            EXPECT_GE(cell.width(), grid->fontMetrics().horizontalAdvance(grid->model()->index(r, c).data().toString()));
        }
}

TEST_P(FrmMainTest, the_period_panel_checks_its_grant_and_the_narrow_layout_moves_the_container) {
    frmMain &w = open(LiQiang);
    w.FirstActivate();
    w.ClickPanel("currentperiod");
    EXPECT_EQ(m_dialogs.messages(), QStringList{"访问被拒绝！"});

    const int W = zostore::ui::twips::fromPixels(w.width());
    EXPECT_TRUE(w.isMaximized());
    EXPECT_NEAR(frmMain::leftTwips(w.imgHelp()), W - 2000, 1);
    EXPECT_NEAR(frmMain::leftTwips(w.lblVer()), W - 2800, 1);
    EXPECT_EQ(frmMain::leftTwips(w.imgSep()), 12000);
    EXPECT_EQ(frmMain::topTwips(w.imgSep()), 2300);
    EXPECT_GE(frmMain::topTwips(w.pctMenu()), 0);

    w.dispatch().DispatchTool("smallscreen");
    EXPECT_EQ(frmMain::topTwips(w.pctMenu()), -1550);
    EXPECT_EQ(zostore::startup::SettingsStore::value("ZoApparel", "DefaultValue", "smallscreen"), "1");
    w.actBar()->tool("subMenuTools", "smallscreen")->trigger();
    EXPECT_GE(frmMain::topTwips(w.pctMenu()), 0);
    EXPECT_FALSE(w.actBar()->tool("subMenuTools", "smallscreen")->isChecked());
    EXPECT_EQ(zostore::startup::SettingsStore::value("ZoApparel", "DefaultValue", "smallscreen"), "0");

    // A restored window keeps its controls where they were
    w.showNormal();
    QCoreApplication::processEvents();
    const int helpLeft = frmMain::leftTwips(w.imgHelp());
    w.resize(w.width() - 120, w.height() - 50);
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.isMaximized());
    EXPECT_EQ(frmMain::leftTwips(w.imgHelp()), helpLeft);
}

TEST_P(FrmMainTest, closing_a_month_from_the_period_panel_withdraws_the_initialisation_menu) {
    frmMain &w = open(Admin);
    w.FirstActivate();
    EXPECT_TRUE(available("mnuMain", "MnuInit"));
    windowTable().registerWindow(windows::ClosePeriod, [](QWidget *) { return new QDialog; });
    m_dialogs.queueWindow([](QDialog &) {
        zostore::startup::loginContext().setCurrentPeriod(2013, 2);
        return int(QDialog::Accepted);
    });
    w.ClickPanel("currentperiod");
    windowTable().removeWindow(windows::ClosePeriod);
    EXPECT_FALSE(available("mnuMain", "MnuInit"));
    EXPECT_EQ(w.stbMain()->panelText("currentperiod"), QStringLiteral("当前月份：2013年2月"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_P(FrmMainTest, captions_shift_by_their_length_under_the_picture) {
    frmMain &w = open(Admin);
    const int left = frmMain::leftTwips(w.imgButton(1));
    for (const auto &[caption, offset] : {std::pair{"盘点表", 320},
                                          {"采购订货单", 120},
                                          {"会员管理", 120},
                                          {"时段优惠设置", -30},
                                          {"Pos销售清单", -30}}) {
        w.lblSubMenu(1)->setText(QString::fromUtf8(caption));
        w.ArrangeModuleButtons();
        EXPECT_EQ(frmMain::leftTwips(w.lblSubMenu(1)), left + offset) << caption;
    }
}

TEST_P(FrmMainTest, closing_asks_first_and_no_keeps_the_window) {
    frmMain &w = open(Admin);
    m_dialogs.queueAnswer(zostore::ui::Answer::No);
    w.dispatch().DispatchTool("MnuExit");
    EXPECT_TRUE(w.isVisible());
    ASSERT_NE(m_dialogs.last(), nullptr);
    EXPECT_EQ(m_dialogs.last()->text, QStringLiteral("您是否真的要退出系统？"));
    EXPECT_EQ(m_dialogs.last()->defaultButton, zostore::ui::Answer::No);
}

TEST_P(FrmMainTest, about_box_shows_the_versions_and_the_build_time) {
    login(Admin, 2013, 1, 2013, 1);
    QTemporaryFile exe;
    ASSERT_TRUE(exe.open());
    const QDateTime stamp(QDate(2013, 1, 1), QTime(8, 30, 5));
    exe.setFileTime(stamp, QFileDevice::FileModificationTime);
    frmAbout::setExecutableOverride(exe.fileName());
    {
        frmAbout about;
        EXPECT_EQ(about.windowTitle(), QStringLiteral("关于本系统"));
        EXPECT_EQ(about.lblBuildTime()->text(), QStringLiteral("编译时间：2013-01-01 08:30:05"));
        EXPECT_TRUE(about.lblVersion()->text().startsWith(QStringLiteral("当前版本：")));
        EXPECT_EQ(about.lblDbVersion()->text(), QStringLiteral("数据库版本："));
    }
    setProfile("Ver", "7.1.3");
    frmAbout about;
    EXPECT_EQ(about.lblDbVersion()->text(), QStringLiteral("数据库版本：7.1.3"));
    frmAbout::setExecutableOverride({});
}

ZOSTORE_BACKENDS(FrmMainTest);

} // namespace
