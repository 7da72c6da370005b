// Help pages: controls read from the live window, texts from the written source.
#include "HelpPages.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QTimeEdit>
#include <QToolBar>
#include <QTreeView>

namespace zostore::help {

namespace {

const QString Label = QStringLiteral("标签");
// Kinds that show rather than do: listed only where a description is written.
const QStringList Optional = {Label, QStringLiteral("图片"), QStringLiteral("分组"), QStringLiteral("页签")};

QString plainCaption(QString text) {
    static const QRegularExpression accelerator(QStringLiteral("\\(&\\w\\)"));
    if (Qt::mightBeRichText(text))
        text = QTextDocumentFragment::fromHtml(text).toPlainText();
    text.remove(accelerator);
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(u'&').replace(u'\x01', u'&');
    return text.simplified();
}

bool isContainer(const QWidget *w) {
    static const QStringList plain = {"QWidget",        "QFrame",   "QScrollArea",      "QSplitter",
                                      "QStackedWidget", "QToolBar", "QDialogButtonBox", "QMenuBar"};
    return plain.contains(QLatin1String(w->metaObject()->className())) || w->inherits("QStatusBar") ||
           qobject_cast<const QGroupBox *>(w) || qobject_cast<const QTabWidget *>(w);
}

QString kindOf(const QWidget *w) {
    if (qobject_cast<const QCheckBox *>(w))
        return QStringLiteral("复选框");
    if (qobject_cast<const QRadioButton *>(w))
        return QStringLiteral("选项");
    if (qobject_cast<const QAbstractButton *>(w))
        return QStringLiteral("按钮");
    if (qobject_cast<const QComboBox *>(w))
        return QStringLiteral("下拉框");
    if (qobject_cast<const QTimeEdit *>(w))
        return QStringLiteral("时间");
    if (qobject_cast<const QDateEdit *>(w))
        return QStringLiteral("日期");
    if (qobject_cast<const QAbstractSpinBox *>(w))
        return QStringLiteral("数字框");
    if (qobject_cast<const QTextBrowser *>(w))
        return QStringLiteral("说明文字");
    if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w) ||
        qobject_cast<const QTextEdit *>(w) || w->inherits("zostore::components::SuperTextbox"))
        return QStringLiteral("文本框");
    if (qobject_cast<const QTableView *>(w) || w->inherits("zostore::components::labels::LabelList"))
        return QStringLiteral("表格");
    if (qobject_cast<const QTreeView *>(w) || w->inherits("zostore::components::items::ItemGroupTree"))
        return QStringLiteral("树");
    if (qobject_cast<const QAbstractItemView *>(w))
        return QStringLiteral("列表");
    if (qobject_cast<const QTabWidget *>(w))
        return QStringLiteral("页签");
    if (qobject_cast<const QGroupBox *>(w))
        return QStringLiteral("分组");
    if (qobject_cast<const QProgressBar *>(w))
        return QStringLiteral("进度条");
    if (w->inherits("zostore::shell::PictureBox"))
        return QStringLiteral("图片");
    if (w->inherits("zostore::shell::LinkLabel"))
        return QStringLiteral("链接");
    if (w->inherits("zostore::ui::StatusPanel"))
        return QStringLiteral("状态栏");
    if (qobject_cast<const QLabel *>(w))
        return Label;
    return QStringLiteral("区域");
}

const QLabel *labelIn(const QLayoutItem *item) {
    return item ? qobject_cast<const QLabel *>(item->widget()) : nullptr;
}

// The label the layout puts just before the widget, or before the row or cell of boxes that holds it.
// found: the widget is somewhere in this layout.
const QLabel *neighbourLabel(const QLayout *layout, const QWidget *w, bool *found) {
    *found = false;
    if (!layout)
        return nullptr;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        const QLabel *inside = nullptr;
        if (item->widget() == w) {
            *found = true;
            if (auto *form = qobject_cast<const QFormLayout *>(layout))
                return qobject_cast<const QLabel *>(form->labelForField(const_cast<QWidget *>(w)));
        } else {
            inside = neighbourLabel(item->layout(), w, found);
            if (!*found)
                continue;
            if (inside)
                return inside;
        }
        if (auto *grid = qobject_cast<const QGridLayout *>(layout)) {
            int row = 0, col = 0, rows = 0, cols = 0;
            grid->getItemPosition(i, &row, &col, &rows, &cols);
            return col > 0 ? labelIn(grid->itemAtPosition(row, col - 1)) : nullptr;
        }
        return i > 0 ? labelIn(layout->itemAt(i - 1)) : nullptr;
    }
    return nullptr;
}

