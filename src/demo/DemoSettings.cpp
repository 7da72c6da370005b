// The demo's profile, report list, print variables and formats, member points, counter data and limits.
#include "accountdb/ClosingLog.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "demo/DemoContext.h"

#include <QDateTime>

namespace zostore::demo::shop {

namespace {

void profile(Context &ctx) {
    auto &c = ctx.conn;
    if (accountdb::readProfile(c, QStringLiteral("Ver")).isEmpty())
        accountdb::insertProfileDefaults(c, ctx.start.year(), ctx.start.month());
    const auto set = [&](const QString &key, const QString &value, const QString &description = QString()) {
        accountdb::writeProfile(c, key, value, description);
    };
    set(QStringLiteral("StartYear"), QString::number(ctx.start.year()), QStringLiteral("帐套启用年度"));
    set(QStringLiteral("StartPeriod"), QString::number(ctx.start.month()), QStringLiteral("帐套启用期间"));
    set(QStringLiteral("CurrentYear"), QString::number(ctx.today.year()), QStringLiteral("帐套当前年度"));
    set(QStringLiteral("CurrentPeriod"), QString::number(ctx.today.month()), QStringLiteral("帐套当前期间"));
    set(QStringLiteral("Closed"), QStringLiteral("1"), QStringLiteral("初始化已关闭"));
    accountdb::markMonthsClosed(c, ctx.start, ctx.today);
    set(QStringLiteral("ShowAction"), QStringLiteral("1"), QStringLiteral("开机显示每日提醒"));
    set(QStringLiteral("MinStock"), QStringLiteral("0.5"));
    set(QStringLiteral("MaxStock"), QStringLiteral("2"));
    set(QStringLiteral("SafeStock"), QStringLiteral("1"));
    set(QStringLiteral("StockLimitDays"), QStringLiteral("30"));
    set(QStringLiteral("CardLen"), QStringLiteral("10"));
    set(QStringLiteral("CardType"), QStringLiteral("磁卡"), QStringLiteral("会员卡类型"));
    set(QStringLiteral("WeightBegChar"), QStringLiteral("22"));
}

void reports(Context &ctx) {
    struct R {
        int group, type;
        const char *name;
    };
    static const R rows[] = {
        {1, 0, "采购明细表"},           {1, 0, "采购退货明细表"},     {1, 1, "采购汇总表(按商品)"},
        {1, 1, "采购汇总表(按供应商)"}, {1, 2, "采购订单执行情况表"}, {1, 2, "供应商供货排行榜"},
        {2, 0, "销售明细表"},           {2, 0, "销售退货明细表"},     {2, 1, "销售汇总表(按商品)"},
        {2, 1, "销售汇总表(按客户)"},   {2, 2, "销售毛利分析表"},     {2, 2, "业务员销售排行榜"},
        {3, 0, "库存余额表"},           {3, 0, "商品进出明细账"},     {3, 1, "库存收发存汇总表"},
        {3, 1, "仓库调拨汇总表"},       {3, 2, "其他出入库明细表"},   {3, 2, "库存上下限报警表"},
        {4, 0, "应付款明细表"},         {4, 0, "应收款明细表"},       {4, 1, "应付款汇总表"},
        {4, 1, "应收款汇总表"},         {4, 2, "现金收支明细表"},     {4, 2, "费用开支汇总表"},
        {5, 0, "前台销售日报表"},       {5, 0, "收银员交班对账表"},   {5, 1, "前台商品销售排行榜"},
        {5, 1, "时段销售分析表"},       {5, 2, "会员消费明细表"},     {5, 2, "会员积分汇总表"}};
    auto ins = ctx.conn.prepare(
        QStringLiteral("insert into ReportList(FGroupID,FReportID,FType,FReportName) values(?,?,?,?)"));
    int last = 0, number = 0;
    for (const R &r : rows) {
        number = r.group == last ? number + 1 : 1;
        last = r.group;
        ins.exec({r.group, number, r.type, QString::fromUtf8(r.name)});
    }
}

void printing(Context &ctx) {
    auto detail = ctx.conn.prepare(QStringLiteral(
        "insert into t_ItemDetail(FItemClassID,FFieldID,FFieldName,FFieldDesc,FSystem) values(4,?,?,?,?)"));
    const QList<QPair<QString, QString>> system = {{QStringLiteral("FNumber"), QStringLiteral("商品代码")},
                                                   {QStringLiteral("FName"), QStringLiteral("商品名称")},
                                                   {QStringLiteral("FModel"), QStringLiteral("规格型号")},
                                                   {QStringLiteral("FUnit"), QStringLiteral("单位")}};
    int field = 0;
    for (const auto &f : system)
        detail.exec({++field, f.first, f.second, 1});
    detail.exec({++field, QStringLiteral("FBrand"), QStringLiteral("品牌"), 0});
    detail.exec({++field, QStringLiteral("FOrigin"), QStringLiteral("产地"), 0});
    detail.exec({++field, QStringLiteral("FShelfLife"), QStringLiteral("保质期(天)"), 0});

    auto var = ctx.conn.prepare(
        QStringLiteral("insert into tdvariant(ftrantype,fvarname,FVarCaption) values(?,?,?)"));
    const QList<QPair<const char *, const char *>> receipt = {
        {"FShopName", "店名"},       {"FCashier", "收银员"},
        {"FBillNo", "单号"},         {"FCopyFlag", "复件标志"},
        {"FItemName", "商品名称"},   {"FShopNumber", "店内码"},
        {"FBarCode", "条码"},        {"FQty", "数量"},
        {"FRetailPrice", "零售价"},  {"FPrice", "单价"},
        {"FZkRate", "折扣率"},       {"FAmount", "金额"},
        {"FSumAmount", "本单合计"},  {"FSumQty", "数量合计"},
        {"FReceive", "实收金额"},    {"FChange", "找零"},
        {"FSettleTime", "结算时间"}, {"FVipCardNo", "会员卡号"},
        {"FVipJf", "本次积分"}};
    for (const auto &v : receipt)
        // Captions carry their dollar signs, so inserting one writes a variable the counters fill.
        var.exec({99, QString::fromLatin1(v.first), QLatin1Char('$') + QString::fromUtf8(v.second) + QLatin1Char('$')});
    var.exec({99, QStringLiteral("FPrice_1"), QStringLiteral("零售价")});
    var.exec({99, QStringLiteral("FPrice_2"), QStringLiteral("批发价")});
    var.exec({99, QStringLiteral("FPrice_3"), QStringLiteral("会员价")});
    const QList<QPair<const char *, const char *>> label = {
        {"FName", "商品名称"}, {"FModel", "规格"},     {"FUnit", "单位"},     {"FBar_Code", "条码"},
        {"FOrigin", "产地"},   {"FPrice_1", "零售价"}, {"FPrice_3", "会员价"}};
    for (const auto &v : label)
        var.exec({51, QString::fromLatin1(v.first), QString::fromUtf8(v.second)});

    auto fmt = ctx.conn.prepare(
        QStringLiteral("insert into TDBill(FTDBillName,FSelected,FTranType,FContent) values(?,?,?,?)"));
    // Label layouts in millimetres, the form the label designer saves; three price labels fit across A4.
    const char *priceLabel =
        R"({"version":1,"width":60,"height":40,"gapX":3,"gapY":3,"marginLeft":8,"marginTop":10,"columns":3,)"
        R"("elements":[{"kind":"box","x":0.5,"y":0.5,"w":59,"h":39,"lineWidth":0.3},)"
        R"({"kind":"field","field":"FName","x":3,"y":2,"w":54,"h":7,"fontSize":11,"bold":true,"align":0},)"
        R"({"kind":"field","field":"FModel","text":"规格：","x":3,"y":9.5,"w":30,"h":5,"fontSize":7,"bold":false,"align":0},)"
        R"({"kind":"field","field":"FUnit","text":"单位：","x":34,"y":9.5,"w":23,"h":5,"fontSize":7,"bold":false,"align":0},)"
        R"({"kind":"line","x":3,"y":15,"w":54,"h":0,"lineWidth":0.2},)"
        R"({"kind":"price","field":"FPriceText","text":"¥","x":30,"y":16,"w":27,"h":10,"fontSize":18,"bold":true,"align":2},)"
        R"({"kind":"text","text":"零售价","x":3,"y":18,"w":20,"h":5,"fontSize":8,"bold":false,"align":0},)"
        R"({"kind":"barcode","field":"FBarCode","symbology":"EAN-13","showDigits":true,"x":3,"y":26,"w":40,"h":12}]})";
    const char *shelfLabel =
        R"({"version":1,"width":90,"height":30,"gapX":4,"gapY":4,"marginLeft":13,"marginTop":12,"columns":2,)"
        R"("elements":[{"kind":"box","x":0.5,"y":0.5,"w":89,"h":29,"lineWidth":0.4},)"
        R"({"kind":"field","field":"FName","x":3,"y":2,"w":56,"h":8,"fontSize":12,"bold":true,"align":0},)"
        R"({"kind":"field","field":"FNumber","text":"货号：","x":3,"y":11,"w":40,"h":5,"fontSize":8,"bold":false,"align":0},)"
        R"({"kind":"field","field":"FModel","text":"规格：","x":3,"y":16.5,"w":40,"h":5,"fontSize":8,"bold":false,"align":0},)"
        R"({"kind":"price","field":"FPriceText","text":"¥","x":58,"y":2,"w":29,"h":12,"fontSize":20,"bold":true,"align":2},)"
        R"({"kind":"barcode","field":"FNumber","symbology":"Code 128","showDigits":true,"x":46,"y":15,"w":41,"h":12}]})";
    // The receipt's print format: header fields above, the lines table, total and page number below.
    const char *receiptBill =
        R"({"version":1,"width":200,"height":130,"gapX":2,"gapY":2,"marginLeft":5,"marginTop":5,"columns":1,)"
        R"("elements":[{"kind":"field","field":"FKindName","x":0,"y":2,"w":200,"h":9,"fontSize":16,"bold":true,"align":1},)"
        R"({"kind":"field","field":"FBillNo","text":"单据号码：","x":2,"y":14,"w":64,"h":6,"fontSize":9,"bold":false,"align":0},)"
        R"({"kind":"field","field":"FDate","text":"单据日期：","x":68,"y":14,"w":64,"h":6,"fontSize":9,"bold":false,"align":0},)"
        R"({"kind":"field","field":"FPartner","text":"供应商：","x":134,"y":14,"w":64,"h":6,"fontSize":9,"bold":false,"align":0},)"
        R"({"kind":"field","field":"FInStock","text":"入库仓库：","x":2,"y":21,"w":64,"h":6,"fontSize":9,"bold":false,"align":0},)"
        R"({"kind":"field","field":"FEmp","text":"经手人：","x":68,"y":21,"w":64,"h":6,"fontSize":9,"bold":false,"align":0},)"
        R"({"kind":"field","field":"FRemark","text":"备注：","x":134,"y":21,"w":64,"h":6,"fontSize":9,"bold":false,"align":0},)"
        R"({"kind":"table","x":2,"y":29,"w":196,"h":86,"fontSize":9,"lineWidth":0.3,)"
        R"("columns":["FNumber","FName","FModel","FUnit","FQty","FPrice","FAmount"]},)"
        R"({"kind":"field","field":"FSumAmount","text":"合计金额：","x":2,"y":118,"w":96,"h":6,"fontSize":9,"bold":true,"align":0},)"
        R"({"kind":"field","field":"FPage","x":102,"y":118,"w":96,"h":6,"fontSize":9,"bold":false,"align":2}]})";
    ctx.conn.execute(QStringLiteral("insert into TDBill(FTDBillName,FSelected,FTranType,FContent,FLayout) "
                                    "values(?,1,12,?,?)"),
                     {QStringLiteral("采购入库单标准格式"), QStringLiteral("纸张=A4;方向=纵向"), QString::fromUtf8(receiptBill)});
    auto layout = ctx.conn.prepare(QStringLiteral(
        "insert into TDBill(FTDBillName,FSelected,FTranType,FContent,FLayout) values(?,?,51,'',?)"));
    layout.exec({QStringLiteral("商品价签60×40"), 1, QString::fromUtf8(priceLabel)});
    layout.exec({QStringLiteral("货架标签90×30"), 0, QString::fromUtf8(shelfLabel)});
    fmt.exec({QStringLiteral("销售出库单标准格式"), 1, 22, QStringLiteral("纸张=A4;方向=纵向")});
    fmt.exec({QStringLiteral("销售出库单(针式三联)"), 0, 22, QStringLiteral("纸张=241×140;方向=横向")});
}

void members(Context &ctx) {
    auto rate =
        ctx.conn.prepare(QStringLiteral("insert into VipJfRate(FFromDate,FToDate,FJfRate) values(?,?,?)"));
    const int y = ctx.today.year();
    rate.exec({QDateTime(QDate(y, 10, 1), QTime()), QDateTime(QDate(y, 10, 7), QTime()), 2});
    rate.exec({QDateTime(QDate(y, 5, 1), QTime()), QDateTime(QDate(y, 5, 5), QTime()), 1.5});
    rate.exec({QDateTime(QDate(y, 12, 24), QTime()), QDateTime(QDate(y + 1, 1, 3), QTime()), 2});
    auto amount = ctx.conn.prepare(QStringLiteral("insert into VipJfToAmount(FJf,FAmount) values(?,?)"));
    amount.exec({500, 5});
    amount.exec({1000, 12});
    amount.exec({2000, 30});
    amount.exec({5000, 80});
}

void counters(Context &ctx) {
    const QString line32(32, QLatin1Char('='));
    auto tpl = [&](const QString &shop, const QString &address, const QString &tel) {
        return QStringList{QStringLiteral("      ") + shop,
                           QStringLiteral("       Add:") + address,
                           QStringLiteral("       Tel:") + tel + QStringLiteral("  $复件标志$"),
                           QStringLiteral("收银员:$收银员$"),
                           QStringLiteral("单  号:$单号$"),
                           QStringLiteral("商品名称  数量 单价  折率  金额"),
                           line32,
                           QStringLiteral("$商品名称$"),
                           QStringLiteral("$店内码$ $数量$ $零售价$ $折扣率$ $金额$"),
                           line32,
                           QStringLiteral("本单合计:$本单合计$    共 $数量合计$ 件"),
                           QStringLiteral("客付现金:$实收金额$"),
                           QStringLiteral("找    零:$找零$"),
                           QStringLiteral("       $结算时间$"),
                           QStringLiteral("     谢谢惠顾欢迎下次光临")}
                   .join(QStringLiteral("\r\n")) +
               QStringLiteral("\r\n");
    };
    auto pos = ctx.conn.prepare(QStringLiteral(
        "insert into TDPosBill(FStockName,FConText,FHdrRows,FTableHdrRows,FBdyRows,FItemNameLen,FBarCodeLen,"
        "FAmountLen,FJdRowHeight,FCmdText_beg,FCmdText_end,FEditTime) values(?,?,?,?,?,?,?,?,?,?,?,?)"));
    const QDateTime edited(ctx.start, QTime(10, 0));
    pos.exec({QStringLiteral("人民路店"),
              tpl(QStringLiteral("好邻居超市人民路店"), QStringLiteral("人民路128号"),
                  QStringLiteral("0571-86001234")),
              0, 7, 2, 12, 8, 5, 1, QStringLiteral("27,64"), QStringLiteral("29,86,66,0"), edited});
    pos.exec({QStringLiteral("东门店"),
              tpl(QStringLiteral("好邻居超市东门店"), QStringLiteral("东门大街6号"),
                  QStringLiteral("0571-86005678")),
              0, 7, 2, 14, 8, 6, 0, QStringLiteral("27,64"), QStringLiteral("29,86,66,0"), edited});

    // Time-period discounts: one running this week and one from last month, at both shops.
    auto zk = ctx.conn.prepare(QStringLiteral(
        "insert into "
        "PosQtZkSet(FStockID,FFromDate,FToDate,FEntryID,FItemID,FBarCode,FFromNumber,FZkRate,FPrice,"
        "FRetailPrice,FSaleQty,FVipQty,FMExchange) values(?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    const QList<QPair<QDateTime, QDateTime>> spans = {
        {QDateTime(ctx.today.addDays(-2), QTime(8, 0)), QDateTime(ctx.today.addDays(5), QTime(22, 0))},
        {QDateTime(ctx.start.addMonths(2).addDays(9), QTime(18, 0)),
         QDateTime(ctx.start.addMonths(2).addDays(9), QTime(21, 0))}};
    // Every store: a late-night span that runs over midnight.
    QList<QPair<int, QPair<QDateTime, QDateTime>>> groups;
    for (int store : {2, 3})
        for (const auto &span : spans)
            groups.append({store, span});
    groups.append({0, {QDateTime(ctx.today, QTime(21, 0)), QDateTime(ctx.today.addDays(1), QTime(2, 0))}});
    for (const auto &[store, span] : groups) {
            int entry = 0;
            for (int i = store * 7 + 3; i < ctx.items.size() && entry < 6; i += 23) {
                const Item &it = ctx.items[i];
                if (it.deleted || it.barcode.isEmpty())
                    continue;
                const bool byRate = entry % 2 == 0;
                zk.exec({store, span.first, span.second, ++entry, it.id, it.barcode, it.number,
                         byRate ? 88 : 0, byRate ? 0.0 : round2(it.retail * 0.8), it.retail,
                         byRate ? 0 : 20, byRate ? 0 : 5, 1});
            }
        }
}

void limits(Context &ctx) {
    auto safe = ctx.conn.prepare(
        QStringLiteral("insert into ICSafeStock(FStockID,FItemID,FMin,FMax,FSafe) values(?,?,?,?,?)"));
    auto totals = ctx.conn.prepare(
        QStringLiteral("update t_ICItem set FMinStock=?,FMaxStock=?,FSafeStock=? where FItemID=?"));
    for (int i = 0; i < ctx.items.size(); i += 2) {
        const Item &it = ctx.items[i];
        if (it.deleted)
            continue;
        const double unit = it.weighed ? 5 : it.exchange;
        double sumMin = 0, sumMax = 0, sumSafe = 0;
        for (int store : ctx.realStores) {
            const double min = unit * (store == 1 ? 3 : 1), max = min * 4, safeQty = min * 2;
            safe.exec({store, it.id, min, max, safeQty});
            sumMin += min;
            sumMax += max;
            sumSafe += safeQty;
        }
        totals.exec({sumMin, sumMax, sumSafe, it.id});
    }
}

} // namespace

void loadSettings(Context &ctx) {
    profile(ctx);
    reports(ctx);
    printing(ctx);
    members(ctx);
    counters(ctx);
    limits(ctx);
}

} // namespace zostore::demo::shop
