// Keyed status bar panels.
#include "ui/StatusBar.h"

#include "ui/Twips.h"

#include <QMouseEvent>

namespace zostore::ui {

StatusPanel::StatusPanel(const QString &key, QWidget *parent) : QLabel(parent), m_key(key) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setContentsMargins(4, 0, 4, 0);
    setObjectName(key);
}

void StatusPanel::mouseReleaseEvent(QMouseEvent *e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked(m_key);
    QLabel::mouseReleaseEvent(e);
}

StatusBar::StatusBar(QWidget *parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
}

StatusPanel *StatusBar::addPanel(const QString &key, const QString &text, int widthTwips,
                                 const QString &toolTip) {
    auto *p = new StatusPanel(key, this);
    p->setText(text);
    p->setToolTip(toolTip);
    if (widthTwips > 0)
        p->setFixedWidth(twips::toPixels(widthTwips));
    addPermanentWidget(p, widthTwips > 0 ? 0 : 1);
    connect(p, &StatusPanel::clicked, this, &StatusBar::panelClicked);
    m_keys << key;
    return p;
}

StatusPanel *StatusBar::panel(const QString &key) const {
    for (StatusPanel *p : findChildren<StatusPanel *>(QString(), Qt::FindDirectChildrenOnly))
        if (p->key().compare(key, Qt::CaseInsensitive) == 0)
            return p;
    return nullptr;
}

QString StatusBar::panelText(const QString &key) const {
    const StatusPanel *p = panel(key);
    return p ? p->text() : QString();
}

void StatusBar::setPanelText(const QString &key, const QString &text) {
    if (StatusPanel *p = panel(key))
        p->setText(text);
}

void StatusBar::setPanelWidthTwips(const QString &key, int widthTwips) {
    if (StatusPanel *p = panel(key))
        p->setFixedWidth(twips::toPixels(widthTwips));
}

} // namespace zostore::ui
