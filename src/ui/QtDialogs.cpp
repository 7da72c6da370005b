// Dialogs on screen. Buttons and labels get their Chinese texts here, so they stay Chinese even where
// Qt's own catalogue is missing.
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
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

// Qt's own overwrite question would bypass the Dialogs interface.
class FileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        if (acceptMode() == AcceptSave) {
            const QStringList files = selectedFiles();
            const QFileInfo target(files.value(0));
            if (!files.isEmpty() && target.exists() && !target.isDir() &&
                dialogs().question(QtDialogs::replaceQuestion(target.absoluteFilePath()), Icon::Warning,
                                   Answer::No) != Answer::Yes)
                return;
        }
        QFileDialog::accept();
    }
};

} // namespace

std::unique_ptr<QMessageBox> QtDialogs::messageBox(const QString &text, Icon icon,
                                                   QMessageBox::StandardButtons buttons,
                                                   const QString &title) {
    auto box = std::make_unique<QMessageBox>(qtIcon(icon), titleOr(title), text, buttons,
                                             QApplication::activeWindow());
    const std::pair<QMessageBox::StandardButton, const char16_t *> texts[] = {{QMessageBox::Ok, u"确定"},
                                                                              {QMessageBox::Yes, u"是(&Y)"},
                                                                              {QMessageBox::No, u"否(&N)"},
                                                                              {QMessageBox::Cancel, u"取消"}};
    for (const auto &[button, caption] : texts)
        if (QAbstractButton *b = box->button(button))
            b->setText(QString::fromUtf16(caption));
    return box;
}

std::unique_ptr<QInputDialog> QtDialogs::inputDialog(const QString &prompt, const QString &title,
                                                     const QString &defaultText) {
    auto box = std::make_unique<QInputDialog>(QApplication::activeWindow());
    box->setWindowTitle(titleOr(title));
    box->setLabelText(prompt);
    box->setTextValue(defaultText);
    box->setOkButtonText(QStringLiteral("确定"));
    box->setCancelButtonText(QStringLiteral("取消"));
    return box;
}

std::unique_ptr<QFileDialog> QtDialogs::fileDialog(const QString &caption, const QString &dir,
                                                   const QString &filter, bool save) {
    auto box = std::make_unique<FileDialog>(QApplication::activeWindow(), caption, dir, filter);
    // The platform's own dialog would not follow the program's language.
    box->setOption(QFileDialog::DontUseNativeDialog);
    box->setOption(QFileDialog::DontConfirmOverwrite);
    box->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    box->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    box->setLabelText(QFileDialog::LookIn, QStringLiteral("查找范围："));
    box->setLabelText(QFileDialog::FileName, QStringLiteral("文件名："));
    box->setLabelText(QFileDialog::FileType, QStringLiteral("文件类型："));
    box->setLabelText(QFileDialog::Accept, save ? QStringLiteral("保存(&S)") : QStringLiteral("打开(&O)"));
    box->setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    return box;
}

QString QtDialogs::replaceQuestion(const QString &path) {
    return QStringLiteral("文件“%1”已存在。\n要替换它吗？").arg(QDir::toNativeSeparators(path));
}

void QtDialogs::message(const QString &text, Icon icon, const QString &title) {
    messageBox(text, icon, QMessageBox::Ok, title)->exec();
}

Answer QtDialogs::question(const QString &text, Icon icon, Answer defaultButton, const QString &title) {
    const auto box = messageBox(text, icon, QMessageBox::Yes | QMessageBox::No, title);
    box->setDefaultButton(defaultButton == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    return box->exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Answer QtDialogs::questionWithCancel(const QString &text, Icon icon, Answer defaultButton,
                                     const QString &title) {
    const auto box = messageBox(text, icon, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, title);
    box->setDefaultButton(defaultButton == Answer::No       ? QMessageBox::No
                          : defaultButton == Answer::Cancel ? QMessageBox::Cancel
                                                            : QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::Cancel);
    switch (box->exec()) {
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
    const auto box = inputDialog(prompt, title, defaultText);
    if (box->exec() != QDialog::Accepted)
        return std::nullopt;
    return box->textValue();
}

QString QtDialogs::saveFileName(const QString &caption, const QString &dir, const QString &filter) {
    const auto box = fileDialog(caption, dir, filter, true);
    return box->exec() == QDialog::Accepted ? box->selectedFiles().value(0) : QString();
}

QString QtDialogs::openFileName(const QString &caption, const QString &dir, const QString &filter) {
    const auto box = fileDialog(caption, dir, filter, false);
    return box->exec() == QDialog::Accepted ? box->selectedFiles().value(0) : QString();
}

int QtDialogs::exec(QDialog &dialog) {
    return dialog.exec();
}

} // namespace zostore::ui
