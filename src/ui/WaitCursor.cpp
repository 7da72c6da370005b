// Hourglass pointer with a wait text.
#include "ui/WaitCursor.h"

#include "ui/StatusBar.h"

#include <QApplication>

namespace zostore::ui {

WaitCursor::WaitCursor(StatusBar *statusBar, const QString &text) : m_statusBar(statusBar) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_statusBar && !m_statusBar->firstPanelKey().isEmpty()) {
        m_previousText = m_statusBar->panelText(m_statusBar->firstPanelKey());
        if (!text.isNull())
            setText(text);
    }
}

WaitCursor::~WaitCursor() {
    if (m_statusBar && !m_statusBar->firstPanelKey().isEmpty())
        m_statusBar->setPanelText(m_statusBar->firstPanelKey(), m_previousText);
    QApplication::restoreOverrideCursor();
}

void WaitCursor::setText(const QString &text) {
    if (!m_statusBar || m_statusBar->firstPanelKey().isEmpty())
        return;
    m_statusBar->setPanelText(m_statusBar->firstPanelKey(), text);
    // The loop that reports progress keeps the thread busy; the panel must repaint now.
    m_statusBar->panel(m_statusBar->firstPanelKey())->repaint();
}

} // namespace zostore::ui
