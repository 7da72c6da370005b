#include "counter/ReceiptTemplate.h"
#include "db/NumberText.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace zostore::counter {

ReceiptTemplate ReceiptTemplate::sample(const QString &shopName) {
    const QString rule(32, QLatin1Char('='));
    ReceiptTemplate t;
    t.conText = QStringList{QStringLiteral("      ") + shopName,
                            QStringLiteral("       Add:"),
                            QStringLiteral("       Tel:  $复件标志$"),
                            QStringLiteral("收银员:$收银员$"),
                            QStringLiteral("单  号:$单号$"),
                            QStringLiteral("商品名称  数量 单价  折率  金额"),
                            rule,
                            QStringLiteral("$商品名称$"),
                            QStringLiteral("$店内码$ $数量$ $零售价$ $折扣率$ $金额$"),
                            rule,
                            QStringLiteral("本单合计:$本单合计$    共 $数量合计$ 件"),
                            QStringLiteral("客付现金:$实收金额$"),
                            QStringLiteral("找    零:$找零$"),
                            QStringLiteral("       $结算时间$"),
                            QStringLiteral("     谢谢惠顾欢迎下次光临")}
                    .join(QStringLiteral("\r\n")) +
                QStringLiteral("\r\n");
    return t;
}

int numberValue(const QString &text) {
    const QString s = text.trimmed();
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return 0;
    const double r = std::nearbyint(v);
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
        return 0;
    return int(r);
}

