// The one error type of ZoStore: a number and a description, as message boxes show it.
#pragma once

#include <QString>
#include <source_location>
#include <stdexcept>

namespace zostore {

class Error : public std::runtime_error {
public:
    // Number used for application errors (object-error base plus 1001), also for access denied.
    static constexpr int AccessDenied = -2147220503;
    static constexpr int General = -2147220504;
    static constexpr int Lock = -2147220505;
    static constexpr int NotInstalled = -2147221005;

    explicit Error(QString description, int number = General,
                   std::source_location where = std::source_location::current());

    int number() const noexcept { return m_number; }
    const QString &description() const noexcept { return m_description; }
    // File and line where the error was raised, for logs; never shown to the user.
    QString where() const;

    bool isLock() const noexcept;
    static Error accessDenied();

private:
    int m_number;
    QString m_description;
    std::source_location m_where;
};

} // namespace zostore
