// The help folder, written from the live windows and their written parts.
#include "HelpWriter.h"

#include "HelpPages.h"
#include "ModuleWindows.h"
#include "shell/WindowTable.h"
#include "shell/frmMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>
#include <QWidget>
#include <memory>

namespace zostore::help {

namespace {

const QString MainWindow = QStringLiteral("frmMain");

bool writeText(const QString &path, const QString &text, HelpReport &report) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0 || !f.commit()) {
        report.failures
            << QStringLiteral("无法写入 %1：%2").arg(QDir::toNativeSeparators(path), f.errorString());
        return false;
    }
    return true;
}

PageSource readSource(const QString &file, HelpReport &report) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        report.problems << QStringLiteral("没有帮助说明文件 %1").arg(QDir::toNativeSeparators(file));
        return {};
    }
    PageSource s = parsePageSource(QString::fromUtf8(f.readAll()));
    for (const QString &e : s.errors)
        report.problems << QDir::toNativeSeparators(file) + QStringLiteral("：") + e;
    return s;
}

struct Page {
    QString name;
    QString title;
    PageSource source;
    QList<Control> controls;
};

} // namespace

HelpReport writeHelp(const QString &sourceDir, const QString &projectRoot, const QString &programFolder) {
    HelpReport report;
    const QDir out(QDir(programFolder).filePath(QStringLiteral("help")));
    if (!out.mkpath(QStringLiteral("pictures"))) {
        report.failures << QStringLiteral("无法建立文件夹 %1")
                               .arg(QDir::toNativeSeparators(out.filePath(QStringLiteral("pictures"))));
        return report;
    }
    QList<Page> pages;
    // The main window registers the about box, so it comes before the table is read.
    auto main = std::make_unique<shell::frmMain>();
    const QStringList names = QStringList{MainWindow} + shell::windowTable().names();
    for (const QString &name : names) {
        std::unique_ptr<QWidget> window;
        if (name == MainWindow)
            window = std::move(main);
        else
            window.reset(shell::windowTable().create(name, nullptr));
        if (!window) {
            report.failures << QStringLiteral("无法建立窗口 %1").arg(name);
            continue;
        }
        Page p{name,
               {},
               readSource(QDir(sourceDir).filePath(name + QStringLiteral(".txt")), report),
               windowControls(*window)};
        p.title = p.source.title.isEmpty() ? window->windowTitle() : p.source.title;
        pages << p;
    }
    for (const ModuleWindow &m : moduleWindows()) {
        std::unique_ptr<QWidget> window(m.make());
        Page p{m.page,
               {},
               readSource(QDir(sourceDir).filePath(m.page + QStringLiteral(".txt")), report),
               windowControls(*window)};
        if (p.source.pictures.isEmpty())
            p.source.pictures.append({QStringLiteral("docs/screenshots/") + m.picture, {}});
        p.title = p.source.title.isEmpty() ? window->windowTitle() : p.source.title;
        pages << p;
    }
    QMap<QString, QString> titles{{QStringLiteral("index"), QStringLiteral("帮助目录")}};
    for (const Page &p : pages)
        titles.insert(p.name, p.title);
    QList<IndexEntry> index;
    for (const Page &p : pages) {
        const PageCheck check = checkPage(p.source, p.controls, titles);
        for (const QString &c : check.undescribed)
            report.problems << QStringLiteral("%1：控件 %2 没有说明").arg(p.name, c);
        for (const QString &c : check.unknown)
            report.problems << QStringLiteral("%1：说明了窗口中没有的控件 %2").arg(p.name, c);
        for (const QString &c : check.unknownLinks)
            report.problems << QStringLiteral("%1：链接到没有的帮助页 %2").arg(p.name, c);
        for (const auto &picture : p.source.pictures) {
            const QString from = QDir(projectRoot).filePath(picture.file);
            const QString to = out.filePath(QStringLiteral("pictures/") + QFileInfo(picture.file).fileName());
            QFile::remove(to);
            if (!QFile::copy(from, to))
                report.failures
                    << QStringLiteral("%1：无法复制图片 %2").arg(p.name, QDir::toNativeSeparators(from));
        }
        if (writeText(out.filePath(p.name + QStringLiteral(".html")),
                      pageHtml(p.title, p.source, p.controls, titles), report)) {
            report.pages << p.name;
            index.append({p.name, p.title});
        }
    }
    writeText(
        out.filePath(QStringLiteral("index.html")),
        indexHtml(index,
                  QStringLiteral("在程序的任何窗口中按 F1 键，打开该窗口的帮助页。下面是全部窗口的帮助页：")),
        report);
    writeText(out.filePath(QStringLiteral("style.css")), styleSheet(), report);
    return report;
}

} // namespace zostore::help
