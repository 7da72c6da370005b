// The profile keys the parameters window edits: control kind, page, captions and defaults.
#include "params/ProfileKeys.h"

#include <QStringList>

namespace zostore::params {

namespace {

const QString crlf = QStringLiteral("\r\n");
const QString times = QStringLiteral("销售量   ×");

ProfileKey check(const char *key, Page page, const QString &caption, const char *def = "0",
                 const QString &frame = {}) {
    return {QString::fromLatin1(key), KeyKind::Check, page, caption, QString::fromLatin1(def), {}, frame, {}, {}};
}

ProfileKey text(const char *key, Page page, const QString &label, const char *def = "", const QString &frame = {},
                const QString &suffix = {}) {
    return {QString::fromLatin1(key), KeyKind::Text, page, label, QString::fromLatin1(def), {}, frame, suffix, {}};
}

ProfileKey withPrefix(ProfileKey k, const QString &prefix) {
    k.prefix = prefix;
    return k;
}

ProfileKey options(const char *key, Page page, const QString &frame, QList<KeyOption> opts, const char *def) {
    return {QString::fromLatin1(key), KeyKind::Options, page, {}, QString::fromLatin1(def), std::move(opts), frame, {}, {}};
}

QList<ProfileKey> build() {
    const QString scale = QStringLiteral("标签称设置");
    const QString points = QStringLiteral("积分设置");
    return {
        check("ShowAction", Page::Stock, QStringLiteral("开机显示每日提醒")),
        check("GenStockDisStock", Page::Stock, QStringLiteral("分仓库生成库存上下限")),
        check("GenLimitStockWhenClosePeriod", Page::Stock, QStringLiteral("结账时自动重算库存上下限")),
        withPrefix(text("MaxStock", Page::Stock, QStringLiteral("最大库存量：")), times),
        withPrefix(text("SafeStock", Page::Stock, QStringLiteral("安全库存量：")), times),
        withPrefix(text("MinStock", Page::Stock, QStringLiteral("最小库存量：")), times),
        text("StockLimitDays", Page::Stock, QStringLiteral("生成库存上下限的基数天数：")),
        check("TotalItemName", Page::Stock, QStringLiteral("库存余额表按相同商品名称显示小计") + crlf),
        options("ShopNumberLen", Page::Stock, QStringLiteral("店内码编码方式"),
                {{1, QStringLiteral("EAN-13")}, {0, QStringLiteral("EAN-8")}}, "0"),
        check("MustInputAccount", Page::Stock, QStringLiteral("检查结算账户是否输入")),
        check("LoginSelectUserName", Page::Stock, QStringLiteral("软件登录时用户名可选"), "1"),
        check("ShowSalePriceOnRkBill", Page::Stock, QStringLiteral("在进货单上显示销售价格") + crlf),
        check("SysGenShopNum", Page::Stock, QStringLiteral("商品店内码由系统自动产生") + crlf),
        check("AutoNewBillAfterSave", Page::Stock, QStringLiteral("保存单据后自动新增") + crlf),
        check("DbdDiffBillNoForInStock", Page::Stock, QStringLiteral("调拨单按不同的调出仓库分开编号")),
        options("ActionWhenShortStock", Page::Stock, QStringLiteral("库存不足提醒"),
                {{1, QStringLiteral("不提醒")}, {2, QStringLiteral("提醒")}, {3, QStringLiteral("禁止开单")}}, "2"),
        text("CurrentYear", Page::Stock, QStringLiteral("帐套当前月份：")),
        text("CurrentPeriod", Page::Stock, QString()),
        text("StartYear", Page::Stock, QStringLiteral("帐套启用月份：")),
        text("StartPeriod", Page::Stock, QString()),
        options("CostStyle", Page::Stock, QStringLiteral("成本计算方式"),
                {{1, QStringLiteral("最后进价")}, {2, QStringLiteral("月加权平均价")}, {3, QStringLiteral("手工指定成本")}},
                "2"),
        text("PosOddMentRate", Page::Pos, QStringLiteral("少收占总金额比例%：")),
        text("PosDecimalBit", Page::Pos, QStringLiteral("合计金额小数位："), "0"),
        check("PosTotalPrint", Page::Pos, QStringLiteral("小票汇总打印")),
        check("PosSearchItem", Page::Pos, QStringLiteral("搜索式输入商品")),
        check("VipLimitDate", Page::Pos, QStringLiteral("禁止过期会员使用")),
        check("MustInputSaler", Page::Pos, QStringLiteral("前台没有输入导购员不能结算")),
        text("PosAllowModifyPriceItem", Page::Pos, QStringLiteral("不限制售价修改的商品代码(&H)："), "", {},
             QStringLiteral("（用逗号格开，例如：8888,9999）")),
        text("Item_StartPos", Page::Pos, QStringLiteral("代码取数规则：从"), "2", scale, QStringLiteral("位开始取")),
        text("Item_Length", Page::Pos, QString(), "6", scale, QStringLiteral("位")),
        text("Weight_StartPos", Page::Pos, QStringLiteral("重量取数规则：从"), "8", scale, QStringLiteral("位开始取")),
        text("Weight_Length", Page::Pos, QString(), "5", scale, QStringLiteral("位")),
        text("Weight_Decimal", Page::Pos, QStringLiteral("重量小数位数："), "3", scale),
        check("Weight_QtyC2", Page::Pos, QStringLiteral("条码称按市斤计价(&K)"), "0", scale),
        options("Weight_Type", Page::Pos, scale,
                {{0, QStringLiteral("取重量信息(&U)")}, {1, QStringLiteral("取金额信息(&Y)")}}, "1"),
        text("WeightBegChar", Page::Pos, QStringLiteral("条码称条码起始字符(&W)："), "", scale),
        text("CardLen", Page::Member, QStringLiteral("会员卡长度：")),
        text("BirthDay_ActionDays", Page::Member, QStringLiteral("生日提醒提前天数："), "3"),
        check("VipPriceDontJf", Page::Member, QStringLiteral("会员价商品不参与积分")),
        options("JfFormula", Page::Member, points,
                {{0, QStringLiteral("会员积分=购买金额(元) / 积分比率")}, {1, QStringLiteral("会员积分=购买金额(元) * 积分比率")}},
                "0"),
        text("VipJfRate", Page::Member, QStringLiteral("积分比率："), "1", points),
        text("VipJfRate_ZkItem", Page::Member, QStringLiteral("促销商品积分比率："), "", points),
        text("SockPort", Page::Comm, QStringLiteral("通讯端口：")),
        text("LoginSetAcctPwd", Page::Comm, QStringLiteral("第一级登陆时设置帐套通行密码：：")),
        text("UPdateGradeSourcePath", Page::Comm, QStringLiteral("升级程序路径：")),
    };
}

} // namespace

const QList<ProfileKey> &profileKeys() {
    static const QList<ProfileKey> keys = build();
    return keys;
}

const ProfileKey *findProfileKey(const QString &key) {
    for (const ProfileKey &k : profileKeys())
        if (k.key.compare(key, Qt::CaseInsensitive) == 0)
            return &k;
    return nullptr;
}

QStringList cardTypes() {
    return {QStringLiteral("磁卡"), QStringLiteral("SLE4442"), QStringLiteral("SLE4428"), QStringLiteral("Carvex")};
}

} // namespace zostore::params
