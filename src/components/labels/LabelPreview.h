// The designer's live picture of one label: drawn by the printing renderer, elements picked and moved by mouse.
#pragma once

#include "components/labels/LabelRenderer.h"

#include <QWidget>

namespace zostore::components::labels {

class LabelPreview : public QWidget {
    Q_OBJECT
public:
    explicit LabelPreview(QWidget *parent = nullptr);

    void setFormat(const LabelFormat &format);
    void setValues(const LabelValues &values, const QList<LabelValues> &rows = {});
    void setSelected(int element);
    const QStringList &problems() const { return m_problems; }
    QSize sizeHint() const override { return {420, 320}; }

signals:
    void elementPicked(int element);
    // The element was dragged to a new top-left corner (mm).
    void elementMoved(int element, QPointF topLeftMm);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    double pxPerMm() const;
    QPointF origin() const;
    QPointF toMm(QPointF px) const;

    LabelFormat m_format;
    LabelValues m_values;
    QList<LabelValues> m_rows;
    QStringList m_problems;
    int m_selected = -1;
    int m_dragging = -1;
    QPointF m_grab; // mm between the pointer and the element's corner
};

} // namespace zostore::components::labels
