// Starting the text editor, the calculator and other programs.
#include "ui/Processes.h"

#include "ui/Dialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace zostore::ui {

namespace {

Processes *g_current = nullptr;

QString firstToken(const QString &line, QString *rest) {
    const QString trimmed = line.trimmed();
    const qsizetype space = trimmed.indexOf(QLatin1Char(' '));
    if (space < 0) {
        *rest = QString();
        return trimmed;
    }
    *rest = trimmed.mid(space + 1).trimmed();
    return trimmed.left(space);
}

bool isProgram(const QString &token, const char *name) {
    const QString t = token.toLower();
    const QString n = QLatin1String(name);
    return t == n || t == n + QLatin1String(".exe");
}

} // namespace

SystemProcesses::Resolved SystemProcesses::resolve(const QString &commandLine) {
    QString rest;
    const QString program = firstToken(commandLine, &rest);
    Resolved r;
    if (isProgram(program, "notepad")) {
        // A terminal editor is of no use without a terminal, so the desktop's opener comes first.
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        const QString editor = qEnvironmentVariable("VISUAL", qEnvironmentVariable("EDITOR"));
        if (!opener.isEmpty() && !rest.isEmpty())
            r.program = opener;
        else if (!editor.isEmpty())
            r.program = QStandardPaths::findExecutable(editor);
        if (r.program.isEmpty()) {
            r.missingMessage =
                QStringLiteral("找不到文本编辑器（xdg-open 或环境变量 EDITOR），无法打开：") + rest;
            return r;
        }
        if (!rest.isEmpty())
            r.arguments << rest;
        return r;
    }
    if (isProgram(program, "calc")) {
        for (const char *name :
             {"gnome-calculator", "kcalc", "galculator", "qalculate-gtk", "qalculate-qt"}) {
            r.program = QStandardPaths::findExecutable(QLatin1String(name));
            if (!r.program.isEmpty())
                return r;
        }
        r.missingMessage =
            QStringLiteral("未安装计算器程序（gnome-calculator、kcalc、galculator 或 qalculate）。");
        return r;
    }
    r.program = program;
    r.arguments = QProcess::splitCommand(rest);
    return r;
}

bool SystemProcesses::start(const QString &commandLine, WindowStyle style) {
    Q_UNUSED(style) // window placement belongs to the started program's window manager
    const Resolved r = resolve(commandLine);
    if (r.program.isEmpty()) {
        dialogs().message(r.missingMessage, Icon::Information);
        return false;
    }
    if (!QProcess::startDetached(r.program, r.arguments)) {
        dialogs().message(QStringLiteral("无法启动程序：") + r.program, Icon::Information);
        return false;
    }
    return true;
}

bool SystemProcesses::openDocument(const QString &path) {
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        dialogs().message(QStringLiteral("没有可以打开此文件的程序（xdg-open）：") +
                              QDir::toNativeSeparators(path),
                          Icon::Information);
        return false;
    }
    return true;
}

bool RecordingProcesses::start(const QString &commandLine, WindowStyle style) {
    started.append({commandLine, style});
    return true;
}

bool RecordingProcesses::openDocument(const QString &path) {
    documents.append(path);
    return true;
}

Processes &processes() {
    static SystemProcesses real;
    return g_current ? *g_current : real;
}

void setProcesses(Processes *p) {
    g_current = p;
}

} // namespace zostore::ui
