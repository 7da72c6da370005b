// Sizes are computed from millimetres for every device, so the preview and the printer agree.
#include "components/labels/LabelRenderer.h"

#include "db/Error.h"

#include <QFont>
#include <QPainter>
#include <QPen>

namespace zostore::components::labels {

namespace {

constexpr double MmPerPoint = 25.4 / 72.0;

Qt::Alignment alignmentOf(int align) {
    const Qt::Alignment h = align == 1 ? Qt::AlignHCenter : align == 2 ? Qt::AlignRight : Qt::AlignLeft;
    return h | Qt::AlignVCenter;
}

// Names and codes get the room; figures need little.
double columnWeight(const QString &key) {
    if (key == QLatin1String("FName"))
        return 3;
    if (key == QLatin1String("FNumber") || key == QLatin1String("FModel"))
        return 1.8;
    if (key == QLatin1String("FUnit"))
        return 0.8;
    return 1.2;
}

bool isFigure(const QString &key) {
    return key == QLatin1String("FMainQty") || key == QLatin1String("FQty") || key == QLatin1String("FPrice") ||
           key == QLatin1String("FAmount");
}

QString columnCaption(const QString &key) {
    for (const auto &f : billLineFields())
        if (f.first == key)
            return f.second;
    return key;
}

} // namespace

LabelRenderer::LabelRenderer(LabelFormat format) : m_format(std::move(format)) {}

const BarcodeDrawing *LabelRenderer::barcode(const LabelElement &e, const QString &value) {
    const QString key = QString::number(static_cast<int>(e.symbology)) + (e.showDigits ? u'+' : u'-') + value;
    if (auto it = m_barcodes.constFind(key); it != m_barcodes.constEnd())
        return &it.value();
    if (m_failed.contains(key))
        return nullptr;
    try {
        return &m_barcodes.insert(key, encodeBarcode(e.symbology, value, e.showDigits)).value();
    } catch (const Error &err) {
        m_failed.insert(key, err.description());
        m_problems.append(err.description());
        return nullptr;
    }
}

void LabelRenderer::paintTable(QPainter &painter, const QRectF &r, double pxPerMm, const LabelElement &e,
                               const QList<LabelValues> &rows) {
    double total = 0;
    for (const QString &c : e.columns)
        total += columnWeight(c);
    if (total <= 0)
        return;
    const double rowH = tableRowMm(e) * pxPerMm;
    const int shown = std::min(static_cast<int>(rows.size()), tableCapacity(e));
    const double pad = 0.8 * pxPerMm;
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(std::max(1, qRound(e.fontSize * MmPerPoint * pxPerMm)));
    painter.setPen(QPen(Qt::black, std::max(1.0, e.lineWidth * pxPerMm)));
    painter.setBrush(Qt::NoBrush);
    const double bottom = r.top() + rowH * (shown + 1);
    double x = r.left();
    for (int c = 0; c < e.columns.size(); ++c) {
        const QString &key = e.columns[c];
        const double w = r.width() * columnWeight(key) / total;
        for (int row = -1; row < shown; ++row) {
            const QRectF cell(x, r.top() + rowH * (row + 1), w, rowH);
            font.setBold(row < 0);
            painter.setFont(font);
            const QString text = row < 0 ? columnCaption(key) : rows[row].value(key);
            const Qt::Alignment a = row < 0 ? Qt::AlignHCenter : isFigure(key) ? Qt::AlignRight : Qt::AlignLeft;
            painter.drawText(cell.adjusted(pad, 0, -pad, 0), static_cast<int>(a | Qt::AlignVCenter) | Qt::TextSingleLine,
                             painter.fontMetrics().elidedText(text, Qt::ElideRight, qRound(w - 2 * pad)));
        }
        painter.drawLine(QPointF(x, r.top()), QPointF(x, bottom));
        x += w;
    }
    painter.drawLine(QPointF(r.right(), r.top()), QPointF(r.right(), bottom));
    for (int row = 0; row <= shown + 1; ++row)
        painter.drawLine(QPointF(r.left(), r.top() + rowH * row), QPointF(r.right(), r.top() + rowH * row));
}

void LabelRenderer::paint(QPainter &painter, const QPointF &topLeft, double pxPerMm, const LabelValues &values,
                          const QList<LabelValues> &rows) {
    auto toDevice = [&](const QRectF &mm) {
        return QRectF(topLeft.x() + mm.x() * pxPerMm, topLeft.y() + mm.y() * pxPerMm, mm.width() * pxPerMm,
                      mm.height() * pxPerMm);
    };
    painter.save();
    for (const LabelElement &e : m_format.elements) {
        const QRectF r = toDevice(e.rect);
        switch (e.kind) {
        case LabelElement::Kind::Text:
        case LabelElement::Kind::Field:
        case LabelElement::Kind::Price: {
            const QString text = e.kind == LabelElement::Kind::Text ? e.text : e.text + values.value(e.field);
            QFont font(QStringLiteral("Noto Sans CJK SC"));
            font.setPixelSize(std::max(1, qRound(e.fontSize * MmPerPoint * pxPerMm)));
            font.setBold(e.bold);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(r, static_cast<int>(alignmentOf(e.align)) | Qt::TextSingleLine, text);
            break;
        }
        case LabelElement::Kind::Barcode: {
            const QString value = values.value(e.field).trimmed();
            if (value.isEmpty())
                break;
            if (const BarcodeDrawing *d = barcode(e, value)) {
                paintBarcode(painter, r, *d);
            } else {
                // An honest blank: the label shows that its barcode could not be made.
                painter.setPen(QPen(Qt::red, std::max(1.0, 0.2 * pxPerMm)));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(r);
                QFont font(QStringLiteral("Noto Sans CJK SC"));
                font.setPixelSize(std::max(1, qRound(2.0 * pxPerMm)));
                painter.setFont(font);
                painter.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("条码无效\n") + value);
            }
            break;
        }
        case LabelElement::Kind::Line:
            painter.setPen(QPen(Qt::black, std::max(1.0, e.lineWidth * pxPerMm)));
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        case LabelElement::Kind::Box:
            painter.setPen(QPen(Qt::black, std::max(1.0, e.lineWidth * pxPerMm)));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r);
            break;
        case LabelElement::Kind::Table:
            paintTable(painter, r, pxPerMm, e, rows);
            break;
        }
    }
    painter.restore();
}

} // namespace zostore::components::labels
