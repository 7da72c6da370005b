// Large synthetic account sets for benchmarks: the same counts always give the same content.
#include "demo/Generator.h"

#include "accountdb/AccountProcedures.h"
#include "accountdb/ClosingLog.h"
#include "accountdb/PasswordHash.h"
#include "accountdb/StoreStock.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "db/Transaction.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QElapsedTimer>

namespace zostore::demo {

namespace {

// Row numbers 1..? as a recursive query; 64-bit so the mixing arithmetic below cannot overflow.
const QString seq = QStringLiteral(
    "with recursive s(n) as (select cast(1 as bigint) union all select n+1 from s where n<?) ");

// Transaction mix: one in twenty of each rare type, counter and wholesale sales the most.
const int typeMix[20] = {12, 12, 12, 14, 15, 16, 22, 22, 22, 22, 24, 25, 26, 31, 33, 99, 99, 99, 99, 99};

} // namespace

void checkCounts(const GeneratorCounts &c) {
    const auto need = [](bool ok, const QString &what) {
        if (!ok)
            throw Error(what);
    };
    need(c.items >= 1 && c.items <= 10'000'000, QStringLiteral("商品数必须在 1 到 10000000 之间。"));
    need(c.stores >= 1 && c.stores <= 1000, QStringLiteral("仓库数必须在 1 到 1000 之间。"));
    need(c.members >= 0 && c.members <= 10'000'000, QStringLiteral("会员数必须在 0 到 10000000 之间。"));
    need(c.bills >= 1 && c.bills <= 10'000'000, QStringLiteral("单据数必须在 1 到 10000000 之间。"));
    need(c.lines >= 1 && c.lines <= 1000, QStringLiteral("每张单据的行数必须在 1 到 1000 之间。"));
    need(static_cast<qint64>(c.bills) * c.lines <= 100'000'000,
         QStringLiteral("单据行总数不能超过 100000000。"));
    need(c.months >= 1 && c.months <= 120, QStringLiteral("月份数必须在 1 到 120 之间。"));
    need(c.lastDay.isValid(), QStringLiteral("截止日期无效。"));
}

GeneratorResult generateAccount(db::Connection &conn, const GeneratorCounts &c,
                                const std::function<void(const QString &)> &progress) {
    checkCounts(c);
    if (conn.scalar(QStringLiteral("select count(*) from t_ICItem")).toInt() > 0)
        throw Error(QStringLiteral("帐套中已有商品资料，只能在空帐套中生成数据。"));
    accountdb::registerAccountProcedures();
    GeneratorResult r;
    QElapsedTimer timer;
    timer.start();
    const auto stage = [&](const QString &what, qint64 rows) {
        r.rows += rows;
        if (progress)
            progress(QStringLiteral("%1：%2 行，累计 %3 秒")
                         .arg(what)
                         .arg(rows)
                         .arg(timer.elapsed() / 1000.0, 0, 'f', 1));
    };
    const QDate first = QDate(c.lastDay.year(), c.lastDay.month(), 1).addMonths(-(c.months - 1));
    const int days = static_cast<int>(first.daysTo(c.lastDay)) + 1;
    const int suppliers = 20, customers = 20, employees = 10;

    db::Transaction tx(conn);
    // Small lookup tables drive the set-based statements; they are dropped again before commit.
    conn.execute(
        QStringLiteral("create temporary table zs_gen_day (k integer primary key, FDate timestamp, FYear "
                       "integer, FPeriod integer)"));
    conn.execute(
        QStringLiteral("create temporary table zs_gen_type (k integer primary key, FTranType integer)"));
    {
        auto day =
            conn.prepare(QStringLiteral("insert into zs_gen_day(k,FDate,FYear,FPeriod) values(?,?,?,?)"));
        for (int k = 0; k < days; ++k) {
            const QDate d = first.addDays(k);
            day.exec({k, QDateTime(d, QTime(0, 0)), d.year(), d.month()});
        }
        auto type = conn.prepare(QStringLiteral("insert into zs_gen_type(k,FTranType) values(?,?)"));
        for (int k = 0; k < 20; ++k)
            type.exec({k, typeMix[k]});
    }

    conn.execute(QStringLiteral(
        "insert into t_PriceStyle(FItemID,FNumber,FName) values(1,'01','零售价'),(2,'02','批发价'),"
        "(3,'03','会员价')"));
    stage(QStringLiteral("价格类型"), 3);

    stage(
        QStringLiteral("仓库"),
        conn.execute(
            QStringLiteral("insert into t_Stock(FItemID,FNumber,FName,FVirtual,FPriceStyleID) ") + seq +
                QStringLiteral("select n,'S'||n,'仓库'||n,case when n=? and n>2 then 1 else 0 end,1 from s"),
            {c.stores, c.stores}));
    const int groups = std::max(1, c.items / 100);
    stage(QStringLiteral("商品类别"),
          conn.execute(QStringLiteral("insert into t_ItemGroup(FItemID,FNumber,FName,FParentID) ") + seq +
                           QStringLiteral("select n,'G'||n,'类别'||n,0 from s"),
                       {groups}));
    stage(
        QStringLiteral("商品"),
        conn.execute(
            QStringLiteral(
                "insert into t_ICItem(FItemID,FNumber,FName,FModel,FUnit,FExchange,FParentID,FDel,FPurPrice,"
                "FPjCost,FShopNumber,FBar_Code,FPrice_1,FPrice_2,FPrice_3) ") +
                seq +
                QStringLiteral("select n,'I'||right('0000000'||n,8),'商品'||n,'规格'||(n%7),'个',"
                               "case n%4 when 0 then 1 when 1 then 6 when 2 then 12 else 24 end,1+n%?,0,"
                               "(n*37%900+50)/10.0,(n*37%900+50)/10.0,'S'||n,'69'||right('0000000000'||n,11),"
                               "round((n*37%900+50)/10.0*1.3,2),round((n*37%900+50)/10.0*1.1,2),"
                               "round((n*37%900+50)/10.0*1.2,2) from s"),
            {c.items, groups}));
    {
        auto partner = [&](const QString &table, const QString &prefix, int n) {
            return conn.execute(
                QStringLiteral("insert into %1(FItemID,FNumber,FName) ").arg(table) + seq +
                    QStringLiteral("select n,cast(? as varchar(50))||n,cast(? as varchar(50))||n from s"),
                {n, prefix, prefix});
        };
        qint64 rows = partner(QStringLiteral("t_Supplier"), QStringLiteral("供应商"), suppliers);
        rows += partner(QStringLiteral("t_Organization"), QStringLiteral("客户"), customers);
        rows += conn.execute(QStringLiteral("insert into t_Emp(FItemID,FNumber,FName) ") + seq +
                                 QStringLiteral("select n,'E'||n,'职员'||n from s"),
                             {employees});
        stage(QStringLiteral("往来单位和职员"), rows);
    }
    if (c.members > 0)
        stage(QStringLiteral("会员"),
              conn.execute(QStringLiteral("insert into Vip(FVipID,FCardNo,FOwner,FPhone,fbirthdate,FJf) ") +
                               seq +
                               QStringLiteral("select n,'V'||n,'会员'||n,'138'||right('00000000'||n,8),"
                                              "d.FDate,n%1000 from s inner join zs_gen_day d on d.k=n%?"),
                           {c.members, days}));

    r.bills = conn.execute(
        QStringLiteral(
            "insert into ICStockBill(FInterID,FBillNo,FDate,FYear,FPeriod,FTranType,FDeleted,FOrgaID,"
            "FOutStockID,FInStockID,FVipID,FEmpID,FBillerID) ") +
            seq +
            QStringLiteral(
                "select n,'B'||n,d.FDate,d.FYear,d.FPeriod,t.FTranType,0,"
                "case when t.FTranType in (12,14) then 1+n%? when t.FTranType in (22,24,33) then 1+n%? end,"
                "case when t.FTranType in (14,22,25,26,33,99,31) then 1+n%? end,"
                "case when t.FTranType in (12,15,16,24) then 1+n%? when t.FTranType=31 then 1+(n+1)%? end,"
                "case when t.FTranType=99 and n%3=0 and ?>0 then 1+n%? end,1+n%?,1 "
                "from s inner join zs_gen_day d on d.k=(n-1)*?/? inner join zs_gen_type t on t.k=n%20"),
        {c.bills, suppliers, customers, c.stores, c.stores, c.stores, c.members, std::max(1, c.members),
         employees, days, c.bills});
    stage(QStringLiteral("单据"), r.bills);

    // Each purchase and purchase return pays its own price, drifting up to 12 % around the item's list
    // price by bill, item and month, and one sale line in thirteen clears stock under the list price:
    // the latest price, the monthly average and a price style then value the issues differently.
    const QString paid = QStringLiteral(
        "round(i.FPurPrice*(1+((b.FInterID*17+i.FItemID*7+(b.FYear*12+b.FPeriod)*5)%25-12)/100.0),2)");
    const QString price =
        QStringLiteral("case when b.FTranType in (12,14) then %1 when b.FTranType in (15,16,25,26,31) then "
                       "i.FPurPrice when b.FTranType=33 then 0 when b.FTranType in (22,99) and l.m%13=0 then "
                       "round(i.FPurPrice*0.85,2) when b.FTranType=22 then i.FPrice_2 else i.FPrice_1 end")
            .arg(paid);
    const QString unitCost =
        QStringLiteral("case when b.FTranType in (12,14) then %1 else i.FPurPrice end").arg(paid);
    r.lines = conn.execute(
        QStringLiteral(
            "insert into ICStockBillEntry(FInterID,FEntryID,FItemID,FQty,FMainQty,FPrice,FAmount,FUnitCost,"
            "FCost,FPreSend) ") +
            seq +
            QStringLiteral(
                ", l(m,q) as (select n,1+n%5 from s) "
                "select b.FInterID,1+(l.m-1)%?,i.FItemID,l.q,case when i.FExchange=1 then l.q else 0 end,"
                "%1,round(l.q*%1,2),%2,round(l.q*%2,2),0 "
                "from l inner join ICStockBill b on b.FInterID=1+(l.m-1)/? "
                "inner join t_ICItem i on i.FItemID=1+(l.m*7919+b.FInterID*31)%?")
                .arg(price, unitCost),
        {static_cast<qint64>(c.bills) * c.lines, c.lines, c.lines, c.items});
    stage(QStringLiteral("单据分录"), r.lines);

    db::ProcArgs all;
    all.add(QStringLiteral("@InterID"), db::ParamType::Integer, 0);
    conn.callProcedure(QStringLiteral("sp_UpdateBillSums"), all, 0);
    stage(QStringLiteral("单据合计"), 0);

    // Opening balances of the first month, then each month carried by the receipts and issues of the one
    // before.
    r.balances = conn.execute(
        QStringLiteral("insert into icbal(FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) "
                       "select FItemID,?,?,100+FItemID%50,FPurPrice,round((100+FItemID%50)*FPurPrice,2) "
                       "from t_ICItem"),
        {first.year(), first.month()});
    // Each real store holds an equal share, the first one the rest.
    const int realStores =
        conn.scalar(QStringLiteral("select count(*) from t_Stock where FVirtual=0")).toInt();
    conn.execute(
        QStringLiteral("insert into icstockbal(FYear,FPeriod,FItemID,FStockID,FBegQty,FBegBal) "
                       "select ?,?,q.FItemID,q.FStockID,q.FQty,round(q.FQty*q.FPurPrice,2) from ("
                       "select i.FItemID,s.FItemID as FStockID,i.FPurPrice,(100+i.FItemID%50)/cast(? as integer)"
                       "+case when s.FItemID=(select min(FItemID) from t_Stock where FVirtual=0) "
                       "then (100+i.FItemID%50)%cast(? as integer) else 0 end as FQty "
                       "from t_ICItem i cross join t_Stock s where s.FVirtual=0) q"),
        {first.year(), first.month(), realStores, realStores});
    accountdb::alignStoreOpenings(conn, first.year(), first.month());
    for (int m = 1; m < c.months; ++m) {
        const QDate from = first.addMonths(m - 1), to = first.addMonths(m);
        r.balances += conn.execute(
            QStringLiteral(
                "insert into icbal(FItemID,FYear,FPeriod,FBegQty,FBegPrice,FBegBal) "
                "select b.FItemID,?,?,b.FBegQty+coalesce(mv.q,0),"
                "case when b.FBegQty+coalesce(mv.q,0)<>0 then round(round(b.FBegBal+coalesce(mv.v,0),2)/"
                "(b.FBegQty+coalesce(mv.q,0)),4) else 0 end,round(b.FBegBal+coalesce(mv.v,0),2) "
                "from icbal b left join (select e.FItemID,"
                "sum(case when t.FTranType in (12,15,16,24) then e.FQty when t.FTranType in "
                "(14,22,25,26,33,99) then "
                "-e.FQty else 0 end) as q,"
                "sum(case when t.FTranType in (12,15,16,24) then e.FCost when t.FTranType in "
                "(14,22,25,26,33,99) then "
                "-e.FCost else 0 end) as v "
                "from ICStockBill t inner join ICStockBillEntry e on t.FInterID=e.FInterID "
                "where t.FDeleted=0 and t.FYear=? and t.FPeriod=? group by e.FItemID) mv on "
                "mv.FItemID=b.FItemID "
                "where b.FYear=? and b.FPeriod=?"),
            {to.year(), to.month(), from.year(), from.month(), from.year(), from.month()});
        accountdb::computeStoreEnding(conn, QStringLiteral("zs_gen_ending"), from.year(), from.month());
        accountdb::writeStoreOpenings(conn, QStringLiteral("zs_gen_ending"), to.year(), to.month());
        conn.execute(QStringLiteral("drop table zs_gen_ending"));
    }
    stage(QStringLiteral("期初余额"), r.balances);

    conn.execute(QStringLiteral("drop table zs_gen_day"));
    conn.execute(QStringLiteral("drop table zs_gen_type"));
    accountdb::writeProfile(conn, QStringLiteral("StartYear"), QString::number(first.year()),
                            QStringLiteral("帐套启用年度"));
    accountdb::writeProfile(conn, QStringLiteral("StartPeriod"), QString::number(first.month()),
                            QStringLiteral("帐套启用期间"));
    accountdb::writeProfile(conn, QStringLiteral("CurrentYear"), QString::number(c.lastDay.year()),
                            QStringLiteral("帐套当前年度"));
    accountdb::writeProfile(conn, QStringLiteral("CurrentPeriod"), QString::number(c.lastDay.month()),
                            QStringLiteral("帐套当前期间"));
    accountdb::writeProfile(conn, QStringLiteral("Closed"), QStringLiteral("1"),
                            QStringLiteral("初始化已关闭"));
    accountdb::markMonthsClosed(conn, first, c.lastDay);
    accountdb::rebuildStoreStock(conn);
    if (conn.scalar(QStringLiteral("select count(*) from t_User")).toInt() == 0)
        conn.execute(
            QStringLiteral(
                "insert into t_User(FUserID,FName,FPassword,FManager,FDescription) values(1,?,?,1,?)"),
            {QStringLiteral("admin"), accountdb::hashPassword(QStringLiteral("admin123")),
             QStringLiteral("系统管理员")});
    tx.commit();
    stage(QStringLiteral("提交"), 0);
    // Without statistics PostgreSQL plans the first statements on the new rows as if the tables were empty;
    // the vacuum leaves the rows as a month of autovacuum would, so that the next writer does not pay for it.
    conn.execute(conn.isPostgres() ? QStringLiteral("vacuum analyze") : QStringLiteral("analyze"));
    r.seconds = timer.elapsed() / 1000.0;
    stage(QStringLiteral("统计信息"), 0);
    return r;
}

QString contentChecksum(db::Connection &conn) {
    const QStringList queries = {
        QStringLiteral(
            "select count(*),sum(FItemID*FExchange),sum(FPurPrice),sum(FPrice_1),sum(FPrice_2),sum(FPrice_3) "
            "from t_ICItem"),
        QStringLiteral(
            "select count(*),sum(FInterID*FTranType),sum(coalesce(FOrgaID,0)+coalesce(FOutStockID,0)*7+"
            "coalesce(FInStockID,0)*11+coalesce(FVipID,0)*13),sum(FSumAmount),sum(FSumCost),sum(FSumProfit),"
            "sum(FYear*12+FPeriod) from ICStockBill"),
        QStringLiteral("select count(*),sum(FInterID*FEntryID+FItemID),sum(FQty),sum(FAmount),sum(FCost) "
                       "from ICStockBillEntry"),
        QStringLiteral("select count(*),sum(FBegQty),sum(FBegBal),sum(FYear*12+FPeriod) from icbal"),
        QStringLiteral("select count(*),sum(FBegQty*FStockID),sum(FBegBal*FStockID) from icstockbal"),
        QStringLiteral("select count(*),sum(FQty*FStockID) from ICInventory"),
        QStringLiteral("select count(*),sum(FVipID) from Vip"),
        QStringLiteral("select count(*),sum(FItemID*(FVirtual+1)) from t_Stock"),
        QStringLiteral(
            "select min(FYear*10000+FPeriod*100+day(FDate)),max(FYear*10000+FPeriod*100+day(FDate)) "
            "from ICStockBill")};
    QStringList parts;
    for (const QString &q : queries) {
        auto rs = conn.open(q);
        for (int i = 0; i < rs.fieldCount(); ++i)
            parts << QString::number(db::Recordset::doubleOf(rs.value(i)), 'f', 2);
    }
    return QString::fromLatin1(
        QCryptographicHash::hash(parts.join(QLatin1Char('|')).toUtf8(), QCryptographicHash::Sha256).toHex());
}

} // namespace zostore::demo
