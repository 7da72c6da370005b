#include "ui/MergedHeaderView.h"

#include "ui/GridModel.h"

#include <QPainter>
#include <QStyleOptionHeader>

namespace zostore::ui {

MergedHeaderView::MergedHeaderView(GridModel *model, QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent), m_model(model) {
    connect(model, &QAbstractItemModel::headerDataChanged, this, &MergedHeaderView::refresh);
    connect(model, &QAbstractItemModel::modelReset, this, &MergedHeaderView::refresh);
    connect(model, &QAbstractItemModel::columnsInserted, this, &MergedHeaderView::refresh);
    connect(model, &QAbstractItemModel::columnsRemoved, this, &MergedHeaderView::refresh);
}

void MergedHeaderView::refresh() {
    QList<QStringList> header;
    for (int r = 0; r < m_model->fixedRows(); ++r) {
        QStringList row;
        for (int c = 0; c < m_model->cols(); ++c)
            row << m_model->textMatrix(r, c);
        header << row;
    }
    m_spans = headerSpans(header);
    viewport()->update();
}

QRect MergedHeaderView::spanRect(const HeaderSpan &s, int top, int lineHeight) const {
    int left = -1, right = -1;
    for (int c = s.firstCol; c <= s.lastCol; ++c) {
        if (isSectionHidden(c) || sectionSize(c) == 0)
            continue;
        const int x = sectionViewportPosition(c);
        if (left < 0 || x < left)
            left = x;
        right = std::max(right, x + sectionSize(c));
    }
    return QRect(left, top + s.firstRow * lineHeight, right - left,
                 (s.lastRow - s.firstRow + 1) * lineHeight);
}

void MergedHeaderView::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const {
    const int rows = m_model->fixedRows();
    if (rows < 2) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    const int lineHeight = rect.height() / rows;
    painter->save();
    // Each column draws every cell it is part of in full, clipped to itself, so a merged cell's text
    // comes out once and centred over the whole span.
    painter->setClipRect(rect);
    for (int r = 0; r < rows;) {
        HeaderSpan span{r, logicalIndex, r, logicalIndex};
        for (const HeaderSpan &s : m_spans)
            if (s.contains(r, logicalIndex))
                span = s;
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.rect = span.firstCol == span.lastCol && span.firstRow == span.lastRow
                       ? QRect(rect.left(), rect.top() + r * lineHeight, rect.width(), lineHeight)
                       : spanRect(span, rect.top(), lineHeight);
        if (span.lastRow == rows - 1)
            opt.rect.setBottom(rect.bottom());
        opt.section = logicalIndex;
        opt.text = m_model->textMatrix(span.firstRow, span.firstCol);
        opt.textAlignment = Qt::AlignCenter;
        opt.position = QStyleOptionHeader::Middle;
        style()->drawControl(QStyle::CE_Header, &opt, painter, this);
        r = span.lastRow + 1;
    }
    painter->restore();
}

} // namespace zostore::ui
