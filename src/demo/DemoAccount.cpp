// The demo account set: master data, users and grants; bills and settings live in their own files.
#include "demo/DemoAccount.h"

#include "accountdb/PasswordHash.h"
#include "accountdb/Schema.h"
#include "accountdb/StoreStock.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "demo/DemoContext.h"
#include "demo/DemoGoods.h"

#include <QDateTime>
#include <cmath>

namespace zostore::demo {

namespace shop {

double round2(double v) {
    return std::round(v * 100.0 + (v >= 0 ? 1e-7 : -1e-7)) / 100.0;
}
double round4(double v) {
    return std::round(v * 10000.0 + (v >= 0 ? 1e-7 : -1e-7)) / 10000.0;
}

QString ean13(const QString &twelveDigits) {
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (twelveDigits.at(i).digitValue()) * (i % 2 == 0 ? 1 : 3);
    return twelveDigits + QString::number((10 - sum % 10) % 10);
}

namespace {

const char *const surnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙",
                                "马", "朱", "胡", "郭", "何", "高", "林", "罗", "郑", "梁", "谢", "宋"};
const char *const givenNames[] = {"伟", "芳", "娜",   "敏",   "静",   "秀英", "强",   "磊",   "军",
                                  "洋", "勇", "艳",   "杰",   "娟",   "涛",   "明",   "超",   "霞",
                                  "平", "刚", "桂英", "建华", "文",   "华",   "玉兰", "红",   "丹",
                                  "鹏", "晨", "浩宇", "欣怡", "子涵", "雨桐", "梓萱", "俊杰", "海燕"};

QString personName(Context &ctx) {
    return QString::fromUtf8(surnames[ctx.range(0, std::size(surnames) - 1)]) +
           QString::fromUtf8(givenNames[ctx.range(0, std::size(givenNames) - 1)]);
}

QString mobile(Context &ctx) {
    static const char *const prefixes[] = {"138", "139", "137", "135", "136", "150", "151", "158", "159",
                                           "186", "187", "188", "130", "131", "133", "153", "177", "180"};
    return QString::fromLatin1(prefixes[ctx.range(0, std::size(prefixes) - 1)]) +
           QStringLiteral("%1").arg(ctx.range(0, 99999999), 8, 10, QLatin1Char('0'));
}

// Prices in the shops end in a tenth of a yuan.
double shelfPrice(double v) {
    return std::max(0.1, std::round(v * 10.0) / 10.0);
}

void loadGoods(Context &ctx) {
    auto &c = ctx.conn;
    auto group =
        c.prepare(QStringLiteral("insert into t_ItemGroup(FItemID,FNumber,FName,FParentID) values(?,?,?,?)"));
    auto item = c.prepare(QStringLiteral(
        "insert into t_ICItem(FItemID,FNumber,FName,FModel,FUnit,FExchange,FParentID,FDel,FPurPrice,FPjCost,"
        "FShopNumber,FQuickNum,FBar_Code,FJjEditDate,FSjEditDate,FBrand,FOrigin,FShelfLife,FPrice_1,FPrice_2,"
        "FPrice_3) "
        "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    auto barcode = c.prepare(QStringLiteral(
        "insert into t_icitem_barcode(FItemID,FBarCode,FPriceStyleID,FPrice,FExchange) values(?,?,?,?,?)"));

    QHash<QString, int> groupIds;
    int groupId = 0, itemId = 0;
    for (const DemoGroup &g : demoGroups()) {
        const int parent = g.number.size() > 2 ? groupIds.value(g.number.left(2)) : 0;
        groupIds.insert(g.number, ++groupId);
        group.exec({groupId, g.number, g.name, parent});
        int inGroup = 0;
        for (const DemoProduct &p : g.products) {
            const int company = ctx.range(10000, 99999);
            for (const QString &variant : p.variants.split(QLatin1Char(';'))) {
                const QString model = variant.section(QLatin1Char(':'), 0, 0);
                Item it;
                it.id = ++itemId;
                it.number = g.number + QStringLiteral("%1").arg(++inGroup, 3, 10, QLatin1Char('0'));
                it.exchange = p.exchange;
                it.weighed = p.unit == QStringLiteral("千克");
                it.deleted = itemId % 53 == 0;
                // Prices move between months: most stay, some rise or fall a few percent.
                double price = variant.section(QLatin1Char(':'), 1).toDouble();
                for (int m = 0; m < Months; ++m) {
                    if (m > 0 && ctx.chance(0.3))
                        price *= 1.0 + (ctx.chance(0.65) ? 1 : -1) * ctx.real(0.02, 0.08);
                    it.purchase[m] = round2(price);
                }
                const double last = it.purchase[Months - 1];
                it.retail = shelfPrice(it.purchase[0] * ctx.real(1.18, 1.42));
                it.wholesale = shelfPrice(it.purchase[0] * ctx.real(1.06, 1.12));
                it.member = shelfPrice(it.retail * 0.95);
                if (itemId % 37 == 5) // loss leaders: the member price under the purchase price
                    it.member = shelfPrice(last * 0.9);
                if (!it.weighed)
                    it.barcode = ean13(QStringLiteral("69%1%2").arg(company).arg(ctx.range(0, 99999), 5, 10,
                                                                                 QLatin1Char('0')));

                // The purchase price's last change; the sale prices were set after it except for some items.
                int changed = 0;
                for (int m = 1; m < Months; ++m)
                    if (it.purchase[m] != it.purchase[m - 1])
                        changed = m;
                const QDateTime jj(ctx.start.addMonths(changed).addDays(changed ? ctx.range(0, 3) : -40),
                                   QTime(9, 30));
                const bool repriced = changed == 0 || ctx.chance(0.75);
                const QDateTime sj =
                    repriced ? jj.addSecs(qint64{3600} * ctx.range(2, 60)) : jj.addDays(-ctx.range(10, 90));

                item.exec({it.id,
                           it.number,
                           p.name,
                           model,
                           p.unit,
                           it.exchange,
                           groupId,
                           it.deleted ? 1 : 0,
                           last,
                           last,
                           QStringLiteral("%1").arg(100000 + it.id),
                           p.quick,
                           it.barcode.isEmpty() ? QVariant() : it.barcode,
                           jj,
                           sj,
                           p.brand.isEmpty() ? QVariant() : p.brand,
                           p.origin,
                           p.shelfLifeDays ? QVariant(p.shelfLifeDays) : QVariant(),
                           it.retail,
                           it.wholesale,
                           it.member});
                if (!it.weighed && it.exchange > 1 && it.id % 4 == 0)
                    barcode.exec({it.id,
                                  ean13(QStringLiteral("69%1%2").arg(company).arg(ctx.range(0, 99999), 5, 10,
                                                                                  QLatin1Char('0'))),
                                  2, round2(it.wholesale * it.exchange), it.exchange});
                if (!it.weighed && it.id % 9 == 0) // a second unit barcode from another printing run
                    barcode.exec({it.id,
                                  ean13(QStringLiteral("69%1%2").arg(company).arg(ctx.range(0, 99999), 5, 10,
                                                                                  QLatin1Char('0'))),
                                  1, it.retail, 1});
                ctx.items.append(it);
            }
        }
    }
    ctx.summary.items = ctx.items.size();
}

void loadPartners(Context &ctx) {
    auto &c = ctx.conn;
    auto style = c.prepare(QStringLiteral("insert into t_PriceStyle(FItemID,FNumber,FName) values(?,?,?)"));
    style.exec({1, QStringLiteral("01"), QStringLiteral("零售价")});
    style.exec({2, QStringLiteral("02"), QStringLiteral("批发价")});
    style.exec({3, QStringLiteral("03"), QStringLiteral("会员价")});

    auto stock = c.prepare(QStringLiteral(
        "insert into t_Stock(FItemID,FNumber,FName,FVirtual,FPriceStyleID) values(?,?,?,?,?)"));
    stock.exec({1, QStringLiteral("01"), QStringLiteral("配送中心仓库"), 0, 2});
    stock.exec({2, QStringLiteral("02"), QStringLiteral("人民路店"), 0, 1});
    stock.exec({3, QStringLiteral("03"), QStringLiteral("东门店"), 0, 1});
    stock.exec({4, QStringLiteral("04"), QStringLiteral("网上商城虚拟仓"), 1, 3});
    ctx.realStores = {1, 2, 3};
    ctx.virtualStore = 4;

    const QStringList suppliers = {
        QStringLiteral("杭州联华食品批发有限公司"), QStringLiteral("广州市白云区顺达副食品商行"),
        QStringLiteral("上海百佳日化用品有限公司"), QStringLiteral("郑州宏远粮油贸易有限公司"),
        QStringLiteral("宁波华联百货批发部"),       QStringLiteral("天津康达饮品经销有限公司"),
        QStringLiteral("山东寿光绿源果蔬合作社"),   QStringLiteral("深圳恒发酒水贸易有限公司"),
        QStringLiteral("佛山美味调味品经销部"),     QStringLiteral("苏州冷链冻品配送中心"),
        QStringLiteral("义乌小商品城文具批发行"),   QStringLiteral("呼和浩特鑫源乳品经销有限公司")};
    auto supplier = c.prepare(
        QStringLiteral("insert into t_Supplier(FItemID,FNumber,FName,FPhone,FAddress) values(?,?,?,?,?)"));
    for (int i = 0; i < suppliers.size(); ++i)
        supplier.exec({i + 1, QStringLiteral("G%1").arg(i + 1, 3, 10, QLatin1Char('0')), suppliers[i],
                       mobile(ctx),
                       suppliers[i].left(2) + QStringLiteral("市工业园区%1号").arg(ctx.range(1, 300))});
    ctx.suppliers = suppliers.size();

    const QStringList customers = {QStringLiteral("市第一中学食堂"),   QStringLiteral("阳光幼儿园"),
                                   QStringLiteral("红星社区便利店"),   QStringLiteral("城东建筑工地项目部"),
                                   QStringLiteral("万家福超市"),       QStringLiteral("新华书店职工食堂"),
                                   QStringLiteral("金色年华酒店"),     QStringLiteral("顺心小卖部"),
                                   QStringLiteral("市人民医院后勤科"), QStringLiteral("好邻居快餐店")};
    auto customer = c.prepare(QStringLiteral(
        "insert into t_Organization(FItemID,FNumber,FName,FPhone,FAddress) values(?,?,?,?,?)"));
    for (int i = 0; i < customers.size(); ++i)
        customer.exec({i + 1, QStringLiteral("K%1").arg(i + 1, 3, 10, QLatin1Char('0')), customers[i],
                       mobile(ctx),
                       QStringLiteral("本市%1路%2号")
                           .arg(i % 2 ? QStringLiteral("建设") : QStringLiteral("解放"))
                           .arg(ctx.range(1, 500))});
    ctx.customers = customers.size();

    auto emp = c.prepare(QStringLiteral("insert into t_Emp(FItemID,FNumber,FName,FPhone) values(?,?,?,?)"));
    ctx.employees = 8;
    for (int i = 1; i <= ctx.employees; ++i)
        emp.exec({i, QStringLiteral("Y%1").arg(i, 3, 10, QLatin1Char('0')), personName(ctx), mobile(ctx)});
}

void loadMembers(Context &ctx) {
    auto vip = ctx.conn.prepare(QStringLiteral(
        "insert into Vip(FVipID,FCardNo,FOwner,FPhone,fbirthdate,FJf,FCreateDate) values(?,?,?,?,?,?,?)"));
    ctx.members = 200;
    for (int i = 1; i <= ctx.members; ++i) {
        QDate birth;
        if (i <= 14) {
            // Two members for each of the coming seven days, born in a leap year so 29 February fits.
            const QDate day = ctx.today.addDays((i - 1) / 2);
            birth = QDate(1964 + 4 * ctx.range(0, 9), day.month(), day.day());
            if (day == ctx.today)
                ctx.birthdayMembers << i;
        } else {
            birth = QDate(ctx.range(1955, 2005), 1, 1).addDays(ctx.range(0, 364));
        }
        vip.exec({i, QStringLiteral("8800%1").arg(i * 7919 % 1000000, 6, 10, QLatin1Char('0')),
                  personName(ctx), mobile(ctx), birth, ctx.range(0, 3000),
                  ctx.start.addDays(-ctx.range(30, 900))});
    }
    ctx.summary.members = ctx.members;
}

void loadUsers(Context &ctx) {
    auto user = ctx.conn.prepare(QStringLiteral(
        "insert into t_User(FUserID,FName,FPassword,FManager,FDescription) values(?,?,?,?,?)"));
    int id = 0;
    const QStringList roles = {QStringLiteral("系统管理员"), QStringLiteral("采购兼仓库管理"),
                               QStringLiteral("收银员")};
    for (const DemoLogin &l : demoLogins()) {
        user.exec(
            {++id, l.name, accountdb::hashPassword(l.password), l.manager ? 1 : 0, roles.value(id - 1)});
    }
    // The purchasing and warehouse clerk; the cashier has no grants at all.
    const QStringList codes = {
        QStringLiteral("181"), QStringLiteral("101"), QStringLiteral("102"), QStringLiteral("111"),
        QStringLiteral("112"), QStringLiteral("131"), QStringLiteral("132"), QStringLiteral("381"),
        QStringLiteral("321"), QStringLiteral("322"), QStringLiteral("301"), QStringLiteral("302"),
        QStringLiteral("311"), QStringLiteral("312"), QStringLiteral("391"), QStringLiteral("392"),
        QStringLiteral("393"), QStringLiteral("702"), QStringLiteral("704"), QStringLiteral("708"),
        QStringLiteral("711"), QStringLiteral("712"), QStringLiteral("717"), QStringLiteral("723"),
        QStringLiteral("R11"), QStringLiteral("R12"), QStringLiteral("R13"), QStringLiteral("R31"),
        QStringLiteral("R32"), QStringLiteral("R33")};
    auto grant =
        ctx.conn.prepare(QStringLiteral("insert into t_Grant(FUserID,FSubSystemID,FGrant) values(?,?,?)"));
    for (const QString &code : codes)
        grant.exec({2, code, 1});
    grant.exec({2, QStringLiteral("705"), 0}); // may see but not change sale prices

    auto msg = ctx.conn.prepare(QStringLiteral(
        "insert into t_Message(FFromUserID,FToUserID,FTitle,FContent,FSendTime,FRead) values(?,?,?,?,?,?)"));
    const QDateTime now(ctx.today, QTime(8, 30));
    msg.exec({2, 1, QStringLiteral("本月促销计划"), QStringLiteral("东门店下周末做饮料买二送一，请审批。"),
              now.addDays(-1), 0});
    msg.exec({3, 1, QStringLiteral("收银机小票纸不足"), QStringLiteral("人民路店2号收银机小票纸只剩两卷。"),
              now, 0});
    msg.exec({1, 2, QStringLiteral("月底盘点"), QStringLiteral("月底前完成配送中心仓库盘点。"),
              now.addDays(-3), 1});
}

} // namespace

void loadMasterData(Context &ctx) {
    loadGoods(ctx);
    loadPartners(ctx);
    loadMembers(ctx);
    loadUsers(ctx);
}

} // namespace shop

QList<DemoLogin> demoLogins() {
    return {{QStringLiteral("admin"), QStringLiteral("admin123"), true},
            {QStringLiteral("王丽"), QStringLiteral("wl123456"), false},
            {QStringLiteral("李强"), QStringLiteral("lq123456"), false}};
}

DemoSummary loadDemoAccount(db::Connection &conn, const QDate &today) {
    if (!today.isValid())
        throw Error(QStringLiteral("演示帐套的日期无效。"));
    if (conn.scalar(QStringLiteral("select count(*) from t_ICItem")).toInt() > 0)
        throw Error(QStringLiteral("帐套中已有商品资料，演示数据只能装入空帐套。"));
    db::Transaction tx(conn);
    for (int style = 1; style <= 3; ++style)
        accountdb::addPriceStyleColumn(conn, style);
    shop::Context ctx(conn, today);
    ctx.summary.startMonth = ctx.start;
    shop::loadMasterData(ctx);
    shop::loadBills(ctx);
    shop::loadSettings(ctx);
    accountdb::rebuildStoreStock(conn);
    tx.commit();
    return ctx.summary;
}

} // namespace zostore::demo
