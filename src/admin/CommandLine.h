// zostore-admin's command line: commands, their arguments and options, and the shared run routine.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>

namespace zostore::admin {

struct AdminIO {
    QTextStream &out;
    QTextStream &err;
    QTextStream &in; // passwords given with --password-stdin, or typed at the prompt
    bool terminal = false; // standard input is a terminal, so a missing password may be asked for
};

// What one command received: positional arguments, options with values, flags, and the catalogue.
struct Invocation {
    QStringList args;
    QHash<QString, QString> options; // without the leading "--"
    QStringList flags;
    QString catalogue; // --catalog or --catalog-file, else the default catalogue
    AdminIO *io = nullptr;
    mutable bool environmentPasswordTaken = false; // ZOSTORE_PASSWORD answers one question only
    // A command that did part of its work sets its own documented code; errors still throw.
    int exitCode = 0;

    bool flag(const QString &name) const { return flags.contains(name); }
    QString option(const QString &name, const QString &fallback = QString()) const {
        return options.value(name, fallback);
    }
    // The option as a whole number; throws a usage error naming the option when it is not one.
    int number(const QString &name, int fallback) const;
};

struct Command {
    QString name;
    QString usage;   // argument synopsis shown in the help
    QString summary; // one line of help, Chinese
    int minArgs = 0;
    int maxArgs = 0;
    QStringList valueOptions; // options followed by a value
    QStringList flagOptions;  // options without one; a command with --user also takes --password-stdin
    std::function<void(Invocation &)> run;
};

// Bad command-line use; the run routine reports it with the usage and exit code 2.
class UsageError {
public:
    explicit UsageError(QString message) : m_message(std::move(message)) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

class CommandTable {
public:
    void add(Command command);
    const Command *find(const QString &name) const;
    const QList<Command> &commands() const { return m_commands; }

private:
    QList<Command> m_commands;
};

// Parses and runs one command line (without the program name): 0 done, 1 failed, 2 bad usage.
int runAdmin(const CommandTable &table, const QStringList &arguments, AdminIO &io);

} // namespace zostore::admin
