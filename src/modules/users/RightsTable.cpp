#include "modules/users/RightsTable.h"

#include "db/Connection.h"

namespace zostore::modules::users {

namespace {

RightNode leaf(const char *code, const char *caption) {
    return {QString::fromLatin1(code), QString::fromUtf8(caption), {}};
}

// A bill's button: searching its history and making a new one are granted apart.
RightNode bill(const char *caption, const char *history, const char *fresh) {
    return {QString(), QString::fromUtf8(caption), {leaf(history, "查询单据"), leaf(fresh, "新增单据")}};
}

RightNode group(const char *caption, QList<RightNode> children) {
    return {QString(), QString::fromUtf8(caption), std::move(children)};
}

QList<RightNode> buildFixed() {
    return {
        group("模块", {leaf("181", "采购管理"), leaf("281", "前台和会员"), leaf("381", "仓库管理"),
                       leaf("481", "现金和费用")}),
        group("采购管理", {bill("采购订货单", "101", "102"), bill("采购入库单", "111", "112"),
                           bill("其他应付单", "141", "142"), bill("采购退货单", "131", "132"),
                           bill("采购付款单", "121", "122"), leaf("191", "核销应付款"),
                           bill("采购运费单", "161", "162")}),
        group("前台和会员", {leaf("151", "Pos销售清单"), leaf("910", "时段优惠设置"), leaf("908", "钱箱取款"),
                             leaf("922", "会员充值"), leaf("917", "积分调整")}),
        group("仓库管理", {leaf("391", "盘点前扎帐"), leaf("392", "打印盘点表"), leaf("393", "录入盘点结果"),
                           bill("仓库调拨单", "321", "322"), bill("调拨预订单", "331", "332"),
                           bill("其他入库单", "301", "302"), bill("其他出库单", "311", "312")}),
        group("现金和费用", {bill("现金收入单", "401", "402"), bill("现金支出单", "451", "452"),
                             bill("费用开支单", "411", "412"), bill("内部借款单", "421", "422"),
                             bill("内部还款单", "431", "432"), bill("资金调拨单", "441", "442"),
                             bill("待摊费用", "461", "462"), bill("固定资产", "471", "472")}),
        group("基础资料", {leaf("702", "进价管理（每日提醒里也凭它看进价）"), leaf("706", "参数设置")}),
        group("工具",
              {leaf("708", "初始化和重算成本"), leaf("711", "重算成本菜单"), leaf("712", "月底结帐菜单"),
               leaf("709", "清除历史数据"), leaf("717", "分仓库设置库存上下限")}),
        group("使用时检查",
              {leaf("704", "月底结帐"), leaf("710", "下载和上传单据"), leaf("719", "修改历史价格"),
               leaf("723", "启动时显示每日提醒"), leaf("705", "在每日提醒里修改售价"),
               leaf("397", "计算库存上下限"), leaf("930", "在线升级程序")}),
    };
}

const char *reportGroupCaption(int group) {
    switch (group) {
    case 1:
        return "采购报表";
    case 2:
        return "销售报表";
    case 3:
        return "仓库报表";
    case 4:
        return "财务报表";
    default:
        return "前台报表";
    }
}

void collect(const QList<RightNode> &nodes, QStringList &out) {
    for (const RightNode &n : nodes) {
        if (!n.code.isEmpty())
            out << n.code;
        collect(n.children, out);
    }
}

} // namespace

const QList<RightNode> &fixedRights() {
    static const QList<RightNode> fixed = buildFixed();
    return fixed;
}

QList<RightNode> rightsTree(db::Connection &conn) {
    QList<RightNode> tree = fixedRights();
    RightNode reports = group("报表", {});
    int current = -1;
    for (db::Recordset rs = conn.open(QStringLiteral("select FGroupID,FReportID,FReportName from ReportList "
                                                     "order by FGroupID,FType,FReportID"));
         !rs.eof(); rs.moveNext()) {
        const int g = rs.toInt(QStringLiteral("FGroupID"));
        if (g != current) {
            current = g;
            reports.children.append(group(reportGroupCaption(g), {}));
        }
        const int id = rs.toInt(QStringLiteral("FReportID"));
        reports.children.last().children.append(
            {QStringLiteral("R%1%2").arg(g).arg(id), rs.text(QStringLiteral("FReportName")), {}});
    }
    if (!reports.children.isEmpty())
        tree.append(reports);
    return tree;
}

QStringList rightCodes(const QList<RightNode> &tree) {
    QStringList out;
    collect(tree, out);
    return out;
}

} // namespace zostore::modules::users
