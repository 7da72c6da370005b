// libzint encodes; we validate first so that the user reads a message in Chinese, not the encoder's.
#include "components/labels/Barcode.h"

#include "db/Error.h"
#include "db/MessageText.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <memory>
#include <zint.h>

namespace zostore::components::labels {

namespace {

bool allDigits(const QString &s) {
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

[[noreturn]] void refuse(const QString &text) {
    throw Error(text);
}

// Returns the digits without the check digit, after checking the one given.
QString eanPayload(Symbology s, const QString &data) {
    const int body = s == Symbology::Ean13 ? 12 : 7;
    const QString name = symbologyName(s);
    if (!allDigits(data) || (data.size() != body && data.size() != body + 1))
        refuse(QStringLiteral("条码“%1”不能打印为 %2：需要 %3 位或 %4 位数字。")
                   .arg(db::shortened(data), name)
                   .arg(body)
                   .arg(body + 1));
    const QString payload = data.left(body);
    if (data.size() == body + 1) {
        const int check = eanCheckDigit(payload);
        if (data.at(body).digitValue() != check)
            refuse(QStringLiteral("条码“%1”的校验位不对，应为 %2。").arg(data).arg(check));
    }
    return payload;
}

struct SymbolDeleter {
    void operator()(zint_symbol *s) const { ZBarcode_Delete(s); }
};

} // namespace

QString symbologyName(Symbology s) {
    switch (s) {
    case Symbology::Ean8:
        return QStringLiteral("EAN-8");
    case Symbology::Code128:
        return QStringLiteral("Code 128");
    case Symbology::Ean13:
        break;
    }
    return QStringLiteral("EAN-13");
}

Symbology symbologyFromName(const QString &name) {
    if (name.compare(QStringLiteral("EAN-8"), Qt::CaseInsensitive) == 0)
        return Symbology::Ean8;
    if (name.compare(QStringLiteral("Code 128"), Qt::CaseInsensitive) == 0)
        return Symbology::Code128;
    return Symbology::Ean13;
}

int eanCheckDigit(const QString &digits) {
    // Weights 3,1,3,... counted from the rightmost digit.
    int sum = 0;
    for (int i = 0; i < digits.size(); ++i) {
        const int d = digits.at(digits.size() - 1 - i).digitValue();
        sum += (i % 2 == 0) ? 3 * d : d;
    }
    return (10 - sum % 10) % 10;
}

BarcodeDrawing encodeBarcode(Symbology symbology, const QString &data, bool showDigits) {
    QByteArray source;
    std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol)
        throw Error(QStringLiteral("条码编码器无法启动（内存不足）。"));
    if (symbology == Symbology::Code128) {
        if (data.isEmpty())
            refuse(QStringLiteral("条码为空，不能打印为 Code 128。"));
        if (data.size() > 80)
            refuse(QStringLiteral("条码“%1”太长，Code 128 最多 80 个字符。").arg(db::shortened(data)));
        for (QChar c : data)
            if (c.unicode() < 32 || c.unicode() > 126)
                refuse(QStringLiteral("条码“%1”含有 Code 128 不能表示的字符“%2”。").arg(db::shortened(data), QString(c)));
        symbol->symbology = BARCODE_CODE128;
        source = data.toLatin1();
    } else {
        symbol->symbology = BARCODE_EANX;
        source = eanPayload(symbology, data).toLatin1();
    }
    symbol->show_hrt = showDigits ? 1 : 0;
    symbol->input_mode = DATA_MODE;
    const int rc = ZBarcode_Encode_and_Buffer_Vector(symbol.get(), reinterpret_cast<const unsigned char *>(source.constData()),
                                                     static_cast<int>(source.size()), 0);
    if (rc >= ZINT_ERROR)
        refuse(QStringLiteral("条码“%1”无法编码：%2").arg(db::shortened(data), QString::fromLatin1(symbol->errtxt)));

    BarcodeDrawing out;
    const zint_vector *v = symbol->vector;
    out.size = QSizeF(v->width, v->height);
    for (const zint_vector_rect *r = v->rectangles; r; r = r->next)
        if (r->colour <= 0 || r->colour == 7) // foreground or black
            out.bars.append(QRectF(r->x, r->y, r->width, r->height));
    for (const zint_vector_string *s = v->strings; s; s = s->next)
        out.texts.append({QPointF(s->x, s->y), s->fsize, s->halign,
                          QString::fromUtf8(reinterpret_cast<const char *>(s->text), s->length)});
    return out;
}

void paintBarcode(QPainter &painter, const QRectF &target, const BarcodeDrawing &drawing) {
    if (drawing.size.isEmpty() || target.isEmpty())
        return;
    const double sx = target.width() / drawing.size.width();
    const double sy = target.height() / drawing.size.height();
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const QRectF &b : drawing.bars)
        painter.drawRect(QRectF(target.left() + b.x() * sx, target.top() + b.y() * sy, b.width() * sx, b.height() * sy));
    painter.setPen(Qt::black);
    for (const auto &t : drawing.texts) {
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setPixelSize(std::max(1, qRound(t.size * std::min(sx, sy))));
        painter.setFont(font);
        const double w = QFontMetricsF(font).horizontalAdvance(t.text);
        double x = target.left() + t.pos.x() * sx;
        if (t.halign == 0)
            x -= w / 2;
        else if (t.halign == 2)
            x -= w;
        painter.drawText(QPointF(x, target.top() + t.pos.y() * sy), t.text);
    }
    painter.restore();
}

} // namespace zostore::components::labels