int charColumns(char32_t c) {
    // East Asian wide and full-width ranges: what a receipt printer prints as a double-byte character.
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
                      (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                      (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

int textColumns(const QString &text) {
    int n = 0;
    for (char32_t c : text.toUcs4())
        n += charColumns(c);
    return n;
}

double SaleLine::amount() const { return std::round(qty * price * rate) / 100.0; }

double SampleSale::total() const {
    double sum = 0;
    for (const auto &l : lines)
        sum += l.amount();
    return std::round(sum * 100) / 100.0;
}

double SampleSale::totalQty() const {
    double sum = 0;
    for (const auto &l : lines)
        sum += l.qty;
    return sum;
}

double SampleSale::received() const { return std::floor(total() / 10.0 + 1) * 10.0; }

QList<int> Receipt::tooWideLines() const {
    QList<int> out;
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].tooWide)
            out.append(i + 1);
    return out;
}

namespace {

QString money(double v) { return QString::number(v, 'f', 2); }

QString quantity(double v) { return db::figureText(v, 3); }

// Cut at the width without splitting a wide character, then padded to it; no width prints it whole.
QString fitLeft(const QString &text, int width) {
    if (width <= 0)
        return text;
    QString out;
    int cols = 0;
    for (char32_t c : text.toUcs4()) {
        if (cols + charColumns(c) > width)
            break;
        cols += charColumns(c);
        out += QString::fromUcs4(&c, 1);
    }
    return out + QString(width - cols, QLatin1Char(' '));
}

// Numbers are never cut: a shortened price would print a wrong one.
QString fitRight(const QString &text, int width) {
    const int cols = textColumns(text);
    return cols >= width ? text : QString(width - cols, QLatin1Char(' ')) + text;
}

class Filler {
public:
    Filler(const ReceiptTemplate &t, const SampleSale &s) : m_t(t), m_s(s) {}

    // nullopt: no value for that caption.
    std::optional<QString> value(const QString &caption, const SaleLine *item) const {
        if (const auto it = itemValue(caption, item))
            return it;
        if (caption == QStringLiteral("店名"))
            return m_s.shopName;
        if (caption == QStringLiteral("收银员"))
            return m_s.cashier;
        if (caption == QStringLiteral("单号"))
            return m_s.billNo;
        if (caption == QStringLiteral("复件标志"))
            return m_s.copyFlag;
        if (caption == QStringLiteral("本单合计"))
            return money(m_s.total());
        if (caption == QStringLiteral("数量合计"))
            return quantity(m_s.totalQty());
        if (caption == QStringLiteral("实收金额"))
            return money(m_s.received());
        if (caption == QStringLiteral("找零"))
            return money(m_s.received() - m_s.total());
        if (caption == QStringLiteral("结算时间"))
            return m_s.settleTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (caption == QStringLiteral("会员卡号"))
            return m_s.vipCardNo;
        if (caption == QStringLiteral("本次积分"))
            return m_s.vipCardNo.isEmpty() ? QString() : QString::number(std::floor(m_s.total()));
        return std::nullopt;
    }

private:
    // Outside the body an item value prints empty.
    std::optional<QString> itemValue(const QString &caption, const SaleLine *item) const {
        static const QStringList itemCaptions{QStringLiteral("商品名称"), QStringLiteral("店内码"),
                                              QStringLiteral("条码"),     QStringLiteral("数量"),
                                              QStringLiteral("零售价"),   QStringLiteral("单价"),
                                              QStringLiteral("折扣率"),   QStringLiteral("金额")};
        if (!itemCaptions.contains(caption))
            return std::nullopt;
        if (!item)
            return QString();
        if (caption == QStringLiteral("商品名称"))
            return fitLeft(item->name, m_t.itemNameLen);
        if (caption == QStringLiteral("店内码"))
            return fitLeft(item->shopNumber, m_t.barCodeLen);
        if (caption == QStringLiteral("条码"))
            return fitLeft(item->barcode, m_t.barCodeLen);
        if (caption == QStringLiteral("数量"))
            return quantity(item->qty);
        if (caption == QStringLiteral("零售价"))
            return fitRight(money(item->price), m_t.amountLen);
        if (caption == QStringLiteral("单价"))
            return fitRight(money(std::round(item->price * item->rate) / 100.0), m_t.amountLen);
        if (caption == QStringLiteral("折扣率"))
            return quantity(item->rate);
        return fitRight(money(item->amount()), m_t.amountLen);
    }

    const ReceiptTemplate &m_t;
    const SampleSale &m_s;
};

} // namespace

Receipt renderReceipt(const ReceiptTemplate &t, const SampleSale &sale, int paperColumns) {
    QString text = t.conText;
    text.remove(QLatin1Char('\r'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the final line break ends the last line, it starts none
    const int n = int(lines.size());
    const int pageEnd = std::clamp(t.hdrRows, 0, n);
    const int headerEnd = std::clamp(pageEnd + std::max(t.tableHdrRows, 0), pageEnd, n);
    const int bodyEnd = std::clamp(headerEnd + std::max(t.bdyRows, 0), headerEnd, n);

    static const QRegularExpression variable(QStringLiteral("\\$([^$\\n]+)\\$"));
    const Filler filler(t, sale);
    Receipt r;
    r.paperColumns = paperColumns;
    auto addLine = [&](const QString &line, ReceiptPart part, const SaleLine *item) {
        QString out;
        qsizetype from = 0;
        for (auto it = variable.globalMatch(line); it.hasNext();) {
            const auto m = it.next();
            out += line.mid(from, m.capturedStart() - from);
            const QString caption = m.captured(1);
            if (const auto v = filler.value(caption, item)) {
                out += *v;
            } else {
                out += m.captured(0);
                if (!r.unknownVariables.contains(caption))
                    r.unknownVariables.append(caption);
            }
            from = m.capturedEnd();
        }
        out += line.mid(from);
        ReceiptLine l{out, part, textColumns(out), false};
        l.tooWide = paperColumns > 0 && l.columns > paperColumns;
        r.lines.append(l);
    };
    for (int i = 0; i < headerEnd; ++i)
        addLine(lines[i], i < pageEnd ? ReceiptPart::PageHeader : ReceiptPart::Header, nullptr);
    for (const SaleLine &item : sale.lines)
        for (int i = headerEnd; i < bodyEnd; ++i)
            addLine(lines[i], ReceiptPart::Body, &item);
    for (int i = bodyEnd; i < n; ++i)
        addLine(lines[i], ReceiptPart::Footer, nullptr);
    return r;
}

} // namespace zostore::counter
