// Components are created for the one command and released when it ends; grants are checked first.
#include "shell/CommandDispatch.h"

#include "components/Registry.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "shell/WindowTable.h"
#include "startup/CheckGrant.h"
#include "startup/LoginContext.h"
#include "startup/MainWindowLoad.h"
#include "startup/ProgramFolder.h"
#include "ui/ErrorTrap.h"
#include "ui/Processes.h"

#include <QVariant>
#include <cmath>

namespace zostore::shell {
namespace {

using components::Component;
using startup::loginContext;

std::shared_ptr<Component> create(const QString &progId) {
    return components::createObject(progId);
}

QVariant i16(int v) {
    return QVariant::fromValue(qint16(v));
}

const QString RunBill = QStringLiteral("nuvo_Bill.RunBill");
const QString CashBill = QStringLiteral("nuvo_CashMan.CashBill");
const QString RunInit = QStringLiteral("nuvo_Init.RunInit");
const QString LoginProg = QStringLiteral("nuvo_Login.Login");
const QString PriceMan = QStringLiteral("nuvo_PriceMan.SalePrice");

// init with Cnstr, system database, user, name, year and month
std::shared_ptr<Component> startBillComponent(const QString &progId) {
    auto c = create(progId);
    const auto &ctx = loginContext();
    c->invoke(QStringLiteral("init"),
              {ctx.cnstr(), startup::systemDbConnectionString(), QVariant(ctx.userId()), ctx.userName(),
               i16(ctx.currentYear()), i16(ctx.currentPeriod())});
    return c;
}

std::shared_ptr<Component> startInitComponent() {
    auto c = create(RunInit);
    const auto &ctx = loginContext();
    c->invoke(QStringLiteral("init"), {ctx.cnstr(), i16(ctx.currentYear()), i16(ctx.currentPeriod()),
                                       QVariant(ctx.userId()), QVariant(ctx.isManager())});
    return c;
}

struct BillRow {
    int kind;
    const char *grant;
    bool cash;
    int code;
};

constexpr BillRow NewBillTable[] = {
    {101, "102", false, 11}, {102, "112", false, 12}, {103, "142", false, 19}, {104, "132", false, 14},
    {105, "122", false, 13}, {107, "162", false, 8},  {304, "322", false, 31}, {305, "332", false, 9},
    {306, "302", false, 15}, {307, "312", false, 25}, {401, "402", true, 101}, {402, "452", true, 111},
    {403, "412", true, 102}, {404, "422", true, 103}, {405, "432", true, 104}, {406, "442", true, 105},
    {407, "462", true, 120}, {408, "472", true, 121},
};

constexpr BillRow BillSearchTable[] = {
    {101, "101", false, 11}, {102, "111", false, 12}, {103, "141", false, 19}, {104, "131", false, 14},
    {105, "121", false, 13}, {107, "161", false, 8},  {201, "151", false, 99}, {304, "321", false, 31},
    {305, "331", false, 9},  {306, "301", false, 15}, {307, "311", false, 25}, {401, "401", true, 101},
    {402, "451", true, 111}, {403, "411", true, 102}, {404, "421", true, 103}, {405, "431", true, 104},
    {406, "441", true, 105}, {407, "461", true, 120}, {408, "471", true, 121},
};

template <std::size_t N> const BillRow *findBill(const BillRow (&table)[N], int kind) {
    for (const BillRow &r : table)
        if (r.kind == kind)
            return &r;
    return nullptr;
}

bool isPopupKind(int code) {
    return (code >= 101 && code <= 105) || code == 107 || code == 108 || (code >= 304 && code <= 309) ||
           (code >= 401 && code <= 408);
}

void grant(const char *code) {
    startup::CheckGrant(QString::fromLatin1(code));
}

// The tail's leading number, as the report tools were always read: "12x" is report 12.
int reportNumber(const QString &tail) {
    const double rounded = std::nearbyint(startup::MainWindowLoad::leadingNumber(tail));
    if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0)
        throw Error(QStringLiteral("报表编号超出范围：") + tail.left(40));
    return static_cast<int>(rounded);
}

} // namespace

