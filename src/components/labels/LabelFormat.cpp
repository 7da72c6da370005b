// Layouts travel as JSON so that a format stays readable and a newer build can add keys to it.
#include "components/labels/LabelFormat.h"

#include "db/Error.h"
#include "db/MessageText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace zostore::components::labels {

namespace {

const QList<QPair<LabelElement::Kind, QString>> &kinds() {
    static const QList<QPair<LabelElement::Kind, QString>> k = {
        {LabelElement::Kind::Text, QStringLiteral("text")},     {LabelElement::Kind::Field, QStringLiteral("field")},
        {LabelElement::Kind::Price, QStringLiteral("price")},   {LabelElement::Kind::Barcode, QStringLiteral("barcode")},
        {LabelElement::Kind::Line, QStringLiteral("line")},     {LabelElement::Kind::Box, QStringLiteral("box")},
        {LabelElement::Kind::Table, QStringLiteral("table")}};
    return k;
}

double number(const QJsonObject &o, const char *key, double fallback) {
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isDouble() ? v.toDouble() : fallback;
}

} // namespace

QString kindName(LabelElement::Kind k) {
    for (const auto &p : kinds())
        if (p.first == k)
            return p.second;
    return QStringLiteral("field");
}

const QList<QPair<QString, QString>> &labelFields() {
    static const QList<QPair<QString, QString>> f = {
        {QStringLiteral("FName"), QStringLiteral("商品名称")},  {QStringLiteral("FNumber"), QStringLiteral("商品代码")},
        {QStringLiteral("FShopNumber"), QStringLiteral("店内码")}, {QStringLiteral("FModel"), QStringLiteral("规格型号")},
        {QStringLiteral("FUnit"), QStringLiteral("单位")},      {QStringLiteral("FBarCode"), QStringLiteral("条码")},
        {QStringLiteral("FPriceText"), QStringLiteral("零售价")}};
    return f;
}

const QList<QPair<int, QString>> &billFormatTypes() {
    static const QList<QPair<int, QString>> t = {
        {11, QStringLiteral("采购订货单")}, {12, QStringLiteral("采购入库单")}, {14, QStringLiteral("采购退货单")},
        {15, QStringLiteral("其他入库单")}, {25, QStringLiteral("其他出库单")}, {31, QStringLiteral("仓库调拨单")},
        {9, QStringLiteral("调拨预订单")}};
    return t;
}

bool isBillFormatType(int tranType) {
    return std::any_of(billFormatTypes().begin(), billFormatTypes().end(),
                       [&](const auto &p) { return p.first == tranType; });
}

const QList<QPair<QString, QString>> &billHeaderFields() {
    static const QList<QPair<QString, QString>> f = {
        {QStringLiteral("FBillNo"), QStringLiteral("单据号码")},   {QStringLiteral("FDate"), QStringLiteral("单据日期")},
        {QStringLiteral("FKindName"), QStringLiteral("单据名称")}, {QStringLiteral("FPartner"), QStringLiteral("供应商")},
        {QStringLiteral("FOutStock"), QStringLiteral("出库仓库")}, {QStringLiteral("FInStock"), QStringLiteral("入库仓库")},
        {QStringLiteral("FEmp"), QStringLiteral("经手人")},        {QStringLiteral("FRemark"), QStringLiteral("备注")},
        {QStringLiteral("FSumQty"), QStringLiteral("合计数量")},   {QStringLiteral("FSumAmount"), QStringLiteral("合计金额")},
        {QStringLiteral("FPage"), QStringLiteral("页码")}};
    return f;
}

const QList<QPair<QString, QString>> &billLineFields() {
    static const QList<QPair<QString, QString>> f = {
        {QStringLiteral("FNumber"), QStringLiteral("商品代码")}, {QStringLiteral("FName"), QStringLiteral("商品名称")},
        {QStringLiteral("FModel"), QStringLiteral("规格型号")},  {QStringLiteral("FUnit"), QStringLiteral("单位")},
        {QStringLiteral("FMainQty"), QStringLiteral("件数")},    {QStringLiteral("FQty"), QStringLiteral("数量")},
        {QStringLiteral("FPrice"), QStringLiteral("单价")},      {QStringLiteral("FAmount"), QStringLiteral("金额")},
        {QStringLiteral("FJhDate"), QStringLiteral("交货日期")}};
    return f;
}

