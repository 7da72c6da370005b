// Picture-menu controls.
#include "shell/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace zostore::shell {

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {}

void PictureBox::setPicture(const QPixmap &pixmap, const QString &file) {
    m_pixmap = pixmap;
    m_file = file;
    update();
}

void PictureBox::setUnscaled(bool on, const QColor &fill) {
    m_unscaled = on;
    m_fill = fill;
    update();
}

void PictureBox::paintEvent(QPaintEvent *) {
    QPainter p(this);
    if (m_unscaled) {
        p.fillRect(rect(), m_fill);
        p.drawPixmap(QPointF(0, 0), m_pixmap);
        return;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), m_pixmap);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
}

void PictureBox::enterEvent(QEnterEvent *e) {
    QWidget::enterEvent(e);
    emit entered();
}

LinkLabel::LinkLabel(QWidget *parent) : QLabel(parent) {
    setHighlighted(false);
}

void LinkLabel::setHighlighted(bool on) {
    m_highlighted = on;
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, on ? QColor(255, 0, 0) : QColor(0, 0, 0));
    setPalette(pal);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
}

void LinkLabel::enterEvent(QEnterEvent *e) {
    QLabel::enterEvent(e);
    emit entered();
}

} // namespace zostore::shell
