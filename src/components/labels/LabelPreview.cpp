#include "components/labels/LabelPreview.h"

#include <QMouseEvent>
#include <QPainter>

namespace zostore::components::labels {

namespace {
constexpr int Margin = 16;
}

LabelPreview::LabelPreview(QWidget *parent) : QWidget(parent) {
    setMinimumSize(260, 200);
    setMouseTracking(false);
}

void LabelPreview::setFormat(const LabelFormat &format) {
    m_format = format;
    if (m_selected >= m_format.elements.size())
        m_selected = -1;
    update();
}

void LabelPreview::setValues(const LabelValues &values, const QList<LabelValues> &rows) {
    m_values = values;
    m_rows = rows;
    update();
}

void LabelPreview::setSelected(int element) {
    m_selected = element;
    update();
}

double LabelPreview::pxPerMm() const {
    if (m_format.width <= 0 || m_format.height <= 0)
        return 1;
    return std::max(0.5, std::min((width() - 2.0 * Margin) / m_format.width, (height() - 2.0 * Margin) / m_format.height));
}

QPointF LabelPreview::origin() const {
    const double s = pxPerMm();
    return {(width() - m_format.width * s) / 2, (height() - m_format.height * s) / 2};
}

QPointF LabelPreview::toMm(QPointF px) const { return (px - origin()) / pxPerMm(); }

void LabelPreview::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Mid));
    const double s = pxPerMm();
    const QPointF o = origin();
    const QRectF label(o, QSizeF(m_format.width * s, m_format.height * s));
    p.fillRect(label.translated(3, 3), QColor(0, 0, 0, 60));
    p.fillRect(label, Qt::white);
    LabelRenderer renderer(m_format);
    renderer.paint(p, o, s, m_values, m_rows);
    m_problems = renderer.problems();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(label);
    if (m_selected >= 0 && m_selected < m_format.elements.size()) {
        const QRectF r = m_format.elements.at(m_selected).rect.normalized();
        p.setPen(QPen(QColor(0, 120, 215), 1, Qt::DashLine));
        p.drawRect(QRectF(o + r.topLeft() * s, r.size() * s).adjusted(-2, -2, 2, 2));
    }
}

void LabelPreview::mousePressEvent(QMouseEvent *e) {
    const QPointF mm = toMm(e->position());
    // The topmost (last drawn) element under the pointer wins.
    for (int i = int(m_format.elements.size()) - 1; i >= 0; --i) {
        const QRectF r = m_format.elements.at(i).rect.normalized().adjusted(-0.8, -0.8, 0.8, 0.8);
        if (r.contains(mm)) {
            m_selected = m_dragging = i;
            m_grab = mm - m_format.elements.at(i).rect.topLeft();
            emit elementPicked(i);
            update();
            return;
        }
    }
}

void LabelPreview::mouseMoveEvent(QMouseEvent *e) {
    if (m_dragging < 0)
        return;
    QRectF &r = m_format.elements[m_dragging].rect;
    QPointF tl = toMm(e->position()) - m_grab;
    // Snapped to a tenth of a millimetre and kept on the label.
    tl.setX(std::clamp(std::round(tl.x() * 10) / 10, 0.0, std::max(0.0, m_format.width - r.width())));
    tl.setY(std::clamp(std::round(tl.y() * 10) / 10, 0.0, std::max(0.0, m_format.height - r.height())));
    r.moveTopLeft(tl);
    update();
}

void LabelPreview::mouseReleaseEvent(QMouseEvent *) {
    if (m_dragging < 0)
        return;
    const int moved = m_dragging;
    m_dragging = -1;
    emit elementMoved(moved, m_format.elements.at(moved).rect.topLeft());
}

} // namespace zostore::components::labels
