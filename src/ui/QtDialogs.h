// Dialogs shown on screen with Qt's standard boxes.
#pragma once

#include "ui/Dialogs.h"

#include <QMessageBox>
#include <memory>

class QFileDialog;
class QInputDialog;

namespace zostore::ui {

class QtDialogs : public Dialogs {
public:
    void message(const QString &text, Icon icon, const QString &title = {}) override;
    Answer question(const QString &text, Icon icon = Icon::Question, Answer defaultButton = Answer::No,
                    const QString &title = {}) override;
    Answer questionWithCancel(const QString &text, Icon icon = Icon::Question,
                              Answer defaultButton = Answer::Yes, const QString &title = {}) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title = {},
                                    const QString &defaultText = {}) override;
    QString saveFileName(const QString &caption, const QString &dir = {},
                         const QString &filter = {}) override;
    QString openFileName(const QString &caption, const QString &dir = {},
                         const QString &filter = {}) override;
    int exec(QDialog &dialog) override;

    // The boxes above before they are run, so that they can be looked at without a modal loop.
    // Buttons: any of Ok, Yes, No, Cancel.
    static std::unique_ptr<QMessageBox>
    messageBox(const QString &text, Icon icon, QMessageBox::StandardButtons buttons, const QString &title);
    static std::unique_ptr<QInputDialog> inputDialog(const QString &prompt, const QString &title,
                                                     const QString &defaultText);
    // Saving asks before it replaces an existing file.
    static std::unique_ptr<QFileDialog> fileDialog(const QString &caption, const QString &dir,
                                                   const QString &filter, bool save);
    static QString replaceQuestion(const QString &path);
};

} // namespace zostore::ui
