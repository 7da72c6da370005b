// Qt's standard dialogs as the program shows them: no English left on buttons, labels, tool tips or headers.
#include "ui/QtDialogs.h"
#include "ui/QtTranslation.h"
#include "ui/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zostore::ui;

namespace {

void installTranslationOnce() {
    static const QtTranslationResult result = installQtTranslation(*QCoreApplication::instance());
    ASSERT_TRUE(result.loaded) << missingQtTranslationMessage(result).toStdString();
}

// Words of Latin letters that are no abbreviation the Chinese texts keep. What stands in brackets after
// Chinese is a paper's own name ("美国信纸 (Letter)") or a file pattern; paths are the user's.
QStringList englishWords(const QString &text) {
    static const QRegularExpression patterns(
        QStringLiteral("\\([^)]*\\)|\\*\\.\\w+|(?:/[\\w.-]+)+|&(?=\\w)"));
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    static const QStringList kept = {"PDF",  "PLU",   "ZoStore", "mm",  "cm",   "pt",  "in",  "px",
                                     "Pica", "Didot", "Cicero",  "DPI", "ANSI", "JIS", "ISO", "DL"};
    QString plain = text;
    plain.remove(patterns);
    QStringList out;
    for (auto it = word.globalMatch(plain); it.hasNext();) {
        const QString w = it.next().captured();
        if (!kept.contains(w))
            out << w;
    }
    return out;
}

// Every text the user can read on the window or reach by hovering, right-clicking or opening a list.
QStringList shownTexts(QWidget &root) {
    QStringList texts{root.windowTitle()};
    for (QWidget *w : root.findChildren<QWidget *>()) {
        if (!w->isVisibleTo(&root))
            continue;
        texts << w->toolTip() << w->accessibleName();
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            texts << b->text();
        else if (auto *l = qobject_cast<QLabel *>(w))
            texts << l->text();
        else if (auto *g = qobject_cast<QGroupBox *>(w))
            texts << g->title();
        else if (auto *e = qobject_cast<QLineEdit *>(w))
            texts << e->placeholderText();
        else if (auto *t = qobject_cast<QTabBar *>(w))
            for (int i = 0; i < t->count(); ++i)
                texts << t->tabText(i) << t->tabToolTip(i);
        else if (auto *h = qobject_cast<QHeaderView *>(w); h && h->model())
            for (int i = 0; i < h->count(); ++i)
                texts << h->model()->headerData(i, h->orientation()).toString();
        else if (auto *c = qobject_cast<QComboBox *>(w); c && !c->isEditable())
            for (int i = 0; i < c->count(); ++i)
                texts << c->itemText(i);
    }
    for (QAction *a : root.findChildren<QAction *>())
        if (!a->isSeparator())
            texts << a->text() << a->toolTip() << a->iconText();
    return texts;
}

void expectChinese(QWidget &dialog, const char *what) {
    dialog.show();
    QApplication::processEvents();
    EXPECT_FALSE(dialog.grab().isNull()) << what;
    QStringList english;
    for (const QString &t : shownTexts(dialog))
        if (!englishWords(t).isEmpty())
            english << t;
    english.removeDuplicates();
    EXPECT_TRUE(english.isEmpty()) << what << ": " << english.join(QStringLiteral(" | ")).toStdString();
    if (const QByteArray dir = qgetenv("ZOSTORE_DIALOG_SHOTS"); !dir.isEmpty())
        dialog.grab().save(
            QDir(QString::fromLocal8Bit(dir)).filePath(QLatin1String(what) + QStringLiteral(".png")));
    dialog.close();
}

} // namespace

TEST(StandardDialogs, message_boxes_input_boxes_file_and_print_dialogs_show_no_english) {
    installTranslationOnce();
    QTemporaryDir dir;
    const QString title = QStringLiteral("打印商品标签");
    expectChinese(*QtDialogs::messageBox(QStringLiteral("已导出 3 页标签。"), Icon::Information,
                                         QMessageBox::Ok, title),
                  "message");
    expectChinese(*QtDialogs::messageBox(QtDialogs::replaceQuestion(dir.filePath(QStringLiteral("plu.txt"))),
                                         Icon::Warning, QMessageBox::Yes | QMessageBox::No, title),
                  "replace-question");
    expectChinese(*QtDialogs::messageBox(QStringLiteral("是否保存修改？"), Icon::Question,
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, title),
                  "question-cancel");
    expectChinese(*QtDialogs::inputDialog(QStringLiteral("请输入折率(%)："), QStringLiteral("批量折率"), {}),
                  "input");
    expectChinese(*QtDialogs::fileDialog(QStringLiteral("寺冈称PLU导出"), dir.path(),
                                         QStringLiteral("文本文件 (*.txt);;所有文件 (*)"), true),
                  "file-save");
    expectChinese(
        *QtDialogs::fileDialog(QStringLiteral("导入"), dir.path(), QStringLiteral("所有文件 (*)"), false),
        "file-open");

    QPrinter printer(QPrinter::HighResolution);
    {
        QPageSetupDialog setup(&printer);
        expectChinese(setup, "page-setup");
    }
    {
        QPrintPreviewDialog preview(&printer);
        expectChinese(preview, "print-preview");
    }
    {
        QPrintDialog print(&printer);
        expectChinese(print, "print");
    }
}

TEST(StandardDialogs, saving_over_a_file_asks_first_and_no_keeps_the_dialog_open) {
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("称PLU.txt"));
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    ScriptedDialogs answers;
    DialogsScope scope(answers);

    const auto box = QtDialogs::fileDialog(QStringLiteral("寺冈称PLU导出"), existing, {}, true);
    box->show();
    ASSERT_EQ(box->selectedFiles().value(0), existing);
    answers.queueAnswer(Answer::No);
    static_cast<QDialog &>(*box).accept();
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->result(), QDialog::Rejected);
    ASSERT_EQ(answers.entries().size(), 1);
    EXPECT_EQ(answers.entries()[0].text, QtDialogs::replaceQuestion(existing));
    EXPECT_EQ(answers.entries()[0].icon, Icon::Warning);
    EXPECT_EQ(answers.entries()[0].defaultButton, Answer::No);

    answers.queueAnswer(Answer::Yes);
    static_cast<QDialog &>(*box).accept();
    EXPECT_EQ(box->result(), QDialog::Accepted);

    // A new name goes through without a question.
    answers.clear();
    const auto fresh = QtDialogs::fileDialog(QStringLiteral("寺冈称PLU导出"),
                                             dir.filePath(QStringLiteral("新.txt")), {}, true);
    fresh->show();
    static_cast<QDialog &>(*fresh).accept();
    EXPECT_EQ(fresh->result(), QDialog::Accepted);
    EXPECT_TRUE(answers.entries().isEmpty());
}
