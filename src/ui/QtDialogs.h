// Dialogs shown on screen with Qt's standard boxes.
#pragma once

#include "ui/Dialogs.h"

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
};

} // namespace zostore::ui
