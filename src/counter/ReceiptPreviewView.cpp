#include "counter/ReceiptPreviewView.h"

#include <QPainter>

namespace zostore::counter {

namespace {
constexpr int Margin = 8;
constexpr int GutterColumns = 3;

QString partTag(ReceiptPart p) {
    switch (p) {
    case ReceiptPart::PageHeader:
        return QStringLiteral("眉");
    case ReceiptPart::Header:
        return QStringLiteral("头");
    case ReceiptPart::Body:
        return QStringLiteral("体");
    case ReceiptPart::Footer:
        break;
    }
    return QStringLiteral("尾");
}
} // namespace

ReceiptPreviewView::ReceiptPreviewView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("receiptPreview"));
    QFont f(QStringLiteral("Noto Sans Mono CJK SC"));
    f.setStyleHint(QFont::Monospace);
    f.setPointSize(10);
    setFont(f);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xd8, 0xd8, 0xd8));
    setPalette(pal);
}

void ReceiptPreviewView::setReceipt(const Receipt &receipt, bool widerSpacing) {
    m_receipt = receipt;
    m_widerSpacing = widerSpacing;
    setMinimumSize(sizeHint());
    updateGeometry();
    update();
}

int ReceiptPreviewView::columnWidth() const { return fontMetrics().horizontalAdvance(QLatin1Char('0')); }

int ReceiptPreviewView::lineHeight() const {
    const int h = fontMetrics().height();
    return m_widerSpacing ? h * 3 / 2 : h;
}

int ReceiptPreviewView::widestColumns() const {
    int w = m_receipt.paperColumns;
    for (const auto &l : m_receipt.lines)
        w = std::max(w, l.columns);
    return w;
}

QSize ReceiptPreviewView::sizeHint() const {
    const int cw = columnWidth();
    return {2 * Margin + (GutterColumns + widestColumns() + 2) * cw,
            2 * Margin + int(std::max<qsizetype>(m_receipt.lines.size(), 1)) * lineHeight() + Margin};
}

void ReceiptPreviewView::paintEvent(QPaintEvent *) {
    QPainter p(this);
    const int cw = columnWidth(), lh = lineHeight();
    const int ascent = fontMetrics().ascent() + (lh - fontMetrics().height()) / 2;
    const int x0 = Margin + GutterColumns * cw;
    const int paperRight = x0 + (m_receipt.paperColumns + 1) * cw;
    const int edge = x0 + cw / 2 + m_receipt.paperColumns * cw;
    const int bottom = Margin + int(m_receipt.lines.size()) * lh + Margin;
    p.fillRect(QRect(x0, Margin / 2, paperRight - x0, bottom - Margin / 2), Qt::white);

    QFont small = font();
    small.setPointSize(7);
    for (int i = 0; i < m_receipt.lines.size(); ++i) {
        const ReceiptLine &line = m_receipt.lines[i];
        const int y = Margin + i * lh;
        if (line.tooWide)
            p.fillRect(QRect(x0, y, (line.columns + 1) * cw, lh), QColor(0xff, 0xd6, 0xd6));
        p.setFont(small);
        p.setPen(line.tooWide ? QColor(0xc0, 0, 0) : QColor(0x80, 0x80, 0x80));
        p.drawText(QRect(Margin, y, GutterColumns * cw - 2, lh), Qt::AlignRight | Qt::AlignVCenter,
                   partTag(line.part));
        p.setFont(font());
        // Each character at its own column, so alignment is the printer's, not the font's.
        int col = 0;
        for (char32_t c : line.text.toUcs4()) {
            const int w = charColumns(c);
            p.setPen(col + w > m_receipt.paperColumns ? QColor(0xc0, 0, 0) : Qt::black);
            p.drawText(x0 + cw / 2 + col * cw, y + ascent, QString::fromUcs4(&c, 1));
            col += w;
        }
    }
    p.setPen(QPen(QColor(0xc0, 0x40, 0x40), 1, Qt::DashLine));
    p.drawLine(edge, Margin / 2, edge, bottom);
}

} // namespace zostore::counter