const QList<QPair<QString, QString>> &formatFields(int tranType) {
    return tranType == 51 ? labelFields() : billHeaderFields();
}

double tableRowMm(const LabelElement &table) { return std::max(0.5, table.fontSize) * 25.4 / 72.0 * 1.8; }

int tableCapacity(const LabelElement &table) {
    return std::max(0, static_cast<int>(std::floor(table.rect.height() / tableRowMm(table) + 0.001)) - 1);
}

QString LabelFormat::toLayoutText() const {
    QJsonArray items;
    for (const LabelElement &e : elements) {
        QJsonObject o{{QStringLiteral("kind"), kindName(e.kind)},
                      {QStringLiteral("x"), e.rect.x()},
                      {QStringLiteral("y"), e.rect.y()},
                      {QStringLiteral("w"), e.rect.width()},
                      {QStringLiteral("h"), e.rect.height()}};
        if (!e.text.isEmpty())
            o.insert(QStringLiteral("text"), e.text);
        if (!e.field.isEmpty())
            o.insert(QStringLiteral("field"), e.field);
        switch (e.kind) {
        case LabelElement::Kind::Text:
        case LabelElement::Kind::Field:
        case LabelElement::Kind::Price:
            o.insert(QStringLiteral("fontSize"), e.fontSize);
            o.insert(QStringLiteral("bold"), e.bold);
            o.insert(QStringLiteral("align"), e.align);
            break;
        case LabelElement::Kind::Barcode:
            o.insert(QStringLiteral("symbology"), symbologyName(e.symbology));
            o.insert(QStringLiteral("showDigits"), e.showDigits);
            break;
        case LabelElement::Kind::Line:
        case LabelElement::Kind::Box:
            o.insert(QStringLiteral("lineWidth"), e.lineWidth);
            break;
        case LabelElement::Kind::Table:
            o.insert(QStringLiteral("fontSize"), e.fontSize);
            o.insert(QStringLiteral("lineWidth"), e.lineWidth);
            o.insert(QStringLiteral("columns"), QJsonArray::fromStringList(e.columns));
            break;
        }
        items.append(o);
    }
    const QJsonObject root{{QStringLiteral("version"), 1},          {QStringLiteral("width"), width},
                           {QStringLiteral("height"), height},      {QStringLiteral("gapX"), gapX},
                           {QStringLiteral("gapY"), gapY},          {QStringLiteral("marginLeft"), marginLeft},
                           {QStringLiteral("marginTop"), marginTop}, {QStringLiteral("columns"), columns},
                           {QStringLiteral("elements"), items}};
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact));
}

LabelFormat LabelFormat::fromLayoutText(const QString &name, const QString &text, int tranType) {
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        throw Error(QStringLiteral("%1“%2”的版面无法读取，请在设计器里重新设计后保存。")
                        .arg(tranType == 51 ? QStringLiteral("标签格式") : QStringLiteral("打印格式"), db::shortened(name)));
    const QJsonObject root = doc.object();
    LabelFormat f;
    f.name = name;
    f.tranType = tranType;
    f.width = number(root, "width", f.width);
    f.height = number(root, "height", f.height);
    f.gapX = number(root, "gapX", f.gapX);
    f.gapY = number(root, "gapY", f.gapY);
    f.marginLeft = number(root, "marginLeft", f.marginLeft);
    f.marginTop = number(root, "marginTop", f.marginTop);
    f.columns = static_cast<int>(number(root, "columns", f.columns));
    for (const QJsonValue &v : root.value(QStringLiteral("elements")).toArray()) {
        const QJsonObject o = v.toObject();
        LabelElement e;
        const QString kind = o.value(QStringLiteral("kind")).toString();
        for (const auto &p : kinds())
            if (p.second == kind)
                e.kind = p.first;
        e.rect = QRectF(number(o, "x", 0), number(o, "y", 0), number(o, "w", 10), number(o, "h", 5));
        e.text = o.value(QStringLiteral("text")).toString();
        e.field = o.value(QStringLiteral("field")).toString();
        e.fontSize = number(o, "fontSize", e.fontSize);
        e.bold = o.value(QStringLiteral("bold")).toBool();
        e.align = static_cast<int>(number(o, "align", 0));
        e.symbology = symbologyFromName(o.value(QStringLiteral("symbology")).toString());
        e.showDigits = o.value(QStringLiteral("showDigits")).toBool(true);
        e.lineWidth = number(o, "lineWidth", e.lineWidth);
        for (const QJsonValue &c : o.value(QStringLiteral("columns")).toArray())
            e.columns << c.toString();
        f.elements.append(e);
    }
    return f;
}

