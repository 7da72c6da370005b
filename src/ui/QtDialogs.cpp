// Dialogs on screen.
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace zostore::ui {

namespace {

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString titleOr(const QString &title) {
    return title.isEmpty() ? Dialogs::applicationTitle() : title;
}

} // namespace

void QtDialogs::message(const QString &text, Icon icon, const QString &title) {
    QMessageBox box(qtIcon(icon), titleOr(title), text, QMessageBox::Ok, QApplication::activeWindow());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

Answer QtDialogs::question(const QString &text, Icon icon, Answer defaultButton, const QString &title) {
    QMessageBox box(qtIcon(icon), titleOr(title), text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    box.setDefaultButton(defaultButton == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Answer QtDialogs::questionWithCancel(const QString &text, Icon icon, Answer defaultButton,
                                     const QString &title) {
    QMessageBox box(qtIcon(icon), titleOr(title), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QApplication::activeWindow());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    box.setDefaultButton(defaultButton == Answer::No       ? QMessageBox::No
                         : defaultButton == Answer::Cancel ? QMessageBox::Cancel
                                                           : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

std::optional<QString> QtDialogs::inputBox(const QString &prompt, const QString &title,
                                           const QString &defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), titleOr(title), prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtDialogs::saveFileName(const QString &caption, const QString &dir, const QString &filter) {
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, dir, filter);
}

QString QtDialogs::openFileName(const QString &caption, const QString &dir, const QString &filter) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, dir, filter);
}

int QtDialogs::exec(QDialog &dialog) {
    return dialog.exec();
}

} // namespace zostore::ui
