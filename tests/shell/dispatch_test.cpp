// Every tool and function code reaches the right component member with its arguments in order.
#include "ShellFixture.h"
#include "shell/CommandDispatch.h"
#include "shell/WindowTable.h"
#include "startup/ProgramFolder.h"

#include <QDialog>
#include <QPointer>

using namespace zostore::shell;
using shelltest::ShellFixture;

namespace {

class FakeHost : public CommandHost {
public:
    QWidget *hostWindow() override { return nullptr; }
    void userChanged() override { log << "userChanged"; }
    void toggleSmallScreen() override { log << "smallscreen"; }
    void periodPanelClick() override { log << "period"; }
    void trunCate() override { log << "truncate"; }
    void upgradeProgram() override { log << "upgrade"; }
    void closeMainWindow() override { log << "close"; }
    void showHelp() override { log << "help"; }
    void showBillPopup() override { log << "popup"; }
    void setInitClosed(bool closed, const QString &caption) override {
        log << QStringLiteral("closed:%1:%2").arg(closed).arg(caption);
    }
    QStringList log;
};

// Arguments with their types, so a 16-bit value passed as a 32-bit one is caught.
QString describe(const QVariant &v) {
    if (!v.isValid())
        return QStringLiteral("-");
    switch (v.typeId()) {
    case QMetaType::Short:
        return QStringLiteral("s%1").arg(v.toInt());
    case QMetaType::Int:
        return QStringLiteral("i%1").arg(v.toInt());
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default:
        return QLatin1Char('\'') + v.toString() + QLatin1Char('\'');
    }
}

class DispatchTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_fakes = std::make_unique<shelltest::FakeComponents>(shelltest::AllFakeProgIds);
        // Windows the dispatch may open, recorded by name
        for (const QString &name :
             {windows::CacuCost, windows::ClearData, windows::SafeStock, windows::SetPara,
              windows::PosDiscount, windows::PosBill, windows::PrintLabel, windows::About})
            windowTable().registerWindow(name, [this, name](QWidget *) {
                m_host.log << QStringLiteral("window:") + name;
                auto *d = new QDialog;
                d->setWindowTitle(name);
                m_windows << d;
                return d;
            });
    }
    void TearDown() override {
        for (const QString &name :
             {windows::CacuCost, windows::ClearData, windows::SafeStock, windows::SetPara,
              windows::PosDiscount, windows::PosBill, windows::PrintLabel, windows::About})
            windowTable().removeWindow(name);
        for (const QPointer<QDialog> &d : m_windows)
            delete d.data();
        m_fakes.reset();
        ShellFixture::TearDown();
    }

    // "ProgId.member(arg,...)" for every call since the last take, with C, S and M for the connection
    // strings.
    QStringList takeCalls() {
        QStringList out;
        const QString sys = zostore::startup::systemDbConnectionString();
        for (const auto &c : m_fakes->log->calls) {
            QStringList args;
            for (const QVariant &a : c.args) {
                QString d = describe(a);
                d.replace(QLatin1Char('\'') + sys + QLatin1Char('\''), QStringLiteral("S"));
                d.replace(QLatin1Char('\'') + cnstr() + QLatin1Char('\''), QStringLiteral("C"));
                args << d;
            }
            out << c.progId + QLatin1Char('.') + c.member + QLatin1Char('(') + args.join(QLatin1Char(',')) +
                       ')';
        }
        m_fakes->log->calls.clear();
        m_fakes->log->created.clear();
        return out;
    }

    FakeHost m_host;
    CommandDispatch m_dispatch{m_host};
    std::unique_ptr<shelltest::FakeComponents> m_fakes;
    QList<QPointer<QDialog>> m_windows;
};

const QString BillInit = QStringLiteral("nuvo_Bill.RunBill.init(C,S,i1,'admin',s2013,s1)");
const QString CashInit = QStringLiteral("nuvo_CashMan.CashBill.init(C,S,i1,'admin',s2013,s1)");
const QString InitInit = QStringLiteral("nuvo_Init.RunInit.init(C,s2013,s1,i1,true)");