QString captionOf(const QWidget *w) {
    if (auto *b = qobject_cast<const QAbstractButton *>(w); b && !b->text().isEmpty())
        return plainCaption(b->text());
    if (auto *g = qobject_cast<const QGroupBox *>(w))
        return plainCaption(g->title());
    if (auto *t = qobject_cast<const QTabWidget *>(w)) {
        QStringList tabs;
        for (int i = 0; i < t->count(); ++i)
            tabs << plainCaption(t->tabText(i));
        return tabs.join(QStringLiteral("、"));
    }
    if (auto *l = qobject_cast<const QLabel *>(w))
        return plainCaption(l->text());
    for (const QLabel *l : w->window()->findChildren<QLabel *>())
        if (l->buddy() == w)
            return plainCaption(l->text());
    bool found = false;
    if (w->parentWidget())
        if (const QLabel *l = neighbourLabel(w->parentWidget()->layout(), w, &found);
            l && !l->text().isEmpty())
            return plainCaption(l->text());
    if (!w->toolTip().isEmpty())
        return plainCaption(w->toolTip());
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->placeholderText();
    return {};
}

QString frameTitle(const QWidget *w) {
    for (const QWidget *p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget())
        if (auto *g = qobject_cast<const QGroupBox *>(p))
            return plainCaption(g->title());
    return {};
}

QString withoutColon(QString s) {
    while (s.endsWith(u'：') || s.endsWith(u':'))
        s.chop(1);
    return s;
}

QString generated(const Control &c) {
    if (c.caption.isEmpty())
        return {};
    if (c.kind == QStringLiteral("复选框"))
        return QStringLiteral("选中时") + c.caption + QStringLiteral("。");
    if (c.kind == QStringLiteral("选项"))
        return QStringLiteral("从“") +
               QString(c.caption).replace(QStringLiteral("、"), QStringLiteral("”“")) +
               QStringLiteral("”中选一种。");
    if (c.kind == QStringLiteral("文本框") || c.kind == QStringLiteral("数字框"))
        return QStringLiteral("填写") + withoutColon(c.caption) + QStringLiteral("。");
    if (c.kind == QStringLiteral("日期") || c.kind == QStringLiteral("时间"))
        return QStringLiteral("选择") + withoutColon(c.caption) + QStringLiteral("。");
    return {};
}

void collect(const QWidget *parent, QList<Control> &out) {
    for (const QObject *o : parent->children()) {
        const auto *w = qobject_cast<const QWidget *>(o);
        // A tab bar's scroll buttons belong to Qt, not to the window.
        if (!w || w->isWindow() || qobject_cast<const QTabBar *>(w))
            continue;
        const QString name = w->objectName();
        const bool named = !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
        if (named && !isContainer(w)) {
            Control c{name, kindOf(w), captionOf(w), {}};
            if (c.kind == QStringLiteral("选项")) {
                auto same =
                    std::find_if(out.begin(), out.end(), [&](const Control &e) { return e.name == name; });
                if (same != out.end()) {
                    same->caption += QStringLiteral("、") + c.caption;
                    same->generatedDescription = generated(*same);
                    continue;
                }
            }
            c.generatedDescription = generated(c);
            // What the window itself says about a control serves where its caption does not.
            if (c.generatedDescription.isEmpty())
                c.generatedDescription =
                    plainCaption(w->whatsThis().isEmpty() ? w->toolTip() : w->whatsThis());
            if (c.generatedDescription == c.caption)
                c.generatedDescription.clear();
            out << c;
            continue;
        }
        if (named && (qobject_cast<const QGroupBox *>(w) || qobject_cast<const QTabWidget *>(w)))
            out << Control{name, kindOf(w), captionOf(w), {}};
        if (auto *tabs = qobject_cast<const QTabWidget *>(w)) {
            // Pages in the order the user sees them.
            for (int i = 0; i < tabs->count(); ++i)
                if (QWidget *page = tabs->widget(i); !page->objectName().isEmpty() && !isContainer(page))
                    out << Control{page->objectName(), kindOf(page), plainCaption(tabs->tabText(i)), {}};
                else
                    collect(page, out);
            continue;
        }
        collect(w, out);
    }
}

void collectMenu(const QMenu *menu, const QString &path, QList<Control> &out) {
    for (const QAction *a : menu->actions()) {
        if (a->isSeparator() || a->text().isEmpty())
            continue;
        const QString caption = path + QStringLiteral(" → ") + plainCaption(a->text());
        if (a->menu())
            collectMenu(a->menu(), caption, out);
        else if (!a->objectName().isEmpty())
            out << Control{a->objectName(), QStringLiteral("菜单命令"), caption, {}};
    }
}

// The written description of a control: its own, else that of the longest "prefix*" it matches.
// key: the description's name, the same for every control one wildcard covers.
QString describedBy(const PageSource &source, const QString &name, QString *key = nullptr) {
    if (source.descriptions.contains(name)) {
        if (key)
            *key = name;
        return source.descriptions.value(name);
    }
    QString best;
    for (auto it = source.descriptions.cbegin(); it != source.descriptions.cend(); ++it)
        if (it.key().endsWith(u'*') && name.startsWith(it.key().chopped(1)) && it.key().size() > best.size())
            best = it.key();
    if (key)
        *key = best;
    return best.isEmpty() ? QString() : source.descriptions.value(best);
}

