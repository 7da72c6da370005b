// Help pages and the F1 key.
#include "startup/Help.h"

#include "startup/ProgramFolder.h"
#include "ui/Dialogs.h"
#include "ui/Processes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QWidget>

namespace zostore::startup {

namespace {

// Watches the whole application, so that no window needs a hook of its own.
class HelpKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        // The window system's object sees the key before the focus widget does; only the widget counts.
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        if (!key->isAutoRepeat())
            showHelp(static_cast<QWidget *>(watched));
        return true;
    }
};

} // namespace

QString helpFolder() {
    return programFile(QStringLiteral("help"));
}

QString helpPage(const QString &windowName) {
    return QDir::toNativeSeparators(QDir(helpFolder()).filePath(windowName + QStringLiteral(".html")));
}

QString helpIndex() {
    return helpPage(QStringLiteral("index"));
}

QString helpPageFor(const QWidget *w) {
    for (; w; w = w->parentWidget()) {
        if (!w->isWindow() || w->objectName().isEmpty())
            continue;
        const QString page = helpPage(w->objectName());
        if (QFileInfo::exists(page))
            return page;
        // Windows made once per kind ("frmBill_12") share the page of their kind-less name.
        static const QRegularExpression kind(QStringLiteral("_\\d+$"));
        if (const QString plain = helpPage(QString(w->objectName()).remove(kind)); QFileInfo::exists(plain))
            return plain;
    }
    return helpIndex();
}

void showHelp(const QWidget *w) {
    const QString page = helpPageFor(w);
    if (!QFileInfo::exists(page)) {
        ui::dialogs().info(QStringLiteral("找不到帮助文件：") + page);
        return;
    }
    ui::processes().openDocument(page);
}

void installHelpKey(QCoreApplication &app) {
    app.installEventFilter(new HelpKey(&app));
}

} // namespace zostore::startup