void LabelFormat::validate() const {
    const QString who = db::shortened(name);
    const QString what = isBill() ? QStringLiteral("打印格式") : QStringLiteral("标签格式");
    if (name.trimmed().isEmpty())
        throw Error(QStringLiteral("请输入%1的名称！").arg(what));
    if (name.size() > 50)
        throw Error(QStringLiteral("%1的名称不能超过 50 个字（“%2”）。").arg(what, who));
    if (isBill() && !isBillFormatType(tranType))
        throw Error(QStringLiteral("打印格式“%1”：单据类型 %2 没有打印格式。").arg(who).arg(tranType));
    if (!(width >= 10 && width <= 300 && height >= 10 && height <= 300))
        throw Error(isBill() ? QStringLiteral("打印格式“%1”：页面宽度和高度须在 10 到 300 毫米之间。").arg(who)
                             : QStringLiteral("标签格式“%1”：标签宽度和高度须在 10 到 300 毫米之间。").arg(who));
    if (!(gapX >= 0 && gapX <= 50 && gapY >= 0 && gapY <= 50 && marginLeft >= 0 && marginLeft <= 100 &&
          marginTop >= 0 && marginTop <= 100))
        throw Error(QStringLiteral("标签格式“%1”：间距须在 0 到 50 毫米、页边距在 0 到 100 毫米之间。").arg(who));
    if (columns < 1 || columns > 20)
        throw Error(QStringLiteral("标签格式“%1”：每行标签数须在 1 到 20 之间。").arg(who));
    const QRectF label(0, 0, width, height);
    for (int i = 0; i < elements.size(); ++i) {
        const LabelElement &e = elements.at(i);
        const QRectF r = e.rect.normalized();
        const QRectF bounds = label.adjusted(-0.01, -0.01, 0.01, 0.01);
        // A level or upright line has an empty rectangle, which contains() never accepts: check its ends.
        const bool inside = e.kind == LabelElement::Kind::Line
                                ? bounds.contains(r.topLeft()) && bounds.contains(r.bottomRight())
                                : bounds.contains(r);
        if (!inside)
            throw Error(QStringLiteral("%1“%2”：第 %3 个项目超出了%4的范围。")
                            .arg(what, who)
                            .arg(i + 1)
                            .arg(isBill() ? QStringLiteral("页面") : QStringLiteral("标签")));
        const bool needsField = e.kind == LabelElement::Kind::Field || e.kind == LabelElement::Kind::Price ||
                                e.kind == LabelElement::Kind::Barcode;
        const auto &fields = formatFields(tranType);
        if (needsField &&
            std::none_of(fields.begin(), fields.end(), [&](const auto &p) { return p.first == e.field; }))
            throw Error(QStringLiteral("%1“%2”：第 %3 个项目的字段“%4”不存在。")
                            .arg(what, who)
                            .arg(i + 1)
                            .arg(db::shortened(e.field)));
        if (e.kind != LabelElement::Kind::Line && (r.width() < 0.5 || r.height() < 0.5))
            throw Error(QStringLiteral("%1“%2”：第 %3 个项目太小。").arg(what, who).arg(i + 1));
        if (e.kind == LabelElement::Kind::Table) {
            if (!isBill())
                throw Error(QStringLiteral("标签格式“%1”：标签上不能放明细表。").arg(who));
            if (e.columns.isEmpty())
                throw Error(QStringLiteral("打印格式“%1”：明细表至少要有一列。").arg(who));
            for (const QString &c : e.columns)
                if (std::none_of(billLineFields().begin(), billLineFields().end(),
                                 [&](const auto &p) { return p.first == c; }))
                    throw Error(QStringLiteral("打印格式“%1”：明细表的列“%2”不存在。").arg(who, db::shortened(c)));
            if (tableCapacity(e) < 1)
                throw Error(QStringLiteral("打印格式“%1”：明细表太矮，放不下表头和一行商品。").arg(who));
            if (std::count_if(elements.begin(), elements.end(),
                              [](const LabelElement &x) { return x.kind == LabelElement::Kind::Table; }) > 1)
                throw Error(QStringLiteral("打印格式“%1”：一个格式只能有一个明细表。").arg(who));
        }
    }
}

} // namespace zostore::components::labels
