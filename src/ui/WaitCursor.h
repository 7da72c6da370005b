// Hourglass pointer and a wait text in the first status panel while a long operation runs.
#pragma once

#include <QPointer>
#include <QString>

namespace zostore::ui {

class StatusBar;

class WaitCursor {
public:
    explicit WaitCursor(StatusBar *statusBar = nullptr, const QString &text = {});
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

    // Progress of a loop over many rows.
    void setText(const QString &text);

private:
    QPointer<StatusBar> m_statusBar;
    QString m_previousText;
};

} // namespace zostore::ui
