// Message boxes, questions, input boxes, file dialogs and modal windows, replaceable in tests.
#pragma once

#include <QString>
#include <optional>

class QDialog;
class QWidget;

namespace zostore::ui {

enum class Icon { None, Information, Warning, Critical, Question };
enum class Answer { Ok, Cancel, Yes, No };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // An OK-only box. An empty title means the application title.
    virtual void message(const QString &text, Icon icon, const QString &title = {}) = 0;
    // Yes/No question; returns Yes or No.
    virtual Answer question(const QString &text, Icon icon = Icon::Question,
                            Answer defaultButton = Answer::No, const QString &title = {}) = 0;
    // Yes/No/Cancel question; returns Yes, No or Cancel.
    virtual Answer questionWithCancel(const QString &text, Icon icon = Icon::Question,
                                      Answer defaultButton = Answer::Yes, const QString &title = {}) = 0;
    // Empty optional when the user cancels.
    virtual std::optional<QString> inputBox(const QString &prompt, const QString &title = {},
                                            const QString &defaultText = {}) = 0;
    // Empty text when the user cancels.
    virtual QString saveFileName(const QString &caption, const QString &dir = {},
                                 const QString &filter = {}) = 0;
    virtual QString openFileName(const QString &caption, const QString &dir = {},
                                 const QString &filter = {}) = 0;
    // Runs a modal window; returns QDialog::Accepted or Rejected.
    virtual int exec(QDialog &dialog) = 0;

    void info(const QString &text, const QString &title = {}) { message(text, Icon::Information, title); }
    void warning(const QString &text, const QString &title = {}) { message(text, Icon::Warning, title); }
    void error(const QString &text, const QString &title = {}) { message(text, Icon::Critical, title); }

    static QString applicationTitle();
};

// The process-wide instance; the real one unless a test installed another.
Dialogs &dialogs();
// nullptr restores the real one. The caller keeps ownership.
void setDialogs(Dialogs *d);

// Installs a Dialogs for one scope and restores the previous one.
class DialogsScope {
public:
    explicit DialogsScope(Dialogs &d);
    ~DialogsScope();
    DialogsScope(const DialogsScope &) = delete;
    DialogsScope &operator=(const DialogsScope &) = delete;

private:
    Dialogs *m_previous;
};

} // namespace zostore::ui
