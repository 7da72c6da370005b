// Window table: modal windows run through the Dialogs interface so tests can drive them.
#include "shell/WindowTable.h"

#include "ui/Dialogs.h"

#include <QDialog>
#include <QWidget>

namespace zostore::shell {

WindowTable &WindowTable::instance() {
    static WindowTable table;
    return table;
}

void WindowTable::registerWindow(const QString &name, WindowFactory factory) {
    removeWindow(name);
    m_entries.push_back({name, std::move(factory)});
}

void WindowTable::removeWindow(const QString &name) {
    std::erase_if(m_entries, [&](const auto &e) { return e.first.compare(name, Qt::CaseInsensitive) == 0; });
}

bool WindowTable::isInstalled(const QString &name) const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const auto &e) { return e.first.compare(name, Qt::CaseInsensitive) == 0; });
}

QStringList WindowTable::names() const {
    QStringList out;
    for (const auto &e : m_entries)
        out << e.first;
    return out;
}

QWidget *WindowTable::create(const QString &name, QWidget *parent) const {
    const auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const auto &e) {
        return e.first.compare(name, Qt::CaseInsensitive) == 0;
    });
    return it == m_entries.end() ? nullptr : it->second(parent);
}

int WindowTable::open(const QString &name, QWidget *parent, WindowMode mode) {
    if (!isInstalled(name)) {
        ui::dialogs().info(QStringLiteral("该功能窗口尚未安装：") + name);
        return -1;
    }
    QWidget *w = create(name, parent);
    if (!w)
        return -1;
    if (mode == WindowMode::Modal) {
        auto *dialog = qobject_cast<QDialog *>(w);
        if (!dialog) {
            delete w;
            return -1;
        }
        const int result = ui::dialogs().exec(*dialog);
        delete dialog;
        return result;
    }
    w->setAttribute(Qt::WA_DeleteOnClose);
    if (!w->isWindow())
        w->setWindowFlag(Qt::Window);
    w->show();
    w->raise();
    w->activateWindow();
    return 0;
}

} // namespace zostore::shell