void CommandDispatch::DispatchTool(const QString &toolName) {
    ui::errorTrap([&] {
        // Report prefixes are compared as designed, with their case
        static const struct {
            QString prefix;
            int group;
        } reports[] = {{QStringLiteral("SaleReport_"), 2},
                       {QStringLiteral("PurReport_"), 1},
                       {QStringLiteral("StockReport_"), 3},
                       {QStringLiteral("CashReport_"), 4}};
        for (const auto &r : reports) {
            if (toolName.startsWith(r.prefix, Qt::CaseSensitive)) {
                report(reportNumber(toolName.mid(r.prefix.size())), r.group);
                return;
            }
        }
        runTool(toolName.toLower());
    });
}

void CommandDispatch::runTool(const QString &n) {
    const auto &ctx = loginContext();
    QWidget *parent = m_host.hostWindow();
    if (n == QLatin1String("mnurelogin")) {
        reLogin();
    } else if (n == QLatin1String("mnumodifypwd")) {
        create(LoginProg)->invoke(QStringLiteral("ModifyPwd"), {ctx.cnstr(), ctx.userName()});
    } else if (n == QLatin1String("newbill")) {
        newBill(m_currentBillKind);
    } else if (n == QLatin1String("searchbill")) {
        billSearch(m_currentBillKind);
    } else if (n == QLatin1String("mnucacucost")) {
        grant("708");
        windowTable().open(windows::CacuCost, parent, WindowMode::Modeless);
    } else if (n == QLatin1String("smallscreen")) {
        m_host.toggleSmallScreen();
    } else if (n == QLatin1String("mnucloseperiod")) {
        // the period panel checks "704" itself
        m_host.periodPanelClick();
    } else if (n == QLatin1String("cleardata")) {
        grant("709");
        auto login = create(LoginProg);
        if (login->invoke(QStringLiteral("CheckPwd"), {ctx.cnstr(), QVariant(ctx.userId())}).toBool())
            windowTable().open(windows::ClearData, parent, WindowMode::Modal);
    } else if (n == QLatin1String("orgahisprice")) {
        grant("719");
        create(PriceMan)->invoke(QStringLiteral("EditHisPrice"),
                                 {ctx.cnstr(), QVariant(ctx.userId()), QVariant(ctx.isManager())});
    } else if (n == QLatin1String("queryprice")) {
        create(PriceMan)->invoke(
            QStringLiteral("ItemDesc"),
            {ctx.cnstr(), QVariant(ctx.userId()), QVariant(ctx.isManager()), QVariant(ctx.userId())});
    } else if (n == QLatin1String("printlabel")) {
        windowTable().open(windows::PrintLabel, parent, WindowMode::Modeless);
    } else if (n == QLatin1String("stocklimit")) {
        grant("717");
        windowTable().open(windows::SafeStock, parent, WindowMode::Modeless);
    } else if (n == QLatin1String("download") || n == QLatin1String("upload")) {
        grant("710");
        create(QStringLiteral("Zo_BillTransfer.Transfer"))
            ->invoke(n == QLatin1String("download") ? QStringLiteral("DownLoad") : QStringLiteral("UpLoad"),
                     {ctx.cnstr()});
    } else if (n == QLatin1String("mnuinitstock")) {
        startInitComponent()->invoke(QStringLiteral("InitStock"));
    } else if (n == QLatin1String("mnuinitysk")) {
        startInitComponent()->invoke(QStringLiteral("initWLdata"), {i16(1)});
    } else if (n == QLatin1String("mnuinityfk")) {
        startInitComponent()->invoke(QStringLiteral("initWLdata"), {i16(2)});
    } else if (n == QLatin1String("mnuinitcash")) {
        startInitComponent()->invoke(QStringLiteral("initacct"), {i16(11)});
    } else if (n == QLatin1String("mnuinitjk")) {
        startInitComponent()->invoke(QStringLiteral("initacct"), {i16(10)});
    } else if (n == QLatin1String("mnuinitdtfy")) {
        startInitComponent()->invoke(QStringLiteral("initassets"));
    } else if (n == QLatin1String("mnuinitaccount")) {
        startInitComponent()->invoke(QStringLiteral("initsysacct"));
    } else if (n == QLatin1String("mnucloseinit")) {
        startInitComponent()->invoke(QStringLiteral("CloseInit"));
        refreshClosedState();
    } else if (n == QLatin1String("mnudesiger")) {
        create(QStringLiteral("ZoDesiger_Dll.Desiger"))
            ->invoke(QStringLiteral("RunDesiger"), {ctx.cnstr(), i16(0)});
    } else if (n == QLatin1String("mnuposdesiger")) {
        windowTable().open(windows::PosBill, parent, WindowMode::Modal);
    } else if (n == QLatin1String("mnutruncate")) {
        m_host.trunCate();
    } else if (n == QLatin1String("mnuexit")) {
        m_host.closeMainWindow();
    } else if (n == QLatin1String("mnuhelpdoc")) {
        m_host.showHelp();
    } else if (n == QLatin1String("mnucalculator")) {
        ui::processes().start(startup::programFile(QStringLiteral("calc.exe")),
                              ui::WindowStyle::MinimizedFocus);
    } else if (n == QLatin1String("mnunewmsg")) {
        create(QStringLiteral("nuvo_Message.Msg"))
            ->invoke(QStringLiteral("ShowMsg"), {ctx.cnstr(), QVariant(ctx.userId())});
    } else if (n == QLatin1String("mnuabout")) {
        windowTable().open(windows::About, parent, WindowMode::Modal);
    } else if (n == QLatin1String("printbarcode")) {
        startBillComponent(RunBill)->invoke(QStringLiteral("PrintBarcode"));
    } else if (n == QLatin1String("updategrade")) {
        grant("930");
        m_host.upgradeProgram();
    }
}

