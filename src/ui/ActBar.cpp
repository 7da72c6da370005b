// Bands and tools of the menu bar and toolbars.
#include "ui/ActBar.h"

#include "db/Error.h"

#include <QCursor>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace zostore::ui {

namespace {
const char *ToolNameProperty = "zostoreToolName";
}

ActBar::ActBar(QMainWindow *window) : QObject(window), m_window(window) {}

void ActBar::addBand(const QString &name, BandType type, const QString &caption) {
    Band b{type, nullptr, {}};
    switch (type) {
    case BandType::MenuBar:
        m_menuBar = m_window->menuBar();
        b.widget = m_menuBar;
        break;
    case BandType::Toolbar: {
        auto *tb = new QToolBar(caption.isEmpty() ? name : caption, m_window);
        tb->setObjectName(name);
        tb->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        m_window->addToolBar(tb);
        b.widget = tb;
        break;
    }
    case BandType::Popup: {
        auto *menu = new QMenu(caption, m_window);
        menu->setObjectName(name);
        b.widget = menu;
        break;
    }
    }
    m_bands.insert(name.toLower(), b);
}

bool ActBar::hasBand(const QString &name) const {
    return findBand(name) != nullptr;
}

ActBar::BandType ActBar::bandType(const QString &name) const {
    const Band *b = findBand(name);
    return b ? b->type : BandType::Popup;
}

QMenu *ActBar::popup(const QString &name) const {
    const Band *b = findBand(name);
    return b && b->type == BandType::Popup ? static_cast<QMenu *>(b->widget) : nullptr;
}

QToolBar *ActBar::toolbar(const QString &name) const {
    const Band *b = findBand(name);
    return b && b->type == BandType::Toolbar ? static_cast<QToolBar *>(b->widget) : nullptr;
}

ActBar::Band &ActBar::band(const QString &name) {
    auto it = m_bands.find(name.toLower());
    if (it == m_bands.end())
        throw Error(QStringLiteral("工具栏中没有名为 %1 的栏").arg(name));
    return *it;
}

const ActBar::Band *ActBar::findBand(const QString &name) const {
    auto it = m_bands.constFind(name.toLower());
    return it == m_bands.cend() ? nullptr : &*it;
}

QAction *ActBar::addTool(const QString &bandName, const QString &name, const QString &caption,
                         const QKeySequence &shortcut, bool checkable) {
    Band &b = band(bandName);
    auto *a = new QAction(caption, b.widget);
    a->setObjectName(name);
    a->setProperty(ToolNameProperty, name);
    a->setShortcut(shortcut);
    a->setCheckable(checkable);
    b.widget->addAction(a);
    b.tools.append(a);
    connect(a, &QAction::triggered, this, [this, name] { emit toolClicked(name); });
    return a;
}

QAction *ActBar::addSubBand(const QString &bandName, const QString &name, const QString &caption,
                            const QString &popupBand) {
    Band &b = band(bandName);
    QMenu *menu = popup(popupBand);
    if (!menu)
        throw Error(QStringLiteral("工具栏中没有名为 %1 的弹出栏").arg(popupBand));
    menu->setTitle(caption);
    QAction *a = menu->menuAction();
    a->setObjectName(name);
    a->setProperty(ToolNameProperty, name);
    if (b.type == BandType::MenuBar) {
        m_menuBar->addMenu(menu);
    } else if (b.type == BandType::Toolbar) {
        auto *tb = static_cast<QToolBar *>(b.widget);
        tb->addAction(a);
        if (auto *button = qobject_cast<QToolButton *>(tb->widgetForAction(a)))
            button->setPopupMode(QToolButton::InstantPopup);
    } else {
        static_cast<QMenu *>(b.widget)->addMenu(menu);
    }
    b.tools.append(a);
    return a;
}

void ActBar::addSeparator(const QString &bandName) {
    Band &b = band(bandName);
    if (b.type == BandType::Toolbar)
        static_cast<QToolBar *>(b.widget)->addSeparator();
    else if (b.type == BandType::Popup)
        static_cast<QMenu *>(b.widget)->addSeparator();
    else
        m_menuBar->addSeparator();
}

QAction *ActBar::tool(const QString &bandName, const QString &name) const {
    const Band *b = findBand(bandName);
    if (!b)
        return nullptr;
    for (QAction *a : b->tools)
        if (toolName(a).compare(name, Qt::CaseInsensitive) == 0)
            return a;
    return nullptr;
}

QList<QAction *> ActBar::toolsNamed(const QString &name) const {
    QList<QAction *> out;
    for (const Band &b : m_bands)
        for (QAction *a : b.tools)
            if (toolName(a).compare(name, Qt::CaseInsensitive) == 0)
                out << a;
    return out;
}

QStringList ActBar::toolNames(const QString &bandName) const {
    QStringList out;
    if (const Band *b = findBand(bandName))
        for (const QAction *a : b->tools)
            out << toolName(a);
    return out;
}

QString ActBar::toolName(const QAction *a) {
    return a ? a->property(ToolNameProperty).toString() : QString();
}

void ActBar::showPopup(const QString &bandName, QPoint globalPos) {
    QMenu *menu = popup(bandName);
    if (!menu)
        return;
    menu->popup(globalPos.isNull() ? QCursor::pos() : globalPos);
}

} // namespace zostore::ui
