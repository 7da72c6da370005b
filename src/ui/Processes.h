// Starting other programs (text editor, calculator, upgrade program), replaceable in tests.
#pragma once

#include <QString>
#include <QStringList>

namespace zostore::ui {

enum class WindowStyle { Hide, NormalFocus, MinimizedFocus, MaximizedFocus, NormalNoFocus, MinimizedNoFocus };

class Processes {
public:
    virtual ~Processes() = default;
    // commandLine: the program followed by its arguments. "notepad.exe <path>" and "calc.exe" name the
    // platform's text editor and calculator; the rest of a notepad line is one path, spaces included.
    // Returns false when nothing was started; the user has been told why.
    virtual bool start(const QString &commandLine, WindowStyle style) = 0;
    // Shows a document (a help page) in the desktop's viewer for its kind. False as for start().
    virtual bool openDocument(const QString &path) = 0;
};

// Starts detached processes.
class SystemProcesses : public Processes {
public:
    bool start(const QString &commandLine, WindowStyle style) override;
    bool openDocument(const QString &path) override;

    struct Resolved {
        QString program; // empty: no program for the request
        QStringList arguments;
        QString missingMessage; // why nothing can be started
    };
    // How a command line maps to a program on this system.
    static Resolved resolve(const QString &commandLine);
};

// Records the requests and starts nothing.
class RecordingProcesses : public Processes {
public:
    struct Started {
        QString commandLine;
        WindowStyle style;
    };
    bool start(const QString &commandLine, WindowStyle style) override;
    bool openDocument(const QString &path) override;
    QList<Started> started;
    QStringList documents;
};

Processes &processes();
// nullptr restores the system one. The caller keeps ownership.
void setProcesses(Processes *p);

} // namespace zostore::ui
