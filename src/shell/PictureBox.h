// Image and caption controls of the picture menu: they report clicks and the pointer entering them.
#pragma once
#include <QLabel>
#include <QPixmap>
#include <QWidget>

namespace zostore::shell {

// Draws its picture scaled to its own size, so HiDPI pictures stay crisp at any twips scale.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);
    void setPicture(const QPixmap &pixmap, const QString &file);
    const QString &pictureFile() const { return m_file; }
    // Background: drawn at its own size from the top left, clipped, on the fill colour.
    void setUnscaled(bool on, const QColor &fill);

signals:
    void clicked();
    void entered();

protected:
    void paintEvent(QPaintEvent *) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;

private:
    QPixmap m_pixmap;
    QString m_file;
    bool m_unscaled = false;
    QColor m_fill;
};

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget *parent = nullptr);
    // Red and underlined while highlighted, black otherwise.
    void setHighlighted(bool on);
    bool isHighlighted() const { return m_highlighted; }

signals:
    void clicked();
    void entered();

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;

private:
    bool m_highlighted = false;
};

} // namespace zostore::shell