void CommandDispatch::refreshClosedState() {
    db::Connection conn(loginContext().cnstr());
    const QVariant v = conn.scalar(QStringLiteral("select FValue from t_systemprofile where lower(fkey)=?"),
                                   {QStringLiteral("closed")});
    const bool closed = db::Recordset::textOf(v).trimmed() == QLatin1String("1");
    m_host.setInitClosed(closed, closed ? QStringLiteral("返回初始化") : QStringLiteral("关闭初始化"));
}

void CommandDispatch::RunFunction(int code) {
    m_currentBillKind = qint16(code);
    ui::errorTrap([&] { runFunction(code); });
}

void CommandDispatch::runFunction(int code) {
    const auto &ctx = loginContext();
    QWidget *parent = m_host.hostWindow();
    const QVariant uid(ctx.userId());
    if (isPopupKind(code)) {
        m_host.showBillPopup();
        return;
    }
    switch (code) {
    case 106:
        startBillComponent(RunBill)->invoke(QStringLiteral("HxPurBill"));
        break;
    case 201:
        billSearch(201);
        break;
    case 202:
        windowTable().open(windows::PosDiscount, parent, WindowMode::Modeless);
        break;
    case 203:
        create(QStringLiteral("nuvo_PosReport.Report"))
            ->invoke(QStringLiteral("GetMoney"),
                     {ctx.cnstr(), startup::systemDbConnectionString(), i16(0), QString(), uid});
        break;
    case 204:
        create(QStringLiteral("nuvo_VipMan.VipMan"))->invoke(QStringLiteral("vipman"), {ctx.cnstr(), uid});
        break;
    case 205:
        create(QStringLiteral("nuvo_VipMan.VipMan"))
            ->invoke(QStringLiteral("VipReserve"), {ctx.cnstr(), uid});
        break;
    case 206:
        create(QStringLiteral("nuvo_VipMan.VipMan"))->invoke(QStringLiteral("changejf"), {ctx.cnstr(), uid});
        break;
    case 207:
        create(QStringLiteral("nuvo_Weight.Weight"))
            ->invoke(QStringLiteral("ShowWeightItem"), {ctx.cnstr(), startup::systemDbConnectionString()});
        break;
    case 301:
    case 302:
    case 303: {
        static const QString members[] = {QStringLiteral("BackupStockQty"), QStringLiteral("PrintPdData"),
                                          QStringLiteral("GenPdDAta")};
        create(QStringLiteral("nuvo_PdMan.Pd_Manager"))->invoke(members[code - 301], {ctx.cnstr(), uid});
        break;
    }
    case 501:
        create(QStringLiteral("VnitemGy.ViewItem"))
            ->invoke(QStringLiteral("ShowItem"),
                     {i16(0), ctx.cnstr(), QVariant(), QVariant(), true, QVariant(), uid});
        break;
    case 502:
        create(PriceMan)->invoke(QStringLiteral("EditSalePrice"),
                                 {ctx.cnstr(), uid, QVariant(ctx.isManager()), ctx.masterPromptString()});
        break;
    case 503:
        create(PriceMan)->invoke(QStringLiteral("ManPurPrice"),
                                 {ctx.cnstr(), uid, QVariant(ctx.isManager())});
        break;
    case 504:
        windowTable().open(windows::SetPara, parent, WindowMode::Modal);
        break;
    case 505:
        create(QStringLiteral("nuvo_User.UserMan"))->invoke(QStringLiteral("UserMan"), {ctx.cnstr(), uid});
        break;
    default:
        break;
    }
}

