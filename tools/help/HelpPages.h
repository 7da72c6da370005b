// Help pages from the windows themselves: their controls and captions, merged with the written descriptions.
#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class QWidget;

namespace zostore::help {

struct Control {
    QString name;
    QString kind;    // 按钮, 复选框, 表格 ...
    QString caption; // what the user reads on or beside it
    // Kinds whose caption says what they do get a sentence made from it; the others need a written one.
    QString generatedDescription;
};

// Named controls and menu commands of the window, in the order they were created; option buttons that
// share a name are one control.
QList<Control> windowControls(const QWidget &window);

// A window's written part: pictures, paragraphs and a description per control name.
struct PageSource {
    struct Picture {
        QString file; // relative to the project root
        QString caption;
    };
    struct Block {
        enum Kind { Paragraph, Heading, Controls } kind;
        QString text;
    };
    QString title; // empty: the window's own title
    QList<Picture> pictures;
    QList<Block> blocks; // the control table stands at Controls, or at the end when no block asks for it
    QMap<QString, QString> descriptions; // by control name, or "prefix*" for every control so named
    QMap<QString, QString> captions;     // where the window's own caption would mislead
    QStringList errors;                  // lines that could not be read
};

// "@title TEXT", "@picture FILE CAPTION", "## heading", "@controls", "name: description" or
// "name [caption]: description", other lines are paragraphs
// (a blank line ends one); "#" starts a comment line.
PageSource parsePageSource(const QString &text);

struct PageCheck {
    QStringList undescribed;  // controls that need a written description and have none
    QStringList unknown;      // descriptions of controls the window does not have
    QStringList unknownLinks; // "[[name]]" naming no page
};
// titles: every page's title by window name.
PageCheck checkPage(const PageSource &source, const QList<Control> &controls,
                    const QMap<QString, QString> &titles);

struct IndexEntry {
    QString name;
    QString title;
};

// Pictures are referred to as pictures/<file name>; "[[name]]" in a text links to that window's page.
QString pageHtml(const QString &title, const PageSource &source, const QList<Control> &controls,
                 const QMap<QString, QString> &titles);
QString indexHtml(const QList<IndexEntry> &entries, const QString &introduction);
QString styleSheet();

} // namespace zostore::help