QString escaped(const QString &s) {
    return s.toHtmlEscaped();
}

QString withLinks(const QString &text, const QMap<QString, QString> &titles) {
    static const QRegularExpression link(QStringLiteral("\\[\\[(\\w+)\\]\\]"));
    QString out;
    qsizetype at = 0;
    for (auto it = link.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += escaped(text.mid(at, m.capturedStart() - at));
        const QString name = m.captured(1);
        out += QStringLiteral("<a href=\"%1.html\">%2</a>").arg(name, escaped(titles.value(name, name)));
        at = m.capturedEnd();
    }
    return out + escaped(text.mid(at));
}

QString head(const QString &title) {
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
                          "<title>%1 - ZoStore 帮助</title>\n<link rel=\"stylesheet\" href=\"style.css\">\n"
                          "</head>\n<body>\n")
        .arg(escaped(title));
}

} // namespace

QList<Control> windowControls(const QWidget &window) {
    QList<Control> out;
    for (const QToolBar *bar : window.findChildren<QToolBar *>())
        for (const QAction *a : bar->actions())
            if (!a->isSeparator() && !a->objectName().isEmpty() && !a->text().isEmpty())
                out << Control{a->objectName(), QStringLiteral("工具按钮"), plainCaption(a->text()), {}};
    collect(&window, out);
    if (auto *bar = window.findChild<QMenuBar *>())
        for (const QAction *a : bar->actions()) {
            if (a->menu())
                collectMenu(a->menu(), plainCaption(a->text()), out);
            else if (!a->objectName().isEmpty() && !a->isSeparator())
                out << Control{a->objectName(), QStringLiteral("菜单命令"), plainCaption(a->text()), {}};
        }
    for (Control &c : out)
        if (c.kind == QStringLiteral("选项"))
            if (const QWidget *w = window.findChild<QWidget *>(c.name); w && !frameTitle(w).isEmpty())
                c.caption = frameTitle(w) + QStringLiteral("：") + c.caption;
    return out;
}

PageSource parsePageSource(const QString &text) {
    static const QRegularExpression described(
        QStringLiteral("^([A-Za-z_][A-Za-z0-9_]*\\*?)\\s*(?:\\[([^\\]]+)\\])?\\s*:\\s*(.+)$"));
    PageSource s;
    QString paragraph;
    const auto endParagraph = [&] {
        if (!paragraph.isEmpty())
            s.blocks.append({PageSource::Block::Paragraph, paragraph});
        paragraph.clear();
    };
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(u'#') && !line.startsWith(QLatin1String("##")))
            continue;
        if (line.isEmpty()) {
            endParagraph();
        } else if (line.startsWith(QLatin1String("@picture "))) {
            endParagraph();
            const QString rest = line.mid(9).trimmed();
            const qsizetype space = rest.indexOf(u' ');
            s.pictures.append(
                {space < 0 ? rest : rest.left(space), space < 0 ? QString() : rest.mid(space + 1).trimmed()});
        } else if (line.startsWith(QLatin1String("@title "))) {
            s.title = line.mid(7).trimmed();
        } else if (line == QLatin1String("@controls")) {
            endParagraph();
            s.blocks.append({PageSource::Block::Controls, QString()});
        } else if (line.startsWith(QLatin1String("## "))) {
            endParagraph();
            s.blocks.append({PageSource::Block::Heading, line.mid(3).trimmed()});
        } else if (line.startsWith(u'@')) {
            s.errors << QStringLiteral("第 %1 行：不认识的指令 %2").arg(i + 1).arg(line);
        } else if (const auto m = described.match(line); m.hasMatch()) {
            endParagraph();
            if (s.descriptions.contains(m.captured(1)))
                s.errors << QStringLiteral("第 %1 行：%2 已经说明过").arg(i + 1).arg(m.captured(1));
            s.descriptions.insert(m.captured(1), m.captured(3));
            if (!m.captured(2).isEmpty())
                s.captions.insert(m.captured(1), m.captured(2));
        } else {
            paragraph += line;
        }
    }
    endParagraph();
    return s;
}

