// Layouts travel as JSON so that a format stays readable and a newer build can add keys to it.
#include "components/labels/LabelFormat.h"

#include "db/Error.h"
#include "db/MessageText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zostore::components::labels {

namespace {

const QList<QPair<LabelElement::Kind, QString>> &kinds() {
    static const QList<QPair<LabelElement::Kind, QString>> k = {
        {LabelElement::Kind::Text, QStringLiteral("text")},     {LabelElement::Kind::Field, QStringLiteral("field")},
        {LabelElement::Kind::Price, QStringLiteral("price")},   {LabelElement::Kind::Barcode, QStringLiteral("barcode")},
        {LabelElement::Kind::Line, QStringLiteral("line")},     {LabelElement::Kind::Box, QStringLiteral("box")}};
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

LabelFormat LabelFormat::fromLayoutText(const QString &name, const QString &text) {
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        throw Error(QStringLiteral("标签格式“%1”的版面无法读取，请在设计器里重新设计后保存。").arg(db::shortened(name)));
    const QJsonObject root = doc.object();
    LabelFormat f;
    f.name = name;
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
        f.elements.append(e);
    }
    return f;
}

void LabelFormat::validate() const {
    const QString who = db::shortened(name);
    if (name.trimmed().isEmpty())
        throw Error(QStringLiteral("请输入标签格式的名称！"));
    if (name.size() > 50)
        throw Error(QStringLiteral("标签格式的名称不能超过 50 个字（“%1”）。").arg(who));
    if (!(width >= 10 && width <= 300 && height >= 10 && height <= 300))
        throw Error(QStringLiteral("标签格式“%1”：标签宽度和高度须在 10 到 300 毫米之间。").arg(who));
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
            throw Error(QStringLiteral("标签格式“%1”：第 %2 个项目超出了标签的范围。").arg(who).arg(i + 1));
        const bool needsField = e.kind == LabelElement::Kind::Field || e.kind == LabelElement::Kind::Price ||
                                e.kind == LabelElement::Kind::Barcode;
        if (needsField && std::none_of(labelFields().begin(), labelFields().end(),
                                       [&](const auto &p) { return p.first == e.field; }))
            throw Error(QStringLiteral("标签格式“%1”：第 %2 个项目的字段“%3”不存在。").arg(who).arg(i + 1).arg(db::shortened(e.field)));
        if (e.kind != LabelElement::Kind::Line && (r.width() < 0.5 || r.height() < 0.5))
            throw Error(QStringLiteral("标签格式“%1”：第 %2 个项目太小。").arg(who).arg(i + 1));
    }
}

} // namespace zostore::components::labels
