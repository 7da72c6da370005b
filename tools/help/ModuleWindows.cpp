#include "ModuleWindows.h"

#include "db/Connection.h"
#include "modules/bills/frmBill.h"
#include "modules/bills/frmBillSearch.h"
#include "modules/bills/frmPd.h"
#include "modules/init/frmInitStock.h"
#include "modules/init/frmInitWL.h"
#include "modules/items/frmFileEdit.h"
#include "modules/items/frmItemEdit.h"
#include "modules/items/frmViewItem.h"
#include "modules/members/frmChangeJf.h"
#include "modules/members/frmVipEdit.h"
#include "modules/members/frmVipMan.h"
#include "modules/members/frmVipReserve.h"
#include "modules/users/frmUserEdit.h"
#include "modules/users/frmUserMan.h"
#include "startup/LoginContext.h"

namespace zostore::help {

namespace {

QString cnstr() {
    return startup::loginContext().cnstr();
}

int user() {
    return startup::loginContext().userId();
}

// The first row of a file, so that a form shows a filled-in record.
int first(const char *table, const char *where = "1=1", const char *key = "FItemID") {
    db::Connection conn(cnstr());
    return conn
        .scalar(QStringLiteral("select min(%3) from %1 where %2")
                    .arg(QLatin1String(table), QLatin1String(where), QLatin1String(key)))
        .toInt();
}

int member() {
    return first("Vip", "coalesce(FDel,0)=0", "FVipID");
}

} // namespace

const QList<ModuleWindow> &moduleWindows() {
    using namespace modules;
    static const QList<ModuleWindow> windows{
        {QStringLiteral("frmUserMan"), QStringLiteral("frmUserMan.png"),
         [] { return new users::frmUserMan(cnstr(), user()); }},
        {QStringLiteral("frmUserEdit"), QStringLiteral("frmUserEdit.png"),
         [] { return new users::frmUserEdit(users::frmUserEdit::Mode::NewUser); }},
        {QStringLiteral("frmViewItem"), QStringLiteral("frmViewItem.png"),
         [] { return new items::frmViewItem(cnstr(), user()); }},
        {QStringLiteral("frmItemEdit"), QStringLiteral("frmItemEdit.png"),
         [] { return new items::frmItemEdit(cnstr(), first("t_ICItem", "FDel=0"), 0); }},
        {QStringLiteral("frmFileEdit"), QStringLiteral("frmFileEdit.png"),
         [] { return new items::frmFileEdit(cnstr(), items::FileKind::Supplier, first("t_Supplier")); }},
        {QStringLiteral("frmVipMan"), QStringLiteral("frmVipMan.png"),
         [] { return new members::frmVipMan(cnstr(), user()); }},
        {QStringLiteral("frmVipEdit"), QStringLiteral("frmVipEdit.png"),
         [] { return new members::frmVipEdit(cnstr(), user(), member()); }},
        {QStringLiteral("frmVipReserve"), QStringLiteral("frmVipReserve.png"),
         [] { return new members::frmVipReserve(cnstr(), user(), member()); }},
        {QStringLiteral("frmChangeJf"), QStringLiteral("frmChangeJf.png"),
         [] { return new members::frmChangeJf(cnstr(), user(), member()); }},
        {QStringLiteral("frmInitStock"), QStringLiteral("frmInitStock.png"),
         [] { return new init::frmInitStock(cnstr()); }},
        {QStringLiteral("frmInitWL"), QStringLiteral("frmInitWL_2.png"),
         [] { return new init::frmInitWL(cnstr(), init::PartnerKind::Suppliers); }},
        {QStringLiteral("frmBill"), QStringLiteral("frmBill_12.png"),
         [] { return new bills::frmBill(cnstr(), user(), 12); }},
        {QStringLiteral("frmBillSearch"), QStringLiteral("frmBillSearch_12.png"),
         [] { return new bills::frmBillSearch(cnstr(), user(), 12); }},
        {QStringLiteral("frmPdBackup"), QStringLiteral("frmPdBackup.png"),
         [] { return new bills::frmPdBackup(cnstr(), user()); }},
        {QStringLiteral("frmPdEntry"), QStringLiteral("frmPdEntry.png"),
         [] { return new bills::frmPdData(cnstr(), user(), bills::frmPdData::Mode::Enter); }},
        {QStringLiteral("frmPdPrint"), QStringLiteral("frmPdPrint.png"),
         [] { return new bills::frmPdData(cnstr(), user(), bills::frmPdData::Mode::Print); }},
    };
    return windows;
}

} // namespace zostore::help