PageCheck checkPage(const PageSource &source, const QList<Control> &controls,
                    const QMap<QString, QString> &titles) {
    PageCheck check;
    QStringList used;
    for (const Control &c : controls) {
        QString key;
        describedBy(source, c.name, &key);
        used << key;
        if (key.isEmpty() && c.generatedDescription.isEmpty() && !Optional.contains(c.kind))
            check.undescribed << c.name;
    }
    for (auto it = source.descriptions.cbegin(); it != source.descriptions.cend(); ++it)
        if (!used.contains(it.key()))
            check.unknown << it.key();
    static const QRegularExpression link(QStringLiteral("\\[\\[(\\w+)\\]\\]"));
    QStringList texts = source.descriptions.values();
    for (const auto &b : source.blocks)
        texts << b.text;
    for (const QString &t : texts)
        for (auto it = link.globalMatch(t); it.hasNext();)
            if (const QString name = it.next().captured(1); !titles.contains(name))
                check.unknownLinks << name;
    return check;
}

QString pageHtml(const QString &title, const PageSource &source, const QList<Control> &controls,
                 const QMap<QString, QString> &titles) {
    QString html = head(title);
    html +=
        QStringLiteral("<nav><a href=\"index.html\">帮助目录</a></nav>\n<h1>%1</h1>\n").arg(escaped(title));
    for (const auto &p : source.pictures)
        html +=
            QStringLiteral(
                "<figure><img src=\"pictures/%1\" alt=\"%2\"><figcaption>%2</figcaption></figure>\n")
                .arg(escaped(QFileInfo(p.file).fileName()), escaped(p.caption.isEmpty() ? title : p.caption));
    // One row per description: the controls one wildcard covers share it.
    struct Row {
        QString key, kind, text;
        QStringList captions;
    };
    QList<Row> rows;
    for (const Control &c : controls) {
        QString key;
        QString text = describedBy(source, c.name, &key);
        if (text.isEmpty()) {
            key = c.name;
            text = c.generatedDescription;
        }
        if (text.isEmpty())
            continue;
        auto row = std::find_if(rows.begin(), rows.end(), [&](const Row &r) { return r.key == key; });
        if (row == rows.end())
            row = rows.insert(rows.end(), Row{key, c.kind, text, {}});
        const QString caption = withoutColon(source.captions.value(key, c.caption));
        if (!caption.isEmpty() && !row->captions.contains(caption))
            row->captions << caption;
    }
    QString table =
        QStringLiteral("<h2>窗口中的控件</h2>\n<table>\n<tr><th>名称</th><th>类型</th><th>作用</th></tr>\n");
    for (const Row &r : rows)
        table += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>\n")
                     .arg(escaped(r.captions.isEmpty() ? r.kind : r.captions.join(QStringLiteral("、"))),
                          escaped(r.kind), withLinks(r.text, titles));
    table += QStringLiteral("</table>\n");
    if (rows.isEmpty())
        table.clear();
    bool placed = false;
    for (const auto &b : source.blocks) {
        switch (b.kind) {
        case PageSource::Block::Paragraph:
            html += QStringLiteral("<p>%1</p>\n").arg(withLinks(b.text, titles));
            break;
        case PageSource::Block::Heading:
            html += QStringLiteral("<h2>%1</h2>\n").arg(escaped(b.text));
            break;
        case PageSource::Block::Controls:
            html += table;
            placed = true;
            break;
        }
    }
    if (!placed)
        html += table;
    return html + QStringLiteral("</body>\n</html>\n");
}

QString indexHtml(const QList<IndexEntry> &entries, const QString &introduction) {
    QString html = head(QStringLiteral("帮助目录"));
    html += QStringLiteral("<h1>ZoStore 帮助目录</h1>\n<p>%1</p>\n<ul class=\"index\">\n")
                .arg(escaped(introduction));
    for (const IndexEntry &e : entries)
        html += QStringLiteral("<li><a href=\"%1.html\">%2</a></li>\n").arg(e.name, escaped(e.title));
    return html + QStringLiteral("</ul>\n</body>\n</html>\n");
}

QString styleSheet() {
    return QStringLiteral(
        "body { font-family: \"Noto Sans CJK SC\", \"Microsoft YaHei\", sans-serif; margin: 1.5em 2em; "
        "max-width: 60em; color: #222; line-height: 1.6; }\n"
        "nav { font-size: 90%; margin-bottom: 1em; }\n"
        "h1 { font-size: 160%; border-bottom: 2px solid #3a6ea5; padding-bottom: .2em; }\n"
        "h2 { font-size: 120%; color: #3a6ea5; margin-top: 1.5em; }\n"
        "figure { margin: 1em 0; }\n"
        "img { max-width: 100%; border: 1px solid #ccc; }\n"
        "figcaption { font-size: 90%; color: #666; }\n"
        "table { border-collapse: collapse; width: 100%; }\n"
        "th, td { border: 1px solid #ccc; padding: .3em .6em; text-align: left; vertical-align: top; }\n"
        "th { background: #eef3f9; }\n"
        "td:nth-child(2) { white-space: nowrap; color: #555; }\n"
        "ul.index li { margin: .3em 0; }\n");
}

} // namespace zostore::help
