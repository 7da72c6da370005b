// The grid's column header: one line per fixed row, merged cells drawn across their columns.
#pragma once

#include "ui/HeaderSpans.h"

#include <QHeaderView>

namespace zostore::ui {

class GridModel;

class MergedHeaderView : public QHeaderView {
    Q_OBJECT
public:
    MergedHeaderView(GridModel *model, QWidget *parent);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    void refresh();
    QRect spanRect(const HeaderSpan &s, int top, int lineHeight) const;

    GridModel *m_model;
    QList<HeaderSpan> m_spans;
};

} // namespace zostore::ui
