// Scripted dialogs for tests.
#include "ui/ScriptedDialogs.h"

#include <QDialog>

namespace zostore::ui {

void ScriptedDialogs::message(const QString &text, Icon icon, const QString &title) {
    m_entries.append({Kind::Message, text, title, icon, Answer::Ok});
}

Answer ScriptedDialogs::question(const QString &text, Icon icon, Answer defaultButton, const QString &title) {
    m_entries.append({Kind::Question, text, title, icon, defaultButton});
    return m_answers.isEmpty() ? defaultButton : m_answers.dequeue();
}

Answer ScriptedDialogs::questionWithCancel(const QString &text, Icon icon, Answer defaultButton,
                                           const QString &title) {
    return question(text, icon, defaultButton, title);
}

std::optional<QString> ScriptedDialogs::inputBox(const QString &prompt, const QString &title,
                                                 const QString &defaultText) {
    Q_UNUSED(defaultText)
    m_entries.append({Kind::InputBox, prompt, title, Icon::None, Answer::Ok});
    return m_inputs.isEmpty() ? std::nullopt : m_inputs.dequeue();
}

QString ScriptedDialogs::saveFileName(const QString &caption, const QString &, const QString &) {
    m_entries.append({Kind::SaveFile, caption, {}, Icon::None, Answer::Ok});
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

QString ScriptedDialogs::openFileName(const QString &caption, const QString &, const QString &) {
    m_entries.append({Kind::OpenFile, caption, {}, Icon::None, Answer::Ok});
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

int ScriptedDialogs::exec(QDialog &dialog) {
    m_entries.append({Kind::Exec, dialog.windowTitle(), dialog.windowTitle(), Icon::None, Answer::Ok});
    if (m_windows.isEmpty())
        return QDialog::Rejected;
    const WindowScript script = m_windows.dequeue();
    return script(dialog);
}

QStringList ScriptedDialogs::messages() const {
    QStringList out;
    for (const Entry &e : m_entries)
        if (e.kind == Kind::Message)
            out << e.text;
    return out;
}

void ScriptedDialogs::clear() {
    m_entries.clear();
    m_answers.clear();
    m_inputs.clear();
    m_files.clear();
    m_windows.clear();
}

} // namespace zostore::ui