TEST_P(DispatchTest, function_codes_call_their_components_with_arguments_in_order) {
    const QList<std::pair<int, QStringList>> table = {
        {106, {BillInit, "nuvo_Bill.RunBill.HxPurBill()"}},
        {201, {BillInit, "nuvo_Bill.RunBill.SearchBill(s99)"}},
        {203, {"nuvo_PosReport.Report.GetMoney(C,S,s0,'',i1)"}},
        {204, {"nuvo_VipMan.VipMan.vipman(C,i1)"}},
        {205, {"nuvo_VipMan.VipMan.VipReserve(C,i1)"}},
        {206, {"nuvo_VipMan.VipMan.changejf(C,i1)"}},
        {207, {"nuvo_Weight.Weight.ShowWeightItem(C,S)"}},
        {301, {"nuvo_PdMan.Pd_Manager.BackupStockQty(C,i1)"}},
        {302, {"nuvo_PdMan.Pd_Manager.PrintPdData(C,i1)"}},
        {303, {"nuvo_PdMan.Pd_Manager.GenPdDAta(C,i1)"}},
        {501, {"VnitemGy.ViewItem.ShowItem(s0,C,-,-,true,-,i1)"}},
        {502, {"nuvo_PriceMan.SalePrice.EditSalePrice(C,i1,true,C)"}},
        {503, {"nuvo_PriceMan.SalePrice.ManPurPrice(C,i1,true)"}},
        {505, {"nuvo_User.UserMan.UserMan(C,i1)"}},
        {208, {}},
        {999, {}},
    };
    for (const auto &[code, calls] : table) {
        m_dispatch.RunFunction(code);
        EXPECT_EQ(takeCalls(), calls) << code;
        EXPECT_EQ(m_dispatch.currentBillKind(), code);
    }
    m_dispatch.RunFunction(202);
    m_dispatch.RunFunction(504);
    EXPECT_EQ(m_host.log, (QStringList{"window:frmSdyh_Set_Pos", "window:frmSetPara"}));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_P(DispatchTest, bill_kinds_offer_the_popup_and_new_and_search_use_the_remembered_kind) {
    m_dispatch.DispatchTool("newbill"); // kind 0 has no row
    EXPECT_TRUE(takeCalls().isEmpty());
    for (int code : {101, 102, 103, 104, 105, 107, 108, 304, 305, 306, 307, 308, 309, 401, 408}) {
        m_host.log.clear();
        m_dispatch.RunFunction(code);
        EXPECT_EQ(m_host.log, QStringList{"popup"}) << code;
    }
    EXPECT_TRUE(takeCalls().isEmpty());
    const QList<std::tuple<int, QString, QString>> kinds = {
        {101, BillInit + "|nuvo_Bill.RunBill.NewBill(s11)", BillInit + "|nuvo_Bill.RunBill.SearchBill(s11)"},
        {103, BillInit + "|nuvo_Bill.RunBill.NewBill(s19)", BillInit + "|nuvo_Bill.RunBill.SearchBill(s19)"},
        {107, BillInit + "|nuvo_Bill.RunBill.NewBill(s8)", BillInit + "|nuvo_Bill.RunBill.SearchBill(s8)"},
        {307, BillInit + "|nuvo_Bill.RunBill.NewBill(s25)", BillInit + "|nuvo_Bill.RunBill.SearchBill(s25)"},
        {402, CashInit + "|nuvo_CashMan.CashBill.NewBill(s111)",
         CashInit + "|nuvo_CashMan.CashBill.SearchBill(s111)"},
        {408, CashInit + "|nuvo_CashMan.CashBill.NewBill(s121)",
         CashInit + "|nuvo_CashMan.CashBill.SearchBill(s121)"},
        {108, "", ""},
    };
    for (const auto &[kind, newCalls, searchCalls] : kinds) {
        m_dispatch.RunFunction(kind);
        m_dispatch.DispatchTool("newbill");
        EXPECT_EQ(takeCalls().join('|'), newCalls) << kind;
        m_dispatch.DispatchTool("SearchBill");
        EXPECT_EQ(takeCalls().join('|'), searchCalls) << kind;
    }
}

TEST_P(DispatchTest, a_refused_grant_stops_the_command_before_any_component_exists) {
    login(WangLi, 2013, 1, 2013, 1);
    grant(WangLi, "141", 1); // search of kind 103 allowed, new refused (no row for "142")
    m_dispatch.RunFunction(103);
    m_host.log.clear();
    m_dispatch.DispatchTool("newbill");
    EXPECT_EQ(m_dialogs.messages(), QStringList{"访问被拒绝！"});
    EXPECT_TRUE(m_fakes->log->created.isEmpty());
    m_dispatch.DispatchTool("searchbill");
    EXPECT_EQ(takeCalls(), (QStringList{"nuvo_Bill.RunBill.init(C,S,i2,'王丽',s2013,s1)",
                                        "nuvo_Bill.RunBill.SearchBill(s19)"}));
    m_dialogs.clear();
    // Only "1" grants.
    grant(WangLi, "708", QVariant());
    grant(WangLi, "709", 2);
    grant(WangLi, "719", 0);
    for (const char *tool :
         {"MnuCacuCost", "cleardata", "orgahisprice", "stocklimit", "download", "upload", "updategrade"}) {
        m_dispatch.DispatchTool(tool);
        EXPECT_EQ(m_dialogs.messages(), QStringList{"访问被拒绝！"}) << tool;
        m_dialogs.clear();
    }
    EXPECT_TRUE(m_fakes->log->created.isEmpty());
    EXPECT_TRUE(m_host.log.isEmpty()) << m_host.log.join('|').toStdString();
}

TEST_P(DispatchTest, tools_run_their_commands_and_report_prefixes_are_case_sensitive) {
    m_fakes->log->results.insert("checkpwd", true);
    const QList<std::pair<QString, QStringList>> table = {
        {"MnuModifyPwd", {"nuvo_Login.Login.ModifyPwd(C,'admin')"}},
        {"cleardata", {"nuvo_Login.Login.CheckPwd(C,i1)"}},
        {"orgahisprice", {"nuvo_PriceMan.SalePrice.EditHisPrice(C,i1,true)"}},
        {"queryprice", {"nuvo_PriceMan.SalePrice.ItemDesc(C,i1,true,i1)"}},
        {"download", {"Zo_BillTransfer.Transfer.DownLoad(C)"}},
        {"upload", {"Zo_BillTransfer.Transfer.UpLoad(C)"}},
        {"MnuInitStock", {InitInit, "nuvo_Init.RunInit.InitStock()"}},
        {"mnuinitysk", {InitInit, "nuvo_Init.RunInit.initWLdata(s1)"}},
        {"MnuInitYfk", {InitInit, "nuvo_Init.RunInit.initWLdata(s2)"}},
        {"MnuInitCash", {InitInit, "nuvo_Init.RunInit.initacct(s11)"}},
        {"MnuInitJk", {InitInit, "nuvo_Init.RunInit.initacct(s10)"}},
        {"MnuInitDtfy", {InitInit, "nuvo_Init.RunInit.initassets()"}},
        {"mnuinitaccount", {InitInit, "nuvo_Init.RunInit.initsysacct()"}},
        {"MnuDesiger", {"ZoDesiger_Dll.Desiger.RunDesiger(C,s0)"}},
        {"MnuNewMsg", {"nuvo_Message.Msg.ShowMsg(C,i1)"}},
        {"printbarcode", {BillInit, "nuvo_Bill.RunBill.PrintBarcode()"}},
        {"SaleReport_12", {"nuvo_PosReport.Report.RunReport(C,S,i12,s2013,s1,s2013,s1,i1,'admin')"}},
        {"PurReport_3", {"nuvo_PurReport.Report.RunReport(C,S,i3,s2013,s1,s2013,s1,i1,'admin')"}},
        {"StockReport_7", {"nuvo_StockReport.Report.RunReport(C,S,i7,s2013,s1,s2013,s1,i1,'admin')"}},
        {"CashReport_2", {CashInit, "nuvo_CashMan.CashBill.RunReport(i2)"}},
        {"SaleReport_12x", {"nuvo_PosReport.Report.RunReport(C,S,i12,s2013,s1,s2013,s1,i1,'admin')"}},
        {"salereport_12", {}},
        {"PosReport_1", {}},
        {"MnuQuestion", {}},
        {"sdyh", {}},
    };
    for (const auto &[tool, calls] : table) {
        m_dispatch.DispatchTool(tool);
        EXPECT_EQ(takeCalls(), calls) << tool.toStdString();
    }
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.messages().join('|').toStdString();

    const QList<std::pair<QString, QString>> hostTools = {{"MnuReLogin", ""},
                                                          {"smallscreen", "smallscreen"},
                                                          {"MnuClosePeriod", "period"},
                                                          {"MnuTruncate", "truncate"},
                                                          {"MnuExit", "close"},
                                                          {"MnuHelpDoc", "help"},
                                                          {"updategrade", "upgrade"},
                                                          {"MnuCacuCost", "window:frmCacuCost"},
                                                          {"stocklimit", "window:frmSetSafeStock"},
                                                          {"printlabel", "window:frmPrintLabel"},
                                                          {"MnuPosDesiger", "window:frmDefPrint"},
                                                          {"MnuAbout", "window:frmAbout"}};
    for (const auto &[tool, expected] : hostTools) {
        m_host.log.clear();
        m_fakes->log->results.insert("ok", false);
        m_dispatch.DispatchTool(tool);
        EXPECT_EQ(m_host.log.join('|'), expected) << tool.toStdString();
    }
    // Clearing history opens its window only after the password check passed
    m_host.log.clear();
    m_dispatch.DispatchTool("cleardata");
    EXPECT_EQ(m_host.log, QStringList{"window:frmClearData"});
    m_fakes->log->results.insert("checkpwd", false);
    m_host.log.clear();
    m_dispatch.DispatchTool("cleardata");
    EXPECT_TRUE(m_host.log.isEmpty());
}

TEST_P(DispatchTest, calculator_starts_minimised_and_close_init_refreshes_the_caption) {
    m_dispatch.DispatchTool("MnuCalculator");
    ASSERT_EQ(m_processes.started.size(), 1);
    EXPECT_EQ(m_processes.started[0].commandLine, zostore::startup::programFile("calc.exe"));
    EXPECT_EQ(m_processes.started[0].style, zostore::ui::WindowStyle::MinimizedFocus);

    setProfile("Closed", "1");
    m_dispatch.DispatchTool("MnuCloseInit");
    setProfile("Closed", "0");
    m_dispatch.DispatchTool("MnuCloseInit");
    EXPECT_EQ(m_host.log, (QStringList{"closed:1:返回初始化", "closed:0:关闭初始化"}));
    EXPECT_EQ(takeCalls(), (QStringList{InitInit, "nuvo_Init.RunInit.CloseInit()", InitInit,
                                        "nuvo_Init.RunInit.CloseInit()"}));
}

TEST_P(DispatchTest, relogin_replaces_the_user_and_rereads_the_manager_flag) {
    m_fakes->log->results.insert("ok", false);
    m_dispatch.ReLoginUser();
    EXPECT_EQ(zostore::startup::loginContext().userId(), Admin);
    EXPECT_TRUE(m_host.log.isEmpty());
    takeCalls();

    m_fakes->log->results.insert("ok", true);
    m_fakes->log->results.insert("userid", 3);
    m_fakes->log->results.insert("username", QStringLiteral("李强"));
    m_dispatch.DispatchTool("MnuReLogin");
    const auto &ctx = zostore::startup::loginContext();
    EXPECT_EQ(ctx.userId(), LiQiang);
    EXPECT_EQ(ctx.userName(), QStringLiteral("李强"));
    EXPECT_FALSE(ctx.isManager());
    EXPECT_EQ(m_host.log, QStringList{"userChanged"});
    EXPECT_EQ(takeCalls(), QStringList{"nuvo_Login.Login.ReLogin(C)"});
}

TEST_P(DispatchTest, a_module_that_is_not_installed_is_named_in_the_message) {
    m_fakes.reset();
    m_dispatch.RunFunction(207);
    EXPECT_EQ(m_dialogs.messages(), QStringList{"未安装组件 nuvo_Weight.Weight"});
    windowTable().removeWindow(windows::SetPara);
    m_dialogs.clear();
    m_dispatch.RunFunction(504);
    EXPECT_EQ(m_dialogs.messages(), QStringList{"该功能窗口尚未安装：frmSetPara"});
}

ZOSTORE_BACKENDS(DispatchTest);

} // namespace
