// The caption table is kept in one place so that the pictures and the dispatch agree on numbering.
#include "shell/ShellResources.h"

#include <QHash>

namespace zostore::shell {

QString loadResString(int number) {
    // Some captions start with a blank; it is part of the text and shifts the caption under its picture.
    static const QHash<int, QString> table = {
        {101, QStringLiteral("采购订货单")},   {102, QStringLiteral("采购入库单")},
        {103, QStringLiteral("其他应付单")},   {104, QStringLiteral("采购退货单")},
        {105, QStringLiteral("采购付款单")},   {106, QStringLiteral("核销应付款")},
        {107, QStringLiteral("采购运费单")},   {201, QStringLiteral("Pos销售清单")},
        {202, QStringLiteral("时段优惠设置")}, {203, QStringLiteral(" 钱箱取款")},
        {204, QStringLiteral(" 会员管理")},    {205, QStringLiteral(" 会员充值")},
        {206, QStringLiteral(" 积分调整")},    {207, QStringLiteral("称重商品管理")},
        {208, QStringLiteral("积分兑换设置")}, {301, QStringLiteral("盘点前扎帐")},
        {302, QStringLiteral("打印盘点表")},   {303, QStringLiteral("录入盘点结果")},
        {304, QStringLiteral("仓库调拨单")},   {305, QStringLiteral("调拨预订单")},
        {306, QStringLiteral("其他入库单")},   {307, QStringLiteral("其他出库单")},
        {401, QStringLiteral("现金收入单")},   {402, QStringLiteral("现金支出单")},
        {403, QStringLiteral("费用开支单")},   {404, QStringLiteral("内部借款单")},
        {405, QStringLiteral("内部还款单")},   {406, QStringLiteral("资金调拨单")},
        {407, QStringLiteral(" 待摊费用")},    {408, QStringLiteral(" 固定资产")},
        {501, QStringLiteral(" 档案资料")},    {502, QStringLiteral(" 售价管理")},
        {503, QStringLiteral(" 进价管理")},    {504, QStringLiteral(" 参数设置")},
        {505, QStringLiteral(" 用户管理")},
    };
    return table.value(number);
}

int functionCode(int module, int index) {
    return (QString::number(module) + QLatin1Char('0') + QString::number(index)).toInt();
}

} // namespace zostore::shell
