// Dialogs for tests: answers come from queues, every box shown is recorded.
#pragma once

#include "ui/Dialogs.h"

#include <QList>
#include <QQueue>
#include <functional>

namespace zostore::ui {

class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Message, Question, InputBox, SaveFile, OpenFile, Exec };
    struct Entry {
        Kind kind;
        QString text; // message, question or prompt; caption for files; window title for exec
        QString title;
        Icon icon = Icon::None;
        Answer defaultButton = Answer::Ok;
    };
    // Drives a modal window in place of the user; returns QDialog::Accepted or Rejected.
    using WindowScript = std::function<int(QDialog &)>;

    void message(const QString &text, Icon icon, const QString &title = {}) override;
    // Without a queued answer the default button is taken.
    Answer question(const QString &text, Icon icon = Icon::Question, Answer defaultButton = Answer::No,
                    const QString &title = {}) override;
    // Without a queued input the box counts as cancelled.
    Answer questionWithCancel(const QString &text, Icon icon = Icon::Question,
                              Answer defaultButton = Answer::Yes, const QString &title = {}) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title = {},
                                    const QString &defaultText = {}) override;
    QString saveFileName(const QString &caption, const QString &dir = {},
                         const QString &filter = {}) override;
    QString openFileName(const QString &caption, const QString &dir = {},
                         const QString &filter = {}) override;
    // Without a queued script the window counts as cancelled.
    int exec(QDialog &dialog) override;

    void queueAnswer(Answer a) { m_answers.enqueue(a); }
    void queueInput(std::optional<QString> text) { m_inputs.enqueue(std::move(text)); }
    void queueFile(const QString &path) { m_files.enqueue(path); }
    void queueWindow(WindowScript script) { m_windows.enqueue(std::move(script)); }

    const QList<Entry> &entries() const { return m_entries; }
    QStringList messages() const; // texts of the message boxes, in order
    const Entry *last() const { return m_entries.isEmpty() ? nullptr : &m_entries.last(); }
    void clear();

private:
    QList<Entry> m_entries;
    QQueue<Answer> m_answers;
    QQueue<std::optional<QString>> m_inputs;
    QQueue<QString> m_files;
    QQueue<WindowScript> m_windows;
};

} // namespace zostore::ui