void CommandDispatch::OpenNewBill(int kind) {
    ui::errorTrap([&] { newBill(kind); });
}

void CommandDispatch::newBill(int kind) {
    const BillRow *row = findBill(NewBillTable, kind);
    if (!row)
        return;
    grant(row->grant);
    startBillComponent(row->cash ? CashBill : RunBill)->invoke(QStringLiteral("NewBill"), {i16(row->code)});
}

void CommandDispatch::OpenBillSearch() {
    ui::errorTrap([&] { billSearch(m_currentBillKind); });
}

void CommandDispatch::billSearch(int kind) {
    const BillRow *row = findBill(BillSearchTable, kind);
    if (!row)
        return;
    grant(row->grant);
    startBillComponent(row->cash ? CashBill : RunBill)
        ->invoke(QStringLiteral("SearchBill"), {i16(row->code)});
}

void CommandDispatch::OpenReport(int reportNumber, int group) {
    ui::errorTrap([&] { report(reportNumber, group); });
}

void CommandDispatch::report(int reportNumber, int group) {
    static const QString progIds[] = {QStringLiteral("nuvo_PurReport.Report"),
                                      QStringLiteral("nuvo_PosReport.Report"),
                                      QStringLiteral("nuvo_StockReport.Report")};
    const auto &ctx = loginContext();
    if (group >= 1 && group <= 3) {
        create(progIds[group - 1])
            ->invoke(QStringLiteral("RunReport"),
                     {ctx.cnstr(), startup::systemDbConnectionString(), QVariant(reportNumber),
                      i16(ctx.currentYear()), i16(ctx.currentPeriod()), i16(ctx.startYear()),
                      i16(ctx.startPeriod()), QVariant(ctx.userId()), ctx.userName()});
    } else if (group == 4) {
        startBillComponent(CashBill)->invoke(QStringLiteral("RunReport"), {QVariant(reportNumber)});
    }
}

void CommandDispatch::ReLoginUser() {
    ui::errorTrap([&] { reLogin(); });
}

void CommandDispatch::reLogin() {
    auto &ctx = loginContext();
    auto login = create(LoginProg);
    login->invoke(QStringLiteral("ReLogin"), {ctx.cnstr()});
    if (!login->property(QStringLiteral("OK")).toBool())
        return;
    ctx.setUser(login->property(QStringLiteral("UserID")).toInt(),
                login->property(QStringLiteral("UserName")).toString());
    db::Connection conn(ctx.cnstr());
    db::Recordset rs =
        conn.open(QStringLiteral("select FManager from t_user where FUserID=?"), {ctx.userId()});
    if (!rs.eof())
        ctx.setIsManager(rs.toBool(QStringLiteral("FManager")));
    m_host.userChanged();
}

} // namespace zostore::shell
