// Process-wide Dialogs instance.
#include "ui/Dialogs.h"

#include "ui/QtDialogs.h"

#include <QCoreApplication>

namespace zostore::ui {

namespace {
Dialogs *g_current = nullptr;
}

QString Dialogs::applicationTitle() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() || name.startsWith(QLatin1String("zostore")) ? QStringLiteral("ZoStore") : name;
}

Dialogs &dialogs() {
    static QtDialogs real;
    return g_current ? *g_current : real;
}

void setDialogs(Dialogs *d) {
    g_current = d;
}

DialogsScope::DialogsScope(Dialogs &d) : m_previous(g_current) {
    g_current = &d;
}
DialogsScope::~DialogsScope() {
    g_current = m_previous;
}

} // namespace zostore::ui
