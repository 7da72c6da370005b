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

void LabelRenderer::paint(QPainter &painter, const QPointF &topLeft, double pxPerMm, const LabelValues &values) {
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
        }
    }
    painter.restore();
}

} // namespace zostore::components::labels
