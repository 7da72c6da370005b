// System profile keys of an account set: defaults, reading and writing without regard to case.
#include "accountdb/SystemProfile.h"

#include "accountdb/SchemaUpgrade.h"

#include "db/Connection.h"
#include "db/Transaction.h"

#include <QDateTime>

namespace zostore::accountdb {

namespace {
const QString crlf = QStringLiteral("\r\n");

QList<ProfileKey> build() {
    return {
        {QStringLiteral("ShowAction"), QStringLiteral("0"), QStringLiteral("开机显示每日提醒")},
        {QStringLiteral("GenStockDisStock"), QStringLiteral("0"), QStringLiteral("分仓库生成库存上下限")},
        {QStringLiteral("GenLimitStockWhenClosePeriod"), QStringLiteral("0"),
         QStringLiteral("结账时自动重算库存上下限")},
        {QStringLiteral("MaxStock"), QString(), QString()},
        {QStringLiteral("SafeStock"), QString(), QString()},
        {QStringLiteral("MinStock"), QString(), QString()},
        {QStringLiteral("StockLimitDays"), QString(), QString()},
        {QStringLiteral("TotalItemName"), QStringLiteral("0"),
         QStringLiteral("库存余额表按相同商品名称显示小计") + crlf},
        {QStringLiteral("ShopNumberLen"), QStringLiteral("0"), QStringLiteral("EAN-8")},
        {QStringLiteral("MustInputAccount"), QStringLiteral("0"), QStringLiteral("检查结算账户是否输入")},
        {QStringLiteral("LoginSelectUserName"), QStringLiteral("1"), QStringLiteral("软件登录时用户名可选")},
        {QStringLiteral("ShowSalePriceOnRkBill"), QStringLiteral("0"),
         QStringLiteral("在进货单上显示销售价格") + crlf},
        {QStringLiteral("SysGenShopNum"), QStringLiteral("0"),
         QStringLiteral("商品店内码由系统自动产生") + crlf},
        {QStringLiteral("AutoNewBillAfterSave"), QStringLiteral("0"),
         QStringLiteral("保存单据后自动新增") + crlf},
        {QStringLiteral("DbdDiffBillNoForInStock"), QStringLiteral("0"),
         QStringLiteral("调拨单按不同的调出仓库分开编号")},
        {QStringLiteral("ActionWhenShortStock"), QStringLiteral("2"), QStringLiteral("提醒")},
        {QStringLiteral("CostStyle"), QStringLiteral("2"), QStringLiteral("月加权平均价")},
        {QStringLiteral("CostStyle_PriceName"), QString(),
         QStringLiteral("手工指定成本法时对应的成本计价方式")},
        {QStringLiteral("PosOddMentRate"), QString(), QString()},
        {QStringLiteral("PosDecimalBit"), QStringLiteral("0"), QString()},
        {QStringLiteral("PosTotalPrint"), QStringLiteral("0"), QStringLiteral("小票汇总打印")},
        {QStringLiteral("PosSearchItem"), QStringLiteral("0"), QStringLiteral("搜索式输入商品")},
        {QStringLiteral("VipLimitDate"), QStringLiteral("0"), QStringLiteral("禁止过期会员使用")},
        {QStringLiteral("MustInputSaler"), QStringLiteral("0"), QStringLiteral("前台没有输入导购员不能结算")},
        {QStringLiteral("PosAllowModifyPriceItem"), QString(), QString()},
        {QStringLiteral("Item_StartPos"), QStringLiteral("2"), QString()},
        {QStringLiteral("Item_Length"), QStringLiteral("6"), QString()},
        {QStringLiteral("Weight_StartPos"), QStringLiteral("8"), QString()},
        {QStringLiteral("Weight_Length"), QStringLiteral("5"), QString()},
        {QStringLiteral("Weight_Decimal"), QStringLiteral("3"), QString()},
        {QStringLiteral("Weight_QtyC2"), QStringLiteral("0"), QStringLiteral("条码称按市斤计价(&K)")},
        {QStringLiteral("Weight_Type"), QStringLiteral("1"), QStringLiteral("取金额信息(&Y)")},
        {QStringLiteral("WeightBegChar"), QString(), QString()},
        {QStringLiteral("CardLen"), QString(), QString()},
        {QStringLiteral("CardType"), QString(), QStringLiteral("会员卡类型")},
        {QStringLiteral("BirthDay_ActionDays"), QStringLiteral("3"), QString()},
        {QStringLiteral("VipPriceDontJf"), QStringLiteral("0"), QStringLiteral("会员价商品不参与积分")},
        {QStringLiteral("JfFormula"), QStringLiteral("0"),
         QStringLiteral("会员积分=购买金额(元) / 积分比率")},
        {QStringLiteral("VipJfRate"), QStringLiteral("1"), QString()},
        {QStringLiteral("VipJfRate_ZkItem"), QString(), QString()},
        {QStringLiteral("SockPort"), QString(), QString()},
        {QStringLiteral("LoginSetAcctPwd"), QString(), QString()},
        {QStringLiteral("UPdateGradeSourcePath"), QString(), QString()},
        // Keys the parameters window leaves alone.
        {QStringLiteral("Closed"), QStringLiteral("0"), QStringLiteral("初始化已关闭")},
        {QStringLiteral("Ver"), SchemaVersion, QStringLiteral("数据库版本")},
        {QStringLiteral("ExeVer"), QString(), QStringLiteral("主程序版本")},
        {QStringLiteral("PosExe"), QString(), QStringLiteral("前台程序版本")},
    };
}
} // namespace

const QList<ProfileKey> &profileDefaults() {
    static const QList<ProfileKey> keys = build();
    return keys;
}

void insertProfileDefaults(db::Connection &conn, int startYear, int startPeriod) {
    db::Transaction tx(conn);
    const QDateTime now = QDateTime::currentDateTime();
    auto insert = conn.prepare(
        QStringLiteral("insert into t_systemprofile(FKey,FValue,FDescription,FEditTime) values(?,?,?,?)"));
    for (const ProfileKey &k : profileDefaults())
        insert.exec({k.key, k.value, k.description, now});
    const QString year = QString::number(startYear), period = QString::number(startPeriod);
    insert.exec({QStringLiteral("StartYear"), year, QStringLiteral("帐套启用年度"), now});
    insert.exec({QStringLiteral("StartPeriod"), period, QStringLiteral("帐套启用期间"), now});
    insert.exec({QStringLiteral("CurrentYear"), year, QStringLiteral("帐套当前年度"), now});
    insert.exec({QStringLiteral("CurrentPeriod"), period, QStringLiteral("帐套当前期间"), now});
    tx.commit();
}

QString readProfile(db::Connection &conn, const QString &key, const QString &fallback) {
    auto rs =
        conn.open(QStringLiteral("select FValue from t_systemprofile where lower(FKey)=?"), {key.toLower()});
    return rs.eof() ? fallback : rs.text(QStringLiteral("FValue"));
}

void writeProfile(db::Connection &conn, const QString &key, const QString &value,
                  const QString &description) {
    db::Transaction tx(conn);
    conn.execute(QStringLiteral("delete from t_systemprofile where lower(FKey)=?"), {key.toLower()});
    conn.execute(
        QStringLiteral("insert into t_systemprofile(FKey,FValue,FDescription,FEditTime) values(?,?,?,?)"),
        {key, value, description, QDateTime::currentDateTime()});
    tx.commit();
}

} // namespace zostore::accountdb
